#include "common/clock.h"

#include <cmath>
#include <ctime>

namespace vantor {

int Clock::Today() const { return static_cast<int>(std::floor(Now())); }

double Clock::SecondsSinceMidnight() const {
    OleDate now = Now();
    return (now - std::floor(now)) * 86400.0;
}

OleDate SystemClock::Now() const {
    // Whole seconds, as the runtime's "now" gives them: a stamp made from a fraction would be
    // rounded up by the formatters, running up to half a second ahead (at 23:59:59.5 into the
    // next day).
    std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return DateSerial(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec) / 86400.0;
}

}  // namespace vantor
