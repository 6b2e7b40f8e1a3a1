#include "ResultSummary.h"

namespace kivo {

ResultSummary Summarize(const ResultList &results)
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
    return counts;
}

} // namespace kivo
