#pragma once

#include "resulttext/DiffMapRows.h"
#include "resulttext/ResultMarks.h"

#include <QPointer>
#include <QStyle>
#include <QTimer>
#include <QWidget>

#include <optional>
#include <vector>

class QScrollBar;

namespace kivo {

class CRichView;
class RichEditCtrl;
struct RichOptions;

/// A part of a vertical scroll bar (its groove, its thumb), in the scroll bar's own coordinates.
QRect ScrollBarPart(const QScrollBar &bar, QStyle::SubControl part);

/// The map of the differences: a thin strip beside a text window's vertical scroll bar that
/// shows, for the whole text, where the rows of a result's differences lie (in the colours of
/// their statuses) and the part of the text now on screen. A click or a drag on it scrolls
/// there, and the other window follows when scrolling is synchronised.
///
/// The strip stands for the text over the same height as the scroll bar's groove, so that the
/// part on screen lines up with the scroll bar's thumb. The marks are sorted into one bucket per
/// pixel row whenever the text, its layout or the other window's result changes (shortly after,
/// once the comparison or the levelling of the rows is over): one pass over the text that
/// changed, as each map reads its own window's rows once and lends them to the other. Painting
/// draws the buckets only, so it costs the same for any length of text.
class DiffMap : public QWidget {
    Q_OBJECT
public:
    /// Width of the strip, in pixels.
    static constexpr int kWidth = 12;
    /// Paragraphs of a whole result the timer reads per turn of the event loop before the marks
    /// are sorted: a few milliseconds' work, so that reading 100,000 rows is no freeze.
    static constexpr int kParagraphsReadPerTurn = 16384;

    /// Puts the strip beside the view's scroll bar; the control keeps room for it. The options
    /// (colours) must outlive the map.
    DiffMap(CRichView &view, const RichOptions &options);

    /// Sorts the marks into the buckets now, when anything changed since the last time.
    void UpdateMarks();
    /// The strip's y that stands for a document y of the text.
    int StripY(double documentY) const;
    /// The kind of mark at the strip's y; None where there is none.
    RunKind KindAt(int y) const;
    /// The rows of the result this window shows, brought up to date after its text or layout
    /// changed; the other window's map reads them too.
    const DocumentRows &Rows();
    /// The text changed by edit (or, without one, was replaced): the paragraphs it touched are
    /// read again once the marks are sorted again. The view tells the map after its own handling
    /// of the edit.
    void TextEdited(std::optional<TextEdit> edit);
    /// Reads up to paragraphs more paragraphs of the window's rows where Rows would read the whole
    /// text (a new result, edits all over it); true once Rows reads nothing more than the
    /// paragraphs edits touched. The timer reads a long result this way, a slice per turn of the
    /// event loop, before it sorts the marks.
    bool ReadRowsStep(int paragraphs);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    /// The stretch of the strip that stands for the whole text.
    struct Track {
        int top = 0;
        int length = 1;
    };
    Track TrackGeometry() const;
    double DocumentHeight() const;
    void Place();
    /// Notes that the marks must be sorted again and does so once things have settled.
    void MarksChanged();
    /// This window's layout changed: the places of its rows too.
    void LayoutChanged();
    void OnRebuildTimer();
    /// The map of the other window when it shows the same result, whose rows this one reads too.
    DiffMap *OtherMap() const;
    /// Whether m_rows are those of the text and the result as they stand.
    bool RowsCurrent() const;
    /// Makes the index read the rows of the result the view shows now.
    void IndexResult();
    /// Follows the edits of the other window's text, whose marks the strip shows too.
    void WatchOtherText(RichEditCtrl *other);
    /// Scrolls so that the text the strip's y stands for is in the middle of the window.
    void ScrollTo(int y);

    CRichView &m_view;
    const RichOptions &m_options;
    std::vector<RunKind> m_buckets;
    bool m_dirty = true;
    RowIndex m_index;
    DocumentRows m_rows;
    bool m_rowsDirty = true;
    int m_rowsResult = 0;  ///< the result m_rows were read for
    int m_indexResult = 0; ///< the result m_index reads
    QTimer m_rebuildTimer;
    QPointer<RichEditCtrl> m_otherText;
    QMetaObject::Connection m_otherConnection;
};

} // namespace kivo
