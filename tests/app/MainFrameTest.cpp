#include "app/MainFrame.h"
#include "RichEditCtrl.h"
#include "app/ChildFrame.h"
#include "app/RichApp.h"
#include "app/RichBar.h"
#include "platform/files/Profile.h"
#include "platform/framework/CommandActions.h"
#include "platform/framework/Document.h"
#include "platform/framework/RichEditView.h"
#include "platform/widgets/StatusBar.h"
#include "resources/ResourceIds.h"
#include "resources/Toolbar.h"

#include "TestText.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>

namespace kivo {
namespace {

using namespace res;

// The application started as a user starts it, with a settings store of its own.
class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
        m_app = std::make_unique<CRichApp>();
        ASSERT_TRUE(m_app->InitInstance());
        m_frame = m_app->MainFrame();
        QApplication::setActiveWindow(m_frame);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame));
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

    RichEditCtrl *Edit(int pane) const
    {
        return static_cast<RichEditView *>(Pane(pane)->ActiveView())->Control();
    }

    bool Enabled(int id) const { return m_frame->State(id).enabled; }

    static void DeleteClosed()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CRichApp> m_app;
    CMainFrame *m_frame = nullptr;
};

TEST_F(MainFrameTest, StartsWithOneDocumentInTwoWindowsLeftOneActive)
{
    EXPECT_EQ(m_frame->windowTitle(), QStringLiteral("Kivo！"));
    ASSERT_EQ(m_frame->Children().size(), 2u);
    CChildFrame *left = Pane(1);
    CChildFrame *right = Pane(2);
    ASSERT_TRUE(left && right);
    EXPECT_EQ(left->windowTitle(), QStringLiteral("Untitled1"));
    EXPECT_EQ(right->windowTitle(), QStringLiteral("Untitled2"));
    EXPECT_EQ(m_frame->ActiveChild(), left);
    EXPECT_EQ(left->x(), 0);
    EXPECT_GT(right->x(), left->x());
    EXPECT_EQ(left->y(), right->y());
    // One document; its first view is the right window's, made first.
    Document *document = m_frame->ActiveDocument();
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->Views().size(), 2u);
    EXPECT_EQ(document->Views()[0]->ParentFrame(), right);
    EXPECT_EQ(m_app->Options().SyncScroll, 0);
}

TEST_F(MainFrameTest, MenuToolbarAndStatusBarAreThere)
{
    const QList<QAction *> menus = m_frame->menuBar()->actions();
    ASSERT_EQ(menus.size(), 6);
    EXPECT_EQ(menus[3]->text(), QStringLiteral("比較(&D)"));
    CRichBar *bar = m_frame->ToolBar();
    EXPECT_EQ(bar->DelimiterBox()->count(), 9);
    EXPECT_EQ(bar->DelimiterBox()->itemText(0), QStringLiteral("。｡"));
    EXPECT_EQ(bar->DelimiterBox()->width(), 120);
    // 15 buttons, the box, and the separators that stay.
    int buttons = 0;
    for (QAction *action : bar->actions())
        buttons += action->isSeparator() ? 0 : 1;
    EXPECT_EQ(buttons, 15 + 1);
    EXPECT_EQ(m_frame->Status()->IdleText(), QStringLiteral("レディ"));
    EXPECT_EQ(m_frame->Status()->Indicators().size(), 4u);
}

TEST_F(MainFrameTest, CommandsNobodyHandlesYetAreDisabled)
{
    m_frame->UpdateCmdUI();
    // Find needs a text, which the new windows do not have yet.
    for (const int id : {ID_FILE_SAVE, ID_EDIT_FIND}) {
        EXPECT_FALSE(Enabled(id)) << id;
        for (QAction *action : m_frame->Commands().ActionsFor(id))
            EXPECT_FALSE(action->isEnabled()) << id;
    }
    // The delimiter box follows the comparison settings command.
    EXPECT_TRUE(m_frame->ToolBar()->DelimiterBox()->isEnabled());
    for (const int id : {ID_WINDOW_TILE_VERT, ID_WINDOW_TILE_HORZ, ID_FILE_CLOSE, ID_APP_ABOUT,
                         ID_APP_EXIT, ID_SYNC_SCROLL, ID_STARTUP_NORMAL, ID_VIEW_TOOLBAR,
                         ID_COMPARE_SETTINGS, ID_COLOR_SETTINGS, ID_FORMAT_FONT})
        EXPECT_TRUE(Enabled(id)) << id;
}

TEST_F(MainFrameTest, NewAndNewWindowAreDisabledWhileTwoWindowsExist)
{
    EXPECT_EQ(m_frame->CountTextWindows(), 2);
    EXPECT_FALSE(Enabled(ID_FILE_NEW));
    EXPECT_FALSE(Enabled(ID_WINDOW_NEW));
}

TEST_F(MainFrameTest, ClosingOneWindowClearsSyncScrollAndNewAddsTheMissingPane)
{
    m_app->Options().SyncScroll = 1;
    Pane(1)->close();
    DeleteClosed();
    EXPECT_EQ(m_frame->CountTextWindows(), 1);
    m_frame->UpdateCmdUI();
    EXPECT_EQ(m_app->Options().SyncScroll, 0);
    EXPECT_FALSE(Enabled(ID_SYNC_SCROLL));
    ASSERT_TRUE(Enabled(ID_FILE_NEW));

    ASSERT_TRUE(m_frame->Execute(ID_FILE_NEW));
    ASSERT_NE(Pane(1), nullptr);
    EXPECT_EQ(Pane(1)->windowTitle(), QStringLiteral("Untitled1"));
    EXPECT_EQ(m_frame->ActiveChild(), Pane(1));
    EXPECT_LT(Pane(1)->x(), Pane(2)->x());
}

TEST_F(MainFrameTest, ClosingTheRightWindowLetsNewWindowAddItBack)
{
    Pane(2)->close();
    DeleteClosed();
    ASSERT_TRUE(Enabled(ID_WINDOW_NEW));
    ASSERT_TRUE(m_frame->Execute(ID_WINDOW_NEW));
    ASSERT_NE(Pane(2), nullptr);
    EXPECT_EQ(Pane(2)->windowTitle(), QStringLiteral("Untitled2"));
    EXPECT_LT(Pane(1)->x(), Pane(2)->x());
    EXPECT_EQ(m_frame->ActiveDocument()->Views().size(), 2u);
}

TEST_F(MainFrameTest, ResizingRetilesWithPaneOneLeftAndKeepsTheActiveWindow)
{
    m_frame->ActivateChild(Pane(2));
    m_frame->TileChildren(MdiFrameWnd::Tiling::SideBySide); // right window now tiled first
    ASSERT_EQ(Pane(2)->x(), 0);
    m_frame->showNormal();
    m_frame->resize(700, 500);
    QCoreApplication::processEvents();
    EXPECT_EQ(Pane(1)->x(), 0);
    EXPECT_GT(Pane(2)->x(), 0);
    EXPECT_EQ(Pane(1)->width() + Pane(2)->width(), m_frame->MdiClient()->viewport()->width());
    EXPECT_EQ(m_frame->ActiveChild(), Pane(2));
}

TEST_F(MainFrameTest, SyncScrollTogglesAndShowsItsCheckMark)
{
    ASSERT_TRUE(m_frame->Execute(ID_SYNC_SCROLL));
    EXPECT_EQ(m_app->Options().SyncScroll, 1);
    EXPECT_EQ(m_frame->State(ID_SYNC_SCROLL).checked, std::optional<bool>(true));
    ASSERT_TRUE(m_frame->Execute(ID_SYNC_SCROLL));
    EXPECT_EQ(m_app->Options().SyncScroll, 0);
    EXPECT_EQ(m_frame->State(ID_SYNC_SCROLL).checked, std::optional<bool>(false));
}

TEST_F(MainFrameTest, StartupSizeIsStoredAtExit)
{
    ASSERT_TRUE(m_frame->Execute(ID_STARTUP_NORMAL));
    EXPECT_EQ(m_frame->State(ID_STARTUP_NORMAL).checked, std::optional<bool>(true));
    EXPECT_EQ(m_frame->State(ID_STARTUP_MAXIMIZED).checked, std::optional<bool>(false));
    m_app->ExitInstance();
    Profile profile(QStringLiteral("Velmora"), QStringLiteral("Kivo"));
    EXPECT_EQ(profile.GetProfileInt("Window", "ShowMaximized", 1), 0);
    EXPECT_EQ(profile.GetProfileString("Options", "Sptr1", ""), DefaultDelimiters);
}

TEST_F(MainFrameTest, ChoosingADelimiterRowMovesItToTheFront)
{
    m_app->Options().Sptr = {"A", "B", "C", "D", "E", "F", "G", "H", "I"};
    m_frame->FillDelimiterBox();
    QComboBox *box = m_frame->ToolBar()->DelimiterBox();
    box->setCurrentIndex(3);
    emit box->activated(3);
    EXPECT_EQ(m_app->Options().Sptr[0], "D");
    EXPECT_EQ(box->itemText(0), QStringLiteral("D"));
    EXPECT_EQ(box->itemText(1), QStringLiteral("A"));
    EXPECT_EQ(box->itemText(3), QStringLiteral("C"));
    EXPECT_EQ(box->currentIndex(), 0);

    emit box->activated(0);
    EXPECT_EQ(box->itemText(0), QStringLiteral("D"));
    EXPECT_EQ(box->count(), 9);
}

TEST_F(MainFrameTest, TypingAndEditCommandsWorkInTheActiveWindow)
{
    RichEditCtrl *edit = Edit(1);
    edit->Widget()->setFocus();
    QTest::keyClicks(edit->Widget(), QStringLiteral("abc"));
    EXPECT_EQ(edit->GetText(), "abc");
    EXPECT_TRUE(Enabled(ID_EDIT_SELECT_ALL));
    EXPECT_FALSE(Enabled(ID_EDIT_COPY));
    QTest::keyClick(edit->Widget(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(edit->GetSelText(), "abc");
    EXPECT_TRUE(Enabled(ID_EDIT_CUT));
    QTest::keyClick(edit->Widget(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(edit->GetTextLength(), 0);
    EXPECT_TRUE(Enabled(ID_EDIT_UNDO));
    QTest::keyClick(edit->Widget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(edit->GetText(), "abc");
    // The other window is untouched.
    EXPECT_EQ(Edit(2)->GetTextLength(), 0);

    // Activating a window shows its commands' state at once, before any idle time.
    const auto shown = [this](int id) {
        return m_frame->Commands().ActionsFor(id).front()->isEnabled();
    };
    m_frame->ActivateChild(Pane(2));
    EXPECT_FALSE(shown(ID_FILE_SAVE));
    m_frame->ActivateChild(Pane(1));
    EXPECT_TRUE(shown(ID_FILE_SAVE));
}

TEST_F(MainFrameTest, JapaneseTextRoundTripsThroughTheClipboard)
{
    RichEditCtrl *left = Edit(1);
    left->ReplaceSel(test::Sjis("今日は晴れ。明日は雨｡"));
    left->SetSel(0, -1);
    ASSERT_TRUE(m_frame->Execute(ID_EDIT_COPY));
    m_frame->ActivateChild(Pane(2));
    ASSERT_TRUE(m_frame->Execute(ID_EDIT_PASTE));
    EXPECT_EQ(test::Utf8(Edit(2)->GetText()), "今日は晴れ。明日は雨｡");
}

TEST_F(MainFrameTest, RightClickOpensTheTextWindowMenuOnItsWindow)
{
    RichEditCtrl *right = Edit(2);
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 20),
                            right->Viewport()->mapToGlobal(QPoint(20, 20)));
    QCoreApplication::sendEvent(right->Viewport(), &click);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(m_frame->ActiveChild(), Pane(2));
    const QList<QAction *> actions = menu->actions();
    ASSERT_EQ(actions.size(), 14);
    EXPECT_EQ(actions.front()->text(), QStringLiteral("ファイルを開く(&O)...\tCtrl+O"));
    EXPECT_EQ(actions.back()->data().toInt(), ID_SYNC_SCROLL);
    EXPECT_TRUE(actions.back()->isEnabled());
    menu->close();
}

TEST_F(MainFrameTest, NextPaneKeySwitchesWindows)
{
    QTest::keyClick(Edit(1)->Widget(), Qt::Key_F6);
    EXPECT_EQ(m_frame->ActiveChild(), Pane(2));
    QTest::keyClick(Edit(2)->Widget(), Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(m_frame->ActiveChild(), Pane(1));
}

} // namespace
} // namespace kivo
