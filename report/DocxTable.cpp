#include "DocxTable.h"

#include "DisplayWidth.h"
#include "Utf8.h"

#include <zip.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <memory>

namespace kivo::report {

namespace {

/// The modification time of every part of the archive: 2000-01-01, any fixed time will do.
constexpr std::time_t kPartTime = 946684800;


// The page in twentieths of a point: A4 landscape with margins of 20 mm, the footer 10 mm
// above the paper's edge.
constexpr int kPageWidth = 16838;
constexpr int kPageHeight = 11906;
constexpr int kMargin = 1134;
constexpr int kFooterDistance = 567;
constexpr int kTextWidth = kPageWidth - 2 * kMargin;
constexpr int kRemarksWidth = 1300; // room for "(変更)" and the cell's padding
constexpr char kHeaderShade[] = "D9D9D9";

constexpr char kWordNamespaces[] =
    "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"";
constexpr char kXmlDeclaration[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

void AppendEscaped(std::string &out, std::string_view utf8)
{
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t start = pos;
        char32_t cp = 0;
        if (!utf8::Decode(utf8, pos, cp)) {
            utf8::Append(out, 0xFFFD);
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
        case 0xFFFE:
        case 0xFFFF: // not characters of XML
            utf8::Append(out, 0xFFFD);
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

/// RRGGBB of a 0x00BBGGRR colour reference.
std::string HexColor(ColorRef color)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02X%02X%02X", color & 0xFF, (color >> 8) & 0xFF,
                  (color >> 16) & 0xFF);
    return buffer;
}

std::string_view EffectProperty(std::int32_t effect)
{
    switch (effect) {
    case static_cast<int>(EffectCode::Bold):
        return "<w:b/>";
    case static_cast<int>(EffectCode::Italic):
        return "<w:i/>";
    case static_cast<int>(EffectCode::Underline):
        return "<w:u w:val=\"single\"/>";
    case static_cast<int>(EffectCode::StrikeOut):
        return "<w:strike/>";
    default:
        return "";
    }
}

/// The run properties of a run: its underline on paper, or its status's colour and effect.
std::string RunProperties(const StyledRun &run, const TableOptions &options,
                          const RichOptions &colours)
{
    if (options.colours) {
        const std::size_t colorSlot = run.moved ? ColorMoved : ColorSlotOf(run.status);
        const std::size_t effectSlot = run.moved ? kMovedEffectSlot : EffectSlotOf(run.status);
        return "<w:rPr>" + std::string(EffectProperty(colours.Effect[effectSlot])) +
               "<w:color w:val=\"" + HexColor(colours.Color[colorSlot]) + "\"/></w:rPr>";
    }
    switch (MarkOf(run)) {
    case TableMark::None:
        return {};
    case TableMark::Underline:
        return "<w:rPr><w:u w:val=\"single\" w:color=\"000000\"/></w:rPr>";
    case TableMark::Double:
        return "<w:rPr><w:u w:val=\"double\" w:color=\"000000\"/></w:rPr>";
    }
    return {};
}

void AppendParagraph(std::string &out, std::string_view style, const TableParagraph &runs,
                     const TableOptions &options, const RichOptions &colours)
{
    out += "<w:p><w:pPr><w:pStyle w:val=\"";
    out += style;
    out += "\"/></w:pPr>";
    for (const StyledRun &run : runs) {
        out += "<w:r>" + RunProperties(run, options, colours);
        AppendDocxRunText(out, run.text);
        out += "</w:r>";
    }
    out += "</w:p>";
}

/// A paragraph of plain text in a style; none of its runs when text is empty.
void AppendPlainParagraph(std::string &out, std::string_view style, std::string_view text)
{
    out += "<w:p><w:pPr><w:pStyle w:val=\"";
    out += style;
    out += "\"/></w:pPr>";
    if (!text.empty()) {
        out += "<w:r>";
        AppendDocxRunText(out, text);
        out += "</w:r>";
    }
    out += "</w:p>";
}

void AppendCellStart(std::string &out, int width, std::string_view fill)
{
    out += "<w:tc><w:tcPr><w:tcW w:w=\"" + std::to_string(width) + "\" w:type=\"dxa\"/>";
    if (!fill.empty()) {
        out += "<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"";
        out += fill;
        out += "\"/>";
    }
    out += "</w:tcPr>";
}

void AppendCell(std::string &out, int width, std::string_view fill, const TableCell &cell,
                const TableOptions &options, const RichOptions &colours)
{
    AppendCellStart(out, width, fill);
    if (cell.empty())
        out += "<w:p><w:pPr><w:pStyle w:val=\"TableText\"/></w:pPr></w:p>"; // a cell needs one
    for (const TableParagraph &paragraph : cell)
        AppendParagraph(out, "TableText", paragraph, options, colours);
    out += "</w:tc>";
}

std::string BorderElements()
{
    std::string out;
    for (const char *edge : {"top", "left", "bottom", "right", "insideH", "insideV"}) {
        out += "<w:";
        out += edge;
        out += " w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"000000\"/>";
    }
    return out;
}

std::string DocumentXml(const std::vector<TableRow> &rows, const TableOptions &options,
                        const RichOptions &colours)
{
    const int textColumn = options.remarks ? (kTextWidth - kRemarksWidth) / 2 : kTextWidth / 2;
    const std::array<std::string, 2> heads = NewOldHeadings(options);
    // Columns in order: the new text first unless the old one stands left.
    const std::size_t first = options.oldLeft ? static_cast<std::size_t>(Side::Left)
                                              : static_cast<std::size_t>(Side::Right);
    const std::size_t second = 1 - first;
    const std::string &firstHead = options.oldLeft ? heads[1] : heads[0];
    const std::string &secondHead = options.oldLeft ? heads[0] : heads[1];
    // With colours, the body cells take the windows' background where it is not white.
    std::string background;
    if (options.colours && (colours.Color[Background] & 0xFFFFFF) != 0xFFFFFF)
        background = HexColor(colours.Color[Background]);

    std::string out = kXmlDeclaration;
    out += "<w:document ";
    out += kWordNamespaces;
    out += "><w:body>\n";
    if (!options.title.empty()) {
        AppendPlainParagraph(out, "Title", options.title);
        out += '\n';
    }
    out += "<w:tbl><w:tblPr><w:tblStyle w:val=\"TableGrid\"/><w:tblW w:w=\"" +
           std::to_string(kTextWidth) +
           "\" w:type=\"dxa\"/><w:tblLayout w:type=\"fixed\"/><w:tblBorders>" + BorderElements() +
           "</w:tblBorders><w:tblCellMar><w:top w:w=\"57\" w:type=\"dxa\"/><w:left w:w=\"113\" "
           "w:type=\"dxa\"/><w:bottom w:w=\"57\" w:type=\"dxa\"/><w:right w:w=\"113\" "
           "w:type=\"dxa\"/></w:tblCellMar></w:tblPr><w:tblGrid>";
    for (int column = 0; column < 2; ++column)
        out += "<w:gridCol w:w=\"" + std::to_string(textColumn) + "\"/>";
    if (options.remarks)
        out += "<w:gridCol w:w=\"" + std::to_string(kRemarksWidth) + "\"/>";
    out += "</w:tblGrid>\n";

    // The header row, repeated at the top of every page and never split.
    out += "<w:tr><w:trPr><w:cantSplit/><w:tblHeader/></w:trPr>";
    const auto headCell = [&](int width, std::string_view text) {
        AppendCellStart(out, width, kHeaderShade);
        AppendPlainParagraph(out, "TableHeading", text);
        out += "</w:tc>";
    };
    headCell(textColumn, firstHead);
    headCell(textColumn, secondHead);
    if (options.remarks)
        headCell(kRemarksWidth, res::kTableRemarks);
    out += "</w:tr>\n";

    for (const TableRow &row : rows) {
        out += "<w:tr>";
        AppendCell(out, textColumn, background, row.sides[first], options, colours);
        AppendCell(out, textColumn, background, row.sides[second], options, colours);
        if (options.remarks) {
            AppendCellStart(out, kRemarksWidth, background);
            AppendPlainParagraph(out, "TableRemark", RemarkOf(row.kind));
            out += "</w:tc>";
        }
        out += "</w:tr>\n";
    }
    out += "</w:tbl>\n";
    // A body cannot end with a table; the section follows a paragraph.
    out += "<w:p><w:pPr><w:pStyle w:val=\"TableText\"/></w:pPr></w:p>\n";
    out += "<w:sectPr><w:footerReference w:type=\"default\" r:id=\"rIdFooter\"/><w:pgSz w:w=\"" +
           std::to_string(kPageWidth) + "\" w:h=\"" + std::to_string(kPageHeight) +
           "\" w:orient=\"landscape\"/><w:pgMar w:top=\"" + std::to_string(kMargin) +
           "\" w:right=\"" + std::to_string(kMargin) + "\" w:bottom=\"" + std::to_string(kMargin) +
           "\" w:left=\"" + std::to_string(kMargin) + "\" w:header=\"" +
           std::to_string(kFooterDistance) + "\" w:footer=\"" + std::to_string(kFooterDistance) +
           "\" w:gutter=\"0\"/></w:sectPr>\n";
    out += "</w:body></w:document>\n";
    return out;
}

std::string StylesXml(const TableFont &font)
{
    std::string face;
    AppendEscaped(face, font.face);
    const std::string fonts = face.empty()
                                  ? std::string()
                                  : "<w:rFonts w:ascii=\"" + face + "\" w:hAnsi=\"" + face +
                                        "\" w:eastAsia=\"" + face + "\" w:cs=\"" + face + "\"/>";
    // Half points, within what a word processor takes.
    const long halfPoints = std::lround(std::clamp(font.points, 1.0, 1638.0) * 2.0);
    const long titleHalfPoints = halfPoints * 3 / 2;
    const std::string size = std::to_string(halfPoints);
    std::string out = kXmlDeclaration;
    out += "<w:styles ";
    out += kWordNamespaces;
    out += ">\n<w:docDefaults><w:rPrDefault><w:rPr>" + fonts + "<w:sz w:val=\"" + size +
           "\"/><w:szCs w:val=\"" + size +
           "\"/><w:lang w:val=\"ja-JP\" w:eastAsia=\"ja-JP\"/></w:rPr></w:rPrDefault>"
           "<w:pPrDefault><w:pPr><w:spacing w:after=\"0\" w:line=\"240\" "
           "w:lineRule=\"auto\"/></w:pPr></w:pPrDefault></w:docDefaults>\n"
           "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name "
           "w:val=\"Normal\"/><w:qFormat/></w:style>\n"
           "<w:style w:type=\"paragraph\" w:styleId=\"Title\"><w:name w:val=\"Title\"/><w:basedOn "
           "w:val=\"Normal\"/><w:qFormat/><w:pPr><w:jc w:val=\"center\"/><w:spacing "
           "w:after=\"240\"/></w:pPr><w:rPr><w:b/><w:sz w:val=\"" +
           std::to_string(titleHalfPoints) + "\"/><w:szCs w:val=\"" +
           std::to_string(titleHalfPoints) +
           "\"/></w:rPr></w:style>\n"
           "<w:style w:type=\"paragraph\" w:styleId=\"TableHeading\"><w:name w:val=\"Table "
           "Heading\"/><w:basedOn w:val=\"Normal\"/><w:pPr><w:jc "
           "w:val=\"center\"/></w:pPr></w:style>\n"
           "<w:style w:type=\"paragraph\" w:styleId=\"TableText\"><w:name w:val=\"Table "
           "Text\"/><w:basedOn w:val=\"Normal\"/></w:style>\n"
           "<w:style w:type=\"paragraph\" w:styleId=\"TableRemark\"><w:name w:val=\"Table "
           "Remark\"/><w:basedOn w:val=\"Normal\"/><w:pPr><w:jc "
           "w:val=\"center\"/></w:pPr></w:style>\n"
           "<w:style w:type=\"paragraph\" w:styleId=\"Footer\"><w:name "
           "w:val=\"footer\"/><w:basedOn w:val=\"Normal\"/><w:pPr><w:jc "
           "w:val=\"center\"/></w:pPr></w:style>\n"
           "<w:style w:type=\"table\" w:default=\"1\" w:styleId=\"TableNormal\"><w:name "
           "w:val=\"Normal Table\"/><w:tblPr><w:tblCellMar><w:left w:w=\"108\" "
           "w:type=\"dxa\"/><w:right w:w=\"108\" "
           "w:type=\"dxa\"/></w:tblCellMar></w:tblPr></w:style>\n"
           "<w:style w:type=\"table\" w:styleId=\"TableGrid\"><w:name w:val=\"Table "
           "Grid\"/><w:basedOn w:val=\"TableNormal\"/><w:tblPr><w:tblBorders>" +
           BorderElements() + "</w:tblBorders></w:tblPr></w:style>\n</w:styles>\n";
    return out;
}

std::string FooterXml()
{
    std::string out = kXmlDeclaration;
    out += "<w:ftr ";
    out += kWordNamespaces;
    out += "><w:p><w:pPr><w:pStyle w:val=\"Footer\"/></w:pPr><w:r>";
    AppendDocxRunText(out, res::kTablePageBefore);
    out += "</w:r><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText "
           "xml:space=\"preserve\"> PAGE </w:instrText></w:r><w:r><w:fldChar "
           "w:fldCharType=\"separate\"/></w:r><w:r><w:t>1</w:t></w:r><w:r><w:fldChar "
           "w:fldCharType=\"end\"/></w:r><w:r>";
    AppendDocxRunText(out, res::kTablePageAfter);
    out += "</w:r></w:p></w:ftr>\n";
    return out;
}

struct ZipCloser {
    void operator()(zip_t *zip) const { zip_discard(zip); }
};
struct SourceFreer {
    void operator()(zip_source_t *source) const { zip_source_free(source); }
};

} // namespace

void AppendDocxRunText(std::string &out, std::string_view utf8)
{
    std::size_t start = 0;
    for (std::size_t pos = 0; pos <= utf8.size(); ++pos) {
        if (pos < utf8.size() && utf8[pos] != '\t')
            continue;
        if (pos > start) {
            out += "<w:t xml:space=\"preserve\">";
            AppendEscaped(out, utf8.substr(start, pos - start));
            out += "</w:t>";
        }
        if (pos < utf8.size())
            out += "<w:tab/>";
        start = pos + 1;
    }
}

std::vector<DocxPart> DocxTableParts(const std::vector<TableRow> &rows, const TableOptions &options,
                                     const TableFont &font, const RichOptions &colours)
{
    std::vector<DocxPart> parts;
    parts.push_back(
        {"[Content_Types].xml",
         std::string(kXmlDeclaration) +
             "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
             "<Default Extension=\"rels\" "
             "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
             "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
             "<Override PartName=\"/word/document.xml\" "
             "ContentType=\"application/"
             "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
             "<Override PartName=\"/word/styles.xml\" "
             "ContentType=\"application/"
             "vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
             "<Override PartName=\"/word/settings.xml\" "
             "ContentType=\"application/"
             "vnd.openxmlformats-officedocument.wordprocessingml.settings+xml\"/>"
             "<Override PartName=\"/word/footer1.xml\" "
             "ContentType=\"application/"
             "vnd.openxmlformats-officedocument.wordprocessingml.footer+xml\"/>"
             "</Types>\n"});
    parts.push_back({"_rels/.rels",
                     std::string(kXmlDeclaration) +
                         "<Relationships "
                         "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                         "<Relationship Id=\"rId1\" "
                         "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                         "relationships/officeDocument\" Target=\"word/document.xml\"/>"
                         "</Relationships>\n"});
    parts.push_back({"word/document.xml", DocumentXml(rows, options, colours)});
    parts.push_back(
        {"word/_rels/document.xml.rels",
         std::string(kXmlDeclaration) +
             "<Relationships "
             "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
             "<Relationship Id=\"rIdStyles\" "
             "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
             "styles\" Target=\"styles.xml\"/>"
             "<Relationship Id=\"rIdSettings\" "
             "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
             "settings\" Target=\"settings.xml\"/>"
             "<Relationship Id=\"rIdFooter\" "
             "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
             "footer\" Target=\"footer1.xml\"/>"
             "</Relationships>\n"});
    parts.push_back({"word/styles.xml", StylesXml(font)});
    parts.push_back({"word/settings.xml",
                     std::string(kXmlDeclaration) + "<w:settings " + kWordNamespaces +
                         "><w:zoom w:percent=\"100\"/><w:defaultTabStop w:val=\"840\"/>"
                         "<w:characterSpacingControl w:val=\"compressPunctuation\"/>"
                         "<w:compat><w:compatSetting w:name=\"compatibilityMode\" "
                         "w:uri=\"http://schemas.microsoft.com/office/word\" w:val=\"15\"/>"
                         "</w:compat></w:settings>\n"});
    parts.push_back({"word/footer1.xml", FooterXml()});
    return parts;
}

std::optional<std::string> WriteDocxTable(const std::vector<TableRow> &rows,
                                          const TableOptions &options, const TableFont &font,
                                          const RichOptions &colours, std::string &error)
{
    const std::vector<DocxPart> parts = DocxTableParts(rows, options, font, colours);
    const auto fail = [&error](zip_error_t *why) -> std::optional<std::string> {
        error = std::string("cannot make the .docx archive: ") + zip_error_strerror(why);
        return std::nullopt;
    };
    zip_error_t why;
    zip_error_init(&why);
    // The archive is made in memory: the caller writes it in one step that never leaves a
    // half-written file.
    std::unique_ptr<zip_source_t, SourceFreer> buffer(
        zip_source_buffer_create(nullptr, 0, 0, &why));
    if (!buffer)
        return fail(&why);
    std::unique_ptr<zip_t, ZipCloser> zip(zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &why));
    if (!zip)
        return fail(&why);
    zip_source_keep(buffer.get()); // the archive takes a reference, and the result is read here
    for (const DocxPart &part : parts) {
        zip_source_t *source = zip_source_buffer(zip.get(), part.xml.data(), part.xml.size(), 0);
        if (!source)
            return fail(zip_get_error(zip.get()));
        const zip_int64_t index = zip_file_add(zip.get(), part.name, source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return fail(zip_get_error(zip.get()));
        }
        zip_set_file_compression(zip.get(), static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 0);
        // The parts carry one fixed time instead of the clock's, so that a table is the same
        // bytes whenever it is made (two runs a second apart used to differ).
        zip_file_set_mtime(zip.get(), static_cast<zip_uint64_t>(index), kPartTime, 0);
    }
    if (zip_close(zip.get()) != 0)
        return fail(zip_get_error(zip.get()));
    zip.release(); // closed: zip_close freed it

    zip_source_t *source = buffer.get();
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(source, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
        zip_source_open(source) != 0)
        return fail(zip_source_error(source));
    std::string bytes(static_cast<std::size_t>(stat.size), '\0');
    const zip_int64_t read = zip_source_read(source, bytes.data(), bytes.size());
    zip_source_close(source);
    if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size)
        return fail(zip_source_error(source));
    return bytes;
}

} // namespace kivo::report
