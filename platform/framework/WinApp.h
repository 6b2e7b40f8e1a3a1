#pragma once

#include "platform/framework/CommandTarget.h"
#include "platform/framework/MdiFrameWnd.h"

#include <QObject>
#include <QPointer>

#include <memory>

namespace kivo {

struct FindReplaceState;
class IdleLoop;
class PrintSupport;
class Profile;
class RecentFileList;

/// The application object: start-up, the event loop with idle processing, shut-down, the
/// main window and the per-user settings store. One exists while the program runs; derive from
/// it and override InitInstance, ExitInstance and OnIdle.
class WinApp : public QObject, public CommandTarget {
    Q_OBJECT
public:
    /// A QApplication must exist.
    WinApp();
    ~WinApp() override;

    /// The application object of the process; null when there is none.
    static WinApp *Current();

    /// Start-up; false ends the program at once.
    virtual bool InitInstance() { return true; }
    /// Shut-down, after the event loop has ended; stores the recent-file list and the preview
    /// pages, and returns the exit code. A store that cannot be written is reported.
    virtual int ExitInstance();
    /// One slice of idle work; called again with count + 1 for as long as it returns true.
    /// Count 0 brings the command states of the main window up to date.
    virtual bool OnIdle(long count);

    /// InitInstance, the event loop, ExitInstance. Returns the exit code (1 when start-up
    /// failed).
    int Run();

    MdiFrameWnd *MainWnd() const { return m_mainWnd; }
    /// The main window of the running application; null when there is none.
    static MdiFrameWnd *MainWindow()
    {
        const WinApp *app = Current();
        return app ? app->MainWnd() : nullptr;
    }
    void SetMainWnd(MdiFrameWnd *frame);

    /// Chooses the settings store: the company given and the application name (string
    /// 57344). Until then GetProfile is not available.
    void SetRegistryKey(const QString &company);
    bool HasProfile() const { return m_profile != nullptr; }
    Profile &GetProfile() const;

    /// Reads the recent-file list, of at most maxFiles entries, and shows it in the file menu;
    /// reads the number of print-preview pages.
    void LoadStdProfileSettings(int maxFiles);
    /// The recent-file list; null before LoadStdProfileSettings.
    RecentFileList *RecentFiles() const { return m_recentFiles.get(); }
    /// Puts a file at the front of the recent-file list.
    void AddToRecentFileList(const QString &path);

    /// The printer and the print preview of the application.
    PrintSupport &Printing() const { return *m_printing; }
    /// The last find and replace texts and options, shared by all text windows.
    FindReplaceState &FindState() const { return *m_findState; }

    /// Starts idle processing again (after a change that no user event brought).
    void KickIdle();

    /// Makes SIGTERM and SIGINT end the program promptly through its normal shut-down, so that
    /// the settings are saved: open dialogs and message boxes end unanswered, start-up does not
    /// enter the event loop, and a failure to save the settings goes to the standard error. If
    /// the shut-down has not ended within a second, the process ends without it, but only once
    /// the settings are written (or could not be): until then, as while a long file read at
    /// start-up finishes, it is given another second, up to half a minute in all.
    void CloseOnTerminateSignal();
    /// Whether SIGTERM or SIGINT asked the program to end.
    bool Terminating() const { return m_terminating; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<MdiFrameWnd> m_mainWnd;
    std::unique_ptr<Profile> m_profile;
    std::unique_ptr<RecentFileList> m_recentFiles;
    std::unique_ptr<PrintSupport> m_printing;
    std::unique_ptr<FindReplaceState> m_findState;
    IdleLoop *m_idle;
    bool m_terminating = false;
};

} // namespace kivo
