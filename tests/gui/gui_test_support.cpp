#include "gui_test_support.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QHeaderView>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMap>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTest>
#include <QTimer>

namespace vantor::gui::testing {

void InstallModalWatchdog() {
    // The timer belongs to the application and its state to the timer's connection: both go
    // with the application, so the harness leaves nothing behind for the leak checker.
    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setInterval(250);
    QObject::connect(timer, &QTimer::timeout,
                     [since = QElapsedTimer(), seen = QPointer<QWidget>()]() mutable {
                         QWidget* modal = QApplication::activeModalWidget();
                         if (modal != seen.data()) {
                             seen = modal;
                             since.start();
                             return;
                         }
                         if (modal && since.elapsed() > 10000) {
                             QString text = modal->windowTitle();
                             if (auto* box = qobject_cast<QMessageBox*>(modal))
                                 text += ": " + box->text();
                             ADD_FAILURE() << "unanswered modal dialog "
                                           << modal->objectName().toStdString() << " ("
                                           << text.toStdString() << ")";
                             modal->close();
                             seen = nullptr;
                         }
                     });
    timer->start();
}

QWidget* TopLevel(const QString& objectName) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->objectName() == objectName) return widget;
    return nullptr;
}

QStringList NeedlessFrameButtons(const QWidget* dialog) {
    QStringList offered;
    if (dialog->windowFlags() & Qt::WindowMinimizeButtonHint) offered << "minimise";
    if (dialog->windowFlags() & Qt::WindowMaximizeButtonHint) offered << "maximise";
    if (dialog->minimumSize() != dialog->maximumSize()) offered << "resize";
    return offered;
}

QString AccessibleName(QWidget* control) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
    return face ? face->text(QAccessible::Name) : QString();
}

QStringList ControlsWithoutTheirOwnName(QWidget* window) {
    QList<QWidget*> controls;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->window() != window) continue;  // a combo box's drop-down list, a completer
        // A table's header is part of the table. A drop-down list is announced by its choice
        // and the label related to it (not by a name of its own); the text field of an editable
        // one is a field like any other.
        if ((qobject_cast<QLineEdit*>(widget) || qobject_cast<QAbstractItemView*>(widget)) &&
            !qobject_cast<QHeaderView*>(widget))
            controls << widget;
    }
    QMap<QString, int> uses;
    for (QWidget* control : controls) ++uses[AccessibleName(control)];
    QStringList faults;
    for (QWidget* control : controls) {
        const QString name = AccessibleName(control);
        if (name.trimmed().isEmpty() || uses[name] > 1)
            faults << control->objectName() + ": " + name;
    }
    return faults;
}

bool WaitFor(const std::function<bool()>& condition, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > milliseconds) return false;
        QTest::qWait(10);
    }
    return true;
}

namespace {

// Notes a Return that travelled past the control it was meant for, and keeps it from the
// window's own handling.
class ReturnCatcher : public QObject {
  public:
    bool reached = false;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
        reached = true;
        return true;
    }
};

}  // namespace

QStringList ButtonsDeafToReturn(QWidget* window) {
    ReturnCatcher catcher;
    window->installEventFilter(&catcher);
    QStringList deaf;
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (button->window() != window || !button->isEnabled() ||
            !(button->focusPolicy() & Qt::TabFocus))
            continue;
        catcher.reached = false;
        const QSignalBlocker quiet(button);
        QTest::keyClick(button, Qt::Key_Return);
        if (catcher.reached) deaf << button->objectName();
    }
    window->removeEventFilter(&catcher);
    return deaf;
}

}  // namespace vantor::gui::testing
