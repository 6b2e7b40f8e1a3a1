// The old/new comparison table: how a result is grouped into paragraph rows, and the whole
// word/document.xml and HTML page of a small revision against tests/data/report/table.*. A
// mismatch writes table.actual.* beside the golden file; UPDATE_GOLDEN=1 makes the actual output
// the expected one.
#include "Comparison.h"
#include "ComparisonTable.h"
#include "Cp932Codec.h"
#include "DocxTable.h"
#include "HtmlReport.h"
#include "Progress.h"
#include "TableTestText.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kivo::report {
namespace {

using test::Sjis;

/// The rows of comparing old (left) with new (right), one line a paragraph.
std::vector<TableRow> Table(std::string_view oldText, std::string_view newText,
                            bool omitSame = false, bool moves = false)
{
    RichOptions options;
    options.ViewMove = moves ? 1 : 0;
    ProgressModel progress;
    Comparison comparison(options, progress);
    comparison.RunToCompletion(Sjis(oldText), Sjis(newText));
    std::string error;
    auto rows =
        BuildTable(comparison.Results(), comparison.TakeParagraphEnds(),
                   moves ? &comparison.Moves() : nullptr, omitSame, Cp932Codec::Shared(), error);
    EXPECT_TRUE(rows) << error;
    return rows.value_or(std::vector<TableRow>{});
}

/// A cell as text: paragraphs joined by '|', marked runs in [ ] (underline) or [[ ]] (double).
std::string CellText(const TableCell &cell)
{
    std::string out;
    for (const TableParagraph &paragraph : cell) {
        if (&paragraph != &cell.front())
            out += '|';
        for (const StyledRun &run : paragraph) {
            switch (MarkOf(run)) {
            case TableMark::None:
                out += run.text;
                break;
            case TableMark::Underline:
                out += "[" + run.text + "]";
                break;
            case TableMark::Double:
                out += "[[" + run.text + "]]";
                break;
            }
        }
    }
    return out;
}

/// Rows as "remark new / old" lines.
std::vector<std::string> Rows(const std::vector<TableRow> &rows)
{
    std::vector<std::string> out;
    for (const TableRow &row : rows)
        out.push_back(std::string(RemarkOf(row.kind)) + CellText(row.sides[1]) + " / " +
                      CellText(row.sides[0]));
    return out;
}

TEST(ComparisonTable, RowsFollowTheParagraphsOfBothTexts)
{
    struct Case {
        const char *what;
        const char *oldText;
        const char *newText;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {"one row per paragraph; blank lines make no row",
         "甲は乙。\r\r丙は丁。",
         "甲は乙。\r\r丙は戊。",
         {"甲は乙。 / 甲は乙。", "(変更)丙は[戊]。 / 丙は[丁]。"}},
        {"a paragraph split in two stays in one row",
         "一の文。二の文。\r次。",
         "一の文。\r二の文。\r次。",
         {"(変更)一の文。|二の文。 / 一の文。二の文。", "次。 / 次。"}},
        {"two paragraphs joined stay in one row",
         "一の文。\r二の文。\r次。",
         "一の文。二の文。\r次。",
         {"(変更)一の文。二の文。 / 一の文。|二の文。", "次。 / 次。"}},
        {"an added paragraph has an empty old side, a deleted one an empty new side",
         "前。\r甲乙。\r中。\r後。",
         "前。\r中。\r丙丁戊。\r後。",
         {"前。 / 前。", "(削除) / [甲乙。]", "中。 / 中。", "(新設)[丙丁戊。] / ", "後。 / 後。"}},
        {"line breaks inside a sentence break its paragraph; CR LF is one",
         "見出し\r\n本文。",
         "見出し\r\n本文です。",
         {"(変更)見出し|本文[です]。 / 見出し|本文。"}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(Rows(Table(c.oldText, c.newText)), c.rows) << c.what;
    }
}

TEST(ComparisonTable, OmitsRunsOfUnchangedRowsAndDoubleUnderlinesMoves)
{
    EXPECT_EQ(Rows(Table("一。\r二。\r三。\r四。\r五。", "一。\r二。\r三。\r四です。\r五。", true)),
              (std::vector<std::string>{"（略） / （略）", "(変更)四[です]。 / 四。",
                                        "（略） / （略）"}));
    EXPECT_EQ(Rows(Table("動く文。\r残る。", "残る。\r動く文。", false, true)),
              (std::vector<std::string>{"(新設)[[残る。]] / ", "動く文。 / 動く文。",
                                        "(削除) / [[残る。]]"}));
}

TEST(ComparisonTable, HeadingPresetsAreFoundFromTheirTexts)
{
    EXPECT_EQ(PresetOf("改正後", "改正前"), TableHeadings::Revision);
    EXPECT_EQ(PresetOf("新", "旧"), TableHeadings::NewOld);
    EXPECT_EQ(PresetOf("改正案", "現行"), TableHeadings::Draft);
    EXPECT_EQ(PresetOf("旧", "新"), TableHeadings::Own);
    TableOptions own;
    own.headings = TableHeadings::Own;
    own.ownHeadings = {"案", "原"};
    EXPECT_EQ(NewOldHeadings(own), (std::array<std::string, 2>{"案", "原"}));
}

TEST(DocxTable, RunTextEscapesAndKeepsTabs)
{
    std::string out;
    AppendDocxRunText(out, "a<b>&\"c\"\td\x01\xFF");
    EXPECT_EQ(out, "<w:t xml:space=\"preserve\">a&lt;b&gt;&amp;&quot;c&quot;</w:t><w:tab/>"
                   "<w:t xml:space=\"preserve\">d␁\uFFFD</w:t>");
}

void ExpectGolden(const std::string &actualText, const std::filesystem::path &golden)
{
    namespace fs = std::filesystem;
    const fs::path actual =
        fs::path(golden).replace_extension(".actual" + golden.extension().string());
    std::ostringstream expected;
    expected << std::ifstream(golden, std::ios::binary).rdbuf();
    if (actualText == expected.str()) {
        fs::remove(actual);
        return;
    }
    std::ofstream(std::getenv("UPDATE_GOLDEN") ? golden : actual, std::ios::binary) << actualText;
    if (!std::getenv("UPDATE_GOLDEN"))
        ADD_FAILURE() << "the table differs from " << golden << "; see " << actual;
}

TEST(ComparisonTable, SmallRevisionMatchesGolden)
{
    const std::vector<TableRow> rows = Table(test::kTableOldText, test::kTableNewText, true, true);
    TableOptions options = test::GoldenTableOptions();
    const TableFont font{"IPAMincho", 10.5};
    const RichOptions colours;
    for (const DocxPart &part : DocxTableParts(rows, options, font, colours)) {
        if (std::string_view(part.name) == "word/document.xml")
            ExpectGolden(part.xml, KIVO_TABLE_GOLDEN_DOCX);
    }
    ExpectGolden(FormatHtmlTable(rows, options, font, colours), KIVO_TABLE_GOLDEN_HTML);
}

} // namespace
} // namespace kivo::report
