#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

namespace kivo {

/// Idle processing: once the events waiting have been handled, calls the idle function with a
/// count of 0, 1, 2, ... one call per turn of the event loop, for as long as it returns true.
/// A user-interface event (keys, mouse buttons, focus and activation changes) starts the count
/// again from 0. Nothing runs while a modal window is open: the idle work continues after it.
class IdleLoop : public QObject {
    Q_OBJECT
public:
    using IdleFunction = std::function<bool(long count)>;

    /// Watches the application's events from now on.
    explicit IdleLoop(IdleFunction onIdle, QObject *parent = nullptr);
    ~IdleLoop() override;

    /// Starts idle processing again from count 0 at the next turn of the event loop.
    void Kick();
    /// Whether idle calls are due.
    bool IsActive() const { return m_timer.isActive(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void RunOnce();

    IdleFunction m_onIdle;
    QTimer m_timer;
    long m_count = 0;
    bool m_running = false; ///< inside the idle function
    bool m_kicked = false;  ///< a user event came since the last idle call began
};

} // namespace kivo
