#include "TextFormat.h"

#include "DisplayWidth.h"
#include "Utf8.h"

#include <algorithm>
#include <array>
#include <climits>

namespace kivo::cli {

using report::DisplayWidth;
using report::VisibleForm;

namespace {

constexpr int kTabWidth = 4;    // tab stops every four columns, as the text windows
constexpr int kGutterWidth = 3; // blank, mark, blank between the two columns
constexpr std::string_view kReset = "\x1b[0m";

/// One character cell of a line: its bytes, its columns and its status.
struct Cell {
    std::string glyph;
    int width = 1;
    TextStatus status = TextStatus::Original;
};

struct Line {
    std::vector<Cell> cells;
    int width = 0;
};

/// Cuts the runs of one side into display lines of at most columnWidth columns.
class LineWrapper {
public:
    explicit LineWrapper(int columnWidth) : m_columnWidth(columnWidth) { m_lines.emplace_back(); }

    void Add(const StyledRun &run)
    {
        std::size_t pos = 0;
        while (pos < run.text.size()) {
            const std::size_t start = pos;
            char32_t cp = 0;
            if (!utf8::Decode(run.text, pos, cp)) { // never happens: the codec writes UTF-8
                ++pos;
                cp = 0xFFFD;
            }
            AddChar(cp, std::string_view(run.text).substr(start, pos - start), run.status);
        }
    }

    std::vector<Line> Finish()
    {
        // A text that ends with a line break does not open a further, empty line.
        if (m_lines.size() > 1 && m_lines.back().cells.empty())
            m_lines.pop_back();
        if (m_lines.size() == 1 && m_lines.back().cells.empty() && !m_sawBreak)
            m_lines.clear();
        return std::move(m_lines);
    }

private:
    void AddChar(char32_t cp, std::string_view bytes, TextStatus status)
    {
        if (cp == '\r' || cp == '\n') {
            m_sawBreak = true;
            m_lines.emplace_back();
            return;
        }
        if (cp == '\t') {
            const int spaces = kTabWidth - m_lines.back().width % kTabWidth;
            for (int i = 0; i < spaces && m_lines.back().width < m_columnWidth; ++i)
                Put({" ", 1, status});
            return;
        }
        if (const std::string visible = VisibleForm(cp); !visible.empty()) {
            Put({visible, 1, status});
            return;
        }
        const int width = DisplayWidth(cp);
        if (width == 0 && !m_lines.back().cells.empty()) {
            m_lines.back().cells.back().glyph += bytes; // a combining mark joins its base
            return;
        }
        Put({std::string(bytes), width, status});
    }

    void Put(Cell cell)
    {
        if (m_lines.back().width + cell.width > m_columnWidth && !m_lines.back().cells.empty())
            m_lines.emplace_back();
        m_lines.back().width += cell.width;
        m_lines.back().cells.push_back(std::move(cell));
    }

    int m_columnWidth;
    std::vector<Line> m_lines;
    bool m_sawBreak = false;
};

/// The ANSI foreground colour (30-37, 90-97) nearest to a colour reference, by the usual VGA
/// palette.
int NearestAnsiColor(ColorRef color)
{
    struct Entry {
        int code;
        int r, g, b;
    };
    static constexpr std::array<Entry, 16> kPalette{{
        {30, 0, 0, 0},
        {31, 170, 0, 0},
        {32, 0, 170, 0},
        {33, 170, 85, 0},
        {34, 0, 0, 170},
        {35, 170, 0, 170},
        {36, 0, 170, 170},
        {37, 170, 170, 170},
        {90, 85, 85, 85},
        {91, 255, 85, 85},
        {92, 85, 255, 85},
        {93, 255, 255, 85},
        {94, 85, 85, 255},
        {95, 255, 85, 255},
        {96, 85, 255, 255},
        {97, 255, 255, 255},
    }};
    const int r = static_cast<int>(color & 0xFF);
    const int g = static_cast<int>((color >> 8) & 0xFF);
    const int b = static_cast<int>((color >> 16) & 0xFF);
    int best = kPalette[0].code;
    int bestDistance = INT_MAX;
    for (const Entry &e : kPalette) {
        const int d = (e.r - r) * (e.r - r) + (e.g - g) * (e.g - g) + (e.b - b) * (e.b - b);
        if (d < bestDistance) {
            bestDistance = d;
            best = e.code;
        }
    }
    return best;
}

/// The SGR sequence that starts text of a status; empty for plain text.
std::string StyleOf(TextStatus status, const RichOptions &options)
{
    std::string params;
    auto add = [&params](int code) {
        if (!params.empty())
            params += ';';
        params += std::to_string(code);
    };
    switch (options.Effect[EffectSlotOf(status)]) {
    case static_cast<int>(EffectCode::Bold):
        add(1);
        break;
    case static_cast<int>(EffectCode::Italic):
        add(3);
        break;
    case static_cast<int>(EffectCode::Underline):
        add(4);
        break;
    case static_cast<int>(EffectCode::StrikeOut):
        add(9);
        break;
    default:
        break;
    }
    if (status != TextStatus::Original)
        add(NearestAnsiColor(options.Color[ColorSlotOf(status)]));
    return params.empty() ? std::string() : "\x1b[" + params + "m";
}

class TextWriter {
public:
    TextWriter(const RichOptions &options, const TextLayout &layout)
        : m_layout(layout), m_columnWidth(std::max(1, (layout.width - kGutterWidth) / 2))
    {
        for (std::size_t s = 0; s < m_styles.size(); ++s)
            m_styles[s] = StyleOf(static_cast<TextStatus>(s), options);
    }

    void Row(const ResultRow &row)
    {
        const std::vector<Line> left = Wrap(RunsOf(row, Side::Left));
        const std::vector<Line> right = Wrap(RunsOf(row, Side::Right));
        const std::size_t height = std::max(left.size(), right.size());
        if (height == 0)
            return;
        if (m_rows++ > 0 && row.kind != RowKind::Layout)
            m_out += '\n';
        for (std::size_t i = 0; i < height; ++i) {
            WriteLine(i < left.size() ? &left[i] : nullptr, true);
            m_out += ' ';
            m_out += i == 0 ? Mark(row.kind) : ' ';
            if (i < right.size() && !right[i].cells.empty()) {
                m_out += ' ';
                WriteLine(&right[i], false);
            }
            m_out += '\n';
        }
    }

    std::string Take() { return std::move(m_out); }

private:
    static char Mark(RowKind kind)
    {
        switch (kind) {
        case RowKind::Same:
        case RowKind::Layout:
            return ' ';
        case RowKind::Changed:
            return '|';
        case RowKind::Added:
            return '>';
        case RowKind::Deleted:
            return '<';
        }
        return ' ';
    }

    std::vector<Line> Wrap(const std::vector<StyledRun> &runs) const
    {
        LineWrapper wrapper(m_columnWidth);
        for (const StyledRun &run : runs)
            wrapper.Add(run);
        return wrapper.Finish();
    }

    void WriteLine(const Line *line, bool pad)
    {
        int width = 0;
        if (line) {
            const std::string *current = nullptr;
            for (const Cell &cell : line->cells) {
                const std::string &style = m_styles[static_cast<std::size_t>(cell.status)];
                if (m_layout.color && current != &style) {
                    if (current && !current->empty())
                        m_out += kReset;
                    m_out += style;
                    current = &style;
                }
                m_out += cell.glyph;
            }
            if (m_layout.color && current && !current->empty())
                m_out += kReset;
            width = line->width;
        }
        if (pad)
            m_out.append(static_cast<std::size_t>(std::max(0, m_columnWidth - width)), ' ');
    }

    const TextLayout &m_layout;
    int m_columnWidth;
    std::array<std::string, 5> m_styles; ///< by status
    std::string m_out;
    std::size_t m_rows = 0;
};

} // namespace

std::string FormatText(const std::vector<ResultRow> &rows, const RichOptions &options,
                       const TextLayout &layout)
{
    TextWriter writer(options, layout);
    for (const ResultRow &row : rows)
        writer.Row(row);
    return writer.Take();
}

} // namespace kivo::cli
