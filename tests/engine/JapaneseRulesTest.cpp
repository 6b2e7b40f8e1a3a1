// The rules made for Japanese text: kana folding, punctuation variants, quotations kept whole in
// splitting, and moved sentences.
#include "Comparison.h"
#include "Cp932.h"
#include "KeyCases.h"
#include "Moves.h"
#include "Normalize.h"
#include "TestText.h"
#include "WidthTables.h"

#include <gtest/gtest.h>

#include <random>

namespace kivo {
namespace {

using test::KeyCase;
using test::SentenceKeys;
using test::Sjis;
using test::Utf8;

std::vector<std::string> Chars(std::string_view text)
{
    std::vector<std::string> chars;
    cp932::ForEachChar(text, [&](std::string_view c) { chars.emplace_back(c); });
    return chars;
}

TEST(KanaTables, HoldEveryKanaOfTheSameSoundInOrder)
{
    EXPECT_EQ(tables::kKatakana,
              Sjis("ァアィイゥウェエォオカガキギクグケゲコゴサザシジスズセゼソゾタダチヂッツヅテデ"
                   "トドナニヌネノハバパヒビピフブプヘベペホボポマミムメモャヤュユョヨラリルレロ"
                   "ヮワヰヱヲンヽヾ"));
    EXPECT_EQ(tables::kHiragana,
              Sjis("ぁあぃいぅうぇえぉおかがきぎくぐけげこごさざしじすずせぜそぞただちぢっつづてで"
                   "とどなにぬねのはばぱひびぴふぶぷへべぺほぼぽまみむめもゃやゅゆょよらりるれろ"
                   "ゎわゐゑをんゝゞ"));
    EXPECT_EQ(tables::kCommaVariants, Sjis("、，､"));
    EXPECT_EQ(tables::kFullStopVariants, Sjis("。．｡"));
}

TEST(KatakanaToHiragana, FoldsEveryKatakanaAndNothingElse)
{
    const auto katakana = Chars(tables::kKatakana);
    const auto hiragana = Chars(tables::kHiragana);
    ASSERT_EQ(katakana.size(), 85u);
    ASSERT_EQ(hiragana.size(), 85u);
    for (std::size_t i = 0; i < katakana.size(); ++i) {
        EXPECT_EQ(KatakanaToHiragana(katakana[i]), hiragana[i]) << Utf8(katakana[i]);
        EXPECT_EQ(KatakanaToHiragana(hiragana[i]), hiragana[i]) << Utf8(hiragana[i]);
    }
    // No hiragana in the code page: they stay. So do half-width katakana, the long-vowel mark,
    // kanji, Latin and bytes that only look like katakana across a character boundary.
    const std::string untouched = Sjis("ヴヵヶｱｶﾞーー漢字Aa・") + "\x81\x83\x40";
    EXPECT_EQ(KatakanaToHiragana(untouched), untouched);
}

TEST(HalfWidthKanaToFullWidth, WidensEveryLetterAndJoinsVoicingMarks)
{
    // ｦ to ﾝ are entries 5 to 60 of table C.
    const auto fullC = Chars(tables::kFullWidthC);
    for (unsigned b = tables::kHalfWidthKanaFirst; b <= tables::kHalfWidthKanaLast; ++b)
        EXPECT_EQ(HalfWidthKanaToFullWidth(std::string(1, static_cast<char>(b))),
                  fullC[b - tables::kHalfWidthCBase])
            << std::hex << b;
    // Every voiced pair of table B becomes its voiced letter.
    const auto voiced = Chars(tables::kFullWidthB);
    for (std::size_t i = 0; i < voiced.size(); ++i)
        EXPECT_EQ(HalfWidthKanaToFullWidth(tables::kHalfWidthB.substr(2 * i, 2)), voiced[i]);
    // A mark with no voiced letter stays a mark; punctuation and the marks alone stay.
    EXPECT_EQ(HalfWidthKanaToFullWidth(Sjis("ｱﾞﾅﾟ｡｢｣､･ﾞﾟ")), Sjis("アﾞナﾟ｡｢｣､･ﾞﾟ"));
}

TEST(FoldPunctuation, FoldsTheVariantsAndLeavesAsciiAlone)
{
    EXPECT_EQ(FoldPunctuation(Sjis("、，､。．｡,.")), Sjis("、、、。。。,."));
    // ｡ (A1) as a trail byte inside a two-byte character is not a full stop.
    EXPECT_EQ(FoldPunctuation("\x83\xA1"), "\x83\xA1");
}

INSTANTIATE_TEST_SUITE_P(
    Japanese, SentenceKeys,
    testing::Values(KeyCase{"KanaOffDiffers", "ボタン", "ぼたん", 0, 0, 0, false, 0, 0},
                    KeyCase{"KanaFolds", "ボタン", "ぼたん", 0, 0, 0, true, 1, 0},
                    KeyCase{"KanaSmallTsu", "ッ", "っ", 0, 0, 0, true, 1, 0},
                    KeyCase{"KanaIterationMark", "ヽヾ", "ゝゞ", 0, 0, 0, true, 1, 0},
                    KeyCase{"KanaVuStays", "ヴ", "ゔ", 0, 0, 0, false, 1, 0},
                    KeyCase{"KanaHalfWidthNeedsZen", "ｱ", "ア", 0, 0, 0, false, 1, 0},
                    KeyCase{"KanaAndZenHalfWidth", "ｱ", "あ", 0, 1, 0, true, 1, 0},
                    KeyCase{"KanaAndZenVoiced", "ｶﾞﾊﾟ", "がぱ", 0, 1, 0, true, 1, 0},
                    KeyCase{"KanaAndZenVu", "ｳﾞ", "ヴ", 0, 1, 0, true, 1, 0},
                    KeyCase{"KanaAndZenLongVowel", "ｺｰﾋｰ", "こーひー", 0, 1, 0, true, 1, 0},
                    KeyCase{"KanaKeepsCaseRule", "ボタンＡ", "ぼたんａ", 1, 0, 0, true, 1, 0},
                    KeyCase{"ZenAloneKeepsKana", "ｱ", "あ", 0, 1, 0, false, 0, 0},
                    KeyCase{"PunctOffDiffers", "は、", "は，", 0, 0, 0, false, 0, 0},
                    KeyCase{"PunctComma", "は、が，と､", "は，が､と、", 0, 0, 0, true, 0, 1},
                    KeyCase{"PunctFullStop", "。．｡", "．｡。", 0, 0, 0, true, 0, 1},
                    KeyCase{"PunctAsciiStays", "1,5", "1、5", 0, 0, 0, false, 0, 1},
                    KeyCase{"PunctAndZen", "，", "､", 0, 1, 0, true, 0, 1},
                    KeyCase{"PunctCommaIsNoStop", "、", "。", 0, 1, 0, false, 0, 1}),
    test::KeyCaseName);

/// The sentences of text split as the left text of a comparison with the given options.
std::vector<std::string> SplitWith(std::string_view utf8, const CompareOptions &options)
{
    ProgressModel progress;
    Comparison comparison(options, progress);
    comparison.Reset(Sjis(utf8), "");
    comparison.Start();
    while (comparison.State() == EngineState::SplitLeft)
        comparison.Step();
    std::vector<std::string> sentences;
    for (const Sentence &s : comparison.Sentences(Side::Left))
        sentences.push_back(Utf8(s.text));
    return sentences;
}

struct QuoteCase {
    const char *name;
    const char *text;
    const char *delimiters;
    std::vector<std::string> expected;
};

class QuotationsKeptWhole : public testing::TestWithParam<QuoteCase> {};

TEST_P(QuotationsKeptWhole, SplitAsTheBracketsSay)
{
    const QuoteCase &row = GetParam();
    CompareOptions options;
    options.KeepQuotes = 1;
    options.Sptr[0] = Sjis(row.delimiters);
    EXPECT_EQ(SplitWith(row.text, options), row.expected);
}

using V = std::vector<std::string>;
INSTANTIATE_TEST_SUITE_P(
    Splitting, QuotationsKeptWhole,
    testing::Values(
        QuoteCase{"QuoteInsideASentence", "「はい。」と言った。次。", "。",
                  V{"「はい。」と言った。", "次。"}},
        QuoteCase{"TwoQuotes", "「はい。」「いいえ。」", "。", V{"「はい。」", "「いいえ。」"}},
        QuoteCase{"QuoteBeforeTheEnd", "彼は「はい。」", "。", V{"彼は「はい。」"}},
        QuoteCase{"QuoteBeforeALineBreak", "「はい。」\r次。", "。", V{"「はい。」", "次。"}},
        QuoteCase{"NestedBrackets", "『「そう。」と。』彼。「あ。」", "。",
                  V{"『「そう。」と。』彼。", "「あ。」"}},
        QuoteCase{"ClosersAfterTheStop", "「『はい。』」「次。」", "。",
                  V{"「『はい。』」", "「次。」"}},
        QuoteCase{"EveryBracketKind", "（あ。）(い。)【う。】“え。”お。", "。",
                  V{"（あ。）", "(い。)", "【う。】", "“え。”お。"}},
        QuoteCase{"StrayOpenerEndsAtTheLine", "「あ。い。\rう。え。", "。",
                  V{"「あ。い。\rう。", "え。"}},
        QuoteCase{"StrayCloserChangesNothing", "あ」。い。", "。", V{"あ」。", "い。"}},
        QuoteCase{"LineBreakDelimiterInsideQuote", "「あ\rい」。", "\\n。", V{"「あ", "い」。"}},
        QuoteCase{"HalfWidthStopToo", "「あ｡」い｡", "。｡", V{"「あ｡」い｡"}}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(QuotationsKeptWhole, OffSplitsAtEveryDelimiter)
{
    CompareOptions options;
    EXPECT_EQ(SplitWith("「はい。」と言った。", options), (V{"「はい。", "」と言った。"}));
}

TEST(QuotationsKeptWhole, StepBudgetDoesNotChangeTheSentences)
{
    // A quotation far longer than one step's budget is still one sentence.
    CompareOptions options;
    options.KeepQuotes = 1;
    std::string text = "「";
    for (int i = 0; i < 120; ++i)
        text += "あ。";
    text += "」と言った。";
    EXPECT_EQ(SplitWith(text, options), V{text});
}

// --- Moves ------------------------------------------------------------------------------------

/// The pairing written the plain way: each Deleted record, in list order, scans the list for the
/// first Added record with an equal non-empty key that is not yet paired.
MoveTable PlainMoves(const ResultList &results, const SentenceList &left, const SentenceList &right)
{
    MoveTable moves;
    for (const ResultPair &d : results) {
        if (d.status != TextStatus::Deleted || d.sentenceEnd != 1)
            continue;
        const std::string &key = left[static_cast<std::size_t>(d.leftIndex)].key;
        for (const ResultPair &a : results) {
            if (a.status == TextStatus::Added && a.sentenceEnd == 1 && !key.empty() &&
                right[static_cast<std::size_t>(a.rightIndex)].key == key &&
                moves.LeftOf(a.rightIndex) < 0) {
                moves.Add(d.leftIndex, a.rightIndex);
                break;
            }
        }
    }
    return moves;
}

Sentence KeyOnly(std::string key)
{
    return Sentence{key, key, 0};
}

TEST(FindMoves, PairsRepeatedKeysInListOrder)
{
    // Left: X X Y ""; right: X Y X "". Added records come before and after the Deleted ones.
    const SentenceList left{KeyOnly("X"), KeyOnly("X"), KeyOnly("Y"), KeyOnly("")};
    const SentenceList right{KeyOnly("X"), KeyOnly("Y"), KeyOnly("X"), KeyOnly("")};
    ResultList results;
    results.push_back({0, 0, TextStatus::Added, 1, "", "X"});
    results.push_back({0, 0, TextStatus::Deleted, 1, "X", ""});
    results.push_back({3, 3, TextStatus::Same, 1, "", ""});
    results.push_back({0, 3, TextStatus::Added, 1, "", ""});
    results.push_back({1, 0, TextStatus::Deleted, 1, "X", ""});
    results.push_back({2, 0, TextStatus::Deleted, 1, "Y", ""});
    results.push_back({3, 0, TextStatus::Deleted, 1, "", ""});
    results.push_back({0, 2, TextStatus::Added, 1, "", "X"});
    results.push_back({0, 1, TextStatus::Added, 1, "", "Y"});
    results.push_back({0, 0, TextStatus::Deleted, 0, "X", ""}); // a run: never a move

    const MoveTable moves = FindMoves(results, left, right);
    EXPECT_EQ(moves.Count(), 3u);
    EXPECT_EQ(moves.RightOf(0), 0);
    EXPECT_EQ(moves.RightOf(1), 2);
    EXPECT_EQ(moves.RightOf(2), 1);
    EXPECT_EQ(moves.RightOf(3), -1) << "an empty key never moves";
    EXPECT_EQ(moves.LeftOf(3), -1);
    EXPECT_EQ(moves.LeftOf(2), 1);
    EXPECT_EQ(moves.PartnerOf(results.back()), -1);
    EXPECT_EQ(moves.PartnerOf(*std::next(results.begin(), 7)), 1);
    EXPECT_EQ(moves, PlainMoves(results, left, right));

    // The records of both ends find each other by position; runs count as positions.
    const auto partners = MovedRecordPartners(results, moves);
    const std::unordered_map<std::int32_t, std::int32_t> expected{{1, 0}, {0, 1}, {4, 7},
                                                                  {7, 4}, {5, 8}, {8, 5}};
    EXPECT_EQ(partners, expected);
}

TEST(FindMoves, AgreesWithThePlainPairingOnRandomResults)
{
    std::mt19937 random(23);
    for (int round = 0; round < 300; ++round) {
        SentenceList left, right;
        ResultList results;
        const int records = static_cast<int>(random() % 40);
        for (int i = 0; i < records; ++i) {
            const std::string key(random() % 3, static_cast<char>('a' + random() % 3));
            const auto li = static_cast<std::int32_t>(left.size());
            const auto ri = static_cast<std::int32_t>(right.size());
            switch (random() % 4) {
            case 0:
                left.push_back(KeyOnly(key));
                results.push_back({li, 0, TextStatus::Deleted, 1, key, ""});
                break;
            case 1:
                right.push_back(KeyOnly(key));
                results.push_back({0, ri, TextStatus::Added, 1, "", key});
                break;
            default:
                left.push_back(KeyOnly(key));
                right.push_back(KeyOnly(key));
                results.push_back({li, ri, TextStatus::Same, 1, key, key});
            }
        }
        ASSERT_EQ(FindMoves(results, left, right), PlainMoves(results, left, right))
            << "round " << round;
    }
}

TEST(FindMoves, RunOnlyWithTheOptionAndKeptAfterTheEngine)
{
    CompareOptions options;
    ProgressModel progress;
    Comparison comparison(options, progress);
    const std::string left = Sjis("第一段。第二段。第三段。");
    const std::string right = Sjis("第二段。第三段。追加。第一段。");
    comparison.RunToCompletion(left, right);
    EXPECT_TRUE(comparison.Moves().Empty());
    const ResultList without = comparison.Results();

    options.ViewMove = 1;
    comparison.RunToCompletion(left, right);
    EXPECT_EQ(comparison.Results(), without) << "moves never change the records";
    std::size_t moved = 0;
    for (const ResultPair &r : comparison.Results()) {
        const std::int32_t partner = comparison.Moves().PartnerOf(r);
        if (partner < 0)
            continue;
        ++moved;
        // The other end shows the same text on the other side.
        const auto other = std::find_if(
            comparison.Results().begin(), comparison.Results().end(), [&](const ResultPair &o) {
                return r.status == TextStatus::Deleted
                           ? o.status == TextStatus::Added && o.rightIndex == partner
                           : o.status == TextStatus::Deleted && o.leftIndex == partner;
            });
        ASSERT_NE(other, comparison.Results().end());
        EXPECT_EQ(r.leftText + r.rightText, other->leftText + other->rightText);
    }
    EXPECT_EQ(moved, 2 * comparison.Moves().Count());
    EXPECT_GE(comparison.Moves().Count(), 1u);
    EXPECT_EQ(comparison.Moves().LeftOf(2), -1) << "追加 was added, not moved";
}

} // namespace
} // namespace kivo
