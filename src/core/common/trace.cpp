#include "common/trace.h"

#include <cstdio>

#include "common/clock.h"
#include "common/codepage.h"
#include "common/files.h"
#include "common/paths.h"
#include "common/platform_dirs.h"

namespace vantor {

namespace {

bool WantsLine(const TraceState& state, int level) {
    if (state.level == 0) return false;
    if (state.level == -1) return true;
    int messageLevel = level == -1 ? 5 : level;
    return state.level >= messageLevel;
}

}  // namespace

void TraceLog(TraceState* state, const std::string& text, int level, int indentOperation,
              const std::string& tag) {
    if (!state || !WantsLine(*state, level)) return;

    if (indentOperation == kTraceOutdent && state->depth > 0) --state->depth;
    if (indentOperation == kTraceReset) state->depth = 0;
    if (state->depth < 0) state->depth = 0;

    SystemClock systemClock;
    const Clock& clock = state->clock ? *state->clock : static_cast<const Clock&>(systemClock);
    DateParts now = SplitDate(clock.Now());

    char date[16];
    std::snprintf(date, sizeof date, "%04d%02d%02d", now.year, now.month, now.day);
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", now.hour, now.minute, now.second);

    std::string base = state->baseName.empty() ? ProgramName() : state->baseName;
    std::string path = JoinPath(TraceDirectory(), base + "." + date + ".log");

    std::string line = std::string(time) + " ";
    if (!tag.empty()) line += " " + tag;
    line += std::string(static_cast<size_t>(state->depth) * 4, ' ');
    line += text;
    line += "\r\n";

    if (std::FILE* file = OpenFileForWriting(ResolvePath(path), true)) {
        std::string bytes = Utf8ToCp1252(line);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }

    if (indentOperation == kTraceIndent) ++state->depth;
}

}  // namespace vantor
