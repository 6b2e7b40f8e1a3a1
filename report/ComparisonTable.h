#pragma once

#include "ResultRows.h"
#include "RichOptions.h"
#include "Side.h"
#include "resources/ReportText.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {
class Cp932Codec;
class MoveTable;
} // namespace kivo

/// The old/new comparison table (新旧対照表): the result grouped into paragraph rows, new text
/// beside old, with the changed characters marked on both sides. The rows are built here once
/// and laid out as a .docx (DocxTable.h) or as an HTML page (HtmlReport.h).
namespace kivo::report {

/// The column heads: the presets, and the user's own pair.
enum class TableHeadings { Revision, NewOld, Draft, Own };
inline constexpr int kTableHeadingsCount = 4;

/// How a table is laid out. The defaults are those of a first run of the windows and of
/// kivo-compare without table flags. Texts are UTF-8.
struct TableOptions {
    std::string title = res::kTableTitle;
    TableHeadings headings = TableHeadings::Revision;
    /// The heads with TableHeadings::Own: the new text's first.
    std::array<std::string, 2> ownHeadings;
    /// The old text in the first column (by default the new text is there).
    bool oldLeft = false;
    /// A third column naming what each row holds.
    bool remarks = false;
    /// Runs of unchanged rows become one row reading "（略）".
    bool omitSame = false;
    /// Kivo's colours and effects of the statuses instead of black underlines.
    bool colours = false;
};

/// The heads of the new and the old column under options.
std::array<std::string, 2> NewOldHeadings(const TableOptions &options);

/// The preset whose heads are exactly newHeading and oldHeading; Own when none is.
TableHeadings PresetOf(std::string_view newHeading, std::string_view oldHeading);

/// What a row holds: the same text on both sides, a difference, text of the new or the old side
/// only, or a run of unchanged rows left out.
enum class TableRowKind { Same, Changed, NewOnly, OldOnly, Omitted };

/// A paragraph of a cell: runs of one status each. A cell is its paragraphs in order.
using TableParagraph = std::vector<StyledRun>;
using TableCell = std::vector<TableParagraph>;

/// One row: the old text (Side::Left, the left window or first file) and the new text
/// (Side::Right), each as the paragraphs that the row's sentence pairs make.
struct TableRow {
    TableRowKind kind = TableRowKind::Same;
    std::array<TableCell, 2> sides; ///< indexed by Side
};

/// How a run is marked on paper: not at all, underlined (changed, added or deleted text), or
/// double underlined (a moved sentence).
enum class TableMark { None, Underline, Double };
TableMark MarkOf(const StyledRun &run);

/// The remark of a row kind: (新設), (削除), (変更) or nothing.
std::string_view RemarkOf(TableRowKind kind);

/// Groups a result into table rows. A row ends after a sentence pair where each side either
/// ends its paragraph or has no sentence, so that a paragraph split or joined by the revision
/// stays in one row, and a sentence pair is never split. paragraphEnds says, per side and
/// sentence index, which sentences end a paragraph (an index past its end counts as one).
/// Within a cell, a paragraph break stands between sentences of different paragraphs and at
/// each line break inside a sentence; line breaks at a sentence's ends are left out, and rows
/// with nothing on either side (blank lines) are dropped. Moved sentences are marked when moves
/// is given. With omitSame, each run of rows without differences becomes one Omitted row.
/// Fails, setting error, only when a text is not code page 932.
std::optional<std::vector<TableRow>> BuildTable(const ResultList &results,
                                                const PerSide<std::vector<bool>> &paragraphEnds,
                                                const MoveTable *moves, bool omitSame,
                                                Cp932Codec &codec, std::string &error);

/// The font of the table's text: the windows' face (UTF-8; empty for the page's default) and
/// size in points.
struct TableFont {
    std::string face;
    double points = 11;
};

/// The layouts of a table.
enum class TableFormat { Docx, Html };

/// The table of a finished result in a layout: its rows (moved sentences marked when rules show
/// moves and moves is given), in the windows' font and, with options.colours, the colours and
/// effects of colours. rules are the options the comparison ran with. Fails, setting error,
/// only when a text is not code page 932 or the archive cannot be made.
std::optional<std::string> MakeComparisonTable(const ResultList &results,
                                               const PerSide<std::vector<bool>> &paragraphEnds,
                                               const MoveTable *moves, const RichOptions &rules,
                                               const RichOptions &colours,
                                               const TableOptions &options, TableFormat format,
                                               Cp932Codec &codec, std::string &error);

} // namespace kivo::report
