// File and directory helpers.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "common/clock.h"
#include "common/codepage.h"
#include "common/files.h"
#include "common/locale.h"
#include "common/paths.h"
#include "common/platform_dirs.h"
#include "common/problem_report.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/user_interface.h"

namespace fs = std::filesystem;

namespace vantor {

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

size_t LastSeparator(const std::string& path) {
    return path.find_last_of("/\\");
}

int ErrorNumberOf(const std::error_code& ec) {
    return ErrorNumberFromErrno(ec.value());
}

void ShowPlainMessage(UserInterface& ui, const std::string& text) {
    MessageRequest request;
    request.text = text;
    ui.ShowMessage(request);
}

bool HasWildcard(const std::string& name) {
    return name.find('*') != std::string::npos || name.find('?') != std::string::npos;
}

// One file; an existing target is replaced only after a "Yes" unless silent. false on a
// failure (ec set) or a refusal (ec clear).
bool CopyOneFile(UserInterface& ui, const fs::path& from, const fs::path& to, bool silent,
                 std::error_code& ec) {
    if (fs::exists(to, ec)) {
        if (fs::equivalent(from, to, ec)) {
            ec = std::make_error_code(std::errc::file_exists);
            return false;
        }
        if (!silent &&
            AskQuestion(ui, "The file " + to.string() + " already exists.\n\nReplace it?",
                        MessageButtons::YesNo, MessageResult::Yes) != MessageResult::Yes)
            return false;
    }
    ec.clear();
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    return !ec;
}

bool CopyTree(UserInterface& ui, const fs::path& from, const fs::path& to, bool silent,
              std::error_code& ec) {
    if (!fs::is_directory(from, ec)) return CopyOneFile(ui, from, to, silent, ec);
    fs::create_directories(to, ec);
    if (ec) return false;
    bool all = true;
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        if (!CopyTree(ui, it->path(), to / it->path().filename(), silent, ec)) {
            if (ec) return false;
            all = false;  // a replacement the operator declined
        }
        ui.ProcessEvents();
    }
    return !ec && all;
}

bool MoveOne(UserInterface& ui, const fs::path& from, const fs::path& to, bool silent,
             std::error_code& ec) {
    bool targetExists = fs::exists(to, ec);
    if (!targetExists) {
        fs::rename(from, to, ec);
        if (!ec) return true;
        if (ec.value() != EXDEV) return false;
        ec.clear();
    }
    // Across file systems, or onto something that exists: copy, then remove the source only
    // when every part of it arrived.
    if (!CopyTree(ui, from, to, silent, ec)) return false;
    fs::remove_all(from, ec);
    return !ec;
}

}  // namespace

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (unsigned char c : name)
        if (c == '/' || c == '\\' || c < 0x20 || c == 0x7f) return false;
    return true;
}

std::FILE* OpenFileForWriting(const std::string& path, bool append) {
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
    int fd = ::open(path.c_str(), flags, S_IRUSR | S_IWUSR | S_IRGRP | S_IWGRP | S_IROTH);
    if (fd < 0) return nullptr;
    std::FILE* file = ::fdopen(fd, append ? "ab" : "wb");
    if (!file) {
        const int fdopenError = errno;
        ::close(fd);
        errno = fdopenError;
    }
    return file;
}

void AppendLogLine(const std::string& path, bool stamped, const std::string& text,
                   const Clock& clock) {
    if (path.empty()) return;
    std::string line = text;
    if (stamped) line = FormatDate(clock.Now(), "ddddd hh:nn:ss") + " " + text;
    if (std::FILE* file = OpenFileForWriting(ResolvePath(path), true)) {
        std::string bytes = Utf8ToCp1252(line) + "\r\n";
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

long long FileLength(const std::string& path) {
    if (path.empty()) return -1;
    std::error_code ec;
    auto size = fs::file_size(ResolvePath(path), ec);
    return ec ? -1 : static_cast<long long>(size);
}

bool FileExists(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    auto status = fs::status(ResolvePath(path), ec);
    return !ec && fs::exists(status) && !fs::is_directory(status);
}

bool DirectoryExists(const std::string& path, TraceState* trace) {
    std::string tested = path;
    if (tested.size() == 1 &&
        ((tested[0] >= 'A' && tested[0] <= 'Z') || (tested[0] >= 'a' && tested[0] <= 'z'))) {
        tested += ":";
    } else if (tested.size() > 2 && IsSeparator(tested[0]) && IsSeparator(tested[1])) {
        // "\\server\share" names the share's root only with its trailing separator.
        size_t serverEnd = tested.find_first_of("/\\", 2);
        if (serverEnd != std::string::npos && serverEnd + 1 < tested.size() &&
            tested.find_first_of("/\\", serverEnd + 1) == std::string::npos)
            tested += "\\";
    }
    TraceLog(trace, "Start DirectoryExists", 5, kTraceIndent);
    TraceLog(trace, "Call Dir(" + tested + ", vbDirectory)", 5, kTraceKeep);
    // The completed forms mean nothing on this system; a directory of that plain name still
    // counts.
    bool result = !path.empty() && (IsDirectory(tested) || IsDirectory(path));
    TraceLog(trace, std::string("End DirectoryExists (") + (result ? "True" : "False") + ")", 5,
             kTraceOutdent);
    return result;
}

bool CreateDirectoryPath(UserInterface& ui, const std::string& path, bool quiet) {
    if (Trim(path).empty()) return false;
    HourglassGuard hourglass(ui);
    const std::string target = ResolvePath(path);
    std::error_code ec;
    if (path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        fs::create_directories(target, ec);
        if (IsDirectory(target)) return true;
        if (!quiet) ShowInformation(ui, "You must manually create the path : " + path);
        return false;
    }
    fs::create_directories(target, ec);
    if (IsDirectory(target)) return true;
    if (!ec) ec = std::make_error_code(std::errc::not_a_directory);
    ProblemReport(ui, "While Attempting to Create Directories on Destination Drive.",
                  ErrorResult::Make(ErrorNumberOf(ec)), quiet);
    return false;
}

std::string FileNameOf(const std::string& path) {
    size_t at = LastSeparator(path);
    return at == std::string::npos ? path : path.substr(at + 1);
}

std::string StripExtension(const std::string& name) {
    size_t dot = name.rfind('.');
    size_t separator = LastSeparator(name);
    if (dot == std::string::npos || (separator != std::string::npos && dot < separator))
        return name;
    return name.substr(0, dot);
}

std::string BaseNameOf(const std::string& path) {
    return StripExtension(FileNameOf(path));
}

std::string ParentDirectoryOf(const std::string& path, bool withSeparator) {
    size_t at = LastSeparator(path);
    if (at == std::string::npos) return "";
    // Keep the separator the path itself uses, so that a POSIX path never gains a "\"
    // that this file system would take as part of a name.
    return withSeparator ? path.substr(0, at + 1) : path.substr(0, at);
}

std::string TempFileName(UserInterface& ui, const std::string& directory,
                         const std::string& extension, const std::string& programTitle) {
    std::string dir = ResolvePath(directory.empty() ? TempDirectory() : directory);
    std::string prefix = ToUpper(ReplaceAll(programTitle, " ", "")).substr(0, 3);
    std::string wanted = extension;
    while (!wanted.empty() && wanted[0] == '.') wanted.erase(0, 1);

    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = JoinPath(dir, prefix + "XXXXXX.TMP");
        int fd = mkstemps(name.data(), 4);
        if (fd < 0) {
            ShowPlainMessage(ui, "Error getting a temporary file name :" + std::to_string(errno));
            return "";
        }
        close(fd);
        if (wanted.empty() || EqualsNoCase(wanted, "TMP")) return name;
        std::remove(name.c_str());
        std::string renamed = StripExtension(name) + "." + wanted;
        if (!PathExists(renamed)) return renamed;
    }
    ShowPlainMessage(ui, "Error getting a temporary file name :" + std::to_string(EEXIST));
    return "";
}

bool CopyOrMoveFiles(UserInterface& ui, const std::string& source, const std::string& destination,
                     bool move, bool silent) {
    // The work is quick on local disks: the hourglass and event turns are its progress.
    HourglassGuard hourglass(ui);
    const std::string task =
        std::string(move ? "moving " : "copying ") + source + " to " + destination;

    std::vector<fs::path> sources;
    std::string native = NativePath(source);
    if (HasWildcard(FileNameOf(native))) {
        std::string parent = ParentDirectoryOf(native, false);
        if (parent.empty() && !native.empty() && native[0] == '/') parent = "/";
        std::string folder = ResolvePath(parent.empty() ? "." : NativePath(parent));
        for (const auto& name : ListFiles(folder, FileNameOf(native)))
            sources.push_back(fs::path(folder) / name);
    } else if (PathExists(native)) {
        sources.push_back(ResolvePath(native));
    }
    if (sources.empty()) {
        ProblemReport(ui, task, ErrorResult::Make(err::kFileNotFound));
        return false;
    }

    fs::path target = ResolvePath(destination);
    std::error_code ec;
    bool intoDirectory =
        IsDirectory(target.string()) || sources.size() > 1 || HasWildcard(FileNameOf(native));
    if (intoDirectory) fs::create_directories(target, ec);
    if (ec) {
        ProblemReport(ui, task, ErrorResult::Make(ErrorNumberOf(ec)));
        return false;
    }

    bool all = true;
    for (const auto& from : sources) {
        fs::path to = intoDirectory ? target / from.filename() : target;
        ec.clear();
        bool done = move ? MoveOne(ui, from, to, silent, ec) : CopyTree(ui, from, to, silent, ec);
        if (!done && ec) {
            ProblemReport(ui, task, ErrorResult::Make(ErrorNumberOf(ec)));
            return false;
        }
        all = all && done;
        ui.ProcessEvents();
    }
    return all;
}

}  // namespace vantor
