// Comparing a result again reads the user's texts: the separators and padding Kivo wrote into
// the windows are left out, the user's own line breaks and edits are kept, so that F5 gives what
// a fresh comparison of the texts gives under the rules in force.

#include "CompareFixture.h"

#include "platform/dialogs/FileDialog.h"

#include <QFile>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>

namespace kivo {
namespace {

using namespace res;
using test::CompareInWindowsTest;
using test::Sjis;
using test::Utf8;

/// The records as readable lines, so that a difference shows where it is.
std::string Listing(const ResultList &records)
{
    std::string listing;
    for (const ResultPair &record : records) {
        listing += std::to_string(static_cast<int>(record.status)) + " " +
                   std::to_string(record.sentenceEnd) + " [" + Utf8(record.leftText) + "] [" +
                   Utf8(record.rightText) + "]\n";
    }
    return listing;
}

class CompareAgainTest : public CompareInWindowsTest {
protected:
    /// Compares the windows again with F5 and checks the records against a fresh comparison
    /// of the texts the user has.
    void ExpectFreshRecords(const std::string &left, const std::string &right,
                            const std::string &step)
    {
        ASSERT_TRUE(Compare()) << step;
        ASSERT_NE(Driver().LastResult(), nullptr) << step;
        EXPECT_EQ(Listing(Driver().LastResult()->records), Listing(Records(left, right)))
            << "after " << step;
    }

    /// Types keys into a window at a position, as the user would.
    void TypeAt(int pane, int position, const QString &keys)
    {
        m_frame->ActivateChild(Pane(pane));
        Edit(pane).SetSel(position, position);
        for (const QChar key : keys) {
            if (key == u'\n')
                QTest::keyClick(Edit(pane).Widget(), Qt::Key_Return);
            else {
                // Typed as a key with text, as a keyboard layout or input method delivers it.
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(key));
                QApplication::sendEvent(Edit(pane).Widget(), &press);
            }
        }
    }

    /// The position of the first character of text in a window's text.
    int Find(int pane, const char *utf8) const
    {
        return static_cast<int>(
            Edit(pane).Document()->toPlainText().indexOf(QString::fromUtf8(utf8)));
    }
};

// Blank lines, a sentence per line, quotations, widths, cases and spaces: every rule the user
// switches between two F5s is applied to the texts, not to what the previous result inserted.
TEST_F(CompareAgainTest, EveryRuleChangedBetweenTwoComparisonsActsOnTheUsersTexts)
{
    const std::string left =
        Sjis("彼は「はい。そうです。」と言った。\r\r吾輩は猫である。名前はまだない。"
             "\r\r\rＡＢＣ abc\tdef　終わり。\rカタカナ、ひらがな。\r最後の行");
    const std::string right = Sjis("彼は「はい。そうです。」と言った。\r吾輩は猫であった。"
                                   "名前はまだ無い。\rabc ABC def 終わり。\rかたかな，ひらがな。\r"
                                   "追加の文。吾輩は猫である。最後の行");
    SetText(1, left);
    SetText(2, right);
    RichOptions &options = m_app->Options();
    const std::vector<std::pair<std::string, std::function<void()>>> steps = {
        {"the first comparison", [] {}},
        {"F5 again", [] {}},
        {"quotations kept whole", [&] { options.KeepQuotes = 1; }},
        {"a line break among the delimiters", [&] { options.Sptr[0] = Sjis("。\\n"); }},
        {"width, case and spaces ignored",
         [&] {
             options.CmpZen = 1;
             options.CmpCase = 1;
             options.CmpZenSp = 1;
         }},
        {"kana and punctuation",
         [&] {
             options.CmpKana = 1;
             options.CmpPunct = 1;
         }},
        {"moves", [&] { options.ViewMove = 1; }},
        {"whitespace drawn as underscores",
         [&] {
             options.CmpZen = 0;
             options.CmpZenSp = 0;
             options.ViewBar = 1;
         }},
        {"no blank line between rows", [&] { options.ViewLine = 0; }},
        {"the unchanged line layout", [&] { options.ViewFormat = SentenceLayout::Unchanged; }},
        {"the aligned layout again",
         [&] {
             options.ViewFormat = SentenceLayout::Aligned;
             options.Sptr[0] = Sjis("。");
             options.KeepQuotes = 0;
         }},
    };
    for (const auto &[name, change] : steps) {
        change();
        ExpectFreshRecords(left, right, name);
        EXPECT_EQ(Edit(1).GetText().find(Sjis("＿")), std::string::npos) << name;
    }
}

// What the user types into a result is theirs: a sentence typed at a row's start with its own
// line break, and text typed on a blank line Kivo inserted, are compared where they were typed.
// A separator deleted and brought back by undo is Kivo's again.
TEST_F(CompareAgainTest, TextTypedIntoAResultIsComparedWhereItWasTyped)
{
    std::string left = Sjis("吾輩は猫である。\r名前はまだない。\rどこで生まれたか。");
    const std::string right =
        Sjis("吾輩は猫である。\r名前はまだ無い。\r追加。\r\rどこで生まれたか。");
    SetText(1, left);
    SetText(2, right);
    ASSERT_TRUE(Compare());

    TypeAt(1, Find(1, "名前"), QString());
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(Edit(1).Widget(), Qt::Key_Backspace);
    QTest::keyClick(Edit(1).Widget(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(Edit(1).Widget(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(Edit(1).Widget(), Qt::Key_Z, Qt::ControlModifier);
    ExpectFreshRecords(left, right, "separators deleted and undone");

    TypeAt(1, Find(1, "名前"), QStringLiteral("新しい文。\n"));
    left.insert(left.find(Sjis("名前")), Sjis("新しい文。\r"));
    // The blank row on the left beside the added sentence is padding: text typed there lies
    // between the sentences around it.
    const QTextBlock blank = Edit(1).Document()->findBlock(Find(1, "どこで")).previous();
    ASSERT_TRUE(blank.isValid());
    ASSERT_EQ(blank.length(), 1) << "a blank row stands above the last sentence";
    // One undo takes a character typed there back, marks and all.
    const std::string compared = Edit(1).GetText();
    TypeAt(1, blank.position(), QStringLiteral("x"));
    QCoreApplication::processEvents();
    QTest::keyClick(Edit(1).Widget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Edit(1).GetText(), compared);
    TypeAt(1, blank.position(), QStringLiteral("空行に。\n次"));
    left.insert(left.find(Sjis("どこで")), Sjis("空行に。\r次"));
    ExpectFreshRecords(left, right, "typing into the result");

    // Saved as text, the result is the user's text with their edits, byte for byte.
    const QString path = TempPath(QStringLiteral("left.txt"));
    const ScopedFileDialogAnswerer answer([&path](const FileDialogRequest &) { return path; });
    ASSERT_TRUE(Choose(ID_FILE_SAVE_AS, 1));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    std::string expected = Utf8(left);
    std::replace(expected.begin(), expected.end(), '\r', '\n');
    EXPECT_EQ(saved.readAll().toStdString(), expected);
}

} // namespace
} // namespace kivo
