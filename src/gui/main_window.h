#pragma once
// The main window, frmLogImport: how far schedules exist in the playout log, the date and hour
// range of the import, "Begin Importing" and the menus. It forwards every event to its model
// and redraws from it; while an operation runs, everything that could start another one is
// disabled. Closing it, by any way, runs the model's closing steps and closes every other
// window of the program.

#include <QMainWindow>
#include <functional>

#include "importer/import_run.h"

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vantor {
class LogImportModel;
}

namespace vantor::gui {

class QtDialogs;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // The window is the owner the dialogs are shown over while it exists.
    MainWindow(LogImportModel& model, QtDialogs& dialogs);
    ~MainWindow() override;

    // Copies the model's state into the controls.
    void Refresh();
    // The "/AUTO" step of the start-up: an import as if "Begin Importing" had been pressed,
    // and with "/QUIT" the window closes afterwards. Returns how the import went.
    ImportRunResult AutoStart();
    bool Busy() const { return busy_; }

  signals:
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildMenus();
    QWidget* BuildControls();
    // Runs one operation with the controls disabled; a close asked for meanwhile follows it.
    void RunBusy(const std::function<void()>& operation);
    void FieldLeft(QLineEdit* field);
    void ShowAbout();

    LogImportModel& model_;
    QtDialogs& dialogs_;
    bool busy_ = false;
    bool closeRequested_ = false;
    bool closing_ = false;

    QLabel* scheduledUntil_;
    QPushButton* startButton_;
    QPushButton* endButton_;
    QLineEdit* startDate_;
    QLineEdit* startHour_;
    QLineEdit* startMinutes_;
    QLineEdit* endDate_;
    QLineEdit* endHour_;
    QLineEdit* endMinutes_;
    QLabel* startDay_;
    QLabel* endDay_;
    QPushButton* schedule_;
    QAction* removeRange_;
    QAction* removeAll_;
    QAction* reSend_;
    QAction* preview_;
};

}  // namespace vantor::gui
