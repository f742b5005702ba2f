#pragma once
// A users database in a temporary installation, with a clock that stands still, and helpers
// that write accounts, groups and history rows the way the installation's other programs do.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/clock.h"
#include "common/ole_date.h"
#include "support/scripted_user_interface.h"
#include "config/database_server.h"
#include "config/system_locations.h"
#include "dbengine/engine.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "support/test_server.h"
#include "users/users_database.h"

namespace vantor::testing {

// An account row as the installation's account editor would write it; built by naming only
// what a test cares about: Account("FRED", "SECRET").Expires(day).Group(3).
struct Account {
    Account(std::string name, std::string plainPassword)
        : loginName(std::move(name)), password(std::move(plainPassword)) {}
    Account& Status(int32_t value) { return accountStatus = value, *this; }
    Account& Expires(double day) { return expirationDate = day, *this; }
    Account& Deleted(double day) { return deletionDate = day, *this; }
    Account& PasswordSet(double day) { return lastPasswordSetDate = day, *this; }
    Account& OwnRights(bool value) { return overrideRights = value, *this; }
    Account& Group(int32_t value) { return group = value, *this; }
    Account& Rights(std::vector<int> granted) { return rights = std::move(granted), *this; }
    Account& FullName(std::string value) { return fullName = std::move(value), *this; }

    std::string loginName;
    std::string password;  // plain; stored scrambled
    int32_t accountStatus = 1;
    std::optional<double> expirationDate;
    std::optional<double> deletionDate;
    std::optional<double> lastPasswordSetDate;
    bool overrideRights = false;
    int32_t group = 23;
    std::vector<int> rights;  // own rights granted (1 to 6)
    std::string fullName;
};

struct HistoryRow {
    double eventTime;
    std::string loginName;
    int32_t action;
    int32_t status;
    std::string notes;
};

// Handing control to pending events takes a tenth of a second of the test's clock, so that a
// pause that waits for events comes to its end.
class ClockedUserInterface : public ScriptedUserInterface {
  public:
    explicit ClockedUserInterface(FixedClock& clock) : clock_(clock) {}
    void ProcessEvents() override {
        ScriptedUserInterface::ProcessEvents();
        clock_.AdvanceSeconds(0.1);
    }

  private:
    FixedClock& clock_;
};

class UsersTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Opens (creating) the users database of the installation; asserts success.
    void OpenDatabase();
    DbError Open() { return users_.OpenUsersDatabase(*UsersDatabaseStore(locations_)); }
    void Reopen() {
        users_.CloseUsersDatabase();
        OpenDatabase();
    }

    void AddAccount(const Account& account);
    void AddGroup(int32_t number, std::vector<int> rights);
    void AddPreference(const std::string& loginName, const std::string& name);
    void AddHistory(double eventTime, const std::string& loginName = "OLD");
    // Stores a users setting directly (read by the next open).
    void SetUsersSetting(const std::string& item, const std::string& value);

    std::vector<HistoryRow> History();
    // A field of an account, Null when the account does not exist.
    DbValue AccountField(const std::string& loginName, const std::string& field);
    long long Count(const std::string& sql);

    int Today() const { return clock_.Today(); }

    // The users database is a file of the data location unless a test names a server.
    ScopedEnv noServer_{kDatabaseServerVariable, ""};
    TempDir dir_;
    FixedClock clock_{2024, 3, 15, 10, 30, 0};
    ClockedUserInterface ui_{clock_};
    SystemLocations locations_;
    // The connection the users database is opened on, for looking at the stored rows.
    Database usersDb_;
    // Runs when a history event has chosen its second, before it is stored.
    std::function<void(double eventTime)> historyKeyChosen_;
    UsersDatabase users_{ui_, clock_, locations_, usersDb_, nullptr, [this](double eventTime) {
                             if (historyKeyChosen_) historyKeyChosen_(eventTime);
                         }};

  private:
    std::string previousWindir_;
    bool hadWindir_ = false;
};

// The same tests with the users database on either backend: the file of the data location, or
// the users database of a server installation made for the test.
class UsersBackendTest : public UsersTest, public ::testing::WithParamInterface<Backend> {
  protected:
    void SetUp() override {
        UsersTest::SetUp();
        if (GetParam() == Backend::Postgres) {
            server_ = std::make_unique<ServerInstallation>();
            onServer_ = std::make_unique<ScopedEnv>(kDatabaseServerVariable, server_->conninfo());
        }
    }

  private:
    std::unique_ptr<ServerInstallation> server_;
    std::unique_ptr<ScopedEnv> onServer_;
};

}  // namespace vantor::testing
