#include "resulttext/DocumentImage.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

namespace kivo {
namespace {

// What follows in the stream: a paragraph, a run of text in it, the end of the paragraph, the
// end of the document.
enum Tag : qint8 { kParagraph = 1, kText = 2, kParagraphEnd = 3, kEnd = 4 };

} // namespace

DocumentImageWriter::DocumentImageWriter(const QTextDocument &document, QDataStream &out)
    : m_out(out), m_block(document.begin())
{}

bool DocumentImageWriter::Write(std::int64_t paragraphs)
{
    for (; m_block.isValid() && paragraphs > 0; m_block = m_block.next(), --paragraphs) {
        m_out << qint8(kParagraph) << m_block.blockFormat() << m_block.charFormat()
              << qint32(m_block.userState());
        for (auto it = m_block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            m_out << qint8(kText) << fragment.text() << fragment.charFormat();
        }
        m_out << qint8(kParagraphEnd);
    }
    if (m_block.isValid())
        return false;
    m_out << qint8(kEnd);
    return true;
}

bool ReadDocumentImage(QDataStream &in, QTextDocument &document)
{
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    bool first = true;
    bool whole = false;
    std::vector<std::pair<QTextBlock, int>> states;
    while (in.status() == QDataStream::Ok) {
        qint8 tag = 0;
        in >> tag;
        if (tag == kEnd) {
            whole = in.status() == QDataStream::Ok;
            break;
        }
        if (tag != kParagraph)
            break;
        QTextBlockFormat blockFormat;
        QTextCharFormat charFormat;
        qint32 state = -1;
        in >> blockFormat >> charFormat >> state;
        if (first) {
            cursor.setBlockFormat(blockFormat);
            cursor.setBlockCharFormat(charFormat);
            first = false;
        } else {
            cursor.insertBlock(blockFormat, charFormat);
        }
        states.emplace_back(cursor.block(), state);
        qint8 part = 0;
        for (in >> part; part == kText && in.status() == QDataStream::Ok; in >> part) {
            QString text;
            QTextCharFormat format;
            in >> text >> format;
            cursor.insertText(text, format);
        }
        if (part != kParagraphEnd)
            break;
    }
    cursor.endEditBlock();
    if (whole) {
        for (auto &[block, state] : states)
            block.setUserState(state);
    } else {
        document.clear();
    }
    document.setUndoRedoEnabled(undo);
    document.setModified(false);
    return whole;
}

} // namespace kivo
