#pragma once
// An open cart list: a file of 300-byte records, opened for reading and writing without any
// lock, since the playout programs hold the same lists open while this program runs. Failures
// come back as the runtime's error numbers with their messages.
//
// An import looks up a cart for every entry, so the list is kept in memory, each block of
// records read once when a lookup first needs it (a run's memory follows the carts it uses,
// not the size of the store); but another program may change a cart at any moment, so every read first asks the
// file for its identity (device, inode, size, modification and change times to the
// nanosecond) and reads the list again when any of them moved. A list changed within the last
// moments is not copied at all: a second rewrite of the same size inside the same tick of a
// coarse file-system clock would leave every time as it was, so such a list is read record by
// record from the file until it has been left alone for a while.

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "audiowall/cart_record.h"
#include "common/error_result.h"

namespace vantor {

class CartListFile {
  public:
    CartListFile() = default;
    ~CartListFile() { Close(); }
    CartListFile(const CartListFile&) = delete;
    CartListFile& operator=(const CartListFile&) = delete;
    CartListFile(CartListFile&& other) noexcept;
    CartListFile& operator=(CartListFile&& other) noexcept;

    // Opens for reading and writing (read only when the file may not be written, so that a
    // list on a read-only share can still be looked up). create makes a missing file.
    ErrorResult Open(const std::string& path, bool create);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    // Length in bytes, -1 when it cannot be told.
    int64_t Length() const;
    // Reads record recordNumber (from 1). A record that is not wholly in the file is a
    // failure (error 62), never a half-filled record.
    ErrorResult ReadRecord(int64_t recordNumber, CartRecordBytes& out) const;
    // Writes the same record at every record number from first to last.
    ErrorResult WriteRecords(int64_t first, int64_t last, const CartRecordBytes& record);

  private:
    // What tells one version of the file's contents from another.
    struct Stamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1;
        timespec modified{};
        timespec changed{};
        bool operator==(const Stamp& other) const;
    };
    static Stamp StampOf(const struct stat& st);
    ErrorResult ReadFromFile(int64_t recordNumber, CartRecordBytes& out) const;
    bool ReadBlock(size_t block) const;
    void DropCopy() const;

    int fd_ = -1;
    // The list as it was at copyStamp_, in the blocks marked in blockRead_; a cache of the
    // file, hence mutable in a read. Left uninitialised so that unread blocks take no memory.
    mutable std::unique_ptr<char[]> copy_;
    mutable size_t copySize_ = 0;
    mutable std::vector<bool> blockRead_;
    mutable Stamp copyStamp_;
    mutable bool haveCopy_ = false;
};

// Reads record 1 of a one-record file (a cart's own list) and closes it again.
ErrorResult ReadSingleRecordFile(const std::string& path, CartRecordBytes& out);

}  // namespace vantor
