#include "OdtReader.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <array>

namespace kivo::wordfile {

namespace {

using namespace Qt::StringLiterals;

const QString kOfficeNs = u"urn:oasis:names:tc:opendocument:xmlns:office:1.0"_s;
const QString kTextNs = u"urn:oasis:names:tc:opendocument:xmlns:text:1.0"_s;
const QString kTableNs = u"urn:oasis:names:tc:opendocument:xmlns:table:1.0"_s;
const QString kStyleNs = u"urn:oasis:names:tc:opendocument:xmlns:style:1.0"_s;
const QString kFoNs = u"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"_s;
const QString kSvgNs = u"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"_s;

/// Text elements whose content is not part of the reading text.
constexpr std::array kSkippedText{u"tracked-changes", u"note-citation", u"ruby-text",
                                  u"sequence-decls",  u"hidden-text",   u"hidden-paragraph"};

constexpr int kBoldWeight = 600;    // numeric weights from this on are bold
constexpr int kMaxStyleChain = 32;  // parents followed at most, so a cycle ends
constexpr int kMaxSpaces = 1 << 16; // one text:s gives at most this many spaces

QString StyleKey(QStringView family, QStringView name)
{
    return family.toString() + u'/' + name.toString();
}

std::optional<bool> WeightIsBold(QStringView value)
{
    if (value.isEmpty())
        return std::nullopt;
    if (value == u"bold")
        return true;
    bool ok = false;
    const int weight = value.toInt(&ok);
    return ok && weight >= kBoldWeight;
}

std::optional<bool> StyleIsItalic(QStringView value)
{
    if (value.isEmpty())
        return std::nullopt;
    return value == u"italic" || value == u"oblique";
}

std::optional<bool> LineIsDrawn(QStringView value)
{
    if (value.isEmpty())
        return std::nullopt;
    return value != u"none";
}

} // namespace

void OdtHandler::Start(const QXmlStreamReader &xml)
{
    if (m_skipDepth > 0) {
        ++m_skipDepth;
        return;
    }
    Open open{Element::Other, m_open.empty() ? rtf::Format{} : m_open.back().format};
    const QStringView ns = xml.namespaceUri();
    const QStringView name = xml.name();
    if (ns == kStyleNs) {
        StyleElement(xml, open);
    } else if (ns == kSvgNs) {
        m_skipDepth = 1; // the title and description of a picture, not shown in the text
        return;
    } else if (ns == kOfficeNs) {
        if (name == u"annotation") {
            m_skipDepth = 1;
            return;
        }
        if (name == u"text") {
            open.element = Element::Body;
            ++m_bodyDepth;
        }
    } else if (m_bodyDepth > 0 && (ns == kTextNs || ns == kTableNs)) {
        if (!StartTextElement(xml, open)) {
            m_skipDepth = 1;
            return;
        }
    }
    m_open.push_back(open);
}

bool OdtHandler::StartTextElement(const QXmlStreamReader &xml, Open &open)
{
    const QStringView name = xml.name();
    if (xml.namespaceUri() == kTableNs) {
        if (name == u"covered-table-cell")
            return false; // a cell merged into another shows nothing of its own
        if (name == u"table-cell")
            open.element = Element::Cell;
        return true;
    }
    if (std::find(kSkippedText.begin(), kSkippedText.end(), name) != kSkippedText.end() ||
        name.endsWith(u"-source") /* the templates of an index, not its shown text */)
        return false;
    if (xml.attributes().value(kTextNs, u"display"_s) == u"none")
        return false;
    if (name == u"p" || name == u"h") {
        open.element = Element::Paragraph;
        open.format = Styled(xml, u"paragraph", open.format);
        ++m_paragraphDepth;
    } else if (name == u"span" || name == u"a") {
        open.format = Styled(xml, u"text", open.format);
    } else if (name == u"note-body") {
        open.element = Element::NoteBody;
        m_out = &m_notes;
    } else if (m_paragraphDepth > 0 && name == u"tab") {
        m_out->Tab();
    } else if (m_paragraphDepth > 0 && name == u"line-break") {
        m_out->LineBreak();
    } else if (m_paragraphDepth > 0 && name == u"s") {
        const QStringView count = xml.attributes().value(kTextNs, u"c"_s);
        const int spaces = count.isEmpty() ? 1 : std::clamp(count.toInt(), 0, kMaxSpaces);
        if (!m_out->Overflowed())
            m_out->Text(QString(spaces, u' '), open.format);
    }
    return true;
}

void OdtHandler::StyleElement(const QXmlStreamReader &xml, Open &open)
{
    const QXmlStreamAttributes attributes = xml.attributes();
    if (xml.name() == u"style") {
        open.element = Element::StyleDefinition;
        m_defining = StyleKey(attributes.value(kStyleNs, u"family"_s),
                              attributes.value(kStyleNs, u"name"_s));
        StyleProps props;
        const QStringView parent = attributes.value(kStyleNs, u"parent-style-name"_s);
        if (!parent.isEmpty())
            props.parent = StyleKey(attributes.value(kStyleNs, u"family"_s), parent);
        m_styles.insert(m_defining, props); // a later definition of a name replaces an earlier
        return;
    }
    if (xml.name() != u"text-properties" || m_defining.isEmpty())
        return;
    StyleProps &props = m_styles[m_defining];
    // Japanese text is drawn with the Asian weight and posture when the style gives them.
    const QStringView asianWeight = attributes.value(kStyleNs, u"font-weight-asian"_s);
    props.bold = WeightIsBold(asianWeight.isEmpty() ? attributes.value(kFoNs, u"font-weight"_s)
                                                    : asianWeight);
    const QStringView asianStyle = attributes.value(kStyleNs, u"font-style-asian"_s);
    props.italic =
        StyleIsItalic(asianStyle.isEmpty() ? attributes.value(kFoNs, u"font-style"_s) : asianStyle);
    props.underline = LineIsDrawn(attributes.value(kStyleNs, u"text-underline-style"_s));
    props.strike = LineIsDrawn(attributes.value(kStyleNs, u"text-line-through-style"_s));
    if (attributes.value(kStyleNs, u"use-window-font-color"_s) == u"true")
        props.color = std::optional<ColorRef>();
    else if (const QStringView color = attributes.value(kFoNs, u"color"_s);
             color.startsWith(u'#') && ColorOfHex(color.mid(1)))
        props.color = ColorOfHex(color.mid(1)); // "#rrggbb"
}

rtf::Format OdtHandler::Styled(const QXmlStreamReader &xml, QStringView family,
                               const rtf::Format &base) const
{
    const QStringView name = xml.attributes().value(kTextNs, u"style-name"_s);
    if (name.isEmpty())
        return base;
    // The chain from the style to its farthest parent, applied farthest first.
    std::vector<const StyleProps *> chain;
    QString key = StyleKey(family, name);
    while (static_cast<int>(chain.size()) < kMaxStyleChain) {
        const auto it = m_styles.constFind(key);
        if (it == m_styles.constEnd())
            break;
        chain.push_back(&*it);
        key = it->parent;
    }
    rtf::Format format = base;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const StyleProps &props = **it;
        format.bold = props.bold.value_or(format.bold);
        format.italic = props.italic.value_or(format.italic);
        format.underline = props.underline.value_or(format.underline);
        format.strike = props.strike.value_or(format.strike);
        if (props.color)
            format.color = *props.color;
    }
    return format;
}

void OdtHandler::End()
{
    if (m_skipDepth > 0) {
        --m_skipDepth;
        return;
    }
    if (m_open.empty())
        return;
    const Element element = m_open.back().element;
    m_open.pop_back();
    switch (element) {
    case Element::Paragraph:
        --m_paragraphDepth;
        m_out->EndParagraph();
        break;
    case Element::Cell:
        m_out->EndCell();
        break;
    case Element::NoteBody:
        m_out = &m_body;
        break;
    case Element::Body:
        --m_bodyDepth;
        break;
    case Element::StyleDefinition:
        m_defining.clear();
        break;
    case Element::Other:
        break;
    }
}

void OdtHandler::Text(const QXmlStreamReader &xml)
{
    if (m_skipDepth > 0 || m_paragraphDepth == 0 || m_open.empty())
        return;
    m_out->Text(xml.text(), m_open.back().format);
}

void OdtHandler::FinishNotes()
{
    m_body.Append(m_notes);
}

} // namespace kivo::wordfile
