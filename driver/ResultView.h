#pragma once

#include "ResultPair.h"
#include "Side.h"

#include <cstdint>
#include <optional>
#include <string>

namespace kivo {

/// The user's line breaks the aligned layout trimmed from around one side's sentence, which the
/// record that writes it stands for: before the text's first sentence, and after the sentence
/// (up to the next one). A comparison of the windows' texts reads them back from the result.
struct RecordBreaks {
    std::int32_t before = 0;
    std::int32_t after = 0;
};

/// A text view taking part in a comparison, as the driver sees it: it hands over the text to
/// compare, receives the result records and is given back at the end.
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
                              const RecordBreaks &breaks,
                              std::optional<std::int32_t> movedPartner) = 0;

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

/// Keeps the rows of the two views level while a result is written into them with the aligned
/// layout: each sentence pair is a row, and the side whose row takes fewer lines gets blank
/// padding lines at its end, so that the next row starts on the same line in both.
class IRowLevels {
public:
    virtual ~IRowLevels() = default;

    /// The record written last closed its sentence pair in both views: that row is levelled.
    virtual void RowClosed() = 0;
    /// Levels every row written so far again: the lines wrap anew when a scroll bar appears.
    virtual void LevelWrittenRows() = 0;
};

/// The two views a comparison takes part in (pane 1 and pane 2; null where there is none), and
/// what levels their rows (null without two views).
struct ResultViews {
    PerSide<IResultView *> views{};
    IRowLevels *rows = nullptr;
};

} // namespace kivo
