// Moving between the two ends of a moved sentence.
#include "views/DiffNavigator.h"

#include "views/RichView.h"

#include "platform/framework/MdiChildWnd.h"
#include "platform/framework/MdiFrameWnd.h"
#include "platform/framework/WinApp.h"

#include <algorithm>

namespace kivo {

std::optional<int> DiffNavigator::MovedPartner() const
{
    if (m_view.ResultNumber() == 0 || m_movedPartners.empty())
        return std::nullopt;
    const int caret = m_view.Control()->GetSel().start;
    const std::vector<MarkedRun> &runs = Runs();
    // The first moved run, in text order, that the caret stands in or at the end of: of the
    // runs that end at or after the caret, at most two start at or before it.
    auto run = std::partition_point(runs.begin(), runs.end(),
                                    [caret](const MarkedRun &r) { return r.end < caret; });
    while (run != runs.end() && run->start <= caret && run->kind != RunKind::Moved)
        ++run;
    if (run == runs.end() || run->start > caret)
        return std::nullopt;
    const auto partner = m_movedPartners.find(run->record);
    if (partner == m_movedPartners.end())
        return std::nullopt;
    return partner->second;
}

bool DiffNavigator::GoToMovedPartner()
{
    if (m_view.Comparing())
        return false;
    const std::optional<int> partner = MovedPartner();
    DiffNavigator *other = Paired();
    if (!partner || !other)
        return false;
    const int row = other->ShowRecord(*partner);
    other->ScrollNearTop(row);
    CRichView &view = other->m_view;
    if (WinApp *app = WinApp::Current(); app && app->MainWnd())
        app->MainWnd()->ActivateChild(view.ParentFrame());
    view.Control()->Widget()->setFocus();
    return true;
}

} // namespace kivo
