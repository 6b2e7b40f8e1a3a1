#include "platform/framework/MdiChildWnd.h"

#include "platform/framework/View.h"
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

void MdiChildWnd::SetTitle(const QString &title)
{
    m_title = title;
    ShowTitle();
}

QString MdiChildWnd::Title() const
{
    return m_title.isNull() ? windowTitle() : m_title;
}

void MdiChildWnd::SetModifiedMark(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    if (m_title.isNull())
        m_title = windowTitle();
    ShowTitle();
}

void MdiChildWnd::ShowTitle()
{
    setWindowTitle(m_modified ? m_title + QStringLiteral(" *") : m_title);
}

} // namespace kivo
