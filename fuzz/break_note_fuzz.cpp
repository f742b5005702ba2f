// The break-note parser on any ":" line, in any hour and any state of the hour's modes.

#include <string_view>

#include "importer/break_note.h"
#include "support/scripted_user_interface.h"

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // The first byte picks the hour and the modes the note is read in.
    const uint8_t pick = data[0];
    DayTime hour{36592, static_cast<float>((pick % 24) * 3600)};
    HourState state;
    state.HourMode = (pick >> 5) & 3;
    state.HourFlag = (pick & 0x80) != 0;
    std::string line(":");
    line.append(reinterpret_cast<const char*>(data + 1), size - 1);
    ScriptedUserInterface ui;
    ImportEntry entry;
    ClearEntry(entry);
    ParseBreakNote(hour, line, entry, state, ui);
    return 0;
}
