#pragma once
// The one seam between the core and whoever sits at the workstation. The Qt windows, the
// headless run and the tests each provide an implementation; the core never shows anything
// except through this interface.

#include <optional>
#include <string>

namespace vantor {

enum class MessageIcon { None, Information, Warning, Error, Question };

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };

enum class MessageResult { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

struct MessageRequest {
    std::string text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    // The button that Enter presses; when it is not among the buttons, the first one is.
    std::optional<MessageResult> defaultButton;
    std::string title;  // empty: the program's title
};

// The first button of a button set, which is the default when none is named.
MessageResult FirstButtonOf(MessageButtons buttons);
// The button a message box presses on Enter: the named default when it belongs to the set,
// otherwise the first button.
MessageResult DefaultButtonOf(const MessageRequest& request);
// Lower-case names used when a message is written as text ("information", "yes", ...).
const char* MessageIconName(MessageIcon icon);
const char* MessageResultName(MessageResult result);

struct InputBoxRequest {
    std::string prompt;
    std::string title;
    std::string defaultText;
    int maxLength = 0;         // 0: no limit
    std::string passwordChar;  // first character masks the input when not empty
};

struct InputBoxResult {
    bool cancelled = true;
    std::string text;  // empty when cancelled, whatever was typed
};

struct FileDialogRequest {
    std::string title;
    std::string filter;  // "Description|*.ext|All Files|*.*"
    std::string initialDirectory;
    std::string defaultName;
    std::string defaultExtension;  // added to a typed name without one ("MDB")
};

enum class MouseCursor { Default, Hourglass };

enum class ImportProgressLabel { OverallProcess, CurrentProcess, CurrentTask };
enum class ImportProgressBar { OverallProcess, CurrentProcess };

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A modal message box; returns the button pressed.
    virtual MessageResult ShowMessage(const MessageRequest& request) = 0;

    // The input box ("frmGoodInputBox").
    virtual InputBoxResult InputBox(const InputBoxRequest& request) = 0;

    // File and folder pickers; nullopt when cancelled.
    virtual std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> BrowseForFolder(const std::string& title,
                                                       const std::string& startFolder) = 0;

    // Sets the mouse pointer and returns the previous one.
    virtual MouseCursor SetCursor(MouseCursor cursor) = 0;

    // Hands control to pending window events, so that a changed label is drawn at once.
    virtual void ProcessEvents() = 0;

    // Whether someone sees the progress windows; an unattended run has nobody to wait for.
    virtual bool ShowsProgress() const { return true; }

    // The import progress window ("Log Import Progress").
    virtual void ShowImportProgress(bool visible) = 0;
    virtual void SetImportProgressText(ImportProgressLabel label, const std::string& text) = 0;
    virtual void SetImportProgressValue(ImportProgressBar bar, int value, int maximum) = 0;

    // The database progress window ("Vantor Kora Interface").
    virtual void ShowDatabaseProgress(bool visible) = 0;
    virtual void SetDatabaseProgressTask(const std::string& text) = 0;
    virtual void SetDatabaseProgressText(const std::string& text) = 0;  // its rich text box
    virtual void SetDatabaseProgressValue(int value, int maximum) = 0;

    // The text file viewer ("Print Preview"), modeless.
    virtual void ShowTextFile(const std::string& caption, const std::string& path) = 0;
    // The same viewer over a file, modal over the main window: returns once it is closed.
    virtual void ShowTextFileModal(const std::string& caption, const std::string& path) = 0;
    // The same viewer over a text the program made (a preview): nothing is read or written
    // until the operator saves it.
    virtual void ShowText(const std::string& caption, const std::string& text) = 0;

    // The status line of the splash window during start-up.
    virtual void SetStartupStatus(const std::string& text) = 0;

    // Size of the screen in pixels (the small-screen warning at start-up).
    virtual int ScreenWidth() = 0;
    virtual int ScreenHeight() = 0;

    // Windows of the program's own (login, file locations, the database chooser, ...) are not
    // opened here but through Dialogs (session/dialogs.h), which sits above the subsystems.

    // Problem reports shown so far (ProblemReport counts them): an unattended run tells its
    // caller that something went wrong even when the work itself went on.
    int ProblemReportsShown() const { return problemReportsShown_; }
    void CountProblemReport() { ++problemReportsShown_; }

private:
    int problemReportsShown_ = 0;
};

// Shows the hourglass for the lifetime of the guard and restores the previous pointer
// afterwards, whichever way the scope is left.
class HourglassGuard {
public:
    explicit HourglassGuard(UserInterface& ui, MouseCursor cursor = MouseCursor::Hourglass)
        : ui_(ui), previous_(ui.SetCursor(cursor)) {}
    ~HourglassGuard() { ui_.SetCursor(previous_); }
    HourglassGuard(const HourglassGuard&) = delete;
    HourglassGuard& operator=(const HourglassGuard&) = delete;

    // The pointer before this guard, for a nested guard that brings it back for a while (a
    // message shown in the middle of a long step).
    MouseCursor Previous() const { return previous_; }

private:
    UserInterface& ui_;
    MouseCursor previous_;
};

// Convenience wrappers for the common message box shapes.
MessageResult ShowInformation(UserInterface& ui, const std::string& text,
                              const std::string& title = "");
MessageResult ShowWarning(UserInterface& ui, const std::string& text,
                          const std::string& title = "");
MessageResult ShowError(UserInterface& ui, const std::string& text,
                        const std::string& title = "");
MessageResult AskQuestion(UserInterface& ui, const std::string& text, MessageButtons buttons,
                          MessageResult defaultButton, const std::string& title = "",
                          MessageIcon icon = MessageIcon::Question);

}  // namespace vantor
