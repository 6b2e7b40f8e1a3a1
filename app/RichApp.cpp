#include "app/RichApp.h"

#include "RichEditCtrl.h"
#include "app/AboutDlg.h"
#include "app/ChildFrame.h"
#include "app/HistoryDlg.h"
#include "app/MainFrame.h"
#include "app/QtTranslations.h"
#include "app/ReportExport.h"
#include "app/Session.h"
#include "app/SettingsStore.h"
#include "app/StartupReport.h"
#include "dialogs/ColorDlg.h"
#include "dialogs/FontCommand.h"
#include "dialogs/SetupDlg.h"
#include "platform/dialogs/MessageBox.h"
#include "platform/dialogs/Printing.h"
#include "platform/files/Clipboard.h"
#include "platform/files/FileDrop.h"
#include "platform/files/Profile.h"
#include "platform/files/RecentFileList.h"
#include "platform/framework/Document.h"
#include "resources/Dialogs.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"
#include "views/RichDoc.h"
#include "views/RichView.h"
#include "views/ScrollSync.h"

#include <QPointer>
#include <QScreen>
#include <QTextDocument>

namespace kivo {
namespace {

using namespace res;

// Company key of the settings store.
constexpr char16_t kCompany[] = u"Velmora";

// Environment variable naming a file that receives the window layout once start-up is done.
constexpr char kStartupReportVariable[] = "KIVO_SMOKE_REPORT";

/// Runs open with its message boxes held back in messages instead of shown; returns what open
/// returns.
template <typename Open> bool HoldingMessages(std::vector<MessageBoxRequest> &messages, Open open)
{
    const ScopedMessageBoxAnswerer hold([&messages](const MessageBoxRequest &request) {
        messages.push_back(request);
        return IDOK;
    });
    return open();
}

} // namespace

CRichApp::CRichApp(QStringList arguments) : m_arguments(std::move(arguments))
{
    m_template.menuId = IDR_RICHTYPE;
    m_template.createDocument = [this] {
        auto *document = new CRichDoc(m_options);
        m_comparison.AddDocument(document);
        return document;
    };
    m_template.createFrame = [] { return new CChildFrame; };
    m_template.createView = [this] { return new CRichView(new RichEditCtrl, m_options); };
    AddHandlers();
}

CRichApp::~CRichApp()
{
    // The main frame refers to the options: it goes while they are still there.
    delete MainWnd();
}

void CRichApp::AddHandlers()
{
    OnCommand(ID_FILE_NEW, [this] { OnFileNew(); });
    OnCommand(ID_APP_ABOUT, [this] {
        CAboutDlg dialog(MainWnd());
        dialog.exec();
    });
    OnCommand(ID_COMPARE_WHOLE, [this] { StartComparison(true); });
    OnCommand(ID_COMPARE_SELECTION, [this] { StartComparison(false); });
    OnCommand(ID_FILE_HISTORY, [this] { OnFileHistory(); });
    OnUpdateCommand(ID_FILE_HISTORY, [this](CmdUI &ui) {
        ui.Enable(m_session && !Driver().IsRunning() && ActiveRichDoc() &&
                  ActiveRichDoc()->ActiveRichView());
    });
    OnCommand(ID_COMPARE_SETTINGS, [this] {
        const SettingsChange change = RunComparisonSettings(m_options, MainWnd());
        if (change.delimitersChanged && MainFrame())
            MainFrame()->FillDelimiterBox();
        if (change)
            KeepSession(false);
    });
    OnCommand(ID_COLOR_SETTINGS, [this] {
        RunColorSettings(m_options, MainWnd() ? MainWnd()->ActiveDocument() : nullptr, MainWnd());
    });
    OnCommand(ID_FORMAT_FONT, [this] {
        ChangeDisplayFont(m_options, MainWnd() ? MainWnd()->ActiveDocument() : nullptr, MainWnd());
    });
    OnCommand(ID_APP_EXIT, [this] {
        if (MainWnd())
            MainWnd()->close();
    });
    OnCommand(ID_FILE_PRINT_SETUP, [this] { Printing().RunSetupDialog(MainWnd()); });
    OnCommand(ID_EXPORT_REPORT,
              [this] { ExportReport(Driver(), m_options, ActiveRichDoc(), MainWnd()); });
    OnUpdateCommand(ID_EXPORT_REPORT,
                    [this](CmdUI &ui) { ui.Enable(CanExportReport(Driver(), ActiveRichDoc())); });
    OnCommand(ID_COMPARISON_TABLE, [this] {
        ExportTable(Driver(), m_options, m_tableOptions, ActiveRichDoc(), MainWnd());
    });
    OnUpdateCommand(ID_COMPARISON_TABLE,
                    [this](CmdUI &ui) { ui.Enable(CanExportReport(Driver(), ActiveRichDoc())); });
    for (int k = 0; k < kRecentFileCount; ++k) {
        OnCommand(ID_FILE_MRU_FILE1 + k, [this, k] { OnOpenRecentFile(k); });
        OnUpdateCommand(ID_FILE_MRU_FILE1 + k,
                        [this](CmdUI &ui) { ui.Enable(!Driver().IsRunning()); });
    }
}

CMainFrame *CRichApp::MainFrame() const
{
    return static_cast<CMainFrame *>(MainWnd());
}

bool CRichApp::InitInstance()
{
    InstallJapaneseTranslations();

    SetRegistryKey(QString::fromUtf16(kCompany));
    LoadSettings();
    LoadStdProfileSettings(kRecentFileCount);

    auto *frame = new CMainFrame(*this);
    if (!frame->Create()) {
        delete frame;
        return false;
    }
    SetMainWnd(frame);
    // Files dropped on the main window outside the text windows, which take their own.
    auto *drop = new FileDrop(frame);
    connect(drop, &FileDrop::filesDropped, this, &CRichApp::OnFilesDropped);

    if (!ProcessCommandLine())
        return false;
    // Without files to open, the windows come back as the last run left them.
    KeepSession(ParseCommandLine(m_arguments).left.isEmpty());
    frame->UpdateCmdUI();

    if (m_options.ShowMaximized) {
        // Where no window manager maximises windows, the window still fills the screen.
        if (const QScreen *screen = frame->screen())
            frame->setGeometry(screen->availableGeometry());
        frame->showMaximized();
    } else
        frame->show();
    if (m_compareAtStart)
        StartComparison(true);
    return true;
}

int CRichApp::ExitInstance()
{
    Driver().StopForExit();
    if (m_session && m_options.RestoreSession != 0)
        m_session->WriteNow();
    else if (m_session)
        m_session->Discard();
    SaveSettings();
    // The framework's part stores the recent-file list after the options.
    return WinApp::ExitInstance();
}

bool CRichApp::OnIdle(long count)
{
    const bool more = WinApp::OnIdle(count);
    if (count == 0 && !m_reported && MainWnd() && MainWnd()->isVisible()) {
        m_reported = true;
        // Take the keyboard once the window is up: without a window manager nobody else gives
        // it, and the menus' mnemonics (Alt+letter) only reach the active window.
        MainWnd()->activateWindow();
        ShowStartupMessages();
        WriteStartupReport();
    }
    if (more)
        return true;
    return m_comparison.RunSlice();
}

void CRichApp::StartComparison(bool wholeText)
{
    if (m_comparison.StartComparison(wholeText))
        KickIdle();
}

void CRichApp::ShowStartupMessages()
{
    const std::vector<MessageBoxRequest> messages = std::exchange(m_startupMessages, {});
    for (const MessageBoxRequest &message : messages)
        ShowMessageBox(message.text, message.flags, MainWnd());
}

void CRichApp::WriteStartupReport()
{
    const QByteArray path = qgetenv(kStartupReportVariable);
    if (!path.isEmpty())
        WriteWindowReport(*MainFrame(), QString::fromLocal8Bit(path));
}

void CRichApp::OnFileNew()
{
    CMainFrame *frame = MainFrame();
    int count = frame->CountTextWindows();
    if (count == 0) {
        ScrollSync(m_options).Stop();
        if (!frame->OpenNewDocument(m_template))
            return;
        count = 1;
    }
    const bool newDocument = count == 1;
    if (count == 1) {
        ScrollSync(m_options).Stop();
        Document *document = frame->ActiveDocument();
        if (!document) {
            ShowMessageBox(IDP_COMMAND_FAILURE, MB_OK | MB_ICONEXCLAMATION, frame);
            return;
        }
        frame->CreateNewWindow(m_template, *document);
    }
    frame->TileSideBySide();
    // The windows of a new document are kept between runs as the last ones were.
    if (newDocument && m_session)
        m_session->Watch(ActiveRichDoc());
}

void CRichApp::LoadSettings()
{
    kivo::LoadSettings(GetProfile(), m_options);
    kivo::LoadTableSettings(GetProfile(), m_tableOptions);
}

void CRichApp::SaveSettings()
{
    kivo::SaveSettings(GetProfile(), m_options);
    kivo::SaveTableSettings(GetProfile(), m_tableOptions);
}

// --- Files ------------------------------------------------------------------------------------

Document *CRichApp::OpenDocumentFile(const QString &path)
{
    CMainFrame *frame = MainFrame();
    if (!frame)
        return nullptr;
    if (frame->CountTextWindows() < 2)
        OnFileNew();
    CRichDoc *document = ActiveRichDoc();
    if (!document)
        return nullptr;
    ScrollSync(m_options).Stop();
    document->OpenIntoActiveView(path);
    return document;
}

void CRichApp::OnOpenRecentFile(int index)
{
    CMainFrame *frame = MainFrame();
    RecentFileList *list = RecentFiles();
    if (!frame || !list || Driver().IsRunning() || index < 0 || index >= list->Size())
        return;
    auto *document = qobject_cast<CRichDoc *>(frame->ActiveDocument());
    if (!frame->ActiveView() || !document)
        return;
    // A copy: a successful open moves the entry to the front.
    const QString path = list->Paths()[index];
    if (document->OpenIntoActiveView(path))
        ScrollSync(m_options).Stop();
    else
        list->Remove(list->Paths().indexOf(path));
}

void CRichApp::OnFilesDropped(const QStringList &paths)
{
    if (Driver().IsRunning())
        return;
    if (MainWnd())
        MainWnd()->activateWindow();
    for (const QString &path : paths)
        OpenDocumentFile(path);
    if (MainFrame())
        MainFrame()->UpdateCmdUI();
}

bool CRichApp::OpenIntoPane(int paneNumber, const QString &path)
{
    CMainFrame *frame = MainFrame();
    for (MdiChildWnd *child : frame->Children()) {
        const auto *pane = qobject_cast<const CChildFrame *>(child);
        if (!pane || pane->paneNumber != paneNumber)
            continue;
        frame->ActivateChild(child);
        auto *document = qobject_cast<CRichDoc *>(frame->ActiveDocument());
        return document && document->OpenIntoActiveView(path);
    }
    return false;
}

void CRichApp::OnFileHistory()
{
    if (!m_session)
        return;
    const std::vector<Session::HistoryEntry> entries = m_session->History();
    QStringList rows;
    for (const Session::HistoryEntry &entry : entries)
        rows << entry.time.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) +
                    QStringLiteral("    ") + entry.title;
    if (rows.isEmpty()) {
        ShowMessageBox(IDS_NO_HISTORY, MB_OK | MB_ICONINFORMATION, MainWnd());
        return;
    }
    if (const std::optional<int> row = ChooseHistoryEntry(rows, MainWnd()))
        OpenHistoryEntry(entries[std::size_t(*row)]);
}

bool CRichApp::OpenHistoryEntry(const Session::HistoryEntry &entry)
{
    CRichDoc *document = ActiveRichDoc();
    CRichView *view = document ? document->ActiveRichView() : nullptr;
    if (!view || Driver().IsRunning())
        return false;
    TextSnapshot kept;
    kept.text = std::make_unique<QTextDocument>();
    kept.title = entry.title;
    if (!Session::ReadHistory(entry, *kept.text)) {
        ShowMessageBox(IDS_HISTORY_UNREADABLE, MB_OK | MB_ICONEXCLAMATION, MainWnd());
        return false;
    }
    view->OpenSnapshot(kept);
    ScrollSync(m_options).Stop();
    return true;
}

void CRichApp::KeepSession(bool restore)
{
    if (m_options.RestoreSession == 0) {
        if (m_session)
            m_session->Discard();
        m_session.reset();
        return;
    }
    if (m_session)
        return;
    m_session = std::make_unique<Session>();
    CRichDoc *document = ActiveRichDoc();
    // A start that names files begins a session of its own and leaves the last one on disk.
    const std::optional<QString> last = m_session->Claim(restore);
    if (restore && last && document) {
        QString error;
        if (!m_session->Restore(*last, *document, &error))
            m_startupMessages.push_back({{}, error, MB_OK | MB_ICONEXCLAMATION});
    }
    m_session->Watch(document);
    m_session->ScheduleWrite(Session::kEditDelayMs);
}

bool CRichApp::ProcessCommandLine()
{
    const CommandLine line = ParseCommandLine(m_arguments);
    if (!line.error.isEmpty() || line.help)
        return false;
    if (line.left.isEmpty()) {
        OnFileNew();
        return true;
    }
    // What goes wrong with the files is told once the main window is up, over it, in the order
    // of the files.
    if (line.right.isEmpty()) {
        HoldingMessages(m_startupMessages, [&] { return OpenDocumentFile(line.left) != nullptr; });
        return true;
    }
    OnFileNew();
    ScrollSync(m_options).Stop();
    // The right window is loaded first, so that the left one ends up the active one.
    std::vector<MessageBoxRequest> rightMessages;
    const bool right = HoldingMessages(rightMessages, [&] { return OpenIntoPane(2, line.right); });
    const bool left =
        HoldingMessages(m_startupMessages, [&] { return OpenIntoPane(1, line.left); });
    m_startupMessages.insert(m_startupMessages.end(), rightMessages.begin(), rightMessages.end());
    // The comparison starts only when both texts are there.
    m_compareAtStart = line.compare && left && right;
    return true;
}

} // namespace kivo
