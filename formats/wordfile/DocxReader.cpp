#include "DocxReader.h"

#include "RunBuilder.h"

#include <algorithm>
#include <array>

namespace kivo::wordfile {

namespace {

constexpr std::string_view kWordNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
constexpr std::string_view kCompatibilityNs =
    "http://schemas.openxmlformats.org/markup-compatibility/2006";

/// Elements whose whole content is left out: deleted and moved-away text, ruby readings, field
/// instructions, earlier formats of tracked changes, and properties that hold no text.
constexpr std::array<std::string_view, 14> kSkipped{
    "del", "moveFrom", "rt",     "instrText", "delText", "delInstrText", "rPrChange",
    "pPr", "sectPr",   "rubyPr", "tblPr",     "trPr",    "tcPr",         "sdtPr"};

std::string_view Value(const XmlElement &element)
{
    return element.Attribute(kWordNs, "val");
}

/// An on/off property: on without a value.
bool IsOn(const XmlElement &element)
{
    const std::string_view value = Value(element);
    return value.empty() ||
           !(value == "0" || value == "false" || value == "off" || value == "none");
}

} // namespace

void DocxHandler::Start(const XmlElement &element)
{
    if (m_skipDepth > 0) {
        ++m_skipDepth;
        return;
    }
    const std::string_view ns = element.Namespace();
    if (ns == kCompatibilityNs && element.Name() == "Fallback") {
        m_skipDepth = 1; // the same content once more, for older readers
        return;
    }
    if (ns != kWordNs) {
        m_open.push_back(Element::Other);
        return;
    }
    StartWordElement(element);
}

void DocxHandler::StartWordElement(const XmlElement &xmlElement)
{
    const std::string_view name = xmlElement.Name();
    const bool noteKind = name == "footnote" || name == "endnote";
    const std::string_view noteType = xmlElement.Attribute(kWordNs, "type");
    if (std::find(kSkipped.begin(), kSkipped.end(), name) != kSkipped.end() ||
        (noteKind && !noteType.empty() && noteType != "normal")) {
        m_skipDepth = 1;
        return;
    }
    if (!m_open.empty() && m_open.back() == Element::RunProperties) {
        RunProperty(xmlElement);
        m_open.push_back(Element::Other);
        return;
    }
    Element element = Element::Other;
    if (name == "p") {
        element = Element::Paragraph;
    } else if (name == "tc") {
        element = Element::Cell;
    } else if (name == "r") {
        element = Element::Run;
        m_format = {};
        m_hidden = false;
    } else if (name == "rPr") {
        element = Element::RunProperties;
    } else if (name == "t") {
        element = Element::Text;
    } else if (!m_hidden && name == "tab") {
        if (!m_afterNoteMark)
            m_out.Tab();
        m_afterNoteMark = false;
    } else if (!m_hidden && (name == "br" || name == "cr")) {
        m_out.LineBreak();
    } else if (name == "footnoteRef" || name == "endnoteRef") {
        m_afterNoteMark = true;
    }
    m_open.push_back(element);
}

void DocxHandler::RunProperty(const XmlElement &element)
{
    const std::string_view name = element.Name();
    if (name == "b")
        m_format.bold = IsOn(element);
    else if (name == "i")
        m_format.italic = IsOn(element);
    else if (name == "u")
        m_format.underline = IsOn(element);
    else if (name == "strike" || name == "dstrike")
        m_format.strike = IsOn(element);
    else if (name == "color")
        m_format.color = ColorOfHex(Value(element)); // "auto" is the automatic colour
    else if (name == "vanish")
        m_hidden = IsOn(element);
}

void DocxHandler::End()
{
    if (m_skipDepth > 0) {
        --m_skipDepth;
        return;
    }
    if (m_open.empty())
        return;
    const Element element = m_open.back();
    m_open.pop_back();
    switch (element) {
    case Element::Paragraph:
        m_out.EndParagraph();
        break;
    case Element::Cell:
        m_out.EndCell();
        break;
    case Element::Other:
    case Element::Run:
    case Element::RunProperties:
    case Element::Text:
        break;
    }
}

void DocxHandler::Text(std::string_view utf8)
{
    if (m_skipDepth > 0 || m_hidden || m_open.empty() || m_open.back() != Element::Text)
        return;
    m_out.Text(utf8, m_format);
    m_afterNoteMark = false;
}

} // namespace kivo::wordfile
