// The map of the differences beside each window's scroll bar, on the offscreen platform: where
// its marks stand, what it paints, and where a click or a drag on it scrolls.

#include "CompareFixture.h"

#include "CharFormatQt.h"
#include "resulttext/ResultMarks.h"
#include "resulttext/RowScroll.h"
#include "views/DiffMap.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QStyle>
#include <QTextBlock>

#include <algorithm>

namespace kivo {
namespace {

using test::CompareInWindowsTest;
using test::Sjis;

constexpr int kSentences = 300;
constexpr int kChanged = 40;
constexpr int kMovedAfter = 60; // the right text holds the moved sentence after this one
constexpr int kDeleted = 120;
constexpr int kAddedAfter = 200;
constexpr int kMoved = 280;

std::string Sentence(int i, bool changed = false)
{
    std::string body = Sjis("これは") + std::to_string(i) + Sjis("番目の文です");
    if (i % 11 == 5)
        for (int k = 0; k < 6; ++k)
            body += Sjis("、長く続けて折り返させます");
    return body + (changed ? Sjis("ね") : std::string()) + Sjis("。");
}

const std::string kAdded = Sjis("新しく書き足した文です。");

/// Left: the sentences in order. Right: one changed, one deleted, one added, one moved up.
std::pair<std::string, std::string> MapTexts()
{
    std::string left, right;
    for (int i = 0; i < kSentences; ++i) {
        left += Sentence(i);
        if (i == kDeleted || i == kMoved)
            continue;
        right += Sentence(i, i == kChanged);
        if (i == kMovedAfter)
            right += Sentence(kMoved);
        if (i == kAddedAfter)
            right += kAdded;
    }
    return {left, right};
}

/// A run of pixel rows of the strip with one kind of mark.
struct Segment {
    RunKind kind;
    int top;
    int bottom; // the last pixel row
};

class DiffMapTest : public CompareInWindowsTest {
protected:
    void CompareTexts()
    {
        m_app->Options().ViewMove = 1;
        const auto [left, right] = MapTexts();
        CompareAndCheck(left, right);
        ASSERT_EQ(m_app->Options().SyncScroll, 1);
    }

    DiffMap &Map(int pane) const { return *Edit(pane).Widget()->findChild<DiffMap *>(); }

    /// The row of the paragraph that holds the first occurrence of a text.
    int RowOf(int pane, const std::string &text) const
    {
        const std::string shown = Edit(pane).GetText();
        const std::size_t at = shown.find(text);
        EXPECT_NE(at, std::string::npos) << test::Utf8(text);
        QTextBlock block = Edit(pane).Document()->findBlock(CharPosition(shown, at));
        while (block.isValid() && RowStartOf(block) < 0)
            block = block.previous();
        return RowStartOf(block);
    }

    /// Document y of the top of a row and of the next row's top.
    std::pair<double, double> RowExtent(int pane, int row) const
    {
        const QTextDocument &document = *Edit(pane).Document();
        const auto top = [&document](const QTextBlock &block) {
            return document.documentLayout()->blockBoundingRect(block).top();
        };
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            if (RowStartOf(block) != row)
                continue;
            QTextBlock next = block.next();
            while (next.isValid() && RowStartOf(next) < 0)
                next = next.next();
            return {top(block), next.isValid() ? top(next) : Edit(pane).TextHeight()};
        }
        ADD_FAILURE() << "no row " << row << " in pane " << pane;
        return {0, 0};
    }

    /// The strip's y in the middle of a row.
    int MiddleOf(int pane, int row) const
    {
        const auto [top, bottom] = RowExtent(pane, row);
        return Map(pane).StripY((top + bottom) / 2);
    }

    std::vector<Segment> Segments(int pane) const
    {
        std::vector<Segment> segments;
        const DiffMap &map = Map(pane);
        for (int y = 0; y < map.height(); ++y) {
            const RunKind kind = map.KindAt(y);
            if (kind == RunKind::None)
                continue;
            if (!segments.empty() && segments.back().kind == kind &&
                segments.back().bottom == y - 1)
                segments.back().bottom = y;
            else
                segments.push_back({kind, y, y});
        }
        return segments;
    }

    QColor ColorOf(std::size_t slot) const
    {
        return charformat::ToQColor(m_app->Options().Color[slot]);
    }

    /// The thumb of a window's scroll bar, in the map's coordinates.
    QRect Thumb(int pane) const
    {
        const QScrollBar &bar = *(&Edit(pane).VerticalScrollBar());
        const QRect thumb = ScrollBarPart(bar, QStyle::SC_ScrollBarSlider);
        return QRect(Map(pane).mapFromGlobal(bar.mapToGlobal(thumb.topLeft())), thumb.size());
    }
};

TEST_F(DiffMapTest, MarksStandAtTheRowsOfTheDifferencesInBothWindowsAndFollowEdits)
{
    CompareTexts();
    struct Expected {
        int row;
        RunKind kind;
        std::size_t colour;
    };
    std::vector<Expected> expected{
        {RowOf(1, Sjis("これは40番目")), RunKind::Changed, ColorChanged},
        {RowOf(2, Sentence(kMoved)), RunKind::Moved, ColorMoved},
        {RowOf(1, Sentence(kDeleted)), RunKind::Deleted, ColorDeleted},
        {RowOf(2, kAdded), RunKind::Added, ColorAdded},
        {RowOf(1, Sentence(kMoved)), RunKind::Moved, ColorMoved},
    };
    ASSERT_TRUE(std::is_sorted(expected.begin(), expected.end(),
                               [](const Expected &a, const Expected &b) { return a.row < b.row; }));
    const int quietRow = RowOf(1, Sentence(250)); // far from every difference and off screen

    const auto check = [&](const char *when) {
        for (const int pane : {1, 2}) {
            SCOPED_TRACE(testing::Message() << when << ", pane " << pane);
            DiffMap &map = Map(pane);
            map.UpdateMarks();
            EXPECT_EQ(map.x(), Edit(pane).Viewport()->geometry().right() + 1) << "beside the bar";
            const std::vector<Segment> segments = Segments(pane);
            ASSERT_EQ(segments.size(), expected.size());
            const QImage painted = map.grab().toImage();
            for (std::size_t i = 0; i < expected.size(); ++i) {
                const int y = MiddleOf(pane, expected[i].row);
                EXPECT_EQ(segments[i].kind, expected[i].kind) << "mark " << i;
                EXPECT_LE(segments[i].top, y) << "mark " << i;
                EXPECT_GE(segments[i].bottom, y) << "mark " << i;
                EXPECT_EQ(painted.pixelColor(map.width() / 2, y), ColorOf(expected[i].colour))
                    << "mark " << i;
            }
            EXPECT_EQ(painted.pixelColor(map.width() / 2, MiddleOf(pane, quietRow)),
                      ColorOf(Background));
        }
    };
    check("after the comparison");

    // The deleted sentence is deleted on the left too: its row no longer differs.
    const std::string shown = Edit(1).GetText();
    const std::size_t at = shown.find(Sentence(kDeleted));
    Edit(1).SetSel(CharPosition(shown, at), CharPosition(shown, at + Sentence(kDeleted).size()));
    Edit(1).ReplaceSelText(QString());
    expected.erase(expected.begin() + 2);
    check("after an edit");

    // Narrower windows wrap more lines: the rows move down and the marks with them.
    const double before = RowExtent(1, expected.back().row).first;
    m_frame->resize(900, 800);
    m_frame->TileSideBySide();
    ASSERT_TRUE(RunUntil([this] { return !Doc()->LevellingPending(); }));
    ASSERT_GT(RowExtent(1, expected.back().row).first, before);
    check("after re-levelling");
}

TEST_F(DiffMapTest, AClickScrollsThereAndTheOtherWindowFollowsWhenSynchronised)
{
    for (const bool synchronised : {true, false}) {
        SCOPED_TRACE(synchronised ? "synchronised" : "not synchronised");
        CompareTexts();
        m_app->Options().SyncScroll = synchronised ? 1 : 0;
        DiffMap &map = Map(1);
        map.UpdateMarks();
        const int row = RowOf(1, Sentence(kDeleted));
        const int y = MiddleOf(1, row);
        ASSERT_EQ(map.KindAt(y), RunKind::Deleted);
        const int before = Edit(2).GetScrollPos();

        QTest::mouseClick(&map, Qt::LeftButton, {}, QPoint(map.width() / 2, y));
        const int scroll = Edit(1).GetScrollPos();
        const auto [top, bottom] = RowExtent(1, row);
        EXPECT_GT(top, scroll);
        EXPECT_LT(bottom, scroll + Edit(1).Viewport()->height()) << "the row is on screen";
        if (synchronised)
            EXPECT_EQ(TopRow(Edit(2)), TopRow(Edit(1)));
        else
            EXPECT_EQ(Edit(2).GetScrollPos(), before);
        // The part on screen stands where the scroll bar's thumb is.
        EXPECT_NEAR(map.StripY(scroll), Thumb(1).top(), 2);

        // A drag to the foot of the strip reaches the end of the text.
        QTest::mousePress(&map, Qt::LeftButton, {}, QPoint(map.width() / 2, y));
        QMouseEvent drag(QEvent::MouseMove, QPointF(map.width() / 2, map.height() - 1),
                         map.mapToGlobal(QPointF(map.width() / 2, map.height() - 1)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&map, &drag);
        QTest::mouseRelease(&map, Qt::LeftButton, {}, QPoint(map.width() / 2, map.height() - 1));
        EXPECT_EQ(Edit(1).GetScrollPos(), Edit(1).VerticalScrollBar().maximum());
        EXPECT_EQ(Edit(2).GetScrollPos() == Edit(2).VerticalScrollBar().maximum(), synchronised);
        EXPECT_NEAR(map.StripY(Edit(1).GetScrollPos() + Edit(1).Viewport()->height()),
                    Thumb(1).bottom(), 2);
    }
}

} // namespace
} // namespace kivo
