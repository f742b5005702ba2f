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

// 3420, the answer of a handle whose database is closed.
DbError ClosedError();

}  // namespace vantor::engine_detail
