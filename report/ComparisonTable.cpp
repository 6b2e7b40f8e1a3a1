#include "ComparisonTable.h"

#include "Cp932Codec.h"
#include "DocxTable.h"
#include "HtmlReport.h"

namespace kivo::report {

namespace {

constexpr std::size_t kOld = static_cast<std::size_t>(Side::Left);
constexpr std::size_t kNew = static_cast<std::size_t>(Side::Right);

bool IsBreak(char c)
{
    return c == '\r' || c == '\n';
}

/// Builds one cell sentence by sentence: paragraph breaks between paragraphs of the text and at
/// line breaks inside a sentence, none at a sentence's ends.
class CellBuilder {
public:
    /// Appends a sentence's runs to cell; endsParagraph: the next sentence starts a new
    /// paragraph.
    void AddSentence(TableCell &cell, const std::vector<StyledRun> &runs, bool endsParagraph)
    {
        // The sentence's text without the line breaks at its ends, as [first, last) over runs.
        std::size_t firstRun = 0, firstPos = 0;
        while (firstRun < runs.size()) {
            const std::string &text = runs[firstRun].text;
            while (firstPos < text.size() && IsBreak(text[firstPos]))
                ++firstPos;
            if (firstPos < text.size())
                break;
            ++firstRun;
            firstPos = 0;
        }
        std::size_t lastRun = runs.size(), lastPos = 0;
        while (lastRun > firstRun) {
            const std::string &text = runs[lastRun - 1].text;
            std::size_t end = text.size();
            while (end > 0 && IsBreak(text[end - 1]))
                --end;
            if (end > 0) {
                lastPos = end;
                break;
            }
            --lastRun;
        }
        if (firstRun < lastRun) {
            if (m_breakPending || cell.empty())
                cell.emplace_back();
            m_breakPending = false;
            for (std::size_t i = firstRun; i < lastRun; ++i) {
                const std::string &text = runs[i].text;
                const std::size_t from = i == firstRun ? firstPos : 0;
                const std::size_t to = i + 1 == lastRun ? lastPos : text.size();
                AddText(cell, runs[i], std::string_view(text).substr(from, to - from));
            }
        }
        m_breakPending = m_breakPending || endsParagraph;
    }

private:
    static void AddText(TableCell &cell, const StyledRun &style, std::string_view text)
    {
        std::size_t pos = 0;
        while (pos <= text.size()) {
            std::size_t end = pos;
            while (end < text.size() && !IsBreak(text[end]))
                ++end;
            if (end > pos) {
                TableParagraph &paragraph = cell.back();
                if (!paragraph.empty() && paragraph.back().status == style.status &&
                    paragraph.back().moved == style.moved)
                    paragraph.back().text.append(text.substr(pos, end - pos));
                else
                    paragraph.push_back(
                        {style.status, std::string(text.substr(pos, end - pos)), style.moved});
            }
            if (end == text.size())
                break;
            // CR LF is one line break.
            pos =
                end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
            cell.emplace_back();
        }
    }

    bool m_breakPending = false;
};

/// The kinds of the sentence rows of one table row, gathered.
struct RowKinds {
    bool allSame = true;
    bool allAdded = true;
    bool allDeleted = true;

    /// A pair of equal sentences where one side's paragraph ends and the other's goes on: the
    /// paragraphs were split or joined, which is a change even with equal words.
    void AddSplitOrJoin() { allSame = false; }

    void Add(RowKind kind)
    {
        allSame = allSame && kind == RowKind::Same;
        allAdded = allAdded && kind == RowKind::Added;
        allDeleted = allDeleted && kind == RowKind::Deleted;
    }
    TableRowKind Kind() const
    {
        return allSame      ? TableRowKind::Same
               : allAdded   ? TableRowKind::NewOnly
               : allDeleted ? TableRowKind::OldOnly
                            : TableRowKind::Changed;
    }
};

bool EndsParagraph(const std::vector<bool> &ends, std::int32_t index)
{
    return index < 0 || static_cast<std::size_t>(index) >= ends.size() ||
           ends[static_cast<std::size_t>(index)];
}

/// Runs of Same rows become one Omitted row.
std::vector<TableRow> OmitSame(std::vector<TableRow> rows)
{
    std::vector<TableRow> out;
    for (TableRow &row : rows) {
        if (row.kind != TableRowKind::Same) {
            out.push_back(std::move(row));
            continue;
        }
        if (!out.empty() && out.back().kind == TableRowKind::Omitted)
            continue;
        TableRow omitted{TableRowKind::Omitted, {}};
        for (TableCell &cell : omitted.sides)
            cell = {{StyledRun{TextStatus::Original, res::kTableOmitted, false}}};
        out.push_back(std::move(omitted));
    }
    return out;
}

} // namespace

std::array<std::string, 2> NewOldHeadings(const TableOptions &options)
{
    const auto pair = [](const char(&heads)[2][16]) {
        return std::array<std::string, 2>{heads[0], heads[1]};
    };
    switch (options.headings) {
    case TableHeadings::Revision:
        return pair(res::kTableHeadingsRevision);
    case TableHeadings::NewOld:
        return pair(res::kTableHeadingsNewOld);
    case TableHeadings::Draft:
        return pair(res::kTableHeadingsDraft);
    case TableHeadings::Own:
        return options.ownHeadings;
    }
    return pair(res::kTableHeadingsRevision);
}

TableHeadings PresetOf(std::string_view newHeading, std::string_view oldHeading)
{
    for (const TableHeadings preset :
         {TableHeadings::Revision, TableHeadings::NewOld, TableHeadings::Draft}) {
        TableOptions options;
        options.headings = preset;
        const auto heads = NewOldHeadings(options);
        if (heads[0] == newHeading && heads[1] == oldHeading)
            return preset;
    }
    return TableHeadings::Own;
}

TableMark MarkOf(const StyledRun &run)
{
    if (run.moved)
        return TableMark::Double;
    switch (run.status) {
    case TextStatus::Changed:
    case TextStatus::Added:
    case TextStatus::Deleted:
        return TableMark::Underline;
    case TextStatus::Original:
    case TextStatus::Same:
        return TableMark::None;
    }
    return TableMark::None;
}

std::string_view RemarkOf(TableRowKind kind)
{
    switch (kind) {
    case TableRowKind::Changed:
        return res::kTableRemarkChanged;
    case TableRowKind::NewOnly:
        return res::kTableRemarkNew;
    case TableRowKind::OldOnly:
        return res::kTableRemarkDeleted;
    case TableRowKind::Same:
    case TableRowKind::Omitted:
        return {};
    }
    return {};
}

std::optional<std::vector<TableRow>> BuildTable(const ResultList &results,
                                                const PerSide<std::vector<bool>> &paragraphEnds,
                                                const MoveTable *moves, bool omitSame,
                                                Cp932Codec &codec, std::string &error)
{
    // The table pairs sentences whatever layout the windows used.
    auto sentences = BuildRows(results, SentenceLayout::Aligned, codec, error, moves);
    if (!sentences)
        return std::nullopt;
    std::vector<TableRow> rows;
    TableRow row;
    std::array<CellBuilder, 2> cells;
    RowKinds kinds;
    for (const ResultRow &sentence : *sentences) {
        kinds.Add(sentence.kind);
        bool rowEnds = true;
        std::array<bool, 2> ends{};
        for (const std::size_t side : {kOld, kNew}) {
            const std::vector<StyledRun> &runs = sentence.sides[side];
            if (runs.empty())
                continue;
            ends[side] = EndsParagraph(paragraphEnds[side], sentence.index[side]);
            cells[side].AddSentence(row.sides[side], runs, ends[side]);
            rowEnds = rowEnds && ends[side];
        }
        if (sentence.kind == RowKind::Same && ends[kOld] != ends[kNew])
            kinds.AddSplitOrJoin();
        if (!rowEnds)
            continue;
        row.kind = kinds.Kind();
        if (!row.sides[kOld].empty() || !row.sides[kNew].empty())
            rows.push_back(std::move(row));
        row = TableRow{};
        cells = {};
        kinds = RowKinds{};
    }
    if (!row.sides[kOld].empty() || !row.sides[kNew].empty()) {
        row.kind = kinds.Kind();
        rows.push_back(std::move(row));
    }
    sentences.reset();
    return omitSame ? OmitSame(std::move(rows)) : rows;
}

std::optional<std::string> MakeComparisonTable(const ResultList &results,
                                               const PerSide<std::vector<bool>> &paragraphEnds,
                                               const MoveTable *moves, const RichOptions &rules,
                                               const RichOptions &colours,
                                               const TableOptions &options, TableFormat format,
                                               Cp932Codec &codec, std::string &error)
{
    const auto rows = BuildTable(results, paragraphEnds, rules.ViewMove ? moves : nullptr,
                                 options.omitSame, codec, error);
    if (!rows)
        return std::nullopt;
    TableFont font;
    if (const auto face = codec.ToUtf8(colours.CharFormat.FaceName()))
        font.face = *face;
    if (colours.CharFormat.yHeight > 0)
        font.points = colours.CharFormat.yHeight / 20.0;
    switch (format) {
    case TableFormat::Docx:
        return WriteDocxTable(*rows, options, font, colours, error);
    case TableFormat::Html:
        return FormatHtmlTable(*rows, options, font, colours);
    }
    return std::nullopt;
}

} // namespace kivo::report
