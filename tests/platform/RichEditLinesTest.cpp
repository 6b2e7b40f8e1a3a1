#include "RichEditTestSupport.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

namespace kivo {
namespace {

using test::Append;
using test::Sjis;

const std::string kLong =
    "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。"
    "何でも薄暗いじめじめした所でニャーニャー泣いていた事だけは記憶している。";

/// The line starts found by walking every block's layout.
std::vector<int> LineStartsByWalking(RichEditCtrl &control)
{
    control.GetLineCount(); // finishes the layout and settles the scroll bar
    std::vector<int> starts;
    for (QTextBlock block = control.Document()->begin(); block.isValid(); block = block.next()) {
        const QTextLayout *layout = block.layout();
        for (int i = 0; i < layout->lineCount(); ++i)
            starts.push_back(block.position() + layout->lineAt(i).textStart());
    }
    return starts;
}

/// Empty when every line query agrees with the walk, else the first disagreement.
std::string LineQueriesDisagree(RichEditCtrl &control)
{
    const std::vector<int> starts = LineStartsByWalking(control);
    std::ostringstream out;
    if (control.GetLineCount() != static_cast<int>(starts.size()))
        out << "line count " << control.GetLineCount() << " != " << starts.size();
    for (int line = 0; out.str().empty() && line < static_cast<int>(starts.size()); ++line) {
        if (control.LineIndex(line) != starts[line])
            out << "LineIndex(" << line << ") " << control.LineIndex(line)
                << " != " << starts[line];
    }
    if (out.str().empty() && control.LineIndex(static_cast<int>(starts.size())) != -1)
        out << "a line past the end exists";
    for (int position = 0; out.str().empty() && position <= control.GetTextLength(); ++position) {
        const auto line =
            std::upper_bound(starts.begin(), starts.end(), position) - starts.begin() - 1;
        if (control.LineFromChar(position) != line)
            out << "LineFromChar(" << position << ") " << control.LineFromChar(position)
                << " != " << line;
    }
    return out.str();
}

TEST(RichEditLines, WrappedLinesAreDisplayLines)
{
    auto control = test::ShownControl(300, 400);
    Append(*control, kLong + "\r\r短い。\r");
    EXPECT_EQ(LineQueriesDisagree(*control), "");
    const int lines = control->GetLineCount();
    EXPECT_GT(lines, 5) << "the long paragraph wraps";

    // The wrapped lines of the paragraph put together give it back, with its paragraph break.
    std::string paragraph;
    for (int line = 0; line < lines - 3; ++line)
        paragraph += control->GetLine(line);
    EXPECT_EQ(test::Utf8(paragraph), kLong + "\r");
    EXPECT_EQ(control->GetLine(lines - 3), Sjis("\r"));
    EXPECT_EQ(control->GetLine(lines - 2), Sjis("短い。\r"));
    EXPECT_EQ(control->GetLine(lines - 1), ""); // the empty last line
    EXPECT_EQ(control->GetLine(lines), "");
    EXPECT_EQ(control->LineFromChar(1 << 30), lines - 1);
}

TEST(RichEditLines, EditsAnywhereKeepTheCountsRight)
{
    auto control = test::ShownControl(300, 400);
    for (int i = 0; i < 6; ++i)
        Append(*control, kLong + "\r短い文。\r");
    ASSERT_EQ(LineQueriesDisagree(*control), "");

    control->SetSel(40, 40); // break a wrapped paragraph in two
    control->ReplaceSel(Sjis("\r"));
    EXPECT_EQ(LineQueriesDisagree(*control), "") << "after a split";

    control->SetSel(30, 150); // join paragraphs
    control->ReplaceSel("");
    EXPECT_EQ(LineQueriesDisagree(*control), "") << "after a join";

    control->SetSel(0, 20); // larger text wraps into more lines
    CharFormat large;
    large.dwMask = CFM_SIZE;
    large.yHeight = 480;
    const int before = control->GetLineCount();
    control->SetCharFormat(large, FormatScope::Selection);
    EXPECT_GT(control->GetLineCount(), before);
    EXPECT_EQ(LineQueriesDisagree(*control), "") << "after a format change";

    QTextCursor cursor(control->Document()); // an edit that does not go through the control
    cursor.setPosition(100);
    cursor.insertText(QString::fromUtf8(kLong.c_str()));
    control->Undo();
    EXPECT_EQ(LineQueriesDisagree(*control), "") << "after an undo";
}

TEST(RichEditLines, AnotherWidthWrapsEverythingAnew)
{
    auto control = test::ShownControl(300, 400);
    for (int i = 0; i < 4; ++i)
        Append(*control, kLong + "\r");
    const int atThree = control->GetLineCount();
    control->Widget()->resize(150, 400);
    EXPECT_GT(control->GetLineCount(), atThree);
    EXPECT_EQ(LineQueriesDisagree(*control), "");
    control->Widget()->resize(1200, 400);
    EXPECT_LT(control->GetLineCount(), atThree);
    EXPECT_EQ(LineQueriesDisagree(*control), "");
}

TEST(RichEditLines, RecordsCountRightAsTheyArriveAndTheScrollBarAppears)
{
    // As rendering does: a record, a query, the next record. Records of 1 to 40 characters wrap
    // into one to three lines; the scroll bar appears on the way and narrows the text.
    auto control = test::ShownControl(300, 150);
    for (int i = 0; i < 16; ++i) {
        const std::size_t characters = 1 + (i * 13) % 40;
        Append(*control, kLong.substr(0, 3 * characters) + "\r"); // three bytes a character
        ASSERT_EQ(LineQueriesDisagree(*control), "") << "after record " << i;
    }
    EXPECT_TRUE(control->HasVerticalScrollBar());
    EXPECT_GT(control->GetLineCount(), 17);
}

TEST(RichEditLines, BeforeTheFirstShowLinesFollowTheGivenSize)
{
    RichEditCtrl control;
    control.Widget()->resize(150, 400);
    control.ReplaceSel(Sjis(kLong + "\r二\r"));
    const int hidden = control.GetLineCount();
    EXPECT_GT(hidden, 3);
    EXPECT_EQ(LineQueriesDisagree(control), "");

    control.Widget()->show();
    EXPECT_EQ(control.GetLineCount(), hidden);
    EXPECT_EQ(LineQueriesDisagree(control), "");
}

TEST(RichEditLines, LineIndexOfTheCaretLine)
{
    auto control = test::ShownControl(600, 200);
    Append(*control, "一行目\r二行目\r");
    control->SetSel(5, 5);
    EXPECT_EQ(control->LineIndex(), 4);
    EXPECT_EQ(control->LineIndex(-2), -1);
}

TEST(RichEditLines, ABatchAnswersEveryQueryAsSingleEditsDo)
{
    // The same records, written run by run, into a control that lays out each edit and into
    // one that batches them: queries in between, painting and the end of the batch see the
    // same lines.
    auto single = test::ShownControl(300, 150);
    auto batched = test::ShownControl(300, 150);
    for (RichEditCtrl *control : {single.get(), batched.get()})
        control->HideSelection(true); // as during the display: the caret is not brought into view
    batched->BeginLayoutBatch();
    batched->BeginLayoutBatch(); // batches nest
    for (int i = 0; i < 24; ++i) {
        const std::size_t characters = 1 + (i * 13) % 40;
        for (RichEditCtrl *control : {single.get(), batched.get()}) {
            for (std::size_t run = 0; run < characters; run += 7) // three bytes a character
                control->ReplaceSel(
                    Sjis(kLong.substr(3 * run, 3 * std::min<std::size_t>(7, characters - run))));
            control->ReplaceSel(Sjis("\r"));
        }
        if (i % 3 == 0) {
            ASSERT_EQ(batched->GetLineCount(), single->GetLineCount()) << "after record " << i;
        }
        if (i == 10)
            batched->Widget()->grab(); // painting lays out the batch so far
    }
    batched->EndLayoutBatch();
    EXPECT_EQ(batched->GetText(), single->GetText());
    EXPECT_EQ(LineStartsByWalking(*batched), LineStartsByWalking(*single));
    batched->EndLayoutBatch();
    EXPECT_EQ(LineQueriesDisagree(*batched), "");
    EXPECT_EQ(LineStartsByWalking(*batched), LineStartsByWalking(*single));
    EXPECT_TRUE(batched->HasVerticalScrollBar());
}

} // namespace
} // namespace kivo
