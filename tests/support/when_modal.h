#pragma once
// How a window test answers a modal window that the code under test opens and waits on, as a
// person at the desk would: the answer is queued before the window opens and runs inside the
// window's own event loop once it is the active modal window. No test-only branch in a window.
// Header only: the window tests and picture takers include it, the core's tests never do.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace vantor::testing {

// Runs the action on the next modal window with that object name (any modal window when
// empty) once it is visible in front. Fails the test, and closes the window in front, when none
// comes within a few seconds, so that a test waiting on the wrong window cannot hang.
inline void WhenModal(const QString& objectName, std::function<void(QWidget*)> action) {
    // Owned by the application until it has acted or given up: a test that ends before its
    // window came leaves no timer behind.
    auto* timer = new QTimer(QCoreApplication::instance());
    QElapsedTimer clock;
    clock.start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, objectName, action] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool matches = modal && modal->isVisible() &&
                             (objectName.isEmpty() || modal->objectName() == objectName);
        if (matches) {
            timer->stop();
            timer->deleteLater();
            action(modal);
            return;
        }
        if (clock.elapsed() > 8000) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal window " << objectName.toStdString() << " appeared";
            if (modal) modal->close();
        }
    });
    timer->start();
}

}  // namespace vantor::testing
