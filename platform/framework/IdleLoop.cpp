#include "platform/framework/IdleLoop.h"

#include <QApplication>
#include <QEvent>

namespace kivo {
namespace {

// Events after which the state of the commands may have changed.
bool StartsIdle(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::FocusIn:
    case QEvent::WindowActivate:
    case QEvent::Drop:
    case QEvent::InputMethod:
    case QEvent::Close:
    case QEvent::Show:
        return true;
    default:
        return false;
    }
}

} // namespace

IdleLoop::IdleLoop(IdleFunction onIdle, QObject *parent)
    : QObject(parent), m_onIdle(std::move(onIdle))
{
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &IdleLoop::RunOnce);
    QCoreApplication::instance()->installEventFilter(this);
    Kick();
}

IdleLoop::~IdleLoop()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

void IdleLoop::Kick()
{
    m_count = 0;
    m_kicked = true;
    if (!m_timer.isActive())
        m_timer.start();
}

bool IdleLoop::eventFilter(QObject *, QEvent *event)
{
    if (StartsIdle(event->type()))
        Kick();
    return false;
}

void IdleLoop::RunOnce()
{
    // While an idle call waits in a modal window's event loop, or a modal window is open, idle
    // work pauses; the end of that call, or the events of closing the window, resume it.
    if (m_running || QApplication::activeModalWidget()) {
        m_timer.stop();
        return;
    }
    m_kicked = false;
    m_running = true;
    const bool more = m_onIdle(m_count++);
    m_running = false;
    if (more || m_kicked) {
        if (!m_timer.isActive())
            m_timer.start();
    } else {
        m_timer.stop();
    }
}

} // namespace kivo
