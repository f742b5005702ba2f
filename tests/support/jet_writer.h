#pragma once
// A small writer of Jet 3 and Jet 4 database files, so that the tests of the Windows database
// import have files of the old format without anybody's files. It lays out what a reader of
// the format needs and nothing more: the header page, the catalog table on page 2, one table
// definition page per table, data pages filled from the end, long texts on pages of their
// own (one page, or a chain of pages), rows marked deleted, the null mask, and the usage maps
// that tell a reader which pages belong to a table. Indexes are not written: a reader walks
// the data pages.

#include <set>
#include <string>
#include <vector>

#include "dbengine/db_value.h"
#include "dbengine/engine.h"

namespace vantor::testing {

enum class JetVersion { Jet3, Jet4 };

// The format's own type codes besides ours (boolean 1, integer 3, long 4, single 6, double 7,
// date 8, text 10, memo 12), for columns an old file may hold that a database of ours has not.
inline constexpr int kJetByte = 2;
inline constexpr int kJetMoney = 5;

struct JetColumn {
    std::string name;
    int type = static_cast<int>(FieldType::Text);
    int size = 0;  // text width in characters; 0 = 255
    JetColumn(std::string n, FieldType t, int s = 0)
        : name(std::move(n)), type(static_cast<int>(t)), size(s) {}
    JetColumn(std::string n, int t, int s = 0) : name(std::move(n)), type(t), size(s) {}
};

// A row's values in column order: Null, a boolean, a whole number, a double (dates are their
// serial) or a UTF-8 text. A single is written from the double rounded to float.
using JetRow = std::vector<DbValue>;

struct JetTable {
    std::string name;
    std::vector<JetColumn> columns;
    std::vector<JetRow> rows;
    std::set<size_t> deletedRows;  // rows written but marked deleted
};

struct JetLayoutChoices {
    // Memo texts up to this many encoded bytes stay inside their row; longer ones go to a page
    // of their own, and those longer than a page to a chain of pages.
    size_t inlineMemoBytes = 64;
    // At most this many rows on one data page (0: as many as fit), to spread a table wide.
    size_t rowsPerPage = 0;
};

// Writes the file; "" on success, else what went wrong (a row too long for a page, ...).
std::string WriteJetFile(const std::string& path, JetVersion version,
                         const std::vector<JetTable>& tables, const JetLayoutChoices& choices = {});

}  // namespace vantor::testing
