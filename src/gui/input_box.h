#pragma once
// The input box, frmGoodInputBox: a prompt, one line of text, OK and Cancel. Cancelling (the
// button, Escape or the close box) returns no text, whatever was typed.

#include <QDialog>

#include "common/user_interface.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vantor::gui {

class InputBox : public QDialog {
    Q_OBJECT
  public:
    InputBox(const InputBoxRequest& request, QWidget* owner);

    // Shows the box modally and returns what the operator did.
    InputBoxResult Run();

  private:
    QLabel* prompt_;
    QLineEdit* text_;
    QPushButton* ok_;
    QPushButton* cancel_;
    bool cancelled_ = true;  // until OK is pressed
};

}  // namespace vantor::gui
