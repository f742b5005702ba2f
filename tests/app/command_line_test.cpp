// The program's command line, as a scheduler meets it.
#include <gtest/gtest.h>

#include "program_runner.h"

namespace vantor::testing {
namespace {

TEST(CommandLine, HelpAndVersionEndAtOnce) {
    ProgramRun help = RunProgram({"--help"}, {});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("/AUTO"), std::string::npos);
    EXPECT_NE(help.out.find("--create-database=NAME.MDB"), std::string::npos);

    ProgramRun version = RunProgram({"--headless", "--version"}, {});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("vantor-logimport ", 0), 0u);
}

TEST(CommandLine, WithoutADisplayTheWindowedProgramNamesHeadless) {
    // The runner passes exactly the environment given: no DISPLAY, no WAYLAND_DISPLAY.
    ProgramRun run = RunProgram({"KORA26.MDB", "/AUTO", "/QUIT"}, {});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("no display"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("--headless"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("qt."), std::string::npos) << run.err;  // not Qt's own abort
}

TEST(CommandLine, BadOptionsExit64WithAReason) {
    const struct {
        std::vector<std::string> arguments;
        std::string reason;
    } cases[] = {
        {{"--headless", "--frobnicate"}, "unknown option --frobnicate"},
        {{"--headless", "--user"}, "--user needs a value"},
        {{"--headless", "--user=  "}, "--user needs a login name"},
        {{"--headless", "--auto=yes"}, "--auto takes no value"},
        {{"--create-database=KORA27"}, "ending in .MDB"},
        {{"--create-database=KORA27.MDB", "--auto"}, "runs on its own"},
        {{"--create-database=KORA27.MDB", "/auto"}, "runs on its own"},
        {{"--headless", "--description=Studio"}, "--description belongs to --create-database"},
        {{"--set-data-location=  "}, "--set-data-location needs a directory"},
        {{"--headless", "--import-windows-database"}, "--import-windows-database needs a file"},
        {{"--headless", "--import-windows-database=A.MDB", "/auto"}, "runs on its own"},
        {{"--headless", "--replace"}, "--replace belongs to --import-windows-database"},
        {{"--set-cart-directory=/srv/carts", "KORA26.MDB", "/auto"},
         "run on their own or with --create-database"},
        // A password is never a word of the command line: the machine's every user sees those.
        {{"--add-user=ANNA", "--rights=5", "--password=SECRET"}, "unknown option --password"},
        {{"--add-user=ANNA"}, "--add-user needs --rights=LIST"},
        {{"--list-users", "--rights=5"}, "--rights belongs to --add-user"},
        {{"--list-users", "--remove-user=ANNA"}, "run one at a time"},
        {{"--list-users", "KORA26.MDB", "/AUTO"}, "the account commands run on their own"},
    };
    for (const auto& c : cases) {
        ProgramRun run = RunProgram(c.arguments, {});
        EXPECT_EQ(run.exitCode, 64) << c.reason;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    }
}

}  // namespace
}  // namespace vantor::testing
