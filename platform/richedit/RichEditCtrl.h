#pragma once

#include "Cp932Codec.h"
#include "DisplayLines.h"
#include "RichOptions.h"
#include "TextSearch.h"

#include <QObject>
#include <QRect>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QFocusEvent;
class QInputMethodEvent;
class QKeyEvent;
class QMimeData;
class QPaintEvent;
class QResizeEvent;
class QScrollBar;
class QTextDocument;
class QTextEdit;
class QWidget;

namespace kivo {

class LazyTextLayout;
class RichTextStream;
class TextEditor;

/// What a text window needs per byte of text it takes in: the text itself (UTF-16), its formats,
/// the layout of what is shown and the copies made while it goes in (measured: a 30 MB Japanese
/// text takes 25 bytes of address space a byte at the peak of opening), with room to spare.
/// Checked against the memory that can be had (CanAllocate) before a large text goes in, because
/// the window's library ends the process when an allocation fails.
inline constexpr std::uintmax_t kWindowBytesPerTextByte = 32;

/// Where SetCharFormat applies: the control's default format, or the selection.
enum class FormatScope : std::uint32_t { Default = 0, Selection = 1 };

/// Stream formats of StreamIn and StreamOut.
enum class StreamFormat : std::uint32_t { Text = 1, RichText = 2 };

/// Scrolling commands of Scroll.
enum class ScrollCommand : std::int32_t { LineUp = 0, LineDown = 1, PageUp = 2, PageDown = 3 };

/// A character range; start <= end once read back from the control.
struct CharRange {
    std::int32_t start = 0;
    std::int32_t end = 0;
    friend bool operator==(const CharRange &, const CharRange &) = default;
};

/// What a paste inserts: the kind of data, and for rich text the MIME type it is read from.
enum class PasteFormat { Text, RichText, Picture };
struct PasteChoice {
    PasteFormat format = PasteFormat::Text;
    QString mimeType; ///< for RichText
};

/// The rich-text editing control of a text view.
///
/// Text goes in and out as code page 932 bytes with CR as the paragraph separator, through the
/// program's one codec, so that nothing is lost, not even characters the code page cannot hold.
/// Character positions are those of the QTextDocument: a paragraph break is one character, and a
/// character outside the Basic Multilingual Plane counts as two.
///
/// Line numbers are display lines, word-wrapped lines included, and cost O(log n) to query
/// (DisplayLines). The document is laid out lazily (LazyTextLayout): what is painted at once,
/// the rest in short steps while the program is idle, the part the user sees first. A line
/// query first lays out the paragraphs it counts over (all of them for GetLineCount) and
/// settles the scroll bar, whose appearance narrows the text. Whenever paragraphs above the
/// window are laid out and change height, the window is scrolled with them, so that the text
/// the user sees stays where it is.
///
/// Scrolling: ReplaceSel and SetSel bring the caret into view unless the selection is hidden;
/// VScroll reports scrolling that the control does itself (typing, caret keys, the wheel, the
/// scroll bar), never scrolling done by a call of this class.
///
/// The control holds its editing widget (Widget) and is destroyed with it; the program works on
/// the text through the calls below and the text's document (Document), never through the
/// widget's own editing interface, so that the caret, scrolling and layout stay in one hand.
class RichEditCtrl : public QObject {
    Q_OBJECT
public:
    /// Picks the format of a paste or drop from the offered data; nullopt refuses it.
    using PasteChooser = std::function<std::optional<PasteChoice>(const QMimeData &data)>;

    /// Makes the control and its widget, a child of parent.
    explicit RichEditCtrl(QWidget *parent = nullptr);
    /// Destroys the widget too, unless the widget is what is being destroyed.
    ~RichEditCtrl() override;
    RichEditCtrl(const RichEditCtrl &) = delete;
    RichEditCtrl &operator=(const RichEditCtrl &) = delete;

    // The widget and the document ------------------------------------------------------------

    /// The widget that shows the text and takes the user's keys, for placing it in a window,
    /// giving it the focus and filtering its key events.
    QWidget *Widget() const;
    /// The part of the widget the text is drawn in: mouse, context-menu and drop events arrive
    /// there.
    QWidget *Viewport() const;
    /// The vertical scroll bar the user scrolls with: its range, page and place, and moving it
    /// scrolls as the user does.
    QScrollBar &VerticalScrollBar() const;
    /// The text: its paragraphs, characters, formats and layout.
    QTextDocument *Document() const;
    /// The caret and selection as a cursor into Document().
    QTextCursor TextCursor() const;
    /// The caret's rectangle, or that of a cursor's position, in viewport coordinates.
    QRect CaretRect() const;
    QRect CaretRect(const QTextCursor &cursor) const;
    /// The character position nearest to a point of the viewport.
    int CharFromPos(QPoint point) const;

    // Edit commands ------------------------------------------------------------------------

    void Undo();
    void Cut();
    void Copy();
    void SelectAll();
    bool CanPaste() const;
    bool IsReadOnly() const;

    // Text and selection -----------------------------------------------------------------------

    /// Replaces the selection with code page 932 text (CR, LF or CR LF make one paragraph break)
    /// and leaves the caret after it. The text takes the format set for the insertion point, or
    /// that of the first selected character. It cannot be undone: the undo history is cleared.
    /// Works while read-only.
    void ReplaceSel(std::string_view cp932);
    /// Replaces the selection as ReplaceSel does, the text taking the given format.
    void ReplaceSel(std::string_view cp932, const QTextCharFormat &format);
    /// Selects from start to end, the caret at end. end < 0 means the end of the text; start < 0
    /// removes the selection and leaves the caret where it is. Positions are clamped to the text.
    void SetSel(int start, int end);
    CharRange GetSel() const;
    /// The selected text in code page 932, CR between paragraphs.
    std::string GetSelText() const;
    /// Number of characters.
    int GetTextLength() const;
    /// The whole text in code page 932, CR between paragraphs.
    std::string GetText() const;

    // Searching and replacing as the user does -----------------------------------------------

    /// Where what occurs (see FindInText), searching the control's own text from position from;
    /// {-1, -1} when it does not occur there.
    CharRange FindText(const QString &what, int from, const FindOptions &options) const;
    /// Replaces the selection with text as typing would: undoable, in the format of the first
    /// replaced character; the caret goes after the text.
    void ReplaceSelText(const QString &text);
    /// Replaces every occurrence of what in the whole text with with, as one undoable step, and
    /// puts the caret after the last replacement. Returns the number of replacements.
    int ReplaceAll(const QString &what, const QString &with, const FindOptions &options);

    // Character formats --------------------------------------------------------------------

    /// Changes the fields that format.dwMask names (colour, effects, face, size, character set)
    /// of the selection, or of the default format. At an empty selection it sets the format of
    /// the text inserted next.
    void SetCharFormat(const CharFormat &format, FormatScope scope);
    /// The default format, or the format of the selection: its first character's, with dwMask
    /// naming the fields every selected character shares. Paragraph breaks are not looked at; an
    /// empty selection gives the format of the insertion point.
    CharFormat GetCharFormat(FormatScope scope) const;
    /// The format the text typed or inserted next at the caret takes.
    QTextCharFormat InsertionFormat() const;
    /// Sets that format; neither moves the caret nor scrolls.
    void SetInsertionFormat(const QTextCharFormat &format);

    // Display lines ------------------------------------------------------------------------

    /// Line of a character position (clamped to the text).
    int LineFromChar(int position) const;
    /// First character of a line; line -1 is the caret's line. -1 for a line that does not exist.
    int LineIndex(int line = -1) const;
    /// Number of display lines, at least 1.
    int GetLineCount() const;
    /// A line's text in code page 932, with a trailing CR when a paragraph break ends it. Empty
    /// for the empty last line and for lines that do not exist.
    std::string GetLine(int line) const;

    // Scrolling ----------------------------------------------------------------------------

    /// The line at the top of the window (a line counts from its second pixel row on).
    int GetFirstVisibleLine() const;
    /// Scrolls by lines (negative: up), stopping at the ends of the text.
    void LineScroll(int lines);
    /// Scrolls by a line or a page; returns the lines moved (negative: up).
    int Scroll(ScrollCommand command);
    /// Whether the vertical scroll bar is shown.
    bool HasVerticalScrollBar() const;
    /// The vertical scroll position: the document y, in pixels, at the top of the window.
    int GetScrollPos() const;
    /// Scrolls to a document y (clamped to the scroll range) without reporting VScroll.
    void SetScrollPos(int y);
    /// The line at document y: the last line whose top is at or above it; 0 above the first.
    int LineFromY(int y) const;
    /// Height of the whole text, in pixels; paragraphs not laid out yet count at their estimated
    /// height, as the scroll bar counts them.
    qreal TextHeight() const;
    /// The paragraph at document y (the last one whose top is at or above it), and the document
    /// y of a paragraph's top, as the scroll bar counts them, without laying anything out.
    int BlockAt(qreal y) const;
    qreal BlockTop(int blockNumber) const;
    /// Lays out the whole text now, and whether every paragraph is laid out at the current
    /// width: for tests and benchmarks, which measure what the lazy layout left to do.
    void FinishLayoutForTests();
    bool IsLayoutCompleteForTests() const;
    /// Keeps a strip this many pixels wide free between the text and the vertical scroll bar,
    /// for a widget of its own there; the text wraps that much narrower.
    void ReserveRightMargin(int width);

    // Modes --------------------------------------------------------------------------------

    /// Read-only refuses typing, pasting and dropping; the calls of this class still work.
    /// While read-only the text is the program's to work on (a comparison replaces it): the
    /// idle layout waits until the control is editable again.
    void SetReadOnly(bool readOnly);
    /// Holds back the layout of the rest of the text in idle steps while other idle work lays
    /// out what it needs (the levelling of a result's rows), so that one turn of the event loop
    /// does not carry both; released, it goes on.
    void HoldIdleLayout(bool hold);
    /// Hides or shows the selection and the caret. While hidden, ReplaceSel and SetSel do not
    /// scroll the caret into view.
    void HideSelection(bool hide);
    bool IsSelectionHidden() const { return m_selectionHidden; }
    /// Background colour, 0x00BBGGRR.
    void SetBackgroundColor(ColorRef color);
    void SetModify(bool modified);
    bool GetModify() const;
    bool CanUndo() const;
    /// Whether the change being made comes from the user's typing, input method, paste or drop,
    /// rather than from undo, redo or a call of the program.
    bool IsUserEditing() const { return m_userEditing; }
    /// Called before the user's typing, input method or paste goes in at the caret, with the
    /// format it would take there; returns true when it changed the format, which the input
    /// then takes instead (so that no format change follows the edit as a step of its own).
    using InsertionFormatFilter = std::function<bool(QTextCharFormat &)>;
    void SetInsertionFormatFilter(InsertionFormatFilter filter)
    {
        m_insertionFilter = std::move(filter);
    }

    // Batched layout -----------------------------------------------------------------------

    /// Starts a batch of edits (batches nest): the text inserted until the matching
    /// EndLayoutBatch is taken in together, once, instead of after every insertion, and is not
    /// laid out then: its paragraphs stand at estimated heights until something needs them (a
    /// line or scroll query, showing the caret, painting, a caller measuring them, the idle
    /// layout), so every query stays exact.
    void BeginLayoutBatch();
    void EndLayoutBatch();
    /// While deferred, the edits made (each taken in as it is made) are not laid out at once and
    /// the widget hears of the text's new size a moment later, unless its scroll bar is to
    /// appear or go: for runs of edits that measure what they need, such as levelling rows.
    void DeferEditLayout(bool defer);
    /// Has the document take in the edits of an open batch, so that the paragraphs they made
    /// can be measured; the batch stays open.
    void FlushLayoutBatch() const;

    // Streams and the clipboard ------------------------------------------------------------

    /// Replaces the whole text with a stream. Plain text is the bytes of a text file, read as
    /// cp932text::DecodeFile reads them (UTF-8, UTF-16 with a byte-order mark, or code page 932;
    /// CR, LF and CR LF are paragraph breaks), in the default format. Rich text needs a
    /// RichTextStream (the control starts with the program's RTF reader and writer). When the
    /// bytes cannot be read, or without a stream, nothing changes and false is returned. The
    /// caret goes to the start; not undoable. error, when given, receives why the bytes were
    /// refused: its reason (DamagedRichText for rich text), the byte offset where plain text
    /// failed, and a clause that completes "FILE is ..." (UTF-8).
    bool StreamIn(StreamFormat format, std::string_view bytes, Cp932Codec::Error *error = nullptr);
    /// Replaces the whole text with what reader reads from bytes, as StreamIn does rich text;
    /// false, changing nothing, when reader refuses them.
    bool StreamIn(const RichTextStream &reader, std::string_view bytes);
    /// The whole text as a stream: plain text as GetText, rich text through the RichTextStream
    /// (nullopt without one).
    std::optional<std::string> StreamOut(StreamFormat format) const;
    /// The reader and writer of rich text, RtfStream::Shared() at first; not owned, may be null.
    void SetRichTextStream(const RichTextStream *stream) { m_richTextStream = stream; }
    const RichTextStream *GetRichTextStream() const { return m_richTextStream; }

    /// Sets who chooses the format of pastes and drops. Without a chooser the control pastes
    /// plain text and refuses everything else.
    void SetPasteChooser(PasteChooser chooser) { m_pasteChooser = std::move(chooser); }
    /// Sets what tells the user that a paste or drop was refused because the window could not
    /// hold its text in the memory that can be had.
    void SetShortOfMemoryHandler(std::function<void()> handler)
    {
        m_shortOfMemory = std::move(handler);
    }
    /// Pastes the clipboard in the chosen format; false when read-only or refused.
    bool Paste();

    /// Runs change, which makes the text wrap anew (another width, font or format), keeping
    /// the paragraph at the top of the window there, scrolled into by the same share of its
    /// height (within a line of the new wrapping). Not reported as scrolling.
    void KeepTopThrough(const std::function<void()> &change);

signals:
    /// The control scrolled vertically by itself.
    void VScroll();
    /// The text changed: from position `from`, `removed` characters gave way to `added` ones.
    void TextChanged(int from, int removed, int added);
    /// The text became modified, or unmodified.
    void ModifiedChanged(bool modified);
    /// The height of the whole text changed (an edit, another wrapping, more of it laid out).
    void TextHeightChanged();

private:
    friend class TextEditor;

    /// Copies, cuts and drags carry the selected text with every character kept (Qt's own plain
    /// text turns no-break spaces into spaces), rich text through the RichTextStream as text/rtf
    /// and application/rtf, and, for other programs, HTML.
    QMimeData *MimeDataFromSelection() const;
    bool CanInsertFromMimeData(const QMimeData &source) const;
    void InsertFromMimeData(const QMimeData &source);
    /// The caret shows only in the window that has the focus, or that gets it back when a
    /// dialog over it (Find, Replace) closes, as the user works in one window at a time; there
    /// the selection has the active colours, in the other window the inactive ones.
    void OnPaint(QPaintEvent *event);
    void OnFocusIn(QFocusEvent *event);
    void OnFocusOut(QFocusEvent *event);
    void OnKeyPress(QKeyEvent *event);
    /// Another width wraps every paragraph anew: the paragraph at the top stays there.
    void OnResize(QResizeEvent *event);
    void OnInputMethod(QInputMethodEvent *event);

    /// The idle layout starts this long after the last change of the text, so that it does not
    /// compete with a run of edits (typing, a comparison writing its result).
    static constexpr int kLayoutPauseMs = 50;
    /// Rounds of finishing the layout and settling the scroll bar. The bar appearing narrows the
    /// text and starts a new layout; two rounds settle that, the rest is a margin.
    static constexpr int kLayoutRounds = 4;

    std::optional<PasteChoice> ChoosePaste(const QMimeData &mime) const;
    bool InsertMimeData(const QMimeData &mime, QTextCursor &cursor);
    /// Whether a text of textBytes can go into the window; tells the handler when not.
    bool FitsInMemory(std::uintmax_t textBytes) const;
    /// Puts the caret at the start and scrolls there, after a stream replaced the text.
    void ShowFromStart();
    /// Runs work, which lays out paragraphs, until the scroll bar has settled (its appearance
    /// narrows the text, and everything wraps anew) or for at most `rounds` runs, keeping the
    /// text at the top of the window where it is.
    template <typename Work> void LayOutKeepingTop(Work work, int rounds = kLayoutRounds) const;
    /// Tells the widget the size of the document, when that changed.
    void SettleSize() const;
    /// Whether the text is now higher than the window, so that its scroll bar is due.
    bool ScrollBarDue() const;
    /// Lays out the paragraphs up to the one holding display line `line`; false when there is
    /// no such line.
    bool LayOutThroughLine(int line) const;

    /// The document's layout.
    LazyTextLayout &Layout() const;
    /// Lays out some paragraphs while the program is idle, those on screen first.
    void OnLayoutTimer();
    /// Sets the vertical scroll position without reporting VScroll.
    void SetScrollValue(int value);
    void OnScrollValueChanged();

    /// The editing widget; null once it is being destroyed.
    TextEditor *m_editor;
    mutable DisplayLines m_lines;
    mutable QTextCursor m_batch; ///< holds the document's edit block while a batch is open
    int m_batchDepth = 0;
    QTimer m_layoutTimer; ///< lays out the rest of the text in idle steps
    bool m_idleLayoutHeld = false;
    CharFormat m_defaultFormat;
    bool m_selectionHidden = false;
    mutable bool m_ownScroll = false; ///< set while a call of this class scrolls
    bool m_userEditing = false;       ///< set while the user's own input edits the text
    InsertionFormatFilter m_insertionFilter;
    /// Lets the filter see the format the user's input is about to take at the caret.
    void FilterInsertionFormat();
    const RichTextStream *m_richTextStream;
    PasteChooser m_pasteChooser;
    std::function<void()> m_shortOfMemory;
    int m_pictureCount = 0; ///< names pasted pictures uniquely
};

} // namespace kivo
