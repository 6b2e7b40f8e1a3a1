// RichEditCtrl: display lines and vertical scrolling.

#include "RichEditCtrl.h"

#include "Cp932Text.h"
#include "LazyTextLayout.h"
#include "TextEditor.h"

#include <QAbstractTextDocumentLayout>
#include <QDebug>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>

namespace kivo {

namespace {

/// Pixel rows of the top line that may be scrolled away before the next line counts as the first
/// visible one; a line scrolled to is placed at a whole pixel at or above its top.
constexpr int kTopRowsHidden = 1;
/// Time of one idle step of laying out the text: short enough that input stays responsive.
constexpr std::chrono::microseconds kIdleLayoutSlice{4000};

} // namespace

LazyTextLayout &RichEditCtrl::Layout() const
{
    if (LazyTextLayout *layout = LazyTextLayout::Of(*m_editor->document()))
        return *layout;
    // The widget was given a document of its own: it gets the lazy layout too.
    qWarning("kivo: the control's document has another layout; giving it the lazy one");
    auto *layout = new LazyTextLayout(m_editor->document());
    m_editor->document()->setDocumentLayout(layout);
    m_lines.Attach(m_editor->document());
    return *layout;
}

int RichEditCtrl::BlockAt(qreal y) const
{
    return Layout().BlockAt(y);
}

qreal RichEditCtrl::BlockTop(int blockNumber) const
{
    return Layout().BlockTop(blockNumber);
}

void RichEditCtrl::SettleSize() const
{
    Layout().AnnounceSize();
}

template <typename Work> void RichEditCtrl::LayOutKeepingTop(Work work, int rounds) const
{
    FlushLayoutBatch();
    LazyTextLayout &layout = Layout();
    const QScopedValueRollback guard(m_ownScroll, true);
    QScrollBar *bar = m_editor->verticalScrollBar();
    for (int round = 0; round < rounds; ++round) {
        const int top = layout.BlockAt(bar->value());
        const qreal offset = bar->value() - layout.BlockTop(top);
        const QSizeF before = layout.documentSize();
        work(layout);
        // The widget hears of the new size now, so that the scroll range is right and a scroll
        // bar that is due (and that narrows the text) has appeared before lines are counted.
        // Inside a batch of edits it hears of it at the end, unless the bar is to appear or go
        // or the window is to keep its top.
        const int kept = static_cast<int>(std::lround(layout.BlockTop(top) + offset));
        const bool barDue = ScrollBarDue();
        if (m_batchDepth == 0 || kept != bar->value() || barDue != bar->isVisibleTo(m_editor))
            layout.AnnounceSize();
        if (kept != bar->value())
            bar->setValue(kept);
        if (layout.documentSize() == before)
            break;
    }
}

void RichEditCtrl::KeepTopThrough(const std::function<void()> &change)
{
    FlushLayoutBatch();
    LazyTextLayout &layout = Layout();
    QScrollBar *bar = m_editor->verticalScrollBar();
    const int topNumber = layout.BlockAt(bar->value());
    const qreal height = layout.BlockHeight(topNumber);
    const qreal share = height > 0 ? (bar->value() - layout.BlockTop(topNumber)) / height : 0;
    // A cursor follows the paragraph through edits above it (paragraphs inserted or removed).
    const QTextCursor anchor(m_editor->document()->findBlockByNumber(topNumber));
    change();
    // The paragraph at the top is measured at once; those above it keep estimated heights,
    // and the idle layout keeps this paragraph in place as it measures them.
    const QTextBlock block = anchor.block();
    if (!block.isValid())
        return;
    const int top = block.blockNumber();
    layout.EnsureLaidOut(block);
    const QScopedValueRollback guard(m_ownScroll, true);
    const auto kept =
        static_cast<int>(std::lround(layout.BlockTop(top) + share * layout.BlockHeight(top)));
    // The widget hears of the new size now when the place kept lies beyond its scroll range or
    // its scroll bar is to appear or go; otherwise as the layout tells it (at once, or a moment
    // later while edits are deferred).
    if (kept > bar->maximum() || ScrollBarDue() != bar->isVisibleTo(m_editor))
        layout.AnnounceSize();
    if (kept != bar->value())
        bar->setValue(kept);
}

void RichEditCtrl::OnResize(QResizeEvent *event)
{
    KeepTopThrough([&] { m_editor->BaseResize(event); });
}

void RichEditCtrl::SetReadOnly(bool readOnly)
{
    m_editor->setReadOnly(readOnly);
    if (!readOnly && !Layout().IsComplete())
        m_layoutTimer.start(kLayoutPauseMs);
}

void RichEditCtrl::HoldIdleLayout(bool hold)
{
    m_idleLayoutHeld = hold;
    if (!hold && !m_editor->isReadOnly() && !Layout().IsComplete())
        m_layoutTimer.start(kLayoutPauseMs);
}

void RichEditCtrl::OnLayoutTimer()
{
    if (m_editor->isReadOnly() || m_idleLayoutHeld)
        return; // SetReadOnly(false) and HoldIdleLayout(false) start the idle layout again

    bool more = false;
    // One round: the slice bounds the whole call, and the next one settles what this changed.
    LayOutKeepingTop(
        [&](LazyTextLayout &layout) {
            more = layout.LayOutFor(kIdleLayoutSlice,
                                    layout.BlockAt(m_editor->verticalScrollBar()->value()));
        },
        1);
    if (more)
        m_layoutTimer.start(0);
}

void RichEditCtrl::FinishLayoutForTests()
{
    LayOutKeepingTop([](LazyTextLayout &layout) { layout.LayOutAll(); });
}

bool RichEditCtrl::IsLayoutCompleteForTests() const
{
    return Layout().IsComplete();
}

int RichEditCtrl::LineFromChar(int position) const
{
    LayOutKeepingTop([&](LazyTextLayout &layout) {
        layout.LayOutThrough(m_editor->document()->findBlock(position).blockNumber());
    });
    return m_lines.LineOf(position);
}

int RichEditCtrl::LineIndex(int line) const
{
    if (line == -1)
        line = LineFromChar(m_editor->textCursor().position());
    if (line < 0)
        return -1;
    if (!LayOutThroughLine(line))
        return -1;
    return m_lines.At(line).start;
}

bool RichEditCtrl::LayOutThroughLine(int line) const
{
    LayOutKeepingTop([line](LazyTextLayout &layout) { layout.LayOutThroughLine(line); });
    // The layout stops at the first paragraph after the line; it lays out everything only when
    // the line lies in the last paragraph or past the end.
    return !Layout().IsComplete() || line < m_lines.Count();
}

int RichEditCtrl::GetLineCount() const
{
    LayOutKeepingTop([](LazyTextLayout &layout) { layout.LayOutAll(); });
    return m_lines.Count();
}

std::string RichEditCtrl::GetLine(int line) const
{
    if (line < 0 || !LayOutThroughLine(line))
        return {};
    const DisplayLines::Line range = m_lines.At(line);
    const QTextBlock block = m_editor->document()->findBlock(range.start);
    QString text = block.text().mid(range.start - block.position(), range.length);
    if (range.endsParagraph)
        text += QChar(u'\r');
    return cp932text::Encode(text);
}

int RichEditCtrl::GetFirstVisibleLine() const
{
    LayOutKeepingTop([&](LazyTextLayout &layout) {
        layout.LayOutThroughY(m_editor->verticalScrollBar()->value() + kTopRowsHidden);
    });
    return m_lines.LineAt(m_editor->verticalScrollBar()->value() + kTopRowsHidden);
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
    const QScrollBar *bar = m_editor->verticalScrollBar();
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
    FlushLayoutBatch();
    SettleSize();
    return m_editor->verticalScrollBar()->isVisibleTo(m_editor);
}

int RichEditCtrl::GetScrollPos() const
{
    FlushLayoutBatch();
    SettleSize();
    return m_editor->verticalScrollBar()->value();
}

void RichEditCtrl::SetScrollPos(int y)
{
    FlushLayoutBatch();
    SettleSize();
    SetScrollValue(y);
}

int RichEditCtrl::LineFromY(int y) const
{
    LayOutKeepingTop([y](LazyTextLayout &layout) { layout.LayOutThroughY(y); });
    return m_lines.LineAt(y);
}

qreal RichEditCtrl::TextHeight() const
{
    FlushLayoutBatch();
    SettleSize();
    return Layout().documentSize().height();
}

void RichEditCtrl::SetScrollValue(int value)
{
    const QScopedValueRollback guard(m_ownScroll, true);
    m_editor->verticalScrollBar()->setValue(value);
}

void RichEditCtrl::OnScrollValueChanged()
{
    if (!m_ownScroll)
        emit VScroll();
}

} // namespace kivo
