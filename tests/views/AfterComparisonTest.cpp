// What a user does with a result once it is shown: stepping from difference to difference, the
// summary in the status bar, and rows kept level when the windows wrap their lines anew.

#include "CompareFixture.h"

#include "platform/framework/UpdateHint.h"
#include "platform/widgets/StatusBar.h"
#include "resulttext/ResultMarks.h"
#include "resulttext/RowLeveller.h"
#include "resulttext/RowScroll.h"

#include "LazyTextLayout.h"
#include "RichEditCtrl.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <map>
#include <memory>
#include <tuple>

namespace kivo {
namespace {

using namespace res;
using test::CompareInWindowsTest;
using test::Sjis;

/// Numbers of the records a difference step stops at, in order.
std::vector<int> DifferenceRecords(const ResultList &records)
{
    std::vector<int> numbers;
    int number = 0;
    for (const ResultPair &record : records) {
        if (record.status == TextStatus::Changed || record.status == TextStatus::Added ||
            record.status == TextStatus::Deleted)
            numbers.push_back(number);
        ++number;
    }
    return numbers;
}

const ResultPair &RecordAt(const ResultList &records, int number)
{
    return *std::next(records.begin(), number);
}

class AfterComparisonTest : public CompareInWindowsTest {
protected:
    /// Steps once with the next or previous difference command, as chosen from the menu; the
    /// record reached, or -1 when the command is disabled.
    int Step(bool forward)
    {
        const int command = forward ? ID_NEXT_DIFFERENCE : ID_PREV_DIFFERENCE;
        m_frame->UpdateCmdUI();
        if (!m_frame->State(command).enabled)
            return -1;
        const std::optional<int> target = View(1)->FindDifference(forward);
        EXPECT_TRUE(m_frame->Execute(command));
        return target.value_or(-2);
    }

    /// The display line of the first paragraph of each row of a window.
    std::map<int, int> RowStartLines(int pane) const
    {
        std::map<int, int> lines;
        for (QTextBlock block = Edit(pane).Document()->begin(); block.isValid();
             block = block.next()) {
            if (RowStartOf(block) >= 0)
                lines[RowStartOf(block)] = Edit(pane).LineFromChar(block.position());
        }
        return lines;
    }

    /// Rows whose first lines differ between the windows (rows both windows have).
    std::vector<int> UnlevelRows() const
    {
        const std::map<int, int> left = RowStartLines(1);
        const std::map<int, int> right = RowStartLines(2);
        std::vector<int> rows;
        for (const auto &[row, line] : left) {
            const auto there = right.find(row);
            if (there != right.end() && there->second != line)
                rows.push_back(row);
        }
        return rows;
    }

    /// The window's text without its line breaks.
    std::string TextWithoutBreaks(int pane) const
    {
        std::string text = Edit(pane).GetText();
        std::erase(text, '\r');
        return text;
    }

    /// n sentences that wrap on up to seven lines (zero to six extra clauses, in turn); the
    /// left breaks the line after every fifth, the right adds a word to every thirteenth and,
    /// `prefixed`, begins every ninth with three letters.
    static std::pair<std::string, std::string> LongParagraphTexts(int n, bool prefixed = false)
    {
        std::string left;
        std::string right;
        for (int i = 0; i < n; ++i) {
            std::string sentence = Sjis("第") + std::to_string(i) + Sjis("条の文です");
            for (int k = 0; k < i % 7; ++k)
                sentence += Sjis("、さらに長く続けて何行にも折り返させる");
            left += sentence + Sjis(i % 5 == 0 ? "。\r" : "。");
            right += (prefixed && i % 9 == 0 ? "ABC" : "") + sentence +
                     Sjis(i % 13 == 0 ? "追加。" : "。");
        }
        return {left, right};
    }

    bool LevellingEnds()
    {
        return RunUntil([this] { return !Doc()->LevellingPending(); });
    }

    QString StatusText() const { return m_frame->Status()->IdleText(); }
};

// Same, changed, added and deleted pairs, and changes inside a sentence.
const std::string kLeft = Sjis("一つ目の文。二つ目の文です。消える文。四つ目の文。最後の文。");
const std::string kRight = Sjis("一つ目の文。二つめの文でした。四つ目の文。増えた文。最後の文！");

TEST_F(AfterComparisonTest, DifferenceStepsVisitEveryDifferenceInOrderBothWays)
{
    const ResultList records = CompareAndCheck(kLeft, kRight);
    const std::vector<int> expected = DifferenceRecords(records);
    ASSERT_GE(expected.size(), 4u);

    Edit(1).SetSel(0, 0);
    m_frame->ActivateChild(Pane(1));
    std::vector<int> forward;
    for (int record = Step(true); record >= 0; record = Step(true)) {
        forward.push_back(record);
        // The record is selected in each window that shows text of it.
        const ResultPair &pair = RecordAt(records, record);
        if (!pair.leftText.empty()) {
            EXPECT_EQ(Edit(1).GetSelText(), pair.leftText) << "record " << record;
        }
        if (!pair.rightText.empty()) {
            EXPECT_EQ(Edit(2).GetSelText(), pair.rightText) << "record " << record;
        }
        ASSERT_LE(forward.size(), expected.size());
    }
    EXPECT_EQ(forward, expected);
    // At the last difference only the way back is open.
    m_frame->UpdateCmdUI();
    EXPECT_FALSE(m_frame->State(ID_NEXT_DIFFERENCE).enabled);
    EXPECT_TRUE(m_frame->State(ID_PREV_DIFFERENCE).enabled);

    std::vector<int> backward;
    for (int record = Step(false); record >= 0; record = Step(false))
        backward.push_back(record);
    const std::vector<int> reversed(expected.rbegin() + 1, expected.rend());
    EXPECT_EQ(backward, reversed);

    // From the very end of the right window, backwards reaches the last difference.
    m_frame->ActivateChild(Pane(2));
    Edit(2).SetSel(-1, -1);
    Edit(2).SetSel(Edit(2).GetTextLength(), Edit(2).GetTextLength());
    m_frame->UpdateCmdUI();
    EXPECT_FALSE(m_frame->State(ID_NEXT_DIFFERENCE).enabled);
    ASSERT_TRUE(m_frame->Execute(ID_PREV_DIFFERENCE));
    EXPECT_EQ(Edit(2).GetSelText(), RecordAt(records, expected.back()).rightText);
}

// The runs a comparison reads for the difference commands a few fragments per step are the runs
// read at once, whatever the number of fragments per step.
TEST_F(AfterComparisonTest, RunsReadInPiecesAreTheRunsReadAtOnce)
{
    m_app->Options().ViewMove = 1;
    CompareAndCheck(kLeft + kRight + kLeft, kRight + kLeft + kLeft);
    const auto fields = [](const std::vector<MarkedRun> &runs) {
        std::vector<std::tuple<int, int, int, RunKind>> out;
        for (const MarkedRun &run : runs)
            out.emplace_back(run.start, run.end, run.record, run.kind);
        return out;
    };
    for (const int pane : {1, 2}) {
        const QTextDocument &document = *Edit(pane).Document();
        const int result = View(pane)->ResultNumber();
        const auto expected = fields(CollectRuns(document, result));
        ASSERT_GT(expected.size(), 10u);
        EXPECT_EQ(fields(View(pane)->Runs()), expected) << "pane " << pane;
        for (const std::int64_t units : {1, 2, 3, 7}) {
            RunCollector collector(document, result);
            int calls = 1;
            while (!collector.Collect(units))
                ++calls;
            EXPECT_GT(calls, 1);
            EXPECT_EQ(fields(collector.Take()), expected) << "pane " << pane << ", " << units;
        }
    }
}

TEST_F(AfterComparisonTest, DifferenceStepsFollowTheMarksThroughEditsAndEqualColours)
{
    const ResultList records = CompareAndCheck(kLeft, kRight);
    const std::vector<int> expected = DifferenceRecords(records);

    // The same colour for every status, as the colour dialog allows: the text keeps its marks.
    RichOptions &options = m_app->Options();
    for (std::size_t slot = ColorOriginal; slot <= ColorDeleted; ++slot)
        options.Color[slot] = 0x000000;
    Doc()->UpdateAllViews(nullptr, static_cast<long>(UpdateHint::ColorsChanged));

    // Typing in front of everything moves the text, not the marks' meaning.
    m_frame->ActivateChild(Pane(1));
    Edit(1).SetSel(0, 0);
    QTest::keyClicks(Edit(1).Widget(), QStringLiteral("xyz"));
    Edit(1).SetSel(0, 0);
    EXPECT_EQ(Step(true), expected.front());

    // A difference the user deleted from both windows is no longer a stop.
    const int second = expected[1];
    for (const int pane : {1, 2}) {
        const std::string &text =
            pane == 1 ? RecordAt(records, second).leftText : RecordAt(records, second).rightText;
        if (text.empty())
            continue;
        const std::vector<MarkedRun> &runs = View(pane)->Runs();
        const auto run = std::find_if(runs.begin(), runs.end(), [second](const MarkedRun &r) {
            return r.record == second && r.kind != RunKind::Separator;
        });
        ASSERT_NE(run, runs.end());
        QTextCursor cursor(Edit(pane).Document());
        cursor.setPosition(run->start);
        cursor.setPosition(run->end, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    Edit(1).SetSel(0, 0);
    std::vector<int> visited;
    for (int record = Step(true); record >= 0; record = Step(true))
        visited.push_back(record);
    std::vector<int> remaining = expected;
    std::erase(remaining, second);
    EXPECT_EQ(visited, remaining);

    // A window emptied by the user has nothing to step to.
    m_frame->ActivateChild(Pane(1));
    ASSERT_TRUE(m_frame->Execute(ID_EDIT_CLEAR_ALL));
    m_frame->UpdateCmdUI();
    EXPECT_FALSE(m_frame->State(ID_NEXT_DIFFERENCE).enabled);
    EXPECT_FALSE(m_frame->State(ID_PREV_DIFFERENCE).enabled);
}

TEST_F(AfterComparisonTest, ADifferenceFarDownIsScrolledToTheSameRowInBothWindows)
{
    const auto [left, right] = Texts(300);
    const ResultList records = CompareAndCheck(left, right);
    m_frame->ActivateChild(Pane(1));
    // From the middle of the text, in both directions.
    for (const bool forward : {true, false}) {
        const int middle = Edit(1).LineIndex(Edit(1).GetLineCount() / 2);
        Edit(1).SetSel(middle, middle);
        const int record = Step(forward);
        ASSERT_GE(record, 0);
        EXPECT_EQ(Edit(1).GetSelText(), RecordAt(records, record).leftText);
        const int first = Edit(1).GetFirstVisibleLine();
        EXPECT_GT(first, 100);
        EXPECT_EQ(Edit(2).GetFirstVisibleLine(), first);
        const int line = Edit(2).LineFromChar(Edit(2).GetSel().start);
        EXPECT_GE(line, first);
        EXPECT_LE(line, first + 4) << "the difference is near the top";
        EXPECT_EQ(View(1)->LastTopLine(), first) << "synchronised scrolling goes on from here";
    }

    // While a comparison runs, the steps are disabled.
    ASSERT_TRUE(StartComparing(left, right));
    m_frame->UpdateCmdUI();
    EXPECT_FALSE(m_frame->State(ID_NEXT_DIFFERENCE).enabled);
    EXPECT_FALSE(m_frame->State(ID_PREV_DIFFERENCE).enabled);
    ASSERT_TRUE(RunUntil([this] { return !Driver().IsRunning(); }));
}

TEST_F(AfterComparisonTest, TheSummaryCountsThePairsUntilTheNextEdit)
{
    EXPECT_EQ(StatusText(), QStringLiteral("レディ"));
    const ResultList records = CompareAndCheck(kLeft, kRight);
    const ResultSummary summary = Summarize(records);
    EXPECT_EQ(summary, (ResultSummary{2, 2, 1, 1, std::nullopt}));
    EXPECT_EQ(StatusText(), QStringLiteral("同一 2・変更 2・追加 1・削除 1"));

    // Levelling after a resize is no edit.
    m_frame->resize(700, 800);
    m_frame->TileSideBySide();
    ASSERT_TRUE(LevellingEnds());
    EXPECT_EQ(StatusText(), QStringLiteral("同一 2・変更 2・追加 1・削除 1"));

    m_frame->ActivateChild(Pane(2));
    QTest::keyClicks(Edit(2).Widget(), QStringLiteral("a"));
    EXPECT_EQ(StatusText(), QStringLiteral("レディ"));

    // An aborted comparison has no summary.
    auto [left, right] = Texts(400);
    ASSERT_TRUE(StartComparing(left, right));
    ASSERT_TRUE(RunUntil([this] {
        return Driver().State() == CompareState::Display && Driver().Status().displayScrollable;
    }));
    Driver().RequestAbort();
    ASSERT_TRUE(RunUntil([this] { return !Driver().IsRunning(); }));
    EXPECT_FALSE(Driver().Summary().has_value());
    EXPECT_EQ(StatusText(), QStringLiteral("レディ"));
}

TEST_F(AfterComparisonTest, MovedSentencesHaveTheirColourAndCtrlJGoesBetweenTheirEnds)
{
    RichOptions &options = m_app->Options();
    options.ViewMove = 1;
    // The last paragraph of the left text stands first on the right.
    const std::string left = Sjis("春は桜が咲く。夏は海に行く。秋は紅葉を見る。冬は雪が降る。");
    const std::string right = Sjis("冬は雪が降る。春は桜が咲く。夏は海に行く。秋は紅葉を見る。");
    const ResultList records = CompareAndCheck(left, right);
    // The moved sentence counts once, as moved, not also as added and deleted.
    EXPECT_EQ(StatusText(), QStringLiteral("同一 3・変更 0・追加 0・削除 0・移動 1"));

    const std::string moved = Sjis("冬は雪が降る。");
    const auto select = [this, &moved](int pane) {
        const std::string text = Edit(pane).GetText();
        const std::size_t at = text.find(moved);
        EXPECT_NE(at, std::string::npos);
        const int position = CharPosition(text, at);
        Edit(pane).SetSel(position + 1, position + 1);
        Edit(pane).SetSel(position, position + 1);
        return Edit(pane).GetCharFormat(FormatScope::Selection);
    };
    for (const int pane : {1, 2}) {
        const CharFormat format = select(pane);
        EXPECT_EQ(format.crTextColor, options.Color[ColorMoved]) << "pane " << pane;
        EXPECT_EQ(format.dwEffects & CFE_ITALIC, CFE_ITALIC) << "pane " << pane;
    }
    const CharFormat kept = [&] {
        const std::string text = Edit(1).GetText();
        const int position = CharPosition(text, text.find(Sjis("春")));
        Edit(1).SetSel(position, position + 1);
        return Edit(1).GetCharFormat(FormatScope::Selection);
    }();
    EXPECT_EQ(kept.crTextColor, options.Color[ColorSame]);

    // Shift+F8 from the end stops at both ends.
    m_frame->ActivateChild(Pane(1));
    Edit(1).SetSel(Edit(1).GetTextLength(), Edit(1).GetTextLength());
    std::vector<int> stops;
    for (int record = Step(false); record >= 0; record = Step(false))
        stops.push_back(record);
    const std::vector<int> differences = DifferenceRecords(records);
    EXPECT_EQ(stops, std::vector<int>(differences.rbegin(), differences.rend()));
    EXPECT_EQ(stops.size(), 2u);

    // Ctrl+J from the left end selects the right end in the right window, and back.
    m_frame->ActivateChild(Pane(1));
    Edit(1).SetSel(0, 0);
    m_frame->UpdateCmdUI();
    EXPECT_FALSE(m_frame->State(ID_GO_TO_MOVED).enabled) << "the caret is in no moved sentence";
    select(1);
    m_frame->UpdateCmdUI();
    ASSERT_TRUE(m_frame->State(ID_GO_TO_MOVED).enabled);
    ASSERT_TRUE(m_frame->Execute(ID_GO_TO_MOVED));
    EXPECT_EQ(m_frame->ActiveChild(), Pane(2));
    EXPECT_EQ(Edit(2).GetSelText(), moved);
    m_frame->UpdateCmdUI();
    ASSERT_TRUE(m_frame->Execute(ID_GO_TO_MOVED));
    EXPECT_EQ(m_frame->ActiveChild(), Pane(1));
    EXPECT_EQ(Edit(1).GetSelText(), moved);
}

TEST_F(AfterComparisonTest, WithoutMovesTheMovedSentenceIsPlainlyDeletedAndAdded)
{
    const std::string left = Sjis("春は桜が咲く。冬は雪が降る。");
    const std::string right = Sjis("冬は雪が降る。春は桜が咲く。");
    CompareAndCheck(left, right);
    EXPECT_EQ(StatusText(), QStringLiteral("同一 1・変更 0・追加 1・削除 1"));
    const std::string text = Edit(1).GetText();
    const int position = CharPosition(text, text.find(Sjis("冬")));
    Edit(1).SetSel(position, position + 1);
    EXPECT_EQ(Edit(1).GetCharFormat(FormatScope::Selection).crTextColor,
              m_app->Options().Color[ColorDeleted]);
    m_frame->ActivateChild(Pane(1));
    m_frame->UpdateCmdUI();
    EXPECT_FALSE(m_frame->State(ID_GO_TO_MOVED).enabled);
}

TEST_F(AfterComparisonTest, EveryRowIsLevelAgainAfterAResizeAndAFontChange)
{
    // Every eleventh sentence is long on the left only: it wraps on more lines there.
    std::string left;
    std::string right;
    for (int i = 0; i < 300; ++i) {
        const std::string body = Sjis("これは") + std::to_string(i) + Sjis("番目の文です");
        std::string tail;
        if (i % 11 == 5)
            for (int k = 0; k < 8; ++k)
                tail += Sjis("、長く続けて折り返させます");
        left += body + tail + Sjis("。");
        right += body + Sjis("。");
    }
    CompareAndCheck(left, right);
    EXPECT_TRUE(UnlevelRows().empty());

    // Windows 1200 pixels wide, then 600: long sentences wrap on more lines, differently on
    // each side. The user has lengthened one row of the left window beforehand.
    m_frame->resize(2400, 800);
    m_frame->TileSideBySide();
    ASSERT_TRUE(LevellingEnds());
    ASSERT_TRUE(UnlevelRows().empty());
    const std::map<int, int> rows = RowStartLines(1);
    ASSERT_EQ(rows.size(), 300u);
    QTextCursor edit(Edit(1).Document()->findBlockByNumber(0));
    for (QTextBlock block = Edit(1).Document()->begin(); block.isValid(); block = block.next()) {
        if (RowStartOf(block) == 40) {
            edit = QTextCursor(block);
            break;
        }
    }
    const QString typed(400, QChar(u'字'));
    edit.insertText(typed);
    const std::string leftText = TextWithoutBreaks(1);
    const std::string rightText = TextWithoutBreaks(2);

    m_frame->resize(1200, 800);
    m_frame->TileSideBySide();
    ASSERT_LT(Edit(1).Viewport()->width(), 620);
    // The rows in the windows go first: scrolled to the middle, they are level with each other
    // while the rows above still wait.
    Edit(1).SetScrollPos(Edit(1).VerticalScrollBar().maximum() / 2);
    const RowPosition top = TopRow(Edit(1)).value();
    Edit(2).SetScrollPos(ScrollPosOfRow(Edit(2), top, Edit(1).GetScrollPos()).value());
    const auto levelBelow = [&] {
        const std::map<int, int> leftLines = RowStartLines(1);
        const std::map<int, int> rightLines = RowStartLines(2);
        for (int row = top.row + 1; row < top.row + 6; ++row)
            if (leftLines.at(row) - leftLines.at(top.row) !=
                rightLines.at(row) - rightLines.at(top.row))
                return false;
        return true;
    };
    Doc()->StartLevelling();
    while (!levelBelow() && Doc()->LevelStep()) {
    }
    EXPECT_TRUE(levelBelow());
    const std::map<int, int> leftLines = RowStartLines(1);
    const std::map<int, int> rightLines = RowStartLines(2);
    ASSERT_GT(top.row, 6);
    EXPECT_NE(leftLines.at(6) - leftLines.at(5), rightLines.at(6) - rightLines.at(5))
        << "the long row 5, above the windows, comes after";
    ASSERT_TRUE(LevellingEnds());
    EXPECT_GT(Doc()->LevelledRows(), 25);
    EXPECT_EQ(UnlevelRows(), std::vector<int>{});
    EXPECT_EQ(TextWithoutBreaks(1), leftText);
    EXPECT_EQ(TextWithoutBreaks(2), rightText);
    EXPECT_EQ(RowStartLines(1).size(), 300u);

    // A larger font.
    m_app->Options().CharFormat.yHeight = 14 * 20;
    Doc()->UpdateAllViews(nullptr, static_cast<long>(UpdateHint::FontChanged));
    ASSERT_TRUE(LevellingEnds());
    EXPECT_EQ(UnlevelRows(), std::vector<int>{});
    EXPECT_EQ(TextWithoutBreaks(1), leftText);
    EXPECT_EQ(TextWithoutBreaks(2), rightText);
    // The windows scroll together from level tops.
    EXPECT_EQ(Edit(1).GetFirstVisibleLine(), Edit(2).GetFirstVisibleLine());
}

// Narrow windows: the left one's scroll bar comes first, as its text is longer, and the right
// one's later, while the result is written. The rows written at the two widths in between are
// levelled again once the comparison is over; so are the rows written before the user makes the
// windows narrower in the middle of a long result, or once its last row is written.
TEST_F(AfterComparisonTest, RowsWrittenWhileOneWindowHadItsScrollBarAreLevelledAfterwards)
{
    m_frame->resize(900, 800);
    m_frame->TileSideBySide();
    m_app->Options().ViewLine = 0;
    const auto expectLevel = [this](const char *when) {
        ASSERT_TRUE(LevellingEnds()) << when;
        ASSERT_EQ(Edit(1).Viewport()->width(), Edit(2).Viewport()->width()) << when;
        EXPECT_EQ(UnlevelRows(), std::vector<int>{}) << when;
        EXPECT_EQ(Edit(1).GetLineCount(), Edit(2).GetLineCount()) << when;
    };
    {
        const auto [left, right] = LongParagraphTexts(300, true);
        SetText(1, left);
        SetText(2, right);
        ASSERT_TRUE(Compare());
        expectLevel("after the scroll bars appeared one after the other");
    }
    const auto [left, right] = LongParagraphTexts(1200, true);
    ASSERT_TRUE(StartComparing(left, right));
    ASSERT_TRUE(RunUntil([this] { return View(1)->Renderer().RenderedRows() > 600; }));
    m_frame->resize(800, 800);
    m_frame->TileSideBySide();
    ASSERT_TRUE(RunUntil([this] { return !Driver().IsRunning(); }));
    expectLevel("after a resize in the middle of the result");

    // A resize after the last row was written, while the comparison finishes. The driver is
    // stepped by hand up to there: the idle slices may pass that state within one turn.
    ASSERT_TRUE(StartComparing(left, right));
    while (Driver().IsRunning() && Driver().State() != CompareState::ScrollBack)
        Driver().Step();
    ASSERT_EQ(Driver().State(), CompareState::ScrollBack);
    m_frame->resize(900, 800);
    m_frame->TileSideBySide();
    ASSERT_TRUE(RunUntil([this] { return !Driver().IsRunning(); }));
    expectLevel("after a resize once the result was written");
}

// On a long result with long paragraphs, scrolled to the middle: a resize and a font change keep
// the row at the top of the window where it was, while every paragraph wraps anew and the
// levelling edits the rows above; both windows stay level and the summary stays.
TEST_F(AfterComparisonTest, AResizeAndAFontChangeKeepThePlaceOnALongResult)
{
    const auto [left, right] = LongParagraphTexts(3000);
    SetText(1, left);
    SetText(2, right);
    ASSERT_TRUE(Compare());
    ASSERT_TRUE(LevellingEnds());
    Edit(1).SetScrollPos(Edit(1).VerticalScrollBar().maximum() / 2);
    const RowPosition before = TopRow(Edit(1)).value();
    const QString summary = StatusText();
    ASSERT_FALSE(summary.isEmpty());

    const auto expectPlaceKept = [&](const char *change) {
        ASSERT_TRUE(LevellingEnds()) << change;
        QCoreApplication::processEvents();
        const RowPosition after = TopRow(Edit(1)).value();
        EXPECT_EQ(after.row, before.row) << change;
        EXPECT_EQ(TopRow(Edit(2)).value().row, after.row) << change << ": both windows level";
        EXPECT_EQ(Edit(1).GetScrollPos() - after.offset,
                  Edit(2).GetScrollPos() - TopRow(Edit(2))->offset)
            << change;
        EXPECT_EQ(StatusText(), summary) << change << ": the summary stays";
    };
    m_frame->resize(1000, 700);
    m_frame->TileSideBySide();
    expectPlaceKept("a resize");
    m_app->Options().CharFormat.yHeight = 16 * 20;
    Doc()->UpdateAllViews(nullptr, static_cast<long>(UpdateHint::FontChanged));
    expectPlaceKept("a font change");
}

TEST_F(AfterComparisonTest, AnEditDuringLevellingStopsIt)
{
    const auto [left, right] = Texts(300);
    CompareAndCheck(left, right);
    m_frame->resize(1200, 800);
    m_frame->TileSideBySide();
    Doc()->StartLevelling();
    ASSERT_NE(Doc()->Leveller(), nullptr);
    m_frame->ActivateChild(Pane(1));
    QTest::keyClicks(Edit(1).Widget(), QStringLiteral("a"));
    EXPECT_EQ(Doc()->Leveller(), nullptr);
    EXPECT_FALSE(Doc()->LevellingPending());
}

// Inserting and removing blank lines keeps every paragraph in its row.
TEST(ResultMarks, PaddingKeepsTheRowsOfTheParagraphsAroundIt)
{
    QTextDocument document;
    QTextCursor(&document).insertText(QStringLiteral("a\nb\nc"));
    document.findBlockByNumber(0).setUserState(0);
    document.findBlockByNumber(1).setUserState(1);
    document.findBlockByNumber(2).setUserState(2);
    const auto states = [&document] {
        std::vector<int> all;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
            all.push_back(block.userState());
        return all;
    };

    InsertPadding(document, 2, 2, 7); // in front of "b"
    EXPECT_EQ(document.toPlainText(), QStringLiteral("a\n\n\nb\nc"));
    EXPECT_EQ(states(), (std::vector<int>{0, kPaddingBlock, kPaddingBlock, 1, 2}));
    EXPECT_TRUE(IsPaddingBlock(document.findBlockByNumber(1)));

    InsertPadding(document, 0, 1, 7); // in front of the first paragraph
    EXPECT_EQ(document.toPlainText(), QStringLiteral("\na\n\n\nb\nc"));
    EXPECT_EQ(states(), (std::vector<int>{kPaddingBlock, 0, kPaddingBlock, kPaddingBlock, 1, 2}));

    RemoveLines(document, 0, 1); // the blank line before "a"
    RemoveLines(document, 2, 2); // the two before "b"
    EXPECT_EQ(document.toPlainText(), QStringLiteral("a\nb\nc"));
    EXPECT_EQ(states(), (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(document.isUndoAvailable());
}

// Rows the same on both sides are level at any width and are passed over without being laid
// out; a row with the same text in a wider format on one side is not the same row: it is laid
// out and padded.
TEST(RowLevellerTest, OnlyRowsTheSameInTextAndFormatArePassedOver)
{
    PerSide<std::unique_ptr<RichEditCtrl>> controls;
    const QString sentence(60, QChar(u'字'));
    for (std::unique_ptr<RichEditCtrl> &control : controls) {
        control = std::make_unique<RichEditCtrl>();
        control->Widget()->resize(300, 200);
        control->Widget()->show();
        // Written in one batch, as a comparison writes its result: not laid out.
        control->BeginLayoutBatch();
        QTextCursor cursor(control->Document());
        for (int row = 0; row < 200; ++row) {
            if (row > 0)
                cursor.insertBlock();
            QTextCharFormat format;
            // Row 150 is in a larger font on the left only: it takes more lines there.
            if (row == 150 && control == controls[0])
                format.setFontPointSize(30);
            cursor.insertText(sentence, format);
            cursor.block().setUserState(row);
        }
        control->EndLayoutBatch();
    }
    QTextDocument &left = *controls[0]->Document();
    QTextDocument &right = *controls[1]->Document();
    RowLeveller leveller(*controls[0], *controls[1], 0);
    leveller.RunToEnd();

    EXPECT_EQ(leveller.ChangedRows(), 1);
    // The rows below the window stand at their estimates, the one in the larger font aside.
    EXPECT_FALSE(LazyTextLayout::Of(left)->IsLaidOut(left.findBlockByNumber(100)));
    EXPECT_TRUE(LazyTextLayout::Of(left)->IsLaidOut(left.findBlockByNumber(150)));
    const int padding = right.blockCount() - left.blockCount();
    EXPECT_GT(padding, 0) << "the right side's row 150 is padded";
    const auto lineOf = [](RichEditCtrl &control, int block) {
        return control.LineFromChar(control.Document()->findBlockByNumber(block).position());
    };
    EXPECT_EQ(lineOf(*controls[0], 151), lineOf(*controls[1], 151 + padding));
    EXPECT_EQ(lineOf(*controls[0], 199), lineOf(*controls[1], 199 + padding));
}

TEST(ResultMarks, CaretKeysOrderTheCaretAmongTheRecords)
{
    const std::vector<MarkedRun> runs{
        {0, 3, 0, RunKind::Same}, {3, 5, 1, RunKind::Changed}, {6, 8, 3, RunKind::Added}};
    EXPECT_EQ(CaretKey(runs, 0), 0);
    EXPECT_EQ(CaretKey(runs, 4), 2);
    EXPECT_EQ(CaretKey(runs, 5), 3); // between records 1 and 3
    EXPECT_EQ(CaretKey(runs, 9), 7);
    const std::vector<int> differences{1, 3};
    EXPECT_EQ(StepDifference(differences, 3, true), 3);
    EXPECT_EQ(StepDifference(differences, 3, false), 1);
    EXPECT_EQ(StepDifference(differences, 2, false), std::nullopt);
    EXPECT_EQ(StepDifference(differences, 6, true), std::nullopt);
    EXPECT_EQ(StepDifference(differences, -1, true), 1);
}

} // namespace
} // namespace kivo
