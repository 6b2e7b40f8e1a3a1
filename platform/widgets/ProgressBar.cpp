#include "platform/widgets/ProgressBar.h"

namespace kivo {

namespace {

/// Shortest time between two repaints made at once: one frame of a 60 Hz screen.
constexpr qint64 kRepaintIntervalMs = 16;

} // namespace

ProgressBar::ProgressBar(QWidget *parent) : QProgressBar(parent)
{
    setRange(ProgressModel::kMinimum, ProgressModel::kMaximum);
    setTextVisible(false);
    Show();
}

void ProgressBar::Step()
{
    m_model.Step();
    Show();
}

void ProgressBar::SetPos(int position)
{
    m_model.SetPos(position);
    Show();
}

void ProgressBar::DeltaPos(int delta)
{
    m_model.DeltaPos(delta);
    Show();
}

void ProgressBar::Show()
{
    // A comparison step may move the bar thousands of times a second, and QProgressBar repaints
    // at once at every move, which would cost more than the work it shows. Within a frame of
    // the last such repaint, the move is painted at the next turn of the event loop instead.
    if (m_sinceRepaint.isValid() && m_sinceRepaint.elapsed() < kRepaintIntervalMs) {
        setUpdatesEnabled(false);
        setValue(m_model.Position());
        setUpdatesEnabled(true); // asks for the repaint
        return;
    }
    setValue(m_model.Position());
    m_sinceRepaint.start();
}

} // namespace kivo
