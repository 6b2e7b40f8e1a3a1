#pragma once

#include "BlockHeights.h"

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QSizeF>
#include <QTextOption>
#include <QTimer>

#include <chrono>
#include <vector>

class QTextBlock;
class QTextDocument;

namespace kivo {

/// The layout of a text control's document that lays paragraphs out only when they are needed:
/// when they are painted, hit, asked for their place, or when a caller asks for every paragraph
/// up to some point. Paragraphs not laid out yet stand at an estimated height (from their length
/// and the font), so the document has a size, and a scroll bar, from the start.
///
/// Qt's own layout of rich text places every paragraph after an edit anew, and a width change,
/// a new font or a large insertion lays out the whole text before anything shows; on long texts
/// that took seconds. Here an edit costs the paragraphs it touched, and the rest of the text is
/// laid out on demand or in bounded steps (LayOutFor).
///
/// Geometry: the root frame's margin (QTextDocument::documentMargin) around the text; paragraphs
/// one below the other; each line as high as its ascent, descent and leading, rounded up to a
/// whole pixel, as Qt's rich-text layout makes it. Lines wrap at the page width less the
/// margins, with the document's default text option. Block formats other than alignment,
/// frames and tables are not laid out (the control holds plain paragraphs of formatted
/// characters and inline pictures).
///
/// Each laid-out paragraph's number of lines is kept in the document's block tree
/// (QTextBlock::setLineCount), so that line numbers of laid-out paragraphs cost O(log n)
/// (QTextBlock::firstLineNumber, QTextDocument::findBlockByLineNumber). The line numbers of a
/// paragraph are exact once every paragraph before it is laid out (LayOutThrough).
class LazyTextLayout : public QAbstractTextDocumentLayout {
    Q_OBJECT
    Q_PROPERTY(int cursorWidth READ CursorWidth WRITE SetCursorWidth)
public:
    explicit LazyTextLayout(QTextDocument *document);
    ~LazyTextLayout() override;

    /// The lazy layout of a document, or null when it has another.
    static LazyTextLayout *Of(const QTextDocument &document);

    void draw(QPainter *painter, const PaintContext &context) override;
    int hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override { return 1; }
    /// The page width and the height of the text, estimates included; never lays anything out.
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame *frame) const override;
    /// Lays the paragraph out when it is not (unless it is very long), and gives its place.
    QRectF blockBoundingRect(const QTextBlock &block) const override;

    int CursorWidth() const { return m_cursorWidth; }
    void SetCursorWidth(int width) { m_cursorWidth = width; }

    /// Lays a paragraph out at the current width unless it is already.
    void EnsureLaidOut(const QTextBlock &block) const;
    /// Lays out every paragraph up to and including the one with number blockNumber.
    void LayOutThrough(int blockNumber) const;
    /// Lays out paragraphs in order from the first that is not, until every paragraph whose top
    /// is at or above document y is laid out.
    void LayOutThroughY(qreal y) const;
    /// Lays out paragraphs in order from the first that is not, until the paragraph holding
    /// display line `line` is laid out with every paragraph before it (or the text ends).
    void LayOutThroughLine(int line) const;
    /// Lays out every paragraph.
    void LayOutAll() const;
    /// Lays out paragraphs that are not, first those from paragraph `from` on, then those
    /// before it, for about the given time; true while some remain to be done this way. Very
    /// long paragraphs are left to be laid out when they are painted or asked for.
    bool LayOutFor(std::chrono::microseconds budget, int from = 0);
    /// Whether a paragraph is laid out at the current width (its lines are current).
    bool IsLaidOut(const QTextBlock &block) const;
    /// Whether every paragraph is laid out at the current width.
    bool IsComplete() const { return m_heights.EstimatedCount() == 0; }

    /// Document y of a paragraph's top (its first line's), estimates above it included.
    qreal BlockTop(int blockNumber) const;
    /// BlockTop of each of the given paragraphs, numbers in ascending order, in one pass.
    std::vector<qreal> BlockTops(const std::vector<int> &blockNumbers) const;
    /// A paragraph's height, measured or estimated.
    qreal BlockHeight(int blockNumber) const;
    /// The paragraph at document y: the last whose top is at or above it.
    int BlockAt(qreal y) const;

    /// Tells the widget the document's size now, when it changed since it was last told: the
    /// widget then sets its scroll range (and shows or hides its scroll bar, which may change
    /// the width and make every paragraph wrap anew).
    void AnnounceSize();
    /// While deferred, an edit is not laid out at once, however small: its paragraphs stand at
    /// estimated heights until they are painted, asked for or laid out by a caller; and the
    /// widget hears of the new size within a tenth of a second (or at AnnounceSize).
    /// For runs of edits that do not show the caret and measure only what they need.
    void DeferEdits(bool defer) { m_deferEdits = defer; }
    /// Whether both documents wrap their lines alike (the same width, font, wrapping, tab stops
    /// and margin), so that the same paragraphs take the same lines in both.
    bool WrapsLike(const LazyTextLayout &other) const { return CurrentKey() == other.CurrentKey(); }

signals:
    /// Paragraphs changed from estimated to measured heights, or the other way; the document's
    /// size may have changed with them.
    void HeightsChanged();

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    /// What, when it changes, makes every paragraph wrap anew.
    struct LayoutKey {
        QSizeF pageSize;
        QFont font;
        QTextOption::WrapMode wrapMode = QTextOption::WordWrap;
        qreal tabStopDistance = 0;
        qreal documentMargin = 0;
        friend bool operator==(const LayoutKey &, const LayoutKey &) = default;
    };

    LayoutKey CurrentKey() const;
    /// Takes in a new key: the estimate metrics, and every height made an estimate.
    void KeyChanged(const LayoutKey &key);
    /// The width lines wrap at.
    qreal LineWidth() const;
    /// The estimated height of a paragraph of `length` characters.
    float EstimatedHeight(int length) const;
    /// Lays out one paragraph, records its height and line count.
    void LayOutBlock(const QTextBlock &block) const;
    /// Lays out the estimated paragraphs from block number `from` on while more() is true.
    template <typename More> void LayOutWhile(More more) const;
    /// Tells the widget of the document's new size once the current event is done.
    void SizeMayHaveChanged() const;

    mutable BlockHeights m_heights;
    LayoutKey m_key;
    qreal m_estimatedLineHeight = 0;
    qreal m_estimatedCharWidth = 0;
    int m_cursorWidth = 1;
    mutable QTimer m_sizeTimer; ///< announces the size after paragraphs were laid out
    QSizeF m_announcedSize;
    bool m_deferEdits = false;
};

} // namespace kivo
