#pragma once
// The system's date-and-time stamp: a whole day number on the serial date scale and the
// seconds since midnight as a single-precision float. Compared day first, seconds second.

#include <cstdint>
#include <string>

namespace vantor {

class Clock;

struct DayTime {
    int32_t day = 0;
    float seconds = 0.0f;
};

DayTime DayTimeNow(const Clock& clock, bool toHour);
bool DayTimeEqual(const DayTime& a, const DayTime& b);
bool DayTimeAtLeast(const DayTime& a, const DayTime& b);
bool DayTimeAfter(const DayTime& a, const DayTime& b);
bool DayTimeBefore(const DayTime& a, const DayTime& b);
DayTime DayTimeAddSeconds(const DayTime& stamp, double seconds);
DayTime DayTimeSubtractSeconds(const DayTime& stamp, double seconds);
double DayTimeSecondsSince(const DayTime& stamp, const Clock& clock);
std::string DayTimeLongText(const DayTime& stamp, int style);
std::string DayTimeShortText(const DayTime& stamp, int style);

}  // namespace vantor
