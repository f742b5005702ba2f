#pragma once
// A fresh playout database in a temporary directory: the file with its description row and the
// five playout tables, as the database chooser and the start-up verification leave it.

#include <gtest/gtest.h>

#include <string>

#include "support/scripted_user_interface.h"
#include "support/succeeded.h"
#include "dbengine/database_file.h"
#include "dbengine/schema.h"
#include "playoutdb/playout_tables.h"
#include "support/temp_dir.h"

namespace vantor::testing {

inline std::string MakePlayoutDatabase(const TempDir& dir, const std::string& name = "KORA26.MDB") {
    ScriptedUserInterface ui;
    std::string path = dir / name;
    std::string description = "Test station";
    EXPECT_EQ(EnsureDatabaseFile(ui, path, 1, true, description), 0);
    EXPECT_THAT(VerifyPlayoutDatabase(ui, path), Succeeded());
    EXPECT_TRUE(ui.messages.empty());
    return path;
}

}  // namespace vantor::testing
