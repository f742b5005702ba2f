#include "common/character_class.h"
#include "common/date_hour_picker_model.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "common/clock.h"
#include "common/numbers.h"
#include "common/ole_date.h"

namespace vantor {

namespace {

std::string TwoDigits(long value) {
    char text[24];
    std::snprintf(text, sizeof text, "%02ld", value);
    return text;
}

// The numeric value of the characters from position `from` (0-based), at most `count` of them.
long NumberAt(const std::string& text, size_t from, size_t count) {
    if (from >= text.size()) return 0;
    return static_cast<long>(LeadingNumber(text.substr(from, count)));
}

}  // namespace

DateHourPickerModel::DateHourPickerModel(const Clock& clock) : clock_(clock) {}

int DateHourPickerModel::MonthLength(int year, int month) {
    // The real calendar's rule: 1900 and 2100 have no 29th of February, so the calendar never
    // offers a day that the stamp could not hold.
    return DaysInMonth(year, month);
}

void DateHourPickerModel::Activate() {
    if (initialised_) return;
    int serial = 0;
    int hour = 0;
    if (!tag.empty()) {
        serial = static_cast<int>(NumberAt(tag, 0, 5));
        hour = static_cast<int>(NumberAt(tag, 5, 2));
        const long minutes = NumberAt(tag, 8, 2);
        if (minutes != 0) minutesText = TwoDigits(minutes);
    } else {
        const OleDate now = clock_.Now();
        serial = clock_.Today();
        hour = HourOf(now) - 1;
        if (hour < 0) {
            serial -= 1;
            hour = 23;
        }
    }
    const DateParts parts = SplitDate(serial);
    day_ = parts.day;
    month_ = parts.month;
    year_ = parts.year;
    if (year_ < kFirstYear || year_ > kLastYear) year_ = YearOf(clock_.Now());
    SetHour(hour);
    Draw();
    initialised_ = true;
}

void DateHourPickerModel::Draw() {
    daysInMonth_ = MonthLength(year_, month_);
    if (day_ > daysInMonth_) day_ = daysInMonth_;
    if (day_ < 1) day_ = 1;
    firstColumn_ = WeekdayOf(DateSerial(year_, month_, 1)) - 1;
}

int DateHourPickerModel::DayInCell(int cell) const {
    const int day = cell - firstColumn_ + 1;
    return day >= 1 && day <= daysInMonth_ ? day : 0;
}

void DateHourPickerModel::SelectMonth(int month) {
    if (month < 1 || month > 12) return;
    month_ = month;
    Draw();
}

void DateHourPickerModel::SetYear(int year) {
    if (year < kFirstYear) year = kFirstYear;
    if (year > kLastYear) year = kLastYear;
    year_ = year;
    Draw();
}

void DateHourPickerModel::SelectDay(int day) {
    day_ = day;
    Draw();
}

void DateHourPickerModel::ClickCell(int cell) {
    const int day = DayInCell(cell);
    if (day != 0) SelectDay(day);
}

void DateHourPickerModel::SetHourText(const std::string& text) {
    hourText_ = text;
    hour_ = static_cast<int>(LeadingNumber(text));
}

void DateHourPickerModel::SetHour(int hour) {
    hour_ = hour;
    hourText_ = TwoDigits(hour);
}

int DateHourPickerModel::FilterHourKey(int keyCode) {
    if (keyCode == kKeyBackspace || keyCode == kKeyEscape) return keyCode;
    return keyCode >= '0' && keyCode <= '9' ? keyCode : 0;
}

void DateHourPickerModel::ClickClock(double dx, double dy) {
    if (!timeEnabled_) return;
    // Clockwise from twelve o'clock; the nearest of the twelve marks wins.
    double angle = std::atan2(dx, -dy);
    if (angle < 0) angle += 2 * std::numbers::pi;
    const int position = static_cast<int>(std::lround(angle / (std::numbers::pi / 6))) % 12;
    SetHour(position + (hour_ >= 12 ? 12 : 0));
}

void DateHourPickerModel::Ok() {
    // Day numbers beyond the month's end fall on its last day (Draw keeps them there).
    const int day = day_ > daysInMonth_ ? daysInMonth_ : day_;
    char serial[24];
    std::snprintf(serial, sizeof serial, "%05d", DateSerial(year_, month_, day));
    std::string stamp = serial + TwoDigits(static_cast<long>(LeadingNumber(hourText_)));
    if (returnMinutes) stamp += ":" + TwoDigits(static_cast<long>(LeadingNumber(minutesText)));
    tag = stamp;
    ResetForNextShowing();
}

void DateHourPickerModel::Cancel() {
    tag.clear();
    ResetForNextShowing();
}

void DateHourPickerModel::ResetForNextShowing() {
    caption = kCaption;
    minutesText = "00";
    returnMinutes = false;
    // Cancel too: a picker shown again must read the tag its next caller hands it.
    initialised_ = false;
}

}  // namespace vantor
