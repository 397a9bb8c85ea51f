// SPDX-License-Identifier: MIT
#pragma once

// Driving modal windows from the event loop: the action runs once a modal window is
// active, so a test never waits on a person.

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <type_traits>

namespace rvtest {

// Runs `action` on the active modal window as soon as there is one (of type T).
template <typename T = QWidget>
inline void whenModal(std::type_identity_t<std::function<void(T*)>> action) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action = std::move(action)] {
        if (T* w = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(w);
        }
    });
    timer->start();
}

// Closes whatever modal window is still open after `ms`, so that a window that fails to
// close by itself ends the test instead of hanging it. Returns a flag that tells whether
// it had to.
inline std::shared_ptr<bool> closeModalsAfter(int ms) {
    auto fired = std::make_shared<bool>(false);
    QTimer::singleShot(ms, [fired] {
        while (QWidget* w = QApplication::activeModalWidget()) {
            *fired = true;
            w->close();
            QApplication::processEvents();
        }
    });
    return fired;
}

}  // namespace rvtest
