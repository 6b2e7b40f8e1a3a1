#include "OdtReader.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace kivo::wordfile {

namespace {

constexpr std::string_view kOfficeNs = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr std::string_view kTextNs = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
constexpr std::string_view kTableNs = "urn:oasis:names:tc:opendocument:xmlns:table:1.0";
constexpr std::string_view kStyleNs = "urn:oasis:names:tc:opendocument:xmlns:style:1.0";
constexpr std::string_view kFoNs = "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0";
constexpr std::string_view kSvgNs = "urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0";

/// Text elements whose content is not part of the reading text.
constexpr std::array<std::string_view, 6> kSkippedText{"tracked-changes", "note-citation",
                                                       "ruby-text",       "sequence-decls",
                                                       "hidden-text",     "hidden-paragraph"};

constexpr int kBoldWeight = 600;    // numeric weights from this on are bold
constexpr int kMaxStyleChain = 32;  // parents followed at most, so a cycle ends
constexpr int kMaxSpaces = 1 << 16; // one text:s gives at most this many spaces

std::string StyleKey(std::string_view family, std::string_view name)
{
    std::string key(family);
    key += '/';
    key += name;
    return key;
}

/// The whole of text as a decimal integer (an optional sign, then digits); nothing otherwise.
std::optional<int> IntegerOf(std::string_view text)
{
    if (text.starts_with('+'))
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<bool> WeightIsBold(std::string_view value)
{
    if (value.empty())
        return std::nullopt;
    if (value == "bold")
        return true;
    const std::optional<int> weight = IntegerOf(value);
    return weight && *weight >= kBoldWeight;
}

std::optional<bool> StyleIsItalic(std::string_view value)
{
    if (value.empty())
        return std::nullopt;
    return value == "italic" || value == "oblique";
}

std::optional<bool> LineIsDrawn(std::string_view value)
{
    if (value.empty())
        return std::nullopt;
    return value != "none";
}

} // namespace

void OdtHandler::Start(const XmlElement &element)
{
    if (m_skipDepth > 0) {
        ++m_skipDepth;
        return;
    }
    Open open{Element::Other, m_open.empty() ? rtf::Format{} : m_open.back().format};
    const std::string_view ns = element.Namespace();
    const std::string_view name = element.Name();
    if (ns == kStyleNs) {
        StyleElement(element, open);
    } else if (ns == kSvgNs) {
        m_skipDepth = 1; // the title and description of a picture, not shown in the text
        return;
    } else if (ns == kOfficeNs) {
        if (name == "annotation") {
            m_skipDepth = 1;
            return;
        }
        if (name == "text") {
            open.element = Element::Body;
            ++m_bodyDepth;
        }
    } else if (m_bodyDepth > 0 && (ns == kTextNs || ns == kTableNs)) {
        if (!StartTextElement(element, open)) {
            m_skipDepth = 1;
            return;
        }
    }
    m_open.push_back(open);
}

bool OdtHandler::StartTextElement(const XmlElement &element, Open &open)
{
    const std::string_view name = element.Name();
    if (element.Namespace() == kTableNs) {
        if (name == "covered-table-cell")
            return false; // a cell merged into another shows nothing of its own
        if (name == "table-cell")
            open.element = Element::Cell;
        return true;
    }
    if (std::find(kSkippedText.begin(), kSkippedText.end(), name) != kSkippedText.end() ||
        name.ends_with("-source") /* the templates of an index, not its shown text */)
        return false;
    if (element.Attribute(kTextNs, "display") == "none")
        return false;
    if (name == "p" || name == "h") {
        open.element = Element::Paragraph;
        open.format = Styled(element, "paragraph", open.format);
        ++m_paragraphDepth;
    } else if (name == "span" || name == "a") {
        open.format = Styled(element, "text", open.format);
    } else if (name == "note-body") {
        open.element = Element::NoteBody;
        m_out = &m_notes;
    } else if (m_paragraphDepth > 0 && name == "tab") {
        m_out->Tab();
    } else if (m_paragraphDepth > 0 && name == "line-break") {
        m_out->LineBreak();
    } else if (m_paragraphDepth > 0 && name == "s") {
        const std::string_view count = element.Attribute(kTextNs, "c");
        const int spaces =
            count.empty() ? 1 : std::clamp(IntegerOf(count).value_or(0), 0, kMaxSpaces);
        if (!m_out->Overflowed())
            m_out->Text(std::string(static_cast<std::size_t>(spaces), ' '), open.format);
    }
    return true;
}

void OdtHandler::StyleElement(const XmlElement &element, Open &open)
{
    if (element.Name() == "style") {
        open.element = Element::StyleDefinition;
        m_defining =
            StyleKey(element.Attribute(kStyleNs, "family"), element.Attribute(kStyleNs, "name"));
        StyleProps props;
        const std::string_view parent = element.Attribute(kStyleNs, "parent-style-name");
        if (!parent.empty())
            props.parent = StyleKey(element.Attribute(kStyleNs, "family"), parent);
        m_styles[m_defining] = props; // a later definition of a name replaces an earlier
        return;
    }
    if (element.Name() != "text-properties" || m_defining.empty())
        return;
    StyleProps &props = m_styles[m_defining];
    // Japanese text is drawn with the Asian weight and posture when the style gives them.
    const std::string_view asianWeight = element.Attribute(kStyleNs, "font-weight-asian");
    props.bold =
        WeightIsBold(asianWeight.empty() ? element.Attribute(kFoNs, "font-weight") : asianWeight);
    const std::string_view asianStyle = element.Attribute(kStyleNs, "font-style-asian");
    props.italic =
        StyleIsItalic(asianStyle.empty() ? element.Attribute(kFoNs, "font-style") : asianStyle);
    props.underline = LineIsDrawn(element.Attribute(kStyleNs, "text-underline-style"));
    props.strike = LineIsDrawn(element.Attribute(kStyleNs, "text-line-through-style"));
    if (element.Attribute(kStyleNs, "use-window-font-color") == "true")
        props.color = std::optional<ColorRef>();
    else if (const std::string_view color = element.Attribute(kFoNs, "color");
             color.starts_with('#') && ColorOfHex(color.substr(1)))
        props.color = ColorOfHex(color.substr(1)); // "#rrggbb"
}

rtf::Format OdtHandler::Styled(const XmlElement &element, std::string_view family,
                               const rtf::Format &base) const
{
    const std::string_view name = element.Attribute(kTextNs, "style-name");
    if (name.empty())
        return base;
    // The chain from the style to its farthest parent, applied farthest first.
    std::vector<const StyleProps *> chain;
    std::string key = StyleKey(family, name);
    while (static_cast<int>(chain.size()) < kMaxStyleChain) {
        const auto it = m_styles.find(key);
        if (it == m_styles.end())
            break;
        chain.push_back(&it->second);
        key = it->second.parent;
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

void OdtHandler::Text(std::string_view utf8)
{
    if (m_skipDepth > 0 || m_paragraphDepth == 0 || m_open.empty())
        return;
    m_out->Text(utf8, m_open.back().format);
}

void OdtHandler::FinishNotes()
{
    m_body.Append(m_notes);
}

} // namespace kivo::wordfile
