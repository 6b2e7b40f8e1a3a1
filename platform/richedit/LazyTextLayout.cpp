#include "LazyTextLayout.h"

#include "InlineImages.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPalette>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace kivo {

namespace {

/// The width lines do not wrap at, when the document has no page width.
constexpr qreal kUnwrappedWidth = 1e7;
/// A change of at most this many paragraphs and characters is laid out at once, as typing and
/// small edits are: the widget then hears of the exact size at once and shows the caret where
/// it is. Larger changes are laid out as they are needed.
constexpr int kEagerBlocks = 8;
constexpr int kEagerCharacters = 4096;
/// A paragraph longer than this is laid out only to be painted or hit, or when a caller asks
/// for it: not when the widget merely asks where it is (moving the caret or the selection
/// there), which would cost seconds for a text of megabytes in one paragraph.
constexpr int kLongParagraph = 65536;
/// How soon the widget hears of the size that deferred edits changed.
constexpr int kDeferredSizeMs = 100;
/// The character an estimate takes as the width of every character: a full-width kana.
constexpr char16_t kEstimateCharacter = u'\u3042';

/// The selections of a paint that fall into a paragraph, as format ranges of its layout.
QList<QTextLayout::FormatRange>
SelectionsIn(const QTextBlock &block, const QAbstractTextDocumentLayout::PaintContext &context)
{
    QList<QTextLayout::FormatRange> ranges;
    const int position = block.position();
    const int length = block.length();
    for (const QAbstractTextDocumentLayout::Selection &selection : context.selections) {
        const int start = selection.cursor.selectionStart() - position;
        const int end = selection.cursor.selectionEnd() - position;
        if (start < length && end > 0 && end > start) {
            ranges.append({start, end - start, selection.format});
        } else if (!selection.cursor.hasSelection() &&
                   selection.format.hasProperty(QTextFormat::FullWidthSelection) &&
                   block.contains(selection.cursor.position())) {
            // A full-width selection marks the line of its cursor.
            const QTextLine line =
                block.layout()->lineForTextPosition(selection.cursor.position() - position);
            int lineLength = line.textLength();
            if (line.textStart() + lineLength == length - 1)
                ++lineLength; // the paragraph break too
            ranges.append({line.textStart(), lineLength, selection.format});
        }
    }
    return ranges;
}

} // namespace

LazyTextLayout::LazyTextLayout(QTextDocument *document) : QAbstractTextDocumentLayout(document)
{
    registerHandler(QTextFormat::ImageObject, new InlineImages(this));
    m_sizeTimer.setSingleShot(true);
    connect(&m_sizeTimer, &QTimer::timeout, this, &LazyTextLayout::AnnounceSize);
    KeyChanged(CurrentKey());
    std::vector<float> heights;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        heights.push_back(EstimatedHeight(block.length() - 1));
    m_heights.Insert(0, heights);
}

LazyTextLayout::~LazyTextLayout() = default;

LazyTextLayout *LazyTextLayout::Of(const QTextDocument &document)
{
    return qobject_cast<LazyTextLayout *>(document.documentLayout());
}

LazyTextLayout::LayoutKey LazyTextLayout::CurrentKey() const
{
    const QTextDocument *doc = document();
    const QTextOption option = doc->defaultTextOption();
    return LayoutKey{doc->pageSize(), doc->defaultFont(), option.wrapMode(),
                     option.tabStopDistance(), doc->documentMargin()};
}

void LazyTextLayout::KeyChanged(const LayoutKey &key)
{
    m_key = key;
    const QFontMetricsF metrics(key.font);
    m_estimatedLineHeight = std::ceil(metrics.ascent() + metrics.descent() + metrics.leading());
    m_estimatedCharWidth = metrics.horizontalAdvance(QChar(kEstimateCharacter));
    m_heights.MarkAllEstimated();
}

qreal LazyTextLayout::LineWidth() const
{
    const qreal page = m_key.pageSize.width();
    if (page <= 0 || m_key.wrapMode == QTextOption::NoWrap)
        return kUnwrappedWidth;
    return std::max<qreal>(0, page - 2 * m_key.documentMargin);
}

float LazyTextLayout::EstimatedHeight(int length) const
{
    const qreal width = LineWidth();
    const qreal lines =
        width > 0 ? std::max<qreal>(1, std::ceil(length * m_estimatedCharWidth / width)) : 1;
    return static_cast<float>(lines * m_estimatedLineHeight);
}

void LazyTextLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    // An edit made by a handler of the document's contentsChange (typed text made the user's
    // own) has Qt lay out the change so far from inside that edit, then call again with no
    // position: the change was taken in already.
    if (from < 0)
        return;
    QTextDocument *doc = document();
    if (const LayoutKey key = CurrentKey(); !(key == m_key))
        KeyChanged(key);
    const int blockCount = doc->blockCount();
    const bool relayoutAll = from == 0 && charsRemoved == 0 && charsAdded == doc->characterCount();
    int firstChanged = 0;
    if (relayoutAll && blockCount == m_heights.Size()) {
        // Another width or font: the heights at the old one stand as estimates.
        m_heights.MarkAllEstimated();
    } else {
        const int end = std::min(from + charsAdded, doc->characterCount() - 1);
        QTextBlock first = doc->findBlock(from);
        if (!first.isValid())
            first = doc->lastBlock();
        QTextBlock last = doc->findBlock(end);
        if (!last.isValid())
            last = doc->lastBlock();
        firstChanged = first.blockNumber();
        const int newSpan = last.blockNumber() - firstChanged + 1;
        const int oldSpan = newSpan - (blockCount - m_heights.Size());
        if (oldSpan < 0 || firstChanged + oldSpan > m_heights.Size()) {
            qWarning("kivo: the layout lost track of the paragraphs; estimating them all anew");
            m_heights.Clear();
            firstChanged = 0;
            first = doc->begin();
            last = doc->lastBlock();
        } else if (oldSpan == newSpan) {
            // The same paragraphs, changed: their old heights are the best estimates.
            for (int i = firstChanged; i < firstChanged + newSpan; ++i)
                m_heights.Set(i, m_heights.Height(i), false);
        } else {
            m_heights.Erase(firstChanged, oldSpan);
        }
        if (m_heights.Size() != blockCount) {
            std::vector<float> heights;
            for (QTextBlock block = first; block.isValid(); block = block.next()) {
                heights.push_back(EstimatedHeight(block.length() - 1));
                if (block == last)
                    break;
            }
            m_heights.Insert(firstChanged, heights);
        }
        const int span = last.blockNumber() - firstChanged + 1;
        if (!m_deferEdits && span <= kEagerBlocks && charsAdded <= kEagerCharacters) {
            for (QTextBlock block = first; block.isValid(); block = block.next()) {
                LayOutBlock(block);
                if (block == last)
                    break;
            }
        }
    }
    emit update(QRectF(0, BlockTop(firstChanged), kUnwrappedWidth, kUnwrappedWidth));
    if (m_deferEdits)
        SizeMayHaveChanged();
    else
        AnnounceSize();
    if (!IsComplete())
        emit HeightsChanged();
}

void LazyTextLayout::LayOutBlock(const QTextBlock &block) const
{
    QTextLayout *layout = block.layout();
    QTextOption option = document()->defaultTextOption();
    const QTextBlockFormat format = block.blockFormat();
    if (format.hasProperty(QTextFormat::BlockAlignment))
        option.setAlignment(format.alignment());
    layout->setTextOption(option);
    const qreal width = LineWidth();
    qreal y = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(width);
        line.setPosition(QPointF(m_key.documentMargin, y));
        y += std::ceil(line.ascent() + line.descent() + line.leading());
    }
    layout->endLayout();
    QTextBlock counted = block;
    counted.setLineCount(std::max(1, layout->lineCount()));
    const int number = block.blockNumber();
    if (number >= m_heights.Size()) {
        qWarning("kivo: paragraph %d is not among the %d the layout knows", number,
                 m_heights.Size());
        return;
    }
    const float height = static_cast<float>(y);
    if (m_heights.Height(number) != height)
        SizeMayHaveChanged();
    m_heights.Set(number, height, true);
}

void LazyTextLayout::EnsureLaidOut(const QTextBlock &block) const
{
    if (!block.isValid())
        return;
    if (!IsLaidOut(block))
        LayOutBlock(block);
}

bool LazyTextLayout::IsLaidOut(const QTextBlock &block) const
{
    const int number = block.blockNumber();
    return number >= 0 && number < m_heights.Size() && m_heights.IsMeasured(number);
}

template <typename More> void LazyTextLayout::LayOutWhile(More more) const
{
    QTextBlock block;
    for (int next = m_heights.FirstEstimated(); next < m_heights.Size() && more(next);
         next = m_heights.FirstEstimated(next + 1)) {
        if (!block.isValid() || block.blockNumber() != next)
            block = document()->findBlockByNumber(next);
        LayOutBlock(block);
        block = block.next();
    }
}

void LazyTextLayout::LayOutThrough(int blockNumber) const
{
    LayOutWhile([blockNumber](int next) { return next <= blockNumber; });
}

void LazyTextLayout::LayOutThroughY(qreal y) const
{
    LayOutWhile([this, y](int next) { return BlockTop(next) <= y; });
}

void LazyTextLayout::LayOutThroughLine(int line) const
{
    // Every paragraph before `next` is laid out, so its first line number is exact.
    LayOutWhile([this, line](int next) {
        return document()->findBlockByNumber(next).firstLineNumber() <= line;
    });
}

void LazyTextLayout::LayOutAll() const
{
    LayOutWhile([](int) { return true; });
}

bool LazyTextLayout::LayOutFor(std::chrono::microseconds budget, int from)
{
    const auto deadline = std::chrono::steady_clock::now() + budget;
    QTextBlock block;
    for (int pass = 0; pass < 2 && !IsComplete(); ++pass) {
        for (int next = m_heights.FirstEstimated(pass == 0 ? from : 0); next < m_heights.Size();
             next = m_heights.FirstEstimated(next + 1)) {
            if (std::chrono::steady_clock::now() >= deadline)
                return true;
            if (!block.isValid() || block.blockNumber() != next)
                block = document()->findBlockByNumber(next);
            // A very long paragraph is one step that no budget bounds: it waits until it is
            // painted or asked for.
            if (block.length() <= kLongParagraph)
                LayOutBlock(block);
            block = block.next();
        }
    }
    return false;
}

qreal LazyTextLayout::BlockTop(int blockNumber) const
{
    blockNumber = std::clamp(blockNumber, 0, m_heights.Size());
    return m_key.documentMargin + m_heights.Top(blockNumber);
}

std::vector<qreal> LazyTextLayout::BlockTops(const std::vector<int> &blockNumbers) const
{
    std::vector<int> clamped = blockNumbers;
    for (int &number : clamped)
        number = std::clamp(number, 0, m_heights.Size());
    std::vector<qreal> tops = m_heights.Tops(clamped);
    for (qreal &top : tops)
        top = m_key.documentMargin + top;
    return tops;
}

qreal LazyTextLayout::BlockHeight(int blockNumber) const
{
    if (blockNumber < 0 || blockNumber >= m_heights.Size())
        return 0;
    return m_heights.Height(blockNumber);
}

int LazyTextLayout::BlockAt(qreal y) const
{
    return std::max(0, m_heights.IndexAt(y - m_key.documentMargin));
}

QSizeF LazyTextLayout::documentSize() const
{
    const qreal width = std::max<qreal>(0, m_key.pageSize.width());
    return {width, 2 * m_key.documentMargin + m_heights.Total()};
}

QRectF LazyTextLayout::frameBoundingRect(QTextFrame *frame) const
{
    if (frame != document()->rootFrame())
        return {};
    return {QPointF(0, 0), documentSize()};
}

QRectF LazyTextLayout::blockBoundingRect(const QTextBlock &block) const
{
    if (!block.isValid())
        return {};
    if (block.length() <= kLongParagraph)
        EnsureLaidOut(block);
    const int number = block.blockNumber();
    const qreal width = std::max(m_key.pageSize.width(), block.layout()->boundingRect().right());
    return {0, BlockTop(number), width, m_heights.Height(number)};
}

void LazyTextLayout::draw(QPainter *painter, const PaintContext &context)
{
    const QRectF clip =
        context.clip.isValid() ? context.clip : QRectF(QPointF(0, 0), documentSize());
    int number = BlockAt(clip.top());
    qreal top = BlockTop(number);
    const QPen pen = painter->pen();
    for (QTextBlock block = document()->findBlockByNumber(number);
         block.isValid() && top <= clip.bottom(); block = block.next(), ++number) {
        EnsureLaidOut(block);
        const qreal height = m_heights.Height(number);
        if (top + height >= clip.top()) {
            const QTextLayout *layout = block.layout();
            const QPointF offset(0, top);
            painter->setPen(context.palette.color(QPalette::Text));
            layout->draw(painter, offset, SelectionsIn(block, context), clip);
            // The caret, or while an input method composes, the caret inside the composed text
            // (a position below -1 counts from the start of the composition).
            const int position = block.position();
            const int caret = context.cursorPosition;
            if (caret >= position && caret < position + block.length())
                layout->drawCursor(painter, offset, caret - position, m_cursorWidth);
            else if (caret < -1 && !layout->preeditAreaText().isEmpty())
                layout->drawCursor(painter, offset, layout->preeditAreaPosition() - (caret + 2),
                                   m_cursorWidth);
        }
        top += height;
    }
    painter->setPen(pen);
}

int LazyTextLayout::hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const
{
    int number = BlockAt(point.y());
    QTextBlock block = document()->findBlockByNumber(number);
    EnsureLaidOut(block);
    // Laid out, the paragraph may have become shorter than its estimate: the point lies below.
    while (block.next().isValid() && point.y() >= BlockTop(number + 1)) {
        block = block.next();
        ++number;
        EnsureLaidOut(block);
    }
    if (!block.isValid())
        return -1;
    const QTextLayout *layout = block.layout();
    const qreal y = point.y() - BlockTop(number);
    int index = 0;
    while (index + 1 < layout->lineCount() && layout->lineAt(index + 1).y() <= y)
        ++index;
    const QTextLine line = layout->lineAt(index);
    if (!line.isValid())
        return block.position();
    if (accuracy == Qt::ExactHit && !line.naturalTextRect().contains(QPointF(point.x(), y)))
        return -1;
    return block.position() + line.xToCursor(point.x());
}

void LazyTextLayout::SizeMayHaveChanged() const
{
    // Runs of deferred edits (a result being written) grow the document slice after slice:
    // the widget hears of its size a few times a second, not after every slice, as each time
    // repaints its scroll bar.
    if (!m_sizeTimer.isActive())
        m_sizeTimer.start(m_deferEdits ? kDeferredSizeMs : 0);
}

void LazyTextLayout::AnnounceSize()
{
    m_sizeTimer.stop();
    const QSizeF size = documentSize();
    if (size == m_announcedSize)
        return;
    m_announcedSize = size;
    emit documentSizeChanged(size);
}

} // namespace kivo
