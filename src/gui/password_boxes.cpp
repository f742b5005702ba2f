#include "password_boxes.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProxyStyle>
#include <QTimer>

namespace vantor::gui {

namespace {

constexpr int kBackspace = 8;

class KeyFilter : public QObject {
  public:
    KeyFilter(QLineEdit* box, std::function<int(int)> filter)
        : QObject(box), box_(box), filter_(std::move(filter)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != box_ || event->type() != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.isEmpty() || key->key() == Qt::Key_Backspace) return false;
        const int typed = text.at(0).unicode();
        // Control characters (Enter, Esc, Tab) keep their meaning for the window.
        if (typed < 32 || typed == 127) return false;
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        const int allowed = filter_(typed);
        if (allowed == 0) return true;
        if (allowed == typed) return false;
        if (allowed != kBackspace) {
            // The character the filter turned it into is typed instead.
            QKeyEvent replaced(QEvent::KeyPress, key->key(), key->modifiers(),
                               QString(QChar(allowed)), key->isAutoRepeat());
            QCoreApplication::sendEvent(box_, &replaced);
        }
        return true;
    }

  private:
    QLineEdit* box_;
    std::function<int(int)> filter_;
};

// "*" for every character, whatever the platform's own masking character is.
class AsteriskStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_LineEdit_PasswordCharacter) return '*';
        if (hint == QStyle::SH_LineEdit_PasswordMaskDelay) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

class SelectOnFocus : public QObject {
  public:
    explicit SelectOnFocus(QLineEdit* box) : QObject(box), box_(box) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        // After the click that gave the focus has placed the cursor.
        if (watched == box_ && event->type() == QEvent::FocusIn)
            QTimer::singleShot(0, box_, [box = box_] { box->selectAll(); });
        return false;
    }

  private:
    QLineEdit* box_;
};

}  // namespace

void FilterTypedKeys(QLineEdit* box, std::function<int(int)> filter) {
    box->installEventFilter(new KeyFilter(box, std::move(filter)));
}

void MaskWithAsterisks(QLineEdit* box) {
    auto* style = new AsteriskStyle;
    style->setParent(box);
    box->setStyle(style);
    box->setEchoMode(QLineEdit::Password);
}

void SelectAllOnFocus(QLineEdit* box) {
    box->installEventFilter(new SelectOnFocus(box));
}

}  // namespace vantor::gui
