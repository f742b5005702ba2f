#include "common/platform_dirs.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "common/paths.h"

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

std::string InstalledDataDirectoryOf(const std::string& executable) {
    const fs::path binDirectory = fs::path(executable).parent_path();
    if (binDirectory.filename() != "bin") return std::string();
    const fs::path data = binDirectory.parent_path() / kInstalledDataSubdirectory;
    std::error_code ec;
    return fs::is_directory(data, ec) ? data.string() : std::string();
}

std::string ProgramDirectoryOf(const std::string& executable) {
    if (std::string dir = Env("VANTOR_PROGRAM_DIR"); !dir.empty()) return dir;
    if (executable.empty()) {
        std::error_code ec;
        return fs::current_path(ec).string();
    }
    if (InstalledDataDirectoryOf(executable).empty())
        return fs::path(executable).parent_path().string();
    // The state directory of the XDG base directories: it must be absolute to count.
    std::string state = Env("XDG_STATE_HOME");
    if (state.empty() || state[0] != '/') state = HomeDirectory() + "/.local/state";
    const std::string directory = state + "/vantor-logimport";
    // A program directory always exists on a station, and the report files are appended to
    // without making directories: this one is made on first use.
    std::error_code ec;
    fs::create_directories(directory, ec);
    return directory;
}

std::string ProgramDirectory() {
    return ProgramDirectoryOf(ExecutablePath().string());
}

std::string ProgramFile(const std::string& name) {
    return ProgramFileOf(ExecutablePath().string(), name);
}

std::string ProgramFileOf(const std::string& executable, const std::string& name) {
    const std::string own = JoinPath(ProgramDirectoryOf(executable), name);
    if (IsRegularFile(own)) return ResolvePath(own);
    const std::string installed = InstalledDataDirectoryOf(executable);
    if (!installed.empty() && IsRegularFile(JoinPath(installed, name)))
        return ResolvePath(JoinPath(installed, name));
    return own;
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
