#include <gtest/gtest.h>

#include "common/clock.h"
#include "common/codepage.h"
#include "common/character_class.h"
#include "common/files.h"
#include "common/numbers.h"
#include "common/ole_date.h"
#include "common/pause.h"
#include "common/scramble.h"
#include "common/system_info.h"
#include "common/text_file.h"
#include "common/locale.h"
#include "support/scripted_user_interface.h"
#include "common/text.h"
#include "common/trace.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace vantor {
namespace {

using testing::ReadWholeFile;
using testing::ScopedEnv;
using testing::TempDir;

TEST(NextField, WalksALine) {
    long at = -1;
    EXPECT_EQ(NextField("  A,B", 1, ",", at, true, true), "A");
    EXPECT_EQ(at, 4);
    EXPECT_EQ(NextField("  A,B", at + 1, ",", at, true, true), "B");
    EXPECT_EQ(at, 0);

    // Every field of a line, as callers walk it.
    const std::string line = "one, two ,,three";
    std::vector<std::string> fields;
    long start = 0;  // below 1 counts as 1
    do {
        fields.push_back(NextField(line, start, ",", at, true, false));
        start = at + 1;
    } while (at != 0);
    EXPECT_EQ(fields, (std::vector<std::string>{"one", "two", "", "three"}));

    EXPECT_EQ(NextField(" a ; b", 1, ";", at, false, false), " a ");
    EXPECT_EQ(NextField("x   ", 2, ",", at, true, true), "");
    EXPECT_EQ(at, 0);
    EXPECT_EQ(NextField("a,b", 1, "", at, false, false), "a,b");  // no delimiter: no hit
    EXPECT_EQ(at, 0);
    EXPECT_EQ(NextField("a::b::c", 4, "::", at, false, false), "b");
    EXPECT_EQ(at, 5);
}

TEST(ScrambleText, ExchangesBitsAndUndoesItself) {
    EXPECT_EQ(ScrambleText("a"), "P");  // 0x41 -> 0x50
    EXPECT_EQ(ScrambleText("0", true), "!");
    const std::string password = "Caf\u00E9 \u20AC 2024!";
    std::string once = ScrambleText(password);
    EXPECT_NE(once, ToUpper(password));
    EXPECT_EQ(ScrambleText(once, true), "CAF\u00C9 \u20AC 2024!");
    // Every byte survives the round trip, control characters included.
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_EQ(ScrambleText(ScrambleText(utf8, true), true), utf8);
}

TEST(HourOfWeek, RunsFromMondayMidnightToSundayNight) {
    EXPECT_EQ(HourOfWeek(JoinDate({2000, 3, 6, 0, 30, 0})), 0);      // Monday
    EXPECT_EQ(HourOfWeek(JoinDate({2000, 3, 12, 23, 59, 0})), 167);  // Sunday
    EXPECT_EQ(HourOfWeek(JoinDate({2000, 3, 8, 13, 0, 0})), 2 * 24 + 13);
    // Half a second before Monday rounds to Monday, weekday and hour alike.
    EXPECT_EQ(HourOfWeek(DateSerial(2000, 3, 13) - 0.4 / 86400), 0);
}

TEST(KeyFilter, PassesOnlyTheClassAndTheEditingKeys) {
    struct Case {
        int key, characterClass, result;
    } cases[] = {
        {'A', 1, 0}, {'5', 1, '5'}, {8, 1, 8},     {46, 1, 46},     {13, 3, 13},
        {'5', 3, 0}, {'z', 3, 'z'}, {' ', 4, ' '}, {' ', 2, 0},     {' ', 5, ' '},
        {'x', 5, 0}, {'#', 0, '#'}, {0xE9, 3, 0},  {0xE9, 9, 0xE9},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeyFilter(c.key, c.characterClass), c.result) << c.key << "/" << c.characterClass;
    EXPECT_TRUE(CharacterClassCheck("AB12", kClassDigitsLetters));
    EXPECT_FALSE(CharacterClassCheck("AB 12", kClassDigitsLetters));
    EXPECT_FALSE(CharacterClassCheck("Caf\u00E9", kClassLetters));
    EXPECT_TRUE(CharacterClassCheck("", kClassDigits));
    EXPECT_EQ(Clamp(50, 0, 10), 10);
    EXPECT_EQ(Clamp(-5, 0, 10), 0);
    EXPECT_EQ(MinOf(3, -4), -4);
    EXPECT_EQ(MaxOf(3, -4), 3);
    EXPECT_TRUE(PointNear(10, 14, 12, 12, 2));
    EXPECT_FALSE(PointNear(10, 15, 12, 12, 2));
}

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

TEST(TextFile, ReadsLinesWithoutTheirEnds) {
    TempDir dir;
    dir.WriteFile("LOG.TXT", "first\r\nsecond\n\r\nlast caf\xE9");
    TextFileReader file(dir / "log.txt");
    ASSERT_TRUE(file.IsOpen());
    std::vector<std::string> lines;
    while (!file.AtEnd()) lines.push_back(ReadTextLine(file));
    EXPECT_EQ(lines, (std::vector<std::string>{"first", "second", "", "last caf\xE9"}));
    EXPECT_EQ(ReadTextLine(file), "");

    TextFileReader missing(dir / "none.txt");
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_TRUE(missing.AtEnd());
    EXPECT_EQ(ReadTextLine(missing), "");
    TextFileReader directory(dir.path());
    EXPECT_FALSE(directory.IsOpen());
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
    EXPECT_FALSE(CopyOrMoveFiles(ui, dir / "lists/Carts1.lst", dir / "backup/carts1.lst",
                                 false, false));
    EXPECT_EQ(dir.ReadFile("backup/carts1.lst"), "old");
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_TRUE(CopyOrMoveFiles(ui, dir / "lists/Carts1.lst", dir / "backup/carts1.lst",
                                false, true));
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

// A clock that moves on a tenth of a second each time it is read.
class TickingClock : public Clock {
  public:
    OleDate Now() const override { return now_ += 0.1 / 86400.0; }

  private:
    mutable OleDate now_ = 36000.0;
};

TEST(PauseWithEvents, HandsOverEventsUntilTimeOrAbort) {
    ScriptedUserInterface ui;
    TickingClock clock;
    EXPECT_FALSE(PauseWithEvents(ui, clock, 1.0));
    EXPECT_GE(ui.eventTurns, 4);

    bool abort = true;
    ui.eventTurns = 0;
    EXPECT_TRUE(PauseWithEvents(ui, clock, 1000.0, &abort));
    EXPECT_EQ(ui.eventTurns, 0);
}

TEST(SystemInfo, DescribesThisWorkstation) {
    OsVersion version = WindowsVersion();
    EXPECT_TRUE(version.IsNtPlatform());
    EXPECT_FALSE(version.systemName.empty());
    EXPECT_GT(version.major, 0);
    std::string fullName = "stale";
    EXPECT_FALSE(UserName(&fullName, false).empty());
    EXPECT_EQ(fullName, "");
}

}  // namespace
}  // namespace vantor
