// Whole comparisons through the real application: its idle loop, its two text views and the
// progress dialog, on the offscreen platform.

#include "Comparison.h"
#include "RichEditCtrl.h"
#include "TestText.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/RichApp.h"
#include "driver/dialog/ProgDlg.h"
#include "platform/MessageBox.h"
#include "platform/ProgressBar.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"
#include "views/RichDoc.h"
#include "views/RichView.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace kivo {
namespace {

using namespace res;
using test::Sjis;
using test::Utf8;

class CompareInWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        m_app = std::make_unique<CRichApp>();
        ASSERT_TRUE(m_app->InitInstance());
        m_frame = m_app->MainFrame();
        m_frame->showNormal();
        m_frame->resize(1280, 800);
        QApplication::setActiveWindow(m_frame);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame));
        m_frame->TileSideBySide();
    }

    CChildFrame *Pane(int number) const
    {
        for (MdiChildWnd *child : m_frame->Children()) {
            auto *pane = qobject_cast<CChildFrame *>(child);
            if (pane && pane->paneNumber == number)
                return pane;
        }
        return nullptr;
    }
    CRichView *View(int pane) const { return static_cast<CRichView *>(Pane(pane)->ActiveView()); }
    RichEditCtrl &Edit(int pane) const { return *View(pane)->Control(); }
    ComparisonDriver &Driver() const { return m_app->Driver(); }

    void SetText(int pane, const std::string &cp932)
    {
        Edit(pane).SetSel(0, -1);
        Edit(pane).ReplaceSel(cp932);
    }

    /// Runs the event loop, and with it the idle processing, until the condition holds; false
    /// when it did not within ten seconds.
    static bool RunUntil(const std::function<bool()> &done)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done()) {
            if (timer.elapsed() > 10000)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
        return true;
    }

    /// Chooses a compare command as the user would and waits for its end.
    bool Compare(int command = ID_COMPARE_WHOLE)
    {
        m_frame->UpdateCmdUI();
        if (!m_frame->Execute(command))
            return false;
        return RunUntil([this] { return !Driver().IsRunning(); });
    }

    /// Puts the texts in the windows and chooses the whole-text command, without waiting.
    bool StartComparing(const std::string &left, const std::string &right)
    {
        SetText(1, left);
        SetText(2, right);
        m_frame->UpdateCmdUI();
        return m_frame->Execute(ID_COMPARE_WHOLE);
    }

    /// The records the engine gives for the two texts.
    ResultList Records(const std::string &left, const std::string &right) const
    {
        ProgressModel progress;
        Comparison engine(m_app->Options(), progress);
        engine.RunToCompletion(left, right);
        return engine.ResultList;
    }

    /// Compares the texts in the windows and checks that each window shows its side of the
    /// engine's records with nothing lost; returns the records.
    ResultList CompareAndCheck(const std::string &left, const std::string &right)
    {
        SetText(1, left);
        SetText(2, right);
        const ResultList records = Records(left, right);
        EXPECT_TRUE(Compare());
        EXPECT_TRUE(OnlyBreaksAdded(Joined(records, true), Edit(1).GetText()));
        EXPECT_TRUE(OnlyBreaksAdded(Joined(records, false), Edit(2).GetText()));
        return records;
    }

    /// The text a side shows for the records, before any padding.
    std::string Joined(const ResultList &records, bool left) const
    {
        const RichOptions &options = m_app->Options();
        const std::string separator = options.ViewFormat != 0 ? ""
                                      : options.ViewLine == 1 ? "\r\r"
                                                              : "\r";
        std::string text;
        for (const ResultPair &record : records) {
            text += left ? record.leftText : record.rightText;
            if (record.sentenceEnd == 1)
                text += separator;
        }
        return text;
    }

    /// Whether shown is expected with nothing but line breaks added.
    static ::testing::AssertionResult OnlyBreaksAdded(const std::string &expected,
                                                      const std::string &shown)
    {
        std::size_t j = 0;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            if (j < expected.size() && shown[i] == expected[j])
                ++j;
            else if (shown[i] != '\r')
                return ::testing::AssertionFailure()
                       << "byte " << i << " of the window is not in the result: "
                       << Utf8(shown.substr(i, 20));
        }
        if (j != expected.size())
            return ::testing::AssertionFailure()
                   << "the window lacks " << Utf8(expected.substr(j, 40));
        return ::testing::AssertionSuccess();
    }

    /// The display line on which each row of a side begins: rows are found as runs of text
    /// between line breaks, in order; only texts whose every row has text on both sides.
    std::vector<int> RowLines(int pane, const ResultList &records) const
    {
        const bool left = pane == 1;
        const std::string shown = Edit(pane).GetText();
        std::vector<int> lines;
        std::size_t at = 0;
        std::string rowText;
        for (const ResultPair &record : records) {
            rowText += left ? record.leftText : record.rightText;
            if (record.sentenceEnd != 1)
                continue;
            const std::size_t found = shown.find(rowText, at);
            if (found == std::string::npos)
                return {};
            lines.push_back(Edit(pane).LineFromChar(CharPosition(shown, found)));
            at = found + rowText.size();
            rowText.clear();
        }
        return lines;
    }

    /// The control position of a byte offset of its text: one per character, two for a private
    /// code that stands for a character outside the Basic Multilingual Plane.
    static int CharPosition(const std::string &cp932, std::size_t offset)
    {
        const std::optional<std::string> utf8 = Cp932Codec::Shared().ToUtf8(cp932.substr(0, offset));
        return utf8 ? static_cast<int>(QString::fromStdString(*utf8).size()) : -1;
    }

    /// Scroll position at which a line stands at the top of the window.
    static int LineTop(RichEditCtrl &edit, int line)
    {
        QTextCursor cursor(edit.document());
        cursor.setPosition(edit.LineIndex(line));
        return edit.cursorRect(cursor).top() + edit.verticalScrollBar()->value();
    }

    /// n one-line sentences, every seventh changed and some long enough to wrap on the left.
    static std::pair<std::string, std::string> Texts(int n)
    {
        std::string a, b;
        for (int i = 0; i < n; ++i) {
            const std::string number = std::to_string(i);
            std::string body = Sjis("これは") + number + Sjis("番目の文です");
            if (i % 11 == 5)
                for (int k = 0; k < 6; ++k)
                    body += Sjis("、長く続けて折り返させます");
            a += body + Sjis("。");
            b += (i % 7 == 3 ? body + Sjis("ね") : body) + Sjis("。");
        }
        return {a, b};
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CRichApp> m_app;
    CMainFrame *m_frame = nullptr;
};

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
        EXPECT_FALSE(Edit(1).isReadOnly());
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
    m_app->Options().ViewFormat = 1;
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
    EXPECT_FALSE(Edit(1).isReadOnly());
    EXPECT_FALSE(Edit(1).IsSelectionHidden());
    EXPECT_EQ(m_app->ProgressDialog(), nullptr);
}

TEST_F(CompareInWindowsTest, AbortingDuringDisplayKeepsTheRenderedRecordsAndUnlocks)
{
    const auto [a, b] = Texts(200);
    ASSERT_TRUE(StartComparing(a, b));
    ASSERT_TRUE(RunUntil([this] { return Driver().State() == 10 && Driver().displayScrollable; }));
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
    EXPECT_FALSE(Edit(1).isReadOnly());
    EXPECT_LT(Edit(1).GetText().size(), a.size()) << "the rest was never rendered";
    EXPECT_EQ(Edit(1).GetSel().start, Edit(1).LineIndex(Edit(1).GetFirstVisibleLine()));
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
    ASSERT_TRUE(RunUntil([this] { return Driver().State() == 10; }));
    Pane(2)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(RunUntil([this] { return !Driver().IsRunning(); }));
    ASSERT_NE(Pane(1), nullptr);
    EXPECT_FALSE(Edit(1).isReadOnly());
    EXPECT_EQ(m_app->ProgressDialog(), nullptr);
}

TEST_F(CompareInWindowsTest, LockedWindowsIgnoreKeysAndClicksButScrollOnceTheResultIsShown)
{
    const auto [a, b] = Texts(200);
    ASSERT_TRUE(StartComparing(a, b));
    ASSERT_TRUE(RunUntil([this] { return Driver().State() == 10; }));
    m_frame->UpdateCmdUI();
    for (const int id : {ID_COMPARE_WHOLE, ID_EDIT_PASTE, ID_EDIT_CLEAR_ALL, ID_FILE_NEW,
                         ID_WINDOW_TILE_VERT, ID_EDIT_SELECT_ALL})
        EXPECT_FALSE(m_frame->State(id).enabled) << id;
    EXPECT_TRUE(m_frame->State(ID_SYNC_SCROLL).enabled);
    const std::string shown = Edit(1).GetText();
    QTest::keyClick(Edit(1).viewport(), Qt::Key_X);
    QTest::keyClick(&Edit(1), Qt::Key_Delete);
    QTest::mouseClick(Edit(1).viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Edit(1).GetText(), shown);

    // A few screens on, so that a page down has somewhere to go.
    ASSERT_TRUE(RunUntil(
        [this] { return Driver().displayScrollable && Edit(1).GetLineCount() > 150; }));
    m_frame->ActivateChild(Pane(1));
    const int top = Edit(1).GetFirstVisibleLine();
    ASSERT_EQ(Driver().State(), 10);
    QTest::keyClick(&Edit(1), Qt::Key_PageDown);
    EXPECT_GT(Edit(1).GetFirstVisibleLine(), top);
    EXPECT_TRUE(Driver().userScrolled);
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
    QScrollBar *bar = Edit(1).verticalScrollBar();
    bar->setValue(LineTop(Edit(1), 5) + 2);
    EXPECT_EQ(Edit(1).GetFirstVisibleLine(), 5);
    EXPECT_EQ(Edit(2).GetFirstVisibleLine(), 5);
    // Up by more than the other window's top line: it stops at its top.
    bar->setValue(0);
    EXPECT_EQ(Edit(2).GetFirstVisibleLine(), 0);
    // Scrolls of the window that is not active move nobody.
    Edit(2).verticalScrollBar()->setValue(LineTop(Edit(2), 3) + 2);
    EXPECT_EQ(Edit(1).GetFirstVisibleLine(), 0);
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
    EXPECT_EQ(Edit(1).palette().color(QPalette::Base).rgb() & 0xFFFFFF,
              QColor(int(background & 0xFF), int(background >> 8 & 0xFF), int(background >> 16))
                      .rgb() &
                  0xFFFFFF);
    EXPECT_EQ(Edit(1).GetCharFormat(FormatScope::Default).FaceName(),
              m_app->Options().CharFormat.FaceName());
}

} // namespace
} // namespace kivo
