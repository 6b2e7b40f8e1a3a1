#include "platform/framework/Document.h"

#include "platform/framework/MdiChildWnd.h"
#include "platform/framework/View.h"
#include "resources/ResourceIds.h"

#include <QWidget>

#include <algorithm>

namespace kivo {

Document::Document()
{
    OnCommand(res::ID_FILE_CLOSE, [this] {
        if (SaveModified())
            OnCloseDocument();
    });
}

// The views hold the document through a guarded pointer, which clears itself.
Document::~Document() = default;

void Document::AddView(View *view)
{
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.push_back(view);
}

void Document::RemoveView(View *view)
{
    std::erase(m_views, view);
    if (m_views.empty())
        deleteLater();
}

void Document::UpdateAllViews(View *sender, long hint, std::intptr_t objectHint)
{
    // A copy: an update may close a view.
    const std::vector<View *> views = m_views;
    for (View *view : views) {
        if (view != sender)
            view->OnUpdate(sender, hint, objectHint);
    }
}

void Document::OnCloseDocument()
{
    if (m_closing)
        return;
    m_closing = true;
    const std::vector<View *> views = m_views;
    for (View *view : views) {
        if (MdiChildWnd *frame = view->ParentFrame())
            frame->close();
    }
}

} // namespace kivo
