#include <gtest/gtest.h>

#include "common/clock.h"
#include "common/codepage.h"
#include "common/files.h"
#include "common/locale.h"
#include "common/trace.h"
#include "support/scoped_env.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"

namespace vantor {
namespace {

using testing::ScopedEnv;
using testing::TempDir;

TEST(PathNames, SplitsNamesAndExtensions) {
    struct Case {
        const char* path;
        const char* fileName;
        const char* baseName;
        const char* parent;
    } cases[] = {
        {"c:\\logs\\VN000307.LOG", "VN000307.LOG", "VN000307", "c:\\logs"},
        {"/srv/data.v2/notes", "notes", "notes", "/srv/data.v2"},
        {"archive.tar.gz", "archive.tar.gz", "archive.tar", ""},
        {"dir/", "", "", "dir"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileNameOf(c.path), c.fileName) << c.path;
        EXPECT_EQ(BaseNameOf(c.path), c.baseName) << c.path;
        EXPECT_EQ(ParentDirectoryOf(c.path, false), c.parent) << c.path;
    }
    EXPECT_EQ(ParentDirectoryOf("c:\\logs\\a.log", true), "c:\\logs\\");
    EXPECT_EQ(ParentDirectoryOf("/srv/logs/a.log", true), "/srv/logs/");
    EXPECT_EQ(StripExtension("/srv/data.v2/notes"), "/srv/data.v2/notes");
}

TEST(Files, AppendLogLineStampsAndKeepsTheCodePage) {
    SetDateLocale(DateLocale{});
    TempDir dir;
    FixedClock clock(2000, 3, 7, 9, 5, 3);
    AppendLogLine(dir / "error.log", true, "Cart 1234 missing \u20AC", clock);
    AppendLogLine(dir / "ERROR.LOG", false, "plain", clock);  // the same file
    AppendLogLine("", true, "nowhere", clock);
    AppendLogLine(dir / "no/such/dir/x.log", true, "ignored", clock);
    EXPECT_EQ(dir.ReadFile("error.log"), "07/03/2000 09:05:03 Cart 1234 missing \x80\r\nplain\r\n");
}

TEST(Files, LengthsAndExistence) {
    TempDir dir;
    dir.WriteFile("Sub/CARTS3.LST", "12345");
    EXPECT_EQ(FileLength(dir / "sub/carts3.lst"), 5);
    EXPECT_EQ(FileLength(dir / "missing"), -1);
    EXPECT_EQ(FileLength(dir.path()), -1);
    EXPECT_TRUE(FileExists(dir / "SUB/Carts3.lst"));
    EXPECT_FALSE(FileExists(dir / "Sub"));
    EXPECT_FALSE(FileExists(""));

    ScopedEnv traceDir("VANTOR_TRACE_DIR", dir.path());
    FixedClock clock(2000, 3, 7, 9, 0, 0);
    TraceState trace{5, "t", 0, &clock};
    EXPECT_TRUE(DirectoryExists(dir / "sub", &trace));
    EXPECT_FALSE(DirectoryExists(dir / "Sub/CARTS3.LST", &trace));
    EXPECT_FALSE(DirectoryExists("", &trace));
    EXPECT_EQ(trace.depth, 0);
    std::string traced = dir.ReadFile("t.20000307.log");
    EXPECT_NE(traced.find("09:00:00 Start DirectoryExists\r\n09:00:00     Call Dir(" + dir.path() +
                          "/sub, vbDirectory)\r\n09:00:00 End DirectoryExists (True)\r\n"),
              std::string::npos)
        << traced;
    EXPECT_NE(traced.find("End DirectoryExists (False)"), std::string::npos);
}

TEST(Files, CreateDirectoryPathMakesEveryLevelOrReports) {
    TempDir dir;
    ScriptedUserInterface ui;
    dir.WriteFile("DATA/file", "x");
    EXPECT_TRUE(CreateDirectoryPath(ui, dir / "data/USERS/a/b", false));
    EXPECT_TRUE(DirectoryExists(dir / "DATA/USERS/a/b"));  // the existing level was reused
    EXPECT_TRUE(CreateDirectoryPath(ui, dir / "DATA/USERS", false));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.cursor, MouseCursor::Default);

    EXPECT_FALSE(CreateDirectoryPath(ui, dir / "data/file/below", true));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(CreateDirectoryPath(ui, dir / "data/file/below", false));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].request.text.rfind(
                  "There was a problem While Attempting to Create Directories on Destination "
                  "Drive. and the error's description was reported as : ",
                  0),
              0u);
}

TEST(Files, TempFileNamesAreUnique) {
    TempDir dir;
    ScriptedUserInterface ui;
    std::string tmp = TempFileName(ui, dir.path(), "TMP");
    EXPECT_TRUE(FileExists(tmp));
    EXPECT_EQ(FileNameOf(tmp).substr(0, 3), "VAN");
    std::string mdb = TempFileName(ui, dir.path(), "MDB");
    EXPECT_EQ(mdb.substr(mdb.size() - 4), ".MDB");
    EXPECT_EQ(ParentDirectoryOf(mdb, false), dir.path());
    EXPECT_FALSE(FileExists(mdb));  // free, not created
    EXPECT_NE(StripExtension(mdb), StripExtension(tmp));
    EXPECT_TRUE(ui.messages.empty());

    EXPECT_EQ(TempFileName(ui, dir / "missing", "TMP"), "");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].request.text.rfind("Error getting a temporary file name :", 0), 0u);
}

TEST(Files, CopyOrMoveFilesCopiesTreesAndAsksBeforeReplacing) {
    TempDir dir;
    ScriptedUserInterface ui;
    dir.WriteFile("lists/CARTS1.LST", "one");
    dir.WriteFile("lists/carts2.lst", "two");
    dir.WriteFile("lists/sub/notes.txt", "n");
    dir.WriteFile("backup/carts1.lst", "old");

    // Copying onto an existing file asks; "No" keeps it and the copy counts as not done.
    ui.messageAnswers.push_back(MessageResult::No);
    EXPECT_FALSE(
        CopyOrMoveFiles(ui, dir / "lists/Carts1.lst", dir / "backup/carts1.lst", false, false));
    EXPECT_EQ(dir.ReadFile("backup/carts1.lst"), "old");
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(
        CopyOrMoveFiles(ui, dir / "lists/Carts1.lst", dir / "backup/carts1.lst", false, true));
    EXPECT_EQ(dir.ReadFile("backup/carts1.lst"), "one");

    EXPECT_TRUE(CopyOrMoveFiles(ui, dir / "lists", dir / "copy", false, true));
    EXPECT_EQ(dir.ReadFile("copy/sub/notes.txt"), "n");
    EXPECT_EQ(dir.ReadFile("copy/carts2.lst"), "two");

    EXPECT_TRUE(CopyOrMoveFiles(ui, dir / "lists/*.LST", dir / "moved", true, true));
    EXPECT_EQ(dir.ReadFile("moved/CARTS1.LST"), "one");
    EXPECT_FALSE(FileExists(dir / "lists/carts2.lst"));
    EXPECT_TRUE(FileExists(dir / "lists/sub/notes.txt"));

    ui.Clear();
    EXPECT_FALSE(CopyOrMoveFiles(ui, dir / "none.lst", dir / "copy", false, true));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].request.text.find("\"File not found\" (53)"), std::string::npos);
}

}  // namespace
}  // namespace vantor
