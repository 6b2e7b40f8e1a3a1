#pragma once

#include "RichEditCtrl.h"

#include <QString>
#include <QTextDocument>

#include <string>

namespace kivo {

/// Reads a range of a document's text as code page 932 bytes a bounded number of characters at
/// a time, so that a long text is taken over several idle steps instead of in one. The result is
/// the bytes RichEditCtrl::GetSelText gives for the same range selected: paragraph breaks become
/// CR, characters are converted exactly as there.
///
/// It walks the document's paragraphs without a text cursor: a cursor placed in a long paragraph
/// makes the control measure the whole paragraph, which is the very cost this avoids. The
/// document must not change between the pieces.
class TextCapture {
public:
    /// Starts reading range of document; the document must outlive the reading.
    void Begin(const QTextDocument &document, const CharRange &range);

    /// Appends the next piece of at most about maxChars characters (one more rather than cut a
    /// surrogate pair) to text. Returns true once the range has been read to its end.
    bool ReadMore(std::string &text, int maxChars);

    /// Whether the whole range has been read.
    bool Done() const { return m_position >= m_range.end; }

private:
    const QTextDocument *m_document = nullptr;
    CharRange m_range{};
    /// Position of the next character to read.
    int m_position = 0;
    /// The paragraph m_position lies in, with its text: a long paragraph is copied out once,
    /// not once per piece.
    int m_blockStart = -1;
    QString m_blockText;
};

} // namespace kivo
