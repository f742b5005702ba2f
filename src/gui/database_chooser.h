#pragma once
// The database chooser window (frmChooseDatabase), bound to its model: the databases of one
// kind as large icons, small icons, a list or details, the Options menu that manages them
// (also as the list's pop-up menu), and the status panel of a running copy.

#include <QDialog>

#include "dbmanage/database_chooser_model.h"

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;
class QStackedWidget;
class QTreeWidget;

namespace vantor::gui {

class DatabaseChooser : public QDialog {
    Q_OBJECT

  public:
    // The model's directory, kind and edit permission are set by the caller beforehand.
    explicit DatabaseChooser(DatabaseChooserModel& model, QWidget* parent = nullptr);
    ~DatabaseChooser() override;

    // Copies the model's state into the widgets.
    void Refresh();

    // The widget that shows the list in the current view (the icon list or the details).
    QWidget* CurrentListView() const;

  public slots:
    // OK, Cancel and Esc go through the model; the close box does nothing.
    void reject() override {}

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* BuildDatabaseViews();
    QWidget* BuildStatusPanel();
    void BuildMenus(QMenuBar* bar);
    // The buttons, the two views and their header forward to the model.
    void ConnectControls();
    void Activated();
    // Runs a model operation and redraws; closes the window when the model hid it.
    template <typename Operation>
    void Run(Operation operation);
    void FillViews();
    void ShowOptionsMenu(QWidget* view, const QPoint& position);
    void CurrentRowChanged(int row);
    // Sends a key again as Alt + key: presses what the window offers under that access key.
    void SendWithAlt(int key);

    DatabaseChooserModel& model_;
    QLabel* prompt_ = nullptr;
    QStackedWidget* lViewDatabases_ = nullptr;
    QListWidget* iconView_ = nullptr;
    QTreeWidget* detailsView_ = nullptr;
    QFrame* pnlStatus_ = nullptr;
    QLabel* lblFirstLine_ = nullptr;
    QLabel* lblSecondLine_ = nullptr;
    QPushButton* cmdOK_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QMenu* mnuOptions_ = nullptr;
    QMenu* mnuView_ = nullptr;
    QAction* mnuNewDatabase_ = nullptr;
    QAction* mnuChangeDescription_ = nullptr;
    QAction* mnuCopyDatabase_ = nullptr;
    QAction* mnuChangeFilename_ = nullptr;
    QAction* mnuDeleteDatabase_ = nullptr;
    QAction* mnuImportWindowsDatabase_ = nullptr;
    QAction* viewActions_[4] = {};
    QActionGroup* viewGroup_ = nullptr;
    // What the views were last filled with, so that a redraw keeps them when nothing changed.
    std::vector<ChooserItem> shown_;
    bool refreshing_ = false;
};

}  // namespace vantor::gui
