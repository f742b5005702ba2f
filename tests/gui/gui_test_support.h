#pragma once
// Helpers for driving the real windows in tests: finding controls by their object names, and
// answering a modal dialog the code under test opens (the answer is queued before the dialog
// opens and runs inside its event loop, as a person's click would).

#include <gtest/gtest.h>
#include <QApplication>
#include <QWidget>
#include <functional>

namespace vantor::gui::testing {

// The child of a window with that object name and type; fails the test when there is none.
template <typename T>
T* Child(const QWidget* window, const char* name) {
    T* child = window->findChild<T*>(name);
    EXPECT_NE(child, nullptr) << "no " << name << " in " << window->objectName().toStdString();
    return child;
}

// Runs the action on the next modal dialog with that object name (any modal dialog when
// empty) once it is in front. Fails the test, and closes the dialog in front, when none
// comes within a few seconds.
void WhenModal(const QString& objectName, std::function<void(QWidget*)> action);

// From now on, a modal dialog left unanswered for ten seconds fails the running test and is
// closed, so that a dialog nobody expected cannot hang the test run.
void InstallModalWatchdog();

// The visible top-level widget with that object name, or nullptr.
QWidget* TopLevel(const QString& objectName);

// Lets the event loop run until the condition holds (at most a few seconds).
bool WaitFor(const std::function<bool()>& condition, int milliseconds = 5000);

}  // namespace vantor::gui::testing
