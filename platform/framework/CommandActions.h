#pragma once

#include "platform/framework/CommandTarget.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <map>

class QAction;
class QKeyEvent;
class QMenu;
class QToolBar;
class QWidget;

namespace kivo::res {
struct MenuItem;
}

namespace kivo {

/// The user-interface side of the commands of one main window: menu items, toolbar buttons
/// and accelerator keys, each bound to a command id. Choosing any of them carries out the
/// command; at idle time every bound entry takes the state that the command's update route
/// gives it. Prompts and tooltips come from the command's string resource.
class CommandActions : public QObject {
    Q_OBJECT
public:
    using Execute = std::function<bool(int id)>;
    using State = std::function<CmdUI(int id)>;

    /// window: the top-level window whose keys the accelerators translate.
    CommandActions(QWidget *window, Execute execute, State state);
    ~CommandActions() override;

    /// A new entry for command id with the given label, owned by parent.
    QAction *NewAction(int id, const QString &text, QObject *parent);

    /// The top-level popups of a menu resource, built as menus owned by parent.
    QList<QMenu *> BuildMenuBar(int menuId, QWidget *parent);
    /// The first submenu of a menu resource, as a menu owned by parent (for context menus).
    QMenu *BuildPopupMenu(int menuId, QWidget *parent);

    /// Adds the buttons of a toolbar resource; a separator at reservedPosition is left out and
    /// the action standing in its place is returned (null when there is none), so that a
    /// widget can be inserted there.
    QAction *FillToolBar(QToolBar *toolBar, int toolbarId, int reservedPosition = -1);

    /// Makes the keys of an accelerator table carry out their commands in the window, ahead of
    /// the focused widget's own handling of the same keys.
    void InstallAccelerators(int tableId);
    /// The command of an accelerator key; 0 when the key has none.
    int AcceleratorCommand(const QKeyEvent &event) const;

    /// Gives every bound entry the state of its command.
    void UpdateAll();
    /// Gives the entries of one menu the state of their commands.
    void UpdateMenu(QMenu *menu);

    /// The entries bound to command id.
    QList<QAction *> ActionsFor(int id) const;

    /// Makes the entry of command firstId in the menus stand for a list that changes (recent
    /// files): when its menu opens, the first label replaces the entry's text and the others
    /// become entries of commands firstId + 1, ... after it. With no labels the entry shows its
    /// own text, disabled.
    void SetItemList(int firstId, std::function<QStringList()> labels);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Apply(QAction *action, const CmdUI &ui);
    void FillList(QMenu *menu, QAction *first);
    bool IsEmptyList(const QAction *action) const;
    void AddItems(QMenu *menu, const res::MenuItem &popup);

    QWidget *m_window;
    Execute m_execute;
    State m_state;
    std::multimap<int, QPointer<QAction>> m_actions;
    std::map<int, int> m_accelerators;                   ///< key combination -> command id
    std::map<int, std::function<QStringList()>> m_lists; ///< first command id -> labels
};

} // namespace kivo
