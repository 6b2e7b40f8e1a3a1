#include "platform/framework/CommandTarget.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kivo {
namespace {

constexpr int kId = 4242;

// Five targets that log which of them ran a command.
struct Targets {
    CommandTarget view, document, child, app, main;
    std::vector<std::string> log;

    void Handle(CommandTarget &target, const std::string &name)
    {
        target.OnCommand(kId, [this, name] { log.push_back(name); });
    }
    void HandleAll()
    {
        Handle(view, "view");
        Handle(document, "document");
        Handle(child, "child");
        Handle(app, "app");
        Handle(main, "main");
    }
    CommandRoute WithChild() const
    {
        return MakeCommandRoute(&view, &document, &child, &app, &main);
    }
    CommandRoute WithoutChild() const
    {
        return MakeCommandRoute(nullptr, nullptr, nullptr, &app, &main);
    }
};

TEST(CommandRouting, WithActiveChildOffersViewDocumentChildAppThenMainFrame)
{
    std::vector<std::string> takers;
    for (int round = 0; round < 5; ++round) {
        Targets t;
        CommandTarget *all[] = {&t.view, &t.document, &t.child, &t.app, &t.main};
        const char *names[] = {"view", "document", "child", "app", "main"};
        // Only the targets from position round on handle the command.
        for (int i = round; i < 5; ++i)
            t.Handle(*all[i], names[i]);
        ASSERT_TRUE(RouteCommand(t.WithChild(), kId));
        ASSERT_EQ(t.log.size(), 1u) << "exactly one target takes a command";
        takers.push_back(t.log.front());
    }
    EXPECT_EQ(takers, (std::vector<std::string>{"view", "document", "child", "app", "main"}));
}

TEST(CommandRouting, WithoutActiveChildOffersMainFrameBeforeApp)
{
    Targets t;
    t.HandleAll();
    ASSERT_TRUE(RouteCommand(t.WithoutChild(), kId));
    EXPECT_EQ(t.log, std::vector<std::string>{"main"});

    Targets onlyApp;
    onlyApp.Handle(onlyApp.app, "app");
    ASSERT_TRUE(RouteCommand(onlyApp.WithoutChild(), kId));
    EXPECT_EQ(onlyApp.log, std::vector<std::string>{"app"});
}

TEST(CommandRouting, ViewAndDocumentAreNotAskedWithoutActiveChild)
{
    Targets t;
    t.Handle(t.view, "view");
    t.Handle(t.document, "document");
    // A stale view and document passed without a child frame are left out.
    const CommandRoute route = MakeCommandRoute(&t.view, &t.document, nullptr, &t.app, &t.main);
    EXPECT_EQ(route.size(), 2u);
    EXPECT_FALSE(RouteCommand(route, kId));
    EXPECT_TRUE(t.log.empty());
    EXPECT_FALSE(RouteUpdate(route, kId).enabled);
}

TEST(CommandRouting, UpdateIsDecidedByFirstUpdateHandlerOnTheRoute)
{
    Targets t;
    t.HandleAll();
    t.child.OnUpdateCommand(kId, [](CmdUI &ui) { ui.Enable(false); });
    t.main.OnUpdateCommand(kId, [](CmdUI &ui) {
        ui.Enable(true);
        ui.SetCheck(true);
    });
    // The child comes before the main frame when a child is active...
    CmdUI withChild = RouteUpdate(t.WithChild(), kId);
    EXPECT_FALSE(withChild.enabled);
    EXPECT_FALSE(withChild.checked.has_value());
    // ...and is not on the route without one.
    CmdUI withoutChild = RouteUpdate(t.WithoutChild(), kId);
    EXPECT_TRUE(withoutChild.enabled);
    EXPECT_EQ(withoutChild.checked, std::optional<bool>(true));
}

TEST(CommandRouting, UpdateHandlerFurtherAlongDecidesOverEarlierCommandHandler)
{
    Targets t;
    t.Handle(t.view, "view");
    t.main.OnUpdateCommand(kId, [](CmdUI &ui) { ui.Enable(false); });
    EXPECT_FALSE(RouteUpdate(t.WithChild(), kId).enabled);
    // Chosen anyway (an accelerator), the disabled command does not run.
    EXPECT_FALSE(ExecuteCommand(t.WithChild(), kId));
    EXPECT_TRUE(t.log.empty());
}

TEST(CommandRouting, CommandWithHandlerAndNoUpdateHandlerIsEnabled)
{
    Targets t;
    t.Handle(t.app, "app");
    EXPECT_TRUE(RouteUpdate(t.WithChild(), kId).enabled);
    EXPECT_TRUE(ExecuteCommand(t.WithChild(), kId));
    EXPECT_EQ(t.log, std::vector<std::string>{"app"});
}

TEST(CommandRouting, UnhandledCommandIsDisabledEvenWhenAnUpdateHandlerAllowsIt)
{
    Targets t;
    EXPECT_FALSE(RouteUpdate(t.WithChild(), kId).enabled);
    t.main.OnUpdateCommand(kId, [](CmdUI &ui) { ui.Enable(true); });
    EXPECT_FALSE(RouteUpdate(t.WithChild(), kId).enabled);
    EXPECT_FALSE(RouteUpdate(t.WithoutChild(), kId).enabled);
    EXPECT_FALSE(ExecuteCommand(t.WithChild(), kId));
}

TEST(CommandRouting, HandlerMayReplaceItselfWhileRunning)
{
    CommandTarget target;
    int runs = 0;
    target.OnCommand(kId, [&] {
        ++runs;
        target.OnCommand(kId, [&] { runs += 10; });
    });
    const CommandRoute route{&target};
    EXPECT_TRUE(RouteCommand(route, kId));
    EXPECT_TRUE(RouteCommand(route, kId));
    EXPECT_EQ(runs, 11);
}

} // namespace
} // namespace kivo
