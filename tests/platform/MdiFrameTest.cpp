#include "RichEditCtrl.h"
#include "platform/framework/CommandActions.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/Document.h"
#include "platform/framework/MdiChildWnd.h"
#include "platform/framework/MdiFrameWnd.h"
#include "platform/framework/RichEditView.h"
#include "resources/ResourceIds.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace kivo {
namespace {

using namespace res;

// A view that records the updates it receives.
class RecordingView : public RichEditView {
public:
    RecordingView() : RichEditView(new RichEditCtrl) {}
    void OnUpdate(View *sender, long hint, std::intptr_t objectHint) override
    {
        updates.push_back({sender, hint, objectHint});
    }
    struct Update {
        View *sender;
        long hint;
        std::intptr_t objectHint;
    };
    std::vector<Update> updates;
};

class MdiFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_template.menuId = IDR_RICHTYPE;
        m_template.createDocument = [] { return new Document; };
        m_template.createFrame = [] { return new MdiChildWnd; };
        m_template.createView = [] { return new RecordingView; };
        m_frame = std::make_unique<MdiFrameWnd>();
        m_frame->LoadMenus(IDR_MAINFRAME, IDR_RICHTYPE);
        m_frame->Commands().InstallAccelerators(IDR_MAINFRAME);
        m_frame->resize(800, 600);
        m_frame->show();
        QApplication::setActiveWindow(m_frame.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame.get()));
    }

    // One document in two windows; returns them in creation order.
    std::pair<MdiChildWnd *, MdiChildWnd *> TwoWindows()
    {
        Document *document = m_frame->OpenNewDocument(m_template);
        MdiChildWnd *first = m_frame->ActiveChild();
        MdiChildWnd *second = m_frame->CreateNewWindow(m_template, *document);
        return {first, second};
    }

    static void DeleteClosed()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    int ViewportWidth() const { return m_frame->MdiClient()->viewport()->width(); }

    DocTemplate m_template;
    std::unique_ptr<MdiFrameWnd> m_frame;
};

TEST_F(MdiFrameTest, NewWindowBecomesActiveAndViewsKeepCreationOrder)
{
    auto [first, second] = TwoWindows();
    EXPECT_EQ(m_frame->ActiveChild(), second);
    Document *document = m_frame->ActiveDocument();
    ASSERT_NE(document, nullptr);
    ASSERT_EQ(document->Views().size(), 2u);
    EXPECT_EQ(document->Views()[0], first->ActiveView());
    EXPECT_EQ(document->Views()[1], second->ActiveView());
}

TEST_F(MdiFrameTest, SideBySideTilingPutsTheActiveWindowOnTheLeft)
{
    auto [first, second] = TwoWindows();
    m_frame->TileChildren(MdiFrameWnd::Tiling::SideBySide);
    EXPECT_EQ(second->x(), 0);
    EXPECT_EQ(first->x(), ViewportWidth() / 2);
    EXPECT_EQ(first->width() + second->width(), ViewportWidth());
    EXPECT_EQ(first->height(), m_frame->MdiClient()->viewport()->height());

    m_frame->ActivateChild(first);
    m_frame->TileChildren(MdiFrameWnd::Tiling::SideBySide);
    EXPECT_EQ(first->x(), 0);
    EXPECT_EQ(second->x(), ViewportWidth() / 2);
}

TEST_F(MdiFrameTest, TilingOneAboveTheOtherPutsTheActiveWindowOnTop)
{
    auto [first, second] = TwoWindows();
    m_frame->ActivateChild(first);
    m_frame->TileChildren(MdiFrameWnd::Tiling::OneAboveTheOther);
    EXPECT_EQ(first->y(), 0);
    EXPECT_GT(second->y(), 0);
    EXPECT_EQ(first->width(), ViewportWidth());
    EXPECT_EQ(second->width(), ViewportWidth());
}

TEST_F(MdiFrameTest, TilingLeavesMinimisedWindowsOutAndRestoresMaximisedOnes)
{
    auto [first, second] = TwoWindows();
    first->showMinimized();
    m_frame->ActivateChild(second);
    second->showMaximized();
    ASSERT_TRUE(first->isMinimized());
    m_frame->TileChildren(MdiFrameWnd::Tiling::SideBySide);
    EXPECT_FALSE(second->isMaximized());
    EXPECT_EQ(second->geometry(), m_frame->MdiClient()->viewport()->rect());
    EXPECT_TRUE(first->isMinimized());
}

TEST_F(MdiFrameTest, NextWindowAlternatesBetweenTwo)
{
    auto [first, second] = TwoWindows();
    m_frame->ActivateNext();
    EXPECT_EQ(m_frame->ActiveChild(), first);
    m_frame->ActivateNext(true);
    EXPECT_EQ(m_frame->ActiveChild(), second);
}

TEST_F(MdiFrameTest, UpdateAllViewsSkipsTheSenderAndPassesTheHints)
{
    auto [first, second] = TwoWindows();
    auto *a = static_cast<RecordingView *>(first->ActiveView());
    auto *b = static_cast<RecordingView *>(second->ActiveView());
    a->updates.clear();
    b->updates.clear();
    m_frame->ActiveDocument()->UpdateAllViews(a, -5, 3);
    EXPECT_TRUE(a->updates.empty());
    ASSERT_EQ(b->updates.size(), 1u);
    EXPECT_EQ(b->updates[0].sender, a);
    EXPECT_EQ(b->updates[0].hint, -5);
    EXPECT_EQ(b->updates[0].objectHint, 3);
}

TEST_F(MdiFrameTest, CloseCommandClosesEveryWindowOfTheDocument)
{
    TwoWindows();
    QPointer<Document> document = m_frame->ActiveDocument();
    EXPECT_TRUE(m_frame->Execute(ID_FILE_CLOSE));
    DeleteClosed();
    DeleteClosed();
    EXPECT_TRUE(m_frame->Children().empty());
    EXPECT_EQ(m_frame->ActiveChild(), nullptr);
    EXPECT_TRUE(document.isNull());
}

TEST_F(MdiFrameTest, MenuBarFollowsWhetherADocumentIsActive)
{
    EXPECT_EQ(m_frame->menuBar()->actions().size(), 3); // menu 128
    TwoWindows();
    EXPECT_EQ(m_frame->menuBar()->actions().size(), 6); // menu 129
    m_frame->Execute(ID_FILE_CLOSE);
    DeleteClosed();
    EXPECT_EQ(m_frame->menuBar()->actions().size(), 3);
}

TEST_F(MdiFrameTest, WindowMenuListsTheWindowsWithTheActiveOneChecked)
{
    auto [first, second] = TwoWindows();
    first->setWindowTitle(QStringLiteral("右"));
    second->setWindowTitle(QStringLiteral("左"));
    auto *window =
        qobject_cast<QMenu *>(m_frame->Commands().ActionsFor(ID_WINDOW_NEW).front()->parent());
    ASSERT_NE(window, nullptr);
    for (int round = 0; round < 2; ++round) {
        emit window->aboutToShow();
        const QList<QAction *> actions = window->actions();
        ASSERT_GE(actions.size(), 3);
        QAction *one = actions[actions.size() - 2];
        QAction *two = actions.back();
        EXPECT_EQ(one->text(), QStringLiteral("&1 右"));
        EXPECT_EQ(two->text(), QStringLiteral("&2 左"));
        EXPECT_FALSE(one->isChecked());
        EXPECT_TRUE(two->isChecked());
        EXPECT_TRUE(actions[actions.size() - 3]->isSeparator());
    }
    const qsizetype count = window->actions().size();
    window->actions()[count - 2]->trigger();
    EXPECT_EQ(m_frame->ActiveChild(), first);
}

TEST_F(MdiFrameTest, EntriesOfUnhandledCommandsAreDisabledAtUpdate)
{
    TwoWindows();
    m_frame->OnCommand(ID_SYNC_SCROLL, [] {});
    m_frame->OnUpdateCommand(ID_SYNC_SCROLL, [](CmdUI &ui) { ui.SetCheck(true); });
    m_frame->UpdateCmdUI();
    const QList<QAction *> compare = m_frame->Commands().ActionsFor(ID_COMPARE_WHOLE);
    ASSERT_FALSE(compare.isEmpty());
    for (QAction *action : compare)
        EXPECT_FALSE(action->isEnabled());
    const QList<QAction *> sync = m_frame->Commands().ActionsFor(ID_SYNC_SCROLL);
    ASSERT_FALSE(sync.isEmpty());
    for (QAction *action : sync) {
        EXPECT_TRUE(action->isEnabled());
        EXPECT_TRUE(action->isChecked());
    }
    // The view's own edit command: select all needs text.
    for (QAction *action : m_frame->Commands().ActionsFor(ID_EDIT_SELECT_ALL))
        EXPECT_FALSE(action->isEnabled());
}

TEST_F(MdiFrameTest, AcceleratorGoesToItsCommandAheadOfTheEditorsOwnKey)
{
    TwoWindows();
    auto *view = static_cast<RichEditView *>(m_frame->ActiveView());
    RichEditCtrl *edit = view->Control();
    edit->Document()->setPlainText(QStringLiteral("あいう"));
    int routed = 0;
    view->OnCommand(ID_EDIT_SELECT_ALL, [&] { ++routed; });
    QTest::keyClick(edit->Widget(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(routed, 1);
    EXPECT_FALSE(edit->TextCursor().hasSelection()) << "the editor must not also select all";

    int compared = 0;
    m_frame->OnCommand(ID_COMPARE_WHOLE, [&] { ++compared; });
    QTest::keyClick(edit->Widget(), Qt::Key_F5);
    EXPECT_EQ(compared, 1);
    EXPECT_EQ(edit->Document()->toPlainText(), QStringLiteral("あいう"));
}

TEST_F(MdiFrameTest, AcceleratorOfADisabledCommandDoesNothing)
{
    TwoWindows();
    RichEditCtrl *edit = static_cast<RichEditView *>(m_frame->ActiveView())->Control();
    int compared = 0;
    m_frame->OnCommand(ID_COMPARE_WHOLE, [&] { ++compared; });
    m_frame->OnUpdateCommand(ID_COMPARE_WHOLE, [](CmdUI &ui) { ui.Enable(false); });
    QTest::keyClick(edit->Widget(), Qt::Key_F5);
    EXPECT_EQ(compared, 0);
}

} // namespace
} // namespace kivo
