#include "DocxReader.h"

#include "RunBuilder.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <array>

namespace kivo::wordfile {

namespace {

using namespace Qt::StringLiterals;

const QString kWordNs = u"http://schemas.openxmlformats.org/wordprocessingml/2006/main"_s;
const QString kCompatibilityNs = u"http://schemas.openxmlformats.org/markup-compatibility/2006"_s;

/// Elements whose whole content is left out: deleted and moved-away text, ruby readings, field
/// instructions, earlier formats of tracked changes, and properties that hold no text.
constexpr std::array kSkipped{u"del",          u"moveFrom",  u"rt",   u"instrText", u"delText",
                              u"delInstrText", u"rPrChange", u"pPr",  u"sectPr",    u"rubyPr",
                              u"tblPr",        u"trPr",      u"tcPr", u"sdtPr"};

QStringView Value(const QXmlStreamReader &xml)
{
    return xml.attributes().value(kWordNs, u"val"_s);
}

/// An on/off property: on without a value.
bool IsOn(const QXmlStreamReader &xml)
{
    const QStringView value = Value(xml);
    return value.isEmpty() ||
           !(value == u"0" || value == u"false" || value == u"off" || value == u"none");
}

} // namespace

void DocxHandler::Start(const QXmlStreamReader &xml)
{
    if (m_skipDepth > 0) {
        ++m_skipDepth;
        return;
    }
    const QStringView ns = xml.namespaceUri();
    if (ns == kCompatibilityNs && xml.name() == u"Fallback") {
        m_skipDepth = 1; // the same content once more, for older readers
        return;
    }
    if (ns != kWordNs) {
        m_open.push_back(Element::Other);
        return;
    }
    StartWordElement(xml);
}

void DocxHandler::StartWordElement(const QXmlStreamReader &xml)
{
    const QStringView name = xml.name();
    const bool noteKind = name == u"footnote" || name == u"endnote";
    const QStringView noteType = xml.attributes().value(kWordNs, u"type"_s);
    if (std::find(kSkipped.begin(), kSkipped.end(), name) != kSkipped.end() ||
        (noteKind && !noteType.isEmpty() && noteType != u"normal")) {
        m_skipDepth = 1;
        return;
    }
    if (!m_open.empty() && m_open.back() == Element::RunProperties) {
        RunProperty(xml);
        m_open.push_back(Element::Other);
        return;
    }
    Element element = Element::Other;
    if (name == u"p") {
        element = Element::Paragraph;
    } else if (name == u"tc") {
        element = Element::Cell;
    } else if (name == u"r") {
        element = Element::Run;
        m_format = {};
        m_hidden = false;
    } else if (name == u"rPr") {
        element = Element::RunProperties;
    } else if (name == u"t") {
        element = Element::Text;
    } else if (!m_hidden && name == u"tab") {
        if (!m_afterNoteMark)
            m_out.Tab();
        m_afterNoteMark = false;
    } else if (!m_hidden && (name == u"br" || name == u"cr")) {
        m_out.LineBreak();
    } else if (name == u"footnoteRef" || name == u"endnoteRef") {
        m_afterNoteMark = true;
    }
    m_open.push_back(element);
}

void DocxHandler::RunProperty(const QXmlStreamReader &xml)
{
    const QStringView name = xml.name();
    if (name == u"b")
        m_format.bold = IsOn(xml);
    else if (name == u"i")
        m_format.italic = IsOn(xml);
    else if (name == u"u")
        m_format.underline = IsOn(xml);
    else if (name == u"strike" || name == u"dstrike")
        m_format.strike = IsOn(xml);
    else if (name == u"color")
        m_format.color = ColorOfHex(Value(xml)); // "auto" is the automatic colour
    else if (name == u"vanish")
        m_hidden = IsOn(xml);
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

void DocxHandler::Text(const QXmlStreamReader &xml)
{
    if (m_skipDepth > 0 || m_hidden || m_open.empty() || m_open.back() != Element::Text)
        return;
    m_out.Text(xml.text(), m_format);
    m_afterNoteMark = false;
}

} // namespace kivo::wordfile
