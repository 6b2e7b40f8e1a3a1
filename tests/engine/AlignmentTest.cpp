#include "Alignment.h"
#include "EnginePrinters.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace kivo {
namespace {

using test::Sjis;

constexpr std::uint32_t kUnbounded = std::numeric_limits<std::uint32_t>::max();

SentenceList Sentences(std::initializer_list<const char *> utf8Texts)
{
    CompareOptions options;
    SentenceList list;
    for (const char *utf8 : utf8Texts)
        list.push_back(MakeSentence(Sjis(utf8), options));
    return list;
}

ResultPair Record(TextStatus status, std::int32_t left, std::int32_t right,
                  std::string_view leftUtf8, std::string_view rightUtf8)
{
    return ResultPair{left, right, status, 1, Sjis(leftUtf8), Sjis(rightUtf8)};
}

struct ClassCase {
    std::string character; // code page 932
    CharKind expected;
};

TEST(CharClass, ClassifiesByFirstAndSecondByte)
{
    using enum CharKind;
    // The last two: a lone lead byte is classed as a one-byte character.
    const std::vector<ClassCase> cases = {
        {"0", AsciiDigit}, {"9", AsciiDigit}, {"a", AsciiLetter}, {"Z", AsciiLetter},
        {" ", Punctuation}, {"\t", Punctuation}, {".", Punctuation}, {"_", Punctuation},
        {{"\0", 1}, Punctuation}, {"\x80", Punctuation}, {"\xA0", Punctuation},
        {"\xA5", Punctuation}, {"\xA6", HalfWidthKana}, {"\xB0", HalfWidthKana},
        {"\xDF", HalfWidthKana}, {"\xFD", HalfWidthKana}, {Sjis("０"), FullWidthDigit},
        {Sjis("９"), FullWidthDigit}, {"\x82\x59", Symbol}, {Sjis("Ａ"), FullWidthLatin},
        {Sjis("ｚ"), FullWidthLatin}, {Sjis("。"), Symbol}, {Sjis("ヵ"), Symbol}, {"\x88\x9E", Symbol},
        {Sjis("ァ"), Katakana}, {Sjis("ヴ"), Katakana}, {Sjis("ぁ"), Hiragana}, {Sjis("ん"), Hiragana},
        {"\x88\x9F", Kanji}, {Sjis("漢"), Kanji}, {"\xE0\x40", Kanji}, {"\x82", Punctuation},
        {"\xE0", HalfWidthKana},
    };
    for (const ClassCase &c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.character));
        EXPECT_EQ(CharClass(c.character), c.expected);
    }
}

TEST(WordCount, CountsWordRunsEndedBeforeTheKeyEnds)
{
    const std::vector<std::pair<std::string, std::uint32_t>> cases = {
        {Sjis("今日は晴れ。"), 5}, {Sjis("今日は雨。"), 4}, {"ABC def", 2}, {"2006", 1}, {"", 1},
        {Sjis("１２月"), 1},       {"ab\x82", 2},
    };
    for (const auto &[key, expected] : cases) {
        SCOPED_TRACE(::testing::PrintToString(key));
        Sentence sentence{key, key, 0};
        EXPECT_EQ(WordCount(sentence), expected);
        EXPECT_EQ(sentence.wordCount, static_cast<std::int32_t>(expected)) << "cached";
    }
}

TEST(WordCount, KeepsACachedCount)
{
    Sentence sentence{"abc", "abc", 7};
    EXPECT_EQ(WordCount(sentence), 7u);
}

struct ScoreCase {
    std::string searchIn;
    std::string split;
    std::uint32_t words;
    std::uint32_t bound;
    std::uint32_t expected;
};

TEST(WordMatchScore, SubtractsTheWordsFoundInTheOtherKey)
{
    const std::vector<ScoreCase> cases = {
        {Sjis("今日は雨。"), Sjis("今日は晴れ。"), 5, kUnbounded, 3},
        {Sjis("明日は雨。"), Sjis("明日は曇り。"), 5, kUnbounded, 3},
        {Sjis("午後は雨。"), Sjis("明日は雨。"), 4, kUnbounded, 2},
        {"abc def", "abc def", 2, kUnbounded, 0}, // equal keys ending in a word
        {"ghi", "abc def ghi", 3, kUnbounded, 2},
        {"ghi", "abc def ghi", 3, 0, 3},      // the first unfound word ends it
        {"ghi", "abc def ghi", 3, 1, 3},      // the second one ends it
        {"ghi", "abc def ghi", 3, 2, 2},      // two fit into a bound of 2
        {"a b a", "a a a", 3, kUnbounded, 0}, // each occurrence counts
        {"1 2", "12 34 5", 1, 0, 1},          // numbers use up no bound
        {Sjis("B。"), "B", 1, kUnbounded, 0},
        // A match must lie on whole characters: B is the trail byte of 。, and the bytes of 今
        // stand across the characters ″ and ｡ here.
        {Sjis("。"), "B", 1, kUnbounded, 1},
        {"\x81\x8D\xA1", Sjis("今"), 1, kUnbounded, 1},
    };
    for (const ScoreCase &c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.split) + " in " +
                     ::testing::PrintToString(c.searchIn));
        EXPECT_EQ(WordMatchScore(c.searchIn, c.split, c.words, c.bound), c.expected);
    }
}

TEST(FindAnchor, TakesTheFirstEqualKeyAfterTheLastAnchor)
{
    const SentenceList right = Sentences({"A。", "B。", "A。", "C。"});
    AnchorIndex index;
    index.Build(right);
    ProgressModel progress;
    std::int32_t anchorRight = -1;
    EXPECT_EQ(index.FindAnchor(Sjis("A。"), anchorRight, progress), 0);
    EXPECT_EQ(index.FindAnchor(Sjis("A。"), anchorRight, progress), 2);
    EXPECT_EQ(anchorRight, 2);
    EXPECT_EQ(index.FindAnchor(Sjis("B。"), anchorRight, progress), std::nullopt);
    EXPECT_EQ(index.FindAnchor(Sjis("a。"), anchorRight, progress), std::nullopt) << "no folding";
    EXPECT_EQ(anchorRight, 2) << "a miss leaves the anchor";
    EXPECT_EQ(index.FindAnchor(Sjis("C。"), anchorRight, progress), 3);
    EXPECT_EQ(progress.Steps(), 5);
}

TEST(FindAnchor, AgreesWithAScanOnRepeatedKeysWhateverTheOrderOfQuestions)
{
    // Few keys, many repeats, and anchorRight both growing and going back: the index skips the
    // sentences it passed only while anchorRight grows.
    std::mt19937 rng(7);
    const CompareOptions options;
    SentenceList right;
    for (int n = 0; n < 300; ++n)
        right.push_back(
            MakeSentence(std::string(1, static_cast<char>('a' + rng() % 4)) + Sjis("。"), options));
    AnchorIndex index;
    WorkBudget one(1);
    while (!index.Build(right, one))
        one = WorkBudget(1);
    ProgressModel progress;
    for (int query = 0; query < 2000; ++query) {
        const std::string key =
            std::string(1, static_cast<char>('a' + rng() % 5)) + Sjis("。"); // 'e' never occurs
        std::int32_t anchorRight =
            query % 3 == 0 ? static_cast<std::int32_t>(rng() % 320) - 10 : query / 7;
        std::optional<std::int32_t> expected;
        for (std::int32_t j = std::max(anchorRight + 1, 0); j < 300 && !expected; ++j)
            if (right[static_cast<std::size_t>(j)].key == key)
                expected = j;
        const std::int32_t before = anchorRight;
        ASSERT_EQ(index.FindAnchor(key, anchorRight, progress), expected)
            << "query " << query << " after " << before;
        EXPECT_EQ(anchorRight, expected.value_or(before));
    }
}

TEST(FindBestPair, PrefersMoreWordsOnEqualScores)
{
    // Both score 2; the second has 4 words against 3.
    SentenceList left = Sentences({"aa bb。"});
    SentenceList right = Sentences({"aa xx。", "aa bb cc。"});
    ProgressModel progress;
    const auto pair = FindBestPair(left, right, -1, 1, -1, 2, progress);
    ASSERT_TRUE(pair);
    EXPECT_EQ(*pair, Record(TextStatus::Changed, 0, 1, "aa bb。", "aa bb cc。"));
}

TEST(FindBestPair, TakesTheFirstInScanOrderOnAFullTie)
{
    SentenceList left = Sentences({"x", "aa xx。", "aa yy。"});
    SentenceList right = Sentences({"aa bb。", "aa cc。"});
    ProgressModel progress;
    const auto pair = FindBestPair(left, right, 0, 3, -1, 2, progress);
    ASSERT_TRUE(pair);
    EXPECT_EQ(pair->leftIndex, 1);
    EXPECT_EQ(pair->rightIndex, 0);
    EXPECT_EQ(progress.Steps(), 2) << "one step per left sentence";
}

TEST(FindBestPair, StopsAtAScoreOfZero)
{
    SentenceList left = Sentences({"ab cd", "ab", "cd"});
    SentenceList right = Sentences({"cd ab"});
    ProgressModel progress;
    const auto pair = FindBestPair(left, right, -1, 3, -1, 1, progress);
    ASSERT_TRUE(pair);
    EXPECT_EQ(pair->leftIndex, 0);
    EXPECT_EQ(progress.Steps(), 1);
    EXPECT_EQ(left[2].wordCount, 0) << "the rest of the gap is not scored";
}

TEST(FindBestPair, GivesNothingWithoutLeftSentences)
{
    SentenceList left = Sentences({"a"});
    SentenceList right = Sentences({"b"});
    ProgressModel progress;
    EXPECT_EQ(FindBestPair(left, right, 0, 1, -1, 1, progress), std::nullopt);
    EXPECT_EQ(FindBestPair(left, right, -1, 1, -1, 0, progress), std::nullopt) << "no right";
}

struct Gap {
    SentenceList left;
    SentenceList right;
    ResultList results;
    ProgressModel progress;
    AlignmentLists Lists() { return {left, right, results, progress}; }
};

TEST(AlignGap, PairsUnlikeSentencesOfAOneByOneGap)
{
    Gap gap{Sentences({"あ。"}), Sentences({"い。"}), {}, {}};
    AlignmentLists lists = gap.Lists();
    AlignGap(lists, gap.results.end(), -1, 1, -1, 1);
    EXPECT_EQ(gap.results, ResultList{Record(TextStatus::Changed, 0, 0, "あ。", "い。")});
}

TEST(AlignGap, PutsTheLeftoversOfACrossingOnTheirSides)
{
    // Y pairs with Y′ (score 2, against 3 for X with X′), so X is deleted before the pair and
    // X′ added after it.
    Gap gap{Sentences({"alpha beta gamma delta。", "one two three。"}),
            Sentences({"one two four。", "alpha beta zeta eta。"}),
            {},
            {}};
    AlignmentLists lists = gap.Lists();
    AlignGap(lists, gap.results.end(), -1, 2, -1, 2);
    const ResultList expected = {
        Record(TextStatus::Deleted, 0, 0, "alpha beta gamma delta。", ""),
        Record(TextStatus::Changed, 1, 0, "one two three。", "one two four。"),
        Record(TextStatus::Added, 0, 1, "", "alpha beta zeta eta。"),
    };
    EXPECT_EQ(gap.results, expected);
    EXPECT_EQ(gap.progress.Steps(), 4) << "two left sentences scanned, two emits";
}

TEST(AlignGap, InsertsInFrontOfTheGivenRecord)
{
    Gap gap{Sentences({"a。", "b。", "z。"}), Sentences({"c。", "z。"}), {}, {}};
    gap.results.push_back(Record(TextStatus::Same, 2, 1, "z。", "z。"));
    AlignmentLists lists = gap.Lists();
    AlignGap(lists, gap.results.begin(), -1, 2, -1, 1);
    ASSERT_EQ(gap.results.size(), 3u);
    EXPECT_EQ(gap.results.back().status, TextStatus::Same);
    EXPECT_EQ(gap.results.front().status, TextStatus::Changed);
    EXPECT_EQ(std::next(gap.results.begin())->status, TextStatus::Deleted);
}

TEST(EmitOneSide, RecordsTheOpenRangeInIndexOrder)
{
    Gap gap{Sentences({"0", "1", "2", "3", "4"}), Sentences({"r0", "r1", "r2"}), {}, {}};
    AlignmentLists lists = gap.Lists();
    EmitLeftOnly(lists, gap.results.end(), 1, 4);
    EmitRightOnly(lists, gap.results.end(), -1, 2);
    const ResultList expected = {
        Record(TextStatus::Deleted, 2, 0, "2", ""),
        Record(TextStatus::Deleted, 3, 0, "3", ""),
        Record(TextStatus::Added, 0, 0, "", "r0"),
        Record(TextStatus::Added, 0, 1, "", "r1"),
    };
    EXPECT_EQ(gap.results, expected);
    EXPECT_EQ(gap.progress.Steps(), 2);
}

} // namespace
} // namespace kivo
