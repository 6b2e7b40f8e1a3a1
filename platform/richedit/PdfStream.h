#pragma once

#include "FileReason.h"
#include "PdfFile.h"
#include "RichTextStream.h"

namespace kivo {

/// Reads a PDF document's text into a RichEditCtrl: paragraphs in reading order, without
/// formats. Writing is not offered: what was read from a PDF is saved as RTF.
class PdfStream : public RichTextStream {
public:
    /// why, when given, receives the reason a document could not be read.
    explicit PdfStream(const pdf::ReadOptions &options, FileReason *why = nullptr)
        : m_options(options), m_why(why)
    {}

    bool Read(std::string_view bytes, QTextCursor &cursor) const override;
    std::optional<std::string> Write(const QTextDocument &) const override { return {}; }

private:
    pdf::ReadOptions m_options;
    FileReason *m_why;
};

} // namespace kivo
