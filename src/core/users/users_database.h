#pragma once
// The users database shared by every program and workstation of the
// installation (USERS\USERS25.MDB under the data location). This program opens it at start-up
// and keeps it open, completes its tables, runs the daily account processing, checks logins,
// changes passwords and records the history of what its users did.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dbengine/database_file.h"
#include "dbengine/engine.h"
#include "dbengine/schema.h"
#include "users/users_tables.h"
#include "users/current_user.h"

namespace vantor {

class Clock;
class UserInterface;
struct SystemLocations;
struct TraceState;

// History actions this program records.
namespace history {
inline constexpr int32_t kLoginAttempt = 1;
inline constexpr int32_t kAccountExpired = 21;
inline constexpr int32_t kAccountDeleted = 22;
inline constexpr int32_t kPasswordChange = 23;
inline constexpr int32_t kLogImport = 101;
inline constexpr int32_t kPlayoutSettingsSaved = 129;
inline constexpr int32_t kSucceeded = 1;
inline constexpr int32_t kFailed = 2;
}  // namespace history

// CheckLogin results.
namespace login {
inline constexpr int kAccepted = 0;
inline constexpr int kWrongPassword = 1;
inline constexpr int kAccountNotUsable = 2;  // inactive, expired or due for deletion
inline constexpr int kUnknownName = -1;
}  // namespace login

// The users database's own settings, read at open.
struct UsersSettings {
    int32_t AllowEmptyPasswords = 1;
    int32_t MustLoginToQuit = 1;
    int32_t PasswordExpiryDays = 0;
    int32_t UserHistoryPurgeDays = 30;
    int32_t FirstRun = 0;
    int32_t LastAccountProcess = 36526;  // 1 January 2000
};

// An account as the account commands list it: never its password.
struct AccountSummary {
    std::string loginName;
    std::array<bool, 6> rights{};     // the rights that apply: its own or its group's
    double lastPasswordSetDate = 0;   // 0 when never set
    std::optional<double> lastLogin;  // date and time; none when it never logged in
};

// The description and layout version of a users database file.
inline constexpr const char* kUsersDatabaseDescription = "Users Database";
inline constexpr float kUsersDatabaseVersion = 2.51f;

// The users database's name in its store (on a server, the schema users25).
inline constexpr const char* kUsersDatabaseName = "USERS25.MDB";

// The users database file under a data location: USERS\USERS25.MDB in it.
std::string UsersDatabasePath(const std::string& dataLocation);

class UsersDatabase {
  public:
    // Called between finding a free second for a history event and storing it: the moment at
    // which another workstation may take that second.
    using HistoryKeyChosen = std::function<void(double eventTime)>;

    // db is the connection the users database is opened on; its owner may read it too (the
    // session owns it; tests inspect the stored rows through it).
    UsersDatabase(UserInterface& ui, const Clock& clock, const SystemLocations& locations,
                  Database& db, TraceState* trace = nullptr,
                  HistoryKeyChosen historyKeyChosen = {});
    ~UsersDatabase();
    UsersDatabase(const UsersDatabase&) = delete;
    UsersDatabase& operator=(const UsersDatabase&) = delete;

    // Opens (creating and completing when needed) the users database and keeps it open.
    // Success, or the failure of the step that failed (reported).
    DbError OpenUsersDatabase(const std::string& path);
    // The same for the database of that name in a store (UsersDatabaseStore gives the
    // installation's: its server when it has one).
    DbError OpenUsersDatabase(const DatabaseStore& store, const std::string& name = kUsersDatabaseName);
    // Closes the database; errors are ignored.
    void CloseUsersDatabase();
    bool IsOpen() const { return db_.IsOpen(); }

    // Appends one event to the user history. Never fails for the caller: a history that cannot
    // be written is not worth stopping anybody's work for.
    void AddEventToUserHistory(const std::string& loginName, int32_t action, int32_t status,
                               const std::string& notes);

    // Creates an account with its own rights (1 to 6) and a password, active from today and
    // never expiring. The login name and password rules apply; a refusal (or an account of
    // that name) is shown with its message and changes nothing.
    enum class [[nodiscard]] AccountOutcome { Done, Refused, Failed };
    AccountOutcome AddUser(const std::string& loginName, const std::string& password,
                           const std::array<bool, 6>& rights);
    // Whether an account of that name is a row of the Users table.
    bool HasUser(const std::string& loginName);
    // Every account of the Users table in login-name order.
    DbError ListUsers(std::vector<AccountSummary>& accounts);

    // Deletes an account with its preferences and its empty personal directory. Fails for a
    // name without an account (error 3021, unreported) or when a deletion failed.
    DbError DeleteUser(const std::string& loginName);

    // The daily processing: purges old history, expires and deletes accounts whose dates have
    // come. SomeFailed when some account could not be processed (each is in the history).
    enum class [[nodiscard]] AccountProcessing { AllProcessed, SomeFailed };
    AccountProcessing ProcessAccounts(const std::string& actor);

    // Checks a login and fills user. loginName and password are turned into capitals (the
    // caller's too). With verify false neither the password nor the account's state and dates
    // are checked. Returns a login:: result.
    int CheckLogin(std::string& loginName, std::string& password, CurrentUser& user, bool verify);

    // Stores a new password for an account; actor is the logged-in user named in the history.
    // Success, or the failure (error 3021 for an account that cannot be found).
    DbError ChangeUserPassword(const std::string& loginName, const std::string& newPassword,
                           const std::string& actor);

    // Rewrites the default groups and imports the accounts of the older users database.
    // With alwaysChoose the operator always picks the file.
    void ImportLegacyUsers(bool alwaysChoose);

    // Stores now as the account's last login; failures are ignored.
    void RecordLastLogin(const std::string& loginName);

    // The number of accounts; a failure to read it is reported with the task unless empty.
    [[nodiscard]] DbError CountUsers(long long& count, const std::string& failureTask);
    // The widths of the LoginName and Password fields.
    int LoginNameLength() const;
    int PasswordLength() const;

    const UsersSettings& Settings() const { return settings_; }
    int Today() const;
    const Clock& GetClock() const { return clock_; }
    bool HistoryInhibited() const { return historyInhibited_; }
    const DatabaseInfo& Description() const { return description_; }

  private:
    DbError ReadSettings();
    std::string LegacyFileName() const;
    // Replaces every group with the 23 default groups, all or nothing; false (reported) when
    // the groups could not be replaced and were left as they were.
    bool RewriteDefaultGroups();
    std::string UsersDirectory() const;
    std::string HomeDirectoryOf(const std::string& loginName) const;
    void FillRights(const TableCursor& row, CurrentUser& user);
    bool ExpireAccount(const std::string& loginName);

    UserInterface& ui_;
    const Clock& clock_;
    const SystemLocations& locations_;
    TraceState* trace_;
    Database& db_;
    HistoryKeyChosen historyKeyChosen_;
    TableCursor users_;
    DatabaseInfo description_;
    // Where the accounts' home directories are made: beside the users database file, or the
    // data location's USERS directory for a database on a server.
    std::string homeRoot_;
    UsersSettings settings_;
    bool historyInhibited_ = false;
};

}  // namespace vantor
