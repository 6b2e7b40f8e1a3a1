#include "RichEditCtrl.h"

#include "CharFormatQt.h"
#include "Cp932Text.h"
#include "LazyTextLayout.h"
#include "RtfStream.h"
#include "TextEditor.h"

#include <QAbstractTextDocumentLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

#include <utility>

namespace kivo {

namespace {

/// The format of the character in front of document position `after` as a cursor there reports
/// it: at the start of a paragraph with text, that of the paragraph's first character.
/// Found without moving a cursor, which would make Qt analyse the whole paragraph (seconds for a
/// paragraph of megabytes).
QTextCharFormat FormatBefore(const QTextDocument &document, int after)
{
    const QTextBlock block = document.findBlock(after);
    const int position = after == block.position() && block.length() > 1 ? after : after - 1;
    const QTextBlock holder = document.findBlock(position);
    for (auto it = holder.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.contains(position))
            return fragment.charFormat();
    }
    return holder.charFormat(); // the paragraph break
}

/// The format a replacement takes: that of the first replaced character, or for an insertion
/// point the one the cursor would type with. Object properties are dropped, so text inserted
/// after a picture does not become one.
QTextCharFormat ReplacementFormat(const QTextCursor &selection)
{
    QTextCharFormat format = selection.hasSelection() ? FormatBefore(*selection.document(),
                                                                     selection.selectionStart() + 1)
                                                      : selection.charFormat();
    format.clearProperty(QTextFormat::ObjectType);
    return format;
}

} // namespace

TextEditor::TextEditor(RichEditCtrl &owner, QWidget *parent) : QTextEdit(parent), m_owner(owner)
{}

TextEditor::~TextEditor()
{
    // The control goes first, while the widget and its document are whole. A control whose
    // destructor is deleting the widget has already let go of it.
    if (m_owner.m_editor != nullptr) {
        m_owner.m_editor = nullptr;
        delete &m_owner;
    }
}

QMimeData *TextEditor::createMimeDataFromSelection() const
{
    return m_owner.MimeDataFromSelection();
}

bool TextEditor::canInsertFromMimeData(const QMimeData *source) const
{
    return source != nullptr && m_owner.CanInsertFromMimeData(*source);
}

void TextEditor::insertFromMimeData(const QMimeData *source)
{
    if (source != nullptr)
        m_owner.InsertFromMimeData(*source);
}

void TextEditor::paintEvent(QPaintEvent *event)
{
    m_owner.OnPaint(event);
}

void TextEditor::focusInEvent(QFocusEvent *event)
{
    m_owner.OnFocusIn(event);
}

void TextEditor::focusOutEvent(QFocusEvent *event)
{
    m_owner.OnFocusOut(event);
}

void TextEditor::keyPressEvent(QKeyEvent *event)
{
    m_owner.OnKeyPress(event);
}

void TextEditor::resizeEvent(QResizeEvent *event)
{
    m_owner.OnResize(event);
}

void TextEditor::inputMethodEvent(QInputMethodEvent *event)
{
    m_owner.OnInputMethod(event);
}

RichEditCtrl::RichEditCtrl(QWidget *parent)
    : m_editor(new TextEditor(*this, parent)), m_richTextStream(&RtfStream::Shared())
{
    auto *layout = new LazyTextLayout(m_editor->document());
    m_editor->document()->setDocumentLayout(layout);
    // Long runs without a break opportunity (URLs, digits) wrap instead of running off the edge.
    m_editor->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_lines.Attach(m_editor->document());
    m_layoutTimer.setSingleShot(true);
    connect(&m_layoutTimer, &QTimer::timeout, this, &RichEditCtrl::OnLayoutTimer);
    connect(layout, &LazyTextLayout::HeightsChanged, this,
            [this] { m_layoutTimer.start(kLayoutPauseMs); });
    connect(m_editor->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &RichEditCtrl::OnScrollValueChanged);
    QTextDocument *document = m_editor->document();
    connect(document, &QTextDocument::contentsChange, this, &RichEditCtrl::TextChanged);
    connect(document, &QTextDocument::modificationChanged, this, &RichEditCtrl::ModifiedChanged);
    connect(layout, &QAbstractTextDocumentLayout::documentSizeChanged, this,
            &RichEditCtrl::TextHeightChanged);
    SetCharFormat(DefaultCharFormat(0x000000), FormatScope::Default);
}

RichEditCtrl::~RichEditCtrl()
{
    if (m_batchDepth > 0)
        m_batch.endEditBlock();
    // Deleting the widget from here: it must not delete this control again.
    delete std::exchange(m_editor, nullptr);
}

QWidget *RichEditCtrl::Widget() const
{
    return m_editor;
}

QWidget *RichEditCtrl::Viewport() const
{
    return m_editor->viewport();
}

QScrollBar &RichEditCtrl::VerticalScrollBar() const
{
    return *m_editor->verticalScrollBar();
}

QTextDocument *RichEditCtrl::Document() const
{
    return m_editor->document();
}

QTextCursor RichEditCtrl::TextCursor() const
{
    return m_editor->textCursor();
}

QRect RichEditCtrl::CaretRect() const
{
    return m_editor->cursorRect();
}

QRect RichEditCtrl::CaretRect(const QTextCursor &cursor) const
{
    return m_editor->cursorRect(cursor);
}

int RichEditCtrl::CharFromPos(QPoint point) const
{
    return m_editor->cursorForPosition(point).position();
}

void RichEditCtrl::Undo()
{
    m_editor->undo();
}

void RichEditCtrl::Cut()
{
    m_editor->cut();
}

void RichEditCtrl::Copy()
{
    m_editor->copy();
}

void RichEditCtrl::SelectAll()
{
    m_editor->selectAll();
}

bool RichEditCtrl::CanPaste() const
{
    return m_editor->canPaste();
}

bool RichEditCtrl::IsReadOnly() const
{
    return m_editor->isReadOnly();
}

QTextCharFormat RichEditCtrl::InsertionFormat() const
{
    return m_editor->currentCharFormat();
}

void RichEditCtrl::SetInsertionFormat(const QTextCharFormat &format)
{
    m_editor->setCurrentCharFormat(format);
}

void RichEditCtrl::ReserveRightMargin(int width)
{
    m_editor->setViewportMargins(0, 0, width, 0);
}

void RichEditCtrl::BeginLayoutBatch()
{
    if (m_batchDepth++ > 0)
        return;
    // The document takes in its changes when its outermost edit block closes.
    DeferEditLayout(true);
    m_batch = QTextCursor(m_editor->document());
    m_batch.beginEditBlock();
}

void RichEditCtrl::EndLayoutBatch()
{
    if (m_batchDepth == 0 || --m_batchDepth > 0)
        return;
    m_batch.endEditBlock();
    m_batch = QTextCursor();
    DeferEditLayout(false);
}

void RichEditCtrl::DeferEditLayout(bool defer)
{
    // What is measured, painted or asked for is laid out then; the widget hears of the new size
    // a moment later, or when asked.
    Layout().DeferEdits(defer);
    if (defer)
        return;
    // A scroll bar that is to appear or go does so now: the text then wraps at another width.
    if (ScrollBarDue() != m_editor->verticalScrollBar()->isVisibleTo(m_editor))
        SettleSize();
}

bool RichEditCtrl::ScrollBarDue() const
{
    return Layout().documentSize().height() > m_editor->viewport()->height();
}

void RichEditCtrl::FlushLayoutBatch() const
{
    if (m_batchDepth == 0)
        return;
    m_batch.endEditBlock();
    m_batch.beginEditBlock();
}

void RichEditCtrl::ReplaceSel(std::string_view cp932)
{
    ReplaceSel(cp932, ReplacementFormat(m_editor->textCursor()));
}

void RichEditCtrl::ReplaceSel(std::string_view cp932, const QTextCharFormat &format)
{
    const QString text = cp932text::Decode(cp932);
    QTextCursor cursor = m_editor->textCursor();
    // Not undoable. The history goes too: its steps would refer to positions this moved.
    m_editor->document()->setUndoRedoEnabled(false);
    cursor.insertText(text, format);
    m_editor->document()->setUndoRedoEnabled(true);
    // The widget's own cursor stood at the insertion point and has moved past the text with it.
    if (!m_selectionHidden) {
        FlushLayoutBatch();
        const QScopedValueRollback guard(m_ownScroll, true);
        m_editor->ensureCursorVisible();
    }
}

void RichEditCtrl::SetSel(int start, int end)
{
    const int length = GetTextLength();
    QTextCursor cursor = m_editor->textCursor();
    // Inside an edit block a cursor that moves does not work out its x on the screen, which
    // means analysing its whole paragraph (seconds for a paragraph of megabytes); it is worked
    // out when the caret next moves up or down.
    cursor.beginEditBlock();
    if (start < 0) {
        cursor.clearSelection();
    } else {
        cursor.setPosition(std::clamp(start, 0, length));
        cursor.setPosition(end < 0 ? length : std::clamp(end, 0, length), QTextCursor::KeepAnchor);
    }
    cursor.endEditBlock();
    FlushLayoutBatch();
    const QScopedValueRollback guard(m_ownScroll, true);
    const int horizontal = m_editor->horizontalScrollBar()->value();
    const int vertical = m_editor->verticalScrollBar()->value();
    m_editor->setTextCursor(cursor); // also scrolls the caret into view
    if (m_selectionHidden) {
        m_editor->horizontalScrollBar()->setValue(horizontal);
        m_editor->verticalScrollBar()->setValue(vertical);
    }
}

CharRange RichEditCtrl::GetSel() const
{
    const QTextCursor cursor = m_editor->textCursor();
    return CharRange{cursor.selectionStart(), cursor.selectionEnd()};
}

std::string RichEditCtrl::GetSelText() const
{
    return cp932text::Encode(m_editor->textCursor().selectedText());
}

int RichEditCtrl::GetTextLength() const
{
    return m_editor->document()->characterCount() -
           1; // the document's closing paragraph break is no text
}

std::string RichEditCtrl::GetText() const
{
    return cp932text::Encode(m_editor->document()->toRawText());
}

void RichEditCtrl::SetCharFormat(const CharFormat &format, FormatScope scope)
{
    switch (scope) {
    case FormatScope::Selection:
        m_editor->mergeCurrentCharFormat(charformat::ToTextCharFormat(format));
        return;
    case FormatScope::Default: {
        // Text without a format of its own draws with the document's font and the Text colour.
        charformat::Merge(m_defaultFormat, format);
        m_defaultFormat.cbSize = CharFormat::kSize;
        QFont font = charformat::ToFont(m_defaultFormat);
        // Japanese and Latin text lays out without OpenType shaping, which took most of the
        // time of laying out a long text; scripts that need shaping (Arabic, Indic) keep it.
        font.setStyleStrategy(QFont::PreferNoShaping);
        m_editor->document()->setDefaultFont(font);
        QPalette colours = m_editor->palette();
        colours.setColor(QPalette::Text, charformat::ToQColor(m_defaultFormat.crTextColor));
        m_editor->setPalette(colours);
        return;
    }
    }
}

CharFormat RichEditCtrl::GetCharFormat(FormatScope scope) const
{
    if (scope == FormatScope::Default)
        return m_defaultFormat;
    const QTextCursor cursor = m_editor->textCursor();
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    std::optional<CharFormat> first;
    std::uint32_t shared = ~0u;
    for (QTextBlock block = m_editor->document()->findBlock(start);
         block.isValid() && block.position() < end; block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() >= end)
                break;
            if (fragment.position() + fragment.length() <= start)
                continue;
            const CharFormat format =
                charformat::FromTextCharFormat(fragment.charFormat(), m_defaultFormat);
            if (!first)
                first = format;
            else
                shared &= charformat::SameFields(*first, format);
        }
    }
    if (!first)
        return charformat::FromTextCharFormat(cursor.charFormat(), m_defaultFormat);
    first->dwMask &= shared;
    return *first;
}

void RichEditCtrl::HideSelection(bool hide)
{
    m_selectionHidden = hide;
    m_editor->viewport()->update();
}

void RichEditCtrl::SetBackgroundColor(ColorRef color)
{
    QPalette colours = m_editor->palette();
    colours.setColor(QPalette::Base, charformat::ToQColor(color));
    m_editor->setPalette(colours);
}

void RichEditCtrl::SetModify(bool modified)
{
    m_editor->document()->setModified(modified);
}

bool RichEditCtrl::GetModify() const
{
    return m_editor->document()->isModified();
}

bool RichEditCtrl::CanUndo() const
{
    return m_editor->document()->isUndoAvailable();
}

void RichEditCtrl::OnKeyPress(QKeyEvent *event)
{
    // Undo and redo bring back what was there; every other key that edits is the user's input.
    const bool history = event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo);
    const QScopedValueRollback editing(m_userEditing, !history);
    if (!history)
        FilterInsertionFormat();
    m_editor->BaseKeyPress(event);
}

void RichEditCtrl::OnInputMethod(QInputMethodEvent *event)
{
    const QScopedValueRollback editing(m_userEditing, true);
    FilterInsertionFormat();
    m_editor->BaseInputMethod(event);
}

void RichEditCtrl::FilterInsertionFormat()
{
    // Over a selection the input takes the selection's format, and setting one would edit it.
    const QTextCursor cursor = m_editor->textCursor();
    if (!m_insertionFilter || cursor.hasSelection() || m_editor->isReadOnly())
        return;
    QTextCharFormat format = cursor.charFormat();
    if (m_insertionFilter(format))
        m_editor->setCurrentCharFormat(format);
}

void RichEditCtrl::OnFocusIn(QFocusEvent *event)
{
    m_editor->BaseFocusIn(event);
    m_editor->viewport()->update();
}

void RichEditCtrl::OnFocusOut(QFocusEvent *event)
{
    m_editor->BaseFocusOut(event);
    m_editor->viewport()->update();
}

void RichEditCtrl::OnPaint(QPaintEvent *event)
{
    FlushLayoutBatch();
    // The window the user works in is the one with the focus, or, while a dialog of its own
    // such as Find has it, the one the focus returns to: a match found there must show.
    if (!m_selectionHidden &&
        (m_editor->hasFocus() || m_editor->window()->focusWidget() == m_editor)) {
        m_editor->BasePaint(event);
        return;
    }
    // The widget's own painting always draws the caret and the selection in the active colours;
    // draw the text, and the selection in the inactive colours, so that the other window's half
    // of a pair the user went to shows too.
    QPainter painter(m_editor->viewport());
    const QPoint offset(m_editor->horizontalScrollBar()->value(),
                        m_editor->verticalScrollBar()->value());
    const QRect clip = event->rect().translated(offset);
    painter.translate(-offset);
    painter.setClipRect(clip);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = m_editor->palette();
    context.clip = clip;
    context.cursorPosition = -1;
    if (!m_selectionHidden && m_editor->textCursor().hasSelection()) {
        QAbstractTextDocumentLayout::Selection selection;
        selection.cursor = m_editor->textCursor();
        selection.format.setBackground(
            m_editor->palette().brush(QPalette::Inactive, QPalette::Highlight));
        selection.format.setForeground(
            m_editor->palette().brush(QPalette::Inactive, QPalette::HighlightedText));
        context.selections.append(selection);
    }
    m_editor->document()->documentLayout()->draw(&painter, context);
}

} // namespace kivo

// --- Searching and replacing --------------------------------------------------------------------

namespace kivo {

CharRange RichEditCtrl::FindText(const QString &what, int from, const FindOptions &options) const
{
    // The document's own text, so that every character is searched as it stands, also those that
    // code page 932 cannot hold.
    const QString text = m_editor->document()->toRawText();
    const qsizetype match = FindInText(text, what, from, options);
    if (match < 0)
        return {-1, -1};
    return {static_cast<std::int32_t>(match), static_cast<std::int32_t>(match + what.size())};
}

void RichEditCtrl::ReplaceSelText(const QString &text)
{
    QTextCursor cursor = m_editor->textCursor();
    cursor.insertText(text, ReplacementFormat(cursor));
    m_editor->setTextCursor(cursor);
}

int RichEditCtrl::ReplaceAll(const QString &what, const QString &with, const FindOptions &options)
{
    const QString text = m_editor->document()->toRawText();
    FindOptions down = options;
    down.down = true;
    std::vector<qsizetype> matches;
    for (qsizetype pos = FindInText(text, what, 0, down); pos >= 0;
         pos = FindInText(text, what, pos + what.size(), down))
        matches.push_back(pos);
    if (matches.empty())
        return 0;
    // From the last match back, so that the positions found stay valid; one edit block, so that
    // one undo brings the text back.
    QTextCursor cursor(m_editor->document());
    QTextCursor after(m_editor->document());
    after.setPosition(static_cast<int>(matches.back() + what.size()));
    cursor.beginEditBlock();
    for (auto it = matches.rbegin(); it != matches.rend(); ++it) {
        cursor.setPosition(static_cast<int>(*it));
        cursor.setPosition(static_cast<int>(*it + what.size()), QTextCursor::KeepAnchor);
        cursor.insertText(with, ReplacementFormat(cursor));
    }
    cursor.endEditBlock();
    QTextCursor caret = m_editor->textCursor();
    caret.setPosition(after.position());
    m_editor->setTextCursor(caret);
    return static_cast<int>(matches.size());
}

} // namespace kivo
