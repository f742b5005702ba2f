#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <vector>

#include "common/text.h"
#include "support/cursor_walk.h"
#include "dbengine/engine.h"
#include "support/temp_dir.h"
#include "support/succeeded.h"
#include "support/test_server.h"

namespace vantor {
namespace {

using testing::Backend;
using testing::BackendName;
using testing::TempDir;
using testing::TestDatabaseLocation;

// A fresh database with one keyed table "Items" (Key double, Name text(8), Count short,
// Level single, Flag boolean, Notes memo) and its unique index "Main" on Key.
class EngineFixture : public ::testing::Test {
  protected:
    void Prepare(Backend backend) {
        location_.emplace(backend, dir_.path());
        path_ = location_->name();
        ASSERT_THAT(location_->Create(db_), Succeeded());
        std::vector<FieldDef> fields = {{"Key", FieldType::Double},   {"Name", FieldType::Text, 8},
                                        {"Count", FieldType::Short},  {"Level", FieldType::Single},
                                        {"Flag", FieldType::Boolean}, {"Notes", FieldType::Memo}};
        ASSERT_THAT(db_.CreateTable("Items", fields), Succeeded());
        ASSERT_THAT(db_.AddIndex("Items", {"Main", {"Key"}, true, true}), Succeeded());
    }

    void AddRow(double key, const DbValue& name = DbValue()) {
        TableCursor cursor;
        ASSERT_THAT(db_.OpenTable("Items", cursor, "Main"), Succeeded());
        ASSERT_THAT(cursor.AddNew(), Succeeded());
        ASSERT_THAT(cursor.Set("Key", key), Succeeded());
        ASSERT_THAT(cursor.Set("Name", name), Succeeded());
        DbError error = cursor.Update();
        ASSERT_THAT(error, Succeeded()) << error.number << " " << error.description;
    }

    long long Count() {
        TableCursor cursor;
        long long count = -1;
        EXPECT_THAT(db_.OpenTable("Items", cursor), Succeeded());
        EXPECT_THAT(cursor.RecordCount(count), Succeeded());
        return count;
    }

    TempDir dir_;
    std::optional<TestDatabaseLocation> location_;
    std::string path_;
    Database db_;
};

// What only a database file has: paths, lock files, the journal, compacting a file.
class EngineTest : public EngineFixture {
  protected:
    void SetUp() override { Prepare(Backend::Sqlite); }
};

// What every backend does alike.
class EngineBackendTest : public EngineFixture, public ::testing::WithParamInterface<Backend> {
  protected:
    void SetUp() override { Prepare(GetParam()); }
};

INSTANTIATE_TEST_SUITE_P(Backends, EngineBackendTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) { return BackendName(info.param); });

TEST_F(EngineTest, OpeningFilesReportsTheClassicNumbers) {
    Database other;
    EXPECT_EQ(other.Open(dir_ / "MISSING.MDB").number, 3024);
    EXPECT_EQ(other.Open(dir_ / "nodir/MISSING.MDB").number, 3044);
    EXPECT_EQ(
        other.Open(dir_.WriteFile("TEXT.MDB", "this is not a database at all, just text")).number,
        3343);
    EXPECT_EQ(other.Create(path_).number, 3204);
    EXPECT_FALSE(other.IsOpen());
    db_.Close();
    EXPECT_THAT(other.Open(path_), Succeeded());
    EXPECT_FALSE(other.EngineVersion().empty());
}

// An empty file is not a database: opening it must neither succeed nor write a header into it
// (which would turn it into an empty database that merely lacks its tables).
TEST_F(EngineTest, AnEmptyFileIsNotADatabaseAndStaysEmpty) {
    Database other;
    const std::string empty = dir_.WriteFile("EMPTY.MDB", "");
    EXPECT_EQ(other.Open(empty).number, 3343);
    EXPECT_FALSE(other.IsOpen());
    EXPECT_EQ(std::filesystem::file_size(empty), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "EMPTY.MDB-wal"));
}

TEST_F(EngineTest, LockFileShowsTheDatabaseInUseWhileOpen) {
    EXPECT_EQ(Database::LockFilePath(dir_ / "KORA26.MDB"), dir_ / "KORA26.LDB");
    EXPECT_TRUE(Database::IsInUse(path_));
    db_.Close();
    EXPECT_FALSE(Database::IsInUse(path_));
}

TEST_P(EngineBackendTest, DefinitionsListWhatExistsAndMissingItemsAre3265) {
    EXPECT_EQ(db_.TableNames(), std::vector<std::string>{"Items"});
    std::string stored;
    EXPECT_THAT(db_.FindTable("ITEMS", &stored), Succeeded());
    EXPECT_EQ(stored, "Items");
    EXPECT_EQ(db_.FindTable("Nothing").number, 3265);
    EXPECT_EQ(db_.FindField("Items", "Nothing").number, 3265);
    EXPECT_EQ(db_.FindIndex("Items", "Other").number, 3265);

    FieldDef name;
    ASSERT_THAT(db_.FindField("items", "NAME", &name), Succeeded());
    EXPECT_EQ(name.type, FieldType::Text);
    EXPECT_EQ(name.size, 8);
    std::vector<FieldDef> fields;
    ASSERT_THAT(db_.GetFields("Items", fields), Succeeded());
    std::vector<FieldType> types;
    for (const FieldDef& field : fields) types.push_back(field.type);
    EXPECT_EQ(types,
              (std::vector<FieldType>{FieldType::Double, FieldType::Text, FieldType::Short,
                                      FieldType::Single, FieldType::Boolean, FieldType::Memo}));

    ASSERT_THAT(db_.AddField("Items", {"Added", FieldType::DateTime}), Succeeded());
    EXPECT_EQ(db_.AddField("Items", {"added", FieldType::Long}).number, 3191);
    ASSERT_THAT(db_.AddIndex("Items", {"ByName", {"Name", "Count"}}), Succeeded());
    EXPECT_EQ(db_.AddIndex("Items", {"byname", {"Name"}}).number, 3284);
    IndexDef index;
    ASSERT_THAT(db_.FindIndex("Items", "BYNAME", &index), Succeeded());
    EXPECT_EQ(index.name, "ByName");
    EXPECT_EQ(index.fields, (std::vector<std::string>{"Name", "Count"}));
    EXPECT_FALSE(index.unique);
    ASSERT_THAT(db_.FindIndex("Items", "Main", &index), Succeeded());
    EXPECT_TRUE(index.primary);
}

// What stands where a table or a database is expected is named, with the database, instead of
// reading as a missing table ("Item not found") or hanging on a device that never ends.
TEST_F(EngineTest, ViewsDevicesAndPipesAreNamedForWhatTheyAre) {
    ASSERT_THAT(db_.Execute("CREATE VIEW [Shown] AS SELECT * FROM [Items]"), Succeeded());
    TableCursor cursor;
    for (DbError error : {db_.OpenTable("Shown", cursor), db_.FindTable("SHOWN")}) {
        EXPECT_NE(error.number, 0);
        EXPECT_NE(error.number, 3265);  // a missing table would be made afresh
        EXPECT_EQ(error.description, "Shown in the database " + path_ + " is a view, not a table.")
            << error.description;
    }
    EXPECT_FALSE(cursor.IsOpen());

    const std::string fifo = dir_ / "PIPE.MDB";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", dir_ / "ZERO.MDB");
    std::filesystem::create_symlink(fifo, dir_ / "TOPIPE.MDB");
    const struct {
        std::string path;
        std::string kind;
    } cases[] = {
        {"/dev/zero", "a device"},
        {dir_ / "ZERO.MDB", "a device"},
        {fifo, "a FIFO (a named pipe)"},
        {dir_ / "TOPIPE.MDB", "a FIFO (a named pipe)"},
    };
    for (const auto& c : cases) {
        Database other;
        DbError error = other.Open(c.path);
        EXPECT_EQ(error.description,
                  "'" + c.path + "' is not a database file: it is " + c.kind + ".");
        EXPECT_FALSE(other.IsOpen());
        EXPECT_EQ(other.OpenReadOnly(c.path).description, error.description);
    }
    EXPECT_FALSE(std::filesystem::exists(dir_ / "ZERO.LDB"));
}

// A station may add a column of its own; a new row leaves it to its default rather than
// writing a Null into it, which a NOT NULL column refuses.
TEST_P(EngineBackendTest, NewRowsLeaveColumnsTheyDoNotSetToTheirDefault) {
    ASSERT_TRUE(
        db_.Execute("ALTER TABLE [Items] ADD COLUMN [Station] INTEGER NOT NULL DEFAULT 7").Ok());
    AddRow(1, "one");
    {
        // Only the key: every other column of the row is left alone.
        TableCursor cursor;
        ASSERT_THAT(db_.OpenTable("Items", cursor, "Main"), Succeeded());
        ASSERT_THAT(cursor.AddNew(), Succeeded());
        ASSERT_THAT(cursor.Set("Key", 2.0), Succeeded());
        ASSERT_THAT(cursor.Update(), Succeeded());
    }
    QueryResult result;
    ASSERT_TRUE(
        db_.Query("SELECT Station, Name, Count FROM [Items] ORDER BY Key", {}, result).Ok());
    ASSERT_FALSE(result.Eof());
    EXPECT_EQ(result.Field("Station").AsInteger(), 7);
    EXPECT_EQ(result.Field("Name"), DbValue("one"));
    EXPECT_TRUE(result.Field("Count").IsNull());  // a field without a default stays Null
    ASSERT_THAT(result.MoveNext(), Succeeded());
    EXPECT_EQ(result.Field("Station").AsInteger(), 7);
    EXPECT_TRUE(result.Field("Name").IsNull());
}

// One cursor adding rows that set different fields, in turns: each row writes exactly the
// fields it set, however the rows before it were written.
TEST_P(EngineBackendTest, NewRowsOnOneCursorWriteTheFieldsEachSet) {
    ASSERT_TRUE(
        db_.Execute("ALTER TABLE [Items] ADD COLUMN [Station] INTEGER NOT NULL DEFAULT 7").Ok());
    struct Row {
        double key;
        DbValue name, count;
    };
    const Row rows[] = {
        {1, "one", 10}, {2, DbValue(), DbValue()}, {3, "three", DbValue()},
        {4, "four", 40}, {5, DbValue(), 50},       {6, "six", DbValue()},
    };
    {
        TableCursor cursor;
        ASSERT_THAT(db_.OpenTable("Items", cursor, "Main"), Succeeded());
        for (const Row& row : rows) {
            ASSERT_THAT(cursor.AddNew(), Succeeded());
            ASSERT_THAT(cursor.Set("Key", row.key), Succeeded());
            if (!row.name.IsNull()) {
                ASSERT_THAT(cursor.Set("Name", row.name), Succeeded());
            }
            if (!row.count.IsNull()) {
                ASSERT_THAT(cursor.Set("Count", row.count), Succeeded());
            }
            ASSERT_THAT(cursor.Update(), Succeeded());
        }
    }
    QueryResult result;
    ASSERT_TRUE(
        db_.Query("SELECT Key, Name, Count, Station FROM [Items] ORDER BY Key", {}, result).Ok());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        ASSERT_FALSE(result.Eof());
        EXPECT_EQ(result.Field("Key").AsDouble(), row.key);
        EXPECT_EQ(result.Field("Name"), row.name);
        EXPECT_EQ(result.Field("Count").IsNull(), row.count.IsNull());
        if (!row.count.IsNull()) {
            EXPECT_EQ(result.Field("Count").AsInteger(), row.count.AsInteger());
        }
        EXPECT_EQ(result.Field("Station").AsInteger(), 7);
        ASSERT_THAT(result.MoveNext(), Succeeded());
    }
    EXPECT_TRUE(result.Eof());
}

TEST_P(EngineBackendTest, SeeksFindTheRowTheComparisonAsksFor) {
    for (double key : {1.0, 1.5, 2.0, 3.25}) AddRow(key);
    struct Case {
        const char* op;
        double key;
        bool found;
        double expected;
    };
    const Case cases[] = {
        {"=", 1.5, true, 1.5},  {"=", 1.6, false, 0},   {">", 1.5, true, 2.0},
        {">", 3.25, false, 0},  {">=", 1.5, true, 1.5}, {">=", 1.6, true, 2.0},
        {"<", 2.0, true, 1.5},  {"<", 1.0, false, 0},   {"<", 100, true, 3.25},
        {"<=", 2.0, true, 2.0}, {">", -5.0, true, 1.0},
    };
    TableCursor cursor;
    ASSERT_THAT(db_.OpenTable("Items", cursor, "Main"), Succeeded());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.op) + " " + std::to_string(c.key));
        ASSERT_THAT(cursor.Seek(c.op, c.key), Succeeded());
        EXPECT_EQ(cursor.NoMatch(), !c.found);
        if (c.found) {
            EXPECT_EQ(cursor.Field("Key").AsDouble(), c.expected);
        }
    }
}

TEST_P(EngineBackendTest, MovesWalkInKeyOrderAndEndAtEof) {
    for (double key : {3.0, 1.0, 2.0}) AddRow(key);
    TableCursor cursor;
    ASSERT_THAT(db_.OpenTable("Items", cursor, "Main"), Succeeded());
    std::vector<double> seen;
    for (bool ok = true; ok && !cursor.Eof(); ok = testing::Next(cursor)) seen.push_back(cursor.Field("Key").AsDouble());
    EXPECT_EQ(seen, (std::vector<double>{1.0, 2.0, 3.0}));
    EXPECT_EQ(cursor.MoveNext().number, 3021);

    ASSERT_THAT(cursor.MoveLast(), Succeeded());
    EXPECT_EQ(cursor.Field("Key").AsDouble(), 3.0);
    ASSERT_THAT(cursor.MovePrevious(), Succeeded());
    ASSERT_THAT(cursor.MovePrevious(), Succeeded());
    ASSERT_THAT(cursor.MovePrevious(), Succeeded());
    EXPECT_TRUE(cursor.Bof());
    EXPECT_FALSE(cursor.HasCurrent());

    // A deleted row keeps the cursor's place: the walk goes on after it.
    ASSERT_THAT(cursor.Seek("=", 2.0), Succeeded());
    ASSERT_THAT(cursor.Delete(), Succeeded());
    EXPECT_EQ(cursor.GetField("Key", *std::make_unique<DbValue>()).number, 3167);
    ASSERT_THAT(cursor.MoveNext(), Succeeded());
    EXPECT_EQ(cursor.Field("Key").AsDouble(), 3.0);
    EXPECT_EQ(Count(), 2);
}

// Inside a transaction moves continue a running statement; whatever happens between two moves
// (edits, rows added ahead or behind, the row deleted or re-keyed, another cursor's change, a
// new field, the end of the transaction) they must visit the rows a move outside any
// transaction visits, and read their values as they are now.
TEST_P(EngineBackendTest, MovesInsideATransactionSeeEveryChangeBetweenThem) {
    enum class Step {
        None,
        EditName,
        AddAhead,
        AddBehind,
        Delete,
        Rekey,
        OtherCursor,
        AddField,
        Commit
    };
    struct Case {
        const char* name;
        bool forward;
        Step step;  // done when the cursor stands on key 2
    };
    const Case cases[] = {
        {"plain walk", true, Step::None},
        {"edit of a field", true, Step::EditName},
        {"row added ahead", true, Step::AddAhead},
        {"row added behind", true, Step::AddBehind},
        {"row deleted", true, Step::Delete},
        {"row re-keyed past the end", true, Step::Rekey},
        {"another cursor edits the next row", true, Step::OtherCursor},
        {"a field added", true, Step::AddField},
        {"the transaction committed", true, Step::Commit},
        {"backward walk, row added ahead", false, Step::AddAhead},
        {"backward walk, edit of a field", false, Step::EditName},
    };
    auto run = [&](const Case& c, bool inTransaction) {
        TempDir dir;
        Database db;
        EXPECT_THAT(TestDatabaseLocation(GetParam(), dir.path()).Create(db), Succeeded());
        std::vector<FieldDef> fields = {{"Key", FieldType::Double}, {"Name", FieldType::Text, 8}};
        EXPECT_THAT(db.CreateTable("Items", fields), Succeeded());
        EXPECT_THAT(db.AddIndex("Items", {"Main", {"Key"}, true, true}), Succeeded());
        TableCursor cursor;
        EXPECT_THAT(db.OpenTable("Items", cursor, "Main"), Succeeded());
        for (const char* name : {"n1", "n2", "n3", "n4"}) {
            EXPECT_THAT(cursor.AddNew(), Succeeded());
            EXPECT_THAT(cursor.Set("Key", static_cast<double>(name[1] - '0')), Succeeded());
            EXPECT_THAT(cursor.Set("Name", name), Succeeded());
            EXPECT_THAT(cursor.Update(), Succeeded());
        }
        if (inTransaction) {
            EXPECT_THAT(db.BeginTrans(), Succeeded());
        }
        std::vector<std::string> seen;
        EXPECT_THAT((c.forward ? cursor.MoveFirst() : cursor.MoveLast()), Succeeded());
        while (!(c.forward ? cursor.Eof() : cursor.Bof())) {
            if (cursor.HasCurrent()) {
                seen.push_back(cursor.Field("Key").AsText() + ":" + cursor.Field("Name").AsText());
            }
            if (cursor.HasCurrent() && cursor.Field("Key").AsDouble() == 2.0) {
                TableCursor other;
                switch (c.step) {
                    case Step::None:
                    case Step::Commit:
                        break;
                    case Step::EditName:
                        EXPECT_THAT(cursor.Edit(), Succeeded());
                        EXPECT_THAT(cursor.Set("Name", "edited"), Succeeded());
                        EXPECT_THAT(cursor.Update(), Succeeded());
                        break;
                    case Step::AddAhead:
                    case Step::AddBehind:
                        EXPECT_THAT(cursor.AddNew(), Succeeded());
                        EXPECT_THAT(
                            cursor.Set("Key", (c.step == Step::AddAhead) == c.forward ? 2.5 : 1.5),
                            Succeeded());
                        EXPECT_THAT(cursor.Set("Name", "added"), Succeeded());
                        EXPECT_THAT(cursor.Update(), Succeeded());
                        break;
                    case Step::Delete:
                        EXPECT_THAT(cursor.Delete(), Succeeded());
                        break;
                    case Step::Rekey:
                        EXPECT_THAT(cursor.Edit(), Succeeded());
                        EXPECT_THAT(cursor.Set("Key", 9.0), Succeeded());
                        EXPECT_THAT(cursor.Update(), Succeeded());
                        break;
                    case Step::OtherCursor:
                        EXPECT_THAT(db.OpenTable("Items", other, "Main"), Succeeded());
                        EXPECT_THAT(other.Seek("=", 3.0), Succeeded());
                        EXPECT_THAT(other.Edit(), Succeeded());
                        EXPECT_THAT(other.Set("Name", "other"), Succeeded());
                        EXPECT_THAT(other.Update(), Succeeded());
                        break;
                    case Step::AddField:
                        EXPECT_THAT(db.AddField("Items", {"Extra", FieldType::Long}), Succeeded());
                        break;
                }
                if (c.step == Step::Commit && inTransaction) {
                    EXPECT_THAT(db.CommitTrans(), Succeeded());
                    EXPECT_THAT(db.BeginTrans(), Succeeded());
                }
            }
            if ((c.forward ? cursor.MoveNext() : cursor.MovePrevious()).number != 0) break;
        }
        if (inTransaction) {
            EXPECT_THAT(db.CommitTrans(), Succeeded());
        }
        return seen;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> outside = run(c, false);
        EXPECT_EQ(run(c, true), outside);
        EXPECT_FALSE(outside.empty());
    }
}

// A transaction that is rolled back while a cursor walks takes its rows with it: the next move
// must not return a row that no longer exists.
TEST_P(EngineBackendTest, MoveAfterRollbackSeesOnlyWhatRemains) {
    for (double key : {1.0, 2.0}) AddRow(key);
    TableCursor cursor;
    ASSERT_THAT(db_.OpenTable("Items", cursor, "Main"), Succeeded());
    ASSERT_THAT(db_.BeginTrans(), Succeeded());
    ASSERT_THAT(cursor.AddNew(), Succeeded());
    ASSERT_THAT(cursor.Set("Key", 1.5), Succeeded());
    ASSERT_THAT(cursor.Update(), Succeeded());
    ASSERT_THAT(cursor.MoveFirst(), Succeeded());
    ASSERT_THAT(cursor.MoveNext(), Succeeded());
    EXPECT_EQ(cursor.Field("Key").AsDouble(), 1.5);
    ASSERT_THAT(db_.Rollback(), Succeeded());
    ASSERT_THAT(cursor.MoveNext(), Succeeded());
    EXPECT_EQ(cursor.Field("Key").AsDouble(), 2.0);
    EXPECT_EQ(Count(), 2);
}

TEST_F(EngineTest, LocalFilesRunInWalWithoutAFlushPerCommit) {
    QueryResult result;
    ASSERT_THAT(db_.Query("PRAGMA journal_mode", {}, result), Succeeded());
    EXPECT_EQ(result.Field(0).AsText(), "wal");
    ASSERT_THAT(db_.Query("PRAGMA synchronous", {}, result), Succeeded());
    EXPECT_EQ(result.Field(0).AsInteger(), 1);  // NORMAL
}

TEST_P(EngineBackendTest, EmptyTableIsAtBothEnds) {
    TableCursor cursor;
    ASSERT_THAT(db_.OpenTable("Items", cursor, "Main"), Succeeded());
    EXPECT_TRUE(cursor.Bof());
    EXPECT_TRUE(cursor.Eof());
    EXPECT_EQ(cursor.MoveLast().number, 3021);
    DbValue value;
    EXPECT_EQ(cursor.GetField("Key", value).number, 3021);
    EXPECT_EQ(cursor.GetField("Nothing", value).number, 3265);
    EXPECT_EQ(cursor.SetIndex("Other").number, 3265);
}

TEST_P(EngineBackendTest, DuplicateKeyFailsWith3022AndStoresNothing) {
    AddRow(5.0, "first");
    TableCursor cursor;
    ASSERT_THAT(db_.OpenTable("Items", cursor, "Main"), Succeeded());
    ASSERT_THAT(cursor.AddNew(), Succeeded());
    ASSERT_THAT(cursor.Set("Key", 5.0), Succeeded());
    ASSERT_THAT(cursor.Set("Name", "second"), Succeeded());
    EXPECT_EQ(cursor.Update().number, 3022);
    EXPECT_EQ(cursor.Mode(), EditMode::AddNew);  // the buffer stays for the caller
    cursor.CancelUpdate();
    EXPECT_EQ(Count(), 1);
    ASSERT_THAT(cursor.Seek("=", 5.0), Succeeded());
    EXPECT_EQ(cursor.Field("Name"), DbValue("first"));

    // A primary key refuses Null as well.
    ASSERT_THAT(cursor.AddNew(), Succeeded());
    EXPECT_EQ(cursor.Update().number, 3058);
    EXPECT_EQ(Count(), 1);
}

TEST_P(EngineBackendTest, DeclaredTypesAreEnforcedOnWrite) {
    TableCursor cursor;
    ASSERT_THAT(db_.OpenTable("Items", cursor, "Main"), Succeeded());
    ASSERT_THAT(cursor.AddNew(), Succeeded());
    struct Case {
        const char* field;
        DbValue value;
        int error;
        DbValue stored;
    };
    const Case cases[] = {
        {"Name", "12345678", 0, "12345678"},
        {"Name", "123456789", 3163, DbValue()},
        {"Name", "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 0,
         "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"},  // 8 characters
        {"Name", 42, 0, "42"},
        {"Count", 32767, 0, 32767},
        {"Count", 32768, 6, DbValue()},
        {"Count", -32769, 6, DbValue()},
        {"Count", 2.5, 0, 2},  // whole numbers round half to even
        {"Count", "12", 0, 12},
        {"Count", "12abc", 13, DbValue()},
        {"Count", -32768, 0, -32768},
        {"Level", 0.1, 0, static_cast<double>(0.1f)},
        {"Level", 3, 0, 3.0},
        {"Level", 1e39, 6, DbValue()},
        {"Key", 7, 0, 7.0},
        {"Notes", std::string(300, 'n'), 0, std::string(300, 'n')},  // a memo has no width
        {"Flag", 7, 0, true},
        {"Flag", "False", 0, false},
        {"Key", "x", 13, DbValue()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + DebugText(c.value));
        ASSERT_THAT(cursor.Set(c.field, DbValue()), Succeeded());
        EXPECT_EQ(cursor.Set(c.field, c.value).number, c.error);
        EXPECT_EQ(cursor.Field(c.field), c.stored);
    }
}

// A station may add a column with its own SQL: the column takes the type it was declared with,
// its values are checked on write and stored, on every backend alike.
TEST_P(EngineBackendTest, ColumnsAddedWithPlainSqlTakeTheirDeclaredType) {
    for (const char* column : {"Whole integer", "Small smallint", "Yes boolean", "Half real",
                               "Wide double precision", "Label varchar(4)", "Remark text"}) {
        ASSERT_THAT(db_.Execute("ALTER TABLE [Items] ADD COLUMN " + std::string(column)),
                    Succeeded())
            << column;
    }
    struct Case {
        const char* field;
        DbValue value;
        int error;
        DbValue stored;
    };
    const Case cases[] = {
        // A refused value first: the accepted one after it is what is stored.
        {"Whole", "12abc", 13, DbValue()},
        {"Whole", 70000, 0, 70000},
        {"Small", 40000, 6, DbValue()},
        {"Small", -5, 0, -5},
        {"Yes", 7, 0, true},
        {"Half", 0.5, 0, 0.5},
        {"Wide", 0.1, 0, 0.1},
        {"Label", "abcde", 3163, DbValue()},
        {"Label", "abcd", 0, "abcd"},
        {"Remark", std::string(256, 'r'), 3163, DbValue()},
        {"Remark", "said", 0, "said"},
    };
    TableCursor cursor;
    ASSERT_THAT(db_.OpenTable("Items", cursor, "Main"), Succeeded());
    ASSERT_THAT(cursor.AddNew(), Succeeded());
    ASSERT_THAT(cursor.Set("Key", 1), Succeeded());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + DebugText(c.value));
        EXPECT_EQ(cursor.Set(c.field, c.value).number, c.error);
        if (c.error == 0) {
            EXPECT_EQ(cursor.Field(c.field), c.stored);
        }
    }
    ASSERT_THAT(cursor.Update(), Succeeded());

    // What was stored reads back with its type from a cursor opened afresh.
    TableCursor again;
    ASSERT_THAT(db_.OpenTable("Items", again, "Main"), Succeeded());
    ASSERT_THAT(again.Seek(SeekOp::Equal, DbValue(1)), Succeeded());
    ASSERT_FALSE(again.NoMatch());
    for (const Case& c : cases) {
        if (c.error == 0) {
            EXPECT_EQ(again.Field(c.field), c.stored) << c.field;
        }
    }
}

TEST_P(EngineBackendTest, StoredValuesReadBackWithNullAndEmptyTextApart) {
    TableCursor cursor;
    ASSERT_THAT(db_.OpenTable("Items", cursor, "Main"), Succeeded());
    ASSERT_THAT(cursor.AddNew(), Succeeded());
    ASSERT_THAT(cursor.Set("Key", 1.0), Succeeded());
    ASSERT_THAT(cursor.Set("Name", ""), Succeeded());
    ASSERT_THAT(cursor.Set("Level", 4.0f), Succeeded());
    ASSERT_THAT(cursor.Set("Notes", "007"), Succeeded());
    ASSERT_THAT(cursor.Update(), Succeeded());
    ASSERT_THAT(cursor.Seek("=", 1.0), Succeeded());
    EXPECT_EQ(cursor.Field("Name"), DbValue(""));
    EXPECT_EQ(cursor.Field("Count"), DbValue());
    EXPECT_EQ(cursor.Field("Level"), DbValue(4.0));
    EXPECT_EQ(cursor.Field("Notes"), DbValue("007"));  // memo text is kept as written
    EXPECT_EQ(cursor.Field("Flag"), DbValue());

    // Edit writes only what was set and keeps the cursor on the row.
    ASSERT_THAT(cursor.Edit(), Succeeded());
    ASSERT_THAT(cursor.Set("Count", 3), Succeeded());
    ASSERT_THAT(cursor.Update(), Succeeded());
    EXPECT_EQ(cursor.Field("Count"), DbValue(3));
    EXPECT_EQ(cursor.Field("Notes"), DbValue("007"));
    EXPECT_EQ(cursor.Set("Count", 4).number, 3020);  // not in edit mode any more
}

TEST_P(EngineBackendTest, TextKeysIgnoreLetterCase) {
    std::vector<FieldDef> fields = {{"Item", FieldType::Text}, {"Value", FieldType::Memo}};
    ASSERT_THAT(db_.CreateTable("Settings", fields), Succeeded());
    ASSERT_THAT(db_.AddIndex("Settings", {"Main", {"Item"}, true, true}), Succeeded());
    TableCursor cursor;
    ASSERT_THAT(db_.OpenTable("Settings", cursor, "Main"), Succeeded());
    ASSERT_THAT(cursor.AddNew(), Succeeded());
    ASSERT_THAT(cursor.Set("Item", "KORA.PreCueTime"), Succeeded());
    ASSERT_THAT(cursor.Update(), Succeeded());
    ASSERT_THAT(cursor.Seek("=", "kora.precuetime"), Succeeded());
    EXPECT_FALSE(cursor.NoMatch());
    ASSERT_THAT(cursor.AddNew(), Succeeded());
    ASSERT_THAT(cursor.Set("Item", "KORA.PRECUETIME"), Succeeded());
    EXPECT_EQ(cursor.Update().number, 3022);
}

TEST_P(EngineBackendTest, NonUniqueIndexWalksNullsFirstAndEveryRowOnce) {
    ASSERT_THAT(db_.AddIndex("Items", {"ByName", {"Name"}}), Succeeded());
    AddRow(1, "b");
    AddRow(2);
    AddRow(3, "a");
    AddRow(4, "b");
    AddRow(5);
    TableCursor cursor;
    ASSERT_THAT(db_.OpenTable("Items", cursor, "ByName"), Succeeded());
    std::vector<double> keys;
    for (bool ok = true; ok && !cursor.Eof(); ok = testing::Next(cursor)) keys.push_back(cursor.Field("Key").AsDouble());
    EXPECT_EQ(keys, (std::vector<double>{2, 5, 3, 1, 4}));
    ASSERT_THAT(cursor.Seek(">", "a"), Succeeded());
    EXPECT_EQ(cursor.Field("Key").AsDouble(), 1);
    ASSERT_THAT(cursor.Seek("<", "a"), Succeeded());
    EXPECT_EQ(cursor.Field("Key").AsDouble(), 5);
    ASSERT_THAT(cursor.Seek("=", DbValue()), Succeeded());
    EXPECT_EQ(cursor.Field("Key").AsDouble(), 2);
}

TEST_P(EngineBackendTest, RolledBackTransactionLeavesTheTableAsItWas) {
    AddRow(1);
    {
        Transaction transaction(db_);
        ASSERT_THAT(transaction.BeginError(), Succeeded());
        AddRow(2);
        AddRow(3);
        EXPECT_EQ(Count(), 3);
    }  // not committed
    EXPECT_EQ(Count(), 1);
    EXPECT_EQ(db_.TransactionDepth(), 0);

    ASSERT_THAT(db_.BeginTrans(), Succeeded());
    AddRow(2);
    ASSERT_THAT(db_.BeginTrans(), Succeeded());  // nested
    AddRow(3);
    ASSERT_THAT(db_.Rollback(), Succeeded());
    ASSERT_THAT(db_.CommitTrans(), Succeeded());
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(db_.CommitTrans().number, 3034);
}

// A refused row inside a transaction fails alone: the rows before and after it are committed
// with the transaction, as an hour's import expects of every backend.
TEST_P(EngineBackendTest, ARefusedRowLeavesItsTransactionGoing) {
    ASSERT_THAT(db_.BeginTrans(), Succeeded());
    AddRow(1, "one");
    TableCursor cursor;
    ASSERT_THAT(db_.OpenTable("Items", cursor, "Main"), Succeeded());
    ASSERT_THAT(cursor.AddNew(), Succeeded());
    ASSERT_THAT(cursor.Set("Key", 1.0), Succeeded());
    EXPECT_EQ(cursor.Update().number, 3022);
    cursor.CancelUpdate();
    EXPECT_EQ(db_.Execute("INSERT INTO Items (Key, Name) VALUES (?, ?)", {1.0, "again"}).number,
              3022);
    EXPECT_EQ(db_.Execute("DELETE FROM Missing").number, 3078);
    AddRow(2, "two");
    ASSERT_THAT(db_.CommitTrans(), Succeeded());
    EXPECT_EQ(Count(), 2);
    ASSERT_THAT(cursor.Seek("=", 1.0), Succeeded());
    EXPECT_EQ(cursor.Field("Name"), DbValue("one"));
}

// Rows added in a batch inside a transaction: each row ends as its own Update would have left
// it. A refused row is named by its place, from Update or from Finish (a server refuses only
// when the batch reaches it), and the rows before and after it are stored.
TEST_P(EngineBackendTest, ABatchStoresWhatRowByRowUpdatesWouldAndNamesEachRefusal) {
    std::vector<double> longBatch;
    for (int key = 2; key <= 1500; ++key) longBatch.push_back(key);
    longBatch.insert(longBatch.begin() + 1200, 1.0);  // past the rows sent in one go
    std::vector<double> wholeLong = longBatch;
    wholeLong.erase(wholeLong.begin() + 1200);
    struct Case {
        const char* name;
        std::vector<double> keys;                      // added in this order; 1 is there already
        std::vector<std::pair<size_t, int>> refused;   // place in the batch, error number
        std::vector<double> stored;                    // the new rows the commit keeps
    };
    const std::vector<Case> cases = {
        {"no refusal", {2, 3}, {}, {2, 3}},
        {"refused in the middle", {2, 1, 3}, {{1, 3022}}, {2, 3}},
        {"twice in the batch", {2, 2, 3}, {{1, 3022}}, {2, 3}},
        {"first, next to each other and last", {1, 4, 4, 1, 5, 1}, {{0, 3022}, {2, 3022},
         {3, 3022}, {5, 3022}}, {4, 5}},
        {"a long batch", longBatch, {{1200, 3022}}, wholeLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_THAT(db_.Execute("DELETE FROM Items"), Succeeded());
        AddRow(1, "one");
        ASSERT_THAT(db_.BeginTrans(), Succeeded());
        TableCursor cursor;
        ASSERT_THAT(db_.OpenTable("Items", cursor, "Main"), Succeeded());
        std::vector<std::pair<size_t, int>> refused;
        {
            AddedRowsBatch batch(cursor);
            for (size_t i = 0; i < c.keys.size(); ++i) {
                ASSERT_THAT(cursor.AddNew(), Succeeded());
                ASSERT_THAT(cursor.Set("Key", c.keys[i]), Succeeded());
                ASSERT_THAT(cursor.Set("Name", "new"), Succeeded());
                if (DbError error = cursor.Update(); !error.Ok()) {
                    refused.emplace_back(i, error.number);
                    cursor.CancelUpdate();
                }
            }
            std::vector<BatchRefusal> late;
            DbError error = batch.Finish(late);
            EXPECT_EQ(error.number, late.empty() ? 0 : late.front().error.number);
            for (const BatchRefusal& refusal : late)
                refused.emplace_back(refusal.row, refusal.error.number);
        }
        std::sort(refused.begin(), refused.end());
        EXPECT_EQ(refused, c.refused);
        ASSERT_THAT(db_.CommitTrans(), Succeeded());

        std::vector<double> stored;
        ASSERT_THAT(cursor.MoveFirst(), Succeeded());
        EXPECT_EQ(cursor.Field("Name"), DbValue("one"));
        while (cursor.MoveNext().Ok() && !cursor.Eof()) {
            stored.push_back(cursor.Field("Key").AsDouble());
            EXPECT_EQ(cursor.Field("Name"), DbValue("new"));
        }
        std::vector<double> expected = c.stored;
        std::sort(expected.begin(), expected.end());
        expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
        EXPECT_EQ(stored, expected);
    }
}

// Whatever reads the table while a batch holds rows (the same cursor, another one, a query)
// sees them, and a refusal found by such a read still reaches the batch's Finish.
TEST_P(EngineBackendTest, ReadsDuringABatchSeeTheRowsItHolds) {
    AddRow(1, "one");
    ASSERT_THAT(db_.BeginTrans(), Succeeded());
    TableCursor cursor, other;
    ASSERT_THAT(db_.OpenTable("Items", cursor, "Main"), Succeeded());
    ASSERT_THAT(db_.OpenTable("Items", other, "Main"), Succeeded());
    AddedRowsBatch batch(cursor);
    std::vector<std::pair<size_t, int>> refused;
    auto add = [&](size_t place, double key, const char* name) {
        ASSERT_THAT(cursor.AddNew(), Succeeded());
        ASSERT_THAT(cursor.Set("Key", key), Succeeded());
        ASSERT_THAT(cursor.Set("Name", name), Succeeded());
        if (DbError error = cursor.Update(); !error.Ok()) {
            refused.emplace_back(place, error.number);
            cursor.CancelUpdate();
        }
    };
    add(0, 3, "three");
    ASSERT_THAT(cursor.Seek("=", 3.0), Succeeded());
    ASSERT_FALSE(cursor.NoMatch());
    EXPECT_EQ(cursor.Field("Name"), DbValue("three"));

    add(1, 2, "two");
    add(2, 3, "again");  // refused: its key is there
    ASSERT_THAT(other.MoveFirst(), Succeeded());
    ASSERT_THAT(other.MoveNext(), Succeeded());
    EXPECT_EQ(other.Field("Name"), DbValue("two"));

    add(3, 4, "four");
    QueryResult count;
    ASSERT_THAT(db_.Query("SELECT count(*) AS n FROM Items", {}, count), Succeeded());
    EXPECT_EQ(count.Field("n").AsInteger(), 4);

    add(4, 5, "five");
    long long records = 0;
    ASSERT_THAT(other.RecordCount(records), Succeeded());
    EXPECT_EQ(records, 5);

    std::vector<BatchRefusal> late;
    static_cast<void>(batch.Finish(late));
    for (const BatchRefusal& refusal : late) refused.emplace_back(refusal.row, refusal.error.number);
    EXPECT_EQ(refused, (std::vector<std::pair<size_t, int>>{{2, 3022}}));
    ASSERT_THAT(db_.CommitTrans(), Succeeded());
    EXPECT_EQ(Count(), 5);
}

TEST_P(EngineBackendTest, StatementsBindParametersAndQueriesGiveTypedRows) {
    AddRow(1, "one");
    AddRow(2, "two");
    AddRow(3, "a' OR 1");
    QueryResult result;
    ASSERT_THAT(db_.Query("SELECT Key, Name, Count(*) OVER () AS Total FROM [Items] WHERE Key >= ? "
                          "ORDER BY Key",
                          {2.0}, result),
                Succeeded());
    ASSERT_FALSE(result.Eof());
    EXPECT_EQ(result.Field("name"), DbValue("two"));
    EXPECT_EQ(result.Field("Key"), DbValue(2.0));
    ASSERT_THAT(result.MoveNext(), Succeeded());
    EXPECT_EQ(result.Field("Name"), DbValue("a' OR 1"));
    ASSERT_THAT(result.MoveNext(), Succeeded());
    EXPECT_TRUE(result.Eof());

    long long removed = 0;
    ASSERT_THAT(db_.Execute("DELETE * FROM [Items] WHERE Name = ?", {"ONE"}, &removed),
                Succeeded());
    EXPECT_EQ(removed, 1);
    EXPECT_EQ(db_.Execute("DELETE FROM Missing").number, 3078);
    EXPECT_EQ(Count(), 2);
}

TEST_P(EngineBackendTest, HandlesOutlivingTheirDatabaseAnswer3420) {
    AddRow(1);
    TableCursor cursor;
    QueryResult result;
    ASSERT_THAT(db_.OpenTable("Items", cursor, "Main"), Succeeded());
    ASSERT_THAT(db_.Query("SELECT * FROM Items", {}, result), Succeeded());
    db_.Close();
    EXPECT_EQ(cursor.MoveNext().number, 3420);
    EXPECT_EQ(cursor.AddNew().number, 3420);
    EXPECT_EQ(result.MoveNext().number, 3420);
}

TEST_F(EngineTest, CompactCopyHoldsEveryCommittedRow) {
    AddRow(1);
    AddRow(2);
    db_.Close();
    std::string target = dir_ / "COPY.MDB";
    ASSERT_THAT(Database::CompactFile(path_, target), Succeeded());
    Database copy;
    ASSERT_THAT(copy.Open(target), Succeeded());
    TableCursor cursor;
    long long count = 0;
    ASSERT_THAT(copy.OpenTable("Items", cursor), Succeeded());
    ASSERT_THAT(cursor.RecordCount(count), Succeeded());
    EXPECT_EQ(count, 2);
    EXPECT_EQ(Database::CompactFile(dir_.WriteFile("BAD.MDB", "garbage garbage garbage"),
                                    dir_ / "OUT.MDB")
                  .number,
              3343);
}

// A server that cannot be reached, a database it does not hold and one it holds already are
// refused with the numbers a file gets, and the refusal names the server and its reason.
TEST(EngineServerTest, OpeningOnAServerReportsTheClassicNumbers) {
    const std::string conninfo = testing::TestServerConninfo();
    Database db;
    DbError error = db.OpenOnServer("host=127.0.0.1 port=1 connect_timeout=5", "KORA26.MDB");
    EXPECT_EQ(error.number, 3051);
    EXPECT_NE(error.description.find("127.0.0.1"), std::string::npos) << error.description;
    EXPECT_NE(error.description.find("refused"), std::string::npos) << error.description;
    EXPECT_FALSE(db.IsOpen());

    const std::string name = testing::UniqueServerDatabaseName();
    EXPECT_EQ(db.OpenOnServer(conninfo, name).number, 3024);
    ASSERT_THAT(db.CreateOnServer(conninfo, name), Succeeded());
    EXPECT_EQ(db.Path(), name);
    Database other;
    EXPECT_EQ(other.CreateOnServer(conninfo, name).number, 3204);
    ASSERT_THAT(other.OpenOnServer(conninfo, name), Succeeded());
    EXPECT_FALSE(other.EngineVersion().empty());
}

// A notification reaches the listeners when the transaction that made it commits, and never
// when the level that made it is rolled back.
TEST(EngineServerTest, NotificationsGoOutWithTheCommitOfTheirTransaction) {
    const std::string conninfo = testing::TestServerConninfo();
    const std::string name = testing::UniqueServerDatabaseName();
    Database db;
    ASSERT_THAT(db.CreateOnServer(conninfo, name), Succeeded());
    testing::NotificationListener listener("vantor_engine_test");
    enum Step { Begin, Notify, Commit, Rollback };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        size_t heard;
    };
    const std::vector<Case> cases = {
        {"outside a transaction", {Notify}, 1},
        {"committed", {Begin, Notify, Commit}, 1},
        {"rolled back", {Begin, Notify, Rollback}, 0},
        {"inner level rolled back", {Begin, Begin, Notify, Rollback, Commit}, 0},
        {"inner level committed", {Begin, Begin, Notify, Commit, Commit}, 1},
        {"outer kept, inner dropped", {Begin, Notify, Begin, Notify, Rollback, Commit}, 1},
        {"inner kept, outer rolled back", {Begin, Begin, Notify, Commit, Rollback}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (Step step : c.steps) {
            switch (step) {
                case Begin: ASSERT_THAT(db.BeginTrans(), Succeeded()); break;
                case Notify: ASSERT_THAT(db.Notify("vantor_engine_test"), Succeeded()); break;
                case Commit: ASSERT_THAT(db.CommitTrans(), Succeeded()); break;
                case Rollback: ASSERT_THAT(db.Rollback(), Succeeded()); break;
            }
        }
        EXPECT_EQ(db.TransactionDepth(), 0);
        std::vector<std::string> heard = listener.Received();
        EXPECT_EQ(heard.size(), c.heard);
        for (const std::string& payload : heard) EXPECT_EQ(payload + ".mdb", ToLower(name));
    }
}

// A batch that ends without Finish leaves its rows to the next statement; a row the server
// then refuses keeps the commit from reporting the transaction stored.
TEST(EngineServerTest, ARefusalNobodyTookRefusesTheCommit) {
    const std::string conninfo = testing::TestServerConninfo();
    Database db;
    ASSERT_THAT(db.CreateOnServer(conninfo, testing::UniqueServerDatabaseName()), Succeeded());
    std::vector<FieldDef> fields = {{"Key", FieldType::Long}};
    ASSERT_THAT(db.CreateTable("Items", fields), Succeeded());
    ASSERT_THAT(db.AddIndex("Items", {"Main", {"Key"}, true, true}), Succeeded());
    ASSERT_THAT(db.Execute("INSERT INTO Items (Key) VALUES (1)"), Succeeded());
    ASSERT_THAT(db.BeginTrans(), Succeeded());
    TableCursor cursor;
    ASSERT_THAT(db.OpenTable("Items", cursor, "Main"), Succeeded());
    {
        AddedRowsBatch batch(cursor);
        for (int key : {2, 1}) {
            ASSERT_THAT(cursor.AddNew(), Succeeded());
            ASSERT_THAT(cursor.Set("Key", key), Succeeded());
            ASSERT_THAT(cursor.Update(), Succeeded());  // held, not yet sent
        }
    }
    EXPECT_EQ(db.CommitTrans().number, 3022);
    ASSERT_THAT(db.Rollback(), Succeeded());
    long long count = 0;
    ASSERT_THAT(cursor.RecordCount(count), Succeeded());
    EXPECT_EQ(count, 1);
    // The next transaction starts clean.
    ASSERT_THAT(db.BeginTrans(), Succeeded());
    ASSERT_THAT(db.Execute("INSERT INTO Items (Key) VALUES (2)"), Succeeded());
    ASSERT_THAT(db.CommitTrans(), Succeeded());
}

// A connection lost in the middle of a transaction: the work goes with it, and neither the
// next statement nor the commit reports success.
TEST(EngineServerTest, ALostConnectionFailsTheTransactionWith3043) {
    const std::string conninfo = testing::TestServerConninfo();
    const std::string name = testing::UniqueServerDatabaseName();
    Database db;
    ASSERT_THAT(db.CreateOnServer(conninfo, name), Succeeded());
    std::vector<FieldDef> fields = {{"Key", FieldType::Long}};
    ASSERT_THAT(db.CreateTable("Items", fields), Succeeded());
    QueryResult pid;
    ASSERT_THAT(db.Query("SELECT pg_backend_pid() AS pid", {}, pid), Succeeded());
    ASSERT_THAT(db.BeginTrans(), Succeeded());
    ASSERT_THAT(db.Execute("INSERT INTO Items (Key) VALUES (?)", {1}), Succeeded());
    TableCursor cursor;
    ASSERT_THAT(db.OpenTable("Items", cursor), Succeeded());

    Database other;
    ASSERT_THAT(other.OpenOnServer(conninfo, name), Succeeded());
    ASSERT_THAT(other.Execute("SELECT pg_terminate_backend(?)", {pid.Field("pid")}), Succeeded());

    // A batch's rows, held until the connection is already gone: their first says why.
    AddedRowsBatch batch(cursor);
    ASSERT_THAT(cursor.AddNew(), Succeeded());
    ASSERT_THAT(cursor.Set("Key", 3), Succeeded());
    ASSERT_THAT(cursor.Update(), Succeeded());
    std::vector<BatchRefusal> refused;
    EXPECT_EQ(batch.Finish(refused).number, 3043);
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].row, 0u);

    EXPECT_EQ(db.Execute("INSERT INTO Items (Key) VALUES (?)", {2}).number, 3043);
    DbError commit = db.CommitTrans();
    EXPECT_EQ(commit.number, 3043);
    EXPECT_NE(commit.description.find("127.0.0.1"), std::string::npos) << commit.description;
    QueryResult rows;
    ASSERT_THAT(other.Query("SELECT count(*) AS n FROM Items", {}, rows), Succeeded());
    EXPECT_EQ(rows.Field("n").AsInteger(), 0);
}

}  // namespace
}  // namespace vantor
