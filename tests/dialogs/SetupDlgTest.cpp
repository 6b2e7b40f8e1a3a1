#include "dialogs/SetupDlg.h"

#include "Cp932Text.h"
#include "DialogTestSupport.h"
#include "TestText.h"
#include "resources/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace kivo {
namespace {

using namespace res;
using test::Sjis;

// Options with nine distinct delimiter sets, and how often the command changed their list (the
// delimiter box is refilled each time).
class SetupDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_options.Sptr = {Sjis("。｡"), Sjis("．"), Sjis("！？"), "D", "E", "F", "G", "H", "I"};
    }

    /// A dialog loaded from the options, shown.
    std::unique_ptr<CSetupDlg> Open()
    {
        auto dialog = std::make_unique<CSetupDlg>(m_options.Sptr);
        dialog->LoadFrom(m_options);
        dialog->show();
        return dialog;
    }

    /// Runs the command as the user does, with the dialog in the hands of act.
    bool Run(std::function<void(CSetupDlg &)> act)
    {
        test::WhenModal([act = std::move(act)](QWidget *modal) {
            auto *dialog = qobject_cast<CSetupDlg *>(modal);
            ASSERT_NE(dialog, nullptr);
            act(*dialog);
        });
        const SettingsChange change = RunComparisonSettings(m_options, nullptr);
        if (change.delimitersChanged)
            ++m_refills;
        return static_cast<bool>(change);
    }

    static QComboBox *Combo(const CSetupDlg &dialog, int id)
    {
        return qobject_cast<QComboBox *>(dialog.Control(id));
    }
    static QCheckBox *Check(const CSetupDlg &dialog, int id)
    {
        return qobject_cast<QCheckBox *>(dialog.Control(id));
    }

    RichOptions m_options;
    int m_refills = 0;
};

TEST_F(SetupDlgTest, ShowsTheOptionsAndListsTheNineSets)
{
    m_options.CmpCase = 1;
    m_options.ViewBar = 1;
    const auto dialog = Open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("比較の設定"));
    QComboBox *sets = Combo(*dialog, IDC_DELIMITERS);
    ASSERT_EQ(sets->count(), 9);
    EXPECT_EQ(sets->itemText(0), QStringLiteral("。｡"));
    EXPECT_EQ(sets->itemText(2), QStringLiteral("！？"));
    EXPECT_EQ(sets->currentText(), QStringLiteral("。｡"));
    EXPECT_TRUE(Check(*dialog, IDC_CMP_CASE)->isChecked());
    EXPECT_TRUE(Check(*dialog, IDC_VIEW_BAR)->isChecked());
    EXPECT_FALSE(Check(*dialog, IDC_CMP_CHAR)->isChecked());
    EXPECT_TRUE(Check(*dialog, IDC_VIEW_LINE)->isChecked());
    QComboBox *layout = Combo(*dialog, IDC_VIEW_FORMAT);
    ASSERT_EQ(layout->count(), 2);
    EXPECT_EQ(layout->itemText(0), QStringLiteral("１文ずつ揃える"));
    EXPECT_EQ(layout->itemText(1), QStringLiteral("変更しない"));
    EXPECT_EQ(layout->currentIndex(), 0);
}

TEST_F(SetupDlgTest, EmptySetsAreRowsAndAnUnknownLayoutSelectsNoRow)
{
    m_options.Sptr = {"A", "", "", "", "", "", "", "", ""};
    m_options.ViewFormat = static_cast<SentenceLayout>(7);
    const auto dialog = Open();
    EXPECT_EQ(Combo(*dialog, IDC_DELIMITERS)->count(), 9);
    EXPECT_EQ(Combo(*dialog, IDC_VIEW_FORMAT)->currentIndex(), -1);
    EXPECT_FALSE(Check(*dialog, IDC_VIEW_LINE)->isEnabled());
}

TEST_F(SetupDlgTest, OkWithoutChangesChangesNothingAndDoesNotRefillTheBox)
{
    const RichOptions before = m_options;
    EXPECT_TRUE(Run([](CSetupDlg &dialog) { test::Click(dialog, IDC_OK); }));
    EXPECT_EQ(m_options.Sptr, before.Sptr);
    EXPECT_EQ(m_options.CmpZen, before.CmpZen);
    EXPECT_EQ(m_options.ViewLine, before.ViewLine);
    EXPECT_EQ(m_refills, 0);
}

TEST_F(SetupDlgTest, OkCopiesEverySwitchBackAndMovesTheTypedSetToTheFront)
{
    EXPECT_TRUE(Run([](CSetupDlg &dialog) {
        for (const int id : {IDC_CMP_CHAR, IDC_CMP_CASE, IDC_CMP_ZEN, IDC_VIEW_BAR, IDC_CMP_KANA,
                             IDC_CMP_PUNCT, IDC_KEEP_QUOTES, IDC_PDF_HEADS})
            test::Click(dialog, id);
        // The middle of this box lies past its short label, where a click does not reach it.
        QCheckBox *moves = Check(dialog, IDC_VIEW_MOVE);
        QTest::mouseClick(moves, Qt::LeftButton, {},
                          QPoint(moves->height() / 2, moves->height() / 2));
        QComboBox *layout = Combo(dialog, IDC_VIEW_FORMAT);
        layout->setCurrentIndex(1);
        Combo(dialog, IDC_DELIMITERS)->setEditText(QStringLiteral("！？"));
        test::Click(dialog, IDC_OK);
    }));
    EXPECT_EQ(m_options.CmpChar, 1);
    EXPECT_EQ(m_options.CmpCase, 1);
    EXPECT_EQ(m_options.CmpZen, 1);
    EXPECT_EQ(m_options.CmpZenSp, 0);
    EXPECT_EQ(m_options.ViewFormat, SentenceLayout::Unchanged);
    EXPECT_EQ(m_options.ViewLine, 1);
    EXPECT_EQ(m_options.ViewBar, 1);
    EXPECT_EQ(m_options.CmpKana, 1);
    EXPECT_EQ(m_options.CmpPunct, 1);
    EXPECT_EQ(m_options.KeepQuotes, 1);
    EXPECT_EQ(m_options.ViewMove, 1);
    EXPECT_EQ(m_options.PdfHeads, 1);
    const std::array<std::string, 9> expected{Sjis("！？"), Sjis("。｡"), Sjis("．"), "D", "E",
                                              "F",          "G",         "H",        "I"};
    EXPECT_EQ(m_options.Sptr, expected);
    EXPECT_EQ(m_refills, 1);
}

TEST_F(SetupDlgTest, ANewSetPushesTheOthersDownAndBackslashNIsKeptAsTyped)
{
    EXPECT_TRUE(Run([](CSetupDlg &dialog) {
        Combo(dialog, IDC_DELIMITERS)->setEditText(QStringLiteral("。\\n"));
        test::Click(dialog, IDC_OK);
    }));
    EXPECT_EQ(m_options.Sptr[0], Sjis("。") + "\\n");
    EXPECT_EQ(m_options.Sptr[1], Sjis("。｡"));
    EXPECT_EQ(m_options.Sptr[8], "H"); // "I" fell off the end
}

TEST_F(SetupDlgTest, CancelAfterEditingLeavesEveryOption)
{
    const RichOptions before = m_options;
    EXPECT_FALSE(Run([](CSetupDlg &dialog) {
        test::Click(dialog, IDC_CMP_CHAR);
        test::Click(dialog, IDC_CMP_ZEN);
        Combo(dialog, IDC_DELIMITERS)->setEditText(QStringLiteral("X"));
        test::Click(dialog, IDC_CANCEL);
    }));
    EXPECT_EQ(m_options.Sptr, before.Sptr);
    EXPECT_EQ(m_options.CmpChar, 0);
    EXPECT_EQ(m_options.CmpZen, 0);
    EXPECT_EQ(m_refills, 0);
}

TEST_F(SetupDlgTest, SpaceRuleIsGreyedWhileFormsAreFoldedAndStillReturnsItsState)
{
    m_options.CmpZen = 1;
    m_options.CmpZenSp = 1;
    EXPECT_TRUE(Run([](CSetupDlg &dialog) {
        QCheckBox *spaces = Check(dialog, IDC_CMP_ZEN_SP);
        EXPECT_FALSE(spaces->isEnabled());
        EXPECT_TRUE(spaces->isChecked());
        test::Click(dialog, IDC_CMP_ZEN); // now unchecked: the space rule is offered again
        EXPECT_TRUE(spaces->isEnabled());
        test::Click(dialog, IDC_CMP_ZEN);
        EXPECT_FALSE(spaces->isEnabled());
        test::Click(dialog, IDC_OK);
    }));
    EXPECT_EQ(m_options.CmpZen, 1);
    EXPECT_EQ(m_options.CmpZenSp, 1);
}

TEST_F(SetupDlgTest, SentenceSpacingFollowsTheChosenLayoutRow)
{
    m_options.ViewFormat = SentenceLayout::Unchanged;
    m_options.ViewLine = 1;
    EXPECT_TRUE(Run([](CSetupDlg &dialog) {
        QCheckBox *spacing = Check(dialog, IDC_VIEW_LINE);
        EXPECT_FALSE(spacing->isEnabled());
        EXPECT_TRUE(spacing->isChecked());
        QComboBox *layout = Combo(dialog, IDC_VIEW_FORMAT);
        layout->setCurrentIndex(0);
        emit layout->activated(0);
        EXPECT_TRUE(spacing->isEnabled());
        layout->setCurrentIndex(1);
        emit layout->activated(1);
        EXPECT_FALSE(spacing->isEnabled());
        test::Click(dialog, IDC_OK);
    }));
    EXPECT_EQ(m_options.ViewFormat, SentenceLayout::Unchanged);
    EXPECT_EQ(m_options.ViewLine, 1);
}

TEST_F(SetupDlgTest, PickingASetPutsItInTheEditFieldForFurtherEditing)
{
    const auto dialog = Open();
    QComboBox *sets = Combo(*dialog, IDC_DELIMITERS);
    sets->setCurrentIndex(2);
    EXPECT_EQ(sets->currentText(), QStringLiteral("！？"));
    sets->lineEdit()->end(false);
    sets->lineEdit()->insert(QStringLiteral("\u203C")); // as an input method types it
    dialog->accept();
    // A character the code page does not hold is kept through the one converter.
    EXPECT_EQ(dialog->m_delimiters, cp932text::Encode(QStringLiteral("！？\u203C")));
    EXPECT_EQ(sets->count(), 9);
}

TEST_F(SetupDlgTest, EnterInTheDelimiterFieldChoosesOkAndEscCancels)
{
    EXPECT_TRUE(Run([](CSetupDlg &dialog) {
        QLineEdit *field = Combo(dialog, IDC_DELIMITERS)->lineEdit();
        field->selectAll();
        field->insert(QStringLiteral("？"));
        QTest::keyClick(field, Qt::Key_Return);
    }));
    EXPECT_EQ(m_options.Sptr[0], Sjis("？"));

    EXPECT_FALSE(Run([](CSetupDlg &dialog) {
        QTest::keyClick(Check(dialog, IDC_CMP_CHAR), Qt::Key_Space);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    }));
    EXPECT_EQ(m_options.CmpChar, 0);
}

TEST_F(SetupDlgTest, TabFollowsTheTemplateOrder)
{
    const auto dialog = Open();
    std::vector<QWidget *> expected;
    for (const int id :
         {IDC_DELIMITERS, IDC_CMP_CHAR, IDC_CMP_CASE, IDC_CMP_ZEN, IDC_CMP_ZEN_SP, IDC_CMP_KANA,
          IDC_CMP_PUNCT, IDC_KEEP_QUOTES, IDC_VIEW_FORMAT, IDC_VIEW_LINE, IDC_VIEW_BAR,
          IDC_VIEW_MOVE, IDC_PDF_HEADS, IDC_RESTORE_SESSION, IDC_OK, IDC_CANCEL})
        expected.push_back(dialog->Control(id));
    EXPECT_EQ(test::TabChain(expected.front()), expected);
    // The dialog's size follows the template's 169 x 277 dialog units in its font.
    const QSize units = DialogUnitsToPixels({kSetupWidth, kSetupHeight}, dialog->font());
    EXPECT_GE(dialog->width(), units.width());
    EXPECT_LT(dialog->width(), units.width() * 2);
}

} // namespace
} // namespace kivo
