#include "Comparison.h"
#include "EnginePrinters.h"
#include "ReferenceEngine.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

// Whole comparisons of generated text pairs: two texts that share most sentences, with
// sentences changed, dropped, added and repeated, under random comparison options.
namespace kivo {
namespace {

using test::Sjis;

class TextGenerator {
public:
    explicit TextGenerator(unsigned seed) : m_rng(seed) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }

    std::string Sentence()
    {
        static const std::vector<std::string> words = {
            Sjis("今日は"), Sjis("晴れ"),     Sjis("雨"),  Sjis("明日"), "ABC",        "abc",
            Sjis("ＡＢＣ"), "ver2.0",         " ",         Sjis("ｶﾞ"),   Sjis("です"), Sjis("、"),
            "\r",           Sjis("カタカナ"), Sjis("１２")};
        std::string text;
        for (int n = 1 + Below(6); n > 0; --n)
            text += words[static_cast<std::size_t>(Below(static_cast<int>(words.size())))];
        return text + (Below(10) ? Sjis("。") : "\r");
    }

    /// A list of sentences drawn from a small pool, so that some repeat.
    std::vector<std::string> Sentences()
    {
        std::vector<std::string> pool;
        for (int n = 1 + Below(8); n > 0; --n)
            pool.push_back(Sentence());
        std::vector<std::string> list;
        for (int n = Below(25); n > 0; --n)
            list.push_back(
                Below(3) ? pool[static_cast<std::size_t>(Below(static_cast<int>(pool.size())))]
                         : Sentence());
        return list;
    }

    /// The sentences with a few of them changed, dropped, added or moved.
    std::vector<std::string> Edited(std::vector<std::string> list)
    {
        for (int n = Below(5); n > 0; --n) {
            const auto at = static_cast<std::ptrdiff_t>(Below(static_cast<int>(list.size()) + 1));
            switch (Below(4)) {
            case 0:
                list.insert(list.begin() + at, Sentence());
                break;
            case 1:
                if (at < static_cast<std::ptrdiff_t>(list.size()))
                    list.erase(list.begin() + at);
                break;
            case 2:
                if (at < static_cast<std::ptrdiff_t>(list.size()))
                    list[static_cast<std::size_t>(at)].insert(0, Sjis("雨"));
                break;
            default:
                if (!list.empty())
                    std::rotate(list.begin(), list.begin() + at / 2, list.begin() + at);
                break;
            }
        }
        return list;
    }

    CompareOptions Options()
    {
        CompareOptions options;
        options.CmpChar = Below(2);
        options.CmpCase = Below(2);
        options.CmpZen = Below(2);
        options.CmpZenSp = Below(2);
        options.ViewFormat =
            SentenceLayout::Unchanged; // sentences keep their line breaks, so texts can be rebuilt
        static const std::vector<std::string> sets = {Sjis("。"), Sjis("。") + "\\n", Sjis("、。"),
                                                      ""};
        options.Sptr[0] = sets[static_cast<std::size_t>(Below(static_cast<int>(sets.size())))];
        return options;
    }

private:
    std::mt19937 m_rng;
};

std::string Join(const std::vector<std::string> &parts)
{
    std::string text;
    for (const std::string &part : parts)
        text += part;
    return text;
}

/// Checks the finished records against the sentence lists (still present at state 8) and adds
/// the statuses met to seen.
void CheckRecords(const Comparison &c, const std::string &left, const std::string &right,
                  std::set<TextStatus> &seen)
{
    std::string joinedLeft, joinedRight;
    std::int32_t nextLeft = 0, nextRight = 0;
    std::string runsLeft, runsRight;
    for (const ResultPair &r : c.Results()) {
        seen.insert(r.status);
        joinedLeft += r.leftText;
        joinedRight += r.rightText;
        if (r.sentenceEnd == 0) {
            runsLeft += r.leftText;
            runsRight += r.rightText;
            continue;
        }
        const bool hasLeft = r.status != TextStatus::Added;
        const bool hasRight = r.status != TextStatus::Deleted;
        EXPECT_EQ(r.leftIndex, hasLeft ? nextLeft++ : 0) << "left sentences once each, in order";
        EXPECT_EQ(r.rightIndex, hasRight ? nextRight++ : 0) << "right sentences once each";
        const Sentence *l =
            hasLeft ? &c.Sentences(Side::Left).at(static_cast<std::size_t>(r.leftIndex)) : nullptr;
        const Sentence *rt =
            hasRight ? &c.Sentences(Side::Right).at(static_cast<std::size_t>(r.rightIndex))
                     : nullptr;
        switch (r.status) {
        case TextStatus::Original: // a changed pair closed after its runs
            EXPECT_FALSE(runsLeft.empty() && runsRight.empty());
            EXPECT_EQ(runsLeft, l->text);
            EXPECT_EQ(runsRight, rt->text);
            EXPECT_NE(l->key, rt->key);
            break;
        case TextStatus::Same:
            EXPECT_EQ(l->key, rt->key);
            [[fallthrough]];
        case TextStatus::Changed:
            EXPECT_TRUE(runsLeft.empty() && runsRight.empty()) << "runs only before a pair";
            EXPECT_EQ(r.leftText, l->text);
            EXPECT_EQ(r.rightText, rt->text);
            if (r.status == TextStatus::Changed) {
                EXPECT_NE(l->key, rt->key);
            }
            break;
        case TextStatus::Added:
            EXPECT_EQ(r.rightText, rt->text);
            break;
        case TextStatus::Deleted:
            EXPECT_EQ(r.leftText, l->text);
            break;
        }
        runsLeft.clear();
        runsRight.clear();
    }
    EXPECT_TRUE(runsLeft.empty() && runsRight.empty()) << "runs without their pair";
    EXPECT_EQ(nextLeft, static_cast<std::int32_t>(c.Sentences(Side::Left).size()));
    EXPECT_EQ(nextRight, static_cast<std::int32_t>(c.Sentences(Side::Right).size()));
    EXPECT_EQ(joinedLeft, left);
    EXPECT_EQ(joinedRight, right);
}

TEST(ComparisonProperties, GeneratedPairsKeepEverySentenceAndText)
{
    TextGenerator gen(2024);
    std::set<TextStatus> seen;
    for (int round = 0; round < 400; ++round) {
        const CompareOptions options = gen.Options();
        const std::vector<std::string> sentences = gen.Sentences();
        const std::string left = Join(sentences);
        const std::string right = Join(gen.Edited(sentences));
        SCOPED_TRACE("round " + std::to_string(round) + ": " + test::Utf8(left) + " / " +
                     test::Utf8(right));

        ProgressModel stepProgress;
        Comparison stepped(options, stepProgress);
        stepped.Reset(left, right);
        stepped.Start();
        while (stepped.State() != EngineState::EngineDone)
            ASSERT_TRUE(stepped.Step());
        CheckRecords(stepped, left, right, seen);
        ASSERT_TRUE(stepped.Step());
        EXPECT_FALSE(stepped.Step());

        ProgressModel runProgress;
        Comparison run(options, runProgress);
        run.RunToCompletion(left, right);
        EXPECT_EQ(run.Results(), stepped.Results());
        EXPECT_EQ(runProgress.Steps(), stepProgress.Steps());

        // Indexed searches everywhere and one work unit a step: many more steps, same records.
        ProgressModel slicedProgress;
        Comparison sliced(options, slicedProgress);
        EngineTuning tuning;
        tuning.stepWorkUnits = 1;
        tuning.thresholds = EngineThresholds{0, 0};
        sliced.SetTuning(tuning);
        sliced.RunToCompletion(left, right);
        EXPECT_EQ(sliced.Results(), stepped.Results());
        EXPECT_EQ(slicedProgress.Steps(), stepProgress.Steps());

        // The plain searches give the same records.
        EXPECT_EQ(test::ReferenceCompare(left, right, options), stepped.Results());

        // Running again on the same object gives the same again.
        run.RunToCompletion(left, right);
        EXPECT_EQ(run.Results(), stepped.Results());
    }
    EXPECT_EQ(seen.size(), 5u) << "the generated pairs give records of every status";
}

} // namespace
} // namespace kivo
