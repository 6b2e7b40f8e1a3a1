#pragma once

#include "platform/dialogs/ScopedAnswerer.h"

#include <QMarginsF>

#include <functional>
#include <memory>

class QDialog;
class QPrinter;
class QTextDocument;
class QWidget;

namespace kivo {

class Profile;

/// Answers a modal dialog of printing instead of the user: returns QDialog::Accepted or
/// QDialog::Rejected. It may change the dialog's settings first.
using PrintDialogAnswerer = std::function<int(QDialog &dialog)>;

/// The answerer printing dialogs turn to; empty while the user answers them.
PrintDialogAnswerer &CurrentPrintDialogAnswerer();
/// Makes an answerer answer every printing dialog while it lives (tests use it).
using ScopedPrintDialogAnswerer = ScopedAnswerer<PrintDialogAnswerer, &CurrentPrintDialogAnswerer>;

/// The application's printer and print preview: the printer chosen last (in printer set-up or
/// the print dialog) serves every later print, and the preview shows as many pages side by side
/// as it did last time (section "Settings", value "PreviewPages", 1 or 2).
class PrintSupport {
public:
    PrintSupport();
    ~PrintSupport();
    PrintSupport(const PrintSupport &) = delete;
    PrintSupport &operator=(const PrintSupport &) = delete;

    /// The printer that prints are made on; made on first use.
    QPrinter &Printer();

    /// Pages shown side by side in the preview: 1 or 2.
    int PreviewPages() const { return m_previewPages; }
    void SetPreviewPages(int pages) { m_previewPages = pages == 2 ? 2 : 1; }
    void ReadSettings(const Profile &profile);
    void WriteSettings(Profile &profile) const;

    /// The printer set-up dialog; its choices stay for the next print.
    bool RunSetupDialog(QWidget *parent);
    /// Prints the document: after the print dialog (false when it is cancelled), or directly on
    /// the current printer. margins are in twips (1/1440 inch) on every side of the page.
    bool Print(const QTextDocument &document, const QMarginsF &margins, bool withDialog,
               QWidget *parent);
    /// Shows the print preview of the document, modal; printing from it prints on the printer.
    void Preview(const QTextDocument &document, const QMarginsF &margins, QWidget *parent);

    /// Lays the document out on the printer's pages inside the margins (twips) and prints it in
    /// its own colours and effects. The document itself is not changed.
    static void PrintDocument(const QTextDocument &document, const QMarginsF &margins,
                              QPrinter &printer);

private:
    std::unique_ptr<QPrinter> m_printer;
    int m_previewPages = 1;
};

} // namespace kivo
