// RichEditCtrl: display lines and vertical scrolling.

#include "RichEditCtrl.h"

#include "Cp932Text.h"

#include <QAbstractTextDocumentLayout>
#include <QDebug>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kivo {

namespace {

/// Rounds of finishing the layout and settling the scroll bar. The bar appearing narrows the
/// text and starts a new layout; two rounds settle that, the rest is a margin.
constexpr int kLayoutRounds = 4;
/// Pixel rows of the top line that may be scrolled away before the next line counts as the first
/// visible one; a line scrolled to is placed at a whole pixel at or above its top.
constexpr int kTopRowsHidden = 1;

} // namespace

void RichEditCtrl::EnsureLaidOut() const
{
    if (m_lines.Document() != document()) {
        qWarning("kivo: the control's document was replaced; the line counts start anew");
        m_lines.Attach(document());
    }
    FlushLayoutBatch();
    const QScopedValueRollback guard(m_ownScroll, true);
    QAbstractTextDocumentLayout *layout = document()->documentLayout();
    for (int round = 0; round < kLayoutRounds; ++round) {
        const QSizeF size = layout->documentSize(); // finishes the lazy layout
        if (size == m_announcedSize)
            break;
        // After a lazy layout the widget hears of the final size only from a zero-time timer.
        // Tell it now, so that the scroll range is right and a scroll bar that is due (and that
        // narrows the text) has appeared before lines are counted.
        emit layout->documentSizeChanged(size);
        m_announcedSize = size;
    }
    m_lines.Update();
}

int RichEditCtrl::LineFromChar(int position) const
{
    EnsureLaidOut();
    return m_lines.LineOf(position);
}

int RichEditCtrl::LineIndex(int line) const
{
    EnsureLaidOut();
    if (line == -1)
        line = m_lines.LineOf(textCursor().position());
    if (line < 0 || line >= m_lines.Count())
        return -1;
    return m_lines.At(line).start;
}

int RichEditCtrl::GetLineCount() const
{
    EnsureLaidOut();
    return m_lines.Count();
}

std::string RichEditCtrl::GetLine(int line) const
{
    EnsureLaidOut();
    if (line < 0 || line >= m_lines.Count())
        return {};
    const DisplayLines::Line range = m_lines.At(line);
    const QTextBlock block = document()->findBlock(range.start);
    QString text = block.text().mid(range.start - block.position(), range.length);
    if (range.endsParagraph)
        text += QChar(u'\r');
    return cp932text::Encode(text);
}

int RichEditCtrl::GetFirstVisibleLine() const
{
    EnsureLaidOut();
    return m_lines.LineAt(verticalScrollBar()->value() + kTopRowsHidden);
}

void RichEditCtrl::LineScroll(int lines)
{
    const int first = GetFirstVisibleLine();
    const auto wanted = static_cast<std::int64_t>(first) + lines;
    const int target = static_cast<int>(
        std::clamp<std::int64_t>(wanted, 0, static_cast<std::int64_t>(m_lines.Count()) - 1));
    if (target == first)
        return;
    // The scroll bar's range stops the movement at the end of the text.
    SetScrollValue(target == 0 ? 0 : static_cast<int>(std::floor(m_lines.Top(target))));
}

int RichEditCtrl::Scroll(ScrollCommand command)
{
    const int before = GetFirstVisibleLine();
    const QScrollBar *bar = verticalScrollBar();
    switch (command) {
    case ScrollCommand::LineUp:
        LineScroll(-1);
        break;
    case ScrollCommand::LineDown:
        LineScroll(1);
        break;
    case ScrollCommand::PageUp:
        SetScrollValue(bar->value() - bar->pageStep());
        break;
    case ScrollCommand::PageDown:
        SetScrollValue(bar->value() + bar->pageStep());
        break;
    }
    return GetFirstVisibleLine() - before;
}

bool RichEditCtrl::HasVerticalScrollBar() const
{
    EnsureLaidOut();
    return verticalScrollBar()->isVisibleTo(this);
}

int RichEditCtrl::GetScrollPos() const
{
    EnsureLaidOut();
    return verticalScrollBar()->value();
}

void RichEditCtrl::SetScrollPos(int y)
{
    EnsureLaidOut();
    SetScrollValue(y);
}

int RichEditCtrl::LineFromY(int y) const
{
    EnsureLaidOut();
    return m_lines.LineAt(y);
}

qreal RichEditCtrl::LineTop(int line) const
{
    EnsureLaidOut();
    return m_lines.Top(line);
}

qreal RichEditCtrl::TextHeight() const
{
    EnsureLaidOut();
    return document()->documentLayout()->documentSize().height();
}

void RichEditCtrl::SetScrollValue(int value)
{
    const QScopedValueRollback guard(m_ownScroll, true);
    verticalScrollBar()->setValue(value);
}

void RichEditCtrl::OnScrollValueChanged()
{
    if (!m_ownScroll)
        emit VScroll();
}

} // namespace kivo
