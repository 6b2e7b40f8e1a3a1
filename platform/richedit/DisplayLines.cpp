#include "DisplayLines.h"

#include "LazyTextLayout.h"

#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

namespace kivo {

LazyTextLayout *DisplayLines::Layout() const
{
    return m_document ? LazyTextLayout::Of(*m_document) : nullptr;
}

int DisplayLines::Count() const
{
    if (!Layout())
        return 1;
    const QTextBlock last = m_document->lastBlock();
    return last.firstLineNumber() + std::max(1, last.lineCount());
}

int DisplayLines::LineOf(int position) const
{
    if (!Layout())
        return 0;
    position = std::clamp(position, 0, m_document->characterCount() - 1);
    const QTextBlock block = m_document->findBlock(position);
    if (!block.isValid())
        return Count() - 1;
    const QTextLayout *layout = block.layout();
    const QTextLine line = layout->lineForTextPosition(position - block.position());
    const int index = line.isValid() ? line.lineNumber() : layout->lineCount() - 1;
    return block.firstLineNumber() + std::clamp(index, 0, std::max(1, block.lineCount()) - 1);
}

DisplayLines::Line DisplayLines::At(int line) const
{
    if (!Layout())
        return {};
    const QTextBlock block = m_document->findBlockByLineNumber(line);
    if (!block.isValid())
        return {};
    const bool lastBlock = !block.next().isValid();
    const int blockTextLength = block.length() - 1;
    const int index = line - block.firstLineNumber();
    const QTextLine text = block.layout()->lineAt(index);
    if (!text.isValid()) {
        qWarning("kivo: display line %d has no layout; counting it as its whole block", line);
        return Line{block.position(), blockTextLength, !lastBlock};
    }
    const bool lastOfBlock = index == block.layout()->lineCount() - 1;
    return Line{block.position() + text.textStart(), text.textLength(), lastOfBlock && !lastBlock};
}

qreal DisplayLines::Top(int line) const
{
    const LazyTextLayout *layout = Layout();
    if (!layout)
        return 0;
    const QTextBlock block = m_document->findBlockByLineNumber(line);
    if (!block.isValid())
        return 0;
    const QTextLine text = block.layout()->lineAt(line - block.firstLineNumber());
    return layout->BlockTop(block.blockNumber()) + (text.isValid() ? text.y() : 0);
}

int DisplayLines::LineAt(qreal y) const
{
    const LazyTextLayout *layout = Layout();
    if (!layout)
        return 0;
    const QTextBlock block = m_document->findBlockByNumber(layout->BlockAt(y));
    if (!block.isValid())
        return 0;
    const QTextLayout *lines = block.layout();
    const qreal top = layout->BlockTop(block.blockNumber());
    int index = 0;
    while (index + 1 < lines->lineCount() && top + lines->lineAt(index + 1).y() <= y)
        ++index;
    return block.firstLineNumber() + index;
}

} // namespace kivo
