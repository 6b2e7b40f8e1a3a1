#pragma once

#include "ComparisonTable.h"
#include "ResultRows.h"
#include "ResultSummary.h"
#include "RichOptions.h"

#include <array>
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {
class Cp932Codec;
class MoveTable;
} // namespace kivo

namespace kivo::report {

/// Appends text (UTF-8) HTML-escaped: & < > " ' as references, line breaks (CR, LF) as <br>,
/// control characters as visible symbols, bytes that are not UTF-8 as U+FFFD.
void AppendHtmlText(std::string &out, std::string_view utf8);

/// What a report tells about its comparison besides the rows.
struct ReportInfo {
    /// The names of the left and the right text (any bytes; what is not UTF-8 is shown as
    /// U+FFFD).
    std::array<std::string, 2> titles;
    /// When the report was made, as it is shown.
    std::string date;
    ResultSummary summary;
};

/// A moment as the report shows it: "YYYY-MM-DD HH:MM" in local time.
std::string ReportDate(std::chrono::system_clock::time_point when);

/// One self-contained UTF-8 page (inline CSS, no scripts, nothing fetched): a heading, the two
/// titles, the date, the counts of the pairs in their statuses' colours, the delimiters, rules
/// and display settings of rules; then a table with the left text in the first column and the
/// right text in the second, one row per sentence pair so that paired sentences stand level,
/// each run in the colour and effect of its status from colours, on its background colour. A
/// print style sheet keeps the colours, repeats the column heads on every page and keeps rows
/// whole where they fit. codec turns the delimiters into UTF-8.
std::string FormatHtmlReport(const std::vector<ResultRow> &rows, const RichOptions &rules,
                             const RichOptions &colours, const ReportInfo &info, Cp932Codec &codec);

/// The report of a finished result: its rows (moved sentences marked when rules show moves and
/// moves is given), its counts and FormatHtmlReport. rules are the options the comparison ran
/// with, colours the ones to draw with. Fails, setting error, only when a text is not code page
/// 932.
std::optional<std::string> MakeHtmlReport(const ResultList &results, const MoveTable *moves,
                                          const RichOptions &rules, const RichOptions &colours,
                                          std::array<std::string, 2> titles, std::string date,
                                          Cp932Codec &codec, std::string &error);

/// The old/new comparison table as one self-contained UTF-8 page: the title, then the table with
/// its header row (the new and old heads in the order of options, and 備考 with remarks), one
/// row per TableRow, each paragraph of a cell on its own line. Marks are black underlines
/// (double for moved sentences), or the colours and effects of colours with options.colours.
/// The text is in font; a print style sheet lays the page out on A4 landscape with margins of
/// 20 mm, thin black borders, the shaded header row repeated on every page.
std::string FormatHtmlTable(const std::vector<TableRow> &rows, const TableOptions &options,
                            const TableFont &font, const RichOptions &colours);

} // namespace kivo::report
