#pragma once
// The change-password window (frmChangePassword, "Change Password"), bound to its model: the
// old password and the new one twice, masked, and the padlock.

#include <QDialog>

#include "users/change_password_model.h"

class QLineEdit;
class QPushButton;

namespace vantor::gui {

class PadlockView;

class ChangePasswordWindow : public QDialog {
    Q_OBJECT

  public:
    // The model is loaded (and found open) by the caller.
    explicit ChangePasswordWindow(ChangePasswordModel& model, QWidget* parent = nullptr);
    ~ChangePasswordWindow() override;

    // Copies the model's state into the widgets; moveFocus puts the focus where the model wants
    // it (after OK refused the entries).
    void Refresh(bool moveFocus = false);

  public slots:
    void reject() override;  // Cancel and Esc

  private:
    template <typename Operation>
    void Run(Operation operation, bool moveFocus = false);
    QLineEdit* BoxOf(ChangePasswordModel::Box box) const;

    ChangePasswordModel& model_;
    QLineEdit* txtOldPassword_ = nullptr;
    QLineEdit* txtNewPassword_ = nullptr;
    QLineEdit* txtReNewPassword_ = nullptr;
    QPushButton* OKB_ = nullptr;
    QPushButton* Cancel_ = nullptr;
    PadlockView* picSecurity_ = nullptr;
    bool cancelled_ = false;
};

}  // namespace vantor::gui
