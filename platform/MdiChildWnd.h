#pragma once

#include "platform/CommandTarget.h"

#include <QMdiSubWindow>

namespace kivo {

class MdiFrameWnd;
class View;

/// A child window of the main frame's client area, showing one view.
class MdiChildWnd : public QMdiSubWindow, public CommandTarget {
    Q_OBJECT
public:
    MdiChildWnd();
    ~MdiChildWnd() override;

    /// The view this frame shows; null before SetView.
    View *ActiveView() const { return m_view; }
    /// Shows the view's widget in the frame; the frame owns it from then on.
    void SetView(View *view);

    /// Called by the main frame once the child exists, before it is shown or activated.
    virtual void OnCreate(MdiFrameWnd &mainFrame);

private:
    View *m_view = nullptr;
};

} // namespace kivo
