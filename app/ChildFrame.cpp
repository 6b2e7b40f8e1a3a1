#include "app/ChildFrame.h"

#include "platform/framework/MdiFrameWnd.h"

namespace kivo {

CChildFrame::CChildFrame() = default;

void CChildFrame::OnCreate(MdiFrameWnd &mainFrame)
{
    const auto *active = qobject_cast<const CChildFrame *>(mainFrame.ActiveChild());
    if (!active)
        paneNumber = 2;
    else
        paneNumber = active->paneNumber == 2 ? 1 : 2;
}

} // namespace kivo
