#include "views/RichDoc.h"

#include "driver/ComparisonDriver.h"
#include "resources/ResourceIds.h"
#include "views/RichView.h"

#include <algorithm>

namespace kivo {

CRichDoc::CRichDoc(ComparisonDriver &driver) : m_driver(driver)
{
    using namespace res;
    OnUpdateCommand(ID_COMPARE_SELECTION,
                    [this](CmdUI &ui) { ui.Enable(!m_driver.IsRunning() && BothSelected()); });
    OnUpdateCommand(ID_COMPARE_WHOLE,
                    [this](CmdUI &ui) { ui.Enable(!m_driver.IsRunning() && BothHaveText()); });
}

std::vector<CRichView *> CRichDoc::RichViews() const
{
    std::vector<CRichView *> views;
    for (View *view : Views()) {
        if (auto *rich = qobject_cast<CRichView *>(view))
            views.push_back(rich);
    }
    return views;
}

template <typename Test> bool CRichDoc::BothViews(Test test) const
{
    const std::vector<CRichView *> views = RichViews();
    return Views().size() == 2 && views.size() == 2 &&
           std::all_of(views.begin(), views.end(), [&test](const CRichView *view) {
               return test(*view);
           });
}

bool CRichDoc::BothHaveText() const
{
    return BothViews([](const CRichView &view) { return view.HasText(); });
}

bool CRichDoc::BothSelected() const
{
    return BothViews([](const CRichView &view) { return view.HasSelection(); });
}

void CRichDoc::PrepareForComparison()
{
    for (CRichView *view : RichViews())
        view->PrepareForComparison();
}

void CRichDoc::BeginDisplay()
{
    for (CRichView *view : RichViews())
        view->BeginDisplay();
}

void CRichDoc::ReturnToRegionTop()
{
    for (CRichView *view : RichViews())
        view->ReturnToRegionTop();
}

void CRichDoc::FinishViewAfterComparison()
{
    for (CRichView *view : RichViews())
        view->FinishViewAfterComparison();
}

} // namespace kivo
