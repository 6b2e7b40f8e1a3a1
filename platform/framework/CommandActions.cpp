#include "platform/framework/CommandActions.h"

#include "resources/Accelerators.h"
#include "resources/Menus.h"
#include "resources/Strings.h"
#include "resources/Toolbar.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QToolBar>
#include <QWidget>

namespace kivo {
namespace {

QString FromUtf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Properties of the entries of an item list.
constexpr char kListOf[] = "kivoListOf";           // on the entries added after the first
constexpr char kOwnText[] = "kivoPlaceholderText"; // on the first: the text from the menu

int CommandOf(const QAction *action)
{
    bool ok = false;
    const int id = action->data().toInt(&ok);
    return ok ? id : 0;
}

} // namespace

CommandActions::CommandActions(QWidget *window, Execute execute, State state)
    : QObject(window), m_window(window), m_execute(std::move(execute)), m_state(std::move(state))
{}

CommandActions::~CommandActions()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

QAction *CommandActions::NewAction(int id, const QString &text, QObject *parent)
{
    auto *action = new QAction(text, parent);
    action->setData(id);
    action->setStatusTip(res::CommandPrompt(id));
    const QString tip = res::CommandToolTip(id);
    if (!tip.isEmpty())
        action->setToolTip(tip);
    connect(action, &QAction::triggered, this, [this, id] { m_execute(id); });
    m_actions.emplace(id, action);
    return action;
}

void CommandActions::AddItems(QMenu *menu, const res::MenuItem &popup)
{
    for (const res::MenuItem &item : popup.items) {
        switch (item.kind) {
        case res::MenuItem::Kind::Separator:
            menu->addSeparator();
            break;
        case res::MenuItem::Kind::Command:
            menu->addAction(NewAction(item.id, FromUtf8(item.text), menu));
            break;
        case res::MenuItem::Kind::Popup: {
            QMenu *sub = menu->addMenu(FromUtf8(item.text));
            AddItems(sub, item);
            connect(sub, &QMenu::aboutToShow, this, [this, sub] { UpdateMenu(sub); });
            break;
        }
        }
    }
}

QList<QMenu *> CommandActions::BuildMenuBar(int menuId, QWidget *parent)
{
    QList<QMenu *> menus;
    for (const res::MenuItem &popup : res::MenuResource(menuId)) {
        auto *menu = new QMenu(FromUtf8(popup.text), parent);
        AddItems(menu, popup);
        // Menus show the state of the moment they open, as well as the last idle update's.
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenu(menu); });
        menus.append(menu);
    }
    return menus;
}

QMenu *CommandActions::BuildPopupMenu(int menuId, QWidget *parent)
{
    const auto popups = res::MenuResource(menuId);
    if (popups.empty())
        return nullptr;
    auto *menu = new QMenu(parent);
    AddItems(menu, popups.front());
    UpdateMenu(menu);
    return menu;
}

QAction *CommandActions::FillToolBar(QToolBar *toolBar, int toolbarId, int reservedPosition)
{
    QAction *reserved = nullptr;
    int position = 0;
    for (const int id : res::ToolbarButtons(toolbarId)) {
        if (id == res::ID_SEPARATOR) {
            QAction *separator = toolBar->addSeparator();
            if (position == reservedPosition)
                reserved = separator;
        } else {
            QAction *action = NewAction(id, res::CommandToolTip(id), toolBar);
            action->setIcon(res::ToolbarIcon(id));
            toolBar->addAction(action);
        }
        ++position;
    }
    return reserved;
}

void CommandActions::InstallAccelerators(int tableId)
{
    for (const res::Accelerator &accelerator : res::AcceleratorTable(tableId))
        m_accelerators[accelerator.key.toCombined()] = accelerator.id;
    qApp->installEventFilter(this);
}

int CommandActions::AcceleratorCommand(const QKeyEvent &event) const
{
    const Qt::KeyboardModifiers modifiers =
        event.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    const QKeyCombination key(modifiers, static_cast<Qt::Key>(event.key()));
    const auto it = m_accelerators.find(key.toCombined());
    return it == m_accelerators.end() ? 0 : it->second;
}

bool CommandActions::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || QApplication::activePopupWidget())
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != m_window)
        return false;
    const int id = AcceleratorCommand(*static_cast<QKeyEvent *>(event));
    if (id == 0)
        return false;
    // The key belongs to its command even when the command is disabled, as a menu key would.
    m_execute(id);
    return true;
}

void CommandActions::SetItemList(int firstId, std::function<QStringList()> labels)
{
    m_lists[firstId] = std::move(labels);
}

bool CommandActions::IsEmptyList(const QAction *action) const
{
    const auto it = m_lists.find(CommandOf(action));
    return it != m_lists.end() && !action->property(kListOf).isValid() && it->second().isEmpty();
}

void CommandActions::FillList(QMenu *menu, QAction *first)
{
    const int firstId = CommandOf(first);
    for (QAction *action : menu->actions()) {
        if (action->property(kListOf).toInt() == firstId) {
            menu->removeAction(action);
            delete action;
        }
    }
    if (!first->property(kOwnText).isValid())
        first->setProperty(kOwnText, first->text());
    const QStringList labels = m_lists[firstId]();
    if (labels.isEmpty()) {
        first->setText(first->property(kOwnText).toString());
        return;
    }
    first->setText(labels.front());
    const QList<QAction *> actions = menu->actions();
    const qsizetype at = actions.indexOf(first);
    QAction *before = at + 1 < actions.size() ? actions[at + 1] : nullptr;
    for (qsizetype i = 1; i < labels.size(); ++i) {
        QAction *entry = NewAction(firstId + static_cast<int>(i), labels[i], menu);
        entry->setProperty(kListOf, firstId);
        menu->insertAction(before, entry);
    }
}

void CommandActions::Apply(QAction *action, const CmdUI &ui)
{
    action->setEnabled(ui.enabled && !IsEmptyList(action));
    if (ui.checked) {
        action->setCheckable(true);
        action->setChecked(*ui.checked);
    }
    if (ui.text)
        action->setText(*ui.text);
}

void CommandActions::UpdateAll()
{
    std::erase_if(m_actions, [](const auto &entry) { return entry.second.isNull(); });
    int lastId = -1;
    CmdUI ui;
    for (const auto &[id, action] : m_actions) {
        if (id != lastId) {
            ui = m_state(id);
            lastId = id;
        }
        Apply(action, ui);
    }
}

void CommandActions::UpdateMenu(QMenu *menu)
{
    // Refilling a list replaces entries of the menu: find the lists first.
    QList<QAction *> lists;
    for (QAction *action : menu->actions()) {
        if (m_lists.contains(CommandOf(action)) && !action->property(kListOf).isValid())
            lists.append(action);
    }
    for (QAction *first : lists)
        FillList(menu, first);
    for (QAction *action : menu->actions()) {
        const int id = CommandOf(action);
        if (id != 0 && !action->isSeparator() && !action->menu())
            Apply(action, m_state(id));
    }
}

QList<QAction *> CommandActions::ActionsFor(int id) const
{
    QList<QAction *> actions;
    const auto [first, last] = m_actions.equal_range(id);
    for (auto it = first; it != last; ++it) {
        if (it->second)
            actions.append(it->second);
    }
    return actions;
}

} // namespace kivo
