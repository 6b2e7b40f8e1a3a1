#include "app/ReportExport.h"

#include "ComparisonTable.h"
#include "Cp932Codec.h"
#include "HtmlReport.h"
#include "app/TableDlg.h"
#include "driver/ComparisonDriver.h"
#include "platform/files/AtomicFile.h"
#include "platform/dialogs/FileDialog.h"
#include "platform/files/FileMessage.h"
#include "platform/framework/MdiChildWnd.h"
#include "platform/dialogs/MessageBox.h"
#include "resources/ReportText.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"
#include "views/RichDoc.h"
#include "views/RichView.h"

#include <QDir>
#include <QFileInfo>

#include <array>
#include <chrono>
#include <new>

namespace kivo {
namespace {

using namespace res;

constexpr std::size_t kSideCount = kSides.size();

/// The titles of the left and the right window: a file's path, or "Untitled1" and "Untitled2".
PerSide<QString> WindowTitles(const CRichDoc &document)
{
    PerSide<QString> titles;
    for (const CRichView *view : document.RichViews()) {
        const int pane = view->PaneNumber();
        if (pane >= 1 && pane <= static_cast<int>(kSideCount) && view->ParentFrame())
            titles[static_cast<std::size_t>(pane - 1)] = view->ParentFrame()->Title();
    }
    return titles;
}

/// "LEFT-RIGHT.html" from the two windows' names, in the left file's folder when it has one.
QString ProposedName(const PerSide<QString> &titles)
{
    const QFileInfo left(QDir::fromNativeSeparators(titles[0]));
    const QFileInfo right(QDir::fromNativeSeparators(titles[1]));
    QString name =
        left.completeBaseName() + u'-' + right.completeBaseName() + QStringLiteral(".html");
    return left.isAbsolute() ? left.dir().filePath(name) : name;
}

/// "LEFT-RIGHT 新旧対照表.docx" from the two windows' names, in the left file's folder when it
/// has one.
QString ProposedTableName(const PerSide<QString> &titles)
{
    const QFileInfo left(QDir::fromNativeSeparators(titles[0]));
    const QFileInfo right(QDir::fromNativeSeparators(titles[1]));
    QString name = left.completeBaseName() + u'-' + right.completeBaseName() + u' ' +
                   QString::fromUtf8(res::kTableTitle) + QStringLiteral(".docx");
    return left.isAbsolute() ? left.dir().filePath(name) : name;
}

/// Whether a chosen name asks for the HTML page rather than a .docx.
bool IsHtmlName(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.compare(QStringLiteral("html"), Qt::CaseInsensitive) == 0 ||
           suffix.compare(QStringLiteral("htm"), Qt::CaseInsensitive) == 0;
}

/// Shows a failure to write path with the file messages.
void ReportSaveFailure(const QString &path, const FileError &failure, QWidget *parent)
{
    ShowMessageBox(FileErrorMessage(FileAction::Save, path, failure), MB_OK | MB_ICONEXCLAMATION,
                   parent);
}

std::optional<QString> AskForFile(const PerSide<QString> &titles, QWidget *parent)
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = LoadString(IDS_SAVE_FILE);
    request.filters = {{LoadString(IDS_REPORT_FILTER), QStringLiteral("*.html;*.htm")},
                       {LoadString(IDS_ALL_FILTER), QStringLiteral("*.*")}};
    request.defaultSuffix = QStringLiteral("html");
    request.proposedName = ProposedName(titles);
    std::optional<QString> path = RunFileDialog(request, parent);
    if (path && path->isEmpty())
        path.reset();
    return path;
}

} // namespace

bool CanExportReport(const ComparisonDriver &driver, const CRichDoc *document)
{
    if (driver.IsRunning() || !driver.LastResult() || !document)
        return false;
    const std::vector<CRichView *> views = document->RichViews();
    return views.size() == kSideCount && views[0]->ResultNumber() != 0 &&
           views[0]->ResultNumber() == views[1]->ResultNumber();
}

void ExportReport(const ComparisonDriver &driver, const RichOptions &options,
                  const CRichDoc *document, QWidget *parent)
{
    if (!CanExportReport(driver, document))
        return;
    const PerSide<QString> titles = WindowTitles(*document);
    const std::optional<QString> path = AskForFile(titles, parent);
    if (!path)
        return;
    const FinishedResult &result = *driver.LastResult();
    FileError failure;
    try {
        std::string error;
        const std::optional<std::string> page = report::MakeHtmlReport(
            result.records, &result.moves, result.options, options,
            {titles[0].toUtf8().toStdString(), titles[1].toUtf8().toStdString()},
            report::ReportDate(std::chrono::system_clock::now()), Cp932Codec::Shared(), error);
        if (page && SaveFileAtomically(*path, *page, &failure))
            return;
    } catch (const std::bad_alloc &) {
        failure = FileError{0, {}, FileReason::OutOfMemory};
    }
    ReportSaveFailure(*path, failure, parent);
}

void ExportTable(const ComparisonDriver &driver, const RichOptions &options,
                 report::TableOptions &tableOptions, const CRichDoc *document, QWidget *parent)
{
    if (!CanExportReport(driver, document) || !RunTableOptions(tableOptions, parent))
        return;
    const PerSide<QString> titles = WindowTitles(*document);
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = LoadString(IDS_SAVE_FILE);
    request.filters = {{LoadString(IDS_DOCX_FILTER), QStringLiteral("*.docx")},
                       {LoadString(IDS_REPORT_FILTER), QStringLiteral("*.html")},
                       {LoadString(IDS_ALL_FILTER), QStringLiteral("*.*")}};
    request.defaultSuffix = QStringLiteral("docx");
    request.suffixFollowsType = true;
    request.proposedName = ProposedTableName(titles);
    const std::optional<QString> path = RunFileDialog(request, parent);
    if (!path || path->isEmpty())
        return;
    const FinishedResult &result = *driver.LastResult();
    FileError failure;
    try {
        std::string error;
        const std::optional<std::string> bytes = report::MakeComparisonTable(
            result.records, result.paragraphEnds, &result.moves, result.options, options,
            tableOptions, IsHtmlName(*path) ? report::TableFormat::Html : report::TableFormat::Docx,
            Cp932Codec::Shared(), error);
        if (bytes && SaveFileAtomically(*path, *bytes, &failure))
            return;
    } catch (const std::bad_alloc &) {
        failure = FileError{0, {}, FileReason::OutOfMemory};
    }
    ReportSaveFailure(*path, failure, parent);
}

} // namespace kivo
