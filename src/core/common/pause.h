#pragma once
// Waiting while the windows stay alive: pending events are handed on at every turn.

namespace vantor {

class Clock;
class UserInterface;

// Waits until the given seconds have passed since the call, handing control to pending events
// on every turn; stops early once *abortFlag is true. Returns true when it stopped early.
bool PauseWithEvents(UserInterface& ui, const Clock& clock, double seconds,
                     const bool* abortFlag = nullptr);
// The same on the system clock, for callers that wait in real time only.
bool PauseWithEvents(UserInterface& ui, double seconds, const bool* abortFlag = nullptr);

}  // namespace vantor
