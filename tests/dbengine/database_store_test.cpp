// The store of databases, as a directory of files and as the schemas of a server: the same
// operations, the same refusals and the same error numbers on both.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "dbengine/database_store.h"
#include "support/held_open_elsewhere.h"
#include "support/succeeded.h"
#include "support/temp_dir.h"
#include "support/test_server.h"

namespace vantor {
namespace {

using testing::Backend;
using testing::BackendName;
using testing::HeldOpenElsewhere;
using testing::TempDir;
using testing::UniqueServerDatabaseName;

class DatabaseStoreTest : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override {
        store_ = GetParam() == Backend::Sqlite ? MakeFileStore(dir_.path())
                                               : MakeServerStore(testing::TestServerConninfo());
    }

    // A database of two items under a unique key.
    void MakeItems(const std::string& name) {
        Database db;
        ASSERT_THAT(store_->Create(name, db), Succeeded());
        ASSERT_THAT(db.CreateTable("Items", std::vector<FieldDef>{{"Name", FieldType::Text, 20},
                                                                   {"Size", FieldType::Long}}),
                    Succeeded());
        ASSERT_THAT(db.AddIndex("Items", IndexDef{"Main", {"Name"}, true, true}), Succeeded());
        ASSERT_THAT(db.Execute("INSERT INTO Items (Name, Size) VALUES (?, ?), (?, ?)",
                               {DbValue("alpha"), DbValue(1), DbValue("Beta"), DbValue(2)}),
                    Succeeded());
    }

    // The items of a database in key order, "name=size" each.
    std::vector<std::string> Items(const std::string& name) {
        Database db;
        EXPECT_THAT(store_->Open(name, db), Succeeded());
        TableCursor rows;
        std::vector<std::string> items;
        EXPECT_THAT(db.OpenTable("Items", rows, "Main"), Succeeded());
        for (; rows.IsOpen() && !rows.Eof(); static_cast<void>(rows.MoveNext()))
            items.push_back(rows.Field("Name").AsText() + "=" + rows.Field("Size").AsText());
        return items;
    }

    // The listed names among these, in the order the store lists them (a server's list also
    // holds other tests' databases).
    std::vector<std::string> Listed(const std::vector<std::string>& ours) {
        std::vector<std::string> listed;
        for (const std::string& name : store_->List())
            if (std::find(ours.begin(), ours.end(), name) != ours.end()) listed.push_back(name);
        return listed;
    }

    TempDir dir_;
    std::unique_ptr<DatabaseStore> store_;
};

INSTANTIATE_TEST_SUITE_P(Backends, DatabaseStoreTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return BackendName(info.param); });

TEST_P(DatabaseStoreTest, CopyRenameAndRemoveKeepEveryRowAndRefuseTakenNames) {
    const std::string a = UniqueServerDatabaseName();
    const std::string b = UniqueServerDatabaseName();
    const std::string c = UniqueServerDatabaseName();
    MakeItems(a);
    const std::vector<std::string> items{"alpha=1", "Beta=2"};

    EXPECT_TRUE(store_->Exists(a));
    EXPECT_FALSE(store_->Exists(b));
    ASSERT_THAT(store_->Copy(a, b), Succeeded());
    EXPECT_EQ(Items(b), items);
    {
        // The copy keeps the unique key, letter case ignored as in the original.
        Database db;
        ASSERT_THAT(store_->Open(b, db), Succeeded());
        EXPECT_EQ(db.Execute("INSERT INTO Items (Name) VALUES (?)", {DbValue("ALPHA")}).number,
                  err::kDuplicateKey);
    }
    EXPECT_EQ(store_->Copy(a, b).number, err::kDatabaseExists);
    EXPECT_EQ(Items(b), items);  // a refused copy leaves the database it would replace

    EXPECT_EQ(store_->Rename(b, a).number, err::kFileAlreadyExists);
    ASSERT_THAT(store_->Rename(b, c), Succeeded());
    EXPECT_FALSE(store_->Exists(b));
    EXPECT_EQ(Items(c), items);
    EXPECT_EQ(Listed({a, b, c}), (std::vector<std::string>{a, c}));

    ASSERT_THAT(store_->Remove(c), Succeeded());
    EXPECT_FALSE(store_->Exists(c));
    EXPECT_THAT(store_->Remove(c), Succeeded());  // already gone is no failure
    Database db;
    EXPECT_EQ(store_->Open(c, db).number, err::kCouldNotFindFile);
    EXPECT_EQ(Items(a), items);
}

TEST_P(DatabaseStoreTest, RemoveRenameAndCompactAreRefusedWhileAnotherProgramHoldsIt) {
    const std::string name = UniqueServerDatabaseName();
    const std::string other = UniqueServerDatabaseName();
    MakeItems(name);
    {
        HeldOpenElsewhere holder(*store_, name);
        ASSERT_TRUE(holder.Opened());
        EXPECT_TRUE(store_->IsInUse(name));
        EXPECT_EQ(store_->Remove(name).number, err::kFileAlreadyInUse);
        EXPECT_EQ(store_->Rename(name, other).number, err::kFileAlreadyInUse);
        EXPECT_EQ(store_->Compact(name, "BACKUP1.BAK").number, err::kFileAlreadyInUse);
        EXPECT_TRUE(store_->Exists(name));
        EXPECT_FALSE(store_->Exists(other));
    }
    EXPECT_FALSE(store_->IsInUse(name));
    EXPECT_THAT(store_->Compact(name, "BACKUP1.BAK"), Succeeded());
    EXPECT_EQ(Items(name), (std::vector<std::string>{"alpha=1", "Beta=2"}));
    EXPECT_THAT(store_->Remove(name), Succeeded());
    EXPECT_FALSE(store_->Exists(name));
}

}  // namespace
}  // namespace vantor
