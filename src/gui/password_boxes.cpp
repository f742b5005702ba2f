#include "password_boxes.h"

#include <QLineEdit>
#include <QProxyStyle>

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

}  // namespace

void MaskWithAsterisks(QLineEdit* box) {
    auto* style = new AsteriskStyle;
    style->setParent(box);
    box->setStyle(style);
    box->setEchoMode(QLineEdit::Password);
}

}  // namespace vantor::gui
