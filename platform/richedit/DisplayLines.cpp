#include "DisplayLines.h"

#include <QAbstractTextDocumentLayout>
#include <QDebug>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

namespace kivo {

namespace {

/// Lines of a laid-out block; a block always shows at least one line, even when empty.
int LaidOutLines(const QTextBlock &block)
{
    return std::max(1, block.layout()->lineCount());
}

} // namespace

DisplayLines::~DisplayLines()
{
    QObject::disconnect(m_connection);
}

void DisplayLines::Attach(QTextDocument *document)
{
    QObject::disconnect(m_connection);
    m_document = document;
    if (document) {
        m_connection = QObject::connect(
            document, &QTextDocument::contentsChange,
            [this](int from, int removed, int added) { OnContentsChange(from, removed, added); });
    }
    MarkAll();
}

void DisplayLines::MarkAll()
{
    m_dirty = true;
    m_allDirty = true;
}

void DisplayLines::OnContentsChange(int from, int removed, int added)
{
    const int end = from + added;
    if (!m_dirty) {
        m_dirty = true;
        m_dirtyFrom = from;
        m_dirtyTo = end;
        return;
    }
    if (m_allDirty)
        return;
    // Move the changed range known so far to where its text stands now, then add this change.
    const auto shift = [&](int position) {
        return position >= from + removed ? position - removed + added : std::min(position, from);
    };
    m_dirtyFrom = std::min(shift(m_dirtyFrom), from);
    m_dirtyTo = std::max(shift(m_dirtyTo), end);
}

DisplayLines::LayoutKey DisplayLines::CurrentKey() const
{
    const QTextOption option = m_document->defaultTextOption();
    return LayoutKey{m_document->pageSize(), m_document->defaultFont(), option.wrapMode(),
                     option.tabStopDistance(), m_document->documentMargin()};
}

bool DisplayLines::IsLaidOut() const
{
    // A QTextEdit keeps a null page size until it is first shown; the layout does nothing then.
    return !m_document->pageSize().isNull();
}

void DisplayLines::Update()
{
    if (!m_document)
        return;
    if (const LayoutKey key = CurrentKey(); !(key == m_key)) {
        m_key = key;
        MarkAll();
    }
    if (!m_dirty)
        return;
    m_dirty = false;
    if (!IsLaidOut())
        return; // counts are not read until there is a layout, and then all are recounted
    QTextBlock block = m_allDirty ? m_document->firstBlock() : m_document->findBlock(m_dirtyFrom);
    if (!block.isValid())
        block = m_document->lastBlock();
    const QTextBlock last = m_allDirty ? m_document->lastBlock() : m_document->findBlock(m_dirtyTo);
    m_allDirty = false;
    for (; block.isValid(); block = block.next()) {
        block.setLineCount(LaidOutLines(block));
        if (block == last)
            break;
    }
}

int DisplayLines::Count() const
{
    if (!m_document)
        return 1;
    if (!IsLaidOut())
        return m_document->blockCount();
    const QTextBlock last = m_document->lastBlock();
    return last.firstLineNumber() + last.lineCount();
}

int DisplayLines::LineOf(int position) const
{
    if (!m_document)
        return 0;
    position = std::clamp(position, 0, m_document->characterCount() - 1);
    const QTextBlock block = m_document->findBlock(position);
    if (!block.isValid())
        return Count() - 1;
    if (!IsLaidOut())
        return block.blockNumber();
    const QTextLayout *layout = block.layout();
    const QTextLine line = layout->lineForTextPosition(position - block.position());
    const int index = line.isValid() ? line.lineNumber() : layout->lineCount() - 1;
    return block.firstLineNumber() + std::clamp(index, 0, block.lineCount() - 1);
}

DisplayLines::Line DisplayLines::At(int line) const
{
    if (!m_document)
        return {};
    const QTextBlock block =
        IsLaidOut() ? m_document->findBlockByLineNumber(line) : m_document->findBlockByNumber(line);
    if (!block.isValid())
        return {};
    const bool lastBlock = !block.next().isValid();
    const int blockTextLength = block.length() - 1;
    if (!IsLaidOut())
        return Line{block.position(), blockTextLength, !lastBlock};
    const int index = line - block.firstLineNumber();
    const QTextLine text = block.layout()->lineAt(index);
    if (!text.isValid()) {
        qWarning("kivo: display line %d has no layout; counting it as its whole block", line);
        return Line{block.position(), blockTextLength, !lastBlock};
    }
    const bool lastOfBlock = index == block.layout()->lineCount() - 1;
    return Line{block.position() + text.textStart(), text.textLength(), lastOfBlock && !lastBlock};
}

qreal DisplayLines::BlockTop(const QTextBlock &block) const
{
    const QTextLayout *layout = block.layout();
    const qreal firstLineY = layout->lineCount() > 0 ? layout->lineAt(0).y() : 0;
    return m_document->documentLayout()->blockBoundingRect(block).top() - firstLineY;
}

qreal DisplayLines::Top(int line) const
{
    if (!m_document || !IsLaidOut())
        return 0;
    const QTextBlock block = m_document->findBlockByLineNumber(line);
    if (!block.isValid())
        return 0;
    const QTextLine text = block.layout()->lineAt(line - block.firstLineNumber());
    return BlockTop(block) + (text.isValid() ? text.y() : 0);
}

int DisplayLines::LineAt(qreal y) const
{
    if (!m_document || !IsLaidOut())
        return 0;
    // The last block whose top is at or above y, by bisection over block numbers.
    int low = 0;
    int high = m_document->blockCount() - 1;
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (BlockTop(m_document->findBlockByNumber(middle)) <= y)
            low = middle;
        else
            high = middle - 1;
    }
    const QTextBlock block = m_document->findBlockByNumber(low);
    const QTextLayout *layout = block.layout();
    const qreal top = BlockTop(block);
    int index = 0;
    while (index + 1 < layout->lineCount() && top + layout->lineAt(index + 1).y() <= y)
        ++index;
    return block.firstLineNumber() + index;
}

} // namespace kivo
