#include "windowsdb/jet_file.h"

#include <mdbtools.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>

namespace vantor {

namespace {

constexpr int kOffsetMask = 0x1fff;
// A row whose place on its page carries this bit was deleted. libmdb 1.0 reads the bits of
// the row table the other way round (it skips the overflow mark instead), so deleted rows
// would come back as live ones: the reader checks the bit itself.
constexpr int kDeletedRow = 0x8000;
constexpr size_t kTextBindSize = 4096;  // 255 characters, each at most 3 bytes of UTF-8

int32_t Get32(const unsigned char* at) {
    return static_cast<int32_t>(static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
                                static_cast<uint32_t>(at[2]) << 16 |
                                static_cast<uint32_t>(at[3]) << 24);
}

// The bytes a fixed-width value of the type takes in its row; 0 for the types read by length.
size_t FixedWidth(int type) {
    switch (type) {
        case MDB_BYTE: return 1;
        case MDB_INT: return 2;
        case MDB_LONGINT: case MDB_FLOAT: return 4;
        case MDB_DOUBLE: case MDB_DATETIME: return 8;
        default: return 0;
    }
}

// Whether every value of the row lies inside the page it was read from. libmdb takes a
// field's place from the row's own offset table, which a damaged file can point anywhere;
// such a row is left unread, so the table reads fewer rows than it counts and is refused.
bool FieldsInsidePage(const MdbField* fields, unsigned count,
                      const std::vector<JetColumnInfo>& columns, size_t pageSize) {
    for (unsigned i = 0; i < count; ++i) {
        const MdbField& field = fields[i];
        if (field.colnum < 0 || static_cast<size_t>(field.colnum) >= columns.size()) return false;
        if (field.is_null) continue;
        if (field.start < 0 || field.siz < 0) return false;
        const size_t width =
            std::max<size_t>(FixedWidth(columns[field.colnum].type), static_cast<size_t>(field.siz));
        if (static_cast<size_t>(field.start) + width > pageSize) return false;
    }
    return true;
}

// libmdb converts into a buffer of the bind size and leaves it unterminated when the text
// fills it (a memo whose pages hold more than its header says): read no further than that.
std::string TakeText(char* text, size_t bindSize) {
    std::string result = text ? std::string(text, ::strnlen(text, bindSize)) : std::string();
    g_free(text);
    return result;
}

}  // namespace

bool IsJetTypeReadable(int type) {
    switch (type) {
        case MDB_BOOL: case MDB_BYTE: case MDB_INT: case MDB_LONGINT: case MDB_FLOAT:
        case MDB_DOUBLE: case MDB_DATETIME: case MDB_TEXT: case MDB_MEMO:
            return true;
        default:
            return false;
    }
}

std::string JetTypeName(int type) {
    switch (type) {
        case MDB_BOOL: return "boolean";
        case MDB_BYTE: return "byte";
        case MDB_INT: return "integer";
        case MDB_LONGINT: return "long";
        case MDB_MONEY: return "currency";
        case MDB_FLOAT: return "single";
        case MDB_DOUBLE: return "double";
        case MDB_DATETIME: return "date/time";
        case MDB_BINARY: return "binary";
        case MDB_TEXT: return "text";
        case MDB_OLE: return "OLE object";
        case MDB_MEMO: return "memo";
        case MDB_REPID: return "replication ID";
        case MDB_NUMERIC: return "decimal";
        default: return "type " + std::to_string(type);
    }
}

struct JetFile::State {
    MdbHandle* mdb = nullptr;
    ~State() {
        if (mdb) mdb_close(mdb);
    }
};

struct JetTableReader::State {
    std::shared_ptr<JetFile::State> file;  // keeps the handle open while the table is read
    MdbTableDef* table = nullptr;
    std::vector<MdbField> fields;
    long long expectedRows = 0;
    long long rowsRead = 0;
    ~State() {
        if (table) mdb_free_tabledef(table);
    }
};

namespace {

bool CatalogMapReadable(MdbHandle* mdb) {
    MdbCatalogEntry entry{};
    entry.mdb = mdb;
    std::snprintf(entry.object_name, sizeof entry.object_name, "%s", "MSysObjects");
    entry.object_type = MDB_TABLE;
    entry.table_pg = 2;
    MdbTableDef* table = mdb_read_table(&entry);
    if (!table) return false;
    const bool readable = table->usage_map && table->map_sz >= 1;
    mdb_free_tabledef(table);
    return readable;
}

}  // namespace

JetFile::JetFile() = default;
JetFile::~JetFile() = default;

bool JetFile::IsOpen() const { return state_ != nullptr; }
int JetFile::Version() const { return version_; }
const std::vector<std::string>& JetFile::TableNames() const { return tables_; }

std::string JetFile::Open(const std::string& path) {
    state_.reset();
    tables_.clear();
    // The header is checked here first: libmdb takes any file whose first byte is 0 and opens
    // the newer engine's files too, whose pages it only partly understands.
    std::ifstream in(path, std::ios::binary);
    if (!in) return "the file cannot be opened";
    in.seekg(0, std::ios::end);
    const long long length = static_cast<long long>(in.tellg());
    in.seekg(0);
    unsigned char header[0x20] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    if (length < static_cast<long long>(sizeof header) || header[0] != 0 ||
        std::memcmp(header + 4, "Standard ", 9) != 0)
        return "it is not a database of the desktop engine (Jet 3 or Jet 4)";
    if (std::memcmp(header + 4, "Standard ACE DB", 15) == 0 || header[0x14] > MDB_VER_JET4)
        return "it is a newer engine's database (.accdb), not Jet 3 or Jet 4";
    if (std::memcmp(header + 4, "Standard Jet DB", 15) != 0)
        return "it is not a database of the desktop engine (Jet 3 or Jet 4)";
    version_ = header[0x14] == MDB_VER_JET3 ? 3 : 4;
    const long long pageSize = version_ == 3 ? 2048 : 4096;
    // Every page of such a file is whole, and the catalog lives on page 2.
    if (length % pageSize != 0 || length < 3 * pageSize)
        return "the file is truncated (" + std::to_string(length) + " bytes is not a whole number of " +
               std::to_string(pageSize) + "-byte pages of a Jet " + std::to_string(version_) +
               " database)";

    auto state = std::make_shared<State>();
    state->mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (!state->mdb) return "it cannot be read as a Jet " + std::to_string(version_) + " database";
    mdb_set_bind_size(state->mdb, kTextBindSize);
    // The catalog is a table too (on page 2), read through its page map as every table is:
    // a damaged map would make libmdb read through a null pointer, so it is looked at first.
    if (!CatalogMapReadable(state->mdb)) return "its list of tables cannot be read";
    GPtrArray* catalog = mdb_read_catalog(state->mdb, MDB_TABLE);
    if (!catalog) return "its list of tables cannot be read";
    for (unsigned i = 0; i < state->mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(state->mdb->catalog, i));
        if (mdb_is_user_table(entry)) tables_.emplace_back(entry->object_name);
    }
    state_ = std::move(state);
    return "";
}

std::string JetFile::OpenTable(const std::string& name, JetTableReader& reader) const {
    reader.state_.reset();
    reader.columns_.clear();
    if (!state_) return "the file is not open";
    MdbHandle* mdb = state_->mdb;
    MdbCatalogEntry* found = nullptr;
    for (unsigned i = 0; i < mdb->num_catalog && !found; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && name == entry->object_name) found = entry;
    }
    if (!found) return "the table " + name + " is not in the file";
    auto state = std::make_unique<JetTableReader::State>();
    state->file = state_;
    state->table = mdb_read_table(found);
    if (!state->table || !mdb_read_columns(state->table))
        return "the definition of the table " + name + " cannot be read";
    MdbTableDef* table = state->table;
    // libmdb finds a table's data pages through its usage map and reads the map without
    // checking that it was found: a damaged file would make it read through a null pointer.
    if (!table->usage_map || table->map_sz < 1)
        return "the map of the pages of the table " + name + " cannot be read";
    for (unsigned i = 0; i < table->num_cols; ++i) {
        auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        reader.columns_.push_back({column->name, column->col_type, column->col_size});
    }
    state->fields.resize(table->num_cols);
    state->expectedRows = table->num_rows;
    mdb_rewind_table(table);
    reader.state_ = std::move(state);
    return "";
}

JetTableReader::JetTableReader() = default;
JetTableReader::~JetTableReader() = default;

long long JetTableReader::CountedRows() const { return state_ ? state_->expectedRows : 0; }
long long JetTableReader::RowsRead() const { return state_ ? state_->rowsRead : 0; }

bool JetTableReader::Next(std::vector<DbValue>& values) {
    if (!state_) return false;
    MdbTableDef* table = state_->table;
    MdbHandle* mdb = table->entry->mdb;
    while (mdb_fetch_row(table)) {
        int start = 0;
        size_t size = 0;
        if (mdb_find_row(mdb, static_cast<int>(table->cur_row) - 1, &start, &size) != 0) continue;
        if (start & kDeletedRow) continue;
        start &= kOffsetMask;
        MdbField* fields = state_->fields.data();
        if (mdb_crack_row(table, start, size, fields) < 0) continue;
        if (!FieldsInsidePage(fields, table->num_cols, columns_, sizeof mdb->pg_buf)) continue;

        values.assign(columns_.size(), DbValue());
        for (unsigned i = 0; i < table->num_cols; ++i) {
            const MdbField& field = fields[i];
            const int type = columns_[field.colnum].type;
            DbValue& value = values[field.colnum];
            if (type == MDB_BOOL) {
                value = DbValue(!field.is_null);
                continue;
            }
            if (field.is_null) continue;
            const unsigned char* at = mdb->pg_buf + field.start;
            switch (type) {
                case MDB_BYTE:
                    value = DbValue(static_cast<int>(at[0]));
                    break;
                case MDB_INT:
                    value = DbValue(static_cast<int>(static_cast<int16_t>(at[0] | at[1] << 8)));
                    break;
                case MDB_LONGINT:
                    value = DbValue(static_cast<long long>(Get32(at)));
                    break;
                case MDB_FLOAT: {
                    uint32_t bits = static_cast<uint32_t>(Get32(at));
                    float single;
                    std::memcpy(&single, &bits, sizeof single);
                    value = DbValue(single);
                    break;
                }
                case MDB_DOUBLE:
                case MDB_DATETIME: {
                    uint64_t bits = static_cast<uint32_t>(Get32(at)) |
                                    static_cast<uint64_t>(static_cast<uint32_t>(Get32(at + 4))) << 32;
                    double number;
                    std::memcpy(&number, &bits, sizeof number);
                    value = DbValue(number);
                    break;
                }
                case MDB_TEXT:
                    value = field.siz <= 0
                                ? DbValue("")
                                : DbValue(TakeText(mdb_col_to_string(mdb, mdb->pg_buf, field.start,
                                                                     MDB_TEXT, field.siz),
                                                   kTextBindSize));
                    break;
                case MDB_MEMO: {
                    if (field.siz < MDB_MEMO_OVERHEAD) {
                        value = DbValue("");
                        break;
                    }
                    // The converted text must fit the bind size, or libmdb cuts it: room for
                    // every stored byte becoming three bytes of UTF-8. A memo inside its row
                    // or on one page holds at most a page whatever its header claims; a chain
                    // of pages is under 16 MB (the length's high byte is its flags), so that a
                    // damaged header cannot ask for gigabytes.
                    const uint32_t header = static_cast<uint32_t>(Get32(at));
                    const size_t stored = (header & 0xc0000000u) != 0
                                              ? static_cast<size_t>(mdb->fmt->pg_size)
                                              : std::min<size_t>(header, 0xffffffu);
                    const size_t bindSize = std::max(kTextBindSize, stored * 3 + 16);
                    mdb_set_bind_size(mdb, bindSize);
                    value = DbValue(TakeText(
                        mdb_col_to_string(mdb, mdb->pg_buf, field.start, MDB_MEMO, field.siz),
                        bindSize));
                    mdb_set_bind_size(mdb, kTextBindSize);
                    break;
                }
                default:
                    break;  // no value of ours: Null
            }
        }
        ++state_->rowsRead;
        return true;
    }
    return false;
}

}  // namespace vantor
