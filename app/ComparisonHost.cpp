#include "app/ComparisonHost.h"

#include "Memory.h"
#include "RichEditCtrl.h"
#include "app/MainFrame.h"
#include "platform/dialogs/MessageBox.h"
#include "platform/framework/WinApp.h"
#include "platform/widgets/StatusBar.h"
#include "resources/ResourceIds.h"
#include "resources/Strings.h"
#include "views/RichDoc.h"
#include "views/RichView.h"
#include "views/ScrollSync.h"

#include <QElapsedTimer>

#include <new>

namespace kivo {
namespace {

using namespace res;

// Longest run of comparison steps in one idle call.
constexpr qint64 kIdleSliceNanoseconds = 8'000'000;

// What a comparison needs per character of the two texts at its peak: the engine's sentences,
// keys and records, and the result written back into both windows with its padding and laid
// out. Measured on two 4 MB Japanese texts: 220 bytes a character when they are the same, 460
// when every sentence differs (each window then holds both texts); the larger, with room.
constexpr std::uintmax_t kComparisonBytesPerCharacter = 480;

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

CRichDoc *ActiveRichDoc()
{
    const MdiFrameWnd *main = WinApp::MainWindow();
    return main ? qobject_cast<CRichDoc *>(main->ActiveDocument()) : nullptr;
}

StatusBar *MainStatusBar()
{
    const auto *main = qobject_cast<const CMainFrame *>(WinApp::MainWindow());
    return main ? main->Status() : nullptr;
}

ComparisonHost::ComparisonHost(RichOptions &options, std::function<void()> onEnded)
    : m_options(options), m_onEnded(std::move(onEnded))
{}

ComparisonHost::~ComparisonHost() = default;

void ComparisonHost::AddDocument(CRichDoc *document)
{
    document->SetComparing(m_driver.IsRunning());
    std::erase_if(m_documents, [](const QPointer<CRichDoc> &known) { return !known; });
    m_documents.emplace_back(document);
}

bool ComparisonHost::StartComparison(bool wholeText)
{
    if (!m_driver.IsRunning())
        HideSummary();
    // The engine's lists and the result written back into the windows, for texts of two bytes
    // a character: a comparison that could not have them is not begun, since the windows end
    // the process when they run short of memory while the result goes in.
    const CRichDoc *document = ActiveRichDoc();
    if (!m_driver.IsRunning() && document &&
        !CanAllocate(document->TextCharacters() * kComparisonBytesPerCharacter)) {
        ShowMessageBox(IDS_REASON_NO_MEMORY, MB_OK | MB_ICONEXCLAMATION, WinApp::MainWindow());
        return false;
    }
    m_driver.StartComparison(wholeText);
    return m_driver.IsRunning();
}

bool ComparisonHost::RunSlice()
{
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
        ShowMessageBox(IDS_REASON_NO_MEMORY, MB_OK | MB_ICONEXCLAMATION, WinApp::MainWindow());
    }
    // The commands a comparison disabled are available again at once, not at the next input.
    if (wasRunning && !m_driver.IsRunning() && WinApp::MainWindow())
        WinApp::MainWindow()->UpdateCmdUI();
    return comparing;
}

CRichDoc *ComparisonHost::ComparedDoc() const
{
    if (auto *document = qobject_cast<CRichDoc *>(m_comparedDoc.data()))
        return document;
    return ActiveRichDoc();
}

bool ComparisonHost::HasActiveDocument() const
{
    return ComparedDoc() != nullptr;
}

bool ComparisonHost::BothSelected() const
{
    const CRichDoc *document = ActiveRichDoc();
    return document && document->BothSelected();
}

IProgressWindow *ComparisonHost::BeginComparison()
{
    if (!m_progress.Open([this] { m_driver.RequestAbort(); }, WinApp::MainWindow()))
        return nullptr;
    SetComparing(true);
    return &m_progress;
}

void ComparisonHost::SetComparing(bool comparing)
{
    for (const QPointer<CRichDoc> &document : m_documents) {
        if (document)
            document->SetComparing(comparing);
    }
}

ResultViews ComparisonHost::PrepareForComparison()
{
    CRichDoc *document = ActiveRichDoc();
    m_comparedDoc = document;
    if (!document)
        return {};
    ResultViews sides{{}, document};
    const PerSide<CRichView *> views = document->PrepareForComparison();
    for (const Side side : kSides) {
        CRichView *view = views[Index(side)];
        if (!view)
            continue;
        sides.views[Index(side)] = view;
        // The driver holds the view until the comparison ends: it must hear when it goes.
        m_viewWatch.push_back(
            connect(view, &QObject::destroyed, this,
                    [this, taking = sides.views[Index(side)]] { m_driver.ViewDestroyed(taking); }));
    }
    return sides;
}

void ComparisonHost::EndComparison()
{
    m_progress.Close();
    for (const QMetaObject::Connection &connection : m_viewWatch)
        disconnect(connection);
    m_viewWatch.clear();
    SetComparing(false);
    if (CRichDoc *document = ComparedDoc(); document && m_driver.Summary())
        ShowSummary(*m_driver.Summary(), *document);
    m_comparedDoc = nullptr;
    if (m_onEnded)
        m_onEnded();
}

void ComparisonHost::StartSyncScroll()
{
    const MdiFrameWnd *main = WinApp::MainWindow();
    ScrollSync(m_options).Start(main ? main->ActiveDocument() : nullptr);
}

bool ComparisonHost::AskYesNo(int stringId)
{
    QWidget *owner = m_progress.Dialog();
    return ShowMessageBox(stringId, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
                          owner ? owner : WinApp::MainWindow()) == IDYES;
}

void ComparisonHost::ShowSummary(const ResultSummary &summary, CRichDoc &document)
{
    HideSummary();
    StatusBar *status = MainStatusBar();
    if (!status)
        return;
    QString text = LoadString(summary.moved ? IDS_RESULT_SUMMARY_MOVES : IDS_RESULT_SUMMARY)
                       .arg(summary.same)
                       .arg(summary.changed)
                       .arg(summary.added)
                       .arg(summary.deleted);
    if (summary.moved)
        text = text.arg(*summary.moved);
    status->SetIdleText(text);
    // Any edit of either text ends the summary's validity.
    for (CRichView *view : document.RichViews())
        m_summaryWatch.push_back(
            connect(view, &CRichView::textEdited, this, &ComparisonHost::HideSummary));
}

void ComparisonHost::HideSummary()
{
    for (const QMetaObject::Connection &connection : m_summaryWatch)
        disconnect(connection);
    m_summaryWatch.clear();
    if (StatusBar *status = MainStatusBar())
        status->ResetIdleText();
}

} // namespace kivo
