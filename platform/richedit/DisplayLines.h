#pragma once

#include <QFont>
#include <QMetaObject>
#include <QPointer>
#include <QSizeF>
#include <QTextDocument>
#include <QTextOption>

namespace kivo {

/// Display lines of a QTextDocument, word-wrapped lines included, found without walking the
/// document.
///
/// Each block's number of laid-out lines is kept in the document's own block tree
/// (QTextBlock::setLineCount). That tree holds prefix sums, so the first line of a block
/// (QTextBlock::firstLineNumber) and the block of a line (QTextDocument::findBlockByLineNumber)
/// cost O(log n). The document's default layout does not maintain these counts itself; this class
/// does. Only the blocks that changed since the last Update are recounted. A change that lays out
/// everything anew (another page width, default font, wrap mode, tab width or margin) recounts
/// every block, once.
///
/// Before the document has a page size (its widget has never been shown) nothing is laid out,
/// and every paragraph counts as one line.
class DisplayLines {
public:
    /// One display line: its first character position and its length; endsParagraph when a
    /// paragraph break follows it.
    struct Line {
        int start = 0;
        int length = 0;
        bool endsParagraph = false;
    };

    DisplayLines() = default;
    ~DisplayLines();
    DisplayLines(const DisplayLines &) = delete;
    DisplayLines &operator=(const DisplayLines &) = delete;

    /// Starts watching document; everything counts as changed.
    void Attach(QTextDocument *document);
    QTextDocument *Document() const { return m_document; }

    /// Recounts the lines of the blocks that changed. The document's layout must be complete
    /// (QAbstractTextDocumentLayout::documentSize() finishes it).
    void Update();

    /// Number of display lines; at least 1.
    int Count() const;
    /// Line of a character position; positions outside the text are clamped to it.
    int LineOf(int position) const;
    /// The line with number line, 0 <= line < Count().
    Line At(int line) const;
    /// Document y of the top of a line, 0 <= line < Count(); 0 while nothing is laid out.
    qreal Top(int line) const;
    /// The last line whose top is at or above document y; 0 when there is none.
    int LineAt(qreal y) const;

private:
    /// What, when it changes, makes the layout break every block anew.
    struct LayoutKey {
        QSizeF pageSize;
        QFont font;
        QTextOption::WrapMode wrapMode = QTextOption::WordWrap;
        qreal tabStopDistance = 0;
        qreal documentMargin = 0;
        friend bool operator==(const LayoutKey &, const LayoutKey &) = default;
    };

    LayoutKey CurrentKey() const;
    bool IsLaidOut() const;
    void OnContentsChange(int from, int removed, int added);
    void MarkAll();
    qreal BlockTop(const QTextBlock &block) const;

    QPointer<QTextDocument> m_document;
    QMetaObject::Connection m_connection;
    LayoutKey m_key;
    bool m_dirty = true;
    bool m_allDirty = true;
    int m_dirtyFrom = 0; ///< first changed position, when m_dirty and not m_allDirty
    int m_dirtyTo = 0;   ///< last changed position
};

} // namespace kivo
