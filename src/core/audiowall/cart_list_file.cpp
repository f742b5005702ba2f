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

// A list is copied only when it has not been written for this long: longer than the coarsest
// clock of the file systems a store lives on (two seconds on FAT and on some shares), so that
// a rewrite that leaves size and times as they were cannot follow the copy unseen.
constexpr int64_t kSettledNanoseconds = 3'000'000'000;
// A list longer than the largest store (99,999 carts) is no list of ours: it is read record by
// record rather than given a buffer of its size.
constexpr off_t kLargestCopiedList = 32 << 20;

// Records are read into memory this many at a time.
constexpr size_t kBlockBytes = 64 * kCartRecordSize;

int64_t Nanoseconds(const timespec& t) {
    return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

bool Settled(const struct stat& st) {
    timespec now{};
    if (::clock_gettime(CLOCK_REALTIME, &now) != 0) return false;
    const int64_t latest = std::max(Nanoseconds(st.st_mtim), Nanoseconds(st.st_ctim));
    return Nanoseconds(now) - latest >= kSettledNanoseconds;
}

// Reads size bytes at offset; false when the file ended first or the read failed.
bool ReadFully(int fd, char* to, size_t size, off_t offset) {
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::pread(fd, to + done, size - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}
}  // namespace

CartListFile::Stamp CartListFile::StampOf(const struct stat& st) {
    return {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

bool CartListFile::Stamp::operator==(const Stamp& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           Nanoseconds(modified) == Nanoseconds(other.modified) &&
           Nanoseconds(changed) == Nanoseconds(other.changed);
}

CartListFile::CartListFile(CartListFile&& other) noexcept { *this = std::move(other); }

CartListFile& CartListFile::operator=(CartListFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        copy_ = std::move(other.copy_);
        copySize_ = std::exchange(other.copySize_, 0);
        blockRead_ = std::move(other.blockRead_);
        copyStamp_ = other.copyStamp_;
        haveCopy_ = std::exchange(other.haveCopy_, false);
        other.DropCopy();
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
    DropCopy();
}

void CartListFile::DropCopy() const {
    haveCopy_ = false;
    copy_.reset();
    copySize_ = 0;
    std::vector<bool>().swap(blockRead_);
}

bool CartListFile::ReadBlock(size_t block) const {
    const size_t from = block * kBlockBytes;
    const size_t size = std::min(kBlockBytes, copySize_ - from);
    struct stat after {};
    // The block is kept only if nobody wrote while it was read.
    if (!ReadFully(fd_, copy_.get() + from, size, static_cast<off_t>(from)) ||
        ::fstat(fd_, &after) != 0 || !(StampOf(after) == copyStamp_))
        return false;
    blockRead_[block] = true;
    return true;
}

int64_t CartListFile::Length() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
    return st.st_size;
}

ErrorResult CartListFile::ReadRecord(int64_t recordNumber, CartRecordBytes& out) const {
    if (fd_ < 0) return Failure(err::kBadFileNameOrNumber);
    if (recordNumber < 1) return Failure(kBadRecordNumber);
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return SystemFailure();
    const Stamp now = StampOf(st);
    if (!haveCopy_ || !(now == copyStamp_)) {
        DropCopy();
        if (S_ISREG(st.st_mode) && st.st_size <= kLargestCopiedList && Settled(st)) {
            copySize_ = static_cast<size_t>(st.st_size);
            copy_.reset(new char[copySize_]);
            blockRead_.assign((copySize_ + kBlockBytes - 1) / kBlockBytes, false);
            copyStamp_ = now;
            haveCopy_ = true;
        }
    }
    if (!haveCopy_) return ReadFromFile(recordNumber, out);
    // The list ends inside or before the record.
    if (static_cast<uint64_t>(recordNumber) > copySize_ / kCartRecordSize)
        return Failure(err::kInputPastEndOfFile);
    const size_t offset = static_cast<size_t>(recordNumber - 1) * kCartRecordSize;
    const size_t block = offset / kBlockBytes;
    if (!blockRead_[block] && !ReadBlock(block)) {
        DropCopy();
        return ReadFromFile(recordNumber, out);
    }
    std::copy_n(copy_.get() + offset, out.size(), out.data());
    return {};
}

ErrorResult CartListFile::ReadFromFile(int64_t recordNumber, CartRecordBytes& out) const {
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
    DropCopy();
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
