#pragma once
// The date and hour picker, frmSelectHour: a month calendar and an hour of the chosen day
// (optionally with minutes). It exchanges its value with the caller through one text, the
// hour stamp: the day's serial number in five digits immediately followed by the hour, and
// ":" and the minutes when minutes were asked for ("4564714", "4564714:30"). An empty stamp
// means nothing was chosen.
//
// The model holds the calendar's state; the window draws it and forwards clicks and keys.

#include <array>
#include <string>

namespace vantor {

class Clock;

class DateHourPickerModel {
  public:
    static constexpr const char* kCaption = "Select Time";
    static constexpr int kFirstYear = 1980;
    static constexpr int kLastYear = 2999;
    // Six weekday offsets plus 31 days: every month fits.
    static constexpr int kDayCells = 37;

    explicit DateHourPickerModel(const Clock& clock);

    // ---- What the caller sets before showing and reads afterwards
    std::string tag;             // the hour stamp in and out
    bool returnMinutes = false;  // show the minutes field and return the minutes
    std::string caption = kCaption;
    std::string minutesText = "00";  // txtMinutes
    // Turns the hour entry off for callers that want a day only.
    void DisableTime() { timeEnabled_ = false; }
    bool TimeEnabled() const { return timeEnabled_; }

    // Once per showing: reads the tag (or proposes the hour before the current one) and draws
    // the calendar. Does nothing when already initialised for this showing.
    void Activate();
    bool Initialised() const { return initialised_; }

    // ---- Calendar state
    int Day() const { return day_; }
    int Month() const { return month_; }  // 1..12
    int Year() const { return year_; }
    int DaysInShownMonth() const { return daysInMonth_; }
    // Column of the first of the month: 0 = Sunday .. 6 = Saturday.
    int FirstDayColumn() const { return firstColumn_; }
    // The day written in a cell (row by row, seven to a row), 0 for an empty cell.
    int DayInCell(int cell) const;
    int ChosenCell() const { return firstColumn_ + day_ - 1; }
    static bool IsSundayCell(int cell) { return cell % 7 == 0; }

    // ---- Operator's changes
    void SelectMonth(int month);  // the month list
    void SetYear(int year);       // the year scroll bar, kept within kFirstYear..kLastYear
    void SelectDay(int day);      // a day cell or the day scroll bar, kept within the month
    // A click on cell; an empty cell changes nothing.
    void ClickCell(int cell);

    // The hour text field, TimeT. Every change sets the hour from its numeric value.
    const std::string& HourText() const { return hourText_; }
    void SetHourText(const std::string& text);
    int Hour() const { return hour_; }
    // The morning indicator lights below hour 12, the afternoon one from 12 on.
    bool IsMorning() const { return hour_ < 12; }
    // Keys the hour field takes: digits, backspace and escape; a refused key comes back 0.
    static int FilterHourKey(int keyCode);
    // A click on the clock face at (dx, dy) from its centre, y growing downwards: the hour of
    // the nearest of the twelve positions, in the morning or afternoon half the hour was in.
    void ClickClock(double dx, double dy);

    // ---- Closing
    // OK: the stamp goes into the tag. Cancel: the tag is emptied. Both reset the caption,
    // the minutes field and returnMinutes, and mark the picker for initialisation at its
    // next showing.
    void Ok();
    void Cancel();

    // The days of a month, February counted by the calendar's leap-year rule.
    static int MonthLength(int year, int month);

  private:
    void Draw();
    void SetHour(int hour);
    void ResetForNextShowing();

    const Clock& clock_;
    bool initialised_ = false;
    bool timeEnabled_ = true;
    int day_ = 1;
    int month_ = 1;
    int year_ = kFirstYear;
    int daysInMonth_ = 31;
    int firstColumn_ = 0;
    int hour_ = 0;
    std::string hourText_ = "00";
};

}  // namespace vantor
