// Field types, value conversions and the rules of names every backend of the engine shares.

#include <cfloat>
#include <cmath>
#include <string>

#include "common/numbers.h"
#include "common/text.h"
#include "dbengine/engine_common.h"

namespace vantor {

int FieldDef::TextWidth() const {
    if (type != FieldType::Text) return 0;
    return size > 0 ? size : kDefaultTextWidth;
}

std::optional<SeekOp> SeekOpFromText(std::string_view text) {
    if (text == "=") return SeekOp::Equal;
    if (text == ">") return SeekOp::Greater;
    if (text == ">=") return SeekOp::GreaterOrEqual;
    if (text == "<") return SeekOp::Less;
    if (text == "<=") return SeekOp::LessOrEqual;
    return std::nullopt;
}

namespace engine_detail {

namespace {
inline char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
}  // namespace

size_t NoCaseHash::operator()(std::string_view text) const {
    size_t hash = 1469598103934665603ull;
    for (char c : text) {
        hash ^= static_cast<unsigned char>(FoldAscii(c));
        hash *= 1099511628211ull;
    }
    return hash;
}

bool NoCaseEqual::operator()(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    if (a == b) return true;  // names are nearly always written as they are stored
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

void FieldLookup::Build(const std::vector<FieldDef>& fields) {
    names_.clear();
    for (const FieldDef& field : fields) names_.push_back(field.name);
    size_t size = 8;
    while (size < names_.size() * 2) size *= 2;
    mask_ = size - 1;
    slots_.assign(size, -1);
    for (size_t i = 0; i < names_.size(); ++i) {
        if (Find(names_[i]) >= 0) continue;  // the first of two equal names wins
        size_t slot = SlotOf(names_[i]);
        while (slots_[slot] >= 0) slot = (slot + 1) & mask_;
        slots_[slot] = static_cast<int>(i);
    }
}

size_t FieldLookup::SlotOf(std::string_view name) const {
    size_t key = name.size();
    if (!name.empty()) {
        key = key * 131 + static_cast<unsigned char>(FoldAscii(name.front()));
        key = key * 131 + static_cast<unsigned char>(FoldAscii(name[name.size() / 2]));
        key = key * 131 + static_cast<unsigned char>(FoldAscii(name.back()));
    }
    return static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> 40) & mask_;
}

int FieldLookup::Find(std::string_view name) const {
    if (slots_.empty()) return -1;
    NoCaseEqual equal;
    for (size_t slot = SlotOf(name);; slot = (slot + 1) & mask_) {
        int index = slots_[slot];
        if (index < 0) return -1;
        if (equal(names_[index], name)) return index;
    }
}

DbError ClosedError() {
    return DbError::Make(err::kObjectInvalid, "The database is closed.");
}

// The stations write "DELETE * FROM table"; SQL knows only "DELETE FROM table".
std::string NormalizeSql(std::string_view sql) {
    std::string text = Trim(sql);
    if (StartsWithNoCase(text, "DELETE")) {
        std::string rest = TrimLeft(std::string_view(text).substr(6));
        if (rest.starts_with("*")) {
            std::string after = TrimLeft(std::string_view(rest).substr(1));
            if (StartsWithNoCase(after, "FROM")) return "DELETE " + after;
        }
    }
    return text;
}

std::string QuoteName(std::string_view name) {
    std::string quoted = "\"";
    for (char c : name) {
        quoted += c;
        if (c == '"') quoted += '"';
    }
    quoted += '"';
    return quoted;
}

std::string DeclaredType(const FieldDef& field) {
    switch (field.type) {
        case FieldType::Boolean:
            return "BOOLEAN";
        case FieldType::Short:
            return "SHORT";
        case FieldType::Long:
            return "LONG";
        case FieldType::Single:
            return "SINGLE";
        case FieldType::Double:
            return "DOUBLE";
        case FieldType::DateTime:
            return "DATETIME";
        case FieldType::Text:
            return field.size > 0 ? "TEXT(" + std::to_string(field.size) + ")" : "TEXT";
        case FieldType::Memo:
            // "MEMO" alone would give the column numeric affinity, and SQLite would then turn
            // a stored "007" into 7; the word TEXT keeps memo values exactly as written.
            return "MEMO TEXT";
    }
    return "TEXT";
}

FieldDef FieldFromDeclaration(std::string_view name, std::string_view declaredType) {
    FieldDef field;
    field.name = std::string(name);
    std::string type = ToUpper(Trim(declaredType));
    auto widthOf = [&type]() {
        size_t open = type.find('(');
        if (open == std::string::npos) return 0;
        return SaturatedInt32(LeadingNumber(std::string_view(type).substr(open + 1)));
    };
    if (type.starts_with("MEMO") || type.find("CLOB") != std::string::npos ||
        type.starts_with("LONGTEXT") || type.empty() || type.starts_with("BLOB")) {
        field.type = FieldType::Memo;
    } else if (type.starts_with("TEXT") || type.find("CHAR") != std::string::npos) {
        field.type = FieldType::Text;
        field.size = widthOf();
    } else if (type.starts_with("BOOL") || type == "BIT" || type == "YESNO") {
        field.type = FieldType::Boolean;
    } else if (type.starts_with("SHORT") || type == "SMALLINT") {
        field.type = FieldType::Short;
    } else if (type.starts_with("LONG") || type.find("INT") != std::string::npos) {
        field.type = FieldType::Long;
    } else if (type.starts_with("SINGLE")) {
        field.type = FieldType::Single;
    } else if (type.starts_with("DATE") || type.starts_with("TIME")) {
        field.type = FieldType::DateTime;
    } else {
        field.type = FieldType::Double;
    }
    return field;
}

namespace {

DbError Mismatch(const FieldDef& field) {
    return DbError::Make(err::kTypeMismatch, "The value does not fit the field " + field.name);
}

// The number a value stands for, as a field of a numeric type takes it.
bool NumberOf(const DbValue& in, double& number) {
    switch (in.kind()) {
        case DbValue::Kind::Boolean:
        case DbValue::Kind::Integer:
        case DbValue::Kind::Double:
            number = in.AsDouble();
            return true;
        case DbValue::Kind::Text: {
            std::string text = Trim(in.Text());
            if (auto parsed = ParseNumber(text)) {
                number = *parsed;
                return true;
            }
            if (EqualsNoCase(text, "True")) {
                number = -1;
                return true;
            }
            if (EqualsNoCase(text, "False")) {
                number = 0;
                return true;
            }
            return false;
        }
        case DbValue::Kind::Null:
            break;
    }
    return false;
}

}  // namespace

DbError ConvertForField(const FieldDef& field, const DbValue& in, DbValue& out, bool strict) {
    if (in.IsNull()) {
        out = DbValue();
        return {};
    }
    double number = 0.0;
    switch (field.type) {
        case FieldType::Boolean: {
            if (in.kind() == DbValue::Kind::Text) {
                std::string text = Trim(in.Text());
                if (EqualsNoCase(text, "Yes") || EqualsNoCase(text, "On")) {
                    out = DbValue(true);
                    return {};
                }
                if (EqualsNoCase(text, "No") || EqualsNoCase(text, "Off")) {
                    out = DbValue(false);
                    return {};
                }
            }
            if (!NumberOf(in, number)) return Mismatch(field);
            out = DbValue(number != 0.0);
            return {};
        }
        case FieldType::Short:
        case FieldType::Long: {
            if (!NumberOf(in, number)) return Mismatch(field);
            if (field.type == FieldType::Short) {
                auto value = ToInt16(number);
                if (!value) return DbError::Make(err::kOverflow, "Overflow");
                out = DbValue(static_cast<int>(*value));
            } else {
                auto value = ToInt32(number);
                if (!value) return DbError::Make(err::kOverflow, "Overflow");
                out = DbValue(static_cast<long long>(*value));
            }
            return {};
        }
        case FieldType::Single: {
            if (!NumberOf(in, number)) return Mismatch(field);
            if (!std::isfinite(number) || std::fabs(number) > FLT_MAX) {
                return DbError::Make(err::kOverflow, "Overflow");
            }
            out = DbValue(static_cast<float>(number));
            return {};
        }
        case FieldType::Double:
        case FieldType::DateTime: {
            if (!NumberOf(in, number)) return Mismatch(field);
            out = DbValue(number);
            return {};
        }
        case FieldType::Text:
        case FieldType::Memo: {
            std::string text = in.AsText();
            if (strict && field.type == FieldType::Text &&
                CharacterCount(text) > static_cast<size_t>(field.TextWidth())) {
                return DbError::Make(err::kFieldTooSmall,
                                     "The value is too long for the field " + field.name);
            }
            out = DbValue(std::move(text));
            return {};
        }
    }
    return Mismatch(field);
}

void EditBuffer::Begin(EditMode editMode, size_t fieldCount) {
    values.resize(fieldCount);
    dirty.assign(fieldCount, 0);
    mode = editMode;
}

const DbValue& EditBuffer::Edited(size_t index, const std::vector<DbValue>& row) const {
    static const DbValue kNull;
    if (dirty[index]) return values[index];
    return mode == EditMode::Edit ? row[index] : kNull;
}

DbError EditBuffer::Set(const std::vector<FieldDef>& fields, int index, const DbValue& value) {
    if (index < 0 || index >= static_cast<int>(fields.size())) {
        return DbError::Make(err::kItemNotFound, "Item not found in this collection.");
    }
    if (mode == EditMode::None) {
        return DbError::Make(err::kUpdateWithoutEdit,
                             "Update or CancelUpdate without AddNew or Edit.");
    }
    if (!StoreForField(fields[index], value, values[index])) {
        DbValue converted;
        if (DbError error = ConvertForField(fields[index], value, converted, true); !error.Ok())
            return error;
        values[index] = std::move(converted);
    }
    dirty[index] = 1;
    return {};
}

DbError EditBuffer::CheckRequired(const std::vector<int>& required,
                                  const std::vector<DbValue>& row) const {
    if (mode == EditMode::None) {
        return DbError::Make(err::kUpdateWithoutEdit,
                             "Update or CancelUpdate without AddNew or Edit.");
    }
    for (int field : required) {
        if (Edited(field, row).IsNull()) {
            return DbError::Make(err::kNullInPrimaryKey,
                                 "Index or primary key cannot contain a Null value.");
        }
    }
    return {};
}

bool StoreForField(const FieldDef& field, const DbValue& in, DbValue& slot) {
    const DbValue::Kind kind = in.kind();
    if (kind == DbValue::Kind::Null) {
        slot = DbValue();
        return true;
    }
    switch (field.type) {
        case FieldType::Text:
        case FieldType::Memo:
            if (kind != DbValue::Kind::Text) return false;
            // A text holds no more characters than bytes: only one longer in bytes than the
            // field is wide needs counting.
            if (field.type == FieldType::Text &&
                in.Text().size() > static_cast<size_t>(field.TextWidth()) &&
                CharacterCount(in.Text()) > static_cast<size_t>(field.TextWidth())) {
                return false;
            }
            slot.SetText(in.Text());
            return true;
        case FieldType::Short:
        case FieldType::Long: {
            if (kind != DbValue::Kind::Integer) return false;
            const int64_t value = in.AsInteger();
            const int64_t low = field.type == FieldType::Short ? -32768 : -2147483648LL;
            const int64_t high = field.type == FieldType::Short ? 32767 : 2147483647LL;
            if (value < low || value > high) return false;
            slot = DbValue(static_cast<long long>(value));
            return true;
        }
        case FieldType::Single: {
            if (kind != DbValue::Kind::Double && kind != DbValue::Kind::Integer) return false;
            const double number = in.AsDouble();
            if (!std::isfinite(number) || std::fabs(number) > FLT_MAX) return false;
            slot = DbValue(static_cast<float>(number));
            return true;
        }
        case FieldType::Double:
        case FieldType::DateTime:
            if (kind != DbValue::Kind::Double && kind != DbValue::Kind::Integer) return false;
            slot = DbValue(in.AsDouble());
            return true;
        case FieldType::Boolean:
            return false;
    }
    return false;
}

}  // namespace engine_detail
}  // namespace vantor
