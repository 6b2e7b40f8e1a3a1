#include "views/TextCapture.h"

#include "Cp932Text.h"

#include <QTextBlock>

#include <algorithm>

namespace kivo {

void TextCapture::Begin(const QTextDocument &document, const CharRange &range)
{
    m_document = &document;
    m_range = range;
    m_position = range.start;
    m_blockStart = -1;
    m_blockText.clear();
}

bool TextCapture::ReadMore(std::string &text, int maxChars)
{
    if (!m_document)
        return true;
    QString piece;
    while (m_position < m_range.end && piece.size() < maxChars) {
        if (m_blockStart < 0) {
            const QTextBlock block = m_document->findBlock(m_position);
            if (!block.isValid()) {
                m_position = m_range.end; // past the document's end: nothing more to read
                break;
            }
            m_blockStart = block.position();
            m_blockText = block.text();
        }
        const int offset = m_position - m_blockStart;
        const int blockEnd = m_blockStart + static_cast<int>(m_blockText.size());
        if (m_position < blockEnd) {
            int take = std::min({static_cast<int>(maxChars - piece.size()), blockEnd - m_position,
                                 m_range.end - m_position});
            // A surrogate pair stays in one piece: each half alone would convert to '?'.
            if (m_position + take < std::min(blockEnd, m_range.end) &&
                m_blockText.at(offset + take - 1).isHighSurrogate())
                ++take;
            piece += QStringView(m_blockText).mid(offset, take);
            m_position += take;
            continue;
        }
        // The paragraph break after the paragraph, as a selection's text holds it.
        piece += QChar(QChar::ParagraphSeparator);
        ++m_position;
        m_blockStart = -1;
        m_blockText.clear();
    }
    text += cp932text::Encode(piece);
    if (m_position < m_range.end)
        return false;
    m_position = m_range.end;
    m_blockText.clear();
    return true;
}

} // namespace kivo
