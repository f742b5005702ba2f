#include "common/clock.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace vantor {

int Clock::Today() const { return static_cast<int>(std::floor(Now())); }

double Clock::SecondsSinceMidnight() const {
    OleDate now = Now();
    return (now - std::floor(now)) * 86400.0;
}

OleDate SystemClock::Now() const {
    auto now = std::chrono::system_clock::now();
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm local{};
    localtime_r(&t, &local);
    return DateSerial(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + ms / 1000.0) / 86400.0;
}

}  // namespace vantor
