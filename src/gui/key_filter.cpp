#include "key_filter.h"

#include <QKeyEvent>
#include <QWidget>

namespace vantor::gui {

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (!text.isEmpty() && text.front().unicode() >= 32 &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) &&
            filter_(text.front().unicode()) == 0)
            return true;
    }
    return QObject::eventFilter(watched, event);
}

void FilterKeys(QWidget* field, KeyFilterFunction filter) {
    field->installEventFilter(new KeyFilter(filter, field));
}

}  // namespace vantor::gui
