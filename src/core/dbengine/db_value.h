#pragma once
// The value of one database field or statement parameter. Null and "" are different values:
// a column that was never set holds Null, and the stations' programs tell the two apart.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <variant>

namespace vantor {

class DbValue {
  public:
    enum class Kind { Null, Boolean, Integer, Double, Text };

    DbValue() = default;  // Null
    DbValue(std::nullptr_t) {}
    DbValue(bool value) : value_(value) {}
    DbValue(int value) : value_(static_cast<int64_t>(value)) {}
    DbValue(long value) : value_(static_cast<int64_t>(value)) {}
    DbValue(long long value) : value_(static_cast<int64_t>(value)) {}
    DbValue(unsigned value) : value_(static_cast<int64_t>(value)) {}
    // A single keeps its exact float value, so that what is stored reads back equal.
    DbValue(float value) : value_(static_cast<double>(value)) {}
    DbValue(double value) : value_(value) {}
    DbValue(std::string value) : value_(std::move(value)) {}
    DbValue(std::string_view value) : value_(std::string(value)) {}
    DbValue(const char* value) : value_(std::string(value)) {}

    static DbValue Null() { return DbValue(); }

    Kind kind() const { return static_cast<Kind>(value_.index()); }
    bool IsNull() const { return kind() == Kind::Null; }
    bool IsText() const { return kind() == Kind::Text; }
    bool IsNumber() const {
        return kind() == Kind::Integer || kind() == Kind::Double || kind() == Kind::Boolean;
    }

    // Conversions the way the runtime converts a variant: True is -1, a text gives its
    // leading number, Null gives 0 or "".
    bool AsBool() const;
    int64_t AsInteger() const;  // rounded half to even
    double AsDouble() const;
    std::string AsText() const;  // numbers written as the runtime writes them

    // Makes the value this text, reusing the text storage it already has: rows read into the
    // same values again and again then allocate nothing for texts that fit.
    void SetText(std::string_view text) {
        if (auto* stored = std::get_if<std::string>(&value_)) {
            stored->assign(text);
        } else {
            value_.emplace<std::string>(text);
        }
    }

    // The stored alternative itself (callers that know the kind).
    const std::string& Text() const { return std::get<std::string>(value_); }

    // Same kind and same value (Null equals Null here; this is not the runtime's comparison).
    friend bool operator==(const DbValue& a, const DbValue& b) { return a.value_ == b.value_; }

  private:
    std::variant<std::monostate, bool, int64_t, double, std::string> value_;
};

// Readable form for test messages: Null, True/False, numbers, "quoted text".
std::string DebugText(const DbValue& value);
std::ostream& operator<<(std::ostream& out, const DbValue& value);

}  // namespace vantor
