#pragma once
// The diagnostic trace file, written only when a trace level is set ("/DEBUG").

#include <string>

namespace vantor {

class Clock;

// Owned by the session; handed to the routines that trace.
struct TraceState {
    int level = 0;          // 0 off, -1 everything, otherwise a threshold
    std::string baseName;   // empty: the program's name
    int depth = 0;          // indentation, never below 0
    const Clock* clock = nullptr;  // the session's clock; the system clock when null
};

enum TraceIndent { kTraceKeep = 0, kTraceIndent = 1, kTraceOutdent = 2, kTraceReset = 3 };

// Writes "<hh:nn:ss> [ <tag>]<4 spaces per depth><text>" to TraceDirectory()/<base>.<yyyymmdd>.log
// when the level asks for it. A null state traces nothing. File errors are ignored.
void TraceLog(TraceState* state, const std::string& text, int level, int indentOperation,
              const std::string& tag = "");

}  // namespace vantor
