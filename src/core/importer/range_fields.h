#pragma once
// The four range fields of the main window (start date and hour, end date and hour) and the
// rules that keep them usable: the ordering after a field was left, whether the import may
// start, and the two stamps an import or a removal works on.

#include <optional>
#include <string>

#include "common/day_time.h"

namespace vantor {

class UserInterface;

struct RangeFields {
    std::string startDate;  // txtASStartDate
    std::string startHour;  // txtStartHour
    std::string endDate;    // txtASEndDate
    std::string endHour;    // txtEndHour
};

// The day number of a date text, or nullopt when it is not a date (thisYear completes a
// date written without a year).
std::optional<int32_t> DayOfDateText(const std::string& text, int thisYear);
// "dd mmmm yyyy", the form the range fields show their dates in.
std::string RangeDateText(int32_t day);
// The weekday name of a date text ("dddd"), or nullopt when it is not a date.
std::optional<std::string> WeekdayText(const std::string& text, int thisYear);

// After the start changed: when both dates are valid, an end date before the start takes the
// start date, and on one day an end hour below the start hour takes the start hour.
void OrderAfterStartChanged(RangeFields& fields, int thisYear);
// After the end changed: the mirror image, moving the start.
void OrderAfterEndChanged(RangeFields& fields, int thisYear);
// Both dates valid and both hours between 0 and 23.
bool RangeIsUsable(const RangeFields& fields, int thisYear);

struct RangeStamps {
    DayTime start;  // the start hour's first second
    DayTime end;    // the end hour's last hundredth (3599.99 seconds after its start)
};

// The checks shared by the import and the removal of a range: a valid start date, a valid
// end date, and an end that does not lie before the start. Each failure is shown with the
// information icon and gives nullopt.
std::optional<RangeStamps> CheckRange(const RangeFields& fields, UserInterface& ui, int thisYear);

}  // namespace vantor
