#pragma once

#include "resulttext/ResultMarks.h"

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kivo {

class CRichView;

/// The difference commands of one text view: the next and previous difference, and the other
/// end of a moved sentence. Keeps the runs of the result shown, the differences of both windows
/// and the moved sentences' partners, cached until the text changes.
class DiffNavigator {
public:
    /// The view must outlive the navigator.
    explicit DiffNavigator(CRichView &view);

    /// The text changed by edit: the cached runs are brought up to date from the paragraphs it
    /// touched when next asked for. Without an edit (a new text, the result forgotten) they are
    /// read again in full.
    void TextChanged(std::optional<TextEdit> edit);
    /// A new result begins: no moved sentences yet.
    void ForgetMovedPartners() { m_movedPartners.clear(); }
    /// The moved sentence of record has its other end at partner.
    void NoteMovedPartner(int record, int partner) { m_movedPartners[record] = partner; }

    /// The runs of the result as they stand in the text now (cached until the text changes).
    const std::vector<MarkedRun> &Runs() const;
    /// Collects the runs a bounded piece at a time (units as RunCollector::Collect), so that a
    /// long result is read over several steps before the commands ask for it; true once the
    /// runs are cached.
    bool CollectRunsStep(std::int64_t units);
    /// The record the next (forward) or previous difference command goes to from the caret,
    /// or nullopt when there is none.
    std::optional<int> FindDifference(bool forward) const;
    /// Selects the difference a step from the caret reaches, in both windows, and scrolls both
    /// so that its row stands on the same line near the top. False when there is none.
    bool GoToDifference(bool forward);
    /// The record of the other end of the moved sentence the caret stands in, or nullopt when
    /// the caret is in no moved sentence of the result shown.
    std::optional<int> MovedPartner() const;
    /// Selects the other end of the moved sentence the caret stands in, in the other window,
    /// scrolls it near the top and makes that window the active one. False when there is none.
    bool GoToMovedPartner();

private:
    /// The other view's navigator when that view shows the same result, else null.
    DiffNavigator *Paired() const;
    /// Caches the runs, read in full, and the records of their differences.
    void SetRuns(std::vector<MarkedRun> runs) const;
    /// Brings the cached runs up to date with the edits made since they were read; drops them
    /// when the edits do not add up to the text as it stands.
    void ApplyPendingEdit() const;
    /// The runs in record order, sorted again after the runs changed.
    const std::vector<MarkedRun> &RunsByRecord() const;
    /// The sorted records of the result's differences, in either window.
    const std::vector<int> &Differences() const;
    /// Selects the record here (or puts the caret where it would stand when it has no text in
    /// this window), and returns the position of the first paragraph of its row.
    int ShowRecord(int record);
    /// Scrolls so that the line of a position is the top one but for a few lines of context.
    void ScrollNearTop(int position);

    CRichView &m_view;
    /// Caches of Runs and Differences; m_version counts the changes of this view's runs.
    mutable std::optional<std::vector<MarkedRun>> m_runs;
    /// The result the cached runs are of, and the document's length they were read at.
    mutable int m_runsResult = 0;
    mutable int m_runsLength = 0;
    /// The edits made since the cached runs were read, as one.
    mutable std::optional<TextEdit> m_pendingEdit;
    /// The records of the cached runs that are differences, sorted, one for each such run.
    mutable std::vector<int> m_differenceRuns;
    /// The collection of the runs under way, until they are cached.
    std::optional<RunCollector> m_collector;
    mutable std::vector<MarkedRun> m_runsByRecord;
    mutable bool m_runsByRecordStale = true;
    mutable std::vector<int> m_differences;
    mutable std::pair<int, int> m_differencesOf{-1, -1};
    mutable int m_version = 0;
    /// Where a difference step last put the caret for a record with no text here.
    struct PlacedCaret {
        int position = -1;
        int record = -1;
    };
    PlacedCaret m_placedCaret;
    /// The records of moved sentences in the result shown, and the records of their other ends.
    std::unordered_map<int, int> m_movedPartners;
};

} // namespace kivo
