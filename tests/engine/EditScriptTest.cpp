#include "EditScript.h"
#include "ReferenceEditScript.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace kivo {
namespace {

using Ranges = std::vector<std::array<std::int32_t, 4>>;

struct Outcome {
    std::vector<CommonRun> runs;
    std::int64_t work = 0; // units spent in all
};

/// Runs a matcher to its end, units at a time.
template <typename Matcher>
Outcome Match(std::span<const std::int32_t> x, std::span<const std::int32_t> y,
              const Ranges &ranges, std::int64_t units)
{
    Matcher matcher;
    matcher.Start(x, y, ranges);
    Outcome outcome;
    for (bool done = false; !done;) {
        WorkBudget budget(units);
        done = matcher.Run(budget, outcome.runs);
        outcome.work += units - budget.Left();
    }
    return outcome;
}

std::string Describe(const std::vector<CommonRun> &runs)
{
    std::string text;
    for (const CommonRun &run : runs)
        text += std::to_string(run.x) + ',' + std::to_string(run.y) + ',' +
                std::to_string(run.length) + ' ';
    return text;
}

/// Two sequences of one of the shapes that reach the cost limit or stop short of it: a pattern
/// changed at every period (long chains of cut-off searches), a copy with edits sparse or dense,
/// unrelated sequences, and copies whose ends were cut so that a box edge meets the searches.
void MakePair(std::mt19937 &rng, int shape, std::vector<std::int32_t> &x,
              std::vector<std::int32_t> &y)
{
    const auto below = [&rng](int n) {
        return static_cast<std::int32_t>(rng() % static_cast<unsigned>(n));
    };
    const int length = 300 + below(12000);
    const int alphabet = 2 + below(40);
    x.clear();
    y.clear();
    switch (shape) {
    case 0: { // あいうえお against あいうえか, with now and then a character more
        const int period = 2 + below(7);
        for (int i = 0; i < length; ++i) {
            x.push_back(i % period);
            y.push_back(i % period == period - 1 ? period : i % period);
            if (below(400) == 0)
                y.push_back(period + 1);
        }
        break;
    }
    case 1:
    case 2: { // a copy with every k-th or a random share of the numbers changed
        for (int i = 0; i < length; ++i)
            x.push_back(below(alphabet));
        y = x;
        const int every = 2 + below(12);
        for (std::size_t i = 0; i < y.size(); ++i)
            if (shape == 1 ? i % static_cast<std::size_t>(every) == 0 : below(every) == 0)
                y[i] = below(alphabet);
        break;
    }
    case 3: // unrelated
        for (int i = 0; i < length; ++i)
            x.push_back(below(alphabet));
        for (int i = 300 + below(12000); i > 0; --i)
            y.push_back(below(alphabet));
        break;
    default: { // a dense edit with one end cut off
        for (int i = 0; i < length; ++i)
            x.push_back(below(alphabet));
        y = x;
        for (std::size_t i = 0; i < y.size(); i += static_cast<std::size_t>(2 + below(4)))
            y[i] = below(alphabet);
        const auto cut = static_cast<std::ptrdiff_t>(below(std::min(600, length)));
        if (below(2) == 0)
            y.erase(y.begin(), y.begin() + cut);
        else
            x.erase(x.end() - cut, x.end());
    }
    }
}

TEST(EditScriptMatcher, FindsTheRunsOfTheSearchThatRunsBothWaysEveryTime)
{
    std::mt19937 rng(20261210);
    int rounds = 0;
    std::int64_t fastWork = 0, plainWork = 0;
    for (int round = 0; round < 160; ++round) {
        std::vector<std::int32_t> x, y;
        const int shape = round % 5;
        MakePair(rng, shape, x, y);
        const auto xn = static_cast<std::int32_t>(x.size());
        const auto yn = static_cast<std::int32_t>(y.size());
        Ranges ranges{{0, xn, 0, yn}};
        if (round % 3 == 0) // several ranges, one empty on one side
            ranges = {{0, xn / 3, 0, yn / 2},
                      {xn / 3, xn / 3, yn / 2, yn / 2 + 5},
                      {xn / 3, xn, yn / 2 + 5, yn}};
        const std::int64_t units = round % 2 ? WorkBudget::Unlimited().Left()
                                             : 1 + static_cast<std::int64_t>(rng() % 40000);
        const Outcome fast = Match<EditScriptMatcher>(x, y, ranges, units);
        const Outcome plain = Match<test::ReferenceEditScriptMatcher>(x, y, ranges, units);
        ASSERT_EQ(Describe(fast.runs), Describe(plain.runs))
            << "round " << round << " shape " << shape;
        fastWork += fast.work;
        plainWork += plain.work;
        rounds += fast.work < plain.work;
    }
    // The searches of the boxes' kept corners were taken over, not run again, on the long
    // patterns changed everywhere.
    EXPECT_GE(rounds, 20);
    EXPECT_LT(fastWork, plainWork);
}

TEST(EditScriptMatcher, StopsEverySnakeAtItsRangesEdgesWhereTheNeighboursHoldEqualKeys)
{
    // Many small ranges side by side over sequences of one or two numbers: a snake that ran one
    // step past its box would find equal keys there and report a run the reference does not.
    std::mt19937 rng(20261211);
    for (int round = 0; round < 300; ++round) {
        const auto below = [&rng](int n) {
            return static_cast<std::int32_t>(rng() % static_cast<unsigned>(n));
        };
        const int alphabet = 1 + round % 2;
        Ranges ranges;
        std::vector<std::int32_t> x, y;
        for (int r = below(12); r >= 0; --r) {
            const auto xs = static_cast<std::int32_t>(x.size());
            const auto ys = static_cast<std::int32_t>(y.size());
            for (int i = below(30); i > 0; --i)
                x.push_back(below(alphabet));
            for (int i = below(30); i > 0; --i)
                y.push_back(below(alphabet));
            ranges.push_back(
                {xs, static_cast<std::int32_t>(x.size()), ys, static_cast<std::int32_t>(y.size())});
        }
        const std::int64_t units = 1 + below(200);
        ASSERT_EQ(Describe(Match<EditScriptMatcher>(x, y, ranges, units).runs),
                  Describe(Match<test::ReferenceEditScriptMatcher>(x, y, ranges, units).runs))
            << "round " << round;
    }
}

TEST(EditScriptMatcher, TakesOverTheSearchFromAKeptCornerOnALineChangedEveryFifthCharacter)
{
    std::vector<std::int32_t> x, y;
    for (int i = 0; i < 40000; ++i) {
        x.push_back(i % 5);
        y.push_back(i % 5 == 4 ? 5 : i % 5);
    }
    const Ranges ranges{{0, 40000, 0, 40000}};
    const Outcome fast = Match<EditScriptMatcher>(x, y, ranges, 25000);
    const Outcome plain = Match<test::ReferenceEditScriptMatcher>(x, y, ranges, 25000);
    ASSERT_EQ(Describe(fast.runs), Describe(plain.runs));
    EXPECT_EQ(fast.runs.size(), 8000u); // あいうえ of every 5
    EXPECT_LT(fast.work * 10, plain.work * 7);
}

} // namespace
} // namespace kivo
