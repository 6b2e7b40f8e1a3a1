#include "HtmlReport.h"

#include "Cp932Codec.h"
#include "DisplayWidth.h"
#include "Moves.h"
#include "Utf8.h"
#include "resources/Dialogs.h"
#include "resources/ReportText.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace kivo::report {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

/// #RRGGBB of a 0x00BBGGRR colour reference.
std::string CssColor(ColorRef color)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", color & 0xFF, (color >> 8) & 0xFF,
                  (color >> 16) & 0xFF);
    return buffer;
}

std::string_view CssEffect(std::int32_t effect)
{
    switch (effect) {
    case static_cast<int>(EffectCode::Bold):
        return "font-weight:bold;";
    case static_cast<int>(EffectCode::Italic):
        return "font-style:italic;";
    case static_cast<int>(EffectCode::Underline):
        return "text-decoration:underline;";
    case static_cast<int>(EffectCode::StrikeOut):
        return "text-decoration:line-through;";
    default:
        return "";
    }
}

/// text as a CSS string: quotes and backslashes escaped, and '<' and controls as hexadecimal
/// escapes, so that it can neither end the string nor the style element.
std::string CssString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\' || c == '<' || c == '>' || byte < 0x20 || byte == 0x7F) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\%x ", byte);
            out += buffer;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string RunStyle(const RichOptions &options, std::size_t colorSlot, std::size_t effectSlot)
{
    return "{color:" + CssColor(options.Color[colorSlot]) + ";" +
           std::string(CssEffect(options.Effect[effectSlot])) + "}\n";
}

std::string StyleSheet(const RichOptions &options, Cp932Codec &codec)
{
    std::string face;
    if (const auto name = codec.ToUtf8(options.CharFormat.FaceName()); name && !name->empty())
        face = CssString(*name) + ",";
    const std::string background = CssColor(options.Color[Background]);
    std::string css =
        "body{margin:1em;color:#000;background:#fff;font-family:" + face +
        "\"IPAGothic\",\"Noto Sans Mono CJK JP\",monospace;}\n"
        "h1{font-size:1.3em;margin:0 0 0.5em;}\n"
        "table.about{border-collapse:collapse;margin-bottom:1em;}\n"
        "table.about th{text-align:left;font-weight:normal;color:#505050;padding:0.1em 1em 0.1em "
        "0;vertical-align:top;white-space:nowrap;}\n"
        "table.about td{padding:0.1em 0;overflow-wrap:anywhere;}\n"
        ".count{background:" +
        background +
        ";padding:0 0.3em;}\n"
        "table.result{border-collapse:collapse;width:100%;table-layout:fixed;}\n"
        "table.result th,table.result td{width:50%;vertical-align:top;text-align:left;"
        "padding:0.2em 0.5em;border:1px solid #d0d0d0;white-space:pre-wrap;"
        "overflow-wrap:anywhere;tab-size:4;}\n"
        "table.result th{font-weight:normal;color:#505050;background:#f4f4f4;}\n"
        "table.result td{background:" +
        background + ";color:" + CssColor(options.Color[ColorOriginal]) + ";}\n";
    for (int s = 0; s < static_cast<int>(kEffectCodeCount); ++s) {
        const auto status = static_cast<TextStatus>(s);
        css +=
            ".s" + std::to_string(s) + RunStyle(options, ColorSlotOf(status), EffectSlotOf(status));
    }
    css += ".mv" + RunStyle(options, ColorMoved, kMovedEffectSlot);
    // On paper: the chosen colours are kept, the column heads repeat on every page, and a row
    // that fits on a page is not split.
    css += "@page{size:A4 landscape;margin:12mm;}\n"
           "@media print{body{margin:0;font-size:9pt;}"
           "*{-webkit-print-color-adjust:exact;print-color-adjust:exact;}"
           "thead{display:table-header-group;}tr{break-inside:avoid;}}\n";
    return css;
}

/// name as UTF-8 for the page: bytes that are not UTF-8 become U+FFFD.
std::string DisplayName(std::string_view name)
{
    std::string out;
    std::size_t pos = 0;
    while (pos < name.size()) {
        const std::size_t start = pos;
        char32_t cp = 0;
        if (utf8::Decode(name, pos, cp)) {
            out.append(name.substr(start, pos - start));
        } else {
            utf8::Append(out, kReplacement);
            ++pos;
        }
    }
    return out;
}

void AppendCell(std::string &out, const std::vector<StyledRun> &runs)
{
    out += "<td>";
    for (const StyledRun &run : runs) {
        out += "<span class=\"";
        out += run.moved ? "mv" : "s" + std::to_string(static_cast<int>(run.status));
        out += "\">";
        AppendHtmlText(out, run.text);
        out += "</span>";
    }
    out += "</td>";
}

std::string_view RowClass(RowKind kind)
{
    switch (kind) {
    case RowKind::Same:
        return "same";
    case RowKind::Changed:
        return "changed";
    case RowKind::Added:
        return "added";
    case RowKind::Deleted:
        return "deleted";
    case RowKind::Layout:
        return "layout";
    }
    return "";
}

/// One line of the table about the comparison: a label and its text.
void AppendAbout(std::string &out, std::string_view label, std::string_view text)
{
    out += "<tr><th>";
    out += label;
    out += "</th><td>";
    AppendHtmlText(out, text);
    out += "</td></tr>\n";
}

/// The counts of the pairs, each under the label and in the colour and effect of its status.
std::string CountsHtml(const ResultSummary &summary)
{
    struct Count {
        std::string_view cssClass;
        std::size_t colorSlot;
        int value;
    };
    std::vector<Count> counts{{"s1", ColorSame, summary.same},
                              {"s2", ColorChanged, summary.changed},
                              {"s3", ColorAdded, summary.added},
                              {"s4", ColorDeleted, summary.deleted}};
    if (summary.moved)
        counts.push_back({"mv", ColorMoved, *summary.moved});
    std::string out;
    for (const Count &count : counts) {
        if (!out.empty())
            out += res::kReportListSeparator;
        out += "<span class=\"count ";
        out += count.cssClass;
        out += "\">";
        out += res::kColorLabels[count.colorSlot];
        out += " " + std::to_string(count.value) + "</span>";
    }
    return out;
}

/// items joined into one line; the text for none when there are none.
std::string JoinItems(const std::vector<std::string_view> &items)
{
    if (items.empty())
        return res::kReportNoRules;
    std::string out;
    for (const std::string_view item : items) {
        if (!out.empty())
            out += res::kReportListSeparator;
        out += item;
    }
    return out;
}

/// The current delimiter set as the user typed it, UTF-8.
std::string DelimitersText(const RichOptions &options, Cp932Codec &codec)
{
    const auto text = codec.ToUtf8(options.Sptr[0]);
    return text ? *text : std::string();
}

/// The comparison rules that were on, by the labels of the comparison settings.
std::string RulesText(const RichOptions &options)
{
    std::vector<std::string_view> rules;
    const std::pair<std::int32_t, std::string_view> flags[] = {
        {options.CmpChar, res::kSetupCmpChar},      {options.CmpCase, res::kSetupCmpCase},
        {options.CmpZen, res::kSetupCmpZen},        {options.CmpZenSp, res::kSetupCmpZenSp},
        {options.CmpKana, res::kSetupCmpKana},      {options.CmpPunct, res::kSetupCmpPunct},
        {options.KeepQuotes, res::kSetupKeepQuotes}};
    for (const auto &[flag, label] : flags) {
        if (flag != 0)
            rules.push_back(label);
    }
    return JoinItems(rules);
}

/// The display settings that shape the report, by the labels of the comparison settings: the
/// layout of the rows and whether moved sentences are shown. (Blank lines between rows and
/// underscores for whitespace belong to the windows; the table has neither.)
std::string ViewText(const RichOptions &options)
{
    std::vector<std::string_view> items;
    items.push_back(options.ViewFormat == SentenceLayout::Aligned ? res::kSetupViewAligned
                                                                  : res::kSetupViewUnchanged);
    if (options.ViewMove != 0)
        items.push_back(res::kSetupViewMove);
    return JoinItems(items);
}

} // namespace

void AppendHtmlText(std::string &out, std::string_view utf8)
{
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t start = pos;
        char32_t cp = 0;
        if (!utf8::Decode(utf8, pos, cp)) {
            utf8::Append(out, kReplacement);
            ++pos;
            continue;
        }
        switch (cp) {
        case '&':
            out += "&amp;";
            continue;
        case '<':
            out += "&lt;";
            continue;
        case '>':
            out += "&gt;";
            continue;
        case '"':
            out += "&quot;";
            continue;
        case '\'':
            out += "&#39;";
            continue;
        case '\r':
        case '\n':
            out += "<br>";
            continue;
        default:
            break;
        }
        if (const std::string visible = VisibleForm(cp); !visible.empty())
            out += visible;
        else
            out.append(utf8.substr(start, pos - start));
    }
}

std::string ReportDate(std::chrono::system_clock::time_point when)
{
    const std::time_t time = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    if (!localtime_r(&time, &local))
        return {};
    char buffer[32];
    const std::size_t length = std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M", &local);
    return std::string(buffer, length);
}

std::string FormatHtmlReport(const std::vector<ResultRow> &rows, const RichOptions &rules,
                             const RichOptions &colours, const ReportInfo &info, Cp932Codec &codec)
{
    const auto title = [&info](Side side) {
        return DisplayName(info.titles[static_cast<std::size_t>(side)]);
    };
    std::string out = "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
                      "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">\n"
                      "<title>";
    AppendHtmlText(out, title(Side::Left) + res::kReportTitleJoin + title(Side::Right));
    out += "</title>\n<style>\n" + StyleSheet(colours, codec) + "</style>\n</head>\n<body>\n<h1>";
    out += res::kReportHeading;
    out += "</h1>\n<table class=\"about\">\n";
    AppendAbout(out, res::kReportLeft, title(Side::Left));
    AppendAbout(out, res::kReportRight, title(Side::Right));
    AppendAbout(out, res::kReportDate, info.date);
    out += "<tr><th>";
    out += res::kReportCounts;
    out += "</th><td>" + CountsHtml(info.summary) + "</td></tr>\n";
    AppendAbout(out, res::kSetupDelimiterGroup, "「" + DelimitersText(rules, codec) + "」");
    AppendAbout(out, res::kSetupRuleGroup, RulesText(rules));
    AppendAbout(out, res::kSetupViewGroup, ViewText(rules));
    out += "</table>\n<table class=\"result\">\n<thead><tr><th>";
    AppendHtmlText(out, title(Side::Left));
    out += "</th><th>";
    AppendHtmlText(out, title(Side::Right));
    out += "</th></tr></thead>\n<tbody>\n";
    for (const ResultRow &row : rows) {
        out += "<tr class=\"";
        out += RowClass(row.kind);
        out += "\">";
        AppendCell(out, RunsOf(row, Side::Left));
        AppendCell(out, RunsOf(row, Side::Right));
        out += "</tr>\n";
    }
    out += "</tbody>\n</table>\n</body>\n</html>\n";
    return out;
}

std::string FormatHtmlTable(const std::vector<TableRow> &rows, const TableOptions &options,
                            const TableFont &font, const RichOptions &colours)
{
    std::string face;
    if (!font.face.empty())
        face = CssString(DisplayName(font.face)) + ",";
    char size[32];
    std::snprintf(size, sizeof size, "%gpt", std::clamp(font.points, 1.0, 1638.0));
    std::string css = "body{margin:1em;color:#000;background:#fff;font-family:" + face +
                      "\"IPAMincho\",\"IPAGothic\",\"Noto Serif CJK JP\",serif;font-size:" + size +
                      ";}\n"
                      "h1{font-size:1.5em;text-align:center;margin:0 0 0.6em;}\n"
                      "table{border-collapse:collapse;width:100%;table-layout:fixed;}\n"
                      "th,td{border:0.5pt solid #000;vertical-align:top;text-align:left;"
                      "padding:0.2em 0.4em;white-space:pre-wrap;overflow-wrap:anywhere;"
                      "tab-size:4;}\n"
                      "th{background:#d9d9d9;font-weight:normal;text-align:center;"
                      "vertical-align:middle;}\n"
                      "th.remark,td.remark{width:6em;text-align:center;}\n"
                      "p{margin:0;}\n"
                      ".u{text-decoration:underline;}\n"
                      ".uu{text-decoration:underline double;}\n";
    if (options.colours) {
        css += "td{background:" + CssColor(colours.Color[Background]) +
               ";color:" + CssColor(colours.Color[ColorOriginal]) + ";}\n";
        for (int s = 0; s < static_cast<int>(kEffectCodeCount); ++s) {
            const auto status = static_cast<TextStatus>(s);
            css += ".s" + std::to_string(s) +
                   RunStyle(colours, ColorSlotOf(status), EffectSlotOf(status));
        }
        css += ".mv" + RunStyle(colours, ColorMoved, kMovedEffectSlot);
    }
    css += "@page{size:A4 landscape;margin:20mm;}\n"
           "@media print{body{margin:0;}"
           "*{-webkit-print-color-adjust:exact;print-color-adjust:exact;}"
           "thead{display:table-header-group;}}\n";

    const auto className = [&options](const StyledRun &run) -> std::string {
        if (options.colours)
            return run.moved ? "mv" : "s" + std::to_string(static_cast<int>(run.status));
        switch (MarkOf(run)) {
        case TableMark::None:
            return {};
        case TableMark::Underline:
            return "u";
        case TableMark::Double:
            return "uu";
        }
        return {};
    };
    const auto appendCell = [&](std::string &out, const TableCell &cell) {
        out += "<td>";
        for (const TableParagraph &paragraph : cell) {
            out += "<p>";
            for (const StyledRun &run : paragraph) {
                const std::string name = className(run);
                if (!name.empty())
                    out += "<span class=\"" + name + "\">";
                AppendHtmlText(out, run.text);
                if (!name.empty())
                    out += "</span>";
            }
            out += "</p>";
        }
        out += "</td>";
    };

    const std::array<std::string, 2> heads = NewOldHeadings(options);
    const std::size_t first = options.oldLeft ? static_cast<std::size_t>(Side::Left)
                                              : static_cast<std::size_t>(Side::Right);
    const std::string &firstHead = options.oldLeft ? heads[1] : heads[0];
    const std::string &secondHead = options.oldLeft ? heads[0] : heads[1];

    std::string out = "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
                      "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">\n"
                      "<title>";
    AppendHtmlText(out, options.title.empty() ? res::kTableTitle : options.title);
    out += "</title>\n<style>\n" + css + "</style>\n</head>\n<body>\n";
    if (!options.title.empty()) {
        out += "<h1>";
        AppendHtmlText(out, options.title);
        out += "</h1>\n";
    }
    out += "<table>\n<thead><tr><th>";
    AppendHtmlText(out, firstHead);
    out += "</th><th>";
    AppendHtmlText(out, secondHead);
    out += "</th>";
    if (options.remarks) {
        out += "<th class=\"remark\">";
        out += res::kTableRemarks;
        out += "</th>";
    }
    out += "</tr></thead>\n<tbody>\n";
    for (const TableRow &row : rows) {
        out += "<tr>";
        appendCell(out, row.sides[first]);
        appendCell(out, row.sides[1 - first]);
        if (options.remarks) {
            out += "<td class=\"remark\">";
            out += RemarkOf(row.kind);
            out += "</td>";
        }
        out += "</tr>\n";
    }
    out += "</tbody>\n</table>\n</body>\n</html>\n";
    return out;
}

std::optional<std::string> MakeHtmlReport(const ResultList &results, const MoveTable *moves,
                                          const RichOptions &rules, const RichOptions &colours,
                                          std::array<std::string, 2> titles, std::string date,
                                          Cp932Codec &codec, std::string &error)
{
    if (!rules.ViewMove)
        moves = nullptr;
    const auto rows = BuildRows(results, rules.ViewFormat, codec, error, moves);
    if (!rows)
        return std::nullopt;
    ReportInfo info{std::move(titles), std::move(date), Summarize(results, moves)};
    return FormatHtmlReport(*rows, rules, colours, info, codec);
}

} // namespace kivo::report
