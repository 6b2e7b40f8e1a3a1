#include "platform/framework/CommandTarget.h"

#include <algorithm>

namespace kivo {

void CommandTarget::OnCommand(int id, Handler handler)
{
    m_handlers[id] = std::move(handler);
}

void CommandTarget::OnCommandRange(std::initializer_list<int> ids,
                                   const std::function<void(int)> &handler)
{
    for (const int id : ids)
        m_handlers[id] = [handler, id] { handler(id); };
}

void CommandTarget::OnUpdateCommand(int id, UpdateHandler handler)
{
    m_updateHandlers[id] = std::move(handler);
}

bool CommandTarget::HasCommandHandler(int id) const
{
    return m_handlers.contains(id);
}

bool CommandTarget::HasUpdateHandler(int id) const
{
    return m_updateHandlers.contains(id);
}

bool CommandTarget::RunCommand(int id) const
{
    const auto it = m_handlers.find(id);
    if (it == m_handlers.end())
        return false;
    // A copy, so that a handler that replaces its own entry does not destroy itself mid-call.
    const Handler handler = it->second;
    handler();
    return true;
}

bool CommandTarget::RunUpdate(int id, CmdUI &ui) const
{
    const auto it = m_updateHandlers.find(id);
    if (it == m_updateHandlers.end())
        return false;
    const UpdateHandler handler = it->second;
    handler(ui);
    return true;
}

CommandRoute MakeCommandRoute(const CommandTarget *activeView, const CommandTarget *document,
                              const CommandTarget *activeChild, const CommandTarget *app,
                              const CommandTarget *mainFrame)
{
    CommandRoute route;
    if (activeChild)
        route = {activeView, document, activeChild, app, mainFrame};
    else
        route = {mainFrame, app};
    std::erase(route, nullptr);
    return route;
}

CmdUI RouteUpdate(const CommandRoute &route, int id)
{
    CmdUI ui;
    ui.id = id;
    const bool handled = std::any_of(route.begin(), route.end(), [id](const CommandTarget *target) {
        return target->HasCommandHandler(id);
    });
    for (const CommandTarget *target : route) {
        if (target->RunUpdate(id, ui))
            break;
    }
    // An update handler may allow a command that no target on the route carries out; choosing
    // it would do nothing, so it is shown disabled all the same.
    if (!handled)
        ui.enabled = false;
    return ui;
}

bool RouteCommand(const CommandRoute &route, int id)
{
    for (const CommandTarget *target : route) {
        if (target->RunCommand(id))
            return true;
    }
    return false;
}

bool ExecuteCommand(const CommandRoute &route, int id)
{
    if (!RouteUpdate(route, id).enabled)
        return false;
    return RouteCommand(route, id);
}

} // namespace kivo
