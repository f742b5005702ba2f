#include "qt_user_interface.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "file_dialogs.h"
#include "input_box.h"
#include "message_box.h"
#include "progress_windows.h"
#include "qt_text.h"
#include "screen_placement.h"
#include "splash_window.h"
#include "text_file_viewer.h"

namespace vantor::gui {

namespace {

// Hides the splash window while another window of the program is shown, and shows it again
// once none is left: a window of the start-up that waits for the operator must not lie under a
// window that floats above everything, nor under a status line that speaks of something else.
class SplashStepsAside : public QObject {
  public:
    explicit SplashStepsAside(SplashWindow* splash) : splash_(splash) {
        QCoreApplication::instance()->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::Show && type != QEvent::Hide) return false;
        auto* window = qobject_cast<QWidget*>(watched);
        if (window == nullptr || !IsStartUpWindow(window)) return false;
        if (type == QEvent::Show) {
            if (splash_ && splash_->isVisible()) splash_->hide();
        } else {
            // After the window is gone: the next one may be on its way in the same turn.
            QTimer::singleShot(0, this, [this] { ComeBack(); });
        }
        return false;
    }

  private:
    bool IsStartUpWindow(const QWidget* widget) const {
        if (!widget->isWindow() || widget == splash_) return false;
        switch (widget->windowType()) {
            case Qt::Window:
            case Qt::Dialog:
            case Qt::Sheet:
            case Qt::Tool:
                return true;
            default:  // menus, tooltips, pop-up lists: part of the window they belong to
                return false;
        }
    }

    void ComeBack() {
        if (!splash_ || splash_->isVisible()) return;
        for (const QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible() && IsStartUpWindow(widget)) return;
        splash_->show();
        splash_->raise();
    }

    QPointer<SplashWindow> splash_;
};

}  // namespace

QtUserInterface::QtUserInterface() = default;

QtUserInterface::~QtUserInterface() {
    // The pointer is the application's, not the window's: never leave the hourglass behind.
    if (cursor_ == MouseCursor::Hourglass) QApplication::restoreOverrideCursor();
    delete splashStepsAside_;
    delete splash_;
    delete importProgress_;
    delete databaseProgress_;
}

void QtUserInterface::SetOwner(QWidget* owner) {
    owner_ = owner;
}

QWidget* QtUserInterface::DialogParent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    if (QWidget* active = QApplication::activeWindow(); active && active != splash_) return active;
    // During start-up the splash window steps aside while a message is shown: the message
    // belongs to nobody and is centred on the screen.
    return owner_;
}

void QtUserInterface::ShowSplash() {
    if (!splash_) splash_ = new SplashWindow(SplashWindow::Mode::Splash, nullptr);
    if (!splashStepsAside_) splashStepsAside_ = new SplashStepsAside(splash_);
    splash_->SetFloating(true);
    splash_->adjustSize();
    CenterFormOnMonitor(splash_, owner_);
    splash_->show();
    splash_->raise();
    QCoreApplication::processEvents();
}

SplashWindow* QtUserInterface::Splash() const {
    return splash_;
}

void QtUserInterface::HideSplash() {
    delete splashStepsAside_;
    if (!splash_) return;
    splash_->hide();
    splash_->deleteLater();
    splash_ = nullptr;
}

ImportProgressWindow* QtUserInterface::ImportProgress() {
    if (!importProgress_) importProgress_ = new ImportProgressWindow(owner_);
    return importProgress_;
}

DatabaseProgressWindow* QtUserInterface::DatabaseProgress() {
    if (!databaseProgress_) databaseProgress_ = new DatabaseProgressWindow(owner_);
    return databaseProgress_;
}

MessageResult QtUserInterface::ShowMessage(const MessageRequest& request) {
    // A message always gets the arrow, even in the middle of a long operation.
    const bool hourglass = cursor_ == MouseCursor::Hourglass;
    if (hourglass) QApplication::setOverrideCursor(Qt::ArrowCursor);
    const MessageResult result = ShowMessageBox(DialogParent(), request);
    if (hourglass) QApplication::restoreOverrideCursor();
    return result;
}

InputBoxResult QtUserInterface::InputBox(const InputBoxRequest& request) {
    gui::InputBox box(request, DialogParent());
    return box.Run();
}

std::optional<std::string> QtUserInterface::ChooseOpenFile(const FileDialogRequest& request) {
    return ChooseFile(DialogParent(), request, false);
}

std::optional<std::string> QtUserInterface::ChooseSaveFile(const FileDialogRequest& request) {
    return ChooseFile(DialogParent(), request, true);
}

std::optional<std::string> QtUserInterface::BrowseForFolder(const std::string& title,
                                                            const std::string& startFolder) {
    return ChooseFolder(DialogParent(), title, startFolder);
}

MouseCursor QtUserInterface::SetCursor(MouseCursor cursor) {
    const MouseCursor previous = cursor_;
    if (cursor == previous) return previous;
    if (cursor == MouseCursor::Hourglass)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    cursor_ = cursor;
    return previous;
}

void QtUserInterface::ProcessEvents() {
    QCoreApplication::processEvents();
}

void QtUserInterface::ShowImportProgress(bool visible) {
    if (visible) {
        ImportProgressWindow* window = ImportProgress();
        window->adjustSize();
        CenterFormOnMonitor(window, owner_);
        ShowInFront(window);
        QCoreApplication::processEvents();
    } else if (importProgress_) {
        importProgress_->hide();
    }
}

void QtUserInterface::SetImportProgressText(ImportProgressLabel label, const std::string& text) {
    ImportProgress()->SetText(label, text);
    ProcessEvents();
}

void QtUserInterface::SetImportProgressValue(ImportProgressBar bar, int value, int maximum) {
    ImportProgress()->SetValue(bar, value, maximum);
}

void QtUserInterface::ShowDatabaseProgress(bool visible) {
    if (visible) {
        DatabaseProgressWindow* window = DatabaseProgress();
        window->adjustSize();
        CenterFormOnMonitor(window, owner_);
        ShowInFront(window);
        QCoreApplication::processEvents();
    } else if (databaseProgress_) {
        databaseProgress_->hide();
    }
}

void QtUserInterface::SetDatabaseProgressTask(const std::string& text) {
    DatabaseProgress()->SetTask(text);
    ProcessEvents();
}

void QtUserInterface::SetDatabaseProgressText(const std::string& text) {
    DatabaseProgress()->SetText(text);
    ProcessEvents();
}

void QtUserInterface::SetDatabaseProgressValue(int value, int maximum) {
    DatabaseProgress()->SetValue(value, maximum);
}

TextFileViewer* QtUserInterface::NewViewer(const std::string& caption) {
    // Modeless, one per call, gone when closed.
    auto* viewer = new TextFileViewer(*this, owner_);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setWindowTitle(Q(caption));
    return viewer;
}

void QtUserInterface::ShowTextFile(const std::string& caption, const std::string& path) {
    TextFileViewer* viewer = NewViewer(caption);
    viewer->SetDisplayFileName(path);
    viewer->show();
}

void QtUserInterface::ShowTextFileModal(const std::string& caption, const std::string& path) {
    TextFileViewer* viewer = NewViewer(caption);
    viewer->SetDisplayFileName(path);
    // While it is open the operator works in it: the pointer is an arrow, not the hourglass.
    const bool hourglass = cursor_ == MouseCursor::Hourglass;
    if (hourglass) QApplication::setOverrideCursor(Qt::ArrowCursor);
    viewer->exec();
    if (hourglass) QApplication::restoreOverrideCursor();
}

void QtUserInterface::ShowText(const std::string& caption, const std::string& text) {
    TextFileViewer* viewer = NewViewer(caption);
    viewer->SetDisplayText(text);
    viewer->show();
}

void QtUserInterface::SetStartupStatus(const std::string& text) {
    if (!splash_) return;
    splash_->SetCurrentAction(text);
    ProcessEvents();
}

int QtUserInterface::ScreenWidth() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : 0;
}

int QtUserInterface::ScreenHeight() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() : 0;
}

}  // namespace vantor::gui
