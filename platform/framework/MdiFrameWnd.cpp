#include "platform/framework/MdiFrameWnd.h"

#include "platform/framework/CommandActions.h"
#include "platform/framework/DocTemplate.h"
#include "platform/framework/Document.h"
#include "platform/framework/MdiChildWnd.h"
#include "platform/framework/View.h"
#include "resources/ResourceIds.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMenuBar>

#include <algorithm>
#include <set>

namespace kivo {

MdiFrameWnd::MdiFrameWnd()
    : m_mdi(new QMdiArea(this)),
      m_commands(new CommandActions(
          this, [this](int id) { return Execute(id); }, [this](int id) { return State(id); }))
{
    setCentralWidget(m_mdi);
    // The viewport, not the area: its size is the one the children are tiled in, and it has
    // changed by the time it receives the event.
    m_mdi->viewport()->installEventFilter(this);
    connect(m_mdi, &QMdiArea::subWindowActivated, this,
            [this](QMdiSubWindow *) { OnActiveChildChanged(ActiveChild()); });
}

MdiFrameWnd::~MdiFrameWnd()
{
    // The children close as the window is destroyed; this object must not hear about it.
    disconnect(m_mdi, nullptr, this, nullptr);
    m_mdi->viewport()->removeEventFilter(this);
}

void MdiFrameWnd::LoadMenus(int noDocMenuId, int docMenuId)
{
    m_noDocMenus = m_commands->BuildMenuBar(noDocMenuId, this);
    m_docMenus = m_commands->BuildMenuBar(docMenuId, this);
    m_windowMenu = nullptr;
    for (QMenu *menu : m_docMenus) {
        if (!m_commands->ActionsFor(res::ID_WINDOW_NEW).isEmpty() &&
            menu->actions().contains(m_commands->ActionsFor(res::ID_WINDOW_NEW).front())) {
            m_windowMenu = menu;
            connect(menu, &QMenu::aboutToShow, this, &MdiFrameWnd::RefreshWindowList);
        }
    }
    m_shownMenus = -1;
    ShowMenus(ActiveChild() != nullptr);
}

void MdiFrameWnd::ShowMenus(bool documentMenus)
{
    const int wanted = documentMenus ? 1 : 0;
    if (wanted == m_shownMenus)
        return;
    m_shownMenus = wanted;
    QMenuBar *bar = menuBar();
    bar->clear();
    for (QMenu *menu : documentMenus ? m_docMenus : m_noDocMenus)
        bar->addMenu(menu);
}

void MdiFrameWnd::RefreshWindowList()
{
    static constexpr char kWindowEntry[] = "kivoWindowEntry";
    for (QAction *action : m_windowMenu->actions()) {
        if (action->property(kWindowEntry).toBool()) {
            m_windowMenu->removeAction(action);
            delete action;
        }
    }
    const QList<QMdiSubWindow *> windows = m_mdi->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    m_windowMenu->addSeparator()->setProperty(kWindowEntry, true);
    const QMdiSubWindow *active = ActiveChild();
    for (qsizetype i = 0; i < windows.size(); ++i) {
        QMdiSubWindow *window = windows[i];
        QString title = window->windowTitle();
        title.replace(u'&', QStringLiteral("&&"));
        const QString number = i < 9 ? u'&' + QString::number(i + 1) : QString::number(i + 1);
        QAction *entry = m_windowMenu->addAction(number + u' ' + title);
        entry->setProperty(kWindowEntry, true);
        entry->setCheckable(true);
        entry->setChecked(window == active);
        connect(entry, &QAction::triggered, this,
                [this, window] { ActivateChild(qobject_cast<MdiChildWnd *>(window)); });
    }
}

MdiChildWnd *MdiFrameWnd::ActiveChild() const
{
    // The current child stays current while another top-level window (a dialog) is active.
    return qobject_cast<MdiChildWnd *>(m_mdi->currentSubWindow());
}

std::vector<MdiChildWnd *> MdiFrameWnd::Children() const
{
    std::vector<MdiChildWnd *> children;
    const QList<QMdiSubWindow *> stack = m_mdi->subWindowList(QMdiArea::StackingOrder);
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if (auto *child = qobject_cast<MdiChildWnd *>(*it))
            children.push_back(child);
    }
    // The active child is on top of the stack even where the stacking order lags behind.
    if (MdiChildWnd *active = ActiveChild()) {
        const auto it = std::find(children.begin(), children.end(), active);
        if (it != children.end())
            std::rotate(children.begin(), it, it + 1);
    }
    return children;
}

void MdiFrameWnd::ActivateChild(MdiChildWnd *child)
{
    if (child)
        m_mdi->setActiveSubWindow(child);
}

void MdiFrameWnd::ActivateNext(bool previous)
{
    const std::vector<MdiChildWnd *> children = Children();
    if (children.size() < 2)
        return;
    ActivateChild(previous ? children.back() : children[1]);
}

void MdiFrameWnd::TileChildren(Tiling tiling)
{
    std::vector<MdiChildWnd *> children = Children();
    std::erase_if(children, [](MdiChildWnd *child) { return child->isMinimized(); });
    if (children.empty())
        return;
    const QRect area = m_mdi->viewport()->rect();
    const int count = static_cast<int>(children.size());
    const bool sideBySide = tiling == Tiling::SideBySide;
    const int span = (sideBySide ? area.width() : area.height()) / count;
    for (int i = 0; i < count; ++i) {
        MdiChildWnd *child = children[static_cast<std::size_t>(i)];
        if (child->isMaximized())
            child->showNormal();
        // The last window takes what the division left over.
        const int start = i * span;
        const int length =
            (i == count - 1) ? (sideBySide ? area.width() : area.height()) - start : span;
        child->setGeometry(sideBySide ? QRect(start, 0, length, area.height())
                                      : QRect(0, start, area.width(), length));
    }
}

View *MdiFrameWnd::ActiveView() const
{
    MdiChildWnd *child = ActiveChild();
    return child ? child->ActiveView() : nullptr;
}

Document *MdiFrameWnd::ActiveDocument() const
{
    View *view = ActiveView();
    return view ? view->GetDocument() : nullptr;
}

Document *MdiFrameWnd::OpenNewDocument(const DocTemplate &docTemplate)
{
    Document *document = docTemplate.createDocument();
    if (!document->OnNewDocument()) {
        delete document;
        return nullptr;
    }
    CreateNewWindow(docTemplate, *document);
    return document;
}

MdiChildWnd *MdiFrameWnd::CreateNewWindow(const DocTemplate &docTemplate, Document &document)
{
    MdiChildWnd *frame = docTemplate.createFrame();
    frame->OnCreate(*this);
    View *view = docTemplate.createView();
    view->AttachDocument(&document);
    frame->SetView(view);
    m_mdi->addSubWindow(frame);
    frame->show();
    ActivateChild(frame);
    view->OnInitialUpdate();
    return frame;
}

CommandRoute MdiFrameWnd::Route() const
{
    MdiChildWnd *child = ActiveChild();
    View *view = child ? child->ActiveView() : nullptr;
    Document *document = view ? view->GetDocument() : nullptr;
    return MakeCommandRoute(view, document, child, m_app, this);
}

bool MdiFrameWnd::Execute(int id)
{
    const bool ran = ExecuteCommand(Route(), id);
    // A command changes what the others may do: refresh their state now rather than at the
    // next idle time, which a command chosen from a menu does not always start.
    UpdateCmdUI();
    return ran;
}

CmdUI MdiFrameWnd::State(int id) const
{
    return RouteUpdate(Route(), id);
}

void MdiFrameWnd::UpdateCmdUI()
{
    m_commands->UpdateAll();
}

void MdiFrameWnd::TrackPopupMenu(int menuId, const QPoint &globalPos)
{
    QMenu *menu = m_commands->BuildPopupMenu(menuId, this);
    if (!menu)
        return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

void MdiFrameWnd::OnActiveChildChanged(MdiChildWnd *child)
{
    ShowMenus(child != nullptr);
    emit activeChildChanged(child);
}

bool MdiFrameWnd::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_mdi->viewport() && event->type() == QEvent::Resize && !isMinimized())
        OnSize();
    return QMainWindow::eventFilter(watched, event);
}

void MdiFrameWnd::closeEvent(QCloseEvent *event)
{
    std::set<Document *> documents;
    for (MdiChildWnd *child : Children()) {
        if (View *view = child->ActiveView(); view && view->GetDocument())
            documents.insert(view->GetDocument());
    }
    for (Document *document : documents) {
        if (!document->SaveModified()) {
            event->ignore();
            return;
        }
    }
    event->accept();
    QCoreApplication::quit();
}

} // namespace kivo
