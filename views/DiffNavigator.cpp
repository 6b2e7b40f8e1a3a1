// Stepping through the differences of a result.
#include "views/DiffNavigator.h"

#include "views/RichView.h"

#include <algorithm>
#include <iterator>

namespace kivo {
namespace {

// Lines shown above a difference the commands go to.
constexpr int kDifferenceContextLines = 2;

} // namespace

DiffNavigator::DiffNavigator(CRichView &view) : m_view(view)
{}

void DiffNavigator::TextChanged(std::optional<TextEdit> edit)
{
    m_collector.reset();
    ++m_version;
    // While a comparison writes its result, the runs are read once it is written.
    if (!edit || !m_runs || m_view.Comparing()) {
        m_runs.reset();
        m_pendingEdit.reset();
        return;
    }
    // Edits pile up until the runs are asked for: typing costs nothing here, and the paragraphs
    // are read once their marks are final (typed text adopted into a blank line included).
    m_pendingEdit = m_pendingEdit ? MergeEdits(*m_pendingEdit, *edit) : *edit;
}

DiffNavigator *DiffNavigator::Paired() const
{
    CRichView *other = m_view.OtherView();
    if (!other || other->ResultNumber() != m_view.ResultNumber())
        return nullptr;
    return &other->Navigator();
}

const std::vector<MarkedRun> &DiffNavigator::Runs() const
{
    const int result = m_view.ResultNumber();
    if (m_runs && m_runsResult != result)
        m_runs.reset();
    if (m_runs && m_pendingEdit)
        ApplyPendingEdit();
    if (!m_runs) {
        SetRuns(result != 0 ? CollectRuns(*m_view.Control()->Document(), result)
                            : std::vector<MarkedRun>{});
    }
    return *m_runs;
}

void DiffNavigator::ApplyPendingEdit() const
{
    const TextEdit edit = *m_pendingEdit;
    m_pendingEdit.reset();
    const auto &document = *m_view.Control()->Document();
    // Characters of the document, its closing paragraph break included.
    const int length = m_view.Control()->GetTextLength() + 1;
    // A change of the whole text may count the document's closing break too: read it anew.
    if (m_runsLength + edit.added - edit.removed != length || edit.from < 0 ||
        edit.from + edit.added > length) {
        m_runs.reset();
        return;
    }
    const RunsReplaced replaced = UpdateRuns(*m_runs, document, m_runsResult, edit);
    m_runsLength = length;
    for (const MarkedRun &run : replaced.before) {
        if (!IsDifference(run.kind))
            continue;
        const auto at =
            std::lower_bound(m_differenceRuns.begin(), m_differenceRuns.end(), run.record);
        if (at != m_differenceRuns.end() && *at == run.record)
            m_differenceRuns.erase(at);
    }
    const auto added = m_runs->begin() + static_cast<std::ptrdiff_t>(replaced.first);
    for (auto run = added; run != added + static_cast<std::ptrdiff_t>(replaced.after); ++run) {
        if (IsDifference(run->kind))
            m_differenceRuns.insert(
                std::upper_bound(m_differenceRuns.begin(), m_differenceRuns.end(), run->record),
                run->record);
    }
    m_runsByRecordStale = true;
}

bool DiffNavigator::CollectRunsStep(std::int64_t units)
{
    const int result = m_view.ResultNumber();
    if (m_runs || result == 0) {
        Runs();
        m_collector.reset();
        return true;
    }
    if (!m_collector || m_collector->Result() != result)
        m_collector.emplace(*m_view.Control()->Document(), result);
    if (!m_collector->Collect(units))
        return false;
    SetRuns(m_collector->Take());
    m_collector.reset();
    return true;
}

void DiffNavigator::SetRuns(std::vector<MarkedRun> runs) const
{
    m_runs = std::move(runs);
    m_runsResult = m_view.ResultNumber();
    m_runsLength = m_view.Control()->Document()->characterCount();
    m_pendingEdit.reset();
    m_differenceRuns.clear();
    for (const MarkedRun &run : *m_runs) {
        if (IsDifference(run.kind))
            m_differenceRuns.push_back(run.record);
    }
    std::sort(m_differenceRuns.begin(), m_differenceRuns.end());
    m_runsByRecordStale = true;
    ++m_version;
}

const std::vector<MarkedRun> &DiffNavigator::RunsByRecord() const
{
    Runs();
    if (!m_runsByRecordStale)
        return m_runsByRecord;
    m_runsByRecord = *m_runs;
    const auto byRecord = [](const MarkedRun &a, const MarkedRun &b) {
        return a.record < b.record;
    };
    // Records are written in order, so the runs usually are in record order already.
    if (!std::is_sorted(m_runsByRecord.begin(), m_runsByRecord.end(), byRecord))
        std::stable_sort(m_runsByRecord.begin(), m_runsByRecord.end(), byRecord);
    m_runsByRecordStale = false;
    return m_runsByRecord;
}

const std::vector<int> &DiffNavigator::Differences() const
{
    const DiffNavigator *other = Paired();
    // Both windows' runs up to date first: bringing them up to date counts as a change.
    Runs();
    if (other)
        other->Runs();
    const std::pair<int, int> versions{m_version, other ? other->m_version : -1};
    if (versions == m_differencesOf)
        return m_differences;
    // The two sorted lists merged, each record once.
    m_differences.clear();
    if (other)
        std::set_union(m_differenceRuns.begin(), m_differenceRuns.end(),
                       other->m_differenceRuns.begin(), other->m_differenceRuns.end(),
                       std::back_inserter(m_differences));
    else
        m_differences = m_differenceRuns;
    m_differences.erase(std::unique(m_differences.begin(), m_differences.end()),
                        m_differences.end());
    m_differencesOf = versions;
    return m_differences;
}

std::optional<int> DiffNavigator::FindDifference(bool forward) const
{
    if (m_view.ResultNumber() == 0)
        return std::nullopt;
    const std::vector<int> &differences = Differences();
    if (differences.empty())
        return std::nullopt;
    const int caret = m_view.Control()->GetSel().start;
    const int key =
        caret == m_placedCaret.position ? 2 * m_placedCaret.record : CaretKey(Runs(), caret);
    return StepDifference(differences, key, forward);
}

int DiffNavigator::ShowRecord(int record)
{
    RichEditCtrl &edit = *m_view.Control();
    const std::vector<MarkedRun> &byRecord = RunsByRecord();
    const auto run =
        std::lower_bound(byRecord.begin(), byRecord.end(), record,
                         [](const MarkedRun &r, int wanted) { return r.record < wanted; });
    m_placedCaret = {};
    int position = edit.GetTextLength();
    if (run != byRecord.end() && run->record == record && run->kind != RunKind::Separator) {
        position = run->start;
        edit.SetSel(run->start, run->end);
    } else {
        // No text here: the caret goes where the record would stand, in front of what follows.
        if (run != byRecord.end())
            position = run->start;
        edit.SetSel(position, position);
        m_placedCaret = {position, record};
    }
    // The first paragraph of the row the record belongs to.
    return RowStartAt(*edit.Document(), position);
}

void DiffNavigator::ScrollNearTop(int position)
{
    RichEditCtrl &edit = *m_view.Control();
    const int line = std::max(0, edit.LineFromChar(position) - kDifferenceContextLines);
    edit.LineScroll(line - edit.GetFirstVisibleLine());
    m_view.NoteScrollPosition();
}

bool DiffNavigator::GoToDifference(bool forward)
{
    if (m_view.Comparing())
        return false;
    const std::optional<int> record = FindDifference(forward);
    if (!record)
        return false;
    DiffNavigator *other = Paired();
    const int rowHere = ShowRecord(*record);
    const int rowThere = other ? other->ShowRecord(*record) : 0;
    ScrollNearTop(rowHere);
    if (other) {
        if (!other->m_view.FollowLeader(m_view))
            other->ScrollNearTop(rowThere);
    }
    return true;
}

} // namespace kivo
