#pragma once

#include "platform/framework/CommandTarget.h"

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

    /// Sets the title: a file's path or the window's name. While the text holds edits that were
    /// not saved, the window shows it followed by " *".
    void SetTitle(const QString &title);
    /// The title without the mark of unsaved edits.
    QString Title() const;
    /// Shows or takes away the mark of unsaved edits.
    void SetModifiedMark(bool modified);

private:
    void ShowTitle();

    QString m_title;
    bool m_modified = false;
    View *m_view = nullptr;
};

} // namespace kivo
