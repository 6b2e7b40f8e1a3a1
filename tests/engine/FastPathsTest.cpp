// The engine's indexed searches and resumable steps against the plain reference searches, on
// random, tie-heavy and repetitive inputs, with every size threshold at zero so that the indexed
// paths run even on small inputs.
#include "Alignment.h"
#include "CharDiff.h"
#include "GapAligner.h"
#include "EnginePrinters.h"
#include "ReferenceEngine.h"
#include "SuffixAutomaton.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <random>

namespace kivo {
namespace {

using test::Sjis;

constexpr EngineThresholds kAlwaysIndexed{0, 0};

/// Texts over a few pieces, so that equal runs and ties between them are common.
class PieceText {
public:
    explicit PieceText(unsigned seed) : m_rng(seed) {}

    std::string Make(const std::vector<std::string> &pieces, int maxPieces)
    {
        std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
        std::string text;
        for (int n = std::uniform_int_distribution<int>(0, maxPieces)(m_rng); n > 0; --n)
            text += pieces[pick(m_rng)];
        return text;
    }

    /// text with a few pieces replaced, inserted or removed.
    std::string Edit(std::string text, const std::vector<std::string> &pieces)
    {
        for (int n = std::uniform_int_distribution<int>(0, 4)(m_rng); n > 0; --n) {
            const std::size_t at = std::uniform_int_distribution<std::size_t>(0, text.size())(m_rng);
            const std::string piece = Make(pieces, 2);
            // Edit only at character boundaries of the one-byte pieces, or append.
            if (std::all_of(text.begin(), text.end(),
                            [](char ch) { return static_cast<unsigned char>(ch) < 0x80; }))
                text.insert(at, piece);
            else
                text += piece;
        }
        return text;
    }

    std::mt19937 &Rng() { return m_rng; }

private:
    std::mt19937 m_rng;
};

const std::vector<std::vector<std::string>> &PieceSets()
{
    static const std::vector<std::vector<std::string>> sets = {
        {"a", "b"},
        {"a", "b", "c", " "},
        {"ab", "ba", "a", "x1", "\r", " "},
        {Sjis("ー"), Sjis("ア")},
        {Sjis("は"), Sjis("の"), Sjis("雨"), Sjis("。"), "a", "A"},
    };
    return sets;
}

std::int32_t Size(const TokenList &list)
{
    return static_cast<std::int32_t>(list.size());
}

std::list<Token> WithoutMatchFields(const TokenList &tokens)
{
    std::list<Token> list(tokens.begin(), tokens.end());
    for (Token &t : list) {
        t.matchStart = -1;
        t.matchLength = 0;
    }
    return list;
}

TEST(LongestRunSearch, TakesTheFirstInYThenTheFirstInXOfTheLongest)
{
    const std::vector<std::int32_t> x = {5, 1, 2, 9, 1, 2, 3, 7, 1, 2, 3};
    const std::vector<std::int32_t> y = {1, 2, 8, 1, 2, 3, 1, 2, 3};
    LongestRunSearch search;
    WorkBudget budget = WorkBudget::Unlimited();

    search.Start(x, 0, 11, y, 0, 9);
    ASSERT_TRUE(search.Advance(budget));
    EXPECT_EQ(search.Result().length, 3);
    EXPECT_EQ(search.Result().y, 3) << "the first of the two 1 2 3 in y";
    EXPECT_EQ(search.Result().x, 4) << "the first 1 2 3 in x";

    search.Start(x, 5, 11, y, 0, 3);
    ASSERT_TRUE(search.Advance(budget));
    EXPECT_EQ(search.Result().length, 2) << "bounded by the ends of both ranges";
    EXPECT_EQ(search.Result().x, 8);
    EXPECT_EQ(search.Result().y, 0);

    search.Start(x, 0, 1, y, 0, 9);
    ASSERT_TRUE(search.Advance(budget));
    EXPECT_EQ(search.Result().length, 0);
}

TEST(LongestRunSearch, ResumesWhereTheBudgetRanOut)
{
    std::mt19937 rng(5);
    std::vector<std::int32_t> x(300), y(200);
    for (auto &v : x)
        v = static_cast<std::int32_t>(rng() % 3);
    for (auto &v : y)
        v = static_cast<std::int32_t>(rng() % 3);
    LongestRunSearch whole, sliced;
    WorkBudget unlimited = WorkBudget::Unlimited();
    whole.Start(x, 10, 290, y, 5, 200);
    ASSERT_TRUE(whole.Advance(unlimited));
    sliced.Start(x, 10, 290, y, 5, 200);
    int calls = 1;
    for (WorkBudget one(1); !sliced.Advance(one); one = WorkBudget(1))
        ++calls;
    EXPECT_GT(calls, 400) << "one unit per call";
    EXPECT_EQ(sliced.Result().x, whole.Result().x);
    EXPECT_EQ(sliced.Result().y, whole.Result().y);
    EXPECT_EQ(sliced.Result().length, whole.Result().length);
}

TEST(CommonRuns, IndexedMatchesTheListAlgorithmOnTieHeavyAndRepetitiveText)
{
    PieceText gen(11);
    for (int round = 0; round < 1500; ++round) {
        const auto &pieces = PieceSets()[static_cast<std::size_t>(round) % PieceSets().size()];
        CompareOptions options;
        options.CmpChar = round % 3 == 0;
        const int length = round % 10 == 0 ? 400 : 40;
        const std::string left = gen.Make(pieces, length);
        const std::string right = round % 2 ? gen.Edit(left, pieces) : gen.Make(pieces, length);
        TokenList X, Y;
        CutTokens(X, left, options);
        CutTokens(Y, right, options);
        if (X.size() < Y.size())
            std::swap(X, Y);
        test::ListMatcher::List listX(X.begin(), X.end()), listY(Y.begin(), Y.end());
        ProgressModel progress;
        CommonRuns(X, 0, Size(X), Y, 0, Size(Y), progress, kAlwaysIndexed);
        test::ListMatcher::Common(listX, 0, static_cast<std::int32_t>(listX.size()), listY, 0,
                                  static_cast<std::int32_t>(listY.size()));
        DropFoldedTokens(X);
        DropFoldedTokens(Y);
        ASSERT_EQ(WithoutMatchFields(X), WithoutMatchFields({listX.begin(), listX.end()}))
            << test::Utf8(left) << " / " << test::Utf8(right);
        ASSERT_EQ(WithoutMatchFields(Y), WithoutMatchFields({listY.begin(), listY.end()}));
    }
}

/// The records of DiffPair on one Changed pair, run by a PairDiffer with the given work units
/// per call; calls counts the calls it took.
ResultList SlicedDiff(const std::string &left, const std::string &right,
                      const CompareOptions &options, const EngineThresholds &thresholds,
                      std::int64_t units, int &calls, ProgressModel &progress)
{
    ResultList results{ResultPair{1, 2, TextStatus::Changed, 1, left, right}};
    PairDiffer differ(results, results.begin(), options, progress, thresholds);
    calls = 1;
    for (WorkBudget budget(units); !differ.Run(budget); budget = WorkBudget(units))
        ++calls;
    return results;
}

TEST(PairDiffer, GivesTheReferenceRunsAtEveryBudget)
{
    PieceText gen(23);
    for (int round = 0; round < 600; ++round) {
        const auto &pieces = PieceSets()[static_cast<std::size_t>(round) % PieceSets().size()];
        CompareOptions options;
        options.CmpChar = round % 2;
        options.CmpCase = round % 4 < 2;
        const std::string left = gen.Make(pieces, round % 20 == 0 ? 300 : 30);
        const std::string right = gen.Edit(left, pieces);
        SCOPED_TRACE(test::Utf8(left) + " / " + test::Utf8(right));

        ResultList expected{ResultPair{1, 2, TextStatus::Changed, 1, left, right}};
        test::ReferenceDiffPair(expected, expected.begin(), options);

        ProgressModel wholeProgress;
        ResultList whole{ResultPair{1, 2, TextStatus::Changed, 1, left, right}};
        DiffPair(whole, whole.begin(), options, wholeProgress);
        EXPECT_EQ(whole, expected);
        for (const std::int64_t units : {std::int64_t{1}, std::int64_t{5}, kStepWorkUnits}) {
            int calls = 0;
            ProgressModel progress;
            EXPECT_EQ(SlicedDiff(left, right, options, kAlwaysIndexed, units, calls, progress),
                      expected)
                << units << " units a call";
            EXPECT_EQ(progress.Steps(), wholeProgress.Steps()) << "one step per searched range";
        }
    }
}

TEST(PairDiffer, RepetitiveLongSentenceTakesManyShortCalls)
{
    // One long run of the same character against itself plus one: the whole run is the same.
    std::string left;
    for (int n = 0; n < 3000; ++n)
        left += Sjis("ー");
    const std::string right = left + Sjis("ア");
    CompareOptions options;
    int calls = 0;
    ProgressModel progress;
    const ResultList results =
        SlicedDiff(left, right, options, EngineThresholds{}, 1000, calls, progress);
    const ResultList expected = {
        ResultPair{1, 2, TextStatus::Same, 0, left, left},
        ResultPair{1, 2, TextStatus::Added, 0, "", Sjis("ア")},
        ResultPair{1, 2, TextStatus::Original, 1, "", ""},
    };
    EXPECT_EQ(results, expected);
    // Cutting alone is a unit per character: 6001 units at 1000 a call.
    EXPECT_GT(calls, 6) << "cutting and matching are spread over the calls";
}

/// Sentences over a few words of every class, and bytes that test character boundaries: a lone
/// lead byte at the end, and letters that equal trail bytes.
SentenceList GapSentences(PieceText &gen, int count, const CompareOptions &options)
{
    static const std::vector<std::string> pieces = {
        Sjis("今日"), Sjis("は"), Sjis("晴れ"), Sjis("雨"), Sjis("明日"), "ABC", "abc", "b",
        Sjis("ｶﾀ"),  Sjis("カタ"), Sjis("。"), Sjis("、"), " ", "12", "\x82\x40"};
    static const std::vector<std::string> tails = {"", "", Sjis("。"), "\xE0", "@", "\x82"};
    SentenceList list;
    for (int n = 0; n < count; ++n) {
        std::string text = gen.Make(pieces, 5) + tails[gen.Rng()() % tails.size()];
        if (text.empty())
            text = "x";
        list.push_back(MakeSentence(text, options));
    }
    return list;
}

TEST(WordMatchScore, MatchesTheSearchAtEveryCharacterStart)
{
    PieceText gen(31);
    CompareOptions options;
    for (int round = 0; round < 3000; ++round) {
        const SentenceList keys = GapSentences(gen, 2, options);
        const std::uint32_t words = 40;
        const std::uint32_t bound = gen.Rng()() % 4;
        EXPECT_EQ(WordMatchScore(keys[0].key, keys[1].key, words, bound),
                  test::ReferenceScore(keys[0].key, keys[1].key, words, bound))
            << test::Utf8(keys[1].key) << " in " << test::Utf8(keys[0].key);
    }
}

TEST(GapAligner, IndexedGapsGiveTheReferenceRecordsAndProgress)
{
    PieceText gen(41);
    for (int round = 0; round < 400; ++round) {
        CompareOptions options;
        options.CmpCase = round % 2;
        const int rows = 1 + static_cast<int>(gen.Rng()() % 14);
        const int columns = 1 + static_cast<int>(gen.Rng()() % 14);
        SentenceList left = GapSentences(gen, rows + 2, options);
        SentenceList right = GapSentences(gen, columns + 2, options);
        // The gap lies between index 0 and the last index of each list.
        const std::int32_t b = rows + 1, d = columns + 1;

        ResultList expected;
        ProgressModel unused;
        AlignmentLists reference{left, right, expected, unused};
        test::ReferenceAlignGap(reference, expected.end(), 0, b, 0, d);

        ProgressModel directProgress;
        ResultList direct;
        AlignmentLists directLists{left, right, direct, directProgress};
        AlignGap(directLists, direct.end(), 0, b, 0, d, EngineThresholds{1 << 30, 1 << 30});
        ASSERT_EQ(direct, expected) << "round " << round;

        for (const std::int64_t units : {std::int64_t{1}, std::int64_t{9}, kStepWorkUnits}) {
            ProgressModel progress;
            ResultList indexed;
            GapAligner aligner({left, right, indexed, progress}, indexed.end(), 0, b, 0, d,
                               kAlwaysIndexed);
            for (WorkBudget budget(units); !aligner.Run(budget); budget = WorkBudget(units)) {
            }
            ASSERT_EQ(indexed, expected) << "round " << round << ", " << units << " units";
            EXPECT_EQ(progress.Steps(), directProgress.Steps());
        }
    }
}

TEST(GapAligner, AllTiedGapPairsInScanOrder)
{
    // Every pair scores alike with the same word count: the first pair is taken each time, so
    // the sentences pair off in order and the longer side's rest is added.
    CompareOptions options;
    SentenceList left, right;
    for (int n = 0; n < 60; ++n)
        left.push_back(MakeSentence(Sjis("あいう。"), options));
    for (int n = 0; n < 70; ++n)
        right.push_back(MakeSentence(Sjis("かきく。"), options));
    ResultList results;
    ProgressModel progress;
    AlignmentLists lists{left, right, results, progress};
    AlignGap(lists, results.end(), -1, 60, -1, 70, kAlwaysIndexed);
    ASSERT_EQ(results.size(), 70u);
    std::int32_t n = 0;
    for (const ResultPair &r : results) {
        EXPECT_EQ(r.status, n < 60 ? TextStatus::Changed : TextStatus::Added);
        EXPECT_EQ(r.rightIndex, n);
        ++n;
    }
}

} // namespace
} // namespace kivo
