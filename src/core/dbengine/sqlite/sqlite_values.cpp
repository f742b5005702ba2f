// The SQLite side of values and failures: binding parameters, reading columns, and the
// library's result codes as the classic error numbers.

#include "dbengine/sqlite/engine_internal.h"

namespace vantor::engine_detail {

DbError MapSqliteError(int rc, int extendedCode, std::string_view message) {
    std::string detail(message);
    switch (rc & 0xff) {
        case SQLITE_OK:
        case SQLITE_ROW:
        case SQLITE_DONE:
            return {};
        case SQLITE_CONSTRAINT:
            if (extendedCode == SQLITE_CONSTRAINT_UNIQUE ||
                extendedCode == SQLITE_CONSTRAINT_PRIMARYKEY) {
                return DbError::Make(err::kDuplicateKey, detail);
            }
            if (extendedCode == SQLITE_CONSTRAINT_NOTNULL) {
                return DbError::Make(err::kNullInPrimaryKey, detail);
            }
            return DbError::Make(err::kReserved, detail);
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            return DbError::Make(err::kUnrecognizedFormat, detail);
        case SQLITE_BUSY:
            return DbError::Make(err::kCouldNotLock, detail);
        case SQLITE_LOCKED:
            return DbError::Make(err::kLockedByOtherSession, detail);
        case SQLITE_READONLY:
            return DbError::Make(err::kReadOnly, detail);
        case SQLITE_FULL:
            return DbError::Make(err::kNotEnoughSpaceOnDisk, detail);
        case SQLITE_IOERR:
            return DbError::Make(err::kDiskOrNetworkError, detail);
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return DbError::Make(err::kCannotOpenFile, detail);
        case SQLITE_NOMEM:
            return DbError::Make(err::kOutOfMemory, detail);
        case SQLITE_TOOBIG:
            return DbError::Make(err::kFieldTooSmall, detail);
        case SQLITE_ERROR:
            if (detail.starts_with("no such table")) {
                return DbError::Make(err::kInputTableNotFound, detail);
            }
            if (detail.starts_with("no such column")) {
                return DbError::Make(err::kTooFewParameters, detail);
            }
            return DbError::Make(err::kInvalidArgument, detail);
        default:
            return DbError::Make(err::kReserved, detail);
    }
}

DbError Connection::ErrorOf(int rc) const {
    if (db == nullptr) return MapSqliteError(rc, rc, sqlite3_errstr(rc));
    return MapSqliteError(rc, sqlite3_extended_errcode(db), sqlite3_errmsg(db));
}

DbError BindResult(int rc) {
    if (rc == SQLITE_OK) return {};
    return MapSqliteError(rc, rc, sqlite3_errstr(rc));
}

DbError BindValue(sqlite3_stmt* stmt, int index, const DbValue& value, bool keepsValue) {
    switch (value.kind()) {
        case DbValue::Kind::Null:
            return BindResult(sqlite3_bind_null(stmt, index));
        case DbValue::Kind::Boolean:
            return BindResult(sqlite3_bind_int(stmt, index, value.AsBool() ? 1 : 0));
        case DbValue::Kind::Integer:
            return BindResult(sqlite3_bind_int64(stmt, index, value.AsInteger()));
        case DbValue::Kind::Double:
            return BindResult(sqlite3_bind_double(stmt, index, value.AsDouble()));
        case DbValue::Kind::Text:
            return BindResult(sqlite3_bind_text(stmt, index, value.Text().data(),
                                                static_cast<int>(value.Text().size()),
                                                keepsValue ? SQLITE_STATIC : SQLITE_TRANSIENT));
    }
    return BindResult(SQLITE_MISUSE);
}

DbValue ReadColumnAsStored(sqlite3_stmt* stmt, int column) {
    switch (sqlite3_column_type(stmt, column)) {
        case SQLITE_NULL:
            return DbValue();
        case SQLITE_INTEGER:
            return DbValue(static_cast<long long>(sqlite3_column_int64(stmt, column)));
        case SQLITE_FLOAT:
            return DbValue(sqlite3_column_double(stmt, column));
        default: {
            const unsigned char* text = sqlite3_column_text(stmt, column);
            int bytes = sqlite3_column_bytes(stmt, column);
            return DbValue(std::string(reinterpret_cast<const char*>(text), bytes));
        }
    }
}

DbValue ReadColumn(sqlite3_stmt* stmt, int column, FieldType type) {
    int storage = sqlite3_column_type(stmt, column);
    if (storage == SQLITE_NULL) return DbValue();
    switch (type) {
        case FieldType::Boolean:
            if (storage == SQLITE_TEXT) return DbValue(ReadColumnAsStored(stmt, column).AsBool());
            return DbValue(sqlite3_column_double(stmt, column) != 0.0);
        case FieldType::Short:
        case FieldType::Long:
            if (storage == SQLITE_INTEGER) {
                return DbValue(static_cast<long long>(sqlite3_column_int64(stmt, column)));
            }
            return DbValue(static_cast<long long>(ReadColumnAsStored(stmt, column).AsInteger()));
        case FieldType::Single:
        case FieldType::Double:
        case FieldType::DateTime:
            if (storage == SQLITE_TEXT) return DbValue(ReadColumnAsStored(stmt, column).AsDouble());
            return DbValue(sqlite3_column_double(stmt, column));
        case FieldType::Text:
        case FieldType::Memo: {
            const unsigned char* text = sqlite3_column_text(stmt, column);
            int bytes = sqlite3_column_bytes(stmt, column);
            return DbValue(std::string(reinterpret_cast<const char*>(text), bytes));
        }
    }
    return ReadColumnAsStored(stmt, column);
}

void ReadColumnInto(sqlite3_stmt* stmt, int column, FieldType type, DbValue& out) {
    if ((type == FieldType::Text || type == FieldType::Memo) &&
        sqlite3_column_type(stmt, column) != SQLITE_NULL) {
        const unsigned char* text = sqlite3_column_text(stmt, column);
        int bytes = sqlite3_column_bytes(stmt, column);
        out.SetText(std::string_view(reinterpret_cast<const char*>(text), bytes));
        return;
    }
    out = ReadColumn(stmt, column, type);
}

}  // namespace vantor::engine_detail
