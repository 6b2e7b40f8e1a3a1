#pragma once

#include "ResultRows.h"
#include "RichOptions.h"

#include <string>
#include <string_view>
#include <vector>

namespace kivo::cli {

/// Appends text (UTF-8) HTML-escaped: & < > " ' as references, line breaks (CR, LF) as <br>,
/// control characters as visible symbols.
void AppendHtmlText(std::string &out, std::string_view utf8);

/// One self-contained UTF-8 page with inline CSS: a table with the left text in the first column
/// and the right text in the second, one row per sentence pair, each run in the colour and
/// effect of its status from options, on the background colour. leftName and rightName head the
/// columns (any bytes; what is not UTF-8 is shown as U+FFFD).
std::string FormatHtml(const std::vector<ResultRow> &rows, const RichOptions &options,
                       std::string_view leftName, std::string_view rightName);

} // namespace kivo::cli
