#pragma once
// Runs the built program the way a scheduler does: its own environment, its arguments, and
// its standard output, standard error and exit status captured.

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vantor::testing {

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
    bool killed = false;  // ended by SIGKILL (RunProgramKilledWhen) before it finished
};

// Runs VANTOR_EXE with the arguments and exactly the given environment (plus PATH), with
// standard input closed so that nothing can wait for a person.
ProgramRun RunProgram(const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment);
// The same with the given text as its standard input (a pipe's worth: a file, not a terminal).
ProgramRun RunProgramWithInput(const std::vector<std::string>& arguments,
                               const std::map<std::string, std::string>& environment,
                               const std::string& input);
// The same for another executable (an installed copy of the program, a tool).
ProgramRun RunProgramAt(const std::string& executable, const std::vector<std::string>& arguments,
                        const std::map<std::string, std::string>& environment);

// Runs VANTOR_EXE as RunProgram does, asking killNow every fraction of a millisecond while it
// runs; when that answers true, the program is killed with SIGKILL, as a power cut or the
// out-of-memory killer would end it.
ProgramRun RunProgramKilledWhen(const std::vector<std::string>& arguments,
                                const std::map<std::string, std::string>& environment,
                                const std::function<bool()>& killNow);

}  // namespace vantor::testing
