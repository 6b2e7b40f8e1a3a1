#pragma once

#include <QDataStream>
#include <QTextBlock>

#include <cstdint>

class QTextDocument;

namespace kivo {

/// Writes a document whole into a data stream (every paragraph with its format and row state,
/// every run of text with its character format, the marks of a result included) a bounded
/// number of paragraphs at a time, so that a long text is written over several idle steps. The
/// document must neither change nor go away until the writing is done.
class DocumentImageWriter {
public:
    DocumentImageWriter(const QTextDocument &document, QDataStream &out);
    /// Writes up to paragraphs more; true once the whole document is written.
    bool Write(std::int64_t paragraphs);

private:
    QDataStream &m_out;
    QTextBlock m_block;
};

/// Reads a document written by DocumentImageWriter into document, which must be empty, without
/// undo history. False, with document emptied again, when the stream is damaged.
bool ReadDocumentImage(QDataStream &in, QTextDocument &document);

} // namespace kivo
