#include "HtmlFormat.h"

#include "DisplayWidth.h"
#include "Utf8.h"

#include <cstdio>

namespace kivo::cli {

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

std::string StyleSheet(const RichOptions &options)
{
    std::string css = "body{margin:1em;background:" + CssColor(options.Color[Background]) +
                      ";color:" + CssColor(options.Color[ColorOriginal]) +
                      ";font-family:\"IPAGothic\",\"Noto Sans Mono CJK JP\",monospace;}\n"
                      "table{border-collapse:collapse;width:100%;table-layout:fixed;}\n"
                      "th,td{width:50%;vertical-align:top;text-align:left;padding:0.2em 0.5em;"
                      "border:1px solid #d0d0d0;white-space:pre-wrap;overflow-wrap:anywhere;"
                      "tab-size:4;}\n"
                      "th{font-weight:normal;color:#606060;}\n";
    for (int s = 0; s < static_cast<int>(kEffectCount); ++s) {
        const auto status = static_cast<TextStatus>(s);
        css += ".s" + std::to_string(s) + "{color:" + CssColor(options.Color[ColorSlotOf(status)]) +
               ";" + std::string(CssEffect(options.Effect[EffectSlotOf(status)])) + "}\n";
    }
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
        out += "<span class=\"s" + std::to_string(static_cast<int>(run.status)) + "\">";
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

std::string FormatHtml(const std::vector<ResultRow> &rows, const RichOptions &options,
                       std::string_view leftName, std::string_view rightName)
{
    std::string out = "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
                      "<title>";
    AppendHtmlText(out, DisplayName(leftName));
    out += " \xE2\x87\x94 "; // ⇔
    AppendHtmlText(out, DisplayName(rightName));
    out += "</title>\n<style>\n" + StyleSheet(options) + "</style>\n</head>\n<body>\n<table>\n";
    out += "<thead><tr><th>";
    AppendHtmlText(out, DisplayName(leftName));
    out += "</th><th>";
    AppendHtmlText(out, DisplayName(rightName));
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

} // namespace kivo::cli
