// Unit tests of the tool's pieces: argument parsing, JSON escaping and the side-by-side text
// layout.

#include "CompareArguments.h"
#include "RecordsFormat.h"
#include "TextFormat.h"

#include <gtest/gtest.h>

namespace kivo::cli {
namespace {

using namespace std::string_literals;

std::string Json(std::string_view text)
{
    std::string out;
    AppendJsonString(out, text);
    return out;
}

TEST(RecordsFormat, EscapesEveryControlCharacter)
{
    const std::string expected[0x20] = {
        R"(\u0000)", R"(\u0001)", R"(\u0002)", R"(\u0003)", R"(\u0004)", R"(\u0005)", R"(\u0006)",
        R"(\u0007)", R"(\b)",     R"(\t)",     R"(\n)",     R"(\u000b)", R"(\f)",     R"(\r)",
        R"(\u000e)", R"(\u000f)", R"(\u0010)", R"(\u0011)", R"(\u0012)", R"(\u0013)", R"(\u0014)",
        R"(\u0015)", R"(\u0016)", R"(\u0017)", R"(\u0018)", R"(\u0019)", R"(\u001a)", R"(\u001b)",
        R"(\u001c)", R"(\u001d)", R"(\u001e)", R"(\u001f)"};
    for (int c = 0; c < 0x20; ++c)
        EXPECT_EQ(Json(std::string(1, static_cast<char>(c))), expected[c]) << c;
    EXPECT_EQ(Json("\"\\/"), R"(\"\\/)");
    EXPECT_EQ(Json("\x7f é\u2028😀"), "\x7f é\u2028😀"); // everything else stays itself
}

ResultRow Row(RowKind kind, std::vector<StyledRun> left, std::vector<StyledRun> right)
{
    return ResultRow{kind, {std::move(left), std::move(right)}};
}

TEST(TextFormat, PadsByDisplayWidthAndWraps)
{
    const RichOptions options;
    // Width 23: two columns of 10 and the gutter " x ".
    const std::vector<ResultRow> rows = {
        Row(RowKind::Same, {{TextStatus::Same, "あいう"}}, {{TextStatus::Same, "あいう"}}),
        Row(RowKind::Deleted, {{TextStatus::Deleted, "abcdefghiあ\rz"}}, {}),
        Row(RowKind::Added, {}, {{TextStatus::Added, "あいうえおか"}}),
    };
    EXPECT_EQ(FormatText(rows, options, {23, false}), "あいう       あいう\n"
                                                      "\n"
                                                      "abcdefghi  <\n"
                                                      "あ          \n"
                                                      "z           \n"
                                                      "\n"
                                                      "           > あいうえお\n"
                                                      "             か\n");
}

TEST(TextFormat, ColoursRunsAndNeverPassesControls)
{
    const RichOptions options;
    const std::vector<ResultRow> rows = {
        Row(RowKind::Changed, {{TextStatus::Same, "a"}, {TextStatus::Changed, "b\x1b"}},
            {{TextStatus::Same, "a"}, {TextStatus::Added, "\tc"}})};
    EXPECT_EQ(FormatText(rows, options, {23, true}), "\x1b[37ma\x1b[0m\x1b[1;31mb␛\x1b[0m        | "
                                                     "\x1b[37ma\x1b[0m\x1b[4;34m   c\x1b[0m\n");
}

std::optional<CompareArguments> Parse(std::vector<std::string_view> args, std::string &error)
{
    return ParseArguments(args, error);
}

TEST(CompareArguments, OptionsAnywhereAndBothForms)
{
    std::string error;
    const auto a = Parse({"--cmp-case", "l.txt", "--delimiters", "。\\n", "r.txt", "--format=html",
                          "--view-format", "1", "--cmp-zen", "--color", "--width=100"},
                         error);
    ASSERT_TRUE(a) << error;
    EXPECT_EQ(a->leftPath, "l.txt");
    EXPECT_EQ(a->rightPath, "r.txt");
    EXPECT_EQ(a->delimiters, "。\\n");
    EXPECT_EQ(a->cmpCase, 1);
    EXPECT_EQ(a->cmpZen, 1);
    EXPECT_EQ(a->cmpChar, 0);
    EXPECT_EQ(a->viewFormat, SentenceLayout::Unchanged);
    EXPECT_EQ(a->format, OutputFormat::Html);
    EXPECT_EQ(a->color, ColorMode::Always);
    EXPECT_EQ(a->width, 100);

    const auto dashed = Parse({"--", "--left", "-"}, error);
    ASSERT_TRUE(dashed) << error;
    EXPECT_EQ(dashed->leftPath, "--left");
    EXPECT_EQ(dashed->rightPath, "-");
}

TEST(CompareArguments, TableOptions)
{
    std::string error;
    const auto defaults = Parse({"a", "b", "--format", "docx", "-o", "t.docx"}, error);
    ASSERT_TRUE(defaults) << error;
    EXPECT_EQ(defaults->format, OutputFormat::Docx);
    EXPECT_EQ(defaults->outputPath, "t.docx");
    EXPECT_EQ(defaults->table.title, "新旧対照表");
    EXPECT_EQ(defaults->table.headings, report::TableHeadings::Revision);
    EXPECT_FALSE(defaults->table.oldLeft || defaults->table.remarks || defaults->table.omitSame ||
                 defaults->table.colours);

    const auto all = Parse({"a", "b", "--format=table-html", "--table-title", "",
                            "--table-old-left", "--table-remarks", "--table-omit-same",
                            "--table-colours", "--table-headings=改正案,現行"},
                           error);
    ASSERT_TRUE(all) << error;
    EXPECT_EQ(all->format, OutputFormat::TableHtml);
    EXPECT_EQ(all->table.title, "");
    EXPECT_EQ(all->table.headings, report::TableHeadings::Draft);
    EXPECT_TRUE(all->table.oldLeft && all->table.remarks && all->table.omitSame &&
                all->table.colours);

    const auto own = Parse({"a", "b", "--format=docx", "--table-headings", "案,原案"}, error);
    ASSERT_TRUE(own) << error;
    EXPECT_EQ(own->table.headings, report::TableHeadings::Own);
    EXPECT_EQ(own->table.ownHeadings, (std::array<std::string, 2>{"案", "原案"}));
}

TEST(CompareArguments, ErrorsNameTheOptionOnOneLine)
{
    struct Case {
        std::vector<std::string_view> args;
        const char *message;
    };
    const Case cases[] = {
        {{"a", "b", "--width", "5"}, "bad value '5' for --width"},
        {{"a", "b", "--view-format"}, "option '--view-format' needs a value"},
        {{"a", "b", "--no\nline"}, "unknown option '--no\\x0aline'"},
        {{"a", "b", "--help=1"}, "option '--help' takes no value"},
        {{"a", "b", "--table-remarks"}, "option '--table-remarks' needs --format docx"},
        {{"a", "b", "--format=docx", "--table-headings", "改正後"},
         "bad value '改正後' for --table-headings: expected two column heads"},
        {{"a", "b", "--format=docx", "--table-headings=,旧"}, "bad value ',旧'"},
        {{"a", "b", "--format=docx", "--table-remarks=1"}, "option '--table-remarks' takes no"},
        {{"a", "b", "-o"}, "option '-o' needs a value"},
        {{}, "expected two files"},
    };
    for (const Case &c : cases) {
        std::string error;
        EXPECT_FALSE(Parse(c.args, error));
        EXPECT_TRUE(error.starts_with(c.message)) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

} // namespace
} // namespace kivo::cli
