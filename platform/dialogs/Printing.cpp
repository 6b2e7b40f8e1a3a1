#include "platform/dialogs/Printing.h"

#include "platform/files/Profile.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTextDocument>
#include <QTextFrame>

#include <utility>

namespace kivo {
namespace {

constexpr char kSettingsSection[] = "Settings";
constexpr char kPreviewPagesEntry[] = "PreviewPages";
constexpr double kTwipsPerInch = 1440.0;

int RunDialog(QDialog &dialog)
{
    if (CurrentPrintDialogAnswerer())
        return CurrentPrintDialogAnswerer()(dialog);
    return dialog.exec();
}

} // namespace

PrintDialogAnswerer &CurrentPrintDialogAnswerer()
{
    static PrintDialogAnswerer answerer;
    return answerer;
}

PrintSupport::PrintSupport() = default;
PrintSupport::~PrintSupport() = default;

QPrinter &PrintSupport::Printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void PrintSupport::ReadSettings(const Profile &profile)
{
    SetPreviewPages(profile.GetProfileInt(kSettingsSection, kPreviewPagesEntry, 1));
}

void PrintSupport::WriteSettings(Profile &profile) const
{
    profile.WriteProfileInt(kSettingsSection, kPreviewPagesEntry, m_previewPages);
}

bool PrintSupport::RunSetupDialog(QWidget *parent)
{
    QPageSetupDialog dialog(&Printer(), parent ? parent : QApplication::activeWindow());
    return RunDialog(dialog) == QDialog::Accepted;
}

bool PrintSupport::Print(const QTextDocument &document, const QMarginsF &margins, bool withDialog,
                         QWidget *parent)
{
    QPrinter &printer = Printer();
    if (withDialog) {
        QPrintDialog dialog(&printer, parent ? parent : QApplication::activeWindow());
        if (RunDialog(dialog) != QDialog::Accepted)
            return false;
    }
    PrintDocument(document, margins, printer);
    return true;
}

void PrintSupport::Preview(const QTextDocument &document, const QMarginsF &margins, QWidget *parent)
{
    QPrintPreviewDialog dialog(&Printer(), parent ? parent : QApplication::activeWindow());
    QObject::connect(
        &dialog, &QPrintPreviewDialog::paintRequested, &dialog,
        [&document, margins](QPrinter *printer) { PrintDocument(document, margins, *printer); });
    auto *pages = dialog.findChild<QPrintPreviewWidget *>();
    if (pages)
        pages->setViewMode(m_previewPages == 2 ? QPrintPreviewWidget::FacingPagesView
                                               : QPrintPreviewWidget::SinglePageView);
    RunDialog(dialog);
    if (pages)
        SetPreviewPages(pages->viewMode() == QPrintPreviewWidget::SinglePageView ? 1 : 2);
}

void PrintSupport::PrintDocument(const QTextDocument &document, const QMarginsF &margins,
                                 QPrinter &printer)
{
    const QMarginsF inches(margins.left() / kTwipsPerInch, margins.top() / kTwipsPerInch,
                           margins.right() / kTwipsPerInch, margins.bottom() / kTwipsPerInch);
    printer.setFullPage(false);
    printer.setPageMargins(inches, QPageLayout::Inch);

    // A copy laid out for the printer's resolution, one page of it to each printed page, so that
    // the margins are the printer's and nothing else is added (no page numbers).
    const std::unique_ptr<QTextDocument> copy(document.clone());
    copy->setDefaultFont(document.defaultFont());
    copy->documentLayout()->setPaintDevice(&printer);
    QTextFrameFormat root = copy->rootFrame()->frameFormat();
    root.setMargin(0);
    copy->rootFrame()->setFrameFormat(root);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    copy->setPageSize(page.size());
    copy->print(&printer);
}

} // namespace kivo
