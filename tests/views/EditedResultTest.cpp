// Random edits on a real result, as the user makes them (typing, line breaks, deleting across
// runs and paragraph breaks, pasting, undo) and as the levelling makes them (padding lines in
// and out). After each, the runs the difference commands step through and the rows the map of
// the differences draws, which are brought up to date from the paragraphs the edit touched, must
// be what reading the whole text again gives.

#include "CompareFixture.h"

#include "resulttext/DiffMapRows.h"
#include "resulttext/ResultMarks.h"
#include "views/DiffMap.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTextBlock>

#include <algorithm>
#include <ostream>
#include <random>

namespace kivo {

// Runs as their fields when a comparison fails.
void PrintTo(const MarkedRun &run, std::ostream *out)
{
    *out << '[' << run.start << ',' << run.end << ") record " << run.record << " kind "
         << static_cast<int>(run.kind);
}

namespace {

using test::CompareInWindowsTest;
using test::Sjis;

/// Sentences with every kind of difference, some wrapping, some holding the user's line breaks.
std::pair<std::string, std::string> EditTexts()
{
    std::string left, right;
    for (int i = 0; i < 40; ++i) {
        std::string body = Sjis("これは") + std::to_string(i) + Sjis("番目の文です");
        if (i % 9 == 4)
            for (int k = 0; k < 5; ++k)
                body += Sjis("、長く続けて折り返させます");
        if (i % 13 == 6)
            body += "\r" + Sjis("改行の後");
        const std::string sentence = body + Sjis("。");
        if (i != 17)
            left += sentence;
        if (i != 23 && i != 31)
            right += i % 5 == 2 ? body + Sjis("ね。") : sentence;
        if (i == 8)
            right += Sjis("これは31番目の文です。");
        if (i == 27)
            right += Sjis("新しく書き足した文です。");
    }
    return {left, right};
}

class EditedResultTest : public CompareInWindowsTest {
protected:
    DiffMap &Map(int pane) const { return *Edit(pane).Widget()->findChild<DiffMap *>(); }

    /// One random edit in a window.
    void RandomEdit(int pane, std::mt19937 &random)
    {
        RichEditCtrl &edit = Edit(pane);
        QTextDocument &document = *edit.Document();
        const auto pick = [&random](int from, int to) {
            return std::uniform_int_distribution<int>(from, std::max(from, to))(random);
        };
        const int length = edit.GetTextLength();
        const int at = pick(0, length);
        m_frame->ActivateChild(Pane(pane));
        edit.Widget()->setFocus();
        switch (pick(0, 9)) {
        case 0:
        case 1:
            edit.SetSel(at, at);
            for (const QChar typed : QString::fromUtf8("あxい").left(pick(1, 3))) {
                QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(typed));
                QApplication::sendEvent(edit.Widget(), &key);
            }
            break;
        case 2:
            edit.SetSel(at, at);
            QTest::keyClick(edit.Widget(), Qt::Key_Return);
            break;
        case 3:
        case 4:
            // Across runs and paragraph breaks.
            edit.SetSel(at, std::min(length, at + pick(1, 40)));
            QTest::keyClick(edit.Widget(), Qt::Key_Delete);
            break;
        case 5:
            edit.SetSel(at, at);
            QTest::keyClick(edit.Widget(), Qt::Key_Backspace);
            break;
        case 6: {
            edit.SetSel(at, std::min(length, at + pick(0, 8)));
            QGuiApplication::clipboard()->setText(
                QString::fromUtf8(pick(0, 1) ? "貼り付け\n二行目" : "\n\n文"));
            edit.Paste();
            break;
        }
        case 7:
            if (edit.CanUndo())
                QTest::keyClick(edit.Widget(), Qt::Key_Z, Qt::ControlModifier);
            break;
        case 8:
            // The levelling adds padding at the start or the end of a paragraph.
            InsertPadding(document,
                          document.findBlock(at).position() +
                              (pick(0, 1) ? document.findBlock(at).length() - 1 : 0),
                          pick(1, 2), View(pane)->ResultNumber());
            break;
        case 9:
            // ... and takes out a padding line with the break in front of it.
            for (QTextBlock block = document.findBlock(at); block.isValid(); block = block.next()) {
                if (IsPaddingBlock(block) && block.position() > 0) {
                    QTextCursor cursor(&document);
                    cursor.setPosition(block.position() - 1);
                    const UndoPause pause(document);
                    cursor.deleteChar();
                    break;
                }
            }
            break;
        }
    }

    /// The runs and rows kept through the edits against those read afresh, and the steps of the
    /// difference commands from a caret position against the steps over the runs read afresh.
    void ExpectAsReadAfresh(int caret)
    {
        std::vector<int> differences;
        for (const int pane : {1, 2}) {
            SCOPED_TRACE(pane);
            const QTextDocument &document = *Edit(pane).Document();
            const std::vector<MarkedRun> runs = CollectRuns(document, View(pane)->ResultNumber());
            ASSERT_EQ(View(pane)->Runs(), runs);
            const DocumentRows &kept = Map(pane).Rows();
            const DocumentRows read = ReadRows(document, runs);
            EXPECT_EQ(kept.starts, read.starts);
            EXPECT_EQ(kept.sides, read.sides);
            EXPECT_EQ(kept.resultBottom, read.resultBottom);
            EXPECT_EQ(kept.runSpans, read.runSpans);
            for (const MarkedRun &run : runs) {
                if (IsDifference(run.kind))
                    differences.push_back(run.record);
            }
        }
        std::sort(differences.begin(), differences.end());
        differences.erase(std::unique(differences.begin(), differences.end()), differences.end());
        const int pane = caret % 2 + 1;
        const int position = std::min(caret, Edit(pane).GetTextLength());
        Edit(pane).SetSel(position, position);
        const int key =
            CaretKey(CollectRuns(*Edit(pane).Document(), View(pane)->ResultNumber()), position);
        for (const bool forward : {true, false}) {
            EXPECT_EQ(View(pane)->FindDifference(forward),
                      differences.empty() ? std::nullopt
                                          : StepDifference(differences, key, forward))
                << "pane " << pane << " at " << position << (forward ? " forward" : " back");
        }
    }

    /// Compares the texts, then makes random edits, checking after every few.
    void EditAtRandom(unsigned seed)
    {
        m_app->Options().ViewMove = 1;
        const auto [left, right] = EditTexts();
        CompareAndCheck(left, right);
        std::mt19937 random(seed);
        ExpectAsReadAfresh(0);
        for (int step = 0; step < 250; ++step) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << ", step " << step);
            // Now and then a map reads its whole text again, a few paragraphs at a time as its
            // timer does, and is interrupted by the edits and by reads of the other map.
            const auto readSome = [&] {
                const int pane = std::uniform_int_distribution<int>(1, 2)(random);
                Map(pane).ReadRowsStep(std::uniform_int_distribution<int>(1, 30)(random));
            };
            if (random() % 4 == 0) {
                Map(std::uniform_int_distribution<int>(1, 2)(random)).TextEdited(std::nullopt);
                readSome();
            }
            // Sometimes several edits pile up before the marks are asked for.
            const int edits = std::uniform_int_distribution<int>(1, 3)(random);
            for (int i = 0; i < edits; ++i) {
                RandomEdit(std::uniform_int_distribution<int>(1, 2)(random), random);
                if (random() % 3 == 0)
                    readSome();
            }
            // Now and then the event loop runs (typed text made the user's, the map's timer).
            if (random() % 2 == 0)
                QCoreApplication::processEvents();
            ExpectAsReadAfresh(static_cast<int>(random() % 4000));
            if (HasFatalFailure())
                return;
        }
    }
};

TEST_F(EditedResultTest, RunsAndRowsKeptThroughRandomEditsAreThoseReadAfresh)
{
    for (const unsigned seed : {1u, 2u, 3u})
        EditAtRandom(seed);
}

TEST_F(EditedResultTest, RunsKeptThroughRandomEditsOfRunningTextAreThoseReadAfresh)
{
    m_app->Options().ViewFormat = SentenceLayout::Unchanged;
    EditAtRandom(4);
}

// Typed text that goes into a blank line of a result is made the user's own from inside the
// edit. The layout takes the edit in once and keeps every paragraph it had laid out, rather than
// estimating them all anew (on a long result, a freeze and a jump of the scroll bar).
TEST_F(EditedResultTest, TypingIntoABlankLineOfAResultKeepsTheLayout)
{
    const auto [left, right] = EditTexts();
    CompareAndCheck(left, right);
    RichEditCtrl &edit = Edit(1);
    m_frame->ActivateChild(Pane(1));
    edit.Widget()->setFocus();
    QTextBlock blank = edit.Document()->begin();
    while (blank.isValid() && !(blank.length() == 1 && IsInsertedBreak(BreakFormat(blank))))
        blank = blank.next();
    ASSERT_TRUE(blank.isValid());
    const int at = blank.position();
    edit.FinishLayoutForTests();
    ASSERT_TRUE(edit.IsLayoutCompleteForTests());

    edit.SetSel(at, at);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(edit.Widget(), &key);
    QCoreApplication::processEvents();
    EXPECT_TRUE(edit.IsLayoutCompleteForTests());
    const QTextBlock typed = edit.Document()->findBlock(at);
    EXPECT_FALSE(MarkOf(typed.begin().fragment().charFormat()));
    QTest::keyClick(edit.Widget(), Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_TRUE(edit.IsLayoutCompleteForTests());
}

} // namespace
} // namespace kivo
