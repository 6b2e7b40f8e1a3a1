// The .docx of a comparison table read back by Kivo's own .docx reader: the table's text in
// reading order (title, heads, each cell's paragraphs, the remarks), underlined exactly where the
// table marks changes, in both the default column order and with the old text left.
#include "Comparison.h"
#include "Cp932Codec.h"
#include "DocxTable.h"
#include "Progress.h"
#include "TableTestText.h"
#include "TestText.h"
#include "WordFile.h"

#include <gtest/gtest.h>

namespace kivo::report {
namespace {

/// A table's text as the reader gives it: one line per paragraph, marked text in [ ].
std::string Expected(const std::vector<TableRow> &rows, const TableOptions &options)
{
    const auto heads = NewOldHeadings(options);
    const std::size_t first = options.oldLeft ? 0 : 1;
    std::string out = options.title + "\n" + heads[options.oldLeft ? 1 : 0] + "\n" +
                      heads[options.oldLeft ? 0 : 1] + "\n" + res::kTableRemarks + "\n";
    const auto cell = [&out](const TableCell &paragraphs) {
        if (paragraphs.empty())
            out += "\n";
        for (const TableParagraph &paragraph : paragraphs) {
            for (const StyledRun &run : paragraph)
                out += MarkOf(run) == TableMark::None ? run.text : "[" + run.text + "]";
            out += "\n";
        }
    };
    for (const TableRow &row : rows) {
        cell(row.sides[first]);
        cell(row.sides[1 - first]);
        out += std::string(RemarkOf(row.kind)) + "\n";
    }
    return out;
}

/// The runs read back as text, underlined runs in [ ]. A paragraph's end takes the format of
/// the text before it, so it is moved out of the brackets.
std::string ReadBack(const rtf::Runs &runs)
{
    std::string out;
    for (const rtf::TextRun &run : runs) {
        if (!run.format.underline) {
            out += run.text;
            continue;
        }
        const std::size_t end = run.text.find_last_not_of('\n') + 1;
        out += "[" + run.text.substr(0, end) + "]" + run.text.substr(end);
    }
    return out;
}

TEST(TableReadBack, TextAndUnderlinesComeBack)
{
    RichOptions rules;
    rules.ViewMove = 1;
    ProgressModel progress;
    Comparison comparison(rules, progress);
    comparison.RunToCompletion(test::Sjis(test::kTableOldText), test::Sjis(test::kTableNewText));
    std::string error;
    const auto rows = BuildTable(comparison.Results(), comparison.TakeParagraphEnds(),
                                 &comparison.Moves(), false, Cp932Codec::Shared(), error);
    ASSERT_TRUE(rows) << error;
    for (const bool oldLeft : {false, true}) {
        TableOptions options = test::GoldenTableOptions();
        options.oldLeft = oldLeft;
        const auto bytes =
            WriteDocxTable(*rows, options, TableFont{"IPAMincho", 10.5}, RichOptions{}, error);
        ASSERT_TRUE(bytes) << error;
        FileReason why = FileReason::Other;
        const auto runs = wordfile::Read(*bytes, why);
        ASSERT_TRUE(runs) << static_cast<int>(why);
        EXPECT_EQ(ReadBack(*runs), Expected(*rows, options)) << "old left: " << oldLeft;
    }
}

} // namespace
} // namespace kivo::report
