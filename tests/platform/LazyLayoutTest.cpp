#include "BlockHeights.h"
#include "LazyTextLayout.h"
#include "RichEditTestSupport.h"

#include <QCoreApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QUrl>

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <random>
#include <vector>

namespace kivo {
namespace {

using test::Append;

/// The straightforward model of BlockHeights: one entry per paragraph, sums by walking.
struct PlainHeights {
    std::vector<float> heights;
    std::vector<bool> measured;

    double Top(int index) const
    {
        return std::accumulate(heights.begin(), heights.begin() + index, 0.0);
    }
    int IndexAt(double y) const
    {
        if (heights.empty())
            return -1;
        int index = 0;
        double top = 0;
        while (index + 1 < static_cast<int>(heights.size()) && top + heights[index] <= y)
            top += heights[index++];
        return index;
    }
    int FirstEstimated(int from) const
    {
        for (int i = from; i < static_cast<int>(measured.size()); ++i)
            if (!measured[i])
                return i;
        return static_cast<int>(measured.size());
    }
};

TEST(BlockHeights, AgreesWithAPlainListUnderRandomEdits)
{
    std::mt19937 random(20261209);
    const auto below = [&](int n) { return n <= 0 ? 0 : static_cast<int>(random() % unsigned(n)); };
    BlockHeights chunked;
    PlainHeights plain;
    for (int step = 0; step < 3000; ++step) {
        const int size = static_cast<int>(plain.heights.size());
        switch (below(7)) {
        case 0:
        case 1: { // insert, sometimes many at once (a pasted text)
            const int at = below(size + 1);
            std::vector<float> heights(
                static_cast<std::size_t>(1 + below(below(8) == 0 ? 1500 : 5)));
            for (float &height : heights)
                height = static_cast<float>(below(4) * 17);
            chunked.Insert(at, heights);
            plain.heights.insert(plain.heights.begin() + at, heights.begin(), heights.end());
            plain.measured.insert(plain.measured.begin() + at, heights.size(), false);
            break;
        }
        case 2: { // erase, sometimes most of the text
            const int at = below(size);
            const int count = 1 + below(below(6) == 0 ? size : 4);
            chunked.Erase(at, count);
            const int n = std::min(count, size - at);
            plain.heights.erase(plain.heights.begin() + at, plain.heights.begin() + at + n);
            plain.measured.erase(plain.measured.begin() + at, plain.measured.begin() + at + n);
            break;
        }
        case 3:
        case 4:
        case 5:
            if (size > 0) { // lay a paragraph out, or estimate it again
                const int at = below(size);
                const float height = static_cast<float>(below(5) * 19);
                const bool measured = below(4) != 0;
                chunked.Set(at, height, measured);
                plain.heights[at] = height;
                plain.measured[at] = measured;
            }
            break;
        default:
            if (below(10) == 0) { // another width
                chunked.MarkAllEstimated();
                plain.measured.assign(plain.measured.size(), false);
            }
            break;
        }
        const int now = static_cast<int>(plain.heights.size());
        ASSERT_EQ(chunked.Size(), now) << "step " << step;
        ASSERT_DOUBLE_EQ(chunked.Total(), plain.Top(now)) << "step " << step;
        ASSERT_EQ(chunked.EstimatedCount(),
                  std::count(plain.measured.begin(), plain.measured.end(), false));
        for (int probe = 0; probe < 4 && now > 0; ++probe) {
            const int index = below(now);
            ASSERT_EQ(chunked.Height(index), plain.heights[index]);
            ASSERT_EQ(chunked.IsMeasured(index), plain.measured[index]);
            ASSERT_DOUBLE_EQ(chunked.Top(index), plain.Top(index)) << "step " << step;
            const double y = below(static_cast<int>(chunked.Total()) + 40) - 20;
            ASSERT_EQ(chunked.IndexAt(y), plain.IndexAt(y)) << "y " << y << ", step " << step;
            ASSERT_EQ(chunked.FirstEstimated(index), plain.FirstEstimated(index));
        }
    }
}

const std::string kSentence = "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。";

/// Paragraphs of one to eight sentences, so that the estimates are off.
std::string Paragraphs(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        for (int s = 0; s <= (i * 7) % 8; ++s)
            text += kSentence;
        text += "\r";
    }
    return text;
}

/// The line starts found by laying out everything and walking every block's layout.
std::vector<int> LineStartsByWalking(RichEditCtrl &control)
{
    control.FinishLayoutForTests();
    std::vector<int> starts;
    for (QTextBlock block = control.Document()->begin(); block.isValid(); block = block.next())
        for (int i = 0; i < block.layout()->lineCount(); ++i)
            starts.push_back(block.position() + block.layout()->lineAt(i).textStart());
    return starts;
}

TEST(LazyLayout, PaintingAndTheTopOfTheTextLayOutOnlyWhatTheyNeed)
{
    auto control = test::ShownControl(300, 200);
    control->HideSelection(true); // the window stays at the top
    Append(*control, Paragraphs(3000));
    control->HideSelection(false);
    EXPECT_FALSE(control->IsLayoutCompleteForTests()) << "a large insertion waits for its layout";
    control->Widget()->grab();
    EXPECT_EQ(control->GetFirstVisibleLine(), 0);
    const int lineThree = control->LineIndex(3);
    control->SetSel(0, 0); // a small edit leaves the rest of the text alone
    control->ReplaceSel(test::Sjis("前"));
    control->Widget()->grab();
    const LazyTextLayout &layout = *LazyTextLayout::Of(*control->Document());
    EXPECT_TRUE(layout.IsLaidOut(control->Document()->firstBlock()));
    EXPECT_FALSE(layout.IsLaidOut(control->Document()->lastBlock().previous()));
    EXPECT_EQ(lineThree + 1, LineStartsByWalking(*control)[3]);

    // The line of the last character needs every paragraph; then all agree with a walk.
    const std::vector<int> starts = LineStartsByWalking(*control);
    control->Widget()->resize(250, 200); // everything wraps anew
    control->Widget()->grab();
    EXPECT_FALSE(control->IsLayoutCompleteForTests());
    EXPECT_EQ(control->LineFromChar(control->GetTextLength()), control->GetLineCount() - 1);
    EXPECT_TRUE(control->IsLayoutCompleteForTests());
    EXPECT_GT(control->GetLineCount(), static_cast<int>(starts.size()));
}

TEST(LazyLayout, EditsIntoAPartlyLaidOutTextKeepLinesAndPlacesExact)
{
    auto control = test::ShownControl(300, 200);
    Append(*control, Paragraphs(400));
    std::mt19937 random(7);
    const auto below = [&](int n) { return static_cast<int>(random() % unsigned(n)); };
    for (int edit = 0; edit < 60; ++edit) {
        // A query somewhere lays out the text up to there, and no further.
        control->LineIndex(below(control->Document()->blockCount()));
        const int length = control->GetTextLength();
        const int at = below(length + 1);
        switch (below(3)) {
        case 0: // paragraphs in, some of them long
            control->SetSel(at, at);
            control->ReplaceSel(test::Sjis(below(2) ? Paragraphs(1 + below(30)) : "短い\r"));
            break;
        case 1: // a range out, paragraph breaks with it
            control->SetSel(at, std::min(length, at + below(2000)));
            control->ReplaceSel("");
            break;
        default: { // larger characters, which wrap into more lines
            CharFormat large;
            large.dwMask = CFM_SIZE;
            large.yHeight = 200 + 40 * below(10);
            control->SetSel(at, std::min(length, at + below(300)));
            control->SetCharFormat(large, FormatScope::Selection);
            break;
        }
        }
    }
    const std::vector<int> starts = LineStartsByWalking(*control);
    ASSERT_EQ(control->GetLineCount(), static_cast<int>(starts.size()));
    for (int line = 0; line < static_cast<int>(starts.size()); line += 7)
        ASSERT_EQ(control->LineIndex(line), starts[line]) << "line " << line;
    // Every paragraph stands right below the one before it.
    const LazyTextLayout &layout = *LazyTextLayout::Of(*control->Document());
    qreal y = control->Document()->documentMargin();
    for (QTextBlock block = control->Document()->begin(); block.isValid(); block = block.next()) {
        ASSERT_DOUBLE_EQ(layout.BlockTop(block.blockNumber()), y) << block.blockNumber();
        const QTextLayout *lines = block.layout();
        const QTextLine last = lines->lineAt(lines->lineCount() - 1);
        y += std::ceil(last.y() + last.ascent() + last.descent() + last.leading());
    }
    EXPECT_DOUBLE_EQ(control->TextHeight(), y + control->Document()->documentMargin());
}

TEST(LazyLayout, TheTextAtTheTopStaysPutWhileTheTextAboveIsLaidOut)
{
    auto control = test::ShownControl(300, 200);
    Append(*control, Paragraphs(1500));
    control->FinishLayoutForTests();
    control->Widget()->resize(220,
                              200); // every paragraph wraps anew: the heights above are estimates
    control->Widget()->grab();
    control->SetScrollPos(control->VerticalScrollBar().maximum() / 2);
    control->Widget()->grab();
    const QPoint topLeft(2, 2);
    const int atTop = control->CharFromPos(topLeft);
    ASSERT_FALSE(control->IsLayoutCompleteForTests());
    control->FinishLayoutForTests();
    EXPECT_EQ(control->CharFromPos(topLeft), atTop);
}

TEST(LazyLayout, APictureTakesItsSize)
{
    auto control = test::ShownControl(300, 200);
    QImage picture(40, 90, QImage::Format_RGB32);
    picture.fill(Qt::red);
    control->Document()->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("p")),
                                     picture);
    QTextCursor cursor(control->Document());
    cursor.insertImage(QStringLiteral("p"));
    cursor.insertText(QStringLiteral("\u3042"));
    const QRectF block =
        control->Document()->documentLayout()->blockBoundingRect(control->Document()->firstBlock());
    EXPECT_GE(block.height(), 90);
    EXPECT_EQ(control->Widget()->grab().toImage().pixelColor(12, 40), QColor(Qt::red));
}

TEST(LazyLayout, TextAnInputMethodComposesShowsBeforeItIsCommitted)
{
    auto control = test::ShownControl(300, 200);
    control->Widget()->setFocus();
    const QImage empty = control->Widget()->grab().toImage();
    QInputMethodEvent composing(QStringLiteral("\u306b\u307b\u3093"),
                                {{QInputMethodEvent::Cursor, 2, 1, QVariant()}});
    QCoreApplication::sendEvent(control->Widget(), &composing);
    EXPECT_NE(control->Widget()->grab().toImage(), empty) << "the composed text is drawn";
    EXPECT_EQ(control->GetTextLength(), 0) << "and not yet in the text";
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("\u65e5\u672c"));
    QCoreApplication::sendEvent(control->Widget(), &commit);
    EXPECT_EQ(test::TextOf(*control), "日本");
    EXPECT_EQ(control->GetLineCount(), 1);
}

} // namespace
} // namespace kivo
