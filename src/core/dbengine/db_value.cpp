#include "dbengine/db_value.h"

#include <cmath>
#include <limits>
#include <ostream>

#include "common/numbers.h"
#include "common/text.h"

namespace vantor {

namespace {

int64_t ClampToInt64(double value) {
    if (std::isnan(value)) return 0;
    double rounded = RoundHalfEven(value);
    if (rounded >= 9.2e18) return std::numeric_limits<int64_t>::max();
    if (rounded <= -9.2e18) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(rounded);
}

}  // namespace

bool DbValue::AsBool() const {
    switch (kind()) {
        case Kind::Null:
            return false;
        case Kind::Boolean:
            return std::get<bool>(value_);
        case Kind::Integer:
            return std::get<int64_t>(value_) != 0;
        case Kind::Double:
            return std::get<double>(value_) != 0.0;
        case Kind::Text: {
            const std::string& text = std::get<std::string>(value_);
            if (EqualsNoCase(Trim(text), "True")) return true;
            return LeadingNumber(text) != 0.0;
        }
    }
    return false;
}

int64_t DbValue::AsInteger() const {
    switch (kind()) {
        case Kind::Null:
            return 0;
        case Kind::Boolean:
            return std::get<bool>(value_) ? -1 : 0;
        case Kind::Integer:
            return std::get<int64_t>(value_);
        case Kind::Double:
            return ClampToInt64(std::get<double>(value_));
        case Kind::Text:
            return ClampToInt64(LeadingNumber(std::get<std::string>(value_)));
    }
    return 0;
}

double DbValue::AsDouble() const {
    switch (kind()) {
        case Kind::Null:
            return 0.0;
        case Kind::Boolean:
            return std::get<bool>(value_) ? -1.0 : 0.0;
        case Kind::Integer:
            return static_cast<double>(std::get<int64_t>(value_));
        case Kind::Double:
            return std::get<double>(value_);
        case Kind::Text:
            return LeadingNumber(std::get<std::string>(value_));
    }
    return 0.0;
}

std::string DbValue::AsText() const {
    switch (kind()) {
        case Kind::Null:
            return "";
        case Kind::Boolean:
            return std::get<bool>(value_) ? "True" : "False";
        case Kind::Integer:
            return IntText(std::get<int64_t>(value_));
        case Kind::Double:
            return NumberText(std::get<double>(value_));
        case Kind::Text:
            return std::get<std::string>(value_);
    }
    return "";
}

std::string DebugText(const DbValue& value) {
    switch (value.kind()) {
        case DbValue::Kind::Null:
            return "Null";
        case DbValue::Kind::Text:
            return "\"" + value.Text() + "\"";
        default:
            return value.AsText();
    }
}

std::ostream& operator<<(std::ostream& out, const DbValue& value) {
    return out << DebugText(value);
}

}  // namespace vantor
