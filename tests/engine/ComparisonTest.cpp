#include "Comparison.h"
#include "EnginePrinters.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <map>

namespace kivo {
namespace {

using test::Sjis;
using S = TextStatus;

/// A comparison with its own options and progress indicator.
struct Engine {
    explicit Engine(CompareOptions initial = {}) : options(std::move(initial)) {}

    /// Runs the comparison of the two texts (UTF-8) up to the end of gap alignment.
    ResultList Align(std::string_view leftUtf8, std::string_view rightUtf8)
    {
        comparison.Reset(Sjis(leftUtf8), Sjis(rightUtf8));
        comparison.Start();
        while (comparison.State() != EngineState::SetUpCharDiff)
            EXPECT_TRUE(comparison.Step());
        return comparison.Results();
    }

    ResultList Run(std::string_view leftUtf8, std::string_view rightUtf8)
    {
        comparison.RunToCompletion(Sjis(leftUtf8), Sjis(rightUtf8));
        EXPECT_EQ(comparison.State(), EngineState::Finished);
        return comparison.Results();
    }

    CompareOptions options;
    ProgressModel progress;
    Comparison comparison{options, progress};
};

ResultPair Record(S status, std::int32_t left, std::int32_t right, std::string_view leftUtf8,
                  std::string_view rightUtf8, std::int32_t sentenceEnd = 1)
{
    return ResultPair{left, right, status, sentenceEnd, Sjis(leftUtf8), Sjis(rightUtf8)};
}

constexpr const char *kWorkedLeft = "今日は晴れ。明日は雨。";
constexpr const char *kWorkedRight = "今日は晴れ。明日は曇り。午後は雨。";

TEST(Comparison, WorkedExampleAlignsByWordScore)
{
    Engine engine;
    const ResultList expected = {
        Record(S::Same, 0, 0, "今日は晴れ。", "今日は晴れ。"),
        Record(S::Added, 0, 1, "", "明日は曇り。"),
        Record(S::Changed, 1, 2, "明日は雨。", "午後は雨。"),
    };
    EXPECT_EQ(engine.Align(kWorkedLeft, kWorkedRight), expected);
}

TEST(Comparison, WorkedExampleSplitsTheChangedPairIntoRuns)
{
    Engine engine;
    const ResultList expected = {
        Record(S::Same, 0, 0, "今日は晴れ。", "今日は晴れ。"),
        Record(S::Added, 0, 1, "", "明日は曇り。"),
        Record(S::Changed, 1, 2, "明日", "午後", 0),
        Record(S::Same, 1, 2, "は雨。", "は雨。", 0),
        Record(S::Original, 1, 2, "", ""),
    };
    EXPECT_EQ(engine.Run(kWorkedLeft, kWorkedRight), expected);
    EXPECT_TRUE(engine.comparison.Sentences(Side::Left).empty())
        << "freed at the end of the engine";
    EXPECT_EQ(engine.progress.Position(), ProgressModel::kMaximum);
}

TEST(Comparison, AnchorsGreedilyOnRepeatedSentences)
{
    Engine engine;
    const ResultList expected = {
        Record(S::Same, 0, 0, "あ。", "あ。"),
        Record(S::Added, 0, 1, "", "あ。"),
        Record(S::Same, 1, 2, "い。", "い。"),
        Record(S::Deleted, 2, 0, "あ。", ""),
    };
    EXPECT_EQ(engine.Run("あ。い。あ。", "あ。あ。い。"), expected);
}

TEST(Comparison, OneEmptySideMakesEverySentenceAddedOrDeleted)
{
    Engine engine;
    EXPECT_EQ(engine.Run("", "あ。い。"),
              (ResultList{Record(S::Added, 0, 0, "", "あ。"), Record(S::Added, 0, 1, "", "い。")}));
    EXPECT_EQ(engine.Run("あ。い。", ""), (ResultList{Record(S::Deleted, 0, 0, "あ。", ""),
                                                      Record(S::Deleted, 1, 0, "い。", "")}));
    EXPECT_EQ(engine.Run("", ""), ResultList{});
}

TEST(Comparison, IdenticalTextsAreAllSame)
{
    Engine engine;
    const ResultList expected = {
        Record(S::Same, 0, 0, "あ。", "あ。"),
        Record(S::Same, 1, 1, "い。", "い。"),
    };
    EXPECT_EQ(engine.Run("あ。い。", "あ。い。"), expected);
}

TEST(Comparison, StepsThroughTheEngineStatesInOrder)
{
    Engine engine;
    Comparison &c = engine.comparison;
    EXPECT_FALSE(c.Step()) << "no comparison running";
    c.Reset(Sjis(kWorkedLeft), Sjis(kWorkedRight));
    c.Start();
    std::map<EngineState, int> calls;
    EngineState previous = c.State();
    while (c.State() != EngineState::Finished) {
        ++calls[c.State()];
        ASSERT_TRUE(c.Step());
        ASSERT_GE(c.State(), previous) << "states only move forward";
        previous = c.State();
    }
    EXPECT_FALSE(c.Step()) << "display is the driver's";
    EXPECT_EQ(calls[EngineState::SetUpAnchoring], 1);
    EXPECT_EQ(calls[EngineState::Anchoring], 2) << "one left sentence per step";
    EXPECT_EQ(calls[EngineState::GapAlignment], 2) << "one gap per anchor, then the tail";
    EXPECT_EQ(calls[EngineState::SetUpCharDiff], 1);
    EXPECT_EQ(calls[EngineState::CharDiff], 1) << "one changed pair per step";
    EXPECT_EQ(calls[EngineState::EngineDone], 1);
}

TEST(Comparison, ResetDropsWhatAnInterruptedComparisonLeft)
{
    Engine fresh;
    const ResultList expected = fresh.Run("あ。か。", "あ。き。");

    Engine reused;
    reused.Align(kWorkedLeft, kWorkedRight); // stops before character comparison
    EXPECT_EQ(reused.Run("あ。か。", "あ。き。"), expected);
}

} // namespace
} // namespace kivo
