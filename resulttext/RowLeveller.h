#pragma once

#include "Side.h"

#include <QTextBlock>

#include <chrono>
#include <vector>

class QTextDocument;

namespace kivo {

class RecordRenderer;
class RichEditCtrl;

/// Levels the rows of a result shown in two documents again, after the windows wrap their lines
/// anew (another width, another font): row by row, the shorter row gets blank padding lines at
/// its end and the longer one loses padding it no longer needs, until every row starts on the
/// same line in both. Only the padding Kivo inserted is ever removed, so the user's text,
/// edited rows included, stays as it is. A row missing on one side (its first line was
/// deleted) counts as part of the row above it. The last row is levelled with padding at the
/// end of the text, so that both texts end on the same line.
///
/// The work is done in bounded steps. Line counts are the documents' laid-out lines
/// (QTextBlock::lineCount); each paragraph is laid out as the levelling reaches it, so a step's
/// time includes the layout of its rows. The blank lines inserted in between count one line
/// each. A row whose paragraphs are the same on both sides (text, runs and formats), without
/// padding, takes the same lines on both wherever the documents wrap alike: it is passed over
/// without being laid out, which is most rows of most comparisons.
class RowLeveller {
public:
    /// Levels the rows of the result in two controls, those on screen first.
    RowLeveller(RichEditCtrl &left, RichEditCtrl &right, int result);
    /// tops: the paragraphs at the top of the windows. The rows from there to the end are
    /// levelled first, then those above; without them, from the first row on. ends: the
    /// paragraphs the rows end in front of (where a result is being written); without them the
    /// last row runs to the end of the text.
    /// linesAbove: lines at the top of the first row levelled that the row does not count (a
    /// compared selection that begins below the first line of its paragraph).
    RowLeveller(QTextDocument &left, QTextDocument &right, int result,
                const PerSide<QTextBlock> &tops = {}, const PerSide<QTextBlock> &ends = {},
                const PerSide<int> &linesAbove = {});

    /// Levels the one row that starts at the paragraphs `starts` and ends in front of `ends`,
    /// as a result is written: the row just closed, whose paragraphs are laid out now.
    static void LevelRow(QTextDocument &left, QTextDocument &right, int result,
                         const PerSide<QTextBlock> &starts, const PerSide<QTextBlock> &ends,
                         const PerSide<int> &linesAbove = {});

    /// Levels rows for about the time budget, the layout of the edits included; true while
    /// rows remain.
    bool Step(std::chrono::microseconds budget);
    /// Levels all remaining rows (tests, benchmarks).
    void RunToEnd();
    bool Done() const;

    /// Rows whose padding was changed so far.
    int ChangedRows() const { return m_changedRows; }
    /// Whether the documents are being changed by the leveller at this moment (its own edits
    /// are not the user's).
    bool Editing() const { return m_editing; }

private:
    /// One side's part of a row: its lines other than padding, its padding paragraphs, and
    /// where the next row starts.
    struct Segment {
        int lines = 0;
        std::vector<QTextBlock> padding;
        QTextBlock next;
        int nextRow = -1;
    };

    /// Extends a segment over the paragraphs from `from` up to the next row start or to `end`
    /// (then the segment has no next row).
    static void Extend(Segment &segment, QTextBlock from, const QTextBlock &end);
    /// Gives the segment exactly `wanted` padding lines of result; true when it changed. A
    /// segment without a next row is padded in front of `end`, or at the end of the text.
    static bool Pad(QTextDocument &document, Segment &segment, int wanted, const QTextBlock &end,
                    int result);
    /// Levels the row at m_at on both sides; false once the last row is level.
    bool LevelOneRow();
    /// After a row: on with the rows above the first one once the end of the text is reached;
    /// false once every row is level.
    bool AfterRow();
    /// Moves the side that is behind on to the row the other stands at.
    void SyncSides();

    PerSide<QTextDocument *> m_documents;
    int m_result;
    /// The start of the row each side levels next, and where the rows end.
    PerSide<QTextBlock> m_at;
    PerSide<QTextBlock> m_ends;
    /// Lines the first row levelled leaves out; zero once it is level.
    PerSide<int> m_linesAbove;
    /// The row levelling began with; whether there are rows above it, and whether levelling
    /// went on with them after the end of the text.
    int m_firstRow = 0;
    bool m_rowsAbove = false;
    bool m_wrapped = false;
    int m_changedRows = 0;
    /// Rows a step may edit, adapted to what the layout of an edit costs.
    int m_rowsPerStep = 8;
    bool m_editing = false;
};

/// While a result is written by the two renderers: levels the row they have just closed.
void LevelClosedRow(RecordRenderer &left, RecordRenderer &right, int result);
/// While a result is written by the two renderers: levels every row written so far again.
void LevelWrittenRows(RecordRenderer &left, RecordRenderer &right, int result);

} // namespace kivo
