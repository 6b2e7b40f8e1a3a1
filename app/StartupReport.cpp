#include "app/StartupReport.h"

#include "app/ChildFrame.h"
#include "app/MainFrame.h"

#include <QFile>
#include <QTextStream>

namespace kivo {
namespace {

QString Geometry(const QWidget &widget)
{
    const QPoint topLeft = widget.mapToGlobal(QPoint(0, 0));
    return QString::number(topLeft.x()) + u' ' + QString::number(topLeft.y()) + u' ' +
           QString::number(widget.width()) + u' ' + QString::number(widget.height());
}

} // namespace

bool WriteWindowReport(const CMainFrame &frame, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << "main " << Geometry(frame) << ' ' << frame.windowTitle() << '\n';
    const MdiChildWnd *active = frame.ActiveChild();
    for (const MdiChildWnd *child : frame.Children()) {
        const auto *pane = qobject_cast<const CChildFrame *>(child);
        out << "pane " << (pane ? pane->paneNumber : 0) << ' ' << Geometry(*child) << ' '
            << (child == active ? "active" : "inactive") << ' ' << child->windowTitle() << '\n';
    }
    return true;
}

} // namespace kivo
