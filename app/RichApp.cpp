#include "app/RichApp.h"

#include "RichEditCtrl.h"
#include "app/AboutDlg.h"
#include "app/ChildFrame.h"
#include "app/MainFrame.h"
#include "app/PaneView.h"
#include "app/SettingsStore.h"
#include "app/StartupReport.h"
#include "platform/Clipboard.h"
#include "platform/Document.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "resources/ResourceIds.h"

#include <QScreen>

namespace kivo {
namespace {

using namespace res;

// Company key of the settings store.
constexpr char16_t kCompany[] = u"Velmora";

// Environment variable naming a file that receives the window layout once start-up is done.
constexpr char kStartupReportVariable[] = "KIVO_SMOKE_REPORT";

} // namespace

CRichApp::CRichApp(QStringList arguments) : m_arguments(std::move(arguments))
{
    m_template.menuId = IDR_RICHTYPE;
    m_template.createDocument = [] { return new Document; };
    m_template.createFrame = [] { return new CChildFrame; };
    m_template.createView = [] { return new PaneView(new RichEditCtrl); };
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
    compareState = -1;
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
    return more;
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
    compareState = -1;
}

void CRichApp::SaveSettings()
{
    kivo::SaveSettings(GetProfile(), m_options);
}

} // namespace kivo
