// Stepping through the differences of a result.
#include "views/DiffNavigator.h"

#include "driver/ComparisonDriver.h"
#include "views/RichView.h"

#include <QTextBlock>

#include <algorithm>

namespace kivo {
namespace {

// Lines shown above a difference the commands go to.
constexpr int kDifferenceContextLines = 2;

} // namespace

DiffNavigator::DiffNavigator(CRichView &view, const ComparisonDriver &driver)
    : m_view(view), m_driver(driver)
{}

void DiffNavigator::TextChanged()
{
    m_runs.reset();
    m_collector.reset();
    ++m_version;
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
    if (!m_runs) {
        const int result = m_view.ResultNumber();
        SetRuns(result != 0 ? CollectRuns(*m_view.Control()->document(), result)
                            : std::vector<MarkedRun>{});
    }
    return *m_runs;
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
        m_collector.emplace(*m_view.Control()->document(), result);
    if (!m_collector->Collect(units))
        return false;
    SetRuns(m_collector->Take());
    m_collector.reset();
    return true;
}

void DiffNavigator::SetRuns(std::vector<MarkedRun> runs) const
{
    m_runs = std::move(runs);
    m_runsByRecord = *m_runs;
    const auto byRecord = [](const MarkedRun &a, const MarkedRun &b) {
        return a.record < b.record;
    };
    // Records are written in order, so the runs usually are in record order already.
    if (!std::is_sorted(m_runsByRecord.begin(), m_runsByRecord.end(), byRecord))
        std::stable_sort(m_runsByRecord.begin(), m_runsByRecord.end(), byRecord);
}

const std::vector<int> &DiffNavigator::Differences() const
{
    const DiffNavigator *other = Paired();
    const std::pair<int, int> versions{m_version, other ? other->m_version : -1};
    if (versions == m_differencesOf && m_runs && (!other || other->m_runs))
        return m_differences;
    m_differences.clear();
    const auto collect = [this](const std::vector<MarkedRun> &runs) {
        for (const MarkedRun &run : runs) {
            if (IsDifference(run.kind))
                m_differences.push_back(run.record);
        }
    };
    collect(Runs());
    if (other)
        collect(other->Runs());
    std::sort(m_differences.begin(), m_differences.end());
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
    Runs();
    const auto run =
        std::lower_bound(m_runsByRecord.begin(), m_runsByRecord.end(), record,
                         [](const MarkedRun &r, int wanted) { return r.record < wanted; });
    m_placedCaret = {};
    int position = edit.GetTextLength();
    if (run != m_runsByRecord.end() && run->record == record && run->kind != RunKind::Separator) {
        position = run->start;
        edit.SetSel(run->start, run->end);
    } else {
        // No text here: the caret goes where the record would stand, in front of what follows.
        if (run != m_runsByRecord.end())
            position = run->start;
        edit.SetSel(position, position);
        m_placedCaret = {position, record};
    }
    // The first paragraph of the row the record belongs to.
    QTextBlock block = edit.document()->findBlock(position);
    while (block.isValid() && RowStartOf(block) < 0 && block.previous().isValid())
        block = block.previous();
    return block.isValid() ? block.position() : position;
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
    if (m_driver.IsRunning())
        return false;
    const std::optional<int> record = FindDifference(forward);
    if (!record)
        return false;
    DiffNavigator *other = Paired();
    const int rowHere = ShowRecord(*record);
    const int rowThere = other ? other->ShowRecord(*record) : 0;
    ScrollNearTop(rowHere);
    if (other) {
        if (other->m_view.FollowRows(m_view))
            other->m_view.NoteScrollPosition();
        else
            other->ScrollNearTop(rowThere);
    }
    return true;
}

} // namespace kivo
