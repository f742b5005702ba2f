#include <gtest/gtest.h>

#include "common/clock.h"
#include "common/paths.h"
#include "common/platform_dirs.h"
#include "common/registry.h"
#include "common/trace.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace vantor {
namespace {

using testing::ReadWholeFile;
using testing::ScopedEnv;
using testing::TempDir;

TEST(Paths, ExistingNamesAreFoundWhateverTheirCase) {
    TempDir dir;
    dir.WriteFile("DATA/CARTS3.LST", "x");
    const std::string root = dir.path();

    EXPECT_EQ(ResolvePath(root + "/Data/Carts3.lst"), root + "/DATA/CARTS3.LST");
    EXPECT_EQ(ResolvePath(root + "\\data\\carts3.LST"), root + "/DATA/CARTS3.LST");
    // A name that does not exist keeps the spelling it was given after the part that does.
    EXPECT_EQ(ResolvePath(root + "/data/New/File.txt"), root + "/DATA/New/File.txt");
    EXPECT_TRUE(IsRegularFile(root + "/data/carts3.lst"));
    EXPECT_TRUE(IsDirectory(root + "/Data/"));
    EXPECT_FALSE(PathExists(root + "/data/carts4.lst"));
    EXPECT_FALSE(PathExists(""));
}

TEST(Paths, ListFilesMatchesWildcardsWithoutCase) {
    TempDir dir;
    for (const char* name : {"vn000307.log", "VN000308.LOG", "vn000309.txt", "README", "ab.log"})
        dir.WriteFile(name, "");
    dir.WriteFile("vnsub.log/inner", "");  // a directory is never listed as a file

    EXPECT_EQ(ListFiles(dir.path(), "VN*.LOG"),
              (std::vector<std::string>{"vn000307.log", "VN000308.LOG"}));
    EXPECT_EQ(ListFiles(dir.path(), "??.log"), (std::vector<std::string>{"ab.log"}));
    EXPECT_EQ(ListFiles(dir.path(), "*.*").size(), 5u);
    EXPECT_EQ(ListDirectories(dir.path()), (std::vector<std::string>{"vnsub.log"}));
    EXPECT_TRUE(ListFiles(dir / "missing", "*").empty());
}

TEST(Paths, WildcardsAndJoins) {
    struct Match {
        const char* pattern;
        const char* name;
        bool matches;
    } matches[] = {
        {"*.lst", "CARTS3.LST", true}, {"c?rts*", "Carts3.lst", true}, {"*3", "carts3.lst", false},
        {"?", "\u00E9", true},         {"a*b*c", "aXbYc", true},       {"a*b*c", "aXbY", false},
    };
    for (const auto& m : matches)
        EXPECT_EQ(WildcardMatch(m.pattern, m.name), m.matches) << m.pattern << " " << m.name;

    EXPECT_EQ(JoinPath("/a/b/", "/c"), "/a/b/c");
    EXPECT_EQ(JoinPath("/", "c"), "/c");
    EXPECT_EQ(JoinPath("", "c"), "c");
    EXPECT_EQ(JoinPath("c:\\vantor\\", "carts.lst"), "c:/vantor/carts.lst");
    EXPECT_EQ(NativePath("\\\\server\\share\\x"), "//server/share/x");
}

// Where the report files and the shipped read-only files are, for a program run from its build
// tree and for an installed one (an executable in <prefix>/bin with its share directory).
TEST(ProgramDirectory, FollowsHowTheProgramWasInstalled) {
    TempDir dir;
    dir.WriteFile("usr/share/vantor-logimport/Updates.txt", "notes");
    const std::string installed = dir.WriteFile("usr/bin/vantor-logimport", "");
    const std::string buildTree = dir.WriteFile("build/src/app/vantor-logimport", "");
    const std::string binWithoutShare = dir.WriteFile("opt/bin/vantor-logimport", "");
    ScopedEnv home("HOME", dir / "home");
    ScopedEnv programDir("VANTOR_PROGRAM_DIR", "");

    EXPECT_EQ(InstalledDataDirectoryOf(installed), dir / "usr/share/vantor-logimport");
    EXPECT_EQ(InstalledDataDirectoryOf(buildTree), "");
    EXPECT_EQ(InstalledDataDirectoryOf(binWithoutShare), "");
    EXPECT_EQ(ProgramDirectoryOf(buildTree), dir / "build/src/app");
    EXPECT_EQ(ProgramDirectoryOf(binWithoutShare), dir / "opt/bin");
    {
        ScopedEnv state("XDG_STATE_HOME", "relative/state");  // not absolute: ignored
        EXPECT_EQ(ProgramDirectoryOf(installed), dir / "home/.local/state/vantor-logimport");
        EXPECT_TRUE(IsDirectory(dir / "home/.local/state/vantor-logimport"));
    }
    {
        ScopedEnv state("XDG_STATE_HOME", dir / "state");
        EXPECT_EQ(ProgramDirectoryOf(installed), dir / "state/vantor-logimport");
        // The shipped notes, until the program directory holds the station's own.
        EXPECT_EQ(ProgramFileOf(installed, "Updates.txt"),
                  dir / "usr/share/vantor-logimport/Updates.txt");
        dir.WriteFile("state/vantor-logimport/UPDATES.TXT", "ours");
        EXPECT_EQ(ProgramFileOf(installed, "Updates.txt"),
                  dir / "state/vantor-logimport/UPDATES.TXT");
        EXPECT_EQ(ProgramFileOf(installed, "LOGO.BMP"), dir / "state/vantor-logimport/LOGO.BMP");
        EXPECT_EQ(ProgramFileOf(buildTree, "Updates.txt"), dir / "build/src/app/Updates.txt");
    }
    ScopedEnv chosen("VANTOR_PROGRAM_DIR", dir / "chosen");
    for (const std::string& executable : {installed, buildTree})
        EXPECT_EQ(ProgramDirectoryOf(executable), dir / "chosen") << executable;
}

class RegistryTest : public ::testing::Test {
  protected:
    TempDir dir_;
    ScopedEnv windir_{"VANTOR_WINDIR", dir_.path()};
    const std::string key_ = "SOFTWARE\\Tressel\\Vantor";
};

TEST_F(RegistryTest, ReadsFollowTheValueType) {
    dir_.WriteFile("registry.ini",
                   "[HKEY_LOCAL_MACHINE\\software\\tressel\\vantor]\r\n"
                   "Text=str:c:\\vantor\\studio2.ini \r\n"
                   "Two=str:AB\r\n"
                   "Five=str:ABCDE\r\n"
                   "Empty=str:\r\n"
                   "Number=dword:-5\r\n"
                   "Raw=hex:01,02\r\n"
                   "Long=hex:01,02,03,04,05\r\n"
                   "Broken=dword:twelve\r\n"
                   "Bare=plain text\r\n");
    struct Case {
        const char* name;
        const char* asString;
        int32_t asNumber;
    } cases[] = {
        {"Text", "c:\\vantor\\studio2.ini ", 99},  // 20 bytes: too long for a number
        {"Two", "AB", 0x4241},                     // the bytes of the text
        {"Five", "ABCDE", 99},
        {"Empty", "", 0},
        {"Number", "", -5},  // a non-string value reads as an empty text
        {"Raw", "", 0x0201},
        {"Long", "", 99},
        {"Broken", "dflt", 99},
        {"Bare", "plain text", 99},
        {"Missing", "dflt", 99},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadRegistryString(RegistryRoot::LocalMachine, key_, c.name, "dflt"), c.asString)
            << c.name;
        EXPECT_EQ(ReadRegistryNumber(RegistryRoot::LocalMachine, key_, c.name, 99), c.asNumber)
            << c.name;
    }
    EXPECT_EQ(ReadRegistryString(RegistryRoot::CurrentUser, key_, "Text", "dflt"), "dflt");
    EXPECT_TRUE(RegistryKeyExists(RegistryRoot::LocalMachine, "Software\\Tressel\\Vantor\\"));
    EXPECT_FALSE(RegistryKeyExists(RegistryRoot::LocalMachine, "Software\\Other"));
    // The keys above one that holds values exist too; a mere prefix of a name does not.
    EXPECT_TRUE(RegistryKeyExists(RegistryRoot::LocalMachine, "SOFTWARE\\Tressel"));
    EXPECT_FALSE(RegistryKeyExists(RegistryRoot::LocalMachine, "Software\\Tress"));
    EXPECT_FALSE(RegistryKeyExists(RegistryRoot::LocalMachine, "Software\\Tressel\\Vantor\\X"));
}

TEST_F(RegistryTest, WritingTheDefaultRemovesTheValue) {
    const auto root = RegistryRoot::LocalMachine;
    WriteRegistryNumber(root, key_, "MultiConfigFile", 0, 0);
    WriteRegistryString(root, key_, "ConfigFile", "", "");
    EXPECT_TRUE(ReadWholeFile(dir_ / "registry.ini").empty());  // nothing stored, no key made
    EXPECT_FALSE(RegistryKeyExists(root, key_));

    WriteRegistryNumber(root, key_, "MultiConfigFile", 1, 0);
    WriteRegistryString(root, key_, "ConfigFile", "c:\\vantor\\caf\u00E9.ini", "");
    EXPECT_EQ(ReadWholeFile(dir_ / "registry.ini"),
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tressel\\Vantor]\r\n"
              "MultiConfigFile=dword:1\r\n"
              "ConfigFile=str:c:\\vantor\\caf\xE9.ini\r\n");
    EXPECT_EQ(ReadRegistryNumber(root, key_, "MultiConfigFile", 0), 1);
    EXPECT_EQ(ReadRegistryString(root, key_, "ConfigFile", ""), "c:\\vantor\\caf\u00E9.ini");

    WriteRegistryNumber(root, key_, "MultiConfigFile", 0, 0);
    EXPECT_EQ(ReadRegistryNumber(root, key_, "MultiConfigFile", 7), 7);
    EXPECT_TRUE(RegistryKeyExists(root, key_));
    EXPECT_EQ(ReadWholeFile(dir_ / "registry.ini"),
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tressel\\Vantor]\r\n"
              "ConfigFile=str:c:\\vantor\\caf\xE9.ini\r\n");
}

TEST(Trace, WritesIndentedLinesWhenTheLevelAsksForThem) {
    TempDir dir;
    ScopedEnv traceDir("VANTOR_TRACE_DIR", dir.path());
    FixedClock clock(2000, 3, 7, 14, 5, 9);
    TraceState state{5, "LogImport", 0, &clock};

    TraceLog(&state, "Start DirectoryExists", 5, kTraceIndent);
    TraceLog(&state, "detail", 6, kTraceKeep);  // above the threshold: not written
    TraceLog(&state, "Call Dir", -1, kTraceKeep, "TAG");
    TraceLog(&state, "End DirectoryExists", 5, kTraceOutdent);
    TraceLog(&state, "again", 1, kTraceOutdent);  // depth never drops below 0
    TraceLog(nullptr, "ignored", 1, kTraceKeep);

    EXPECT_EQ(dir.ReadFile("LogImport.20000307.log"),
              "14:05:09 Start DirectoryExists\r\n"
              "14:05:09  TAG    Call Dir\r\n"
              "14:05:09 End DirectoryExists\r\n"
              "14:05:09 again\r\n");
    EXPECT_EQ(state.depth, 0);

    TraceState off{0, "Off", 0, &clock};
    TraceLog(&off, "nothing", 1, kTraceIndent);
    EXPECT_EQ(off.depth, 0);
    EXPECT_TRUE(dir.ReadFile("Off.20000307.log").empty());
}

}  // namespace
}  // namespace vantor
