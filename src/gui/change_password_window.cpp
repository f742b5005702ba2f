#include "change_password_window.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "key_filter.h"
#include "padlock_dialog_layout.h"
#include "padlock_view.h"
#include "password_boxes.h"
#include "select_on_focus.h"

namespace vantor::gui {

using Box = ChangePasswordModel::Box;

ChangePasswordWindow::ChangePasswordWindow(ChangePasswordModel& model, QWidget* parent)
    : QDialog(parent), model_(model) {
    setObjectName("frmChangePassword");
    setWindowTitle(ChangePasswordModel::kCaption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // Kept above every other window until it closes.
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setModal(true);

    auto* form = new QFormLayout;
    const struct {
        Box box;
        const char* name;
        const char* label;
        QLineEdit** member;
    } boxes[] = {
        {Box::txtOldPassword, "txtOldPassword", "&Old password:", &txtOldPassword_},
        {Box::txtNewPassword, "txtNewPassword", "&New password:", &txtNewPassword_},
        {Box::txtReNewPassword, "txtReNewPassword", "Con&firm new password:", &txtReNewPassword_},
    };
    for (const auto& entry : boxes) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(entry.name);
        edit->setMaxLength(ChangePasswordModel::kMaxLength);
        MaskWithAsterisks(edit);
        FilterKeys(edit, &ChangePasswordModel::FilterKey);
        SelectAllOnFocus(edit);
        auto* label = new QLabel(entry.label, this);
        label->setBuddy(edit);
        form->addRow(label, edit);
        *entry.member = edit;
        const Box box = entry.box;
        connect(edit, &QLineEdit::textEdited, this, [this, box](const QString& text) {
            Run([this, box, text] { model_.SetText(box, text.toStdString()); });
        });
    }
    const PadlockDialogParts parts = LayOutPadlockDialog(
        this, "Please enter the information required below.", form, "OKB", "Cancel");
    picSecurity_ = parts.padlock;
    OKB_ = parts.buttons.ok;
    Cancel_ = parts.buttons.cancel;

    connect(OKB_, &QPushButton::clicked, this, [this] { Run([this] { model_.OK(); }, true); });
    connect(Cancel_, &QPushButton::clicked, this, [this] { reject(); });
    // The padlock's timer moves the model's animation on; the model announces the change.
    picSecurity_->OnTick([this] { model_.TimerTick(); });
    model_.OnChanged([this] { Refresh(); });
    setMinimumWidth(360);
    Refresh(true);
}

ChangePasswordWindow::~ChangePasswordWindow() {
    model_.OnChanged(nullptr);
}

void ChangePasswordWindow::reject() {
    cancelled_ = true;
    Run([this] { model_.Cancel(); });
}

template <typename Operation>
void ChangePasswordWindow::Run(Operation operation, bool moveFocus) {
    operation();
    Refresh(moveFocus);
    if (model_.IsClosed() && isVisible())
        done(cancelled_ || !model_.PasswordChanged() ? QDialog::Rejected : QDialog::Accepted);
}

QLineEdit* ChangePasswordWindow::BoxOf(Box box) const {
    switch (box) {
        case Box::txtNewPassword:
            return txtNewPassword_;
        case Box::txtReNewPassword:
            return txtReNewPassword_;
        default:
            return txtOldPassword_;
    }
}

void ChangePasswordWindow::Refresh(bool moveFocus) {
    for (Box box : {Box::txtOldPassword, Box::txtNewPassword, Box::txtReNewPassword}) {
        QLineEdit* edit = BoxOf(box);
        const QString text = QString::fromStdString(model_.Text(box));
        if (edit->text() != text) edit->setText(text);
    }
    picSecurity_->Show(model_.Lock());
    if (moveFocus) {
        if (model_.Focus() == Box::OKB)
            OKB_->setFocus();
        else
            BoxOf(model_.Focus())->setFocus();
    }
}

}  // namespace vantor::gui
