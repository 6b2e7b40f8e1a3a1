#include "platform/ProgressBar.h"

namespace kivo {

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
    setValue(m_model.Position());
}

} // namespace kivo
