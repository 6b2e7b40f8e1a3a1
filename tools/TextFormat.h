#pragma once

#include "ResultRows.h"
#include "RichOptions.h"

#include <string>
#include <vector>

namespace kivo::cli {

using report::ResultRow;
using report::RowKind;
using report::RunsOf;
using report::StyledRun;

struct TextLayout {
    int width = 80;     ///< columns of the whole view, both sides and the gutter between them
    bool color = false; ///< ANSI colours and effects for the runs
};

/// A side-by-side view for a terminal. Each row shows the left text in a column padded to half
/// the width, a one-character mark (blank: same, '|': changed, '<': left only, '>': right only)
/// and the right text; texts wrap at the column width and break at their own line breaks, and
/// full-width characters count two columns. Rows are separated by a blank line. With colour, each
/// run takes the colour and effect of its status from options (the Original colour is left to
/// the terminal). Control characters are shown as visible symbols, never sent to the terminal.
std::string FormatText(const std::vector<ResultRow> &rows, const RichOptions &options,
                       const TextLayout &layout);

} // namespace kivo::cli
