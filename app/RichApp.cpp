#include "app/RichApp.h"

#include "Memory.h"
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
#include "driver/dialog/ProgDlg.h"
#include "platform/files/Clipboard.h"
#include "platform/framework/Document.h"
#include "platform/files/FileDrop.h"
#include "platform/dialogs/MessageBox.h"
#include "platform/dialogs/Printing.h"
#include "platform/files/Profile.h"
#include "platform/widgets/ProgressBar.h"
#include "platform/files/RecentFileList.h"
#include "platform/widgets/StatusBar.h"
#include "resources/Dialogs.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"
#include "views/ScrollSync.h"
#include "views/RichDoc.h"
#include "views/RichView.h"
#include "views/RowLeveller.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextDocument>

#include <new>

namespace kivo {
namespace {

using namespace res;

// Company key of the settings store.
constexpr char16_t kCompany[] = u"Velmora";

// Longest run of comparison steps in one idle call.
constexpr qint64 kIdleSliceNanoseconds = 8'000'000;

// What a comparison needs per character of the two texts at its peak: the engine's sentences,
// keys and records, and the result written back into both windows with its padding and laid
// out. Measured on two 4 MB Japanese texts: 220 bytes a character when they are the same, 460
// when every sentence differs (each window then holds both texts); the larger, with room.
constexpr std::uintmax_t kComparisonBytesPerCharacter = 480;

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

/// Keeps the compared windows' edits of one idle slice of the display in one layout batch each:
/// a sentence written run by run and then padded is laid out once, when its lines are counted,
/// instead of after every run.
class DisplayBatch {
public:
    explicit DisplayBatch(const CRichDoc *document)
    {
        if (!document)
            return;
        for (CRichView *view : document->RichViews()) {
            view->Control()->BeginLayoutBatch();
            m_controls.emplace_back(view->Control());
        }
    }
    ~DisplayBatch()
    {
        for (const QPointer<RichEditCtrl> &control : m_controls)
            if (control)
                control->EndLayoutBatch();
    }
    DisplayBatch(const DisplayBatch &) = delete;
    DisplayBatch &operator=(const DisplayBatch &) = delete;

private:
    std::vector<QPointer<RichEditCtrl>> m_controls;
};

} // namespace

CRichApp::CRichApp(QStringList arguments) : m_arguments(std::move(arguments))
{
    m_template.menuId = IDR_RICHTYPE;
    m_template.createDocument = [this] {
        auto *document = new CRichDoc(m_options);
        document->SetComparing(m_driver.IsRunning());
        std::erase_if(m_documents, [](const QPointer<CRichDoc> &known) { return !known; });
        m_documents.emplace_back(document);
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
        ui.Enable(m_session && !m_driver.IsRunning() && ActiveRichDoc() &&
                  ActiveRichDoc()->ActiveRichView());
    });
    OnCommand(ID_COMPARE_SETTINGS, [this] {
        if (RunComparisonSettings(m_options, MainWnd()))
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
              [this] { ExportReport(m_driver, m_options, ActiveRichDoc(), MainWnd()); });
    OnUpdateCommand(ID_EXPORT_REPORT,
                    [this](CmdUI &ui) { ui.Enable(CanExportReport(m_driver, ActiveRichDoc())); });
    OnCommand(ID_COMPARISON_TABLE, [this] {
        ExportTable(m_driver, m_options, m_tableOptions, ActiveRichDoc(), MainWnd());
    });
    OnUpdateCommand(ID_COMPARISON_TABLE,
                    [this](CmdUI &ui) { ui.Enable(CanExportReport(m_driver, ActiveRichDoc())); });
    for (int k = 0; k < kRecentFileCount; ++k) {
        OnCommand(ID_FILE_MRU_FILE1 + k, [this, k] { OnOpenRecentFile(k); });
        OnUpdateCommand(ID_FILE_MRU_FILE1 + k,
                        [this](CmdUI &ui) { ui.Enable(!m_driver.IsRunning()); });
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
    m_driver.StopForExit();
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
    // Steps run back to back for up to a few milliseconds: a turn of the event loop costs more
    // than most steps do, and input is still served that often.
    QElapsedTimer slice;
    slice.start();
    const bool wasRunning = m_driver.IsRunning();
    // Only the display edits the windows; no other state is batched, as a message box of
    // another state would paint them in between.
    const bool displaying = m_driver.State() == CompareState::Display;
    const DisplayBatch batch(displaying ? ComparedDoc() : nullptr);
    bool comparing = true;
    try {
        comparing = m_driver.Step();
        while (comparing && slice.nsecsElapsed() < kIdleSliceNanoseconds)
            comparing = m_driver.Step();
    } catch (const std::bad_alloc &) {
        // The engine's lists outgrew the memory: the comparison ends as an abort does.
        m_driver.StopForMemory();
        ShowMessageBox(IDS_REASON_NO_MEMORY, MB_OK | MB_ICONEXCLAMATION, MainWnd());
    }
    // The commands a comparison disabled are available again at once, not at the next input.
    if (wasRunning && !m_driver.IsRunning() && MainFrame())
        MainFrame()->UpdateCmdUI();
    return comparing;
}

void CRichApp::StartComparison(bool wholeText)
{
    if (!m_driver.IsRunning())
        HideSummary();
    // The engine's lists and the result written back into the windows, for texts of two bytes
    // a character: a comparison that could not have them is not begun, since the windows end
    // the process when they run short of memory while the result goes in.
    const CRichDoc *document = ActiveRichDoc();
    if (!m_driver.IsRunning() && document &&
        !CanAllocate(document->TextCharacters() * kComparisonBytesPerCharacter)) {
        ShowMessageBox(IDS_REASON_NO_MEMORY, MB_OK | MB_ICONEXCLAMATION, MainWnd());
        return;
    }
    m_driver.StartComparison(wholeText);
    if (m_driver.IsRunning())
        KickIdle();
}

// --- The windows as the driver sees them ------------------------------------------------------

CRichDoc *CRichApp::ActiveRichDoc() const
{
    return MainWnd() ? qobject_cast<CRichDoc *>(MainWnd()->ActiveDocument()) : nullptr;
}

CRichDoc *CRichApp::ComparedDoc() const
{
    if (auto *document = qobject_cast<CRichDoc *>(m_comparedDoc.data()))
        return document;
    return ActiveRichDoc();
}

bool CRichApp::HasActiveDocument() const
{
    return ComparedDoc() != nullptr;
}

bool CRichApp::BothSelected() const
{
    const CRichDoc *document = ActiveRichDoc();
    return document && document->BothSelected();
}

IProgressWindow *CRichApp::BeginComparison()
{
    if (!m_progress.Open([this] { m_driver.RequestAbort(); }, MainWnd()))
        return nullptr;
    SetComparing(true);
    return &m_progress;
}

void CRichApp::SetComparing(bool comparing)
{
    for (const QPointer<CRichDoc> &document : m_documents) {
        if (document)
            document->SetComparing(comparing);
    }
}

PerSide<IResultView *> CRichApp::PrepareForComparison()
{
    CRichDoc *document = ActiveRichDoc();
    m_comparedDoc = document;
    if (!document)
        return {};
    PerSide<IResultView *> sides{};
    const PerSide<CRichView *> views = document->PrepareForComparison();
    for (const Side side : kSides) {
        CRichView *view = views[Index(side)];
        if (!view)
            continue;
        sides[Index(side)] = view;
        // The driver holds the view until the comparison ends: it must hear when it goes.
        m_viewWatch.push_back(connect(view, &QObject::destroyed, this,
                                      [this, taking = sides[Index(side)]] {
                                          m_driver.ViewDestroyed(taking);
                                      }));
    }
    return sides;
}

void CRichApp::EndComparison()
{
    m_progress.Close();
    for (const QMetaObject::Connection &connection : m_viewWatch)
        disconnect(connection);
    m_viewWatch.clear();
    SetComparing(false);
    if (CRichDoc *document = ComparedDoc(); document && m_driver.Summary())
        ShowSummary(*m_driver.Summary(), *document);
    m_comparedDoc = nullptr;
    // The result is kept at once: it may have taken long to make.
    if (m_session)
        m_session->ScheduleWrite(0);
}

void CRichApp::ShowSummary(const ResultSummary &summary, CRichDoc &document)
{
    HideSummary();
    if (!MainFrame() || !MainFrame()->Status())
        return;
    QString text = LoadString(summary.moved ? IDS_RESULT_SUMMARY_MOVES : IDS_RESULT_SUMMARY)
                       .arg(summary.same)
                       .arg(summary.changed)
                       .arg(summary.added)
                       .arg(summary.deleted);
    if (summary.moved)
        text = text.arg(*summary.moved);
    MainFrame()->Status()->SetIdleText(text);
    // Any change of either text but the levelling of its rows and a new display format ends the
    // summary's validity.
    for (CRichView *view : document.RichViews()) {
        m_summaryWatch.push_back(
            connect(view->Control()->document(), &QTextDocument::contentsChange, this,
                    [this, doc = QPointer<CRichDoc>(&document)] {
                        const RowLeveller *leveller = doc ? doc->Leveller() : nullptr;
                        // New colours or another font leave the pairs as they were.
                        if ((!leveller || !leveller->Editing()) && !(doc && doc->Reformatting()))
                            HideSummary();
                    }));
    }
}

void CRichApp::HideSummary()
{
    for (const QMetaObject::Connection &connection : m_summaryWatch)
        disconnect(connection);
    m_summaryWatch.clear();
    if (MainFrame() && MainFrame()->Status())
        MainFrame()->Status()->ResetIdleText();
}

void CRichApp::StartSyncScroll()
{
    if (MainFrame())
        MainFrame()->StartSyncScroll();
}

bool CRichApp::AskYesNo(int stringId)
{
    QWidget *owner = m_progress.Dialog();
    return ShowMessageBox(stringId, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
                          owner ? owner : MainWnd()) == IDYES;
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
    if (!frame || !list || m_driver.IsRunning() || index < 0 || index >= list->Size())
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
    if (m_driver.IsRunning())
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
    if (!view || m_driver.IsRunning())
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

CRichApp::CommandLine CRichApp::ParseCommandLine(const QStringList &arguments)
{
    CommandLine line;
    QStringList files;
    bool options = true;
    for (const QString &argument : arguments) {
        if (options && argument == u"--") {
            options = false;
        } else if (options && argument == u"--compare") {
            line.compare = true;
        } else if (options && (argument == u"--help" || argument == u"-h")) {
            line.help = true;
        } else if (options && argument.startsWith(u'-') && argument.size() > 1) {
            line.error = QString::fromUtf8(res::kUnknownOption) + argument;
            return line;
        } else {
            files.append(argument);
        }
    }
    if (files.size() > 2)
        line.error = QString::fromUtf8(res::kTooManyFiles);
    else if (line.compare && files.size() != 2)
        line.error = QString::fromUtf8(res::kCompareNeedsTwoFiles);
    if (!line.error.isEmpty())
        return line;
    if (!files.isEmpty())
        line.left = files[0];
    if (files.size() == 2)
        line.right = files[1];
    return line;
}

QString CRichApp::CommandLineUsage()
{
    return QString::fromUtf8(res::kCommandLineUsage);
}

} // namespace kivo
