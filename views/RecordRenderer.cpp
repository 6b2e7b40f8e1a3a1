#include "views/RecordRenderer.h"

#include "CharFormatQt.h"
#include "RichOptions.h"
#include "views/ResultMarks.h"
#include "views/ResultText.h"

#include <QTextBlock>

namespace kivo {

RecordRenderer::RecordRenderer(RichEditCtrl &edit, const RichOptions &options)
    : m_edit(edit), m_options(options)
{}

void RecordRenderer::Begin(const CharRange &region, bool selection)
{
    m_atSentenceEnd = true;
    m_after.reset();
    m_rowCount = 0;
    m_renderedRecords = 0;
    m_renderedRows = 0;
    if (selection) {
        m_firstLine = m_edit.LineFromChar(region.start);
        m_trailer = m_firstLine + (m_edit.GetLineCount() - 1 - m_edit.LineFromChar(region.end));
    } else {
        m_firstLine = 0;
        m_trailer = 0;
    }
}

int RecordRenderer::Render(const ResultPair &record, const std::string &text,
                           const RecordBreaks &breaks, RowStarts &rowStarts, bool moved, int result)
{
    const int number = m_renderedRecords++;
    const bool rows = m_options.ViewFormat == SentenceLayout::Aligned;
    if (m_atSentenceEnd && rows) {
        const int start = m_edit.GetSel().start;
        if (m_rowCount < static_cast<int>(kRowStartCount))
            rowStarts[static_cast<std::size_t>(m_rowCount++)] = start;
        QTextBlock block = m_edit.Document()->findBlock(start);
        if (block.isValid())
            block.setUserState(m_renderedRows);
        ++m_renderedRows;
    }
    // The text takes the caret's format with the status's colour and effects (or those of a
    // moved sentence); what follows it (the separator, padding) the original colour without
    // effects. The formats are worked out here rather than set on the caret, which costs more
    // than the insertion itself.
    if (!text.empty()) {
        CharFormat format = moved ? MovedFormat(m_options) : StatusFormat(m_options, record.status);
        QTextCharFormat typed = m_edit.InsertionFormat();
        typed.merge(charformat::ToTextCharFormat(format));
        typed.clearProperty(QTextFormat::ObjectType);
        const RunKind kind = moved ? RunKind::Moved : KindOfStatus(record.status);
        const QTextCharFormat marked = Marked(typed, RunMark{result, number, kind});
        const std::string shown = DisplayText(m_options, record.status, text);
        // A run drawn in another form keeps the text it stands for, and the text's first run
        // the line breaks before it: the next comparison reads both.
        QTextCharFormat written = shown == text ? marked : StandingFor(marked, text);
        if (breaks.before > 0)
            written.setProperty(kRunLeadingBreaksProperty, breaks.before);
        m_edit.ReplaceSel(shown, written);
        format.crTextColor = m_options.Color[ColorOriginal];
        format.dwEffects = 0;
        QTextCharFormat after = marked;
        after.clearProperty(QTextFormat::ObjectIndex);
        after.merge(charformat::ToTextCharFormat(format));
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

int RecordRenderer::LineCount() const
{
    return m_edit.GetLineCount() - m_trailer;
}

int RecordRenderer::LineOfChar(int position) const
{
    return m_edit.LineFromChar(position) - m_firstLine;
}

bool RecordRenderer::LinesAreBlank(int from, int to) const
{
    // Only blank lines Kivo inserted count: a blank line of the user's text, or a separator that
    // stands for line breaks of it, is never removed to level the rows, so that the next
    // comparison still reads them.
    const QTextDocument &document = *m_edit.Document();
    for (int line = from; line < to; ++line) {
        const int position = m_edit.LineIndex(ToControlLine(line));
        const QTextBlock block = document.findBlock(position);
        if (position < 0 || !block.isValid() || block.position() != position ||
            block.length() != 1 || !IsInsertedBreak(BreakFormat(block)) ||
            StandsFor(BreakFormat(block)))
            return false;
    }
    return true;
}

void RecordRenderer::InsertBlankLines(int line, int n, int result)
{
    const int position = m_edit.LineIndex(ToControlLine(line));
    if (position < 0 || n < 1) {
        qWarning("kivo: no line %d to insert %d blank lines at", line, n);
        return;
    }
    InsertPadding(*m_edit.Document(), position, n, result);
}

void RecordRenderer::DeleteAtLine(int line, int n)
{
    const int position = m_edit.LineIndex(ToControlLine(line));
    if (position < 0 || n < 1) {
        qWarning("kivo: no line %d to delete %d characters at", line, n);
        return;
    }
    RemoveLines(*m_edit.Document(), position, n);
}

void RecordRenderer::CaretToLastLine()
{
    m_after.reset();
    const int position = m_edit.LineIndex(ToControlLine(LineCount() - 1));
    if (position >= 0)
        m_edit.SetSel(position, position);
}

} // namespace kivo
