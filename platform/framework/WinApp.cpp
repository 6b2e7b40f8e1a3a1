#include "platform/framework/WinApp.h"

#include "platform/framework/CommandActions.h"
#include "platform/dialogs/FindReplaceDlg.h"
#include "platform/framework/IdleLoop.h"
#include "platform/framework/MdiFrameWnd.h"
#include "platform/dialogs/MessageBox.h"
#include "platform/dialogs/Printing.h"
#include "platform/files/Profile.h"
#include "platform/files/RecentFileList.h"
#include "platform/widgets/StatusBar.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace kivo {
namespace {

WinApp *g_current = nullptr;

// The pipe from the signal handler to the event loop.
int g_signalPipe[2] = {-1, -1};
// Set by the handler of SIGTERM and SIGINT, for start-up, which runs outside the event loop.
volatile std::sig_atomic_t g_terminateRequested = 0;

// Set once the settings have been written at exit, or could not be: from then on nothing is
// lost when the grace period ends the process.
volatile std::sig_atomic_t g_settingsSettled = 0;
// Grace periods granted so far after SIGTERM or SIGINT.
volatile std::sig_atomic_t g_gracePeriods = 0;

// How long the normal shut-down may take after SIGTERM or SIGINT before the process ends
// without it: a step that does not return to the event loop must not keep it alive.
constexpr unsigned kTerminateGraceSeconds = 1;
// While the settings are not yet written (a long file read at start-up is still running, say),
// the grace period is granted again, up to this many in all: the settings are written before
// the process ends, unless it is stuck.
constexpr std::sig_atomic_t kMostGracePeriods = 30;
// Exit status of a process that the grace period ended: as if the signal had ended it.
constexpr int kTerminatedStatus = 128 + SIGTERM;

void OnTerminateSignal(int)
{
    // Only async-signal-safe calls here; a full pipe just drops the byte.
    if (g_terminateRequested == 0)
        ::alarm(kTerminateGraceSeconds);
    g_terminateRequested = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

void OnGraceEnded(int)
{
    if (g_settingsSettled == 0 && g_gracePeriods < kMostGracePeriods) {
        g_gracePeriods = g_gracePeriods + 1;
        ::alarm(kTerminateGraceSeconds);
        return;
    }
    ::_exit(kTerminatedStatus);
}

} // namespace

WinApp::WinApp()
    : m_printing(std::make_unique<PrintSupport>()),
      m_findState(std::make_unique<FindReplaceState>()),
      m_idle(new IdleLoop([this](long count) { return OnIdle(count); }, this))
{
    g_current = this;
    QApplication::setQuitOnLastWindowClosed(false);
    // The clipboard's content decides whether paste is available.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &WinApp::KickIdle);
    qApp->installEventFilter(this);
}

bool WinApp::eventFilter(QObject *watched, QEvent *event)
{
    // When a modal dialog closes, its parent window takes the keyboard back. A window manager
    // does this itself; without one the keyboard would go nowhere, menu mnemonics included.
    if (event->type() == QEvent::Hide) {
        auto *dialog = qobject_cast<QWidget *>(watched);
        if (dialog && dialog->isWindow() && dialog->isModal()) {
            if (QWidget *parent = dialog->parentWidget()) {
                QPointer<QWidget> owner = parent->window();
                QTimer::singleShot(0, this, [owner] {
                    if (owner && owner->isVisible() && !QApplication::activeModalWidget())
                        owner->activateWindow();
                });
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

WinApp::~WinApp()
{
    delete m_mainWnd.data();
    if (g_current == this)
        g_current = nullptr;
}

WinApp *WinApp::Current()
{
    return g_current;
}

bool WinApp::OnIdle(long count)
{
    if (count == 0 && m_mainWnd) {
        m_mainWnd->UpdateCmdUI();
        if (auto *bar = qobject_cast<StatusBar *>(m_mainWnd->statusBar()))
            bar->UpdateIndicators();
    }
    return count < 1;
}

int WinApp::Run()
{
    // Settings written by an earlier application object of the process are not this one's.
    g_settingsSettled = 0;
    if (!InitInstance())
        return 1;
    // A signal that came during start-up ended its dialogs; the event loop is not entered.
    if (g_terminateRequested == 0)
        QApplication::exec();
    m_terminating = m_terminating || g_terminateRequested != 0;
    const int code = ExitInstance();
    // The shut-down is done: the grace period ends here (and a later application object of
    // the same process starts afresh).
    ::alarm(0);
    g_terminateRequested = 0;
    g_settingsSettled = 0;
    g_gracePeriods = 0;
    return code;
}

int WinApp::ExitInstance()
{
    // Whatever happens below, the settings are then as written as they can be.
    struct Settled {
        ~Settled() { g_settingsSettled = 1; }
    } settled;
    if (!m_profile)
        return 0;
    if (m_recentFiles)
        m_recentFiles->WriteList(*m_profile);
    m_printing->WriteSettings(*m_profile);
    // Settings that cannot be kept are not dropped without a word; after SIGTERM or SIGINT
    // nobody may be there to close a message box, so the word goes to the standard error.
    if (!m_profile->Flush()) {
        const QString message = res::LoadString(res::IDS_SETTINGS_NOT_SAVED)
                                    .arg(QDir::toNativeSeparators(m_profile->FileName()));
        if (m_terminating)
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
        else
            ShowMessageBox(message, MB_OK | MB_ICONEXCLAMATION, m_mainWnd);
    }
    return 0;
}

void WinApp::SetMainWnd(MdiFrameWnd *frame)
{
    m_mainWnd = frame;
    if (!frame)
        return;
    frame->SetAppTarget(this);
    frame->Commands().SetItemList(res::ID_FILE_MRU_FILE1, [this] {
        return m_recentFiles ? m_recentFiles->MenuLabels() : QStringList();
    });
}

void WinApp::LoadStdProfileSettings(int maxFiles)
{
    m_recentFiles = std::make_unique<RecentFileList>(maxFiles);
    m_recentFiles->ReadList(GetProfile());
    m_printing->ReadSettings(GetProfile());
}

void WinApp::AddToRecentFileList(const QString &path)
{
    if (m_recentFiles)
        m_recentFiles->Add(path);
}

void WinApp::SetRegistryKey(const QString &company)
{
    m_profile = std::make_unique<Profile>(company, res::LoadString(res::IDS_APP_TITLE));
}

Profile &WinApp::GetProfile() const
{
    Q_ASSERT_X(m_profile, "WinApp::GetProfile", "SetRegistryKey must come first");
    return *m_profile;
}

void WinApp::KickIdle()
{
    m_idle->Kick();
}

void WinApp::CloseOnTerminateSignal()
{
    // One pipe for the process; each application object listens to it while it lives.
    if (g_signalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(g_signalPipe[0], &byte, 1);
        // Ending every event loop at once also ends the modal dialogs and message boxes that
        // run their own, and any opened later returns at once; the shut-down then runs as
        // after the main window was closed.
        m_terminating = true;
        QCoreApplication::exit(0);
    });
    struct sigaction action {};
    action.sa_handler = OnTerminateSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    action.sa_handler = OnGraceEnded;
    sigaction(SIGALRM, &action, nullptr);
}

} // namespace kivo
