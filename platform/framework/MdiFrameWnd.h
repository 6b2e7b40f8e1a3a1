#pragma once

#include "platform/framework/CommandTarget.h"

#include <QMainWindow>
#include <QMenu>

#include <vector>

class QMdiArea;
class QMdiSubWindow;

namespace kivo {

class CommandActions;
class Document;
class MdiChildWnd;
class View;
struct DocTemplate;

/// The multiple-document main window: a client area of child frames, the menu bar, the bars
/// and the command routing of the window. Commands from its menus, toolbar buttons and
/// accelerators go through one route (see MakeCommandRoute).
class MdiFrameWnd : public QMainWindow, public CommandTarget {
    Q_OBJECT
public:
    MdiFrameWnd();
    ~MdiFrameWnd() override;

    /// The application's command target, which follows the frames on the route.
    void SetAppTarget(const CommandTarget *app) { m_app = app; }

    QMdiArea *MdiClient() const { return m_mdi; }
    CommandActions &Commands() const { return *m_commands; }

    /// Builds the menus: noDocMenuId while no child frame is active, the active document
    /// template's menu otherwise. The popup with the new-window command also lists the child
    /// frames, to activate one.
    void LoadMenus(int noDocMenuId, int docMenuId);

    // Child frames.
    /// The active child frame; null when there is none.
    MdiChildWnd *ActiveChild() const;
    /// The child frames, the top of the stack (the active one) first.
    std::vector<MdiChildWnd *> Children() const;
    void ActivateChild(MdiChildWnd *child);
    /// Activates the child below the active one (next) or the bottom one (previous).
    void ActivateNext(bool previous = false);
    enum class Tiling { SideBySide, OneAboveTheOther };
    /// Arranges the child frames that are not minimised side by side (each of full height) or
    /// one above the other (each of full width). The active child comes first (left or top),
    /// then the others from the top of the stack down.
    void TileChildren(Tiling tiling);

    /// The view of the active child frame and its document; null when there is none.
    View *ActiveView() const;
    Document *ActiveDocument() const;

    /// A new document with its first child frame, shown and active; null when the document
    /// refused to start.
    Document *OpenNewDocument(const DocTemplate &docTemplate);
    /// A further child frame on the document, shown and active.
    MdiChildWnd *CreateNewWindow(const DocTemplate &docTemplate, Document &document);

    // Commands.
    CommandRoute Route() const;
    /// Carries out a command chosen by the user; false when it was disabled or unhandled.
    bool Execute(int id);
    /// The state the command has now.
    CmdUI State(int id) const;
    /// Gives every menu entry, toolbar button and bar the state of its command (idle time).
    virtual void UpdateCmdUI();
    /// Shows the first submenu of a menu resource at a screen position; its commands go
    /// through this window's route.
    void TrackPopupMenu(int menuId, const QPoint &globalPos);

signals:
    /// The active child frame changed; null when none is active any more.
    void activeChildChanged(kivo::MdiChildWnd *child);

protected:
    /// The client area changed its size; the window is not minimised.
    virtual void OnSize() {}
    /// The active child frame changed (also to none).
    virtual void OnActiveChildChanged(MdiChildWnd *child);

    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void ShowMenus(bool documentMenus);
    /// Lists the child frames at the end of the window menu, the active one checked.
    void RefreshWindowList();

    QMdiArea *m_mdi;
    CommandActions *m_commands;
    const CommandTarget *m_app = nullptr;
    QList<QMenu *> m_noDocMenus;
    QList<QMenu *> m_docMenus;
    QMenu *m_windowMenu = nullptr; ///< the document menu with the window commands
    int m_shownMenus = -1;         ///< 0: no-document menus, 1: document menus
};

} // namespace kivo
