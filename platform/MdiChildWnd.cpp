#include "platform/MdiChildWnd.h"

#include "platform/View.h"
#include "resources/Toolbar.h"

#include <QWidget>

namespace kivo {

MdiChildWnd::MdiChildWnd()
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(res::AppIcon());
}

MdiChildWnd::~MdiChildWnd() = default;

void MdiChildWnd::SetView(View *view)
{
    m_view = view;
    view->AttachFrame(this);
    setWidget(view->Widget());
    connect(view, &QObject::destroyed, this, [this, view] {
        if (m_view == view)
            m_view = nullptr;
    });
}

void MdiChildWnd::OnCreate(MdiFrameWnd &)
{}

} // namespace kivo
