#include "EnginePrinters.h"
#include "TestText.h"
#include "Token.h"

#include <gtest/gtest.h>

#include <random>

namespace kivo {
namespace {

using test::Sjis;

struct TokenCase {
    const char *name;
    std::string text; // code page 932
    int cmpChar = 0;
    int cmpZen = 0;
    std::vector<std::string> texts;
    std::vector<std::string> keys;
};

void PrintTo(const TokenCase &c, std::ostream *os)
{
    *os << c.name;
}

class CutTokensCase : public ::testing::TestWithParam<TokenCase> {};

TEST_P(CutTokensCase, GivesTheExpectedTokens)
{
    const TokenCase &c = GetParam();
    CompareOptions options;
    options.CmpChar = c.cmpChar;
    options.CmpZen = c.cmpZen;
    TokenList list;
    const std::int32_t count = CutTokens(list, c.text, options);
    ASSERT_EQ(count, static_cast<std::int32_t>(list.size()));
    std::vector<std::string> texts;
    std::vector<std::string> keys;
    for (const Token &token : list) {
        EXPECT_EQ(token.matchStart, -1);
        EXPECT_EQ(token.matchLength, 0);
        EXPECT_EQ(token.status, TextStatus::Changed);
        texts.push_back(token.text);
        keys.push_back(token.key);
    }
    EXPECT_EQ(texts, c.texts);
    EXPECT_EQ(keys, c.keys.empty() ? c.texts : c.keys);
}

INSTANTIATE_TEST_SUITE_P(
    SentenceTokens, CutTokensCase,
    ::testing::Values(
        TokenCase{"WordsAndBlank", "abc def", 0, 0, {"abc", " ", "def"}, {}},
        TokenCase{"CmpCharCutsLetters", "abc", 1, 0, {"a", "b", "c"}, {}},
        TokenCase{"FullStopEndsRun", "ver2.0", 0, 0, {"ver2", ".", "0"}, {}},
        TokenCase{"UnderscoreEndsRun", "a_b", 0, 0, {"a", "_", "b"}, {}},
        TokenCase{"DigitBetweenKanji", Sjis("第3版"), 0, 0, {Sjis("第"), "3", Sjis("版")}, {}},
        TokenCase{"FullWidthJoinsUnderCmpZen", Sjis("ＡＢＣ"), 0, 1, {Sjis("ＡＢＣ")}, {"ABC"}},
        TokenCase{
            "FullWidthJoinsHalfWidth", Sjis("ＡＢＣdef"), 0, 1, {Sjis("ＡＢＣdef")}, {"ABCdef"}},
        TokenCase{"FullWidthApartWithoutCmpZen",
                  Sjis("ＡＢＣ"),
                  0,
                  0,
                  {Sjis("Ａ"), Sjis("Ｂ"), Sjis("Ｃ")},
                  {}},
        TokenCase{"VoicedKanaIsOneCharacter", Sjis("ｶﾞｷ"), 0, 0, {Sjis("ｶﾞ"), Sjis("ｷ")}, {}},
        TokenCase{"LongVowelMarkTakesNoVoicing", Sjis("ｰﾞ"), 0, 0, {Sjis("ｰ"), Sjis("ﾞ")}, {}},
        TokenCase{"LeadingVoicingMarkAlone", Sjis("ﾞｱ"), 0, 0, {Sjis("ﾞ"), Sjis("ｱ")}, {}},
        TokenCase{"LeadingLineBreakJoinsFirstCharacter",
                  Sjis("\rあい"),
                  0,
                  0,
                  {Sjis("\rあ"), Sjis("い")},
                  {Sjis("あ"), Sjis("い")}},
        TokenCase{"OnlyLineBreaks", "\r\n", 0, 0, {"\r\n"}, {""}},
        TokenCase{"LineBreakFollowsItsCharacter",
                  Sjis("あ\r\nい"),
                  0,
                  0,
                  {Sjis("あ\r\n"), Sjis("い")},
                  {Sjis("あ"), Sjis("い")}},
        TokenCase{"LineBreakInsideWord", "ab\rcd", 0, 0, {"ab\rcd"}, {"abcd"}},
        TokenCase{"Empty", "", 0, 0, {}, {}},
        TokenCase{"LoneLeadByteAtEnd", "a\x82", 0, 0, {"a", "\x82"}, {}},
        TokenCase{"NulIsAnOrdinaryByte",
                  std::string("a\0b", 3),
                  0,
                  0,
                  {"a", std::string(1, '\0'), "b"},
                  {}}),
    [](const auto &row) { return std::string(row.param.name); });

TEST(NextCharUnit, ReturnsNoneAtTheEndAndLeavesTheUnit)
{
    CompareOptions options;
    CharUnit unit{"x", "y"};
    EXPECT_EQ(NextCharUnit(unit, "ab", 2, options), std::nullopt);
    EXPECT_EQ(unit.text, "x");
    EXPECT_EQ(unit.key, "y");
    EXPECT_EQ(NextCharUnit(unit, "ab", 1, options), 2u);
    EXPECT_EQ(unit.text, "b");
}

TEST(AddToken, IgnoresEmptyText)
{
    TokenList list;
    std::int32_t count = 5;
    AddToken(list, "", "k", count);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(count, 5);
    AddToken(list, "t", "", count);
    EXPECT_EQ(count, 6);
    ASSERT_EQ(list.size(), 1u);
}

/// Random code page 932 fragments: letters, digits, kana with marks, two-byte characters, line
/// breaks, blanks, and an occasional lone lead byte at the end.
std::string RandomText(std::mt19937 &rng)
{
    static const std::vector<std::string> pieces = {
        "a",        "Z",        "7",        " ",        "\r",       "\n",       ".",
        "\xB6",     "\xDE",     "\xDF",     "\xB0",     "\xA1",     "\x82\xA0", "\x82\x60",
        "\x82\x81", "\x82\x4F", "\x81\x40", "\x81\x42", "\x88\x9F", "\x83\x4B", "\x82\x42"};
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 20);
    std::string text;
    for (int n = length(rng); n > 0; --n)
        text += pieces[pick(rng)];
    if (rng() % 8 == 0)
        text += '\x82';
    return text;
}

TEST(CutTokens, TokensCoverTheTextUnderAnyOptions)
{
    std::mt19937 rng(1234);
    for (int round = 0; round < 2000; ++round) {
        CompareOptions options;
        options.CmpChar = static_cast<int>(rng() % 2);
        options.CmpZen = static_cast<int>(rng() % 2);
        options.CmpCase = static_cast<int>(rng() % 2);
        options.CmpZenSp = static_cast<int>(rng() % 2);
        const std::string text = RandomText(rng);
        TokenList list;
        const std::int32_t count = CutTokens(list, text, options);
        ASSERT_EQ(count, static_cast<std::int32_t>(list.size()));
        std::string joined;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const Token &token = list[i];
            EXPECT_FALSE(token.text.empty());
            EXPECT_EQ(token.key.find_first_of("\r\n"), std::string::npos) << "key of a token";
            if (i > 0) {
                EXPECT_EQ(std::string_view("\r\n").find(token.text.front()), std::string::npos)
                    << "only the first token has leading line breaks";
            }
            joined += token.text;
        }
        EXPECT_EQ(joined, text);
    }
}

} // namespace
} // namespace kivo
