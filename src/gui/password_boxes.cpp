#include "password_boxes.h"

#include <QEvent>
#include <QLineEdit>
#include <QProxyStyle>
#include <QTimer>

namespace vantor::gui {

namespace {

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
