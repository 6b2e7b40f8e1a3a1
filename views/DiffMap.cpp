#include "views/DiffMap.h"

#include "CharFormatQt.h"
#include "RichEditCtrl.h"
#include "resulttext/DiffMapRows.h"
#include "views/RichDoc.h"
#include "views/RichView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>

namespace kivo {
namespace {

using charformat::ToQColor;

// The marks are sorted again this long after the last change, so that typing or a run of
// edits sorts them once, not once per keystroke.
constexpr int kRebuildDelayMs = 150;

// Pixels left free on either side of a mark, so that the strip's edge stays visible.
constexpr int kMarkInset = 2;

// How much darker (or lighter, on a dark background) the part of the text on screen is shaded,
// in percent.
constexpr int kDarkerShade = 115;
constexpr int kLighterShade = 160;
constexpr int kDarkBackground = 128; // lightness below which a background counts as dark

ColorSlot SlotOf(RunKind kind)
{
    switch (kind) {
    case RunKind::Changed:
        return ColorChanged;
    case RunKind::Added:
        return ColorAdded;
    case RunKind::Deleted:
        return ColorDeleted;
    case RunKind::Moved:
        return ColorMoved;
    case RunKind::None:
    case RunKind::Original:
    case RunKind::Same:
    case RunKind::Separator:
    case RunKind::Padding:
        break;
    }
    return ColorOriginal;
}

} // namespace

QRect ScrollBarPart(const QScrollBar &bar, QStyle::SubControl part)
{
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.orientation = Qt::Vertical;
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = bar.sliderPosition();
    option.sliderValue = bar.value();
    option.singleStep = bar.singleStep();
    option.pageStep = bar.pageStep();
    option.upsideDown = bar.invertedAppearance();
    option.subControls = QStyle::SC_All;
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar);
}

DiffMap::DiffMap(CRichView &view, const RichOptions &options)
    : QWidget(view.Control()->Widget()), m_view(view), m_options(options)
{
    RichEditCtrl &edit = *view.Control();
    edit.ReserveRightMargin(kWidth);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
    m_rebuildTimer.setSingleShot(true);
    m_rebuildTimer.setInterval(kRebuildDelayMs);
    connect(&m_rebuildTimer, &QTimer::timeout, this, &DiffMap::OnRebuildTimer);
    // Edits come through the view (TextEdited), after it has made typed text the user's own.
    connect(&edit, &RichEditCtrl::TextHeightChanged, this, &DiffMap::LayoutChanged);
    // The part on screen moves with the scroll bar.
    const QScrollBar *bar = &edit.VerticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
    connect(bar, &QScrollBar::rangeChanged, this, qOverload<>(&QWidget::update));
    edit.Viewport()->installEventFilter(this);
    Place();
}

void DiffMap::Place()
{
    const QRect viewport = m_view.Control()->Viewport()->geometry();
    setGeometry(viewport.right() + 1, viewport.top(), kWidth, viewport.height());
}

bool DiffMap::eventFilter(QObject *watched, QEvent *event)
{
    if (m_view.Control() == nullptr) // the window is being closed
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::Move)
        Place();
    if (event->type() == QEvent::Resize) {
        // The text wraps at the viewport's width.
        Place();
        LayoutChanged();
    }
    return QWidget::eventFilter(watched, event);
}

DiffMap::Track DiffMap::TrackGeometry() const
{
    const RichEditCtrl &edit = *m_view.Control();
    const QScrollBar &bar = edit.VerticalScrollBar();
    const QWidget *widget = edit.Widget();
    const int last = std::max(0, height() - 1);
    if (!bar.isVisibleTo(widget))
        return {0, last + 1};
    const QRect groove = ScrollBarPart(bar, QStyle::SC_ScrollBarGroove);
    const int top = std::clamp(mapFrom(widget, bar.mapTo(widget, groove.topLeft())).y(), 0, last);
    const int bottom =
        std::clamp(mapFrom(widget, bar.mapTo(widget, groove.bottomLeft())).y(), top, last);
    return {top, bottom - top + 1};
}

double DiffMap::DocumentHeight() const
{
    // The scroll bar's range and page make up the text's height (or the window's, for a text
    // shorter than the window), as its thumb measures it.
    const QScrollBar &bar = m_view.Control()->VerticalScrollBar();
    return std::max(1, bar.maximum() - bar.minimum() + bar.pageStep());
}

int DiffMap::StripY(double documentY) const
{
    const Track track = TrackGeometry();
    return track.top + static_cast<int>(documentY / DocumentHeight() * track.length);
}

RunKind DiffMap::KindAt(int y) const
{
    const Track track = TrackGeometry();
    if (m_buckets.empty() || y < track.top || y >= track.top + track.length)
        return RunKind::None;
    const auto index =
        static_cast<std::size_t>(static_cast<long long>(y - track.top) *
                                 static_cast<long long>(m_buckets.size()) / track.length);
    return m_buckets[index];
}

void DiffMap::MarksChanged()
{
    m_dirty = true;
    m_rebuildTimer.start(kRebuildDelayMs);
}

void DiffMap::LayoutChanged()
{
    m_rowsDirty = true;
    MarksChanged();
}

void DiffMap::TextEdited(std::optional<TextEdit> edit)
{
    m_index.TextChanged(edit);
    LayoutChanged();
}

void DiffMap::IndexResult()
{
    // Rows of another result are read in full.
    if (m_indexResult != m_view.ResultNumber()) {
        m_index.TextChanged(std::nullopt);
        m_indexResult = m_view.ResultNumber();
    }
}

bool DiffMap::ReadRowsStep(int paragraphs)
{
    if (m_view.ResultNumber() == 0 || RowsCurrent())
        return true;
    IndexResult();
    return m_index.ReadStep(*m_view.Control()->Document(), m_view.Runs(), paragraphs);
}

const DocumentRows &DiffMap::Rows()
{
    if (!RowsCurrent()) {
        RichEditCtrl &edit = *m_view.Control();
        edit.TextHeight(); // the widget knows the text's height (estimates included)
        IndexResult();
        m_rows = m_view.ResultNumber() != 0 ? m_index.Rows(*edit.Document(), m_view.Runs())
                                            : DocumentRows{};
        m_rowsDirty = false;
        m_rowsResult = m_view.ResultNumber();
    }
    return m_rows;
}

void DiffMap::OnRebuildTimer()
{
    // The text is being written or levelled: the marks wait for the end.
    const auto *document = qobject_cast<const CRichDoc *>(m_view.GetDocument());
    if (m_view.Comparing() || (document && document->LevellingPending())) {
        m_rebuildTimer.start(kRebuildDelayMs);
        return;
    }
    // Both windows' rows are read a slice per turn; then each window's rows are placed, in a
    // turn of their own, and the marks sorted.
    DiffMap *other = OtherMap();
    const bool read = ReadRowsStep(kParagraphsReadPerTurn);
    const bool otherRead = !other || other->ReadRowsStep(kParagraphsReadPerTurn);
    if (read && otherRead) {
        if (!RowsCurrent()) {
            Rows();
        } else if (other && !other->RowsCurrent()) {
            other->Rows();
        } else {
            UpdateMarks();
            update();
            return;
        }
    }
    m_rebuildTimer.start(0);
}

bool DiffMap::RowsCurrent() const
{
    return !m_rowsDirty && m_rowsResult == m_view.ResultNumber();
}

DiffMap *DiffMap::OtherMap() const
{
    CRichView *other = m_view.OtherView();
    return other && m_view.ResultNumber() != 0 && other->ResultNumber() == m_view.ResultNumber()
               ? other->Control()->Widget()->findChild<DiffMap *>(QString(),
                                                                  Qt::FindDirectChildrenOnly)
               : nullptr;
}

void DiffMap::WatchOtherText(RichEditCtrl *other)
{
    if (other == m_otherText)
        return;
    disconnect(m_otherConnection);
    m_otherText = other;
    if (other)
        m_otherConnection =
            connect(other, &RichEditCtrl::TextChanged, this, &DiffMap::MarksChanged);
}

void DiffMap::UpdateMarks()
{
    RichEditCtrl &edit = *m_view.Control();
    // The scroll bar's range is that of the text as it stands; paragraphs not laid out yet count
    // at their estimated heights, here as in the scroll bar, and the marks are sorted again
    // when the layout changes the text's height.
    edit.TextHeight();
    const Track track = TrackGeometry();
    if (!m_dirty && m_buckets.size() == static_cast<std::size_t>(track.length))
        return;
    m_rebuildTimer.stop();
    CRichView *other = m_view.OtherView();
    WatchOtherText(other ? other->Control() : nullptr);
    std::vector<MapSpan> spans;
    if (m_view.ResultNumber() != 0) {
        DiffMap *otherMap = OtherMap();
        spans = DifferenceSpans(Rows(), otherMap ? &otherMap->Rows() : nullptr);
    }
    m_buckets = BuildMapBuckets(spans, DocumentHeight(), track.length);
    m_dirty = false;
}

void DiffMap::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor background = ToQColor(m_options.Color[Background]);
    painter.fillRect(rect(), background);

    const QScrollBar &bar = m_view.Control()->VerticalScrollBar();
    const int shownTop = StripY(bar.value() - bar.minimum());
    const int shownBottom =
        std::max(shownTop + 1, StripY(bar.value() - bar.minimum() + bar.pageStep()));
    const QRect shown(0, shownTop, width(), shownBottom - shownTop);
    painter.fillRect(shown, background.lightness() < kDarkBackground
                                ? background.lighter(kLighterShade)
                                : background.darker(kDarkerShade));

    // One rectangle for each run of pixel rows of one kind.
    const Track track = TrackGeometry();
    const auto count = static_cast<long long>(m_buckets.size());
    const auto yOf = [&](long long index) {
        return track.top + static_cast<int>(index * track.length / std::max(1LL, count));
    };
    for (long long first = 0; first < count;) {
        const RunKind kind = m_buckets[static_cast<std::size_t>(first)];
        long long end = first + 1;
        while (end < count && m_buckets[static_cast<std::size_t>(end)] == kind)
            ++end;
        if (kind != RunKind::None)
            painter.fillRect(QRect(kMarkInset, yOf(first), width() - 2 * kMarkInset,
                                   std::max(1, yOf(end) - yOf(first))),
                             ToQColor(m_options.Color[SlotOf(kind)]));
        first = end;
    }

    // The frame of the part on screen, in the colour of ordinary text.
    painter.setPen(ToQColor(m_options.Color[ColorOriginal]));
    painter.drawRect(shown.adjusted(0, 0, -1, -1));
}

void DiffMap::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_view.Comparing()) {
        event->ignore();
        return;
    }
    ScrollTo(event->position().toPoint().y());
}

void DiffMap::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || m_view.Comparing()) {
        event->ignore();
        return;
    }
    ScrollTo(event->position().toPoint().y());
}

void DiffMap::ScrollTo(int y)
{
    RichEditCtrl &edit = *m_view.Control();
    const Track track = TrackGeometry();
    const QScrollBar &bar = edit.VerticalScrollBar();
    const double documentY = static_cast<double>(y - track.top) / track.length * DocumentHeight();
    edit.SetScrollPos(static_cast<int>(documentY - bar.pageStep() / 2.0) + bar.minimum());
    // The control does not report scrolling it was asked for; the other window follows here.
    m_view.SyncScrollFrom();
    update();
}

} // namespace kivo
