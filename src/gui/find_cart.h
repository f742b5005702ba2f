#pragma once
// The find dialog ("Find a cart on the Audiowall") bound to FindCartModel. A search runs inside
// the Find button's handler and hands events on after every cart, so the window stays usable:
// Stop, a double-click on a match or closing the window act between two carts.

#include <QDialog>
#include <QElapsedTimer>
#include <array>
#include <string>
#include <vector>

#include "audiowall/find_cart_model.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLayout;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTreeWidget;

namespace vantor::gui {

class FindCart : public QDialog {
    Q_OBJECT
  public:
    explicit FindCart(FindCartModel& model, QWidget* parent = nullptr);

    FindCartModel& model() { return model_; }
    void Refresh();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void reject() override;

  private:
    QWidget* BuildBasicTab();
    QWidget* BuildAdvancedTab();
    QLayout* BuildSearchColumn();
    void BuildResultsList();
    // Every control forwards to the model; Ctrl+Tab changes the tab from anywhere.
    void ConnectControls();
    void RefreshRows();
    void SizeColumns();
    // Where a column of the model's rows shows in the list (its sort column does not show).
    static int WidgetColumn(FindCartModel::Column column);

    FindCartModel& model_;
    QTabWidget* tabs_ = nullptr;
    QComboBox* cmbSearchText_ = nullptr;
    QComboBox* cmbSearchDirection_ = nullptr;
    QCheckBox* chkSearchFromStart_ = nullptr;
    QCheckBox* chkNotes_ = nullptr;
    QCheckBox* chkTimeSearch_ = nullptr;
    std::vector<QWidget*> timeRuleWidgets_;
    QLineEdit* mskLength_ = nullptr;
    QComboBox* comboLength_ = nullptr;
    QCheckBox* chkLimitLines_ = nullptr;
    std::array<QCheckBox*, 3> chkLine_{};
    QPushButton* cmdFind_ = nullptr;
    QPushButton* cmdStop_ = nullptr;
    QLabel* lblCart_ = nullptr;
    QLabel* lblCartNumber_ = nullptr;
    QProgressBar* aniFind_ = nullptr;
    QTreeWidget* lviewItems_ = nullptr;
    std::vector<std::string> shownKeys_;
    QElapsedTimer rowsShown_;  // since the list last took the model's rows
    bool refreshing_ = false;
};

}  // namespace vantor::gui
