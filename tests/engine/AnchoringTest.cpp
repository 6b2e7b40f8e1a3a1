#include "Comparison.h"
#include "ReferenceEngine.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

// Anchoring on random lists of a few distinct sentences, where keeping every first-fit anchor
// and keeping the most anchors differ often: the engine against the full-table reference.
namespace kivo {
namespace {

using Anchors = std::vector<std::pair<std::int32_t, std::int32_t>>;

struct EngineRun {
    Anchors anchors;
    ResultList records;
    bool notMaximal = false;
};

TEST(Anchoring, KeepsTheMostAnchorsAndFirstFitsWhereThatIsAsMany)
{
    std::mt19937 rng(17);
    const auto below = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const std::vector<std::string> pool = {"a.", "b.", "c.", "d.", "e."};
    constexpr std::int64_t kUnlimited = std::numeric_limits<std::int64_t>::max();
    int vetoed = 0;
    int firstFitMaximal = 0;
    for (int round = 0; round < 600; ++round) {
        const int distinct = 1 + below(static_cast<int>(pool.size()));
        std::vector<std::string> leftKeys, rightKeys;
        std::string left, right;
        for (int n = below(40); n > 0; --n)
            left += leftKeys.emplace_back(pool[static_cast<std::size_t>(below(distinct))]);
        for (int n = below(40); n > 0; --n)
            right += rightKeys.emplace_back(pool[static_cast<std::size_t>(below(distinct))]);
        SCOPED_TRACE(left + " / " + right);
        CompareOptions options;
        options.Sptr[0] = ".";

        const Anchors expected = test::ReferenceAnchors(leftKeys, rightKeys, false);
        const Anchors firstFit = test::ReferenceAnchors(leftKeys, rightKeys, true);
        ASSERT_EQ(static_cast<std::int32_t>(expected.size()),
                  test::ReferenceCommonLength(leftKeys, rightKeys))
            << "the rule keeps as many anchors as any alignment can have";
        // The delimiter "." makes each key its own sentence.
        const auto compare = [&](bool ff, std::int64_t units, std::int64_t work) {
            ProgressModel progress;
            Comparison comparison(options, progress);
            EngineTuning tuning;
            tuning.stepWorkUnits = units;
            tuning.firstFitAnchors = ff;
            tuning.thresholds.exactAnchoringWork = work;
            comparison.SetTuning(tuning);
            comparison.RunToCompletion(left, right);
            EngineRun run;
            for (const ResultPair &r : comparison.Results())
                if (r.status == TextStatus::Same && r.sentenceEnd == 1)
                    run.anchors.emplace_back(r.leftIndex, r.rightIndex);
            run.records = comparison.Results();
            run.notMaximal = comparison.AnchorsNotMaximal();
            return run;
        };
        const EngineRun maximal = compare(false, kStepWorkUnits, kUnlimited);
        EXPECT_EQ(maximal.anchors, expected);
        EXPECT_FALSE(maximal.notMaximal);
        EXPECT_EQ(maximal.records, test::ReferenceCompare(left, right, options));
        // One work unit a step: the same records.
        EXPECT_EQ(compare(false, 1, kUnlimited).records, maximal.records);

        const EngineRun kept = compare(true, kStepWorkUnits, kUnlimited);
        EXPECT_EQ(kept.anchors, firstFit);
        EXPECT_EQ(kept.records, test::ReferenceCompare(left, right, options, true));
        if (firstFit.size() == expected.size()) {
            ++firstFitMaximal;
            EXPECT_EQ(maximal.records, kept.records) << "nothing vetoed where first-fit is maximal";
        } else {
            ++vetoed;
        }

        // Past the work limit only the equal pairs near the diagonal count; on lists this short
        // that band holds every pair, so the trial walk of the band gives the same anchors.
        if (!leftKeys.empty() && !rightKeys.empty() && !firstFit.empty()) {
            const EngineRun limited = compare(false, 1, 0);
            EXPECT_TRUE(limited.notMaximal);
            EXPECT_EQ(limited.anchors, expected);
        }
    }
    EXPECT_GT(vetoed, 100) << "the inputs exercise vetoes";
    EXPECT_GT(firstFitMaximal, 100);
}

TEST(Anchoring, PastTheWorkLimitKeepsEqualPairsInOrderAndNeverFewerThanFirstFit)
{
    // Lists longer than the band around the diagonal, of two or three distinct sentences.
    std::mt19937 rng(1717);
    const auto below = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const std::vector<std::string> pool = {"a.", "b.", "c."};
    CompareOptions options;
    options.Sptr[0] = ".";
    for (int round = 0; round < 12; ++round) {
        const int distinct = 2 + round % 2;
        std::vector<std::string> leftKeys, rightKeys;
        std::string left, right;
        for (int n = 300 + below(400); n > 0; --n)
            left += leftKeys.emplace_back(pool[static_cast<std::size_t>(below(distinct))]);
        for (int n = 300 + below(400); n > 0; --n)
            right += rightKeys.emplace_back(pool[static_cast<std::size_t>(below(distinct))]);
        ProgressModel progress;
        Comparison comparison(options, progress);
        EngineTuning tuning;
        tuning.stepWorkUnits = 97;
        tuning.thresholds.exactAnchoringWork = 0;
        comparison.SetTuning(tuning);
        comparison.RunToCompletion(left, right);
        EXPECT_TRUE(comparison.AnchorsNotMaximal());
        std::int32_t anchors = 0, lastLeft = -1, lastRight = -1;
        for (const ResultPair &r : comparison.Results()) {
            if (r.status != TextStatus::Same || r.sentenceEnd != 1)
                continue;
            ++anchors;
            EXPECT_GT(r.leftIndex, lastLeft);
            EXPECT_GT(r.rightIndex, lastRight);
            EXPECT_EQ(leftKeys[static_cast<std::size_t>(r.leftIndex)],
                      rightKeys[static_cast<std::size_t>(r.rightIndex)]);
            lastLeft = r.leftIndex;
            lastRight = r.rightIndex;
        }
        const auto firstFit =
            static_cast<std::int32_t>(test::ReferenceAnchors(leftKeys, rightKeys, true).size());
        const std::int32_t most = test::ReferenceCommonLength(leftKeys, rightKeys);
        EXPECT_GE(anchors, firstFit);
        EXPECT_LE(anchors, most);
        // Near the most: the band loses little on lists that differ at random.
        EXPECT_GE(anchors * 100, most * 95) << anchors << " of " << most;
    }
}

} // namespace
} // namespace kivo
