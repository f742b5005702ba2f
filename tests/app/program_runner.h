#pragma once
// Runs the built program the way a scheduler does: its own environment, its arguments, and
// its standard output, standard error and exit status captured.

#include <map>
#include <string>
#include <vector>

namespace vantor::testing {

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs VANTOR_EXE with the arguments and exactly the given environment (plus PATH), with
// standard input closed so that nothing can wait for a person.
ProgramRun RunProgram(const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment);
// The same for another executable (an installed copy of the program, a tool).
ProgramRun RunProgramAt(const std::string& executable, const std::vector<std::string>& arguments,
                        const std::map<std::string, std::string>& environment);

}  // namespace vantor::testing
