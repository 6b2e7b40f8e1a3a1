#pragma once

#include "platform/framework/MdiFrameWnd.h"

namespace kivo {

class CChildFrame;
class CRichApp;
class CRichBar;
class StatusBar;

/// The main window: menu, toolbar with the delimiter box, status bar, and the two text windows
/// side by side. Holds the rules that enable the commands.
class CMainFrame : public MdiFrameWnd {
    Q_OBJECT
public:
    explicit CMainFrame(CRichApp &app);
    ~CMainFrame() override;

    /// Builds the menus, the toolbar with its delimiter box and the status bar; false when a
    /// resource is missing.
    bool Create();

    /// 0 when no text window is active, 1 when the active one is alone, 2 when there is another.
    int CountTextWindows() const;
    /// Arranges the text windows side by side with pane 1 on the left; the active window stays
    /// active.
    void TileSideBySide();
    /// Fills the delimiter box with the nine delimiter sets and selects the first.
    void FillDelimiterBox();
    /// Switches synchronised scrolling on (when it is off) and lets the views note their first
    /// visible line.
    void StartSyncScroll();
    /// Switches synchronised scrolling off.
    void StopSyncScroll();

    CChildFrame *ActiveChildFrame() const;
    CRichBar *ToolBar() const { return m_toolBar; }
    StatusBar *Status() const { return m_statusBar; }

    void UpdateCmdUI() override;

protected:
    void OnSize() override;
    /// Another active window: the commands show its state at once.
    void OnActiveChildChanged(MdiChildWnd *child) override;

private:
    void AddHandlers();
    void OnDelimiterChosen(int row);
    void OnNewWindow();
    void ToggleSyncScroll();
    bool IsIdle() const;

    CRichApp &m_app;
    CRichBar *m_toolBar = nullptr;
    StatusBar *m_statusBar = nullptr;
};

} // namespace kivo
