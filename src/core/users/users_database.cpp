#include "users/users_database.h"

#include <cmath>
#include <filesystem>
#include <utility>
#include <vector>

#include "common/clock.h"
#include "common/files.h"
#include "common/numbers.h"
#include "common/paths.h"
#include "common/problem_report.h"
#include "common/profile.h"
#include "common/registry.h"
#include "common/scramble.h"
#include "common/system_info.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/user_interface.h"
#include "config/startup.h"
#include "config/system_locations.h"
#include "dbengine/row_edit.h"
#include "users/account_rules.h"

namespace vantor {

namespace {

using users_tables::kMain;
using users_tables::kSettings;
using users_tables::kUserGroups;
using users_tables::kUserHistory;
using users_tables::kUserPreferences;
using users_tables::kUsers;

const char* const kRightFields[6] = {"AccessRight1", "AccessRight2", "AccessRight3",
                                     "AccessRight4", "AccessRight5", "AccessRight6"};

// The groups every installation starts with; 1 to 15 may do everything, 16 to 23 nothing
// until an administrator says otherwise.
const char* const kDefaultGroupNames[23] = {"System Administrator",
                                            "Station Manager",
                                            "Programme Controller",
                                            "Secretary Treasurer",
                                            "Chief Engineer",
                                            "Head of Advertising",
                                            "Head of Music",
                                            "Head of News",
                                            "Head of Publicity",
                                            "Head of Arts Team",
                                            "",
                                            "",
                                            "",
                                            "",
                                            "",
                                            "Administration Department",
                                            "Engineering Department",
                                            "Advertising Department",
                                            "Music Department",
                                            "Finance Department",
                                            "Publicity Department",
                                            "Arts Team",
                                            "General User"};

// Whole day of a stored date (dates may carry a time of day).
double DayOf(const DbValue& value) {
    return std::floor(value.AsDouble());
}

// A date that is set and falls on or before the given day.
bool DateReached(const DbValue& value, int today) {
    if (value.IsNull()) return false;
    double date = value.AsDouble();
    return date > 0 && DayOf(value) <= today;
}

// Seconds since the start of the date scale, so that "the same second" is an exact match.
double WholeSecondsOf(double serial) {
    return std::round(serial * 86400.0);
}

// The date value of a whole second, exactly as the other programs write it: the nearest double
// to day + seconds of the day / 86400. Multiplying by the fraction of one second instead lands
// one step away for many seconds, and an event stored by another workstation in that second
// would not be found under its key.
double DateOfWholeSeconds(double wholeSeconds) {
    const double day = std::floor(wholeSeconds / 86400.0);
    return day + (wholeSeconds - day * 86400.0) / 86400.0;
}

}  // namespace

std::string UsersDatabasePath(const std::string& dataLocation) {
    return JoinPath(JoinPath(dataLocation, "USERS"), "USERS25.MDB");
}

CurrentUser MakeUnlistedUser(const std::string& loginName, const std::string& fullName,
                             const std::string& dataLocation) {
    CurrentUser user;
    user.LoginName = loginName;
    user.FullName = fullName;
    user.SetAllRights(true);
    user.OverrideAccessRights = true;
    user.GroupNumber = 1;
    user.HomeDirectory = JoinPath(dataLocation, "USERS");
    user.LastPasswordSetDate = -1;
    user.BuiltIn = true;
    return user;
}

UsersDatabase::UsersDatabase(UserInterface& ui, const Clock& clock,
                             const SystemLocations& locations, Database& db, TraceState* trace,
                             HistoryKeyChosen historyKeyChosen)
    : ui_(ui),
      clock_(clock),
      locations_(locations),
      trace_(trace),
      db_(db),
      historyKeyChosen_(std::move(historyKeyChosen)) {}

UsersDatabase::~UsersDatabase() {
    CloseUsersDatabase();
}

DbError UsersDatabase::OpenUsersDatabase(const std::string& location) {
    // The data location is stored in capitals; the file is found whatever its letter case.
    const std::filesystem::path path = ResolvePath(location);
    return OpenUsersDatabase(*MakeFileStore(path.parent_path().string()),
                             path.filename().string());
}

DbError UsersDatabase::OpenUsersDatabase(const DatabaseStore& store, const std::string& name) {
    std::string description = kUsersDatabaseDescription;
    // Login names and password scrambles are for the station's accounts only.
    // Asked nothing (dontAsk), the database's making fails only with an error number, reported.
    if (int result = EnsureDatabase(ui_, store, name, 0, true, description, FileAccess::Private);
        result != 0)
        return DbError::Make(result > 0 ? result : err::kCannotOpenFile);
    if (IsOpen()) CloseUsersDatabase();

    if (DbError result = ReadDatabaseInfo(ui_, store, name, description_, true); !result.Ok())
        return result;
    homeRoot_ = store.OnServer() ? UsersDirectory() : description_.Directory;
    if (DbError result = VerifyUsersDatabase(ui_, store, name); !result.Ok()) return result;

    if (DbError e = store.Open(name, db_); !e.Ok()) {
        ProblemReport(ui_, "opening the database", e);
        return e;
    }
    if (DbError e = db_.OpenTable(kUsers, users_, kMain); !e.Ok()) {
        ProblemReport(ui_, "opening the Users table", e);
        CloseUsersDatabase();
        return e;
    }
    if (DbError result = ReadSettings(); !result.Ok()) {
        CloseUsersDatabase();
        return result;
    }

    if (description_.Version < kUsersDatabaseVersion) {
        TableCursor row;
        if (db_.OpenTable("Description", row).Ok() && row.HasCurrent() && row.Edit().Ok() &&
            row.Set("Version", kUsersDatabaseVersion).Ok() && row.Update().Ok())
            description_.Version = kUsersDatabaseVersion;
        row.Close();
    }

    if (clock_.Today() > settings_.LastAccountProcess) {
        // Each account that could not be processed is in the user history as failed; the
        // opening goes on.
        static_cast<void>(ProcessAccounts("SYSTEM"));
    }

    historyInhibited_ = ReadRegistryNumber(RegistryRoot::LocalMachine, kProductRegistryKey,
                                           "InhibitUserHistory", 0) != 0;
    return {};
}

DbError UsersDatabase::ReadSettings() {
    TableCursor settings;
    if (DbError e = db_.OpenTable(kSettings, settings, kMain); !e.Ok()) {
        ProblemReport(ui_, "opening the Users settings", e);
        return e;
    }
    auto read = [&settings](const char* item, int32_t defaultValue) {
        DbValue value = GetDbSetting(settings, item, DbValue(defaultValue));
        auto number = ToInt32(static_cast<double>(value.AsInteger()));
        return value.IsNull() ? defaultValue : number.value_or(defaultValue);
    };
    const UsersSettings defaults;
    settings_.AllowEmptyPasswords = read("AllowEmptyPasswords", defaults.AllowEmptyPasswords);
    settings_.MustLoginToQuit = read("MustLoginToQuit", defaults.MustLoginToQuit);
    settings_.PasswordExpiryDays = read("PasswordExpiryDays", defaults.PasswordExpiryDays);
    settings_.UserHistoryPurgeDays = read("UserHistoryPurgeDays", defaults.UserHistoryPurgeDays);
    settings_.FirstRun = read("FirstRun", defaults.FirstRun);

    if (settings_.FirstRun == 0) {
        std::string legacy = LegacyFileName();
        if (!legacy.empty() && FileLength(JoinPath(UsersDirectory(), legacy)) > 0)
            ImportLegacyUsers(false);
        // A mark that cannot be stored is reported by the store; the next opening then offers
        // the older users once more, which the operator may decline.
        static_cast<void>(SetDbSetting(ui_, settings, "FirstRun", DbValue(1), DbValue(0), false));
        settings_.FirstRun = 1;
    }
    settings_.LastAccountProcess = read("LastAccountProcess", defaults.LastAccountProcess);
    settings.Close();
    return {};
}

void UsersDatabase::CloseUsersDatabase() {
    users_.Close();
    db_.Close();
    description_ = DatabaseInfo{};
}

std::string UsersDatabase::LegacyFileName() const {
    std::string name = GetProfileString("Vantor.ini", "UsersDatabase", "FileName", "");
    if (name.size() > 254) name.resize(254);
    return Trim(name);
}

std::string UsersDatabase::UsersDirectory() const {
    return JoinPath(locations_.DataLocation, "USERS");
}

std::string UsersDatabase::HomeDirectoryOf(const std::string& loginName) const {
    // A login name such as "../../x" in a users table written by another program would put
    // the directory anywhere: such a name has no home directory.
    if (!IsPlainFileName(loginName)) return "";
    return JoinPath(homeRoot_, loginName);
}

// ---------------------------------------------------------------------------------------------
// History

void UsersDatabase::AddEventToUserHistory(const std::string& loginName, int32_t action,
                                          int32_t status, const std::string& notes) {
    TraceLog(trace_,
             "Started AddEventToUserHistory " + loginName + ", " + std::to_string(action) + ", " +
                 std::to_string(status) + "," + notes,
             5, kTraceKeep);
    if (historyInhibited_ || !IsOpen()) return;

    TableCursor historyTable;
    if (!db_.OpenTable(kUserHistory, historyTable, kMain).Ok()) return;

    // Events are keyed by their second: the first free second from now on is this event's.
    double seconds = WholeSecondsOf(clock_.Now());
    for (;;) {
        if (!historyTable.Seek(SeekOp::Equal, DbValue(DateOfWholeSeconds(seconds))).Ok()) return;
        if (historyTable.NoMatch()) break;
        seconds += 1;
    }

    // Another workstation may take the same second between the look and the store; then the
    // next second is tried. The bound keeps a table that refuses every key from looping.
    const std::string computer = ComputerName();
    for (int attempt = 0; attempt < 86400; ++attempt, seconds += 1) {
        const double eventTime = DateOfWholeSeconds(seconds);
        if (historyKeyChosen_) historyKeyChosen_(eventTime);
        RowEdit row(historyTable, RowEdit::Start::AddNew);
        row.Set("EventTime", DbValue(eventTime))
            .Set("LoginName", DbValue(FirstCharacters(loginName, 20)))
            .Set("ComputerName", DbValue(FirstCharacters(computer, 20)))
            .Set("Action", DbValue(action))
            .Set("Status", DbValue(status))
            .Set("Notes", DbValue(notes));
        if (!row.Error().Ok()) return;
        DbError stored = row.Store();
        if (stored.Ok()) break;
        if (stored.number != err::kDuplicateKey) return;
    }
    historyTable.Close();
}

// ---------------------------------------------------------------------------------------------
// Accounts

DbError UsersDatabase::DeleteUser(const std::string& loginName) {
    const DbError noAccount = DbError::Make(err::kNoCurrentRecord);
    if (loginName.empty() || !IsOpen()) return noAccount;
    if (DbError e = users_.Seek(SeekOp::Equal, DbValue(loginName)); !e.Ok()) return e;
    if (users_.NoMatch()) return noAccount;

    DbError failure;
    if (DbError e = users_.Delete(); !e.Ok()) {
        ProblemReport(ui_, "deleting " + loginName + " from the users database.", e);
        failure = e;
    } else {
        // Only an empty personal directory goes: whatever the user kept there stays.
        std::error_code ignored;
        std::string home = HomeDirectoryOf(loginName);
        if (DirectoryExists(home, trace_))
            std::filesystem::remove(ResolvePath(NativePath(home)), ignored);
    }
    long long rows = 0;
    // Only where the cursor rests: the deletion's outcome is already known.
    if (users_.RecordCount(rows).Ok() && rows > 0) static_cast<void>(users_.MoveFirst());

    if (DbError e = db_.Execute("DELETE * FROM [UserPreferences] WHERE [LoginName]=?",
                                {DbValue(loginName)});
        !e.Ok() && failure.Ok())
        failure = e;
    return failure;
}

UsersDatabase::AccountOutcome UsersDatabase::AddUser(const std::string& loginName,
                                                     const std::string& password,
                                                     const std::array<bool, 6>& rights) {
    const std::string name = ToUpper(Trim(loginName));
    const int nameLength = LoginNameLength();
    if (LoginNameCheck check = CheckNewLoginName(name, nameLength);
        check != LoginNameCheck::Acceptable) {
        ShowError(ui_, LoginNameRefusalMessage(check, name, nameLength));
        return AccountOutcome::Refused;
    }
    if (PasswordCheck check = CheckNewPassword(password, password, settings_);
        check != PasswordCheck::Acceptable) {
        ShowError(ui_, PasswordRefusalMessage(check));
        return AccountOutcome::Refused;
    }
    if (!IsOpen()) return AccountOutcome::Failed;
    if (DbError e = users_.Seek(SeekOp::Equal, DbValue(name)); !e.Ok()) {
        ProblemReport(ui_, "adding " + name + " to the users database", e);
        return AccountOutcome::Failed;
    }
    const std::string exists = "There is already an account named '" + name + "'";
    if (!users_.NoMatch()) {
        ShowError(ui_, exists);
        return AccountOutcome::Refused;
    }

    DbError stored;
    {
        RowEdit row(users_, RowEdit::Start::AddNew);
        row.Set("LoginName", DbValue(name))
            .Set("Password", DbValue(ScrambleText(Trim(password), false)))
            .Set("GroupNumber", DbValue(int32_t{0}))
            .Set("OverrideAccessRights", DbValue(true))
            .Set("CreationDate", DbValue(clock_.Now()))
            // The password is as new as the account: an expiry period starts today.
            .Set("LastPasswordSetDate", DbValue(static_cast<double>(clock_.Today())))
            .Set("AccountStatus", DbValue(int32_t{1}));
        // The other programs read these as texts; an empty one is what their editor writes.
        for (const char* text : {"FullName", "PhoneNumber1", "PhoneNumber2", "Address",
                                 "MobileNumber", "FaxNumber", "PersonalEMail", "PublicEMail",
                                 "PersonalHomepage", "PublicHomepage", "Description", "Notes"})
            row.Set(text, DbValue(""));
        for (int right = 0; right < 6; ++right)
            row.Set(kRightFields[right], DbValue(rights[static_cast<size_t>(right)]));
        stored = row.Store();
    }
    if (stored.number == err::kDuplicateKey) {
        // Another workstation made the account in the meantime.
        ShowError(ui_, exists);
        return AccountOutcome::Refused;
    }
    if (!stored.Ok()) {
        ProblemReport(ui_, "adding " + name + " to the users database", stored);
        return AccountOutcome::Failed;
    }
    return AccountOutcome::Done;
}

bool UsersDatabase::HasUser(const std::string& loginName) {
    if (!IsOpen()) return false;
    return users_.Seek(SeekOp::Equal, DbValue(ToUpper(Trim(loginName)))).Ok() && !users_.NoMatch();
}

DbError UsersDatabase::ListUsers(std::vector<AccountSummary>& accounts) {
    accounts.clear();
    if (!IsOpen()) return DbError::Make(err::kObjectInvalid);
    long long rows = 0;
    if (DbError e = users_.RecordCount(rows); !e.Ok()) return e;
    if (rows == 0) return {};
    for (DbError moved = users_.MoveFirst(); !users_.Eof(); moved = users_.MoveNext()) {
        if (!moved.Ok()) return moved;
        CurrentUser rights;
        rights.OverrideAccessRights = users_.Field("OverrideAccessRights").AsBool();
        rights.GroupNumber =
            ToInt32(static_cast<double>(users_.Field("GroupNumber").AsInteger())).value_or(0);
        FillRights(users_, rights);
        AccountSummary account;
        account.loginName = users_.Field("LoginName").AsText();
        account.rights = rights.AccessRights;
        account.lastPasswordSetDate = users_.Field("LastPasswordSetDate").AsDouble();
        const DbValue lastLogin = users_.Field("LastLogin");
        if (!lastLogin.IsNull() && lastLogin.AsDouble() != 0)
            account.lastLogin = lastLogin.AsDouble();
        accounts.push_back(std::move(account));
    }
    return {};
}

bool UsersDatabase::ExpireAccount(const std::string& loginName) {
    if (!users_.Seek(SeekOp::Equal, DbValue(loginName)).Ok() || users_.NoMatch()) return false;
    RowEdit row(users_, RowEdit::Start::Edit);
    row.Set("AccountStatus", DbValue(0)).Set("ExpirationDate", DbValue());
    return row.Store().Ok();
}

UsersDatabase::AccountProcessing UsersDatabase::ProcessAccounts(const std::string& actor) {
    if (!IsOpen()) return AccountProcessing::AllProcessed;
    const int today = clock_.Today();

    if (settings_.UserHistoryPurgeDays > 0) {
        // Everything up to and including midnight at the start of the oldest day kept goes:
        // 30 keeps today and the 29 days before it.
        const int32_t oldestKept = today - (settings_.UserHistoryPurgeDays - 1);
        if (DbError e = db_.Execute("DELETE * FROM [UserHistory] WHERE [EventTime] <= ?",
                                    {DbValue(oldestKept)});
            !e.Ok())
            ProblemReport(ui_, "removing old entries from the User History", e);
    }

    // Read the accounts first, then change them: the selection must not shift underneath.
    struct Due {
        std::string loginName;
        bool deletion;
    };
    std::vector<Due> due;
    {
        QueryResult rows;
        // A date of 0 is an unset date to every program of the family, as an empty one is.
        if (db_.Query("SELECT * FROM [users] WHERE (([ExpirationDate]>0 AND "
                      "[ExpirationDate]<=?) OR ([DeletionDate]>0 AND [DeletionDate]<=?))",
                      {DbValue(today), DbValue(today)}, rows)
                .Ok()) {
            while (!rows.Eof()) {
                due.push_back({rows.Field("LoginName").AsText(),
                               DateReached(rows.Field("DeletionDate"), today)});
                if (!rows.MoveNext().Ok()) break;
            }
        }
    }

    bool anyFailed = false;
    for (const Due& account : due) {
        if (account.deletion) {
            bool deleted = DeleteUser(account.loginName).Ok();
            anyFailed |= !deleted;
            AddEventToUserHistory(actor, history::kAccountDeleted,
                                  deleted ? history::kSucceeded : history::kFailed,
                                  account.loginName);
        } else {
            bool expired = ExpireAccount(account.loginName);
            anyFailed |= !expired;
            AddEventToUserHistory(actor, history::kAccountExpired,
                                  expired ? history::kSucceeded : history::kFailed,
                                  account.loginName);
        }
    }

    TableCursor settings;
    // A day that cannot be stored is reported by the store; the accounts are processed again at
    // the next opening, which changes nothing that was already done.
    if (db_.OpenTable(kSettings, settings, kMain).Ok())
        static_cast<void>(SetDbSetting(ui_, settings, "LastAccountProcess", DbValue(today),
                                       DbValue(UsersSettings{}.LastAccountProcess), false));
    settings_.LastAccountProcess = today;
    return anyFailed ? AccountProcessing::SomeFailed : AccountProcessing::AllProcessed;
}

void UsersDatabase::FillRights(const TableCursor& row, CurrentUser& user) {
    user.SetAllRights(false);
    if (user.OverrideAccessRights) {
        for (int right = 0; right < 6; ++right)
            user.AccessRights[right] = row.Field(kRightFields[right]).AsBool();
        return;
    }
    TableCursor groups;
    if (!db_.OpenTable(kUserGroups, groups, kMain).Ok()) return;
    if (!groups.Seek(SeekOp::Equal, DbValue(user.GroupNumber)).Ok() || groups.NoMatch()) return;
    for (int right = 0; right < 6; ++right)
        user.AccessRights[right] = groups.Field(kRightFields[right]).AsBool();
}

int UsersDatabase::CheckLogin(std::string& loginName, std::string& password, CurrentUser& user,
                              bool verify) {
    loginName = ToUpper(loginName);
    password = ToUpper(password);
    user = CurrentUser{};

    struct BuiltInAccount {
        const char* loginName;
        const char* password;
        const char* fullName;
        int32_t group;
    };
    static const BuiltInAccount kBuiltIn[] = {{"TRESSEL", "VELDOMAR", "Tressel Ltd.", 0},
                                              {"DAYCODE", "9779", "Single Day Access", 1}};
    const std::string name = Trim(loginName);
    bool builtIn = false;
    for (const BuiltInAccount& account : kBuiltIn) {
        if (name != account.loginName) continue;
        if (verify && password != account.password) return login::kWrongPassword;
        user = MakeUnlistedUser("", account.fullName, locations_.DataLocation);
        user.GroupNumber = account.group;
        builtIn = true;
    }

    if (!builtIn) {
        if (!IsOpen()) return login::kUnknownName;
        if (!users_.Seek(SeekOp::Equal, DbValue(name)).Ok() || users_.NoMatch())
            return login::kUnknownName;
        if (verify) {
            const int today = clock_.Today();
            if (ScrambleText(password, false) != users_.Field("Password").AsText())
                return login::kWrongPassword;
            if (users_.Field("AccountStatus").AsInteger() != 1) return login::kAccountNotUsable;
            if (DateReached(users_.Field("DeletionDate"), today)) return login::kAccountNotUsable;
            if (DateReached(users_.Field("ExpirationDate"), today)) return login::kAccountNotUsable;
        }
        user.OverrideAccessRights = users_.Field("OverrideAccessRights").AsBool();
        auto group = ToInt32(static_cast<double>(users_.Field("GroupNumber").AsInteger()));
        user.GroupNumber = group.value_or(0);
        FillRights(users_, user);
        user.HomeDirectory = HomeDirectoryOf(name);
        user.LastPasswordSetDate = users_.Field("LastPasswordSetDate").AsDouble();
        user.FullName = users_.Field("FullName").AsText();
        user.BuiltIn = false;
        if (!user.HomeDirectory.empty() && !DirectoryExists(user.HomeDirectory, trace_))
            CreateDirectoryPath(ui_, user.HomeDirectory, false);
    }

    user.LoginName = loginName;
    user.Password = password;
    return login::kAccepted;
}

DbError UsersDatabase::ChangeUserPassword(const std::string& loginName,
                                          const std::string& newPassword,
                                          const std::string& actor) {
    const std::string name = Trim(loginName);
    const std::string password = Trim(newPassword);
    if (!IsOpen() || !users_.Seek(SeekOp::Equal, DbValue(name)).Ok() || users_.NoMatch()) {
        AddEventToUserHistory(actor, history::kPasswordChange, history::kFailed, name);
        ShowInformation(ui_,
                        "The password was not changed, because the user account could not be "
                        "found");
        return DbError::Make(err::kNoCurrentRecord);
    }
    DbError e;
    {
        RowEdit row(users_, RowEdit::Start::Edit);
        e = row.Set("Password", DbValue(ScrambleText(password, false)))
                .Set("LastPasswordSetDate", DbValue(static_cast<double>(clock_.Today())))
                .Store();
    }
    if (!e.Ok()) {
        ProblemReport(ui_, "changing the password.", e);
        AddEventToUserHistory(actor, history::kPasswordChange, history::kFailed, name);
        return e;
    }
    AddEventToUserHistory(actor, history::kPasswordChange, history::kSucceeded, name);
    return {};
}

void UsersDatabase::RecordLastLogin(const std::string& loginName) {
    if (!IsOpen()) return;
    if (!users_.Seek(SeekOp::Equal, DbValue(Trim(loginName))).Ok() || users_.NoMatch()) return;
    // The last login is a courtesy to the administrator: a failure to store it stops nothing.
    RowEdit row(users_, RowEdit::Start::Edit);
    static_cast<void>(row.Set("LastLogin", DbValue(clock_.Now())).Store());
}

DbError UsersDatabase::CountUsers(long long& count, const std::string& failureTask) {
    count = 0;
    DbError e = IsOpen() ? users_.RecordCount(count) : DbError::Make(err::kObjectInvalid);
    if (!e.Ok() && !failureTask.empty()) ProblemReport(ui_, failureTask, e);
    return e;
}

int UsersDatabase::Today() const {
    return clock_.Today();
}

int UsersDatabase::LoginNameLength() const {
    int index = users_.IsOpen() ? users_.FieldIndex("LoginName") : -1;
    return index < 0 ? 20 : users_.Fields()[index].TextWidth();
}

int UsersDatabase::PasswordLength() const {
    int index = users_.IsOpen() ? users_.FieldIndex("Password") : -1;
    return index < 0 ? 20 : users_.Fields()[index].TextWidth();
}

// ---------------------------------------------------------------------------------------------
// The older users database

bool UsersDatabase::RewriteDefaultGroups() {
    // One transaction: groups cleared but not written back (a table that cannot be reopened, a
    // row refused) would leave every account without its group's rights.
    Transaction transaction(db_);
    if (const DbError& e = transaction.BeginError(); !e.Ok()) {
        ProblemReport(ui_, "clearing the User Groups", e);
        return false;
    }
    // Groups that could not be cleared would refuse the new ones.
    if (DbError e = db_.Execute("DELETE * FROM [UserGroups]"); !e.Ok()) {
        ProblemReport(ui_, "clearing the User Groups", e);
        return false;
    }
    TableCursor groups;
    if (DbError e = db_.OpenTable(kUserGroups, groups, kMain); !e.Ok()) {
        ProblemReport(ui_, "opening the User Groups", e);
        return false;
    }
    for (int32_t number = 1; number <= 23; ++number) {
        const bool privileged = number <= 15;
        RowEdit row(groups, RowEdit::Start::AddNew);
        row.Set("GroupNumber", DbValue(number))
            .Set("Name", DbValue(kDefaultGroupNames[number - 1]))
            .Set("AllowMultipleUsers", DbValue(!privileged));
        for (const char* right : kRightFields) row.Set(right, DbValue(privileged));
        if (DbError e = row.Store(); !e.Ok()) {
            ProblemReport(ui_, "adding the User Group " + std::to_string(number), e);
            return false;
        }
    }
    groups.Close();
    if (DbError e = transaction.Commit(); !e.Ok()) {
        ProblemReport(ui_, "storing the User Groups", e);
        return false;
    }
    return true;
}

void UsersDatabase::ImportLegacyUsers(bool alwaysChoose) {
    if (locations_.DataLocation.empty() || !IsOpen()) return;

    {
        HourglassGuard hourglass(ui_);
        // The accounts are imported into the default groups only.
        if (!RewriteDefaultGroups()) return;
    }

    const std::string usersDirectory = UsersDirectory();
    std::string legacyName = LegacyFileName();
    std::string oldFile = legacyName.empty() ? "" : JoinPath(usersDirectory, legacyName);

    bool chosen = false;
    if (!oldFile.empty() && !alwaysChoose) {
        DatabaseInfo info;
        // A file that cannot be read is still offered: the question then names no description.
        static_cast<void>(ReadDatabaseInfo(ui_, oldFile, info, false));
        MessageResult answer =
            AskQuestion(ui_, "Do you want to import the Users from '" + info.Description + "'?",
                        MessageButtons::YesNoCancel, MessageResult::Yes);
        if (answer == MessageResult::Cancel) return;
        if (answer == MessageResult::No) oldFile.clear();
        chosen = answer == MessageResult::Yes;
    }
    if (!chosen) {
        FileDialogRequest request;
        request.title = "Please select the Users Database to import from..";
        request.filter = "Database Files (*.MDB)|*.MDB|All Files (*.*)|*.*";
        request.initialDirectory = usersDirectory;
        request.defaultName = oldFile;
        request.defaultExtension = "MDB";
        auto picked = ui_.ChooseOpenFile(request);
        if (!picked || FileLength(*picked) <= 0) return;
        oldFile = *picked;
    }

    Database old;
    TableCursor general;
    if (DbError e = old.Open(oldFile); !e.Ok()) {
        ProblemReport(ui_, "opening the database " + oldFile, e);
        return;
    }
    if (DbError e = old.OpenTable("General", general); !e.Ok()) {
        ProblemReport(ui_, "opening the database " + oldFile, e);
        return;
    }
    {
        HourglassGuard hourglass(ui_);
        for (DbError moved = general.MoveFirst(); !general.Eof(); moved = general.MoveNext()) {
            if (!moved.Ok()) break;
            const std::string login = general.Field("Login").AsText();
            const int64_t access2 = general.Field("Access2").AsInteger();
            const int64_t access3 = general.Field("Access3").AsInteger();

            bool isNew = !users_.Seek(SeekOp::Equal, DbValue(login)).Ok() || users_.NoMatch();
            RowEdit row(users_, isNew ? RowEdit::Start::AddNew : RowEdit::Start::Edit);
            if (isNew) {
                row.Set("LoginName", DbValue(login)).Set("CreationDate", DbValue(clock_.Now()));
                for (const char* right : kRightFields) row.Set(right, DbValue(false));
            }
            auto set = [&](const char* field, const DbValue& value) { row.Set(field, value); };
            set("Password", DbValue(ScrambleText(general.Field("password").AsText(), false)));
            set("FullName",
                general.Field("FullName").IsNull() ? DbValue("") : general.Field("FullName"));
            set("PhoneNumber1", DbValue(general.Field("Phone1").AsText()));
            set("PhoneNumber2", DbValue(general.Field("Phone2").AsText()));
            set("Address", DbValue(general.Field("Address").AsText()));
            set("GroupNumber", DbValue(general.Field("Access1").AsInteger()));
            set("OverrideAccessRights", DbValue(true));
            set("AccountStatus", DbValue(1));
            // Rights are only ever granted by the old masks, never taken away.
            if (access2 & 8192) set("AccessRight1", DbValue(true));
            if (access2 & 1) set("AccessRight2", DbValue(true));
            if (access3 & 1) {
                set("AccessRight4", DbValue(true));
                set("AccessRight5", DbValue(true));
            }
            if (access3 & 124) set("AccessRight6", DbValue(true));
            if (DbError e = row.Store(); !e.Ok())
                ProblemReport(ui_, "adding " + login + " to the users database", e);
        }
    }
    general.Close();
    old.Close();
    ShowInformation(ui_, "The Users database has been imported");
}

}  // namespace vantor
