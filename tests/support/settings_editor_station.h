#pragma once
// An installation for the playout settings editor: a playout database under the data location's
// SCHEDULE directory, an open users database for the history, a clock that stands still, and
// readers of the Settings rows and history events the editor leaves behind.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/clock.h"
#include "config/system_locations.h"
#include "dbengine/database_file.h"
#include "dbengine/engine.h"
#include "dbmanage/playout_settings_editor_model.h"
#include "support/kora_installation.h"
#include "support/scoped_env.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"
#include "support/succeeded.h"
#include "users/users_database.h"

namespace vantor::testing {

class SettingsEditorStation {
  public:
    explicit SettingsEditorStation(InstallationOptions options = {})
        : station(dir.path(), options), windir("VANTOR_WINDIR", station.windowsDirectory) {
        locations.DataLocation = station.dataLocation;
        EXPECT_THAT(users.OpenUsersDatabase(UsersDatabasePath(station.dataLocation)), Succeeded());
        ui.Clear();
    }
    ~SettingsEditorStation() { users.CloseUsersDatabase(); }

    // The model as the main window makes it; "Select" asks ui's scripted chooser.
    std::unique_ptr<PlayoutSettingsEditorModel> MakeModel() {
        return std::make_unique<PlayoutSettingsEditorModel>(ui, ui, clock, users, Context());
    }

    PlayoutSettingsEditorContext Context() const {
        return {station.dataLocation, station.options.maxCart, "FRED"};
    }

    // Every Settings row of the playout database, Item to Value.
    std::map<std::string, std::string> Rows() const {
        std::map<std::string, std::string> rows;
        Database db;
        QueryResult result;
        EXPECT_THAT(db.Open(station.databasePath), Succeeded());
        EXPECT_THAT(db.Query("SELECT Item, Value FROM Settings", {}, result), Succeeded());
        for (; !result.Eof(); (void)result.MoveNext())
            rows[result.Field(0).AsText()] = result.Field(1).AsText();
        return rows;
    }

    // The history events of an action, as their statuses.
    std::vector<int32_t> HistoryStatuses(int32_t action) {
        std::vector<int32_t> statuses;
        QueryResult result;
        EXPECT_THAT(usersDb.Query("SELECT Status FROM UserHistory WHERE Action = ?",
                                  {DbValue(action)}, result),
                    Succeeded());
        for (; !result.Eof(); (void)result.MoveNext())
            statuses.push_back(static_cast<int32_t>(result.Field(0).AsDouble()));
        return statuses;
    }

    TempDir dir;
    KoraInstallation station;
    ScopedEnv windir;
    FixedClock clock{2024, 3, 15, 10, 30, 0};
    ScriptedUserInterface ui;
    SystemLocations locations;
    Database usersDb;
    UsersDatabase users{ui, clock, locations, usersDb};
};

}  // namespace vantor::testing
