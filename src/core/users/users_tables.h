#pragma once
// The tables of the users database: their names and layouts (fields and indexes).

#include <string>

#include "dbengine/database_store.h"
#include "dbengine/schema.h"

namespace vantor {

namespace users_tables {
inline constexpr const char* kUsers = "Users";
inline constexpr const char* kUserGroups = "UserGroups";
inline constexpr const char* kUserHistory = "UserHistory";
inline constexpr const char* kUserPreferences = "UserPreferences";
inline constexpr const char* kSettings = "Settings";
inline constexpr const char* kMain = "Main";
}  // namespace users_tables

const TableLayout& UsersTableLayout();
const TableLayout& UserGroupsTableLayout();
const TableLayout& UserHistoryTableLayout();
const TableLayout& UserPreferencesTableLayout();

// Opens the users database at path and brings its Settings, Users, UserGroups, UserHistory
// and UserPreferences tables up to date; the first failure (already reported) stops it and is
// returned.
DbError VerifyUsersDatabase(UserInterface& ui, const std::string& path);
// The same for the database of that name in a store.
DbError VerifyUsersDatabase(UserInterface& ui, const DatabaseStore& store, const std::string& name);

}  // namespace vantor
