#include "common/user_interface.h"

namespace vantor {

MessageResult FirstButtonOf(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok:
        case MessageButtons::OkCancel:
            return MessageResult::Ok;
        case MessageButtons::YesNo:
        case MessageButtons::YesNoCancel:
            return MessageResult::Yes;
        case MessageButtons::RetryCancel:
            return MessageResult::Retry;
        case MessageButtons::AbortRetryIgnore:
            return MessageResult::Abort;
    }
    return MessageResult::Ok;
}

static bool ButtonBelongs(MessageButtons buttons, MessageResult button) {
    switch (buttons) {
        case MessageButtons::Ok:
            return button == MessageResult::Ok;
        case MessageButtons::OkCancel:
            return button == MessageResult::Ok || button == MessageResult::Cancel;
        case MessageButtons::YesNo:
            return button == MessageResult::Yes || button == MessageResult::No;
        case MessageButtons::YesNoCancel:
            return button == MessageResult::Yes || button == MessageResult::No ||
                   button == MessageResult::Cancel;
        case MessageButtons::RetryCancel:
            return button == MessageResult::Retry || button == MessageResult::Cancel;
        case MessageButtons::AbortRetryIgnore:
            return button == MessageResult::Abort || button == MessageResult::Retry ||
                   button == MessageResult::Ignore;
    }
    return false;
}

MessageResult DefaultButtonOf(const MessageRequest& request) {
    if (request.defaultButton && ButtonBelongs(request.buttons, *request.defaultButton))
        return *request.defaultButton;
    return FirstButtonOf(request.buttons);
}

const char* MessageIconName(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return "information";
        case MessageIcon::Warning:
            return "warning";
        case MessageIcon::Error:
            return "error";
        case MessageIcon::Question:
            return "question";
        case MessageIcon::None:
            break;
    }
    return "message";
}

const char* MessageResultName(MessageResult result) {
    switch (result) {
        case MessageResult::Ok:
            return "OK";
        case MessageResult::Cancel:
            return "Cancel";
        case MessageResult::Yes:
            return "Yes";
        case MessageResult::No:
            return "No";
        case MessageResult::Retry:
            return "Retry";
        case MessageResult::Abort:
            return "Abort";
        case MessageResult::Ignore:
            return "Ignore";
    }
    return "OK";
}

static MessageResult Show(UserInterface& ui, const std::string& text, const std::string& title,
                          MessageIcon icon) {
    MessageRequest request;
    request.text = text;
    request.title = title;
    request.icon = icon;
    return ui.ShowMessage(request);
}

MessageResult ShowInformation(UserInterface& ui, const std::string& text,
                              const std::string& title) {
    return Show(ui, text, title, MessageIcon::Information);
}

MessageResult ShowWarning(UserInterface& ui, const std::string& text, const std::string& title) {
    return Show(ui, text, title, MessageIcon::Warning);
}

MessageResult ShowError(UserInterface& ui, const std::string& text, const std::string& title) {
    return Show(ui, text, title, MessageIcon::Error);
}

MessageResult AskQuestion(UserInterface& ui, const std::string& text, MessageButtons buttons,
                          MessageResult defaultButton, const std::string& title,
                          MessageIcon icon) {
    MessageRequest request;
    request.text = text;
    request.title = title;
    request.icon = icon;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    return ui.ShowMessage(request);
}

}  // namespace vantor
