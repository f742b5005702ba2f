#include "dbmanage/database_types.h"

#include "common/numbers.h"

namespace vantor {

DatabaseTypeInfo DescribeDatabaseType(int32_t number) {
    switch (number) {
        case 1:
            return {number, "rotaplan", "Rotaplan Database", false};
        case 2:
            return {number, "adverts", "Adverts Database", false};
        case 4:
            return {number, "kora", "Kora Database", false};
        case 11:
            return {number, "rotaplanv3", "Rotaplan v3 Database", true};
        case 14:
            return {number, "kora", "Kora V2.6 Database", false};
        case 19:
            return {number, "legacy", "Quillon v3 Database", true};
        default:
            return {number, "", "Invalid Database " + std::to_string(number), false};
    }
}

int32_t DatabaseTypeFromTag(std::string_view tag) {
    return ToInt32(RoundHalfEven(LeadingNumber(tag))).value_or(0);
}

}  // namespace vantor
