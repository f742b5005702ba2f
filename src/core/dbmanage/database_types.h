#pragma once
// The kinds of database the installation's programs keep, as the number stored in the Type
// field of a database's Description row: each has a tag word, which also names its icon, and
// a label the operator reads.

#include <cstdint>
#include <string>
#include <string_view>

namespace vantor {

// The kinds this program asks for.
inline constexpr int32_t kAdvertsDatabaseType = 2;
inline constexpr int32_t kKoraV26DatabaseType = 14;

struct DatabaseTypeInfo {
    int32_t number = 0;
    std::string tagWord;  // "" for a number no program knows
    std::string label;    // "Kora V2.6 Database"; "Invalid Database N" for an unknown N
    // Databases of this kind record when they were last used, and the chooser shows it.
    bool keepsLastAccessed = false;
};

DatabaseTypeInfo DescribeDatabaseType(int32_t number);

// The number a caller hands the chooser as text ("14"): its leading number, 0 for none.
int32_t DatabaseTypeFromTag(std::string_view tag);

}  // namespace vantor
