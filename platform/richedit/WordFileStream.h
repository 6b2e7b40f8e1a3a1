#pragma once

#include "FileReason.h"
#include "RichTextStream.h"

namespace kivo {

/// Reads a word-processor document (.docx, .odt) into a RichEditCtrl the way RTF is read: its
/// text with bold, italic, underline, strike-through and colour. Writing is not offered: what
/// was read from such a document is saved as RTF.
class WordFileStream : public RichTextStream {
public:
    /// why, when given, receives the reason a document could not be read.
    explicit WordFileStream(FileReason *why = nullptr) : m_why(why) {}

    bool Read(std::string_view bytes, QTextCursor &cursor) const override;
    std::optional<std::string> Write(const QTextDocument &) const override { return {}; }

private:
    FileReason *m_why;
};

} // namespace kivo
