#pragma once
// The day logs the headless-program tests import: one header per hour with two songs, a break
// note and an advert between them; optionally a cart the Audiowall lacks, so that a run's
// report holds a problem besides the hours.

#include <cstdint>

#include "support/kora_installation.h"
#include "support/scheduler_log_writer.h"

namespace vantor::testing {

inline SchedulerLogWriter HoursOf(int32_t day, int firstHour, int lastHour,
                                  bool missingCart = false) {
    SchedulerLogWriter log;
    for (int hour = firstHour; hour <= lastHour; ++hour) {
        log.Header(SchedulerDate(day), hour, "Clock")
            .Item("4001", "First song")
            .Note("$$ 00:20:00 Break")
            .Item("1001", "Advert");
        if (missingCart) log.Item("9999", "Missing cart");
        log.Item("4002", "Second song");
    }
    return log;
}

}  // namespace vantor::testing
