#include "common/platform_dirs.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace vantor {

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string HomeDirectory() {
    std::string home = Env("HOME");
    if (!home.empty()) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/tmp";
}

fs::path ExecutablePath() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe;
}

}  // namespace

std::string WindowsDirectory() {
    if (std::string dir = Env("VANTOR_WINDIR"); !dir.empty()) return dir;
    if (std::string xdg = Env("XDG_CONFIG_HOME"); !xdg.empty()) return xdg + "/vantor";
    return HomeDirectory() + "/.config/vantor";
}

std::string ProgramDirectory() {
    if (std::string dir = Env("VANTOR_PROGRAM_DIR"); !dir.empty()) return dir;
    fs::path exe = ExecutablePath();
    if (exe.empty()) {
        std::error_code ec;
        return fs::current_path(ec).string();
    }
    return exe.parent_path().string();
}

std::string TraceDirectory() {
    if (std::string dir = Env("VANTOR_TRACE_DIR"); !dir.empty()) return dir;
    return TempDirectory();
}

std::string TempDirectory() {
    if (std::string dir = Env("TMPDIR"); !dir.empty()) return dir;
    return "/tmp";
}

std::string ProgramName() {
    fs::path exe = ExecutablePath();
    if (!exe.empty()) return exe.stem().string();
    return "vantor-logimport";
}

}  // namespace vantor
