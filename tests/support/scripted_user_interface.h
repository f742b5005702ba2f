#pragma once
// A UserInterface for tests: it records everything the core shows and answers from queues.
// An empty answer queue gives the default button, a cancelled input box or picker, and
// "cancelled" for the start-up dialogs unless a handler is installed for them.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "common/user_interface.h"
#include "session/dialogs.h"

namespace vantor {

class ScriptedUserInterface : public UserInterface, public Dialogs {
public:
    struct ShownMessage {
        MessageRequest request;
        MessageResult answer;
    };
    struct ShownFile {
        std::string caption;
        std::string path;      // "" for a text the program made (ShowText)
        std::string contents;  // read when shown, since the caller may change the file later
        bool modal = false;    // shown modally over the main window
    };

    // Answers, used in order.
    std::deque<MessageResult> messageAnswers;
    std::deque<InputBoxResult> inputAnswers;
    std::deque<std::optional<std::string>> fileAnswers;    // open and save pickers
    std::deque<std::optional<std::string>> folderAnswers;  // folder picker

    // Start-up dialog handlers; a missing handler means the dialog was cancelled.
    std::function<bool(ConfigSetModel&)> onConfigSet;
    std::function<bool(FileLocationsModel&)> onFileLocations;
    std::function<bool(LoginModel&)> onLogin;
    std::function<bool(ChangePasswordModel&)> onChangePassword;
    std::function<std::string(const std::string& searchDirectory, const std::string& typeTag)>
        onChooseDatabase;
    std::function<std::string(const std::string& tag)> onBrowseCarts;
    // The picker's handler sets the model's tag; a missing handler leaves it as it was.
    std::function<void(DateHourPickerModel&)> onDateHourPicker;
    std::function<void()> onImportSettings;
    std::function<void(const std::string& databasePath)> onPlayoutSettings;

    bool showsProgress = true;  // false: an unattended run, nobody sees the progress windows
    int screenWidth = 1024;
    int screenHeight = 768;

    // What was shown.
    std::vector<ShownMessage> messages;
    std::vector<InputBoxRequest> inputBoxes;
    std::vector<FileDialogRequest> fileDialogs;
    std::vector<ShownFile> shownFiles;
    std::vector<std::string> startupStatus;
    std::vector<std::string> importProgressTexts[3];  // by ImportProgressLabel
    std::vector<std::string> databaseProgressTasks;
    std::vector<std::string> databaseProgressTexts;
    int importProgressValue[2] = {0, 0};
    int importProgressMaximum[2] = {0, 0};
    int databaseProgressValue = 0;
    int databaseProgressMaximum = 0;
    bool importProgressVisible = false;
    bool databaseProgressVisible = false;
    MouseCursor cursor = MouseCursor::Default;
    int eventTurns = 0;

    // Texts of all messages shown so far, in order.
    std::vector<std::string> MessageTexts() const;
    // True when exactly one message was shown and its text begins with prefix (a report,
    // whose end carries the engine's own wording).
    bool ShowedOnly(const std::string& prefix) const;
    // True when some message's text equals the given text exactly.
    bool Showed(const std::string& text) const;
    void Clear();

    MessageResult ShowMessage(const MessageRequest& request) override;
    InputBoxResult InputBox(const InputBoxRequest& request) override;
    std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) override;
    std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) override;
    std::optional<std::string> BrowseForFolder(const std::string& title,
                                               const std::string& startFolder) override;
    MouseCursor SetCursor(MouseCursor newCursor) override;
    void ProcessEvents() override;
    bool ShowsProgress() const override { return showsProgress; }
    void ShowImportProgress(bool visible) override;
    void SetImportProgressText(ImportProgressLabel label, const std::string& text) override;
    void SetImportProgressValue(ImportProgressBar bar, int value, int maximum) override;
    void ShowDatabaseProgress(bool visible) override;
    void SetDatabaseProgressTask(const std::string& text) override;
    void SetDatabaseProgressText(const std::string& text) override;
    void SetDatabaseProgressValue(int value, int maximum) override;
    void ShowTextFile(const std::string& caption, const std::string& path) override;
    void ShowTextFileModal(const std::string& caption, const std::string& path) override;
    void ShowText(const std::string& caption, const std::string& text) override;
    void SetStartupStatus(const std::string& text) override;
    int ScreenWidth() override { return screenWidth; }
    int ScreenHeight() override { return screenHeight; }
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
};

}  // namespace vantor
