#include "key_filter.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

#include "common/character_class.h"

namespace vantor::gui {

namespace {

class KeyFilter : public QObject {
  public:
    KeyFilter(QWidget* field, std::function<int(int)> filter)
        : QObject(field), field_(field), filter_(std::move(filter)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != field_ || event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.isEmpty() || key->key() == Qt::Key_Backspace) return false;
        const int typed = text.at(0).unicode();
        // Control characters (Enter, Escape, Tab) and delete keep their meaning for the window.
        if (typed < 32 || typed == 127) return false;
        // A Ctrl shortcut types nothing. A character that comes with Alt or Meta held and was
        // no shortcut is typed by the field like any other, so it is filtered like any other.
        const Qt::KeyboardModifiers held = key->modifiers();
        if ((held & Qt::ControlModifier) && !(held & Qt::AltModifier)) return false;
        const int allowed = filter_(typed);
        if (allowed == 0) return true;
        if (allowed == typed) return false;
        if (allowed != kKeyBackspace) {
            // The character the filter turned it into is typed instead.
            QKeyEvent replaced(QEvent::KeyPress, key->key(), key->modifiers(),
                               QString(QChar(allowed)), key->isAutoRepeat());
            QCoreApplication::sendEvent(field_, &replaced);
        }
        return true;
    }

  private:
    QWidget* field_;
    std::function<int(int)> filter_;
};

}  // namespace

void FilterKeys(QWidget* field, std::function<int(int)> filter) {
    field->installEventFilter(new KeyFilter(field, std::move(filter)));
}

}  // namespace vantor::gui
