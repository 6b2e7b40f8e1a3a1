#include "Normalize.h"
#include "Alignment.h"
#include "Cp932.h"
#include "KeyCases.h"
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

// The tables must hold exactly the characters they are named after, in this order.
TEST(WidthTables, HoldTheCharactersTheyStandFor)
{
    EXPECT_EQ(tables::kFullWidthA,
              Sjis("０１２３４５６７８９ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ"
                   "ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ"
                   "　！”＃＄％＆’（）＊＋，－．／：；＜＝＞？＠［￥］＾＿｀｛｜｝￣"));
    EXPECT_EQ(tables::kFullWidthB, Sjis("ガギグゲゴザジズゼゾダヂヅデドバパビピブプベペボポヴ"));
    EXPECT_EQ(tables::kHalfWidthB, Sjis("ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾊﾟﾋﾞﾋﾟﾌﾞﾌﾟﾍﾞﾍﾟﾎﾞﾎﾟｳﾞ"));
    EXPECT_EQ(
        tables::kFullWidthC,
        Sjis("。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノ"
             "ハヒフヘホマミムメモヤユヨラリルレロワン゛゜"));
    EXPECT_EQ(Chars(tables::kFullWidthA).size(), 95u);
    EXPECT_EQ(tables::kHalfWidthA.size(), 95u);
    EXPECT_EQ(Chars(tables::kFullWidthC).size(), 63u);
}

TEST(ToHalfWidth, ConvertsEveryEntryOfEachTable)
{
    const auto a = Chars(tables::kFullWidthA);
    for (std::size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(ToHalfWidth(a[i]), std::string(1, tables::kHalfWidthA[i])) << Utf8(a[i]);
    const auto b = Chars(tables::kFullWidthB);
    for (std::size_t i = 0; i < b.size(); ++i)
        EXPECT_EQ(ToHalfWidth(b[i]), tables::kHalfWidthB.substr(2 * i, 2)) << Utf8(b[i]);
    const auto c = Chars(tables::kFullWidthC);
    for (std::size_t i = 0; i < c.size(); ++i)
        EXPECT_EQ(ToHalfWidth(c[i]), std::string(1, static_cast<char>(0xA1 + i))) << Utf8(c[i]);
    // One-byte characters, hiragana, kanji and signs outside the tables stay.
    const std::string untouched = Sjis("ｱﾞabc あ漢ヮヰヱヵヶ“‘〜");
    EXPECT_EQ(ToHalfWidth(untouched), untouched);
}

TEST(LowerFullWidthLatin, ConvertsEveryCapitalAndNothingElse)
{
    const auto capitals = Chars(tables::kFullWidthCapitals);
    const auto small = Chars(tables::kFullWidthSmall);
    ASSERT_EQ(capitals.size(), 26u);
    for (std::size_t i = 0; i < capitals.size(); ++i)
        EXPECT_EQ(LowerFullWidthLatin(capitals[i]), small[i]);
    const std::string untouched = Sjis("ABCａｂｃΑア");
    EXPECT_EQ(LowerFullWidthLatin(untouched), untouched);
}

TEST(LowerCaseMultiByte, UsesUnicodeLowerCaseWithinTheCodePage)
{
    EXPECT_EQ(LowerCaseMultiByte(Sjis("ABCxyz")), "abcxyz");
    EXPECT_EQ(LowerCaseMultiByte(Sjis("ΑΩАЯＡ")), Sjis("αωаяａ"));
    EXPECT_EQ(LowerCaseMultiByte("\x87\x54"), "\xFA\x40") << "Roman numeral one, NEC row";
    EXPECT_EQ(LowerCaseMultiByte("\xFA\x4A"), "\xFA\x40") << "Roman numeral one, IBM row";
    // Trail bytes that look like capitals (ア is 83 41) are never lower-cased on their own.
    const std::string katakana = Sjis("アイウ漢字ソ");
    EXPECT_EQ(LowerCaseMultiByte(katakana), katakana);
    EXPECT_EQ(LowerCaseMultiByte("A\x83"), "a\x83") << "a lone lead byte at the end is kept";
}

TEST_P(SentenceKeys, CompareAsTheRulesSay)
{
    const KeyCase &row = GetParam();
    CompareOptions options;
    options.CmpCase = row.cmpCase;
    options.CmpZen = row.cmpZen;
    options.CmpZenSp = row.cmpZenSp;
    options.CmpKana = row.cmpKana;
    options.CmpPunct = row.cmpPunct;
    const std::string left = MakeSentenceKey(Sjis(row.left), options);
    const std::string right = MakeSentenceKey(Sjis(row.right), options);
    EXPECT_EQ(left == right, row.equal) << Utf8(left) << " / " << Utf8(right);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SentenceKeys,
    testing::Values(KeyCase{"NoRulesWidthDiffers", "ABC", "ＡＢＣ", 0, 0, 0, false},
                    KeyCase{"NoRulesCaseDiffers", "a", "A", 0, 0, 0, false},
                    KeyCase{"ZenDigitsAndLetters", "ＡＢＣ１２３", "ABC123", 0, 1, 0, true},
                    KeyCase{"ZenKeepsCase", "ＡＢＣ", "abc", 0, 1, 0, false},
                    KeyCase{"ZenAndCaseMixed", "Ａｂｃ", "abc", 1, 1, 0, true},
                    KeyCase{"ZenAndCaseUpper", "ABC", "abc", 1, 1, 0, true},
                    KeyCase{"CaseFullWidth", "Ａ", "ａ", 1, 0, 0, true},
                    KeyCase{"CaseHalfWidth", "A", "a", 1, 0, 0, true},
                    KeyCase{"CaseKeepsWidth", "A", "Ａ", 1, 0, 0, false},
                    KeyCase{"ZenVoicedKana", "ガ", "ｶﾞ", 0, 1, 0, true},
                    KeyCase{"ZenVu", "ヴ", "ｳﾞ", 0, 1, 0, true},
                    KeyCase{"ZenSemiVoiced", "パ", "ﾊﾟ", 0, 1, 0, true},
                    KeyCase{"ZenLongVowel", "ー", "ｰ", 0, 1, 0, true},
                    KeyCase{"ZenFullStop", "。", "｡", 0, 1, 0, true},
                    KeyCase{"ZenSmallKaStays", "ヵ", "ｶ", 0, 1, 0, false},
                    KeyCase{"ZenHiraganaIsNotKatakana", "か", "カ", 0, 1, 0, false},
                    KeyCase{"ZenYen", "￥", "\\", 0, 1, 0, true},
                    KeyCase{"ZenQuote", "”", "\"", 0, 1, 0, true},
                    KeyCase{"ZenApostrophe", "’", "'", 0, 1, 0, true},
                    KeyCase{"ZenOverline", "￣", "~", 0, 1, 0, true},
                    KeyCase{"ZenSpSpace", "a　b", "a b", 0, 0, 1, true},
                    KeyCase{"ZenSpKeepsWidth", "Ａ", "A", 0, 0, 1, false},
                    KeyCase{"ZenCoversSpace", "a　b", "a b", 0, 1, 0, true},
                    KeyCase{"LineBreaksIgnored", "あ\r\n", "あ", 0, 0, 0, true},
                    KeyCase{"BlanksCount", "a b", "ab", 1, 1, 1, false},
                    KeyCase{"TabsCount", "a\tb", "ab", 1, 1, 1, false}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(NormalizeText, FullWidthSpaceIsReplacedOnlyWhereItIsACharacter)
{
    CompareOptions options;
    options.CmpZenSp = 1;
    // ＝ is 81 81; followed by '@' (40) the bytes 81 40 appear across the character boundary.
    const std::string text = "\x81\x81\x40";
    EXPECT_EQ(NormalizeText(text, options), text);
    EXPECT_EQ(NormalizeText("\x81\x40", options), " ");
}

TEST(MakeSentenceKey, IsEmptyForLineBreaksOnly)
{
    EXPECT_EQ(MakeSentenceKey("\r\n\r", CompareOptions{}), "");
}

TEST(MakeSentenceKey, KeysOfPiecesJoinToTheKeyOfTheWholeText)
{
    // Characters that the rules read together with the one before them (voicing marks, also
    // across a line break), fold, widen or lower, mixed at random; cut into pieces where
    // KeyPieceEnd says, under every combination of the rules.
    const std::vector<std::string> pool = {
        Sjis("ｶ"),  Sjis("ﾞ"),  Sjis("ﾟ"),  Sjis("ﾊ"),  "\r",       "\n",       Sjis("ガ"),
        Sjis("カ"), Sjis("Ａ"), "A",        "a",        Sjis("、"), Sjis("，"), Sjis("．"),
        Sjis("　"), " ",        Sjis("漢"), Sjis("ヽ"), "1",        Sjis("１"), "\x82"};
    std::mt19937 random(7);
    for (int trial = 0; trial < 400; ++trial) {
        std::string text;
        const int length = static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i)
            text += pool[random() % (pool.size() - 1)];
        if (random() % 4 == 0)
            text += pool.back(); // a lone lead byte at the end
        CompareOptions options;
        const auto rules = random();
        options.CmpKana = rules & 1;
        options.CmpPunct = (rules >> 1) & 1;
        options.CmpZen = (rules >> 2) & 1;
        options.CmpZenSp = (rules >> 3) & 1;
        options.CmpCase = (rules >> 4) & 1;
        const std::size_t pieceBytes = 1 + random() % 6;

        std::string joined;
        WordCounter words;
        for (std::size_t from = 0; from < text.size();) {
            const std::size_t end = KeyPieceEnd(text, from, pieceBytes);
            ASSERT_GT(end, from);
            const std::string piece = MakeSentenceKey(text.substr(from, end - from), options);
            joined += piece;
            words.Add(piece);
            from = end;
        }
        Sentence whole = MakeSentence(text, options);
        ASSERT_EQ(joined, whole.key) << "text " << testing::PrintToString(text) << ", rules "
                                     << (rules & 31) << ", pieces of " << pieceBytes;
        EXPECT_EQ(words.Count(), WordCount(whole));
    }
}

} // namespace
} // namespace kivo
