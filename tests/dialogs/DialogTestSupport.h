#pragma once

#include "dialogs/Dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace kivo::test {

/// Runs action on the next modal dialog as soon as it is shown (the test's stand-in for the
/// user), so that a command that runs a dialog modally can be tested as it stands.
inline void WhenModal(std::function<void(QWidget *)> action)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action = std::move(action)] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        // The user works in the window in front: it is the active one, as on a desktop.
        QApplication::setActiveWindow(modal);
        EXPECT_TRUE(QTest::qWaitForWindowActive(modal));
        action(modal);
    });
    timer->start();
}

/// Clicks the control with this template id.
inline void Click(const Dialog &dialog, int id)
{
    auto *button = qobject_cast<QAbstractButton *>(dialog.Control(id));
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

/// The widgets the Tab key visits from first, in order, until it comes back.
inline std::vector<QWidget *> TabChain(QWidget *first)
{
    std::vector<QWidget *> chain{first};
    for (QWidget *w = first->nextInFocusChain(); w != first; w = w->nextInFocusChain()) {
        // A widget that hands its focus on, or takes it for its parent, is one stop with it.
        const bool proxied =
            w->focusProxy() || (w->parentWidget() && w->parentWidget()->focusProxy() == w);
        if ((w->focusPolicy() & Qt::TabFocus) && !proxied && w->isVisibleTo(first->window()) &&
            w->window() == first->window())
            chain.push_back(w);
    }
    return chain;
}

} // namespace kivo::test
