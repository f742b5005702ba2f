#pragma once
// The user interface of the demo installation's builder: nobody watches it build, so nothing
// is shown; every question takes its default button. A message that was shown is kept, so that
// a failure the builder reports can say why.

#include <string>
#include <vector>

#include "common/user_interface.h"

namespace vantor::demo {

class SilentUserInterface : public UserInterface {
  public:
    std::vector<std::string> messages;  // texts of the message boxes, in order

    MessageResult ShowMessage(const MessageRequest& request) override;
    InputBoxResult InputBox(const InputBoxRequest&) override { return {}; }
    std::optional<std::string> ChooseOpenFile(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> ChooseSaveFile(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> BrowseForFolder(const std::string&, const std::string&) override {
        return {};
    }
    MouseCursor SetCursor(MouseCursor cursor) override;
    void ProcessEvents() override {}
    void ShowImportProgress(bool) override {}
    void SetImportProgressText(ImportProgressLabel, const std::string&) override {}
    void SetImportProgressValue(ImportProgressBar, int, int) override {}
    void ShowDatabaseProgress(bool) override {}
    void SetDatabaseProgressTask(const std::string&) override {}
    void SetDatabaseProgressText(const std::string&) override {}
    void SetDatabaseProgressValue(int, int) override {}
    void ShowTextFile(const std::string&, const std::string&) override {}
    void ShowTextFileModal(const std::string&, const std::string&) override {}
    void ShowText(const std::string&, const std::string&) override {}
    void SetStartupStatus(const std::string&) override {}
    int ScreenWidth() override { return 1024; }
    int ScreenHeight() override { return 768; }

  private:
    MouseCursor cursor_ = MouseCursor::Default;
};

}  // namespace vantor::demo
