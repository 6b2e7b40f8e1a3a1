#pragma once

#include "ResultPair.h"
#include "Side.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace kivo {

/// Rows whose start positions a comparison records per view: enough for the first screens,
/// which are the ones realigned once the left window starts to scroll.
inline constexpr std::size_t kRowStartCount = 128;

/// Where the display rows begin in one view, as character positions of its control; -1 marks an
/// entry not filled.
using RowStarts = std::array<std::int32_t, kRowStartCount>;

/// A text view taking part in a comparison, as the driver sees it: it hands over the text to
/// compare, receives the result records, answers questions about the lines of its compared
/// region and is given back at the end.
///
/// Line numbers are relative to the region (0 is the region's first line) and count display
/// lines, word-wrapped ones included. Positions are the control's character positions.
/// The user's line breaks the aligned layout trimmed from around one side's sentence, which the
/// record that writes it stands for: before the text's first sentence, and after the sentence
/// (up to the next one). A comparison of the windows' texts reads them back from the result.
struct RecordBreaks {
    std::int32_t before = 0;
    std::int32_t after = 0;
};

class IResultView {
public:
    virtual ~IResultView() = default;

    /// Locks the view, saves its selection and notes the region to compare: the selection when
    /// selection is set, otherwise the whole text. The region's text is then read with
    /// CaptureMore, and the region is replaced by the result when display begins.
    virtual void BeginCapture(bool selection) = 0;
    /// Appends the next piece of the region's text, at most about maxChars characters (code page
    /// 932, CR line breaks), to text. Returns true once the whole region has been read.
    virtual bool CaptureMore(std::string &text, int maxChars) = 0;

    /// Removes the compared region and readies the insertion point and the scrolling for the
    /// result's first record.
    virtual void BeginDisplay() = 0;
    /// Writes one record's text for this side at the insertion point, in the colour and effect
    /// of its status, followed by the row separator when it closes a sentence pair. movedPartner
    /// is the position of the record of the other end when the record belongs to a moved
    /// sentence. breaks are the user's line breaks the record stands for on this side.
    virtual void RenderRecord(const ResultPair &record, const std::string &text,
                              const RecordBreaks &breaks, RowStarts &rowStarts,
                              std::optional<std::int32_t> movedPartner) = 0;

    /// Number of lines of the region.
    virtual int RegionLineCount() const = 0;
    /// Region line of a character position.
    virtual int RegionLineOfChar(int position) const = 0;
    /// Whether every region line k, from <= k < to, begins with a line break. The empty last
    /// line is not blank; an empty range is.
    virtual bool LinesAreBlank(int from, int to) const = 0;
    /// Inserts n >= 1 line breaks at the first character of region line `line`.
    virtual void InsertBlankLines(int line, int n) = 0;
    /// Deletes the n characters that start at the first character of region line `line`.
    virtual void DeleteAtLine(int line, int n) = 0;
    /// Puts the caret at the first character of the region's last line.
    virtual void CaretToLastLine() = 0;
    /// Whether the view shows its vertical scroll bar.
    virtual bool HasVerticalScrollBar() const = 0;

    /// Whether the scrolling keys work while the view is locked: from the moment the first screen
    /// of the result is complete until the comparison ends or is aborted.
    virtual void AllowScrolling(bool allow) = 0;
    /// Whether the user scrolled the view since display began.
    virtual bool UserScrolled() const = 0;
    /// Scrolls back to the region's first line (when no view was scrolled by the user).
    virtual void ReturnToRegionTop() = 0;
    /// The comparison has ended: the view is unlocked, with its selection as it was when the
    /// comparison was aborted before the display, otherwise with the caret at its top.
    virtual void FinishAfterComparison(bool aborted) = 0;

    /// Reads the result just written back out of the text, up to units fragments of it per
    /// call, for the commands that go through the differences: when the comparison ends they
    /// then find it ready instead of reading a long result at once. True once it is ready.
    virtual bool PrepareDifferences(std::int64_t units) = 0;
};

} // namespace kivo
