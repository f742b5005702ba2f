#include "common/pause.h"

#include <chrono>
#include <thread>

#include "common/clock.h"
#include "common/user_interface.h"

namespace vantor {

bool PauseWithEvents(UserInterface& ui, const Clock& clock, double seconds, const bool* abortFlag) {
    // Measured on the full date and time, so a pause that spans midnight still ends.
    const OleDate start = clock.Now();
    while (true) {
        if (abortFlag && *abortFlag) return true;
        double elapsed = (clock.Now() - start) * 86400.0;
        // A clock set back (end of summer time) ends the pause rather than stretching it.
        if (elapsed >= seconds || elapsed < 0) return false;
        ui.ProcessEvents();
        if (abortFlag && *abortFlag) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool PauseWithEvents(UserInterface& ui, double seconds, const bool* abortFlag) {
    SystemClock clock;
    return PauseWithEvents(ui, clock, seconds, abortFlag);
}

}  // namespace vantor
