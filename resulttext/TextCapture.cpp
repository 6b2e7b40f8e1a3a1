#include "resulttext/TextCapture.h"

#include "Cp932Text.h"
#include "resulttext/ResultMarks.h"
#include "resulttext/ResultText.h"

#include <algorithm>

namespace kivo {

void TextCapture::Begin(const QTextDocument &document, const CharRange &range)
{
    m_document = &document;
    m_range = range;
    m_position = range.start;
    m_block = QTextBlock();
    m_pending.clear();
    m_taken = 0;
    m_leadsTaken.clear();
}

void TextCapture::TakeParagraph()
{
    m_pending.clear();
    m_taken = 0;
    if (!m_block.isValid() || m_block.position() + m_block.length() <= m_position)
        m_block = m_document->findBlock(m_position);
    if (!m_block.isValid()) {
        m_position = m_range.end; // past the document's end: nothing more to read
        return;
    }
    const int breakPosition = m_block.position() + m_block.length() - 1;
    const int end = std::min(breakPosition, m_range.end);
    for (auto it = m_block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const int start = fragment.position();
        const int stop = start + fragment.length();
        if (stop <= m_position)
            continue;
        if (start >= end)
            break;
        const int from = std::max(start, m_position);
        const int to = std::min(stop, end);
        const QString text = fragment.text();
        const QTextCharFormat format = fragment.charFormat();
        if (format.hasProperty(kRunLeadingBreaksProperty) && from == start) {
            // The line breaks before the text's first sentence, once per result.
            const std::optional<RunMark> mark = MarkOf(format);
            const int result = mark ? mark->result : 0;
            if (std::find(m_leadsTaken.begin(), m_leadsTaken.end(), result) == m_leadsTaken.end()) {
                m_leadsTaken.push_back(result);
                m_pending += QString(format.intProperty(kRunLeadingBreaksProperty),
                                     QChar(QChar::ParagraphSeparator));
            }
        }
        if (const std::optional<std::string> stands = StandsFor(format)) {
            // A whole run still as it was drawn reads as its text; a part of one, or one the
            // user edited, reads each underscore as the space it stands for.
            const QStringView shown = QStringView(text).mid(from - start, to - from);
            if (from == start && to == stop && cp932text::Encode(shown) == UnderscoreForm(*stands))
                m_pending += cp932text::Decode(*stands);
            else
                m_pending += cp932text::Decode(SpacesForUnderscores(cp932text::Encode(shown)));
        } else {
            m_pending += QStringView(text).mid(from - start, to - from);
        }
    }
    m_position = end;
    if (m_range.end <= breakPosition)
        return;
    // The paragraph break, unless Kivo inserted it; a selection's text holds it as CR. A break
    // Kivo inserted may stand for the user's line breaks that the layout trimmed.
    const QTextCharFormat breakFormat = BreakFormat(m_block);
    if (!IsInsertedBreak(breakFormat))
        m_pending += QChar(QChar::ParagraphSeparator);
    else if (const std::optional<std::string> stands = StandsFor(breakFormat))
        m_pending +=
            QString(static_cast<qsizetype>(stands->size()), QChar(QChar::ParagraphSeparator));
    m_position = breakPosition + 1;
    m_block = m_block.next();
}

bool TextCapture::ReadMore(std::string &text, int maxChars)
{
    if (!m_document)
        return true;
    QString piece;
    while (piece.size() < maxChars) {
        if (m_taken >= m_pending.size()) {
            if (m_position >= m_range.end)
                break;
            TakeParagraph();
            continue;
        }
        qsizetype take = std::min(maxChars - piece.size(), m_pending.size() - m_taken);
        // A surrogate pair stays in one piece: each half alone would convert to '?'.
        if (m_taken + take < m_pending.size() && m_pending.at(m_taken + take - 1).isHighSurrogate())
            ++take;
        piece += QStringView(m_pending).mid(m_taken, take);
        m_taken += take;
    }
    text += cp932text::Encode(piece);
    if (!Done())
        return false;
    m_pending.clear();
    m_taken = 0;
    m_block = QTextBlock();
    return true;
}

QString TextCapture::ReadAll(const QTextDocument &document, const CharRange &range)
{
    TextCapture capture;
    capture.Begin(document, range);
    QString text;
    while (capture.m_position < capture.m_range.end) {
        capture.TakeParagraph();
        text += capture.m_pending;
    }
    return text;
}

} // namespace kivo
