#include "modal_user_interface.h"

#include <QApplication>

#include "input_box.h"
#include "message_box.h"

namespace vantor::testing {

MessageResult ModalUserInterface::ShowMessage(const MessageRequest& request) {
    const MessageResult answer = gui::ShowMessageBox(QApplication::activeWindow(), request);
    messages.push_back({request, answer});
    return answer;
}

InputBoxResult ModalUserInterface::InputBox(const InputBoxRequest& request) {
    inputBoxes.push_back(request);
    gui::InputBox box(request, QApplication::activeWindow());
    return box.Run();
}

void ModalUserInterface::ProcessEvents() {
    ++eventTurns;
    QApplication::processEvents();
}

}  // namespace vantor::testing
