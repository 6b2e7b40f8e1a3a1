#pragma once

class QWidget;

namespace kivo {

namespace report {
struct TableOptions;
}

class CRichDoc;
class ComparisonDriver;
struct RichOptions;

/// Whether the result shown can be exported: no comparison runs, the last one ran to its end,
/// and both windows of the document still show its result.
bool CanExportReport(const ComparisonDriver &driver, const CRichDoc *document);

/// The export command: asks for the file (proposing an .html name made of the two windows'
/// names, beside the left file), writes the HTML report of the last comparison there in one
/// step that never leaves a half-written file, and reports a failure with the file messages.
/// The report takes the windows' titles, the rules the comparison ran with and the colours and
/// effects of options. Does nothing unless CanExportReport.
void ExportReport(const ComparisonDriver &driver, const RichOptions &options,
                  const CRichDoc *document, QWidget *parent);

/// The old/new comparison table command: asks for the table's options (kept in tableOptions on
/// OK), then for the file (proposing "LEFT-RIGHT 新旧対照表.docx" beside the left file; a name
/// ending in .html or .htm gives the HTML page, any other a .docx), and writes the table of the
/// last comparison there like the report. The new text is the right window's. The text takes the
/// windows' font, and with colours the colours and effects of options. Does nothing unless
/// CanExportReport.
void ExportTable(const ComparisonDriver &driver, const RichOptions &options,
                 report::TableOptions &tableOptions, const CRichDoc *document, QWidget *parent);

} // namespace kivo
