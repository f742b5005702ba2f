#pragma once
// The date and hour picker, frmSelectHour: a month list, the year with its scroll bar, a day
// grid of seven columns from Sunday, the day scroll bar, the hour field with its clock face
// and morning and afternoon indicators, the minutes field when asked for, OK and Cancel.
// The caller hands in a model holding the tag; after the picker closes the tag holds the
// chosen hour stamp, or nothing when the operator cancelled.

#include <QDialog>
#include <array>

#include "common/date_hour_picker_model.h"

class QLabel;
class QLayout;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;

namespace vantor::gui {

class ClockFace;
class DayGrid;
class HalfDayIndicator;

class DateHourPicker : public QDialog {
    Q_OBJECT
  public:
    DateHourPicker(DateHourPickerModel& model, QWidget* owner);

    // Copies the model's state into the controls.
    void Refresh();

    void accept() override;  // OK
    void reject() override;  // Cancel, Escape, the close box

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildMonthList();
    QLayout* BuildCalendar();
    QLayout* BuildTime();
    QLayout* BuildButtons();
    // Every control forwards to the model and redraws from it.
    void ConnectControls();

    DateHourPickerModel& model_;
    bool refreshing_ = false;
    QListWidget* months_;
    QLabel* year_;
    QScrollBar* yearBar_;
    QScrollBar* dayBar_;
    DayGrid* days_;
    QLabel* hourLabel_;
    QLineEdit* hour_;
    ClockFace* clock_;
    HalfDayIndicator* morning_;
    HalfDayIndicator* afternoon_;
    QLabel* morningLabel_;
    QLabel* afternoonLabel_;
    QLabel* minutesLabel_;
    QLineEdit* minutes_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace vantor::gui
