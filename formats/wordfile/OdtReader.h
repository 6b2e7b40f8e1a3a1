#pragma once

#include "RunBuilder.h"
#include "XmlPump.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kivo::wordfile {

/// Reads an OpenDocument text: first the styles (styles.xml, then content.xml's own), then the
/// body of content.xml into a RunBuilder: paragraphs and headings, tabs, spaces, line breaks,
/// table cells; the base of ruby, the shown result of fields and inserted text; not the
/// tracked-changes record (which holds deleted text), note numbers, annotations, hidden text or
/// index templates. Notes are gathered apart and follow the body. Bold, italic, underline,
/// strike-through and colour come from the paragraph and text styles, with their parents.
class OdtHandler : public XmlHandler {
public:
    explicit OdtHandler(RunBuilder &out) : m_body(out), m_notes(out.Most()), m_out(&out) {}
    void Start(const XmlElement &element) override;
    void End() override;
    void Text(std::string_view utf8) override;
    /// Appends the notes to the body; call once the body has been read.
    void FinishNotes();

private:
    /// What a style sets; each field left unset keeps the format it is applied to.
    struct StyleProps {
        std::optional<bool> bold, italic, underline, strike;
        std::optional<std::optional<ColorRef>> color;
        std::string parent;
    };
    enum class Element { Other, Body, Paragraph, Cell, NoteBody, StyleDefinition };
    struct Open {
        Element element;
        rtf::Format format;
    };
    bool StartTextElement(const XmlElement &element, Open &open);
    void StyleElement(const XmlElement &element, Open &open);
    rtf::Format Styled(const XmlElement &element, std::string_view family,
                       const rtf::Format &base) const;

    RunBuilder &m_body;
    RunBuilder m_notes;
    RunBuilder *m_out;
    std::unordered_map<std::string, StyleProps> m_styles; // by family and name, "text/T1"
    std::string m_defining; // key of the style being defined, else empty
    std::vector<Open> m_open;
    int m_skipDepth = 0;
    int m_bodyDepth = 0;
    int m_paragraphDepth = 0;
};

} // namespace kivo::wordfile
