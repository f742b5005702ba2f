#pragma once
// Helpers for driving the real windows in tests: finding controls by their object names, and
// answering a modal dialog the code under test opens (the answer is queued before the dialog
// opens and runs inside its event loop, as a person's click would).

#include <gtest/gtest.h>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QStringList>
#include <QWidget>
#include <functional>

#include "support/scripted_user_interface.h"
#include "support/when_modal.h"

namespace vantor::gui::testing {

// The child of a window with that object name and type; fails the test when there is none.
template <typename T>
T* Child(const QWidget* window, const char* name) {
    T* child = window->findChild<T*>(name);
    EXPECT_NE(child, nullptr) << "no " << name << " in " << window->objectName().toStdString();
    return child;
}

using vantor::testing::WhenModal;

// From now on, a modal dialog left unanswered for ten seconds fails the running test and is
// closed, so that a dialog nobody expected cannot hang the test run.
void InstallModalWatchdog();

// The visible top-level widget with that object name, or nullptr.
QWidget* TopLevel(const QString& objectName);

// Lets the event loop run until the condition holds (at most a few seconds).
bool WaitFor(const std::function<bool()>& condition, int milliseconds = 5000);

// The enabled push buttons of a window that Tab reaches but that leave Return to the window
// (which presses its default button instead, or nothing): their object names. On a desktop a
// button with the focus answers Return as it answers Space. The buttons' own actions do not run.
QStringList ButtonsDeafToReturn(QWidget* window);

// What a window manager would offer on a dialog of fixed contents that it should not: "minimise",
// "maximise" (asked for in the window's flags) and "resize" (it can be made larger than its
// natural size). Empty when the dialog offers none of them.
QStringList NeedlessFrameButtons(const QWidget* dialog);

// The fields (text boxes), lists and tables of a window as a screen reader announces them (their name read
// through the accessibility interface), as "objectName: name", for those whose name is empty
// or shared with another of them: a listener could not tell what such a control holds.
QStringList ControlsWithoutTheirOwnName(QWidget* window);

// A control's name as the accessibility interface gives it to a screen reader.
QString AccessibleName(QWidget* control);

}  // namespace vantor::gui::testing

// What the window tests share besides: a user interface that hands events on to Qt like the
// real one, and the answering of a modal window from a queued action, as a person at the desk
// would answer it. The one QApplication of the test program is made in its main().

namespace vantor::testing {

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
