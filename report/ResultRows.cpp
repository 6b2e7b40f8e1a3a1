#include "ResultRows.h"

#include "Cp932Codec.h"
#include "Moves.h"

namespace kivo::report {

namespace {

RowKind KindOf(TextStatus closingStatus, bool hasRuns)
{
    if (hasRuns)
        return RowKind::Changed;
    switch (closingStatus) {
    case TextStatus::Same:
        return RowKind::Same;
    case TextStatus::Added:
        return RowKind::Added;
    case TextStatus::Deleted:
        return RowKind::Deleted;
    case TextStatus::Changed:
    case TextStatus::Original:
        return RowKind::Changed;
    }
    return RowKind::Changed;
}

class RowBuilder {
public:
    RowBuilder(Cp932Codec &codec, std::string &error, const MoveTable *moves)
        : m_codec(codec), m_error(error), m_moves(moves)
    {}

    bool Add(ResultRow &row, const ResultPair &record)
    {
        const bool moved = m_moves && m_moves->PartnerOf(record) >= 0;
        return AddText(row, Side::Left, record.status, moved, record.leftText) &&
               AddText(row, Side::Right, record.status, moved, record.rightText);
    }

private:
    bool AddText(ResultRow &row, Side side, TextStatus status, bool moved, const std::string &cp932)
    {
        if (cp932.empty())
            return true;
        Cp932Codec::Error error;
        auto text = m_codec.ToUtf8(cp932, &error);
        if (!text) {
            m_error = "result text is not code page 932: " + error.message;
            return false;
        }
        auto &runs = row.sides[static_cast<std::size_t>(side)];
        if (!runs.empty() && runs.back().status == status && runs.back().moved == moved)
            runs.back().text += *text;
        else
            runs.push_back({status, std::move(*text), moved});
        return true;
    }

    Cp932Codec &m_codec;
    std::string &m_error;
    const MoveTable *m_moves;
};

} // namespace

std::optional<std::vector<ResultRow>> BuildRows(const ResultList &results, SentenceLayout layout,
                                                Cp932Codec &codec, std::string &error,
                                                const MoveTable *moves)
{
    RowBuilder builder(codec, error, moves);
    std::vector<ResultRow> rows;
    if (layout == SentenceLayout::Unchanged) {
        ResultRow row{RowKind::Layout, {}};
        for (const ResultPair &record : results) {
            if (!builder.Add(row, record))
                return std::nullopt;
        }
        rows.push_back(std::move(row));
        return rows;
    }
    ResultRow row;
    bool hasRuns = false;
    for (const ResultPair &record : results) {
        if (!builder.Add(row, record))
            return std::nullopt;
        if (record.sentenceEnd == 0) {
            hasRuns = true;
            continue;
        }
        row.kind = KindOf(record.status, hasRuns);
        row.index = {record.leftIndex, record.rightIndex};
        rows.push_back(std::move(row));
        row = ResultRow{};
        hasRuns = false;
    }
    if (hasRuns) { // runs without a closing record: still show them
        row.kind = RowKind::Changed;
        rows.push_back(std::move(row));
    }
    return rows;
}

const std::vector<StyledRun> &RunsOf(const ResultRow &row, Side side)
{
    return row.sides[static_cast<std::size_t>(side)];
}

} // namespace kivo::report
