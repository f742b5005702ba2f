#pragma once
// The cart browser window ("Cart Browser"): a column of cart slots bound to CartBrowserModel.
// It stays above the other windows and is hidden, not destroyed, between uses.

#include <QWidget>
#include <vector>

#include "audiowall/cart_browser_model.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace vantor::gui {

class CartBrowser : public QWidget {
    Q_OBJECT
  public:
    explicit CartBrowser(CartBrowserModel& model, QWidget* parent = nullptr);

    CartBrowserModel& model() { return model_; }
    // Copies the model's state into the widgets.
    void Refresh();

  signals:
    // The browser hid itself: a choice was made or cancelled.
    void choiceEnded();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    struct SlotWidgets {
        QPushButton* number = nullptr;
        QLabel* panel = nullptr;
    };

    void LayOutSlots();
    void MatchSlotWidgets();
    int PanelHeight() const;
    bool HandleKey(QKeyEvent* event);
    void PlaceWindow();
    int SlotOfWidget(QObject* widget) const;

    CartBrowserModel& model_;
    QLineEdit* txtCartNumber_ = nullptr;
    QPushButton* cmdJumpCart_ = nullptr;
    QPushButton* cmdFindCart_ = nullptr;
    QWidget* slotArea_ = nullptr;
    QPushButton* cmdSmallScroll_[2] = {};
    QPushButton* cmdBigScroll_[2] = {};
    QCheckBox* chkDouble_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QStatusBar* status_ = nullptr;
    std::vector<SlotWidgets> slots_;
    const QKeyEvent* previewedKey_ = nullptr;  // seen by eventFilter, on its way to the window
    bool refreshing_ = false;
    bool wasVisible_ = false;
    int rightEdge_ = -1;  // where the window's right edge was when it last hid
};

}  // namespace vantor::gui
