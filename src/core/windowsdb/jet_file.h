#pragma once
// A database file of the Windows installation (the desktop engine's Jet 3 or Jet 4 format),
// opened for reading through libmdb. What comes out are our own values: numbers and dates
// from their stored bytes (libmdb's text forms round them), texts and memos as UTF-8, Null
// kept apart from the empty text, and rows the file marks deleted left out.

#include <memory>
#include <string>
#include <vector>

#include "dbengine/db_value.h"

namespace vantor {

struct JetColumnInfo {
    std::string name;
    int type = 0;  // the format's type code (1 boolean ... 12 memo)
    int size = 0;  // declared size in bytes as stored (texts: characters in Jet 3)
};

// The format's type codes that have a value of ours.
bool IsJetTypeReadable(int type);
// "money", "binary", ...: how a report names a type code.
std::string JetTypeName(int type);

class JetTableReader;

class JetFile {
  public:
    JetFile();
    ~JetFile();
    JetFile(const JetFile&) = delete;
    JetFile& operator=(const JetFile&) = delete;

    // Opens the file; "" on success, else why it is not a Jet 3 or Jet 4 database ("the file
    // is shorter than a page", "a newer engine's file (.accdb)", ...). Nothing is written.
    std::string Open(const std::string& path);
    bool IsOpen() const;
    int Version() const;  // 3 or 4

    // The user tables, in catalog order (system tables are left out).
    const std::vector<std::string>& TableNames() const;

    // Opens one table for reading; "" on success, else why it cannot be read.
    std::string OpenTable(const std::string& name, JetTableReader& reader) const;

  private:
    friend class JetTableReader;
    struct State;
    std::shared_ptr<State> state_;
    std::vector<std::string> tables_;
    int version_ = 0;
};

// The rows of one table, read forward.
class JetTableReader {
  public:
    JetTableReader();
    ~JetTableReader();
    JetTableReader(const JetTableReader&) = delete;
    JetTableReader& operator=(const JetTableReader&) = delete;

    const std::vector<JetColumnInfo>& Columns() const { return columns_; }
    // The next live row's values, in the order of Columns(); false at the end. A column of a
    // type without a value of ours reads as Null.
    bool Next(std::vector<DbValue>& values);
    // The live rows the table's definition counts, and those Next gave: fewer read than
    // counted means pages are missing (a file cut short at a page boundary).
    long long CountedRows() const;
    long long RowsRead() const;

  private:
    friend class JetFile;
    struct State;
    std::unique_ptr<State> state_;
    std::vector<JetColumnInfo> columns_;
};

}  // namespace vantor
