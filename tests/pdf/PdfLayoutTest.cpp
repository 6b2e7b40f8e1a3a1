// Lines put back into paragraphs, on pages made up here: a column from x 50 to 150, 10-point
// characters, so that ten Japanese characters fill a line.

#include "PdfLayout.h"

#include <gtest/gtest.h>

namespace kivo::pdf {
namespace {

constexpr double kEm = 10;
constexpr double kLeft = 50;
constexpr double kPitch = 15;

std::size_t Chars(std::string_view utf8)
{
    std::size_t count = 0;
    for (unsigned char b : utf8)
        count += (b & 0xC0) != 0x80;
    return count;
}

/// Japanese text on line row (0 is the first), every character one em wide.
Box Ja(std::string_view text, int row, double left = kLeft)
{
    const double top = 100 + row * kPitch;
    return {std::string(text), left, top, left + kEm * Chars(text), top + 12, kEm, false};
}

/// A Latin word, half an em per letter, with a space after it unless it ends its line.
Box La(std::string_view text, int row, double left, bool spaceAfter = true)
{
    const double top = 100 + row * kPitch;
    return {std::string(text), left, top, left + kEm / 2 * Chars(text), top + 12, kEm, spaceAfter};
}

std::string Join(const std::vector<Box> &boxes, bool keepRunningHeads = false)
{
    return JoinPages({{600, 800, BuildLines(boxes)}}, keepRunningHeads);
}

struct LayoutCase {
    const char *name;
    std::vector<Box> boxes;
    std::string expected;
};

void PrintTo(const LayoutCase &c, std::ostream *os)
{
    *os << c.name;
}

class PdfLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(PdfLayout, JoinsLinesAndEndsParagraphs)
{
    EXPECT_EQ(Join(GetParam().boxes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, PdfLayout,
    testing::Values(
        LayoutCase{
            "JapaneseLinesJoinWithNothing",
            {Ja("あいうえおかきくけこ", 0), Ja("さしすせそたちつてと", 1), Ja("なにぬ。", 2)},
            "あいうえおかきくけこさしすせそたちつてとなにぬ。"},
        LayoutCase{"AShortLineEndsItsParagraph",
                   {Ja("なにぬ。", 0), Ja("あいうえおかきくけこ", 1), Ja("さ。", 2)},
                   "なにぬ。\nあいうえおかきくけこさ。"},
        // A character pushed to the next line by the line-breaking rules leaves room for one.
        LayoutCase{"ALineShortByOneCharacterGoesOn",
                   {Ja("あいうえおかきくけこ", 0), Ja("あいうえおかきくけ", 1), Ja("こ」と。", 2)},
                   "あいうえおかきくけこあいうえおかきくけこ」と。"},
        LayoutCase{"AnIndentStartsAParagraph",
                   {Ja("あいうえおかきくけこ", 0), Ja("さしすせそたちつて", 1, kLeft + kEm),
                    Ja("な。", 2)},
                   "あいうえおかきくけこ\nさしすせそたちつてな。"},
        LayoutCase{"ABlankGapStartsAParagraph",
                   {Ja("あいうえおかきくけこ", 0), Ja("さしすせそたちつてと", 1),
                    Ja("なにぬねのはひふへほ", 3), Ja("ま。", 4)},
                   "あいうえおかきくけこさしすせそたちつてと\nなにぬねのはひふへほま。"},
        // The last cell of a row reaches the right edge; the next row still starts anew.
        LayoutCase{"TableCellsOnOneBaselineAreLinesOfTheirOwn",
                   {Ja("区分", 0), Ja("保存期間等", 0, kLeft + 5 * kEm), Ja("第一種", 1),
                    Ja("十年", 1, kLeft + 6 * kEm)},
                   "区分\n保存期間等\n第一種\n十年"},
        LayoutCase{"AGapOfACharacterBetweenJapaneseIsAnIdeographicSpace",
                   {Ja("第一条", 0), Ja("目的。", 0, kLeft + 4 * kEm)},
                   "第一条　目的。"},
        LayoutCase{"LatinLinesJoinWithOneSpaceAndKeepTheirHyphen",
                   {La("The", 0, 50), La("rules", 0, 67.5), La("apply,", 0, 92.5),
                    La("well-", 0, 125, false), La("known", 1, 50), La("and", 1, 77.5),
                    La("consistent,", 1, 97.5, false), La("to", 2, 50), La("all.", 2, 62.5, false)},
                   "The rules apply, well-known and consistent, to all."},
        // Ragged right: a line ends early when the next line's first word would have fitted.
        LayoutCase{"ALatinLineEndsItsParagraphWhenTheNextWordWouldHaveFitted",
                   {La("The", 0, 50), La("rules", 0, 67.5), La("apply,", 0, 92.5),
                    La("well-", 0, 125, false), La("An", 1, 50), La("end.", 1, 65, false),
                    La("It", 2, 50, false)},
                   "The rules apply, well-An end.\nIt"},
        LayoutCase{"ALineBesideTheOneBeforeIsNotJoinedToIt",
                   {Ja("あいうえおかきくけこ", 1), Ja("上", 0, 200)},
                   "あいうえおかきくけこ\n上"}));

/// A page of the made-up document: a running head, body lines, a footer with the page number.
Page MadePage(int number, std::vector<Box> body, bool withHead = true)
{
    std::vector<Box> boxes;
    if (withHead)
        boxes.push_back({"文書管理規程　第" + std::to_string(number) + "版", 50, 20, 150, 32, kEm});
    boxes.insert(boxes.end(), body.begin(), body.end());
    boxes.push_back({"- " + std::to_string(number) + " -", 90, 760, 110, 772, kEm});
    return {600, 800, BuildLines(boxes)};
}

TEST(PdfPages, RunningHeadsAndPageNumbersGoAndASentenceOverThePageBreakIsJoined)
{
    const std::vector<Page> pages = {
        MadePage(1, {Ja("あいうえおかきくけこ", 0), Ja("さしすせそたちつてと", 1)}),
        MadePage(2, {Ja("なにぬ。", 0), Ja("はひふへほまみむめも", 1)}),
        MadePage(3, {Ja("やゆよ。", 0), Ja("らりるれろ", 1, kLeft + kEm)}),
    };
    EXPECT_EQ(JoinPages(pages, false), "あいうえおかきくけこさしすせそたちつてとなにぬ。\n"
                                       "はひふへほまみむめもやゆよ。\n"
                                       "らりるれろ");
    EXPECT_EQ(JoinPages(pages, true), "文書管理規程　第1版\n"
                                      "あいうえおかきくけこさしすせそたちつてと\n"
                                      "- 1 -\n"
                                      "文書管理規程　第2版\n"
                                      "なにぬ。\n"
                                      "はひふへほまみむめも\n"
                                      "- 2 -\n"
                                      "文書管理規程　第3版\n"
                                      "やゆよ。\n"
                                      "らりるれろ\n"
                                      "- 3 -");
}

TEST(PdfPages, AHeadOnFewPagesIsText)
{
    // The same line at the top of one page in three is a heading, not a running head.
    const std::vector<Page> pages = {
        MadePage(1, {Ja("あいうえお。", 0)}),
        MadePage(2, {Ja("かきくけこ。", 0)}, false),
        MadePage(3, {Ja("さしすせそ。", 0)}, false),
    };
    EXPECT_EQ(JoinPages(pages, false),
              "文書管理規程　第1版\nあいうえお。\nかきくけこ。\nさしすせそ。");
}

TEST(PdfPages, AVeryLongLineInTheHeadBandIsReadWhole)
{
    // 50,000 words on one line at the top of the page, as hostile content may hold: each word
    // joins the line in constant time, and the line is too long to be a page number.
    std::vector<Box> boxes;
    for (int i = 0; i < 50'000; ++i)
        boxes.push_back({"あい", 10.0 + i * 0.01, 20, 10.01 + i * 0.01, 21, 0.005});
    const std::string text = JoinPages({{600, 800, BuildLines(boxes)}}, false);
    EXPECT_EQ(text.size(), 50'000u * 6);
}

TEST(PdfPages, PageNumbersInTheirUsualForms)
{
    for (const char *number : {"12", "- 12 -", "— 3 —", "12/40", "12 / 40", "p. 12", "P.12",
                               "Page 12 of 40", "第12頁", "１２", "12ページ", "iv", "－３－"})
        EXPECT_TRUE(IsPageNumber(number)) << number;
    for (const char *text :
         {"", "第1条", "2024年", "12.5", "Chapter 1", "page", "- -", "附則", "1234567"})
        EXPECT_FALSE(IsPageNumber(text)) << text;
}

} // namespace
} // namespace kivo::pdf
