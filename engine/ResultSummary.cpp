#include "ResultSummary.h"

namespace kivo {

ResultSummary Summarize(const ResultList &results, const MoveTable *moves)
{
    ResultSummary counts;
    for (const ResultPair &record : results) {
        if (record.sentenceEnd != 1)
            continue;
        switch (record.status) {
        case TextStatus::Same:
            ++counts.same;
            break;
        case TextStatus::Added:
            ++counts.added;
            break;
        case TextStatus::Deleted:
            ++counts.deleted;
            break;
        case TextStatus::Original:
        case TextStatus::Changed:
            ++counts.changed;
            break;
        }
    }
    if (moves) {
        const int moved = static_cast<int>(moves->Count());
        counts.moved = moved;
        counts.added -= moved;
        counts.deleted -= moved;
    }
    return counts;
}

} // namespace kivo
