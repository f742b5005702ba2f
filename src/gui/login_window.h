#pragma once
// The login window (frmLogin, "User Login"), bound to its model: user name and password, OK
// enabled once a name is typed, the options area with the change-password check box, and the
// padlock.

#include <QDialog>

#include "users/login_model.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vantor::gui {

class PadlockView;

class LoginWindow : public QDialog {
    Q_OBJECT

  public:
    // The model is loaded (and found visible) by the caller.
    explicit LoginWindow(LoginModel& model, QWidget* parent = nullptr);
    ~LoginWindow() override;

    void Refresh();

  public slots:
    void reject() override;  // Cancel and Esc

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    template <typename Operation>
    void Run(Operation operation);
    QWidget* WidgetOf(LoginModel::Box box) const;

    LoginModel& model_;
    QLineEdit* txtLogin_ = nullptr;
    QLineEdit* txtPassword_ = nullptr;
    QPushButton* LoginButton_ = nullptr;
    QPushButton* CancelB_ = nullptr;
    QPushButton* cmdOptions_ = nullptr;
    QCheckBox* chkChangePassword_ = nullptr;
    PadlockView* picSecurity_ = nullptr;
    QGridLayout* grid_ = nullptr;
    bool optionsShown_ = false;
    bool refreshing_ = false;
    bool cancelled_ = false;
};

}  // namespace vantor::gui
