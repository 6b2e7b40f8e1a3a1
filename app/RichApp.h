#pragma once

#include "RichOptions.h"
#include "platform/DocTemplate.h"
#include "platform/WinApp.h"

#include <QStringList>

namespace kivo {

class CMainFrame;
class Document;

/// The application object: owns the options, starts the main window with one document in two
/// text windows side by side, loads the settings at start and saves them at exit.
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

    /// The comparison driver's state: -1 while no comparison runs.
    int compareState = -1;

    CMainFrame *MainFrame() const;
    const DocTemplate &Template() const { return m_template; }

    /// The New command: makes sure one document is shown in two windows side by side.
    void OnFileNew();

    /// Reads the options from the settings store (SetRegistryKey must have come first).
    void LoadSettings();
    /// Writes the options to the settings store.
    void SaveSettings();

    /// Identifiers of the clipboard formats "Rich Text Format" and "RichEdit Text and
    /// Objects", registered at start-up.
    unsigned cfRichText = 0;
    unsigned cfRichTextAndObjects = 0;

private:
    void AddHandlers();
    void WriteStartupReport();

    QStringList m_arguments;
    RichOptions m_options;
    DocTemplate m_template;
    bool m_reported = false;
};

} // namespace kivo
