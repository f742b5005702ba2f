#pragma once
// The Qt implementation of the seam between the core and the person at the workstation:
// message boxes, the input box, file and folder pickers, the hourglass, the two progress
// windows, the text file viewer and the splash window's status line.

#include <QPointer>
#include <memory>

#include "common/user_interface.h"

class QWidget;

namespace vantor::gui {

class DatabaseProgressWindow;
class ImportProgressWindow;
class SplashWindow;
class TextFileViewer;

class QtUserInterface : public UserInterface {
  public:
    QtUserInterface();
    ~QtUserInterface() override;
    QtUserInterface(const QtUserInterface&) = delete;
    QtUserInterface& operator=(const QtUserInterface&) = delete;

    // The window the dialogs and progress windows belong to (the main window once it exists).
    void SetOwner(QWidget* owner);
    QWidget* Owner() const { return owner_; }
    // The window a dialog opened now belongs to: the modal dialog in front, else the active
    // window, else the owner.
    QWidget* DialogParent() const;

    // The splash window of the start-up; its status line shows SetStartupStatus. It floats above
    // other programs' windows, but steps aside (hides) while any window of the start-up is on
    // the screen (a message, the login window, the chooser, ...), so that it never covers the
    // window that waits for the operator, and comes back when that window has closed.
    void ShowSplash();
    void HideSplash();
    SplashWindow* Splash() const;

    ImportProgressWindow* ImportProgress();
    DatabaseProgressWindow* DatabaseProgress();

    MessageResult ShowMessage(const MessageRequest& request) override;
    InputBoxResult InputBox(const InputBoxRequest& request) override;
    std::optional<std::string> ChooseOpenFile(const FileDialogRequest& request) override;
    std::optional<std::string> ChooseSaveFile(const FileDialogRequest& request) override;
    std::optional<std::string> BrowseForFolder(const std::string& title,
                                               const std::string& startFolder) override;
    MouseCursor SetCursor(MouseCursor cursor) override;
    void ProcessEvents() override;
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
    int ScreenWidth() override;
    int ScreenHeight() override;

  private:
    TextFileViewer* NewViewer(const std::string& caption);
    QPointer<QWidget> owner_;
    QPointer<SplashWindow> splash_;
    QPointer<QObject> splashStepsAside_;
    QPointer<ImportProgressWindow> importProgress_;
    QPointer<DatabaseProgressWindow> databaseProgress_;
    MouseCursor cursor_ = MouseCursor::Default;
};

}  // namespace vantor::gui
