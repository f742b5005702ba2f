#pragma once
// Where "today" and "now" come from. Tests replace the clock to pin the date.

#include "common/ole_date.h"

namespace vantor {

class Clock {
public:
    virtual ~Clock() = default;
    // The local date and time as a serial, in whole seconds.
    virtual OleDate Now() const = 0;
    int Today() const;
    // Seconds since local midnight, with the fraction.
    double SecondsSinceMidnight() const;
};

class SystemClock : public Clock {
public:
    OleDate Now() const override;
};

// A clock that stands still until moved.
class FixedClock : public Clock {
public:
    explicit FixedClock(OleDate now) : now_(now) {}
    FixedClock(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
        : now_(JoinDate({year, month, day, hour, minute, second})) {}
    OleDate Now() const override { return now_; }
    void Set(OleDate now) { now_ = now; }
    void AdvanceSeconds(double seconds) { now_ += seconds / 86400.0; }

private:
    OleDate now_;
};

}  // namespace vantor
