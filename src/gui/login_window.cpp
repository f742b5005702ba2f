#include "login_window.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "key_filter.h"
#include "padlock_dialog_layout.h"
#include "padlock_view.h"
#include "password_boxes.h"
#include "qt_text.h"
#include "select_on_focus.h"

namespace vantor::gui {

namespace {

// Rows of the grid beside the padlock.
constexpr int kLoginRow = 0;
constexpr int kPasswordRow = 1;
constexpr int kOptionsRow = 2;

}  // namespace

LoginWindow::LoginWindow(LoginModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName("frmLogin");
    setWindowTitle(LoginModel::kCaption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // Raised above the other windows when it shows, without taking the focus from them.
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    setModal(true);

    grid_ = new QGridLayout;
    auto* lblLogin = new QLabel("&User Name:", this);
    lblLogin->setObjectName("lblLogin");
    txtLogin_ = new QLineEdit(this);
    txtLogin_->setObjectName("txtLogin");
    lblLogin->setBuddy(txtLogin_);
    auto* lblPassword = new QLabel("&Password:", this);
    lblPassword->setObjectName("lblPassword");
    txtPassword_ = new QLineEdit(this);
    txtPassword_->setObjectName("txtPassword");
    MaskWithAsterisks(txtPassword_);
    lblPassword->setBuddy(txtPassword_);
    chkChangePassword_ = new QCheckBox("After Login, I want to &change my password", this);
    chkChangePassword_->setObjectName("chkChangePassword");

    grid_->addWidget(lblLogin, kLoginRow, 0);
    grid_->addWidget(txtLogin_, kLoginRow, 1);
    grid_->addWidget(lblPassword, kPasswordRow, 0);
    grid_->addWidget(txtPassword_, kPasswordRow, 1);
    grid_->addWidget(chkChangePassword_, kOptionsRow, 0, 1, 2);
    grid_->setColumnStretch(1, 1);
    // Boxes wide enough for the options area's check box, so that opening the options area
    // only makes the window taller.
    const int boxWidth = std::max(chkChangePassword_->sizeHint().width() -
                                      lblLogin->sizeHint().width() - grid_->horizontalSpacing(),
                                  txtLogin_->sizeHint().width());
    txtLogin_->setMinimumWidth(boxWidth);
    txtPassword_->setMinimumWidth(boxWidth);
    const PadlockDialogParts parts = LayOutPadlockDialog(
        this, "Please type in your User Name and Password.", grid_, "LoginButton", "CancelB");
    picSecurity_ = parts.padlock;
    LoginButton_ = parts.buttons.ok;
    CancelB_ = parts.buttons.cancel;
    // Made after OK and Cancel, so that Tab reaches it last; Refresh places it in the grid.
    cmdOptions_ = new QPushButton(this);
    cmdOptions_->setObjectName("cmdOptions");

    for (QLineEdit* box : {txtLogin_, txtPassword_}) {
        FilterKeys(box, &LoginModel::FilterKey);
        SelectAllOnFocus(box);
        box->installEventFilter(this);
    }
    connect(txtLogin_, &QLineEdit::textEdited, this, [this](const QString& text) {
        Run([this, text] { model_.SetLoginText(text.toStdString()); });
    });
    connect(txtPassword_, &QLineEdit::textEdited, this, [this](const QString& text) {
        Run([this, text] { model_.SetPasswordText(text.toStdString()); });
    });
    connect(LoginButton_, &QPushButton::clicked, this, [this] { Run([this] { model_.OK(); }); });
    connect(CancelB_, &QPushButton::clicked, this, [this] { reject(); });
    connect(cmdOptions_, &QPushButton::clicked, this,
            [this] { Run([this] { model_.ToggleOptions(); }); });
    connect(chkChangePassword_, &QCheckBox::toggled, this, [this](bool ticked) {
        if (!refreshing_) Run([this, ticked] { model_.SetChangePasswordTicked(ticked); });
    });
    // The padlock's timer moves the model's animation on; the model announces the change.
    picSecurity_->OnTick([this] { model_.TimerTick(); });
    model_.OnChanged([this] { Refresh(); });

    optionsShown_ = !model_.OptionsOpen();  // lays the options out on the first redraw
    Refresh();
}

LoginWindow::~LoginWindow() {
    model_.OnChanged(nullptr);
}

bool LoginWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) model_.Activate();
    if (event->type() == QEvent::Show) raise();
    return QDialog::event(event);
}

bool LoginWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        if (watched == txtLogin_) model_.SetFocus(LoginModel::Box::txtLogin);
        if (watched == txtPassword_) model_.SetFocus(LoginModel::Box::txtPassword);
    }
    return QDialog::eventFilter(watched, event);
}

void LoginWindow::reject() {
    cancelled_ = true;
    Run([this] { model_.Cancel(); });
}

template <typename Operation>
void LoginWindow::Run(Operation operation) {
    operation();
    Refresh();
    if (!model_.IsVisible() && isVisible()) {
        // Cancel leaves nobody logged in; OK hides the window only once somebody is.
        done(cancelled_ ? QDialog::Rejected : QDialog::Accepted);
    }
}

QWidget* LoginWindow::WidgetOf(LoginModel::Box box) const {
    switch (box) {
        case LoginModel::Box::txtLogin:
            return txtLogin_;
        case LoginModel::Box::txtPassword:
            return txtPassword_;
        case LoginModel::Box::LoginButton:
            return LoginButton_;
    }
    return txtLogin_;
}

void LoginWindow::Refresh() {
    if (refreshing_) return;
    refreshing_ = true;
    txtLogin_->setMaxLength(model_.LoginMaxLength());
    txtPassword_->setMaxLength(model_.PasswordMaxLength());
    if (txtLogin_->text() != Q(model_.LoginText())) txtLogin_->setText(Q(model_.LoginText()));
    if (txtPassword_->text() != Q(model_.PasswordText()))
        txtPassword_->setText(Q(model_.PasswordText()));
    LoginButton_->setEnabled(model_.OkEnabled());

    cmdOptions_->setText(Q(model_.OptionsCaption()));
    chkChangePassword_->setChecked(model_.ChangePasswordTicked());
    if (optionsShown_ != model_.OptionsOpen()) {
        optionsShown_ = model_.OptionsOpen();
        // Closed, the options button stands beside the password box; open, it moves down to
        // the check box, and the window grows by the check box's row.
        grid_->removeWidget(cmdOptions_);
        grid_->addWidget(cmdOptions_, optionsShown_ ? kOptionsRow : kPasswordRow, 2);
        chkChangePassword_->setVisible(optionsShown_);
    }
    picSecurity_->Show(model_.Lock());

    QWidget* focused = WidgetOf(model_.Focus());
    if (isVisible() && focusWidget() != focused &&
        (focusWidget() == txtLogin_ || focusWidget() == txtPassword_ ||
         focusWidget() == LoginButton_ || focusWidget() == nullptr))
        focused->setFocus();
    refreshing_ = false;
}

}  // namespace vantor::gui
