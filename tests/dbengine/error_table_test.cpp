#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "common/error_numbers.h"
#include "dbengine/engine.h"
#include "support/temp_dir.h"
#include "support/succeeded.h"

namespace vantor {
namespace {

using testing::TempDir;

// Every number the engine can return is in the program's one table, once.
TEST(ErrorTable, EveryEngineNumberIsInTheTable) {
    std::set<int> seen;
    for (int number : err::kEngineNumbers) {
        EXPECT_TRUE(IsKnownErrorNumber(number)) << number;
        EXPECT_TRUE(seen.insert(number).second) << number << " is listed twice";
    }
    // The two numbers of a file that cannot be used must not be confused.
    EXPECT_EQ(StandardErrorMessage(err::kNotAValidPath), "Not a valid path.");
    EXPECT_EQ(StandardErrorMessage(err::kCannotOpenFile).rfind("The Microsoft Jet database engine "
                                                               "cannot open the file.",
                                                               0),
              0u);
}

// Failures provoked for real carry their number and the table's message for it.
TEST(ErrorTable, EngineFailuresCarryTheTablesNumbersAndMessages) {
    TempDir dir;
    const std::string notADatabase = dir / "NOTES.MDB";
    std::ofstream(notADatabase) << "These are not the pages of a database file, only some text "
                                   "long enough to be read as a header and refused.";
    std::filesystem::create_directory(dir / "FOLDER.MDB");

    Database db;
    ASSERT_THAT(db.Create(dir / "TEST.MDB"), Succeeded());
    const std::vector<FieldDef> fields = {{"Key", FieldType::Long}};
    ASSERT_THAT(db.CreateTable("Items", fields), Succeeded());
    ASSERT_THAT(db.AddIndex("Items", {"Main", {"Key"}, true, true}), Succeeded());
    ASSERT_THAT(db.Execute("INSERT INTO [Items] ([Key]) VALUES (1)"), Succeeded());
    TableCursor missing;
    TableCursor items;
    ASSERT_THAT(db.OpenTable("Items", items, "Main"), Succeeded());

    struct Case {
        const char* what;
        DbError error;
        int number;
    };
    Database other;
    Database folder;
    const Case cases[] = {
        {"not a database", other.Open(notADatabase), err::kUnrecognizedFormat},
        {"a directory", folder.Open(dir / "FOLDER.MDB"), err::kCannotOpenFile},
        {"no file name", Database().Open(""), err::kNotAValidPath},
        {"no such table", db.OpenTable("Nothing", missing, "Main"), err::kItemNotFound},
        {"duplicate key", db.Execute("INSERT INTO [Items] ([Key]) VALUES (1)"),
         err::kDuplicateKey},
        {"update without edit", items.Update(), err::kUpdateWithoutEdit},
        {"commit without transaction", db.CommitTrans(), err::kAlreadyInTransaction},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.error.number, c.number) << c.what << ": " << c.error.description;
        EXPECT_TRUE(IsKnownErrorNumber(c.error.number)) << c.what;
        std::string standard = StandardErrorMessage(c.error.number);
        if (!standard.empty()) {
            EXPECT_EQ(c.error.description, standard) << c.what;
        }
    }
}

}  // namespace
}  // namespace vantor
