#include "resulttext/RecordRenderer.h"

#include "CharFormatQt.h"
#include "RichOptions.h"
#include "resulttext/ResultMarks.h"
#include "resulttext/ResultText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace kivo {

RecordRenderer::RecordRenderer(RichEditCtrl &edit, const RichOptions &options)
    : m_edit(edit), m_options(options)
{}

void RecordRenderer::Begin(const CharRange &region, bool selection)
{
    m_firstLine = selection ? m_edit.LineFromChar(region.start) : 0;
    m_regionStart = selection ? region.start : 0;
    m_atSentenceEnd = true;
    m_kindFormats = {};
    m_after.reset();
    m_renderedRecords = 0;
    m_renderedRows = 0;
    m_firstRowStart = QTextBlock();
    m_lastRowStart = QTextBlock();
}

int RecordRenderer::Render(const ResultPair &record, const std::string &text,
                           const RecordBreaks &breaks, bool moved, int result)
{
    const int number = m_renderedRecords++;
    const bool rows = m_options.ViewFormat == SentenceLayout::Aligned;
    if (m_atSentenceEnd && rows) {
        QTextBlock block = InsertionBlock();
        if (block.isValid())
            block.setUserState(m_renderedRows);
        if (m_renderedRows == 0)
            m_firstRowStart = block;
        m_lastRowStart = block;
        ++m_renderedRows;
    }
    // The text takes the caret's format with the status's colour and effects (or those of a
    // moved sentence); what follows it (the separator, padding) the original colour without
    // effects. The formats are worked out here rather than set on the caret, which costs more
    // than the insertion itself.
    if (!text.empty()) {
        const RunKind kind = moved ? RunKind::Moved : KindOfStatus(record.status);
        const KindFormats &formats = FormatsOf(kind, record.status);
        QTextCharFormat typed = m_edit.InsertionFormat();
        typed.merge(formats.text);
        typed.clearProperty(QTextFormat::ObjectType);
        const QTextCharFormat marked = Marked(typed, RunMark{result, number, kind});
        const std::string shown = DisplayText(m_options, record.status, text);
        // A run drawn in another form keeps the text it stands for, and the text's first run
        // the line breaks before it: the next comparison reads both.
        QTextCharFormat written = shown == text ? marked : StandingFor(marked, text);
        if (breaks.before > 0)
            written.setProperty(kRunLeadingBreaksProperty, breaks.before);
        m_edit.ReplaceSel(shown, written);
        QTextCharFormat after = marked;
        after.clearProperty(QTextFormat::ObjectIndex);
        after.merge(formats.after);
        m_after = after;
        m_afterKey = CaretKey();
    }
    if (record.sentenceEnd == 1 && rows) {
        QTextCharFormat separator = FormatAfterText();
        separator.clearProperty(QTextFormat::ObjectType);
        separator = Marked(separator, RunMark{result, number, RunKind::Separator});
        std::string_view breaksLeft = RowSeparator(m_options);
        if (breaks.after > 0) {
            // The separator's first break stands for the user's line breaks after the sentence.
            m_edit.ReplaceSel(breaksLeft.substr(0, 1),
                              StandingFor(separator, std::string(std::size_t(breaks.after), '\r')));
            breaksLeft.remove_prefix(1);
        }
        if (!breaksLeft.empty())
            m_edit.ReplaceSel(breaksLeft, separator);
    }
    m_atSentenceEnd = record.sentenceEnd == 1;
    return number;
}

const RecordRenderer::KindFormats &RecordRenderer::FormatsOf(RunKind kind, TextStatus status)
{
    std::optional<KindFormats> &formats = m_kindFormats.at(static_cast<std::size_t>(kind));
    if (!formats) {
        CharFormat format =
            kind == RunKind::Moved ? MovedFormat(m_options) : StatusFormat(m_options, status);
        formats.emplace();
        formats->text = charformat::ToTextCharFormat(format);
        format.crTextColor = m_options.Color[ColorOriginal];
        format.dwEffects = 0;
        formats->after = charformat::ToTextCharFormat(format);
    }
    return *formats;
}

std::pair<int, int> RecordRenderer::CaretKey() const
{
    return {m_edit.GetSel().start, m_edit.Document()->characterCount()};
}

QTextCharFormat RecordRenderer::FormatAfterText() const
{
    // Valid while nothing moved the caret or edited the text since (padding inserted in front
    // of the caret leaves it in the padding's format).
    if (m_after && m_afterKey == CaretKey())
        return *m_after;
    return m_edit.InsertionFormat();
}

void RecordRenderer::ClearRegion(const CharRange &region)
{
    // Emptying the region first costs one deletion instead of re-formatting every character of
    // a text that is about to go. The deletion is one edit block: a cursor moved outside of one
    // measures the paragraph it stands in, and the region may be one paragraph of megabytes.
    const UndoPause pause(*m_edit.Document());
    QTextCursor cursor(m_edit.Document());
    cursor.beginEditBlock();
    cursor.setPosition(region.start);
    cursor.setPosition(region.end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.endEditBlock();
}

int RecordRenderer::LinesAboveRegion() const
{
    if (!m_firstRowStart.isValid() || m_regionStart == m_firstRowStart.position())
        return 0;
    return m_edit.LineFromChar(m_regionStart) - m_edit.LineFromChar(m_firstRowStart.position());
}

QTextBlock RecordRenderer::InsertionBlock() const
{
    return m_edit.Document()->findBlock(m_edit.GetSel().start);
}

} // namespace kivo
