#include "headless/headless_user_interface.h"

#include <fstream>
#include <sstream>

#include "common/codepage.h"
#include "common/text.h"
#include "config/file_locations_model.h"

namespace vantor {

namespace {

bool OffersYes(MessageButtons buttons) {
    return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel;
}

}  // namespace

MessageResult HeadlessUserInterface::ShowMessage(const MessageRequest& request) {
    err_ << MessageIconName(request.icon) << ": " << request.text << "\n";
    MessageResult answer = DefaultButtonOf(request);
    if (answerYes_ && OffersYes(request.buttons)) answer = MessageResult::Yes;
    // A box with the one OK button is a notice, not a question; only choices are echoed.
    if (request.buttons != MessageButtons::Ok) err_ << "-> " << MessageResultName(answer) << "\n";
    err_.flush();
    return answer;
}

InputBoxResult HeadlessUserInterface::InputBox(const InputBoxRequest& request) {
    // The input box's default button is OK, which takes the text it was opened with.
    err_ << "input: " << request.prompt << "\n-> " << request.defaultText << "\n";
    err_.flush();
    InputBoxResult result;
    result.cancelled = false;
    result.text = request.defaultText;
    return result;
}

void HeadlessUserInterface::Choice(const std::string& title, const std::string& answer) {
    err_ << "question: " << title << "\n-> " << answer << "\n";
    err_.flush();
}

std::optional<std::string> HeadlessUserInterface::ChooseOpenFile(const FileDialogRequest& request) {
    Choice(request.title, "Cancel");
    return std::nullopt;
}

std::optional<std::string> HeadlessUserInterface::ChooseSaveFile(const FileDialogRequest& request) {
    Choice(request.title, "Cancel");
    return std::nullopt;
}

std::optional<std::string> HeadlessUserInterface::BrowseForFolder(const std::string& title,
                                                                  const std::string&) {
    Choice(title, "Cancel");
    return std::nullopt;
}

MouseCursor HeadlessUserInterface::SetCursor(MouseCursor cursor) {
    MouseCursor previous = cursor_;
    cursor_ = cursor;
    return previous;
}

void HeadlessUserInterface::ShowTextFile(const std::string&, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return;  // the viewer shows an empty page for a missing file
    std::stringstream contents;
    contents << in.rdbuf();
    out_ << Cp1252ToUtf8(contents.str());
    out_.flush();
}

void HeadlessUserInterface::ShowText(const std::string&, const std::string& text) {
    out_ << text;
    out_.flush();
}

bool HeadlessUserInterface::Refuse(const std::string& text) {
    refusedDialog_ = true;
    err_ << "error: " << text << "\n";
    err_.flush();
    return false;
}

bool HeadlessUserInterface::RunConfigSet(ConfigSetModel&) {
    return Refuse(
        "choosing a configuration set needs a person at a display; name the configuration "
        "file with /LI:FILE");
}

bool HeadlessUserInterface::RunFileLocations(FileLocationsModel& model) {
    // Start-up asks for the dialog for two reasons: no data location, or an Audiowall that
    // could not be opened. Point at the setting that is actually missing.
    if (Trim(model.DataLocationText()).empty())
        return Refuse(
            "no data location is set, and the file locations dialog needs a person at a "
            "display; set it with --set-data-location=DIR (or Data= in section "
            "[FileLocations] of the configuration file)");
    return Refuse(
        "the Audiowall could not be opened, and the file locations dialog needs a person at a "
        "display; set the cart directory with --set-cart-directory=DIR (or Carts1= ... in "
        "section [FileLocations] of the configuration file)");
}

bool HeadlessUserInterface::RunLogin(LoginModel&) {
    return Refuse("the login window needs a person at a display; log in with /USER=NAME");
}

bool HeadlessUserInterface::RunChangePassword(ChangePasswordModel&) {
    return Refuse("changing a password needs a person at a display");
}

std::string HeadlessUserInterface::ChooseDatabase(const std::string&, const std::string&) {
    RefuseDatabaseChooser();
    return {};
}

void HeadlessUserInterface::RefuseDatabaseChooser() {
    Refuse(
        "choosing a database needs a person at a display; name it as the first word of the "
        "command line (KORA26.MDB /AUTO /QUIT) or create one with --create-database=NAME.MDB");
}

std::string HeadlessUserInterface::BrowseCarts(const std::string&) {
    // Only the settings dialog browses carts, and it is never shown without a display.
    return {};
}

// The unattended run has no menus and no range buttons; should one of these ever be asked for,
// it is refused as every window that needs a person is.
void HeadlessUserInterface::RunDateHourPicker(DateHourPickerModel&) {
    Refuse("the date and hour picker needs a person at a display");
}

void HeadlessUserInterface::ShowImportSettings() {
    Refuse("the import settings dialog needs a person at a display");
}

void HeadlessUserInterface::EditPlayoutSettings(const std::string&) {
    Refuse("the database settings editor needs a person at a display");
}

}  // namespace vantor
