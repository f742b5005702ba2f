#include "importer/range_fields.h"

#include <cmath>

#include "common/locale.h"
#include "common/numbers.h"
#include "common/user_interface.h"

namespace vantor {

namespace {

// The last hundredth of an hour, as the single-precision constant the stamps carry.
constexpr float kHourEnd = 3599.99f;

double HourValue(const std::string& text) {
    return LeadingNumber(text);
}

}  // namespace

std::optional<int32_t> DayOfDateText(const std::string& text, int thisYear) {
    std::optional<OleDate> date = ParseDate(text, thisYear);
    if (!date) return std::nullopt;
    return static_cast<int32_t>(std::floor(*date));
}

std::string RangeDateText(int32_t day) {
    return FormatDate(day, "dd mmmm yyyy");
}

std::optional<std::string> WeekdayText(const std::string& text, int thisYear) {
    std::optional<OleDate> date = ParseDate(text, thisYear);
    if (!date) return std::nullopt;
    return FormatDate(*date, "dddd");
}

void OrderAfterStartChanged(RangeFields& fields, int thisYear) {
    std::optional<int32_t> start = DayOfDateText(fields.startDate, thisYear);
    std::optional<int32_t> end = DayOfDateText(fields.endDate, thisYear);
    if (!start || !end) return;
    if (*start > *end) {
        fields.endDate = fields.startDate;
        end = start;
    }
    if (*start == *end && HourValue(fields.endHour) < HourValue(fields.startHour))
        fields.endHour = fields.startHour;
}

void OrderAfterEndChanged(RangeFields& fields, int thisYear) {
    std::optional<int32_t> start = DayOfDateText(fields.startDate, thisYear);
    std::optional<int32_t> end = DayOfDateText(fields.endDate, thisYear);
    if (!start || !end) return;
    if (*end < *start) {
        fields.startDate = fields.endDate;
        start = end;
    }
    if (*start == *end && HourValue(fields.startHour) > HourValue(fields.endHour))
        fields.startHour = fields.endHour;
}

bool RangeIsUsable(const RangeFields& fields, int thisYear) {
    if (!DayOfDateText(fields.startDate, thisYear) || !DayOfDateText(fields.endDate, thisYear))
        return false;
    for (const std::string* hour : {&fields.startHour, &fields.endHour}) {
        double value = HourValue(*hour);
        if (value < 0 || value > 23) return false;
    }
    return true;
}

std::optional<RangeStamps> CheckRange(const RangeFields& fields, UserInterface& ui, int thisYear) {
    std::optional<int32_t> startDay = DayOfDateText(fields.startDate, thisYear);
    if (!startDay) {
        ShowInformation(ui, "You must enter a valid Start Date");
        return std::nullopt;
    }
    std::optional<int32_t> endDay = DayOfDateText(fields.endDate, thisYear);
    if (!endDay) {
        ShowInformation(ui, "You must enter a valid End Date");
        return std::nullopt;
    }
    RangeStamps stamps;
    stamps.start = {*startDay, static_cast<float>(HourValue(fields.startHour) * 3600)};
    stamps.end = {*endDay, static_cast<float>(HourValue(fields.endHour) * 3600) + kHourEnd};
    if (DayTimeBefore(stamps.end, stamps.start)) {
        ShowInformation(ui, "The start time must be before the end time");
        return std::nullopt;
    }
    return stamps;
}

}  // namespace vantor
