// The demo installation that scripts/demo.sh and the pictures use is a station as the package
// sets one up: Help -> "Update Information" finds the notes the package installs.
#include <gtest/gtest.h>

#include <string>

#include "common/platform_dirs.h"
#include "program_runner.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace vantor::testing {
namespace {

TEST(DemoInstallation, ItsProgramDirectoryHoldsTheUpdateNotesThePackageInstalls) {
    TempDir dir;
    ProgramRun demo = RunProgramAt(VANTOR_DEMO_EXE, {dir / "demo", "1"}, {});
    ASSERT_EQ(demo.exitCode, 0) << demo.err;
    const std::string programDirectory = dir / "demo/program";
    ASSERT_NE(demo.out.find("VANTOR_PROGRAM_DIR='" + programDirectory + "'"), std::string::npos)
        << demo.out;

    const std::string shipped = ReadWholeFile(VANTOR_UPDATE_NOTES);
    ASSERT_FALSE(shipped.empty());
    EXPECT_EQ(ReadWholeFile(programDirectory + "/Updates.txt"), shipped);
    // The file the menu item opens, for the program run on that installation.
    ScopedEnv program("VANTOR_PROGRAM_DIR", programDirectory);
    EXPECT_EQ(ReadWholeFile(ProgramFileOf(VANTOR_EXE, "Updates.txt")), shipped);
}

// The README names the demo's two accounts: one may import, the other may not.
TEST(DemoInstallation, HasAnAccountThatMayImportAndOneThatMayNot) {
    TempDir dir;
    ProgramRun demo = RunProgramAt(VANTOR_DEMO_EXE, {dir / "demo", "1"}, {});
    ASSERT_EQ(demo.exitCode, 0) << demo.err;
    const std::string root = dir / "demo";
    ProgramRun listed = RunProgram({"--list-users"}, {{"VANTOR_WINDIR", root + "/windows"},
                                                      {"VANTOR_PROGRAM_DIR", root + "/program"},
                                                      {"HOME", root}});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_NE(listed.out.find("\nGUEST                 -"), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("\nMANAGER               5,6"), std::string::npos) << listed.out;
}

}  // namespace
}  // namespace vantor::testing
