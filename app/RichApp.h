#pragma once

#include "ComparisonTable.h"
#include "RichOptions.h"
#include "app/Session.h"
#include "app/CommandLine.h"
#include "app/ComparisonHost.h"
#include "platform/framework/DocTemplate.h"
#include "platform/dialogs/MessageBox.h"
#include "platform/framework/WinApp.h"

#include <QPointer>
#include <QStringList>

#include <memory>
#include <vector>

namespace kivo {

class CMainFrame;

class CRichDoc;
class Document;

/// The application object: owns the options and the comparison, starts the main window with one
/// document in two text windows side by side, loads the settings at start and saves them at
/// exit. A comparison runs in its idle processing, one step per idle call.
class CRichApp : public WinApp {
    Q_OBJECT
public:
    /// arguments: the command line without the program name.
    explicit CRichApp(QStringList arguments = {});
    ~CRichApp() override;

    bool InitInstance() override;
    int ExitInstance() override;
    bool OnIdle(long count) override;

    RichOptions &Options() { return m_options; }
    const RichOptions &Options() const { return m_options; }
    report::TableOptions &TableOptions() { return m_tableOptions; }

    /// The comparison fields and the state machine that runs a comparison.
    ComparisonDriver &Driver() { return m_comparison.Driver(); }
    const ComparisonDriver &Driver() const { return m_comparison.Driver(); }
    /// The progress dialog while a comparison runs; null otherwise.
    CProgDlg *ProgressDialog() const { return m_comparison.ProgressDialog(); }

    /// The compare commands: the whole texts, or the two selections.
    void StartComparison(bool wholeText);

    CMainFrame *MainFrame() const;
    const DocTemplate &Template() const { return m_template; }

    /// The New command: makes sure one document is shown in two windows side by side.
    void OnFileNew();

    /// Loads a file into the active window, making the two windows first when they are not
    /// there (a file named on the command line, each file dropped on the main window). Returns
    /// the document, or null when there is none; a file that cannot be loaded is reported.
    Document *OpenDocumentFile(const QString &path);


    /// Opens a window's text of an earlier run into the active window; undo brings back what
    /// it replaced. False when there is no active window or the text cannot be read.
    bool OpenHistoryEntry(const Session::HistoryEntry &entry);
    /// The windows' contents kept between runs; null while the setting is off.
    kivo::Session *KeptSession() const { return m_session.get(); }
    /// The list of the windows' texts of earlier runs, one of which opens.
    void OnFileHistory();

    /// Starts keeping the windows' contents between runs when the setting asks for it (and
    /// stops when it no longer does); restore brings back those of the last run first.
    void KeepSession(bool restore);

    /// Reads the options from the settings store (SetRegistryKey must have come first).
    void LoadSettings();
    /// Writes the options to the settings store.
    void SaveSettings();


private:
    void AddHandlers();
    void WriteStartupReport();
    /// Shows, over the main window, what went wrong with the files named on the command line.
    void ShowStartupMessages();
    /// Carries out the command line: the windows, and the files loaded into them. False when
    /// the command line is not understood.
    bool ProcessCommandLine();
    /// Recent file k (from 0) into the active window; an entry that fails is removed.
    void OnOpenRecentFile(int index);
    /// Files dropped on the main window outside the text windows: each in turn into the active
    /// window.
    void OnFilesDropped(const QStringList &paths);
    /// Loads a file into the window of one side, which becomes the active one.
    bool OpenIntoPane(int paneNumber, const QString &path);

    QStringList m_arguments;
    RichOptions m_options;
    /// The options of the old/new comparison table, as last chosen.
    report::TableOptions m_tableOptions;
    /// The comparison: its driver, the progress dialog, the windows locked while it runs.
    ComparisonHost m_comparison{m_options, [this] {
                                    // The result is kept at once: it may have taken long.
                                    if (m_session)
                                        m_session->ScheduleWrite(0);
                                }};
    DocTemplate m_template;
    bool m_reported = false;
    /// Messages about the command line's files, held until the main window is up.
    std::vector<MessageBoxRequest> m_startupMessages;
    /// The windows' contents kept between runs; null while the setting is off.
    std::unique_ptr<kivo::Session> m_session;
    bool m_compareAtStart = false;
};

} // namespace kivo
