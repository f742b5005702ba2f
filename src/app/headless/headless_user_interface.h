#pragma once
// The UserInterface of the unattended run: nobody sits at the workstation, so every message
// box is written to standard error as "<kind>: <text>" and a question takes its default
// button, written as "-> <button>". The text file viewer prints its file to standard output.
// The start-up dialogs that need a person (configuration set, file locations, login,
// database chooser) are refused with a message that says what to pass instead.

#include <ostream>
#include <string>

#include "common/user_interface.h"
#include "session/dialogs.h"

namespace vantor {

class HeadlessUserInterface : public UserInterface, public Dialogs {
  public:
    HeadlessUserInterface(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    // While set, a question that offers Yes is answered Yes ("--yes" for a menu item's
    // confirmation questions).
    void SetAnswerYes(bool answerYes) { answerYes_ = answerYes; }
    // Says that the database chooser needs a person, and what to do instead.
    void RefuseDatabaseChooser();
    // True once a start-up dialog had to be refused.
    bool RefusedDialog() const { return refusedDialog_; }

    MessageResult ShowMessage(const MessageRequest& request) override;
    InputBoxResult InputBox(const InputBoxRequest& request) override;
    std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) override;
    std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) override;
    std::optional<std::string> BrowseForFolder(const std::string& title,
                                               const std::string& startFolder) override;
    MouseCursor SetCursor(MouseCursor cursor) override;
    void ProcessEvents() override {}
    bool ShowsProgress() const override { return false; }
    void ShowImportProgress(bool) override {}
    void SetImportProgressText(ImportProgressLabel, const std::string&) override {}
    void SetImportProgressValue(ImportProgressBar, int, int) override {}
    void ShowDatabaseProgress(bool) override {}
    void SetDatabaseProgressTask(const std::string&) override {}
    void SetDatabaseProgressText(const std::string&) override {}
    void SetDatabaseProgressValue(int, int) override {}
    void ShowTextFile(const std::string& caption, const std::string& path) override;
    // Nobody waits on a window here: the file is printed as the modeless viewer's is.
    void ShowTextFileModal(const std::string& caption, const std::string& path) override {
        ShowTextFile(caption, path);
    }
    void ShowText(const std::string& caption, const std::string& text) override;
    void SetStartupStatus(const std::string&) override {}
    // No screen: report one large enough that no small-screen warning is due.
    int ScreenWidth() override { return 1024; }
    int ScreenHeight() override { return 768; }
    // The program's own windows (Dialogs).
    bool RunConfigSet(ConfigSetModel& model) override;
    bool RunFileLocations(FileLocationsModel& model) override;
    bool RunLogin(LoginModel& model) override;
    bool RunChangePassword(ChangePasswordModel& model) override;
    std::string ChooseDatabase(const std::string& searchDirectory,
                               const std::string& typeTag) override;
    std::string BrowseCarts(const std::string& tag) override;
    void RunDateHourPicker(DateHourPickerModel& model) override;
    void ShowImportSettings() override;
    void EditPlayoutSettings(const std::string& databasePath) override;

  private:
    bool Refuse(const std::string& text);
    void Choice(const std::string& title, const std::string& answer);

    std::ostream& out_;
    std::ostream& err_;
    bool answerYes_ = false;
    bool refusedDialog_ = false;
    MouseCursor cursor_ = MouseCursor::Default;
};

}  // namespace vantor
