#pragma once

#include "ComparisonTable.h"
#include "RichOptions.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivo::report {

/// Appends text (UTF-8) as the content of a WordprocessingML run: text in <w:t>, tabs as
/// <w:tab/>, & < > escaped; control characters as visible symbols, and bytes that are not
/// UTF-8 and characters XML cannot hold as U+FFFD. Line breaks must be gone already.
void AppendDocxRunText(std::string &out, std::string_view utf8);

/// The parts of a .docx that hold the table, by name in the archive, in the order written.
struct DocxPart {
    const char *name;
    std::string xml;
};

/// Every part of the .docx of a table: the content types, the package relations, the document
/// (title, the table with its header row repeated on each page, the section: A4 landscape,
/// 20 mm margins, a footer with "- N -"), its relations, the styles (the text in font), the
/// settings and the footer. colours gives the colours and effects of the statuses when
/// options.colours is on.
std::vector<DocxPart> DocxTableParts(const std::vector<TableRow> &rows, const TableOptions &options,
                                     const TableFont &font, const RichOptions &colours);

/// The .docx file (a zip archive of DocxTableParts). Fails, setting error, only when the
/// archive cannot be made (out of memory).
std::optional<std::string> WriteDocxTable(const std::vector<TableRow> &rows,
                                          const TableOptions &options, const TableFont &font,
                                          const RichOptions &colours, std::string &error);

} // namespace kivo::report
