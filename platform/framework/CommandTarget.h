#pragma once

#include <QString>

#include <functional>
#include <initializer_list>
#include <optional>
#include <unordered_map>
#include <vector>

namespace kivo {

/// The state an update handler gives a command: enabled, checked and, for entries that change
/// their label, the text.
struct CmdUI {
    int id = 0;
    bool enabled = true;
    std::optional<bool> checked; ///< unset: the entry is not checkable
    std::optional<QString> text; ///< unset: the entry keeps its label

    void Enable(bool on = true) { enabled = on; }
    void SetCheck(bool on = true) { checked = on; }
    void SetText(const QString &label) { text = label; }
};

/// An object that commands are routed to: a table of command handlers and a table of update
/// handlers, both by command id. The application, the frames, the documents and the views are
/// command targets.
class CommandTarget {
public:
    using Handler = std::function<void()>;
    using UpdateHandler = std::function<void(CmdUI &)>;

    virtual ~CommandTarget() = default;

    /// Makes handler the command handler of id (replacing an earlier one).
    void OnCommand(int id, Handler handler);
    /// The same handler for each id in the list.
    void OnCommandRange(std::initializer_list<int> ids, const std::function<void(int)> &handler);
    /// Makes handler the update handler of id (replacing an earlier one).
    void OnUpdateCommand(int id, UpdateHandler handler);

    bool HasCommandHandler(int id) const;
    bool HasUpdateHandler(int id) const;

    /// Runs the command handler of id; false when there is none.
    bool RunCommand(int id) const;
    /// Runs the update handler of id on ui; false when there is none.
    bool RunUpdate(int id, CmdUI &ui) const;

private:
    std::unordered_map<int, Handler> m_handlers;
    std::unordered_map<int, UpdateHandler> m_updateHandlers;
};

/// The targets a command is offered to, in order.
using CommandRoute = std::vector<const CommandTarget *>;

/// The route of a command: with an active child frame, its active view, that view's document,
/// the child frame, the application and the main frame; without one, the main frame and the
/// application. Targets that are missing are left out.
CommandRoute MakeCommandRoute(const CommandTarget *activeView, const CommandTarget *document,
                              const CommandTarget *activeChild, const CommandTarget *app,
                              const CommandTarget *mainFrame);

/// The state of command id: the first target on the route with an update handler decides
/// (without one, the command is enabled). A command that no target on the route has a command
/// handler for is disabled whatever its update handler says.
CmdUI RouteUpdate(const CommandRoute &route, int id);

/// Offers command id to the targets on the route; the first with a handler takes it. Returns
/// whether one did.
bool RouteCommand(const CommandRoute &route, int id);

/// Carries out command id as the user chose it: a command whose update state is disabled is
/// ignored. Returns whether a handler ran.
bool ExecuteCommand(const CommandRoute &route, int id);

} // namespace kivo
