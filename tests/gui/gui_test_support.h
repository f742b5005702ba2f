#pragma once
// What the window tests share: one QApplication for the test program (offscreen), a user
// interface that hands events on to Qt like the real one, and the answering of a modal window
// from a queued action, as a person at the desk would answer it.

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "support/scripted_user_interface.h"

namespace vantor::testing {

// The program's one QApplication, created by the first window test that needs it. It is never
// destroyed: destroying it among the program's static objects at exit would outlive the Qt
// state it tears down.
inline void EnsureApplication() {
    if (QApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

// The first member of a window test's fixture, so that the application exists before any
// window the fixture holds.
struct QtApplicationFirst {
    QtApplicationFirst() { EnsureApplication(); }
};

// Records messages like the scripted interface, but hands pending events to Qt, so that a
// long operation inside a window keeps the window working. onEvents runs after each turn: a
// test puts there what the operator does while the operation runs.
class QtEventsUserInterface : public ScriptedUserInterface {
  public:
    std::function<void()> onEvents;
    void ProcessEvents() override {
        ScriptedUserInterface::ProcessEvents();
        QCoreApplication::processEvents();
        if (onEvents) onEvents();
    }
};

// A double-click as a mouse makes it: press, release, then the second press that the system
// reports as a double-click, and its release.
inline void DoubleClick(QWidget* widget, QPoint position) {
    QTest::mousePress(widget, Qt::LeftButton, {}, position);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, position);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, position);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, position);
}

// Runs action on the first modal window that shows up (polling the event loop), so that a test
// can answer a window that a click opens and waits on.
inline void WhenModalShows(std::function<void(QWidget*)> action, int attempts = 200) {
    QTimer::singleShot(10, [action = std::move(action), attempts]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            action(modal);
        } else if (attempts > 0) {
            WhenModalShows(std::move(action), attempts - 1);
        }
    });
}

// Runs action once the given window is visible.
inline void WhenVisible(QWidget* window, std::function<void()> action, int attempts = 200) {
    QTimer::singleShot(10, [window, action = std::move(action), attempts]() mutable {
        if (window->isVisible())
            action();
        else if (attempts > 0)
            WhenVisible(window, std::move(action), attempts - 1);
    });
}

}  // namespace vantor::testing
