// The report of a comparison: the characters it shows, its escaping, and the whole page of a small
// result against tests/data/report/small.html. A mismatch writes small.actual.html beside it;
// UPDATE_GOLDEN=1 makes the actual page the expected one.
#include "Comparison.h"
#include "Cp932Codec.h"
#include "DisplayWidth.h"
#include "HtmlReport.h"
#include "Progress.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kivo::report {
namespace {

using test::Sjis;

TEST(DisplayWidth, EastAsianWidths)
{
    struct Case {
        char32_t c;
        int width;
    };
    for (const Case &c :
         {Case{U'a', 1}, Case{U'¥', 1}, Case{U'é', 1}, Case{U'ｱ', 1}, Case{U'あ', 2},
          Case{U'漢', 2}, Case{U'　', 2}, Case{U'Ａ', 2}, Case{U'〜', 2}, Case{U'😀', 2},
          Case{U'𠮷', 2}, Case{U'\u0301', 0}, Case{U'\u200B', 0}, Case{U'\uFE0F', 0}})
        EXPECT_EQ(DisplayWidth(c.c), c.width) << static_cast<unsigned>(c.c);
}

TEST(DisplayWidth, ControlsAreShownAsSymbols)
{
    EXPECT_EQ(VisibleForm(U'\x1b'), "␛");
    EXPECT_EQ(VisibleForm(U'\0'), "␀");
    EXPECT_EQ(VisibleForm(U'\x7f'), "␡");
    EXPECT_EQ(VisibleForm(U'\u009b'), "\uFFFD"); // C1 CSI
    EXPECT_EQ(VisibleForm(U'\t'), "");
    EXPECT_EQ(VisibleForm(U'a'), "");
}

TEST(HtmlReport, EscapesTextAndShowsLineBreaks)
{
    std::string out;
    AppendHtmlText(out, "<a href=\"x\">&'</a>\r2\n\x01\x7f");
    EXPECT_EQ(out, "&lt;a href=&quot;x&quot;&gt;&amp;&#39;&lt;/a&gt;<br>2<br>␁␡");
}

/// The records of comparing two texts with these options, run to the end.
struct Compared {
    Compared(const RichOptions &options, std::string_view left, std::string_view right)
        : comparison(options, progress)
    {
        comparison.Reset(Sjis(left), Sjis(right));
        comparison.Start();
        while (comparison.Step()) {
        }
    }
    ProgressModel progress;
    Comparison comparison;
};

std::string Report(const RichOptions &options, std::string_view left, std::string_view right,
                   std::array<std::string, 2> titles)
{
    const Compared compared(options, left, right);
    std::string error;
    const auto page =
        MakeHtmlReport(compared.comparison.Results(), &compared.comparison.Moves(), options,
                       options, std::move(titles), "2026-01-02 03:04", Cp932Codec::Shared(), error);
    EXPECT_TRUE(page) << error;
    return page ? *page : std::string();
}

TEST(HtmlReport, SmallResultMatchesGolden)
{
    RichOptions options;
    options.ViewMove = 1;
    options.CmpCase = 1;
    options.CmpZenSp = 1;
    options.Color[ColorSame] = 0x606060;
    options.Effect[EffectSlotOf(TextStatus::Added)] = static_cast<int>(EffectCode::Italic);
    const std::string page =
        Report(options, "今日は晴れ。<b>A&B</b>です。動く文。\r同じ文。消える文。",
               "今日は雨。<B>a&b</B>です。同じ文。\t増えた文。動く文。",
               {"左 <1>.txt", "bad\xFF\"name'.txt"});

    namespace fs = std::filesystem;
    const fs::path golden = KIVO_REPORT_GOLDEN;
    const fs::path actual = fs::path(golden).replace_extension(".actual.html");
    std::ostringstream expected;
    expected << std::ifstream(golden, std::ios::binary).rdbuf();
    if (page == expected.str()) {
        fs::remove(actual);
        return;
    }
    std::ofstream(std::getenv("UPDATE_GOLDEN") ? golden : actual, std::ios::binary) << page;
    if (!std::getenv("UPDATE_GOLDEN"))
        ADD_FAILURE() << "the report differs from " << golden << "; see " << actual;
}

TEST(HtmlReport, HostileNamesStayText)
{
    RichOptions options;
    options.ViewFormat = SentenceLayout::Unchanged;
    options.CharFormat.SetFaceName("x\"</style><script>\\");
    options.Sptr[0] = "<\x81\x42"; // "<。"
    const std::string page = Report(options, "a。b", "a。c", {"</title><script>", "x"});
    EXPECT_EQ(page.find("<script>"), std::string::npos) << page;
    EXPECT_NE(page.find("font-family:\"x\\22 \\3c /style\\3e \\3c script\\3e \\5c \""),
              std::string::npos);
    EXPECT_NE(page.find("<td>「&lt;。」</td>"), std::string::npos);
    // One row with each text in its own layout, no pairs.
    EXPECT_NE(page.find("<tr class=\"layout\"><td><span class=\"s1\">a。</span><span "
                        "class=\"s2\">b</span></td><td><span class=\"s1\">a。</span><span "
                        "class=\"s2\">c</span></td></tr>\n</tbody>"),
              std::string::npos)
        << page;
}

} // namespace
} // namespace kivo::report
