// Whole comparisons through the real application: its idle loop, its two text views and the
// progress dialog, on the offscreen platform.

#include "CompareFixture.h"

#include <QClipboard>
#include <QMimeData>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>

namespace kivo {
namespace {

using namespace res;
using test::CompareInWindowsTest;
using test::Sjis;
using test::Utf8;

TEST_F(CompareInWindowsTest, TheCompareCommandsNeedTextOrSelectionsInBothWindows)
{
    m_frame->UpdateCmdUI();
    EXPECT_FALSE(m_frame->State(ID_COMPARE_WHOLE).enabled);
    SetText(1, Sjis("あ。"));
    EXPECT_FALSE(m_frame->State(ID_COMPARE_WHOLE).enabled);
    SetText(2, Sjis("い。"));
    EXPECT_TRUE(m_frame->State(ID_COMPARE_WHOLE).enabled);
    EXPECT_FALSE(m_frame->State(ID_COMPARE_SELECTION).enabled);
    Edit(1).SetSel(0, 1);
    Edit(2).SetSel(0, 1);
    EXPECT_TRUE(m_frame->State(ID_COMPARE_SELECTION).enabled);
}

TEST_F(CompareInWindowsTest, TheWindowsShowTheRecordsWithNothingLostAndEveryRowLevel)
{
    for (const int viewLine : {1, 0}) {
        m_app->Options().ViewLine = viewLine;
        const auto [a, b] = Texts(300);
        const ResultList records = CompareAndCheck(a, b);
        const std::vector<int> left = RowLines(1, records);
        const std::vector<int> right = RowLines(2, records);
        ASSERT_EQ(left.size(), 300u);
        ASSERT_EQ(left, right) << "rows level, viewLine " << viewLine;
        EXPECT_GT(Edit(1).GetLineCount(), 300 * (viewLine + 1)) << "long sentences wrapped";
        EXPECT_FALSE(Edit(1).IsReadOnly());
        EXPECT_EQ(m_app->ProgressDialog(), nullptr);
        EXPECT_EQ(m_app->Options().SyncScroll, 1);
    }
}

TEST_F(CompareInWindowsTest, StatusesGetTheirColoursAndEffects)
{
    RichOptions &options = m_app->Options();
    SetText(1, Sjis("同じ文。消える文。今日は晴れ。"));
    SetText(2, Sjis("同じ文。今日は雨。加わる文。"));
    ASSERT_TRUE(Compare());
    const auto formatAt = [this](int pane, const char *utf8) {
        const std::string text = Edit(pane).GetText();
        const std::size_t at = text.find(Sjis(utf8));
        EXPECT_NE(at, std::string::npos) << utf8;
        const int position = CharPosition(text, at);
        Edit(pane).SetSel(position, position + 1);
        return Edit(pane).GetCharFormat(FormatScope::Selection);
    };
    const CharFormat same = formatAt(1, "同じ文");
    EXPECT_EQ(same.crTextColor, options.Color[ColorSame]);
    const CharFormat deleted = formatAt(1, "消える");
    EXPECT_EQ(deleted.crTextColor, options.Color[ColorDeleted]);
    EXPECT_EQ(deleted.dwEffects & CFE_STRIKEOUT, CFE_STRIKEOUT);
    const CharFormat added = formatAt(2, "加わる");
    EXPECT_EQ(added.crTextColor, options.Color[ColorAdded]);
    EXPECT_EQ(added.dwEffects & CFE_UNDERLINE, CFE_UNDERLINE);
    const CharFormat changed = formatAt(2, "雨");
    EXPECT_EQ(changed.crTextColor, options.Color[ColorChanged]);
    EXPECT_EQ(changed.dwEffects & CFE_BOLD, CFE_BOLD);
    const CharFormat kept = formatAt(2, "今日は");
    EXPECT_EQ(kept.crTextColor, options.Color[ColorSame]);
}

TEST_F(CompareInWindowsTest, CharactersOutsideTheCodePageAndEmojiKeepTheirPlaces)
{
    const std::string a = Sjis("絵文字😀が入る。〜と～は別。") + Sjis("𠮷野家の😀😀。同じ。");
    const std::string b = Sjis("絵文字😀が入る。〜と～は別！。") + Sjis("𠮷野家の😀。同じ。");
    const ResultList records = CompareAndCheck(a, b);
    EXPECT_EQ(RowLines(1, records), RowLines(2, records));
}

TEST_F(CompareInWindowsTest, LineLayoutWritesTheTextsAloneWithoutSeparators)
{
    m_app->Options().ViewFormat = SentenceLayout::Unchanged;
    const std::string a = Sjis("一行目。\r二行目です。");
    const std::string b = Sjis("一行目。\r二行目でした。");
    SetText(1, a);
    SetText(2, b);
    ASSERT_TRUE(Compare());
    EXPECT_EQ(Edit(1).GetText(), a);
    EXPECT_EQ(Edit(2).GetText(), b);
}

TEST_F(CompareInWindowsTest, WhitespaceDifferencesAreDrawnAsUnderscores)
{
    m_app->Options().ViewBar = 1;
    m_app->Options().ViewLine = 0;
    SetText(1, Sjis("あい\tう。"));
    SetText(2, Sjis("あいう。"));
    ASSERT_TRUE(Compare());
    EXPECT_EQ(Edit(1).GetText(), Sjis("あい____う。\r"));
    EXPECT_EQ(Edit(2).GetText(), Sjis("あいう。\r"));
}

TEST_F(CompareInWindowsTest, SelectionModeReplacesOnlyTheSelections)
{
    m_app->Options().ViewLine = 0;
    const std::string before = Sjis("前の行\r");
    const std::string after = Sjis("\r後の行");
    SetText(1, before + Sjis("選んだ文。") + after);
    SetText(2, before + Sjis("選ばれた文。") + after);
    Edit(1).SetSel(4, 9);
    Edit(2).SetSel(4, 10);
    ASSERT_TRUE(Compare(ID_COMPARE_SELECTION));
    const std::string left = Edit(1).GetText();
    const std::string right = Edit(2).GetText();
    EXPECT_EQ(left.substr(0, before.size()), before);
    EXPECT_EQ(right.substr(0, before.size()), before);
    EXPECT_EQ(left.substr(left.size() - after.size()), after);
    EXPECT_EQ(right.substr(right.size() - after.size()), after);
    EXPECT_NE(left.find(Sjis("選んだ文。")), std::string::npos);
    EXPECT_EQ(Edit(1).LineFromChar(4), 1);
}

TEST_F(CompareInWindowsTest, SelectionsBeginningDownAWrappedParagraphHaveLevelRows)
{
    // Each selection begins on a lower line of a wrapped paragraph (not the same one on both
    // sides); every row after the first starts on the same line counted from the selection's
    // first line, where each window shows it.
    m_frame->resize(500, 600);
    m_frame->TileSideBySide();
    std::string left, right;
    for (int i = 0; i < 60; ++i) {
        const std::string sentence = Sjis("文") + std::to_string(i);
        if (i % 5 == 2)
            for (int k = 0; k < 12; ++k)
                left += Sjis("長い長い長い長い");
        left += sentence + (i % 9 == 0 ? "\r\r" : "") + Sjis("。");
        if (i % 6 == 1)
            for (int k = 0; k < 9; ++k)
                right += Sjis("右の長い右の長い");
        if (i % 13 != 4)
            right += sentence + Sjis("。") + (i % 4 == 0 ? "\r" : "");
    }
    SetText(1, left);
    SetText(2, right);
    const PerSide<int> starts{30, 40};
    Edit(1).SetSel(starts[0], 900);
    Edit(2).SetSel(starts[1], 700);
    ASSERT_GT(Edit(1).LineFromChar(starts[0]), Edit(1).LineFromChar(5));
    ASSERT_TRUE(Compare(ID_COMPARE_SELECTION));
    PerSide<std::vector<int>> rows;
    for (const int pane : {1, 2}) {
        RichEditCtrl &edit = Edit(pane);
        const int first = edit.LineFromChar(starts[std::size_t(pane - 1)]);
        for (QTextBlock block = edit.Document()->begin(); block.isValid(); block = block.next())
            if (block.userState() > 0)
                rows[std::size_t(pane - 1)].push_back(edit.LineFromChar(block.position()) - first);
    }
    EXPECT_GT(rows[0].size(), 20u);
    EXPECT_EQ(rows[0], rows[1]);
}

TEST_F(CompareInWindowsTest, NoToTheDelimiterWarningLeavesBothWindowsAsTheyWere)
{
    m_app->Options().Sptr[0] = "";
    const std::string a(900, 'a');
    SetText(1, a);
    SetText(2, Sjis("い。"));
    Edit(1).SetSel(3, 7);
    std::vector<QString> asked;
    ScopedMessageBoxAnswerer answerer([&asked](const MessageBoxRequest &request) {
        asked.push_back(request.text);
        EXPECT_EQ(request.flags, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
        return IDNO;
    });
    ASSERT_TRUE(Compare());
    EXPECT_EQ(asked, std::vector<QString>{LoadString(IDS_NO_DELIMITERS)});
    EXPECT_EQ(Edit(1).GetText(), a);
    EXPECT_EQ(Edit(1).GetSel(), (CharRange{3, 7}));
    EXPECT_FALSE(Edit(1).IsReadOnly());
    EXPECT_FALSE(Edit(1).IsSelectionHidden());
    EXPECT_EQ(m_app->ProgressDialog(), nullptr);
}

// A long text is read out of the window over several steps; an abort in between leaves both
// windows as they were, their selections included, and editable.
TEST_F(CompareInWindowsTest, AbortingWhileTheTextsAreReadLeavesBothWindowsAsTheyWere)
{
    const auto [a, b] = Texts(2000);
    ASSERT_TRUE(StartComparing(a, b));
    Edit(1).SetSel(5, 2);
    for (int i = 0; i < 3; ++i)
        Driver().Step();
    ASSERT_EQ(Driver().State(), CompareState::Prepare) << "the texts take more steps than that";
    EXPECT_TRUE(Edit(1).IsReadOnly());
    Driver().RequestAbort();
    ASSERT_TRUE(RunUntil([this] { return !Driver().IsRunning(); }));
    EXPECT_EQ(Edit(1).GetText(), a);
    EXPECT_EQ(Edit(2).GetText(), b);
    EXPECT_EQ(Edit(1).GetSel(), (CharRange{2, 5}));
    EXPECT_FALSE(Edit(1).IsReadOnly());
    EXPECT_FALSE(Edit(2).IsReadOnly());
    EXPECT_FALSE(Edit(1).IsSelectionHidden());
}

TEST_F(CompareInWindowsTest, AbortingDuringDisplayKeepsTheRenderedRecordsAndUnlocks)
{
    const auto [a, b] = Texts(200);
    ASSERT_TRUE(StartComparing(a, b));
    ASSERT_TRUE(RunUntil([this] {
        return Driver().State() == CompareState::Display && Driver().Status().displayScrollable;
    }));
    CProgDlg *dialog = m_app->ProgressDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), LoadString(IDS_CAPTION_SCROLLABLE));
    int questions = 0;
    ScopedMessageBoxAnswerer yes([&questions](const MessageBoxRequest &request) {
        ++questions;
        EXPECT_EQ(request.text, LoadString(IDS_ASK_ABORT));
        return IDYES;
    });
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_EQ(questions, 1);
    EXPECT_FALSE(dialog->AbortButton().isEnabled());
    ASSERT_TRUE(RunUntil([this] { return !Driver().IsRunning(); }));
    EXPECT_EQ(m_app->ProgressDialog(), nullptr);
    EXPECT_FALSE(Edit(1).IsReadOnly());
    EXPECT_LT(Edit(1).GetText().size(), a.size()) << "the rest was never rendered";
    EXPECT_EQ(Edit(1).GetSel().start, Edit(1).LineIndex(Edit(1).GetFirstVisibleLine()));
}

TEST_F(CompareInWindowsTest, EscInTheMainWindowAsksTheAbortQuestionLikeTheButton)
{
    const auto [a, b] = Texts(200);
    ASSERT_TRUE(StartComparing(a, b));
    CProgDlg *dialog = m_app->ProgressDialog();
    ASSERT_NE(dialog, nullptr);
    // A tool window without minimise and maximise buttons, that shows its phase inside too.
    EXPECT_EQ(dialog->windowType(), Qt::Tool);
    EXPECT_FALSE(dialog->windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_GT(dialog->width(),
              QFontMetrics(dialog->font()).horizontalAdvance(LoadString(IDS_CAPTION_SCROLLABLE)));

    int questions = 0;
    int answer = IDNO;
    ScopedMessageBoxAnswerer answerer([&](const MessageBoxRequest &request) {
        ++questions;
        EXPECT_EQ(request.text, LoadString(IDS_ASK_ABORT));
        return answer;
    });
    // The user clicks into the main window and presses Esc there, then in each text window.
    QApplication::setActiveWindow(m_frame);
    QTest::keyClick(m_frame, Qt::Key_Escape);
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(dialog->AbortButton().isEnabled()) << "No lets the comparison run on";
    ASSERT_TRUE(RunUntil([this] {
        return Driver().State() == CompareState::Display && Driver().Status().displayScrollable;
    }));
    EXPECT_EQ(dialog->Phase(), LoadString(IDS_CAPTION_SCROLLABLE));
    EXPECT_EQ(dialog->windowTitle(), LoadString(IDS_CAPTION_SCROLLABLE));
    QApplication::setActiveWindow(m_frame);
    QTest::keyClick(Edit(2).Widget(), Qt::Key_Escape);
    EXPECT_EQ(questions, 2);
    answer = IDYES;
    QTest::keyClick(Edit(1).Widget(), Qt::Key_Escape);
    EXPECT_EQ(questions, 3);
    EXPECT_FALSE(dialog->AbortButton().isEnabled());
    ASSERT_TRUE(RunUntil([this] { return !Driver().IsRunning(); }));
    EXPECT_LT(Edit(1).GetText().size(), a.size()) << "the display stopped";
    // Between comparisons Esc asks nothing.
    QTest::keyClick(Edit(1).Widget(), Qt::Key_Escape);
    EXPECT_EQ(questions, 3);
}

TEST_F(CompareInWindowsTest, NoToTheAbortQuestionLetsTheComparisonRunOn)
{
    const auto [a, b] = Texts(50);
    ASSERT_TRUE(StartComparing(a, b));
    ScopedMessageBoxAnswerer no([](const MessageBoxRequest &) { return IDNO; });
    m_app->ProgressDialog()->AbortButton().click();
    EXPECT_TRUE(m_app->ProgressDialog()->AbortButton().isEnabled());
    ASSERT_TRUE(RunUntil([this] { return !Driver().IsRunning(); }));
    EXPECT_TRUE(OnlyBreaksAdded(Joined(Records(a, b), true), Edit(1).GetText()));
}

TEST_F(CompareInWindowsTest, ClosingAWindowDuringDisplayEndsTheComparison)
{
    const auto [a, b] = Texts(200);
    ASSERT_TRUE(StartComparing(a, b));
    ASSERT_TRUE(RunUntil([this] { return Driver().State() == CompareState::Display; }));
    Pane(2)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(RunUntil([this] { return !Driver().IsRunning(); }));
    ASSERT_NE(Pane(1), nullptr);
    EXPECT_FALSE(Edit(1).IsReadOnly());
    EXPECT_EQ(m_app->ProgressDialog(), nullptr);
}

TEST_F(CompareInWindowsTest, LockedWindowsIgnoreKeysAndClicksButScrollOnceTheResultIsShown)
{
    // Long enough that the display is still under way a few screens on: an idle slice writes
    // a hundred sentences or more.
    const auto [a, b] = Texts(1500);
    ASSERT_TRUE(StartComparing(a, b));
    ASSERT_TRUE(RunUntil([this] { return Driver().State() == CompareState::Display; }));
    m_frame->UpdateCmdUI();
    for (const int id : {ID_COMPARE_WHOLE, ID_EDIT_PASTE, ID_EDIT_CLEAR_ALL, ID_FILE_NEW,
                         ID_WINDOW_TILE_VERT, ID_EDIT_SELECT_ALL})
        EXPECT_FALSE(m_frame->State(id).enabled) << id;
    EXPECT_TRUE(m_frame->State(ID_SYNC_SCROLL).enabled);
    const std::string shown = Edit(1).GetText();
    QTest::keyClick(Edit(1).Viewport(), Qt::Key_X);
    QTest::keyClick(Edit(1).Widget(), Qt::Key_Delete);
    QTest::mouseClick(Edit(1).Viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Edit(1).GetText(), shown);

    // A few screens on, so that a page down has somewhere to go.
    ASSERT_TRUE(RunUntil(
        [this] { return Driver().Status().displayScrollable && Edit(1).GetLineCount() > 150; }));
    m_frame->ActivateChild(Pane(1));
    const int top = Edit(1).GetFirstVisibleLine();
    ASSERT_EQ(Driver().State(), CompareState::Display);
    QTest::keyClick(Edit(1).Widget(), Qt::Key_PageDown);
    EXPECT_GT(Edit(1).GetFirstVisibleLine(), top);
    EXPECT_TRUE(View(1)->UserScrolled());
    const int scrolled = Edit(1).GetFirstVisibleLine();
    EXPECT_EQ(Edit(2).GetFirstVisibleLine(), scrolled) << "the other window follows";
    ASSERT_TRUE(RunUntil([this] { return !Driver().IsRunning(); }));
    EXPECT_EQ(Edit(1).GetFirstVisibleLine(), scrolled) << "stays where the user left it";
}

TEST_F(CompareInWindowsTest, AfterAComparisonBothWindowsScrollTogetherLineForLine)
{
    const auto [a, b] = Texts(200);
    SetText(1, a);
    SetText(2, b);
    ASSERT_TRUE(Compare());
    EXPECT_EQ(Edit(1).GetFirstVisibleLine(), 0);
    m_frame->ActivateChild(Pane(1));
    // The user scrolls the left window down five lines with its scroll bar.
    QScrollBar *bar = &Edit(1).VerticalScrollBar();
    bar->setValue(LineTop(Edit(1), 5) + 2);
    EXPECT_EQ(Edit(1).GetFirstVisibleLine(), 5);
    EXPECT_EQ(Edit(2).GetFirstVisibleLine(), 5);
    // Up by more than the other window's top line: it stops at its top.
    bar->setValue(0);
    EXPECT_EQ(Edit(2).GetFirstVisibleLine(), 0);
    // Scrolls of the window that is not active drive the other one too.
    Edit(2).VerticalScrollBar().setValue(LineTop(Edit(2), 3) + 2);
    EXPECT_EQ(Edit(1).GetFirstVisibleLine(), 3);
}

TEST_F(CompareInWindowsTest, PasteSwitchesSynchronisedScrollingOff)
{
    m_app->Options().SyncScroll = 1;
    QGuiApplication::clipboard()->setText(QStringLiteral("貼り付け"));
    m_frame->UpdateCmdUI();
    ASSERT_TRUE(m_frame->Execute(ID_EDIT_PASTE));
    EXPECT_EQ(m_app->Options().SyncScroll, 0);
    EXPECT_EQ(Edit(1).GetText(), Sjis("貼り付け"));
}

TEST_F(CompareInWindowsTest, PicturesAlonePasteNothing)
{
    auto *data = new QMimeData;
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::red);
    data->setImageData(image);
    QGuiApplication::clipboard()->setMimeData(data);
    m_frame->UpdateCmdUI();
    EXPECT_FALSE(m_frame->State(ID_EDIT_PASTE).enabled);
}

TEST_F(CompareInWindowsTest, ClearAllEmptiesTheRightWindowAndRetitlesIt)
{
    SetText(2, Sjis("消す文。"));
    Pane(2)->setWindowTitle(QStringLiteral("/tmp/some file.txt"));
    m_frame->ActivateChild(Pane(2));
    m_frame->UpdateCmdUI();
    ASSERT_TRUE(m_frame->Execute(ID_EDIT_CLEAR_ALL));
    EXPECT_EQ(Edit(2).GetTextLength(), 0);
    EXPECT_EQ(Pane(2)->windowTitle(), QStringLiteral("Untitled2"));
}

TEST_F(CompareInWindowsTest, TheStoredDisplayFormatAndBackgroundReachTheWindows)
{
    // A fresh application with stored colours: the windows show them from the start.
    m_app.reset();
    {
        QSettings store(QStringLiteral("Velmora"), QStringLiteral("Kivo"));
        store.setValue(QStringLiteral("Color/Background"), 0x00CCEEFF);
    }
    m_app = std::make_unique<CRichApp>();
    ASSERT_TRUE(m_app->InitInstance());
    m_frame = m_app->MainFrame();
    const ColorRef background = m_app->Options().Color[Background];
    EXPECT_EQ(
        Edit(1).Widget()->palette().color(QPalette::Base).rgb() & 0xFFFFFF,
        QColor(int(background & 0xFF), int(background >> 8 & 0xFF), int(background >> 16)).rgb() &
            0xFFFFFF);
    EXPECT_EQ(Edit(1).GetCharFormat(FormatScope::Default).FaceName(),
              m_app->Options().CharFormat.FaceName());
}

} // namespace
} // namespace kivo
