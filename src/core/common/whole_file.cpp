#include "common/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vantor {

namespace {

std::string Why(const char* step) {
    return std::string(step) + ": " + std::strerror(errno);
}

}  // namespace

WholeFileWrite ReplaceWholeFile(const std::string& path, const std::string& contents) {
    // In the same directory, so that the rename never crosses file systems.
    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return {Why("cannot create a file beside it")};
    std::string failure;
    for (size_t written = 0; written < contents.size() && failure.empty();) {
        const ssize_t n = write(fd, contents.data() + written, contents.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            failure = Why("cannot write");
        else
            written += static_cast<size_t>(n);
    }
    const mode_t mask = umask(0);
    umask(mask);
    if (failure.empty() && fchmod(fd, 0666 & ~mask) != 0) failure = Why("cannot set its mode");
    // On disk before the name points at it: after a power cut the name holds a whole file.
    if (failure.empty() && fsync(fd) != 0) failure = Why("cannot write");
    if (close(fd) != 0 && failure.empty()) failure = Why("cannot write");
    if (failure.empty() && std::rename(temporary.c_str(), path.c_str()) != 0)
        failure = Why("cannot rename it into place");
    if (!failure.empty()) std::remove(temporary.c_str());
    return {failure};
}

}  // namespace vantor
