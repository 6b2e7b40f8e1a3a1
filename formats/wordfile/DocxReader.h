#pragma once

#include "RtfText.h"
#include "XmlPump.h"

#include <vector>

namespace kivo::wordfile {

class RunBuilder;

/// Reads the body of a .docx (word/document.xml) and its notes (word/footnotes.xml,
/// word/endnotes.xml) into a RunBuilder: paragraphs, tabs, line and page breaks, table cells;
/// the base of ruby, the shown result of fields and inserted text; not deleted or moved-away
/// text, hidden text, field instructions, the fallback copies of drawings or separator notes.
/// Bold, italic, underline, strike-through and colour come from each run's own properties.
class DocxHandler : public XmlHandler {
public:
    explicit DocxHandler(RunBuilder &out) : m_out(out) {}
    void Start(const XmlElement &element) override;
    void End() override;
    void Text(std::string_view utf8) override;

private:
    enum class Element { Other, Paragraph, Cell, Run, RunProperties, Text };
    void StartWordElement(const XmlElement &element);
    void RunProperty(const XmlElement &element);

    RunBuilder &m_out;
    std::vector<Element> m_open;
    int m_skipDepth = 0;          // > 0 inside an element whose content is left out
    rtf::Format m_format;         // of the current run
    bool m_hidden = false;        // the current run is hidden text
    bool m_afterNoteMark = false; // a note's number was just passed: its tab is left out
};

} // namespace kivo::wordfile
