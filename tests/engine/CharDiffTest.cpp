#include "CharDiff.h"
#include "EnginePrinters.h"
#include "ReferenceEngine.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <random>

namespace kivo {
namespace {

using test::Sjis;

constexpr std::int32_t kLeftIndex = 3;
constexpr std::int32_t kRightIndex = 5;

ResultPair Run(TextStatus status, std::string_view leftUtf8, std::string_view rightUtf8)
{
    return ResultPair{kLeftIndex, kRightIndex, status, 0, Sjis(leftUtf8), Sjis(rightUtf8)};
}

ResultPair ClosedPair()
{
    return ResultPair{kLeftIndex, kRightIndex, TextStatus::Original, 1, "", ""};
}

ResultPair ChangedPair(std::string leftText, std::string rightText)
{
    return ResultPair{kLeftIndex, kRightIndex,         TextStatus::Changed,
                      1,          std::move(leftText), std::move(rightText)};
}

/// The result list after DiffPair on one Changed record of the two texts (code page 932).
ResultList Diff(std::string leftText, std::string rightText, const CompareOptions &options,
                ProgressModel &progress, const EngineThresholds &thresholds = {})
{
    ResultList results{ChangedPair(std::move(leftText), std::move(rightText))};
    DiffPair(results, results.begin(), options, progress, thresholds);
    return results;
}

/// Thresholds under which the edit script takes over right after the first common-run search.
EngineThresholds EditScriptAtOnce()
{
    EngineThresholds thresholds;
    thresholds.exactRunWorkFloor = 0;
    thresholds.exactRunWorkPerMatch = 0;
    return thresholds;
}

struct DiffCase {
    const char *name;
    const char *left;  // UTF-8
    const char *right; // UTF-8
    int cmpChar = 0;
    int cmpCase = 0;
    std::vector<ResultPair> runs; // empty: the pair stays as it was
};

void PrintTo(const DiffCase &c, std::ostream *os)
{
    *os << c.name;
}

class DiffPairCase : public ::testing::TestWithParam<DiffCase> {};

TEST_P(DiffPairCase, GivesTheExpectedRuns)
{
    const DiffCase &c = GetParam();
    CompareOptions options;
    options.CmpChar = c.cmpChar;
    options.CmpCase = c.cmpCase;
    ProgressModel progress;
    const ResultList actual = Diff(Sjis(c.left), Sjis(c.right), options, progress);
    ResultList expected(c.runs.begin(), c.runs.end());
    expected.push_back(c.runs.empty() ? ChangedPair(Sjis(c.left), Sjis(c.right)) : ClosedPair());
    EXPECT_EQ(actual, expected);
}

using S = TextStatus;

INSTANTIATE_TEST_SUITE_P(
    CharDiff, DiffPairCase,
    ::testing::Values(
        DiffCase{"LongestRunThenAfterPart",
                 "今日は晴れ。",
                 "今日は雨。",
                 0,
                 0,
                 {Run(S::Same, "今日は", "今日は"), Run(S::Changed, "晴れ", "雨"),
                  Run(S::Same, "。", "。")}},
        DiffCase{"EqualCountsScanTheLeft",
                 "明日は雨。",
                 "午後は雨。",
                 0,
                 0,
                 {Run(S::Changed, "明日", "午後"), Run(S::Same, "は雨。", "は雨。")}},
        DiffCase{"CrossingRunIsNotMatched",
                 "ABCD",
                 "CDAB",
                 1,
                 0,
                 {Run(S::Added, "", "CD"), Run(S::Same, "AB", "AB"), Run(S::Deleted, "CD", "")}},
        DiffCase{"IgnoredCaseKeepsBothTexts", "ABC", "abc", 0, 1, {Run(S::Same, "ABC", "abc")}},
        DiffCase{
            "EqualKeysPlaceByPlaceGiveOneRun", "AbC", "aBc", 1, 1, {Run(S::Same, "AbC", "aBc")}},
        DiffCase{"DeletedInTheMiddle",
                 "あいう",
                 "あう",
                 0,
                 0,
                 {Run(S::Same, "あ", "あ"), Run(S::Deleted, "い", ""), Run(S::Same, "う", "う")}},
        DiffCase{"AddedAtTheEnd",
                 "あい",
                 "あいう",
                 0,
                 0,
                 {Run(S::Same, "あい", "あい"), Run(S::Added, "", "う")}},
        DiffCase{"WholeWordsDiffer",
                 "ver2.0 beta",
                 "ver3.0 beta",
                 0,
                 0,
                 {Run(S::Changed, "ver2", "ver3"), Run(S::Same, ".0 beta", ".0 beta")}},
        DiffCase{"LineBreaksAreNotCompared",
                 "あ\rい。",
                 "あい。",
                 0,
                 0,
                 {Run(S::Same, "あ\rい。", "あい。")}},
        DiffCase{"NothingInCommon", "あ", "い", 0, 0, {}},
        DiffCase{"EmptySide", "", "あ", 0, 0, {}}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(DiffPair, StepsOncePlusOncePerSearchedRange)
{
    // The pair, 今日は, then 晴れ。/雨。 (finds 。), then 晴れ/雨 (finds nothing).
    CompareOptions options;
    ProgressModel progress;
    Diff(Sjis("今日は晴れ。"), Sjis("今日は雨。"), options, progress);
    EXPECT_EQ(progress.Steps(), 4);
}

TokenList Tokens(std::string_view text)
{
    TokenList list;
    CompareOptions options;
    options.CmpChar = 1;
    CutTokens(list, text, options);
    return list;
}

TEST(LongestRunAt, TakesTheLowestStartAmongEqualLengthsWithinTheRange)
{
    const KeyNumbers keys = NumberKeys(Tokens("abab"), Tokens("ab"));
    EXPECT_EQ(keys.x, (std::vector<std::int32_t>{0, 1, 0, 1}));
    EXPECT_EQ(keys.y, (std::vector<std::int32_t>{0, 1}));
    Token y;
    LongestRunAt(keys.x, 0, 4, keys.y, 0, 2, y);
    EXPECT_EQ(y.matchStart, 0);
    EXPECT_EQ(y.matchLength, 2);
    y.matchLength = 0;
    LongestRunAt(keys.x, 1, 4, keys.y, 0, 1, y);
    EXPECT_EQ(y.matchStart, 2);
    EXPECT_EQ(y.matchLength, 1) << "bounded by the end of Y's range";
}

TEST(MergeRun, FoldsTheRunIntoItsFirstToken)
{
    TokenList list = Tokens("abcde");
    MergeRun(list, 1, 3);
    MergeRun(list, 9, 2); // no token there: nothing happens
    DropFoldedTokens(list);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[1].text, "bcd");
    EXPECT_EQ(list[1].key, "b");
    EXPECT_EQ(list[1].status, TextStatus::Same);
    EXPECT_EQ(list[2].text, "e");
    EXPECT_EQ(list[2].status, TextStatus::Changed);
}

TEST(CollectRun, GathersChangedTokensAndOneSameToken)
{
    TokenList list = Tokens("abcd");
    list[2].status = list[3].status = TextStatus::Same;
    const auto collect = [&](std::int32_t index, TextStatus wanted) {
        const CollectedRun run = CollectRun(list, index, wanted);
        return std::pair(run.text, run.next);
    };
    EXPECT_EQ(collect(0, S::Changed), std::pair(std::string("ab"), 2));
    EXPECT_EQ(collect(1, S::Same), std::pair(std::string(), 1));
    EXPECT_EQ(collect(2, S::Same), std::pair(std::string("c"), 3));
    EXPECT_EQ(collect(3, S::Same), std::pair(std::string("d"), 4));
    EXPECT_EQ(collect(4, S::Changed), std::pair(std::string(), -1));
    EXPECT_EQ(collect(-1, S::Same), std::pair(std::string(), -1));
}

// --- Against the list algorithm ---------------------------------------------------------------

using test::ListMatcher;

std::string RandomSentence(std::mt19937 &rng)
{
    static const std::vector<std::string> words = {
        "a", "b", "ab", "ba", " ", "x1", "\r", Sjis("は"), Sjis("の"), Sjis("雨"), Sjis("。"),
    };
    std::uniform_int_distribution<std::size_t> pick(0, words.size() - 1);
    std::uniform_int_distribution<int> length(0, 14);
    std::string text;
    for (int n = length(rng); n > 0; --n)
        text += words[pick(rng)];
    return text;
}

TEST(CommonRuns, MatchesTheListAlgorithmOnRandomSentences)
{
    std::mt19937 rng(99);
    for (int round = 0; round < 3000; ++round) {
        CompareOptions options;
        options.CmpChar = static_cast<int>(rng() % 2);
        const std::string left = RandomSentence(rng);
        const std::string right = RandomSentence(rng);
        TokenList X, Y;
        CutTokens(X, left, options);
        CutTokens(Y, right, options);
        ListMatcher::List listX(X.begin(), X.end()), listY(Y.begin(), Y.end());
        ProgressModel progress;
        const bool found = CommonRuns(X, 0, static_cast<std::int32_t>(X.size()), Y, 0,
                                      static_cast<std::int32_t>(Y.size()), progress);
        ListMatcher::Common(listX, 0, static_cast<std::int32_t>(listX.size()), listY, 0,
                            static_cast<std::int32_t>(listY.size()));
        DropFoldedTokens(X);
        DropFoldedTokens(Y);
        const auto strip = [](std::list<Token> list) {
            for (Token &t : list) {
                t.matchStart = -1;
                t.matchLength = 0;
            }
            return list;
        };
        const auto stripped = [&](const TokenList &v) { return strip({v.begin(), v.end()}); };
        ASSERT_EQ(stripped(X), strip(listX)) << "left " << test::Utf8(left);
        ASSERT_EQ(stripped(Y), strip(listY)) << "right " << test::Utf8(right);
        EXPECT_EQ(found, std::any_of(X.begin(), X.end(),
                                     [](const Token &t) { return t.status == TextStatus::Same; }));
    }
}

TEST(DiffPair, RunsRebuildThePairAndDifferencesShareNoToken)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 4000; ++round) {
        CompareOptions options;
        options.CmpChar = static_cast<int>(rng() % 2);
        options.CmpCase = static_cast<int>(rng() % 2);
        const std::string left = RandomSentence(rng);
        const std::string right = RandomSentence(rng);
        ProgressModel progress;
        // Every other round the edit script matches all but the first common run; on pairs this
        // short it finds a shortest edit script, so no difference shares a token either.
        const ResultList results =
            Diff(left, right, options, progress, round % 2 ? EditScriptAtOnce() : EngineThresholds{});
        SCOPED_TRACE(test::Utf8(left) + " / " + test::Utf8(right));
        if (results.back().status == TextStatus::Changed) {
            ASSERT_EQ(results.size(), 1u) << "a pair without runs stays whole";
            continue;
        }
        ASSERT_EQ(results.back(), ClosedPair());
        std::string joinedLeft, joinedRight;
        bool previousWasDifference = false;
        for (auto it = results.begin(); it != std::prev(results.end()); ++it) {
            EXPECT_EQ(it->sentenceEnd, 0);
            EXPECT_EQ(it->leftIndex, kLeftIndex);
            EXPECT_EQ(it->rightIndex, kRightIndex);
            joinedLeft += it->leftText;
            joinedRight += it->rightText;
            if (it->status == TextStatus::Same) {
                EXPECT_FALSE(it->leftText.empty() || it->rightText.empty());
                previousWasDifference = false;
                continue;
            }
            EXPECT_FALSE(previousWasDifference) << "two difference runs in a row";
            previousWasDifference = true;
            const TextStatus expected = it->leftText.empty()    ? TextStatus::Added
                                        : it->rightText.empty() ? TextStatus::Deleted
                                                                : TextStatus::Changed;
            EXPECT_EQ(it->status, expected);
            TokenList l, r;
            CutTokens(l, it->leftText, options);
            CutTokens(r, it->rightText, options);
            for (const Token &a : l)
                for (const Token &b : r)
                    EXPECT_NE(a.key, b.key) << "a common token left unmatched";
        }
        EXPECT_EQ(joinedLeft, left);
        EXPECT_EQ(joinedRight, right);
    }
}

TEST(DiffPair, LongPairsThatDifferEveryFewCharactersEndWithEveryCommonPartSame)
{
    // Longest-run-first would repeat a pass over the pair once per run; past the limit the edit
    // script finishes it, within and beyond its cost limit (more edits than it searches at once).
    struct Shape {
        std::string_view unit;    // UTF-8
        std::string_view changed; // the unit with its last character changed
        int repeats;
        int stepWorkUnits;
    };
    const Shape shapes[] = {
        {"あいうえお", "あいうえか", 100, 1},
        {"あいうえお", "あいうえか", 3000, 25'000},
        {"今日は晴れ。明日", "今日は晴れ。明後", 700, 25'000},
    };
    const CompareOptions options;
    for (const Shape &shape : shapes) {
        std::string left, right;
        for (int n = 0; n < shape.repeats; ++n) {
            left += Sjis(shape.unit);
            right += Sjis(shape.changed);
        }
        ResultList results{ChangedPair(left, right)};
        ProgressModel progress;
        EngineThresholds thresholds;
        PairDiffer differ(results, results.begin(), options, progress, thresholds);
        for (bool done = false; !done;) {
            WorkBudget budget(shape.stepWorkUnits);
            done = differ.Run(budget);
        }
        EXPECT_EQ(differ.UsedEditScript(), shape.repeats > 100);
        std::string same, joinedLeft, joinedRight;
        for (const ResultPair &r : results) {
            joinedLeft += r.leftText;
            joinedRight += r.rightText;
            if (r.status == TextStatus::Same)
                same += r.leftText;
        }
        EXPECT_EQ(joinedLeft, left);
        EXPECT_EQ(joinedRight, right);
        // All but the changed character of every unit is Same.
        const std::size_t unitBytes = Sjis(shape.unit).size();
        EXPECT_EQ(same.size(), (unitBytes - 2) * static_cast<std::size_t>(shape.repeats))
            << shape.unit << " x " << shape.repeats;
    }
}

} // namespace
} // namespace kivo
