// The settings commands in the running application: enabling, the delimiter box, and what the
// colour and font changes do to a displayed result.

#include "AppFixture.h"
#include "DialogTestSupport.h"
#include "TestText.h"
#include "app/RichBar.h"
#include "dialogs/ColorDlg.h"
#include "dialogs/FontCommand.h"
#include "dialogs/SetupDlg.h"
#include "resources/Dialogs.h"

#include <QComboBox>

namespace kivo {
namespace {

using namespace res;
using test::Sjis;

class CommandsTest : public test::AppFixture {
protected:
    QComboBox *Box() const { return m_frame->ToolBar()->DelimiterBox(); }

    /// The format of one character of a window (the one at position).
    CharFormat FormatAt(int pane, int position) const
    {
        Edit(pane).SetSel(position, position + 1);
        return Edit(pane).GetCharFormat(FormatScope::Selection);
    }
    /// The format shared by the whole text of a window.
    CharFormat WholeFormat(int pane) const
    {
        Edit(pane).SetSel(0, -1);
        return Edit(pane).GetCharFormat(FormatScope::Selection);
    }
    /// Compares a pair whose second sentences differ in one word.
    void CompareChangedPair()
    {
        SetText(1, QStringLiteral("今日は晴れです。明日も晴れです。"));
        SetText(2, QStringLiteral("今日は晴れです。明日は雨です。"));
        ASSERT_TRUE(Compare());
    }
    int PositionOf(int pane, const QString &text) const
    {
        return Edit(pane).FindText(text, 0, FindOptions{true, false, true}).start;
    }
};

TEST_F(CommandsTest, SettingsCommandsAndTheDelimiterBoxAreOfferedOnlyWhileIdle)
{
    for (const int id : {ID_COMPARE_SETTINGS, ID_COLOR_SETTINGS, ID_FORMAT_FONT})
        EXPECT_TRUE(Enabled(id)) << id;
    EXPECT_TRUE(Box()->isEnabled());
    SetText(1, QStringLiteral("あ。"));
    SetText(2, QStringLiteral("い。"));
    ASSERT_TRUE(Choose(ID_COMPARE_WHOLE));
    for (const int id : {ID_COMPARE_SETTINGS, ID_COLOR_SETTINGS, ID_FORMAT_FONT})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_FALSE(Box()->isEnabled());
    ASSERT_TRUE(RunUntil([this] { return !m_app->Driver().IsRunning(); }));
    EXPECT_TRUE(Enabled(ID_COMPARE_SETTINGS));
    EXPECT_TRUE(Box()->isEnabled());
}

TEST_F(CommandsTest, ASetTypedInTheDialogIsTheOneTheNextComparisonUses)
{
    test::WhenModal([](QWidget *modal) {
        auto &dialog = *qobject_cast<CSetupDlg *>(modal);
        qobject_cast<QComboBox *>(dialog.Control(IDC_DELIMITERS))
            ->setEditText(QStringLiteral("！\\n"));
        test::Click(dialog, IDC_OK);
    });
    ASSERT_TRUE(Choose(ID_COMPARE_SETTINGS));
    EXPECT_EQ(Options().Sptr[0], Sjis("！") + "\\n");
    EXPECT_EQ(Options().Sptr[1], Sjis("。｡"));
    // The toolbar's box was refilled, the new set first.
    EXPECT_EQ(Box()->itemText(0), QStringLiteral("！\\n"));
    EXPECT_EQ(Box()->currentIndex(), 0);

    SetText(1, QStringLiteral("あ！い"));
    SetText(2, QStringLiteral("あ！う"));
    ASSERT_TRUE(Compare());
    EXPECT_EQ(m_app->Driver().Engine().ActiveDelimiters(), Sjis("！") + "\r");
}

TEST_F(CommandsTest, ASetChosenInTheBoxIsTheOneTheNextComparisonUses)
{
    Options().Sptr = {"A", "B", "C", Sjis("？"), "", "", "", "", ""};
    m_frame->FillDelimiterBox();
    Box()->setCurrentIndex(0);
    emit Box()->activated(0);
    EXPECT_EQ(Options().Sptr[0], "A");

    Box()->setCurrentIndex(3);
    emit Box()->activated(3);
    const std::array<std::string, 9> expected{Sjis("？"), "A", "B", "C", "", "", "", "", ""};
    EXPECT_EQ(Options().Sptr, expected);
    EXPECT_EQ(Box()->currentIndex(), 0);
    EXPECT_EQ(Box()->itemText(0), QStringLiteral("？"));
    EXPECT_EQ(Box()->itemText(1), QStringLiteral("A"));

    SetText(1, QStringLiteral("あ？い"));
    SetText(2, QStringLiteral("あ？う"));
    ASSERT_TRUE(Compare());
    EXPECT_EQ(m_app->Driver().Engine().ActiveDelimiters(), Sjis("？"));
}

TEST_F(CommandsTest, TheDelimiterBoxIsReadableAtTheNormalFontSize)
{
    EXPECT_DOUBLE_EQ(Box()->font().pointSizeF(), QApplication::font().pointSizeF());
    EXPECT_GE(Box()->height(), Box()->fontMetrics().height());
    EXPECT_EQ(Box()->width(), 120);
}

TEST_F(CommandsTest, ANewColourRemovesTheMarkUpOfTheResultInBothWindows)
{
    CompareChangedPair();
    const int changed = PositionOf(1, QStringLiteral("も"));
    ASSERT_GE(changed, 0);
    EXPECT_EQ(FormatAt(1, changed).crTextColor, Options().Color[ColorChanged]);
    EXPECT_EQ(FormatAt(1, changed).dwEffects & CFE_BOLD, CFE_BOLD);

    // The Original colour becomes blue through the chooser, as the user picks it.
    test::WhenModal([](QWidget *modal) {
        auto &dialog = *qobject_cast<CColorDlg *>(modal);
        test::WhenModal([](QWidget *chooser) {
            test::Click(*static_cast<Dialog *>(chooser), 1061);
            test::Click(*static_cast<Dialog *>(chooser), IDC_OK);
        });
        test::Click(dialog, IDC_COLOR_BACKGROUND + 1);
        EXPECT_EQ(dialog.WorkingColor(ColorOriginal), 0xFF0000u);
        test::Click(dialog, IDC_OK);
    });
    ASSERT_TRUE(Choose(ID_COLOR_SETTINGS));
    EXPECT_EQ(Options().Color[ColorOriginal], 0xFF0000u);
    EXPECT_EQ(Options().CharFormat.crTextColor, 0xFF0000u);
    for (const int pane : {1, 2}) {
        const CharFormat format = WholeFormat(pane);
        EXPECT_TRUE(format.dwMask & CFM_COLOR) << pane;
        EXPECT_EQ(format.crTextColor, 0xFF0000u) << pane;
        EXPECT_EQ(format.dwMask & kDisplayFormatMask & 0xF, 0xFu) << pane;
        EXPECT_EQ(format.dwEffects, 0u) << pane;
        EXPECT_FALSE(Edit(pane).GetModify()) << pane;
    }
}

TEST_F(CommandsTest, CancelInTheColourDialogLeavesTheResultMarkedUp)
{
    CompareChangedPair();
    const int changed = PositionOf(2, QStringLiteral("雨"));
    test::WhenModal([](QWidget *modal) {
        test::Click(*static_cast<Dialog *>(modal), IDC_COLOR_DEFAULTS);
        test::Click(*static_cast<Dialog *>(modal), IDC_CANCEL);
    });
    const RichOptions before = Options();
    ASSERT_TRUE(Choose(ID_COLOR_SETTINGS));
    EXPECT_EQ(Options().Color, before.Color);
    EXPECT_EQ(FormatAt(2, changed).crTextColor, Options().Color[ColorChanged]);
}

TEST_F(CommandsTest, ANewFontKeepsTheResultsColoursAndEffects)
{
    CompareChangedPair();
    const int changed = PositionOf(2, QStringLiteral("雨"));
    const int same = PositionOf(2, QStringLiteral("今"));
    Edit(2).SetSel(same, same + 2);
    ScopedFontChooser chooser([](const QFont &initial, QWidget *) {
        QFont font = initial;
        font.setPointSize(14);
        return std::optional<QFont>(font);
    });
    ASSERT_TRUE(Choose(ID_FORMAT_FONT));
    EXPECT_EQ(Options().CharFormat.yHeight, 280);
    // The selection stays where it was.
    EXPECT_EQ(Edit(2).GetSel(), (CharRange{same, same + 2}));
    for (const int pane : {1, 2}) {
        const CharFormat format = WholeFormat(pane);
        EXPECT_TRUE(format.dwMask & CFM_SIZE) << pane;
        EXPECT_EQ(format.yHeight, 280) << pane;
    }
    const CharFormat changedFormat = FormatAt(2, changed);
    EXPECT_EQ(changedFormat.crTextColor, Options().Color[ColorChanged]);
    EXPECT_EQ(changedFormat.dwEffects & CFE_BOLD, CFE_BOLD);
    EXPECT_EQ(FormatAt(2, same).crTextColor, Options().Color[ColorSame]);
}

} // namespace
} // namespace kivo
