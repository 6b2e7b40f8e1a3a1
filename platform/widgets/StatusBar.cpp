#include "platform/widgets/StatusBar.h"

#include "resources/Strings.h"

#include <QFontMetrics>
#include <QLabel>

namespace kivo {
namespace {

// Room around an indicator's text, so that the panes do not touch.
constexpr int kIndicatorPadding = 12;

} // namespace

StatusBar::StatusBar(int idleTextId, std::span<const int> indicatorIds, QWidget *parent)
    : QStatusBar(parent), m_idle(new QLabel(res::LoadString(idleTextId), this)),
      m_idleTextId(idleTextId), m_indicatorIds(indicatorIds.begin(), indicatorIds.end()),
      m_lockState([](int) { return false; })
{
    // A normal (non-permanent) widget: the status bar hides it while a prompt is shown.
    addWidget(m_idle, 1);
    for (const int id : m_indicatorIds) {
        auto *pane = new QLabel(this);
        pane->setAlignment(Qt::AlignCenter);
        pane->setFrameShape(QFrame::StyledPanel);
        pane->setFrameShadow(QFrame::Sunken);
        pane->setMinimumWidth(fontMetrics().horizontalAdvance(res::LoadString(id)) +
                              kIndicatorPadding);
        addPermanentWidget(pane);
        m_indicators.push_back(pane);
    }
    UpdateIndicators();
}

void StatusBar::UpdateIndicators()
{
    for (std::size_t i = 0; i < m_indicators.size(); ++i) {
        const int id = m_indicatorIds[i];
        const QString text = m_lockState(id) ? res::LoadString(id) : QString();
        if (m_indicators[i]->text() != text)
            m_indicators[i]->setText(text);
    }
}

QString StatusBar::IdleText() const
{
    return m_idle->text();
}

void StatusBar::SetIdleText(const QString &text)
{
    m_idle->setText(text);
}

void StatusBar::ResetIdleText()
{
    m_idle->setText(res::LoadString(m_idleTextId));
}

} // namespace kivo
