// The layouts of the tables of the users database.

#include "users/users_tables.h"

#include <filesystem>

namespace vantor {

using namespace users_tables;

namespace {

FieldDef Text(const char* name, int size) {
    return FieldDef{name, FieldType::Text, size};
}
FieldDef Memo(const char* name) {
    return FieldDef{name, FieldType::Memo, 0};
}
FieldDef Long(const char* name) {
    return FieldDef{name, FieldType::Long, 0};
}
FieldDef Bool(const char* name) {
    return FieldDef{name, FieldType::Boolean, 0};
}
FieldDef Date(const char* name) {
    return FieldDef{name, FieldType::DateTime, 0};
}

}  // namespace

const TableLayout& UsersTableLayout() {
    static const TableLayout layout{kUsers,
                                    {Text("LoginName", 20),
                                     Text("Password", 20),
                                     Text("FullName", 60),
                                     Text("PhoneNumber1", 30),
                                     Text("PhoneNumber2", 30),
                                     Memo("Address"),
                                     Text("MobileNumber", 30),
                                     Text("FaxNumber", 30),
                                     Text("PersonalEMail", 60),
                                     Text("PublicEMail", 60),
                                     Text("PersonalHomepage", 60),
                                     Text("PublicHomepage", 60),
                                     Long("GroupNumber"),
                                     Bool("OverrideAccessRights"),
                                     Bool("AccessRight1"),
                                     Bool("AccessRight2"),
                                     Bool("AccessRight3"),
                                     Bool("AccessRight4"),
                                     Bool("AccessRight5"),
                                     Bool("AccessRight6"),
                                     Memo("Description"),
                                     Memo("Notes"),
                                     Date("CreationDate"),
                                     Date("ExpirationDate"),
                                     Date("DeletionDate"),
                                     Date("LastPasswordSetDate"),
                                     Date("LastLogin"),
                                     Long("AccountStatus")},
                                    {IndexDef{kMain, {"LoginName"}}},
                                    IndexTaskStyle::Joined};
    return layout;
}

const TableLayout& UserGroupsTableLayout() {
    static const TableLayout layout{
        kUserGroups,
        {Long("GroupNumber"), Text("Name", 50), Bool("AllowMultipleUsers"), Bool("AccessRight1"),
         Bool("AccessRight2"), Bool("AccessRight3"), Bool("AccessRight4"), Bool("AccessRight5"),
         Bool("AccessRight6")},
        {IndexDef{kMain, {"GroupNumber"}}},
        IndexTaskStyle::Joined};
    return layout;
}

const TableLayout& UserHistoryTableLayout() {
    static const TableLayout layout{
        kUserHistory,
        {Date("EventTime"), Text("LoginName", 20), Text("ComputerName", 20), Long("Action"),
         Long("Status"), Memo("Notes")},
        {IndexDef{kMain, {"EventTime"}}},
        IndexTaskStyle::Joined};
    return layout;
}

const TableLayout& UserPreferencesTableLayout() {
    // Name has no declared width: the engine gives it its default of 255 characters.
    static const TableLayout layout{kUserPreferences,
                                    {Text("LoginName", 20), Text("Name", 0), Memo("Preference")},
                                    {IndexDef{kMain, {"LoginName", "Name"}}},
                                    IndexTaskStyle::Joined};
    return layout;
}

DbError VerifyUsersDatabase(UserInterface& ui, const std::string& path) {
    const std::filesystem::path file = path;
    return VerifyUsersDatabase(ui, *MakeFileStore(file.parent_path().string()),
                               file.filename().string());
}

DbError VerifyUsersDatabase(UserInterface& ui, const DatabaseStore& store, const std::string& name) {
    Database db;
    if (DbError e = store.Open(name, db); !e.Ok()) {
        ProblemReport(ui, "opening the database", e);
        return e;
    }
    if (DbError result = EnsureSettingsTable(ui, db); !result.Ok()) return result;
    for (const TableLayout* layout : {&UsersTableLayout(), &UserGroupsTableLayout(),
                                      &UserHistoryTableLayout(), &UserPreferencesTableLayout()})
        if (DbError result = EnsureTable(ui, db, *layout); !result.Ok()) return result;
    db.Close();
    return {};
}

}  // namespace vantor
