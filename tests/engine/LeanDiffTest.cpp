// The lean character comparison against the token-list one it replaced, byte for byte, and its
// run search against the suffix automaton, on random inputs shaped like the cases each of its
// ways is for.
#include "CharDiff.h"
#include "Cp932.h"
#include "EnginePrinters.h"
#include "RunFinder.h"
#include "SuffixAutomaton.h"
#include "TestText.h"
#include "TokenListDiff.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <set>

namespace kivo {
namespace {

using test::Sjis;

std::int32_t Below(std::mt19937 &rng, std::int32_t n)
{
    return std::uniform_int_distribution<std::int32_t>(0, n - 1)(rng);
}

/// A sequence of numbers and an edited copy: unrelated, a copy with a few substitutions,
/// insertions and deletions, a repeated short pattern changed at one place in each repeat, or
/// the same number throughout.
std::pair<std::vector<std::int32_t>, std::vector<std::int32_t>> NumberPair(std::mt19937 &rng)
{
    const std::int32_t length = 1 + Below(rng, Below(rng, 8) == 0 ? 3000 : 300);
    const std::int32_t alphabet = 1 + Below(rng, Below(rng, 2) == 0 ? 4 : 3000);
    std::vector<std::int32_t> a, b;
    switch (Below(rng, 4)) {
    case 0:
        for (std::int32_t n = 0; n < length; ++n)
            a.push_back(Below(rng, alphabet));
        for (std::int32_t n = Below(rng, length + 1); n > 0; --n)
            b.push_back(Below(rng, alphabet));
        break;
    case 1:
        for (std::int32_t n = 0; n < length; ++n)
            a.push_back(Below(rng, alphabet));
        b = a;
        for (std::int32_t edits = Below(rng, 6); edits > 0 && !b.empty(); --edits) {
            const auto at = b.begin() + Below(rng, static_cast<std::int32_t>(b.size()));
            switch (Below(rng, 3)) {
            case 0:
                *at = Below(rng, alphabet + 1);
                break;
            case 1:
                b.insert(at, Below(rng, alphabet + 1));
                break;
            default:
                b.erase(at);
            }
        }
        break;
    case 2: {
        const std::int32_t period = 1 + Below(rng, 6);
        for (std::int32_t n = 0; n < length; ++n) {
            a.push_back(n % period);
            b.push_back(n % period == period - 1 ? period : n % period);
        }
        b.resize(static_cast<std::size_t>(Below(rng, length) + 1));
        break;
    }
    default:
        a.assign(static_cast<std::size_t>(length), 7);
        b.assign(static_cast<std::size_t>(Below(rng, length) + 1), 7);
        if (Below(rng, 2) == 0)
            b.push_back(8);
    }
    if (b.empty())
        b.push_back(0);
    if (Below(rng, 2) == 0)
        std::swap(a, b);
    return {a, b};
}

TEST(RunFinder, FindsTheAutomatonsRunEveryWayAndAtEveryBudget)
{
    std::mt19937 rng(77);
    std::set<RunFinder::Method> methods;
    for (int round = 0; round < 3000; ++round) {
        const auto [x, y] = NumberPair(rng);
        const auto nx = static_cast<std::int32_t>(x.size());
        const auto ny = static_cast<std::int32_t>(y.size());
        // Whole lists mostly; sometimes inner ranges, as the later searches of a pair use.
        std::int32_t xs = 0, xe = nx, ys = 0, ye = ny;
        if (round % 4 == 0) {
            xs = Below(rng, nx);
            xe = xs + 1 + Below(rng, nx - xs);
            ys = Below(rng, ny);
            ye = ys + 1 + Below(rng, ny - ys);
        }
        LongestRunSearch automaton;
        automaton.Start(x, xs, xe, y, ys, ye);
        WorkBudget unlimited = WorkBudget::Unlimited();
        ASSERT_TRUE(automaton.Advance(unlimited));
        const CommonRun expected = automaton.Result();

        const std::int64_t units = round % 3 == 0 ? 1 : std::numeric_limits<std::int64_t>::max();
        RunFinder finder;
        finder.Start(x, xs, xe, y, ys, ye, round % 5 == 0 ? 1024 : 0);
        int calls = 0;
        for (WorkBudget budget(units); !finder.Advance(budget); budget = WorkBudget(units))
            ASSERT_LT(++calls, 10'000'000);
        const CommonRun found = finder.Result();
        ASSERT_EQ(std::tie(found.x, found.y, found.length),
                  std::tie(expected.x, expected.y, expected.length))
            << "round " << round << " ranges " << xs << '-' << xe << " / " << ys << '-' << ye;
        methods.insert(finder.LastMethod());
        while (!finder.Release(unlimited)) {
        }
    }
    EXPECT_EQ(methods.size(), 3u) << "sampled pieces, counting and the automaton all ran";
}

/// Random code page 932 text: kanji, kana (half-width with voicing marks too), full- and
/// half-width letters and digits, blanks, punctuation and line breaks.
std::string RandomText(std::mt19937 &rng, std::int32_t pieces)
{
    static const std::vector<std::string> kPieces = {
        Sjis("今日"), Sjis("は"), Sjis("雨"), Sjis("カ"), Sjis("か"), Sjis("ｶﾞ"), Sjis("ｶ"),
        "\xDE",       Sjis("ー"), Sjis("、"), Sjis("，"), Sjis("。"), Sjis("Ａ"), Sjis("ａ"),
        Sjis("１"),   Sjis("　"), "abc",      "ABC",      "x",        "7",        "42",
        " ",          ".",        "_",        "\r\n",     "\n",       "\r",       Sjis("Ω")};
    std::string text;
    for (std::int32_t n = 0; n < pieces; ++n)
        text += kPieces[static_cast<std::size_t>(
            Below(rng, static_cast<std::int32_t>(kPieces.size())))];
    return text;
}

/// text with pieces replaced, inserted or removed at character boundaries.
std::string Edited(std::mt19937 &rng, std::string text, std::int32_t edits)
{
    for (; edits > 0; --edits) {
        std::vector<std::size_t> starts;
        for (std::size_t pos = 0; pos < text.size(); pos = cp932::NextChar(text, pos))
            starts.push_back(pos);
        starts.push_back(text.size());
        const std::size_t at =
            starts[static_cast<std::size_t>(Below(rng, static_cast<std::int32_t>(starts.size())))];
        const std::size_t end = cp932::NextChar(text, at);
        switch (Below(rng, 3)) {
        case 0:
            text.replace(at, end - at, RandomText(rng, 1));
            break;
        case 1:
            text.insert(at, RandomText(rng, 1 + Below(rng, 3)));
            break;
        default:
            text.erase(at, end - at);
        }
    }
    return text;
}

/// The records of one Changed pair through PairDiffer with the given units a call.
ResultList LeanDiff(const std::string &left, const std::string &right,
                    const CompareOptions &options, const EngineThresholds &thresholds,
                    std::int64_t units, bool &usedEditScript, long long &steps)
{
    ResultList results{ResultPair{4, 9, TextStatus::Changed, 1, left, right}};
    ProgressModel progress;
    PairDiffer differ(results, results.begin(), options, progress, thresholds);
    for (WorkBudget budget(units); !differ.Run(budget); budget = WorkBudget(units)) {
    }
    usedEditScript = differ.UsedEditScript();
    steps = progress.Steps();
    return results;
}

TEST(PairDiffer, GivesTheTokenListRecordsByteForByte)
{
    std::mt19937 rng(2026);
    constexpr auto kMost = std::numeric_limits<std::int64_t>::max();
    // Default sizes; every indexed path on small inputs; and an exact-run limit low enough that
    // the edit script takes over after the first searches.
    const EngineThresholds thresholdSets[] = {
        EngineThresholds{},
        EngineThresholds{0, 0, 50'000'000, 250'000, 64, 0},
        EngineThresholds{0, 0, 50'000'000, 40, 1, 0},
        EngineThresholds{kMost, kMost},
    };
    int editScripts = 0;
    for (int round = 0; round < 2500; ++round) {
        CompareOptions options;
        options.CmpChar = Below(rng, 3) == 0 ? 1 + Below(rng, 2) : 0;
        options.CmpCase = Below(rng, 2);
        options.CmpZen = Below(rng, 2);
        options.CmpZenSp = Below(rng, 2);
        options.CmpKana = Below(rng, 2);
        options.CmpPunct = Below(rng, 2);
        const std::int32_t length = round % 10 == 0 ? 600 : 1 + Below(rng, 60);
        const std::string left = RandomText(rng, length);
        const std::string right =
            round % 7 == 0 ? RandomText(rng, length) : Edited(rng, left, Below(rng, 8));
        const EngineThresholds &thresholds = thresholdSets[round % 4];
        SCOPED_TRACE(test::Utf8(left) + " / " + test::Utf8(right));

        ResultList expected{ResultPair{4, 9, TextStatus::Changed, 1, left, right}};
        ProgressModel expectedProgress;
        TokenListPairDiffer reference(expected, expected.begin(), options, expectedProgress,
                                      thresholds);
        WorkBudget unlimited = WorkBudget::Unlimited();
        reference.Run(unlimited);

        for (const std::int64_t units : {kMost, std::int64_t{3}}) {
            bool usedEditScript = false;
            long long steps = 0;
            ASSERT_EQ(LeanDiff(left, right, options, thresholds, units, usedEditScript, steps),
                      expected)
                << "round " << round << ", " << units << " units a call";
            EXPECT_EQ(usedEditScript, reference.UsedEditScript());
            EXPECT_EQ(steps, expectedProgress.Steps());
        }
        editScripts += reference.UsedEditScript();
    }
    EXPECT_GT(editScripts, 50) << "the edit script took over in enough pairs to be compared";
}

} // namespace
} // namespace kivo
