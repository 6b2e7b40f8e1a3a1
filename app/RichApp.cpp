#include "app/RichApp.h"

#include "RichEditCtrl.h"
#include "app/AboutDlg.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/SettingsStore.h"
#include "app/StartupReport.h"
#include "driver/dialog/ProgDlg.h"
#include "platform/Clipboard.h"
#include "platform/Document.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/ProgressBar.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"
#include "views/RichDoc.h"
#include "views/RichView.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QScreen>

namespace kivo {
namespace {

using namespace res;

// Company key of the settings store.
constexpr char16_t kCompany[] = u"Velmora";

// Longest run of comparison steps in one idle call.
constexpr qint64 kIdleSliceNanoseconds = 8'000'000;

// Environment variable naming a file that receives the window layout once start-up is done.
constexpr char kStartupReportVariable[] = "KIVO_SMOKE_REPORT";

} // namespace

CRichApp::CRichApp(QStringList arguments) : m_arguments(std::move(arguments))
{
    m_template.menuId = IDR_RICHTYPE;
    m_template.createDocument = [this] { return new CRichDoc(m_driver); };
    m_template.createFrame = [] { return new CChildFrame; };
    m_template.createView = [this] { return new CRichView(new RichEditCtrl, m_options, m_driver); };
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
    OnCommand(ID_APP_EXIT, [this] {
        if (MainWnd())
            MainWnd()->close();
    });
}

CMainFrame *CRichApp::MainFrame() const
{
    return static_cast<CMainFrame *>(MainWnd());
}

bool CRichApp::InitInstance()
{
    cfRichText = clipboard::RegisterFormat(QStringLiteral("Rich Text Format"));
    cfRichTextAndObjects = clipboard::RegisterFormat(QStringLiteral("RichEdit Text and Objects"));

    SetRegistryKey(QString::fromUtf16(kCompany));
    LoadSettings();
    LoadStdProfileSettings(kRecentFileCount);

    auto *frame = new CMainFrame(*this);
    if (!frame->Create()) {
        delete frame;
        return false;
    }
    SetMainWnd(frame);

    OnFileNew();

    if (m_options.ShowMaximized) {
        // Where no window manager maximises windows, the window still fills the screen.
        if (const QScreen *screen = frame->screen())
            frame->setGeometry(screen->availableGeometry());
        frame->showMaximized();
    } else
        frame->show();
    return true;
}

int CRichApp::ExitInstance()
{
    m_driver.StopForExit();
    SaveSettings();
    // The framework's part stores the recent-file list after the options.
    return WinApp::ExitInstance();
}

bool CRichApp::OnIdle(long count)
{
    const bool more = WinApp::OnIdle(count);
    if (count == 0 && !m_reported && MainWnd() && MainWnd()->isVisible()) {
        m_reported = true;
        WriteStartupReport();
    }
    if (more)
        return true;
    // Steps run back to back for up to a few milliseconds: a turn of the event loop costs more
    // than most steps do, and input is still served that often.
    QElapsedTimer slice;
    slice.start();
    bool comparing = m_driver.Step();
    while (comparing && slice.nsecsElapsed() < kIdleSliceNanoseconds)
        comparing = m_driver.Step();
    return comparing;
}

void CRichApp::StartComparison(bool wholeText)
{
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

void CRichApp::PrepareForComparison()
{
    CRichDoc *document = ActiveRichDoc();
    m_comparedDoc = document;
    if (document)
        document->PrepareForComparison();
}

void CRichApp::BeginDisplay()
{
    if (CRichDoc *document = ComparedDoc())
        document->BeginDisplay();
}

void CRichApp::ReturnToRegionTop()
{
    if (CRichDoc *document = ComparedDoc())
        document->ReturnToRegionTop();
}

void CRichApp::FinishViewAfterComparison()
{
    if (CRichDoc *document = ComparedDoc())
        document->FinishViewAfterComparison();
    m_comparedDoc = nullptr;
}

void CRichApp::StartSyncScroll()
{
    if (MainFrame())
        MainFrame()->StartSyncScroll();
}

void CRichApp::ActivateMainWindow()
{
    if (MainWnd())
        MainWnd()->activateWindow();
}

bool CRichApp::AskYesNo(int stringId)
{
    return ShowMessageBox(stringId, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
                          m_progressDialog ? static_cast<QWidget *>(m_progressDialog.data())
                                           : MainWnd()) == IDYES;
}

bool CRichApp::CreateProgressDialog()
{
    if (!MainWnd())
        return false;
    delete m_progressDialog.data();
    m_progressDialog = new CProgDlg([this] { m_driver.RequestAbort(); }, MainWnd());
    m_progressDialog->ShowCentred();
    return true;
}

void CRichApp::DestroyProgressDialog()
{
    delete m_progressDialog.data();
    m_comparedDoc = nullptr;
}

void CRichApp::SetProgressCaption(int stringId)
{
    if (m_progressDialog)
        m_progressDialog->setWindowTitle(LoadString(stringId));
}

void CRichApp::EnableProgressDialog(bool enable)
{
    if (m_progressDialog)
        m_progressDialog->setEnabled(enable);
}

void CRichApp::EnableAbortButton(bool enable)
{
    if (m_progressDialog)
        m_progressDialog->AbortButton().setEnabled(enable);
}

IProgress *CRichApp::ProgressBar()
{
    return m_progressDialog ? &m_progressDialog->Bar() : nullptr;
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
        m_options.SyncScroll = 0;
        if (!frame->OpenNewDocument(m_template))
            return;
        count = 1;
    }
    if (count == 1) {
        m_options.SyncScroll = 0;
        Document *document = frame->ActiveDocument();
        if (!document) {
            ShowMessageBox(IDP_COMMAND_FAILURE, MB_OK | MB_ICONEXCLAMATION, frame);
            return;
        }
        frame->CreateNewWindow(m_template, *document);
    }
    frame->TileSideBySide();
}

void CRichApp::LoadSettings()
{
    kivo::LoadSettings(GetProfile(), m_options);
}

void CRichApp::SaveSettings()
{
    kivo::SaveSettings(GetProfile(), m_options);
}

} // namespace kivo
