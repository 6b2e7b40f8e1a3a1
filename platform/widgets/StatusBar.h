#pragma once

#include <QStatusBar>

#include <functional>
#include <span>
#include <vector>

class QLabel;

namespace kivo {

/// The main window's status bar: a message pane that shows the command prompts and, while
/// nothing is pointed at, the idle text; then one pane per indicator, which shows its string
/// while its key lock is on.
class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    /// Tells whether the lock of an indicator (by its string id) is on.
    using LockState = std::function<bool(int indicatorId)>;

    StatusBar(int idleTextId, std::span<const int> indicatorIds, QWidget *parent = nullptr);

    /// Replaces the source of the lock states; the default knows of none that is on.
    void SetLockState(LockState state) { m_lockState = std::move(state); }
    /// Shows each indicator's text when its lock is on (idle time).
    void UpdateIndicators();

    QString IdleText() const;
    /// Shows another text while nothing is pointed at, until ResetIdleText.
    void SetIdleText(const QString &text);
    /// Shows the idle text the bar was made with again.
    void ResetIdleText();
    /// The indicator panes, in order.
    const std::vector<QLabel *> &Indicators() const { return m_indicators; }

private:
    QLabel *m_idle;
    int m_idleTextId;
    std::vector<int> m_indicatorIds;
    std::vector<QLabel *> m_indicators;
    LockState m_lockState;
};

} // namespace kivo
