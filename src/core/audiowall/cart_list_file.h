#pragma once
// An open cart list: a file of 300-byte records, opened for reading and writing without any
// lock, since the playout programs hold the same lists open while this program runs. Every
// read goes to the file; nothing is cached, because another program may change a cart at any
// moment. Failures come back as the runtime's error numbers with their messages.

#include <cstdint>
#include <string>

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
    int fd_ = -1;
};

// Reads record 1 of a one-record file (a cart's own list) and closes it again.
ErrorResult ReadSingleRecordFile(const std::string& path, CartRecordBytes& out);

}  // namespace vantor
