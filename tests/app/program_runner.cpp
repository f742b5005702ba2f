#include "program_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace vantor::testing {

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

ProgramRun RunProgram(const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment) {
    return RunProgramAt(VANTOR_EXE, arguments, environment);
}

ProgramRun RunProgramAt(const std::string& executable, const std::vector<std::string>& arguments,
                        const std::map<std::string, std::string>& environment) {
    char outTemplate[] = "/tmp/vantor-out-XXXXXX";
    char errTemplate[] = "/tmp/vantor-err-XXXXXX";
    int outFd = mkstemp(outTemplate);
    int errFd = mkstemp(errTemplate);

    std::vector<std::string> argStore{executable};
    argStore.insert(argStore.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envStore;
    for (const auto& [name, value] : environment) envStore.push_back(name + "=" + value);
    if (!environment.count("PATH")) {
        const char* path = std::getenv("PATH");
        envStore.push_back(std::string("PATH=") + (path ? path : "/usr/bin:/bin"));
    }
    std::vector<char*> argv, envp;
    for (std::string& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string& e : envStore) envp.push_back(e.data());
    envp.push_back(nullptr);

    ProgramRun run;
    pid_t child = fork();
    if (child == 0) {
        int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, 0);
        dup2(outFd, 1);
        dup2(errFd, 2);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    close(outFd);
    close(errFd);
    run.out = Slurp(outTemplate);
    run.err = Slurp(errTemplate);
    unlink(outTemplate);
    unlink(errTemplate);
    return run;
}

}  // namespace vantor::testing
