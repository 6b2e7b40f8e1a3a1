#include "platform/framework/IdleLoop.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace kivo {
namespace {

// Lets queued events and due zero-interval timers run, a bounded number of turns.
void Turns(int count)
{
    for (int i = 0; i < count; ++i)
        QCoreApplication::processEvents();
}

TEST(IdleLoop, CallsWithRisingCountsUntilTheFunctionReturnsFalse)
{
    std::vector<long> counts;
    IdleLoop idle([&](long count) {
        counts.push_back(count);
        return count < 3;
    });
    Turns(20);
    EXPECT_EQ(counts, (std::vector<long>{0, 1, 2, 3}));
    EXPECT_FALSE(idle.IsActive());
}

TEST(IdleLoop, UserEventStartsTheCountAgain)
{
    std::vector<long> counts;
    IdleLoop idle([&](long count) {
        counts.push_back(count);
        return count < 1;
    });
    Turns(10);
    ASSERT_EQ(counts, (std::vector<long>{0, 1}));
    QLineEdit edit;
    QTest::keyClick(&edit, Qt::Key_A);
    Turns(10);
    EXPECT_EQ(counts, (std::vector<long>{0, 1, 0, 1}));
}

TEST(IdleLoop, OneCallPerTurnSoEventsGetThroughBetweenSteps)
{
    long calls = 0;
    IdleLoop idle([&](long) {
        ++calls;
        return true; // never done: a long comparison
    });
    Turns(5);
    EXPECT_GE(calls, 1);
    EXPECT_LE(calls, 5);
    EXPECT_TRUE(idle.IsActive());
}

TEST(IdleLoop, KickRestartsStoppedProcessing)
{
    std::vector<long> counts;
    IdleLoop idle([&](long count) {
        counts.push_back(count);
        return false;
    });
    Turns(5);
    ASSERT_EQ(counts, std::vector<long>{0});
    idle.Kick();
    Turns(5);
    EXPECT_EQ(counts, (std::vector<long>{0, 0}));
}

} // namespace
} // namespace kivo
