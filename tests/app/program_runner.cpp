#include "program_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <chrono>
#include <thread>
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

ProgramRun Run(const std::string& executable, const std::vector<std::string>& arguments,
               const std::map<std::string, std::string>& environment,
               const std::function<bool()>* killNow, const std::string* input = nullptr);

}  // namespace

ProgramRun RunProgramWithInput(const std::vector<std::string>& arguments,
                               const std::map<std::string, std::string>& environment,
                               const std::string& input) {
    return Run(VANTOR_EXE, arguments, environment, nullptr, &input);
}

ProgramRun RunProgramKilledWhen(const std::vector<std::string>& arguments,
                                const std::map<std::string, std::string>& environment,
                                const std::function<bool()>& killNow) {
    return Run(VANTOR_EXE, arguments, environment, &killNow);
}

ProgramRun RunProgram(const std::vector<std::string>& arguments,
                      const std::map<std::string, std::string>& environment) {
    return RunProgramAt(VANTOR_EXE, arguments, environment);
}

ProgramRun RunProgramAt(const std::string& executable, const std::vector<std::string>& arguments,
                        const std::map<std::string, std::string>& environment) {
    return Run(executable, arguments, environment, nullptr);
}

namespace {

ProgramRun Run(const std::string& executable, const std::vector<std::string>& arguments,
               const std::map<std::string, std::string>& environment,
               const std::function<bool()>* killNow, const std::string* input) {
    char inTemplate[] = "/tmp/vantor-in-XXXXXX";
    int inFd = -1;
    if (input) {
        inFd = mkstemp(inTemplate);
        if (inFd >= 0) {
            const ssize_t written = write(inFd, input->data(), input->size());
            if (written != static_cast<ssize_t>(input->size()) || lseek(inFd, 0, SEEK_SET) != 0) {
                close(inFd);
                inFd = -1;
            }
        }
    }
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
        int stdinFd = inFd >= 0 ? inFd : open("/dev/null", O_RDONLY);
        dup2(stdinFd, 0);
        dup2(outFd, 1);
        dup2(errFd, 2);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    bool ended = false;
    if (child > 0 && killNow) {
        while (!ended) {
            ended = waitpid(child, &status, WNOHANG) == child;
            if (ended) break;
            if ((*killNow)()) {
                kill(child, SIGKILL);
                run.killed = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    }
    if (child > 0 && (ended || waitpid(child, &status, 0) == child) && WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    close(outFd);
    close(errFd);
    if (input) {
        if (inFd >= 0) close(inFd);
        unlink(inTemplate);
    }
    run.out = Slurp(outTemplate);
    run.err = Slurp(errTemplate);
    unlink(outTemplate);
    unlink(errTemplate);
    return run;
}

}  // namespace

}  // namespace vantor::testing
