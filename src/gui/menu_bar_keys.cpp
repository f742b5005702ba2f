#include "menu_bar_keys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace vantor::gui {

namespace {

// Notes which control had the keyboard when one of the bar's menus opened, and after the
// Escape that closes the menu ends the bar's keyboard mode and gives that control the focus.
class MenuEscapeWatcher : public QObject {
  public:
    explicit MenuEscapeWatcher(QMenuBar* bar) : QObject(bar), bar_(bar) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            QWidget* focus = QApplication::focusWidget();
            if (focus && focus != bar_ && !qobject_cast<QMenu*>(focus->window()))
                returnTo_ = focus;
        } else if (event->type() == QEvent::KeyPress &&
                   static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel)) {
            // The menu closes on this key and hands the bar the keyboard; act once it has.
            QMetaObject::invokeMethod(this, &MenuEscapeWatcher::GiveBack, Qt::QueuedConnection);
        }
        return false;
    }

  private:
    void GiveBack() {
        // A sub-menu's Escape leaves its parent menu open: the bar keeps the keyboard then.
        if (!bar_->hasFocus() || QApplication::activePopupWidget()) return;
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(bar_, &escape);  // leaves the bar's keyboard mode
        if (returnTo_ && returnTo_->isVisible() && returnTo_->isEnabled() && bar_->hasFocus())
            returnTo_->setFocus(Qt::MenuBarFocusReason);
    }

    QMenuBar* bar_;
    QPointer<QWidget> returnTo_;
};

}  // namespace

void ReturnKeyboardAfterMenuEscape(QMenuBar* bar) {
    auto* watcher = new MenuEscapeWatcher(bar);
    for (QAction* action : bar->actions())
        if (QMenu* menu = action->menu()) menu->installEventFilter(watcher);
}

}  // namespace vantor::gui
