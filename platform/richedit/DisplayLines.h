#pragma once

#include <QPointer>
#include <QTextDocument>

namespace kivo {

class LazyTextLayout;

/// Display lines of a document laid out by LazyTextLayout, word-wrapped lines included, found
/// without walking the document.
///
/// The layout keeps each laid-out paragraph's number of lines in the document's own block tree
/// (QTextBlock::setLineCount). That tree holds prefix sums, so the first line of a paragraph
/// (QTextBlock::firstLineNumber) and the paragraph of a line
/// (QTextDocument::findBlockByLineNumber) cost O(log n). A query is exact when the paragraphs it
/// counts over are laid out: the caller lays them out first (LazyTextLayout::LayOutThrough,
/// LayOutThroughLine, LayOutThroughY, LayOutAll).
class DisplayLines {
public:
    /// One display line: its first character position and its length; endsParagraph when a
    /// paragraph break follows it.
    struct Line {
        int start = 0;
        int length = 0;
        bool endsParagraph = false;
    };

    void Attach(QTextDocument *document) { m_document = document; }
    QTextDocument *Document() const { return m_document; }

    /// Number of display lines; at least 1. Needs every paragraph laid out.
    int Count() const;
    /// Line of a character position; positions outside the text are clamped to it. Needs the
    /// paragraphs up to the position's laid out.
    int LineOf(int position) const;
    /// The line with number line, 0 <= line < Count(). Needs the paragraphs up to the line's.
    Line At(int line) const;
    /// Document y of the top of a line, 0 <= line < Count(). Needs the paragraphs up to the line's.
    qreal Top(int line) const;
    /// The last line whose top is at or above document y; 0 when there is none. Needs the
    /// paragraphs up to y.
    int LineAt(qreal y) const;

private:
    LazyTextLayout *Layout() const;

    QPointer<QTextDocument> m_document;
};

} // namespace kivo
