#include "TextSearch.h"

#include <QString>

#include <gtest/gtest.h>

namespace kivo {
namespace {

struct SearchCase {
    const char *name;
    QString text;
    QString what;
    qsizetype from;
    FindOptions options;
    qsizetype expected;
};

void PrintTo(const SearchCase &c, std::ostream *os)
{
    *os << c.name;
}

class TextSearch : public ::testing::TestWithParam<SearchCase> {};

TEST_P(TextSearch, FindsWhereExpected)
{
    const SearchCase &c = GetParam();
    EXPECT_EQ(FindInText(c.text, c.what, c.from, c.options), c.expected);
}

constexpr FindOptions kDown{};
constexpr FindOptions kUp{false, false, false};
constexpr FindOptions kCase{true, false, true};
constexpr FindOptions kWord{false, true, true};
constexpr FindOptions kWordUp{false, true, false};

INSTANTIATE_TEST_SUITE_P(
    Cases, TextSearch,
    ::testing::Values(
        SearchCase{"FromThePosition", QStringLiteral("abcabc"), QStringLiteral("abc"), 1, kDown, 3},
        SearchCase{"AtThePosition", QStringLiteral("abcabc"), QStringLiteral("abc"), 3, kDown, 3},
        SearchCase{"NoneAfter", QStringLiteral("abcabc"), QStringLiteral("abc"), 4, kDown, -1},
        SearchCase{"UpEndsAtOrBefore", QStringLiteral("abcabc"), QStringLiteral("abc"), 5, kUp, 0},
        SearchCase{"UpFromTheEnd", QStringLiteral("abcabc"), QStringLiteral("abc"), 6, kUp, 3},
        SearchCase{"UpNoneBefore", QStringLiteral("abcabc"), QStringLiteral("abc"), 2, kUp, -1},
        SearchCase{"EmptyNeedle", QStringLiteral("abc"), QString(), 0, kDown, -1},
        SearchCase{"CaseFolded", QStringLiteral("xABCx"), QStringLiteral("abc"), 0, kDown, 1},
        SearchCase{"CaseKept", QStringLiteral("xABCxabc"), QStringLiteral("abc"), 0, kCase, 5},
        SearchCase{"FullWidthCaseFolded", QStringLiteral("ＡＢＣ"), QStringLiteral("ａｂｃ"), 0,
                   kDown, 0},
        SearchCase{"WholeWordSkipsParts", QStringLiteral("words word"), QStringLiteral("word"), 0,
                   kWord, 6},
        SearchCase{"WholeWordUp", QStringLiteral("word words"), QStringLiteral("word"), 10, kWordUp,
                   0},
        SearchCase{"WholeWordUnderscoreJoins", QStringLiteral("a_word word"),
                   QStringLiteral("word"), 0, kWord, 7},
        SearchCase{"ScriptChangeEndsAWord", QStringLiteral("漢字かな"), QStringLiteral("漢字"), 0,
                   kWord, 0},
        SearchCase{"SameScriptJoins", QStringLiteral("東京都"), QStringLiteral("東京"), 0, kWord,
                   -1},
        SearchCase{"LongVowelMarkJoins", QStringLiteral("データー"), QStringLiteral("データ"), 0,
                   kWord, -1},
        SearchCase{"OutsideTheBmp", QStringLiteral("𠮷野𠮷"), QStringLiteral("𠮷"), 1, kDown, 3},
        SearchCase{"EmojiUp", QStringLiteral("😀a😀"), QStringLiteral("😀"), 5, kUp, 3},
        SearchCase{"EmojiUpEndsBefore", QStringLiteral("😀a😀"), QStringLiteral("😀"), 4, kUp, 0},
        // A lone surrogate never matches half of a pair.
        SearchCase{"HalfAPairIsNoMatch", QStringLiteral("😀"), QString(QChar(0xDE00)), 0, kDown, -1},
        SearchCase{"WholeWordNextToEmoji", QStringLiteral("😀ab😀"), QStringLiteral("ab"), 0, kWord,
                   2}));

} // namespace
} // namespace kivo
