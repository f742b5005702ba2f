#include "support/scripted_user_interface.h"

#include <fstream>
#include <sstream>

namespace vantor {

std::vector<std::string> ScriptedUserInterface::MessageTexts() const {
    std::vector<std::string> texts;
    texts.reserve(messages.size());
    for (const auto& m : messages) texts.push_back(m.request.text);
    return texts;
}

bool ScriptedUserInterface::ShowedOnly(const std::string& prefix) const {
    return messages.size() == 1 && messages[0].request.text.rfind(prefix, 0) == 0;
}

bool ScriptedUserInterface::Showed(const std::string& text) const {
    for (const auto& m : messages)
        if (m.request.text == text) return true;
    return false;
}

void ScriptedUserInterface::Clear() {
    messages.clear();
    inputBoxes.clear();
    fileDialogs.clear();
    shownFiles.clear();
    startupStatus.clear();
    for (auto& t : importProgressTexts) t.clear();
    databaseProgressTasks.clear();
    databaseProgressTexts.clear();
}

MessageResult ScriptedUserInterface::ShowMessage(const MessageRequest& request) {
    MessageResult answer = DefaultButtonOf(request);
    if (!messageAnswers.empty()) {
        answer = messageAnswers.front();
        messageAnswers.pop_front();
    }
    messages.push_back({request, answer});
    return answer;
}

InputBoxResult ScriptedUserInterface::InputBox(const InputBoxRequest& request) {
    inputBoxes.push_back(request);
    if (inputAnswers.empty()) return InputBoxResult{};
    InputBoxResult answer = inputAnswers.front();
    inputAnswers.pop_front();
    if (answer.cancelled) answer.text.clear();
    return answer;
}

std::optional<std::string> ScriptedUserInterface::ChooseOpenFile(const FileDialogRequest& request) {
    fileDialogs.push_back(request);
    if (fileAnswers.empty()) return std::nullopt;
    auto answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedUserInterface::ChooseSaveFile(const FileDialogRequest& request) {
    return ChooseOpenFile(request);
}

std::optional<std::string> ScriptedUserInterface::BrowseForFolder(const std::string& title,
                                                                  const std::string& startFolder) {
    fileDialogs.push_back(FileDialogRequest{title, "", startFolder, "", ""});
    if (folderAnswers.empty()) return std::nullopt;
    auto answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}

MouseCursor ScriptedUserInterface::SetCursor(MouseCursor newCursor) {
    MouseCursor previous = cursor;
    cursor = newCursor;
    return previous;
}

void ScriptedUserInterface::ProcessEvents() { ++eventTurns; }

void ScriptedUserInterface::ShowImportProgress(bool visible) { importProgressVisible = visible; }

void ScriptedUserInterface::SetImportProgressText(ImportProgressLabel label,
                                                  const std::string& text) {
    importProgressTexts[static_cast<int>(label)].push_back(text);
    ProcessEvents();
}

void ScriptedUserInterface::SetImportProgressValue(ImportProgressBar bar, int value, int maximum) {
    importProgressValue[static_cast<int>(bar)] = value;
    importProgressMaximum[static_cast<int>(bar)] = maximum;
}

void ScriptedUserInterface::ShowDatabaseProgress(bool visible) { databaseProgressVisible = visible; }

void ScriptedUserInterface::SetDatabaseProgressTask(const std::string& text) {
    databaseProgressTasks.push_back(text);
    ProcessEvents();
}

void ScriptedUserInterface::SetDatabaseProgressText(const std::string& text) {
    databaseProgressTexts.push_back(text);
}

void ScriptedUserInterface::SetDatabaseProgressValue(int value, int maximum) {
    databaseProgressValue = value;
    databaseProgressMaximum = maximum;
}

void ScriptedUserInterface::ShowTextFile(const std::string& caption, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream contents;
    if (in) contents << in.rdbuf();
    shownFiles.push_back({caption, path, contents.str()});
}

void ScriptedUserInterface::ShowTextFileModal(const std::string& caption,
                                              const std::string& path) {
    ShowTextFile(caption, path);
    shownFiles.back().modal = true;
}

void ScriptedUserInterface::ShowText(const std::string& caption, const std::string& text) {
    shownFiles.push_back({caption, "", text});
}

void ScriptedUserInterface::SetStartupStatus(const std::string& text) {
    startupStatus.push_back(text);
}

bool ScriptedUserInterface::RunConfigSet(ConfigSetModel& model) {
    return onConfigSet ? onConfigSet(model) : false;
}

bool ScriptedUserInterface::RunFileLocations(FileLocationsModel& model) {
    return onFileLocations ? onFileLocations(model) : false;
}

bool ScriptedUserInterface::RunLogin(LoginModel& model) {
    return onLogin ? onLogin(model) : false;
}

bool ScriptedUserInterface::RunChangePassword(ChangePasswordModel& model) {
    return onChangePassword ? onChangePassword(model) : false;
}

std::string ScriptedUserInterface::ChooseDatabase(const std::string& searchDirectory,
                                                  const std::string& typeTag) {
    return onChooseDatabase ? onChooseDatabase(searchDirectory, typeTag) : std::string();
}

std::string ScriptedUserInterface::BrowseCarts(const std::string& tag) {
    return onBrowseCarts ? onBrowseCarts(tag) : std::string();
}

void ScriptedUserInterface::RunDateHourPicker(DateHourPickerModel& model) {
    if (onDateHourPicker) onDateHourPicker(model);
}

void ScriptedUserInterface::ShowImportSettings() {
    if (onImportSettings) onImportSettings();
}

void ScriptedUserInterface::EditPlayoutSettings(const std::string& databasePath) {
    if (onPlayoutSettings) onPlayoutSettings(databasePath);
}

}  // namespace vantor
