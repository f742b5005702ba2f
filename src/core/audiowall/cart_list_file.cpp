#include "audiowall/cart_list_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

#include "common/problem_report.h"

namespace vantor {
namespace {
constexpr int kBadRecordNumber = 63;  // the runtime's "Bad record number"

ErrorResult Failure(int number) {
    return ErrorResult::Make(number);
}
ErrorResult SystemFailure() {
    return ErrorResult::Make(ErrorNumberFromErrno(errno, err::kDeviceIoError));
}
}  // namespace

CartListFile::CartListFile(CartListFile&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

CartListFile& CartListFile::operator=(CartListFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

ErrorResult CartListFile::Open(const std::string& path, bool create) {
    Close();
    int flags = O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0);
    int fd = ::open(path.c_str(), flags, 0664);  // never writable by every account
    if (fd < 0 && (errno == EACCES || errno == EROFS))
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return SystemFailure();
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return Failure(err::kPathFileAccessError);
    }
    fd_ = fd;
    return {};
}

void CartListFile::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

int64_t CartListFile::Length() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
    return st.st_size;
}

ErrorResult CartListFile::ReadRecord(int64_t recordNumber, CartRecordBytes& out) const {
    if (fd_ < 0) return Failure(err::kBadFileNameOrNumber);
    if (recordNumber < 1) return Failure(kBadRecordNumber);
    off_t offset = static_cast<off_t>((recordNumber - 1) * kCartRecordSize);
    size_t done = 0;
    while (done < out.size()) {
        ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, offset + done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return SystemFailure();
        }
        if (n == 0) return Failure(err::kInputPastEndOfFile);  // the list ends inside or before it
        done += static_cast<size_t>(n);
    }
    return {};
}

ErrorResult CartListFile::WriteRecords(int64_t first, int64_t last, const CartRecordBytes& record) {
    if (fd_ < 0) return Failure(err::kBadFileNameOrNumber);
    if (first < 1 || last < first) return {};
    // The records are identical and contiguous, so they go out in blocks of a bounded size:
    // the count comes from the store's own settings (NoCarts), and a wild value there must end
    // in a write error, not in one allocation of its whole size.
    constexpr int64_t kRecordsPerBlock = 1000;
    const int64_t blockRecords = std::min<int64_t>(kRecordsPerBlock, last - first + 1);
    std::vector<char> block(static_cast<size_t>(blockRecords) * kCartRecordSize);
    for (size_t at = 0; at < block.size(); at += kCartRecordSize)
        std::copy(record.begin(), record.end(), block.begin() + at);
    for (int64_t next = first; next <= last; next += blockRecords) {
        const int64_t count = std::min<int64_t>(blockRecords, last - next + 1);
        const size_t bytes = static_cast<size_t>(count) * kCartRecordSize;
        const off_t offset = static_cast<off_t>((next - 1) * kCartRecordSize);
        size_t done = 0;
        while (done < bytes) {
            ssize_t n = ::pwrite(fd_, block.data() + done, bytes - done, offset + done);
            if (n < 0) {
                if (errno == EINTR) continue;
                return SystemFailure();
            }
            done += static_cast<size_t>(n);
        }
    }
    return {};
}

ErrorResult ReadSingleRecordFile(const std::string& path, CartRecordBytes& out) {
    CartListFile file;
    if (ErrorResult opened = file.Open(path, false); !opened.Ok()) return opened;
    return file.ReadRecord(1, out);
}

}  // namespace vantor
