// Moving between the two ends of a moved sentence.
#include "views/RichView.h"

#include "driver/ComparisonDriver.h"

#include "platform/MdiChildWnd.h"
#include "platform/MdiFrameWnd.h"
#include "platform/WinApp.h"

#include <algorithm>

namespace kivo {

std::optional<int> CRichView::MovedPartner() const
{
    if (m_resultNumber == 0 || m_movedPartners.empty())
        return std::nullopt;
    const int caret = Control()->GetSel().start;
    const std::vector<MarkedRun> &runs = Runs();
    // The run the caret stands in or at the end of; runs are in text order.
    const auto run = std::find_if(runs.begin(), runs.end(), [caret](const MarkedRun &r) {
        return r.kind == RunKind::Moved && r.start <= caret && caret <= r.end;
    });
    if (run == runs.end())
        return std::nullopt;
    const auto partner = m_movedPartners.find(run->record);
    if (partner == m_movedPartners.end())
        return std::nullopt;
    return partner->second;
}

bool CRichView::GoToMovedPartner()
{
    if (m_driver.IsRunning())
        return false;
    const std::optional<int> partner = MovedPartner();
    CRichView *other = OtherView();
    if (!partner || !other || other->m_resultNumber != m_resultNumber)
        return false;
    const int row = other->ShowRecord(*partner);
    other->ScrollNearTop(row);
    if (WinApp *app = WinApp::Current(); app && app->MainWnd())
        app->MainWnd()->ActivateChild(other->ParentFrame());
    other->Control()->setFocus();
    return true;
}

} // namespace kivo
