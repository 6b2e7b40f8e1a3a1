#include "app/PaneView.h"

#include "RichEditCtrl.h"
#include "app/ChildFrame.h"
#include "platform/MdiFrameWnd.h"
#include "platform/WinApp.h"
#include "resources/ResourceIds.h"

#include <QContextMenuEvent>

namespace kivo {

PaneView::PaneView(RichEditCtrl *control) : RichEditView(control)
{
    // The control's own menu would open from its viewport, which receives the event first.
    control->viewport()->installEventFilter(this);
}

void PaneView::OnInitialUpdate()
{
    RichEditView::OnInitialUpdate();
    auto *frame = qobject_cast<CChildFrame *>(ParentFrame());
    if (!frame)
        return;
    if (frame->paneNumber == 1)
        frame->setWindowTitle(QStringLiteral("Untitled1"));
    else if (frame->paneNumber == 2)
        frame->setWindowTitle(QStringLiteral("Untitled2"));
}

bool PaneView::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ContextMenu)
        return RichEditView::eventFilter(watched, event);
    WinApp *app = WinApp::Current();
    MdiFrameWnd *main = app ? app->MainWnd() : nullptr;
    if (!main)
        return false;
    main->ActivateChild(ParentFrame());
    main->TrackPopupMenu(res::IDR_CONTEXT, static_cast<QContextMenuEvent *>(event)->globalPos());
    return true;
}

} // namespace kivo
