#include "modal_user_interface.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace vantor::testing {

namespace {

QMessageBox::StandardButton ButtonOf(MessageResult result) {
    switch (result) {
        case MessageResult::Ok:
            return QMessageBox::Ok;
        case MessageResult::Cancel:
            return QMessageBox::Cancel;
        case MessageResult::Yes:
            return QMessageBox::Yes;
        case MessageResult::No:
            return QMessageBox::No;
        case MessageResult::Retry:
            return QMessageBox::Retry;
        case MessageResult::Abort:
            return QMessageBox::Abort;
        case MessageResult::Ignore:
            return QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButtons ButtonsOf(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok:
            return QMessageBox::Ok;
        case MessageButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MessageButtons::RetryCancel:
            return QMessageBox::Retry | QMessageBox::Cancel;
        case MessageButtons::AbortRetryIgnore:
            return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

MessageResult ModalUserInterface::ShowMessage(const MessageRequest& request) {
    QMessageBox box(IconOf(request.icon), QString::fromStdString(request.title),
                    QString::fromStdString(request.text), ButtonsOf(request.buttons),
                    QApplication::activeWindow());
    box.setDefaultButton(ButtonOf(DefaultButtonOf(request)));
    auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    MessageResult answer = DefaultButtonOf(request);
    for (MessageResult candidate :
         {MessageResult::Ok, MessageResult::Cancel, MessageResult::Yes, MessageResult::No,
          MessageResult::Retry, MessageResult::Abort, MessageResult::Ignore}) {
        if (ButtonOf(candidate) == pressed) answer = candidate;
    }
    messages.push_back({request, answer});
    return answer;
}

InputBoxResult ModalUserInterface::InputBox(const InputBoxRequest& request) {
    inputBoxes.push_back(request);
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(QString::fromStdString(request.title));
    dialog.setLabelText(QString::fromStdString(request.prompt));
    dialog.setTextValue(QString::fromStdString(request.defaultText));
    if (!request.passwordChar.empty()) dialog.setTextEchoMode(QLineEdit::Password);
    InputBoxResult result;
    if (dialog.exec() == QDialog::Accepted) {
        result.cancelled = false;
        result.text = dialog.textValue().toStdString();
    }
    return result;
}

void ModalUserInterface::ProcessEvents() {
    ++eventTurns;
    QApplication::processEvents();
}

}  // namespace vantor::testing
