#pragma once

#include "RichOptions.h"
#include "dialogs/ProgDlg.h"
#include "driver/ComparisonDriver.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

namespace kivo {

class CRichDoc;
class Document;
class StatusBar;

/// The comparison in the application: owns the driver and is the application as the driver
/// sees it. It starts a comparison from the compare commands, runs it in idle-time slices,
/// tells every text document while one runs (their windows are locked), opens the progress
/// dialog, and shows the counts of a finished comparison on the status bar.
class ComparisonHost : public QObject, private IDriverHost {
    Q_OBJECT
public:
    /// The options must outlive the host. onEnded runs each time a comparison has ended.
    ComparisonHost(RichOptions &options, std::function<void()> onEnded);
    ~ComparisonHost() override;

    ComparisonDriver &Driver() { return m_driver; }
    const ComparisonDriver &Driver() const { return m_driver; }
    /// The progress dialog while a comparison runs; null otherwise.
    CProgDlg *ProgressDialog() const { return m_progress.Dialog(); }

    /// A new text document: it learns now and from then on whether a comparison runs.
    void AddDocument(CRichDoc *document);

    /// The compare commands on the active document: the whole texts, or the two selections.
    /// Texts whose comparison would need more memory than can be had are refused with a
    /// message. Returns whether a comparison now runs.
    bool StartComparison(bool wholeText);
    /// Runs the comparison for one idle slice (a few milliseconds); whether more remains.
    bool RunSlice();

    /// The status bar's summary of the last comparison: shown when one ends, until either text
    /// of its document is edited or the next comparison starts.
    void ShowSummary(const ResultSummary &summary, CRichDoc &document);
    void HideSummary();

private:
    bool HasActiveDocument() const override;
    bool BothSelected() const override;
    IProgressWindow *BeginComparison() override;
    ResultViews PrepareForComparison() override;
    void StartSyncScroll() override;
    bool AskYesNo(int stringId) override;
    void EndComparison() override;

    /// Tells every document whether a comparison runs.
    void SetComparing(bool comparing);
    /// The document a comparison works on: the one active when it started, while it exists.
    CRichDoc *ComparedDoc() const;

    RichOptions &m_options;
    std::function<void()> m_onEnded;
    ComparisonDriver m_driver{m_options, *this};
    ProgressWindow m_progress;
    QPointer<Document> m_comparedDoc;
    /// Every text document made (null once gone).
    std::vector<QPointer<CRichDoc>> m_documents;
    /// Tells the driver when a view taking part in the comparison goes away.
    std::vector<QMetaObject::Connection> m_viewWatch;
    std::vector<QMetaObject::Connection> m_summaryWatch;
};

/// The active document of the main window when it is a text document; null otherwise.
CRichDoc *ActiveRichDoc();
/// The main window's status bar; null when there is none.
StatusBar *MainStatusBar();

} // namespace kivo
