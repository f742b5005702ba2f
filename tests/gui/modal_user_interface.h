#pragma once
// The scripted user interface with the program's own windows where a person would answer:
// message boxes and the input box are the desktop program's modal dialogs (answered in tests by
// ModalAnswers); everything else is recorded as the scripted interface records it.

#include "support/scripted_user_interface.h"

namespace vantor::testing {

class ModalUserInterface : public ScriptedUserInterface {
  public:
    MessageResult ShowMessage(const MessageRequest& request) override;
    InputBoxResult InputBox(const InputBoxRequest& request) override;
    void ProcessEvents() override;
};

}  // namespace vantor::testing
