#include <gtest/gtest.h>

#include "common/clock.h"
#include "common/ole_date.h"
#include "common/pause.h"
#include "support/scripted_user_interface.h"

namespace vantor {
namespace {

// A clock that moves on a tenth of a second each time it is read.
class TickingClock : public Clock {
  public:
    OleDate Now() const override { return now_ += 0.1 / 86400.0; }

  private:
    mutable OleDate now_ = 36000.0;
};

TEST(PauseWithEvents, HandsOverEventsUntilTimeOrAbort) {
    ScriptedUserInterface ui;
    TickingClock clock;
    EXPECT_FALSE(PauseWithEvents(ui, clock, 1.0));
    EXPECT_GE(ui.eventTurns, 4);

    bool abort = true;
    ui.eventTurns = 0;
    EXPECT_TRUE(PauseWithEvents(ui, clock, 1000.0, &abort));
    EXPECT_EQ(ui.eventTurns, 0);
}

}  // namespace
}  // namespace vantor
