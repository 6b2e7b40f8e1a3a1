// Find, find next and replace in the running application, through the system's modeless
// dialogs, over text with characters that code page 932 cannot hold.

#include "AppFixture.h"
#include "DialogTestSupport.h"
#include "platform/dialogs/FindReplaceDlg.h"
#include "platform/dialogs/MessageBox.h"
#include "resources/Dialogs.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace kivo {
namespace {

using namespace res;

class FindReplaceTest : public test::AppFixture {
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        // Messages are answered and kept, never shown.
        m_answerer = std::make_unique<ScopedMessageBoxAnswerer>([this](const MessageBoxRequest &r) {
            m_messages.push_back(r.text);
            return IDOK;
        });
    }

    FindReplaceDlg *FindDialog() const { return m_app->FindState().dialog.data(); }

    /// Opens the dialog of the command, enters the texts and presses a button of it.
    void Enter(const QString &what, const QString &with = {})
    {
        FindReplaceDlg *dialog = FindDialog();
        ASSERT_NE(dialog, nullptr);
        const auto fields = dialog->findChildren<QLineEdit *>();
        ASSERT_FALSE(fields.isEmpty());
        fields[0]->setText(what);
        if (fields.size() > 1)
            fields[1]->setText(with);
    }
    void Press(QPushButton *button)
    {
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QString Selected(int pane) const { return Edit(pane).TextCursor().selectedText(); }
    QString Text(int pane) const { return Edit(pane).Document()->toRawText(); }

    std::unique_ptr<ScopedMessageBoxAnswerer> m_answerer;
    std::vector<QString> m_messages;
};

TEST_F(FindReplaceTest, FindNeedsATextAndFindNextASearchTextEntered)
{
    EXPECT_FALSE(Enabled(ID_EDIT_FIND));
    EXPECT_FALSE(Enabled(ID_EDIT_REPLACE));
    SetText(1, QStringLiteral("いろはにほへと、いろは。"));
    EXPECT_TRUE(Enabled(ID_EDIT_FIND));
    EXPECT_TRUE(Enabled(ID_EDIT_REPLACE));
    EXPECT_FALSE(Enabled(ID_EDIT_REPEAT));

    ASSERT_TRUE(Choose(ID_EDIT_FIND));
    ASSERT_NE(FindDialog(), nullptr);
    EXPECT_TRUE(FindDialog()->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr); // modeless
    EXPECT_EQ(FindDialog()->windowTitle(), QStringLiteral("検索"));
    EXPECT_FALSE(FindDialog()->FindNextButton()->isEnabled());
    EXPECT_FALSE(Enabled(ID_EDIT_REPEAT)); // nothing entered yet

    Edit(1).SetSel(0, 0);
    Enter(QStringLiteral("いろは"));
    Press(FindDialog()->FindNextButton());
    EXPECT_EQ(Edit(1).GetSel(), (CharRange{0, 3}));
    EXPECT_TRUE(Enabled(ID_EDIT_REPEAT));
    ASSERT_TRUE(Choose(ID_EDIT_REPEAT)); // F3
    EXPECT_EQ(Edit(1).GetSel(), (CharRange{8, 11}));
    // Round the end of the text to the first again.
    ASSERT_TRUE(Choose(ID_EDIT_REPEAT));
    EXPECT_EQ(Edit(1).GetSel(), (CharRange{0, 3}));
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(FindReplaceTest, CharactersOutsideTheCodePageAreFoundAndReplacedWhole)
{
    SetText(1, QStringLiteral("𠮷野家で😀、𠮷田さん😀。"));
    const std::string before = Edit(1).GetText();
    Edit(1).SetSel(0, 0);
    ASSERT_TRUE(Choose(ID_EDIT_FIND));
    Enter(QStringLiteral("😀"));
    Press(FindDialog()->FindNextButton());
    EXPECT_EQ(Selected(1), QStringLiteral("😀"));
    const CharRange first = Edit(1).GetSel();
    EXPECT_EQ(first.end - first.start, 2);
    ASSERT_TRUE(Choose(ID_EDIT_REPEAT));
    EXPECT_EQ(Selected(1), QStringLiteral("😀"));
    EXPECT_GT(Edit(1).GetSel().start, first.start);

    ASSERT_TRUE(Choose(ID_EDIT_REPLACE));
    EXPECT_EQ(FindDialog()->windowTitle(), QStringLiteral("置換"));
    Enter(QStringLiteral("𠮷"), QStringLiteral("吉"));
    Press(FindDialog()->ReplaceAllButton());
    EXPECT_EQ(Text(1), QStringLiteral("吉野家で😀、吉田さん😀。"));
    // The text reads back through the code page as it shows.
    EXPECT_EQ(cp932text::Decode(Edit(1).GetText()), QStringLiteral("吉野家で😀、吉田さん😀。"));
    // One undo brings the whole text back.
    ASSERT_TRUE(Choose(ID_EDIT_UNDO));
    EXPECT_EQ(Edit(1).GetText(), before);
}

TEST_F(FindReplaceTest, ReplaceReplacesTheFoundOccurrenceAndMovesToTheNext)
{
    SetText(1, QStringLiteral("😀と😀と😀"));
    Edit(1).SetSel(0, 0);
    ASSERT_TRUE(Choose(ID_EDIT_REPLACE));
    Enter(QStringLiteral("😀"), QStringLiteral("🙂"));
    // The first press only finds: the selection was not an occurrence.
    Press(FindDialog()->ReplaceButton());
    EXPECT_EQ(Text(1), QStringLiteral("😀と😀と😀"));
    EXPECT_EQ(Edit(1).GetSel(), (CharRange{0, 2}));
    Press(FindDialog()->ReplaceButton());
    EXPECT_EQ(Text(1), QStringLiteral("🙂と😀と😀"));
    EXPECT_EQ(Edit(1).GetSel(), (CharRange{3, 5}));
    ASSERT_TRUE(Choose(ID_EDIT_UNDO));
    EXPECT_EQ(Text(1), QStringLiteral("😀と😀と😀"));
}

TEST_F(FindReplaceTest, MatchCaseWholeWordAndUpwardsSearch)
{
    SetText(1, QStringLiteral("Word words WORD word"));
    Edit(1).SetSel(20, 20);
    ASSERT_TRUE(Choose(ID_EDIT_FIND));
    Enter(QStringLiteral("word"));
    const auto radios = FindDialog()->findChildren<QRadioButton *>();
    ASSERT_EQ(radios.size(), 2);
    QTest::mouseClick(radios[0], Qt::LeftButton); // 上へ
    const auto checks = FindDialog()->findChildren<QCheckBox *>();
    ASSERT_EQ(checks.size(), 2);
    QTest::mouseClick(checks[0], Qt::LeftButton); // 単語単位で探す
    Press(FindDialog()->FindNextButton());
    EXPECT_EQ(Edit(1).GetSel(), (CharRange{16, 20}));
    Press(FindDialog()->FindNextButton());
    EXPECT_EQ(Edit(1).GetSel(), (CharRange{11, 15})); // "words" is no whole word
    QTest::mouseClick(checks[1], Qt::LeftButton);     // 大文字と小文字を区別する
    Press(FindDialog()->FindNextButton());
    EXPECT_EQ(Edit(1).GetSel(), (CharRange{16, 20}));
    Enter(QStringLiteral("WORDS"));
    Press(FindDialog()->FindNextButton());
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], QStringLiteral("「WORDS」が見つかりません。"));
    EXPECT_EQ(Edit(1).GetSel(), (CharRange{16, 20}));
}

TEST_F(FindReplaceTest, TheDialogWorksOnTheActiveWindowAndGivesWayToTheOtherKind)
{
    SetText(1, QStringLiteral("左の文。"));
    SetText(2, QStringLiteral("右の文。右の文。"));
    Edit(1).SetSel(0, 1); // a selection within a line is the text to find
    ASSERT_TRUE(Choose(ID_EDIT_FIND));
    EXPECT_EQ(FindDialog()->FindWhat(), QStringLiteral("左"));
    Enter(QStringLiteral("の文"));
    QPointer<FindReplaceDlg> find = FindDialog();
    m_frame->ActivateChild(Pane(2));
    Edit(2).SetSel(0, 0);
    Press(FindDialog()->FindNextButton());
    EXPECT_EQ(Edit(2).GetSel(), (CharRange{1, 3}));
    EXPECT_EQ(Edit(1).GetSel(), (CharRange{0, 1}));

    ASSERT_TRUE(Choose(ID_EDIT_REPLACE));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(find.isNull());
    EXPECT_EQ(FindDialog()->GetMode(), FindReplaceDlg::Mode::Replace);
    EXPECT_EQ(FindDialog()->FindWhat(), QStringLiteral("の文")); // the selection
}

TEST_F(FindReplaceTest, EnterFindsAndEscCloses)
{
    SetText(1, QStringLiteral("abc abc"));
    Edit(1).SetSel(0, 0);
    ASSERT_TRUE(Choose(ID_EDIT_FIND));
    auto *field = FindDialog()->findChild<QLineEdit *>();
    QTest::keyClicks(field, QStringLiteral("abc"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(Edit(1).GetSel(), (CharRange{0, 3}));
    QTest::keyClick(field, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(FindDialog(), nullptr);
    // The text stays for find next.
    ASSERT_TRUE(Choose(ID_EDIT_REPEAT));
    EXPECT_EQ(Edit(1).GetSel(), (CharRange{4, 7}));
}

TEST_F(FindReplaceTest, NothingIsSearchedOrReplacedWhileAComparisonRuns)
{
    SetText(1, QStringLiteral("あいう。"));
    SetText(2, QStringLiteral("あいえ。"));
    Edit(1).SetSel(0, 0);
    ASSERT_TRUE(Choose(ID_EDIT_REPLACE));
    Enter(QStringLiteral("い"), QStringLiteral("X"));
    ASSERT_TRUE(Choose(ID_COMPARE_WHOLE));
    EXPECT_FALSE(Enabled(ID_EDIT_FIND));
    EXPECT_FALSE(Enabled(ID_EDIT_REPEAT));
    const std::string before = Edit(1).GetText();
    Press(FindDialog()->ReplaceAllButton());
    Press(FindDialog()->FindNextButton());
    EXPECT_EQ(Edit(1).GetText(), before);
    ASSERT_TRUE(RunUntil([this] { return !m_app->Driver().IsRunning(); }));
    EXPECT_TRUE(m_messages.empty());
    EXPECT_TRUE(Enabled(ID_EDIT_REPEAT));
}

} // namespace
} // namespace kivo
