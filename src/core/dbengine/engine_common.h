#pragma once
// What the engine's backends share: names compared without regard to case, the declared types
// of fields and the conversions a value goes through before it is stored.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dbengine/engine.h"

namespace vantor::engine_detail {

// Field and table names compare without regard to (ASCII) case, as on the stations.
struct NoCaseHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const;
};
struct NoCaseEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};
using NoCaseIndexMap = std::unordered_map<std::string, int, NoCaseHash, NoCaseEqual>;

// Positions of a table's fields by name, without regard to case. Rows are written and read
// field by field by name, dozens of times per row, so the lookup must cost little: the slot
// comes from the name's length and three of its characters rather than from hashing the whole
// name, and one comparison then confirms it.
class FieldLookup {
  public:
    void Build(const std::vector<FieldDef>& fields);
    int Find(std::string_view name) const;  // -1 when no field has the name

  private:
    size_t SlotOf(std::string_view name) const;
    std::vector<std::string> names_;
    std::vector<int> slots_;  // field position, or -1 for an empty slot
    size_t mask_ = 0;
};

// A statement as the stations write it, in the form SQL knows ("DELETE * FROM" loses its *).
std::string NormalizeSql(std::string_view sql);
// "name" with embedded quotes doubled.
std::string QuoteName(std::string_view name);
// The SQL type a field is declared with, and back.
std::string DeclaredType(const FieldDef& field);
FieldDef FieldFromDeclaration(std::string_view name, std::string_view declaredType);

// Converts a value to what a field of this type stores; strict checks text widths.
DbError ConvertForField(const FieldDef& field, const DbValue& in, DbValue& out, bool strict);
// The common conversions of ConvertForField (strict), done straight into the value that keeps
// them: a text reuses the storage the slot already has, a number makes no temporary. False
// when the case is not one of them or does not fit; the caller then converts with
// ConvertForField, which gives the same value or the error.
bool StoreForField(const FieldDef& field, const DbValue& in, DbValue& slot);

// The row being added or edited on a cursor, kept alike by every backend: only the fields that
// were set (dirty) hold a value; the others are the current row's (Edit) or Null (AddNew), so no
// copy of the row is made to edit it. A value is converted and checked against its field when it
// is set, so that a refused value fails at its own Set and the row is never half-converted.
struct EditBuffer {
    EditMode mode = EditMode::None;
    std::vector<DbValue> values;
    std::vector<char> dirty;

    // Starts an edit of a row of fieldCount fields. The values keep their storage from the row
    // before: the next row's texts are copied into it rather than into fresh allocations.
    void Begin(EditMode editMode, size_t fieldCount);
    // The value a field has in the edit, row being the cursor's current row.
    const DbValue& Edited(size_t index, const std::vector<DbValue>& row) const;
    DbError Set(const std::vector<FieldDef>& fields, int index, const DbValue& value);
    // 3058 when a field the table requires (its primary key) would be stored as Null.
    DbError CheckRequired(const std::vector<int>& required, const std::vector<DbValue>& row) const;
};

// 3420, the answer of a handle whose database is closed.
DbError ClosedError();

}  // namespace vantor::engine_detail
