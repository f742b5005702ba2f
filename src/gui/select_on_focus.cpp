#include "select_on_focus.h"

#include <QEvent>
#include <QLineEdit>
#include <QTimer>

namespace vantor::gui {

namespace {

class SelectOnFocus : public QObject {
  public:
    explicit SelectOnFocus(QLineEdit* field) : QObject(field), field_(field) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        // After the click that gave the focus has placed the cursor.
        if (watched == field_ && event->type() == QEvent::FocusIn)
            QTimer::singleShot(0, field_, &QLineEdit::selectAll);
        return false;
    }

  private:
    QLineEdit* field_;
};

}  // namespace

void SelectAllOnFocus(QLineEdit* field) {
    field->installEventFilter(new SelectOnFocus(field));
}

}  // namespace vantor::gui
