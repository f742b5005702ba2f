#include "demo/silent_user_interface.h"

namespace vantor::demo {

MessageResult SilentUserInterface::ShowMessage(const MessageRequest& request) {
    messages.push_back(request.text);
    return DefaultButtonOf(request);
}

MouseCursor SilentUserInterface::SetCursor(MouseCursor cursor) {
    MouseCursor previous = cursor_;
    cursor_ = cursor;
    return previous;
}

}  // namespace vantor::demo
