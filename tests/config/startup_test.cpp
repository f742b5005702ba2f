#include <gtest/gtest.h>

#include <filesystem>

#include "audiowall/audiowall_store.h"
#include "common/clock.h"
#include "common/profile.h"
#include "common/registry.h"
#include "support/scripted_user_interface.h"
#include "common/text.h"
#include "config/command_line.h"
#include "config/config_set_model.h"
#include "config/startup.h"
#include "installation_fixture.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;
using testing::InstallationTest;

// A station's command-line text: switches in any letter case and order, values up to the next
// blank after leading blanks (or quoted), held in capitals.
TEST(CommandLine, SwitchValuesRunToTheNextBlankAfterLeadingBlanks) {
    using Value = std::optional<std::string> StartupCommand::*;
    struct Case {
        const char* commandLine;
        Value field;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"/li: c:\\sets\\studio2.ini /auto", &StartupCommand::configFile,
         "C:\\SETS\\STUDIO2.INI"},
        {"/AUTO /LI:", &StartupCommand::configFile, ""},
        {"/LI:   ", &StartupCommand::configFile, ""},
        {"/LI: /QUIT", &StartupCommand::configFile, ""},
        {"kora26.mdb /si:d:\\data\\other.ini", &StartupCommand::systemIniFile,
         "D:\\DATA\\OTHER.INI"},
        {"/user=  fred  /quit", &StartupCommand::user, "FRED"},
        {"/user=Mary Ann", &StartupCommand::user, "MARY"},
        {"/user=\"Mary Ann\" /auto", &StartupCommand::user, "MARY ANN"},
        {"/USER=FRED /USER=GHOST", &StartupCommand::user, "FRED"},
        {"/AUTO /QUIT", &StartupCommand::configFile, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseCommandLine(c.commandLine).*c.field, c.value) << c.commandLine;
}

// The database is the first word naming a ".MDB" file; the flags stand anywhere.
TEST(CommandLine, TheFirstWordNamesTheDatabase) {
    const struct {
        std::vector<std::string> words;
        std::string database;
        bool autoImport, quit, debug;
    } cases[] = {
        {{"kora26.mdb", "/auto", "/Quit"}, "KORA26.MDB", true, true, false},
        {{"Studio Two.mdb", "/debug"}, "STUDIO TWO.MDB", false, false, true},
        {{"/AUTO", "KORA26.MDB"}, "", true, false, false},
        {{"KORA26", "/QUIT"}, "", false, true, false},
        {{"/USER=KORA26.MDB"}, "", false, false, false},
        {{}, "", false, false, false},
    };
    for (const auto& c : cases) {
        StartupCommand command = CommandFromWords(c.words);
        SCOPED_TRACE(::testing::PrintToString(c.words));
        EXPECT_EQ(command.database, c.database);
        EXPECT_EQ(command.autoImport, c.autoImport);
        EXPECT_EQ(command.quit, c.quit);
        EXPECT_EQ(command.debug, c.debug);
    }
    EXPECT_EQ(CommandLineWords("  \"Studio Two.MDB\"  /AUTO \"\" "),
              (std::vector<std::string>{"Studio Two.MDB", "/AUTO", ""}));
}

TEST_F(InstallationTest, LiSwitchNamesTheFileEvenWithConfigurationSets) {
    WriteRegistryNumber(RegistryRoot::LocalMachine, kProductRegistryKey, "MultiConfigFile", 1, 0);
    ScriptedUserInterface ui;
    bool dialogShown = false;
    ui.onConfigSet = [&](ConfigSetModel&) { return dialogShown = true; };

    SystemLocations locations;
    ASSERT_TRUE(PrepareStartupEnvironment(locations, ui, ui,
                                          ParseCommandLine("/li: c:\\sets\\studio2.ini")));
    EXPECT_EQ(locations.CommandLine.configFile, "C:\\SETS\\STUDIO2.INI");
    EXPECT_EQ(locations.ConfigFile, "C:\\SETS\\STUDIO2.INI");
    EXPECT_FALSE(dialogShown);

    SystemLocations bare;
    ASSERT_TRUE(PrepareStartupEnvironment(bare, ui, ui, ParseCommandLine("/LI:")));
    EXPECT_EQ(bare.ConfigFile, "");
}

TEST_F(InstallationTest, WithoutConfigurationSetsTheStandardFileIsUsed) {
    ScriptedUserInterface ui;
    SystemLocations locations;
    ASSERT_TRUE(PrepareStartupEnvironment(locations, ui, ui, ParseCommandLine("/auto")));
    EXPECT_EQ(locations.ConfigFile, "VANTOR.INI");
    EXPECT_EQ(locations.TraceLevel, 0);
}

TEST_F(InstallationTest, ConfigurationSetChoiceDecidesTheFileOrEndsStartUp) {
    WriteRegistryNumber(RegistryRoot::LocalMachine, kProductRegistryKey, "MultiConfigFile", 1, 0);
    WriteRegistryString(RegistryRoot::LocalMachine, kProductRegistryKey, "ConfigFiles",
                        "vantor.ini studio2.ini", "");
    ScriptedUserInterface ui;
    ui.cursor = MouseCursor::Hourglass;
    MouseCursor cursorWhileShown = MouseCursor::Hourglass;
    ui.onConfigSet = [&](ConfigSetModel& model) {
        cursorWhileShown = ui.cursor;
        EXPECT_FALSE(model.optionsMenuVisible);
        EXPECT_EQ(model.StandardConfigFile, "vantor.ini");
        model.ClickItem(1);
        model.OK();
        return true;
    };
    SystemLocations chosen;
    ASSERT_TRUE(PrepareStartupEnvironment(chosen, ui, ui, ParseCommandLine("")));
    EXPECT_EQ(chosen.ConfigFile, "studio2.ini");
    EXPECT_EQ(cursorWhileShown, MouseCursor::Default);
    EXPECT_EQ(ui.cursor, MouseCursor::Hourglass);

    // Once chosen, running the start-up again does not ask again.
    ui.onConfigSet = nullptr;
    ASSERT_TRUE(PrepareStartupEnvironment(chosen, ui, ui, ParseCommandLine("")));
    EXPECT_EQ(chosen.ConfigFile, "studio2.ini");

    // Cancelled, or no window to show it in: start-up ends.
    ui.onConfigSet = [](ConfigSetModel& model) {
        model.Cancel();
        return false;
    };
    SystemLocations cancelled;
    EXPECT_FALSE(PrepareStartupEnvironment(cancelled, ui, ui, ParseCommandLine("")));
    EXPECT_EQ(cancelled.ConfigFile, "");
    ui.onConfigSet = nullptr;
    SystemLocations headless;
    EXPECT_FALSE(PrepareStartupEnvironment(headless, ui, ui, ParseCommandLine("")));
}

TEST_F(InstallationTest, DebugSwitchTracesEverythingOnlyWhenNoLevelIsSet) {
    ScriptedUserInterface ui;
    SystemLocations off;
    PrepareStartupEnvironment(off, ui, ui, ParseCommandLine("/debug"));
    EXPECT_EQ(off.TraceLevel, -1);
    SystemLocations kept;
    kept.TraceLevel = 3;
    PrepareStartupEnvironment(kept, ui, ui, ParseCommandLine("/DEBUG"));
    EXPECT_EQ(kept.TraceLevel, 3);
}

TEST_F(InstallationTest, SmallScreenWarningDependsOnHeightAndIsShownOnce) {
    struct Case {
        int width, height;
        bool warned;
    };
    for (Case c : {Case{1024, 576, true}, Case{640, 600, false}, Case{1920, 599, true}}) {
        WriteRegistryNumber(RegistryRoot::LocalMachine, kVersion2RegistryKey,
                            "LowDisplayResWarning", 0, 0);
        ScriptedUserInterface ui;
        ui.screenWidth = c.width;
        ui.screenHeight = c.height;
        SystemLocations locations;
        PrepareStartupEnvironment(locations, ui, ui, ParseCommandLine(""));
        EXPECT_EQ(ui.Showed(SmallScreenWarningText()), c.warned) << c.width << "x" << c.height;
        if (c.warned) {
            EXPECT_EQ(ui.messages[0].request.icon, MessageIcon::Warning);
            EXPECT_EQ(ReadRegistryNumber(RegistryRoot::LocalMachine, kVersion2RegistryKey,
                                         "LowDisplayResWarning", 0),
                      1);
            ScriptedUserInterface again;
            again.screenHeight = c.height;
            SystemLocations next;
            PrepareStartupEnvironment(next, again, again, ParseCommandLine(""));
            EXPECT_TRUE(again.messages.empty());
        }
    }
    EXPECT_NE(SmallScreenWarningText().find(
                  " is designed to work with a minimum screen resolution of 800x600.\n\nYour "
                  "screen is set smaller than this, so some graphics will not appear "
                  "correctly.\n\nTressel will only provide technical support"),
              std::string::npos);
}

TEST_F(InstallationTest, SystemIniFileFollowsTheDataLocationUnlessNamed) {
    SystemLocations locations;
    locations.CommandLine = ParseCommandLine("/auto");
    locations.DataLocation = "D:\\VANTOR";
    ASSERT_TRUE(LocateSystemIniFile(locations));
    EXPECT_EQ(locations.SystemIniFile, "D:\\VANTOR\\VNTR_SYS.INI");

    locations.CommandLine = ParseCommandLine("/si:e:\\sys.ini /auto");
    ASSERT_TRUE(LocateSystemIniFile(locations));
    EXPECT_EQ(locations.SystemIniFile, "E:\\SYS.INI");
}

TEST_F(InstallationTest, DataLocationAndDisplaySettingsComeFromTheConfigurationFile) {
    std::string config = Path("studio.ini");
    WriteProfileString(config, "FileLocations", "Data", "  " + Path("data") + "  ");
    WriteProfileString(config, "AudioWall", "SearchCartNotes", "1");
    WriteProfileString(config, "AudioWall", "SearchCartsFromStart", "0");
    SystemLocations locations;
    locations.ConfigFile = config;
    ReadDataLocation(locations);
    ReadDisplaySettings(locations);
    EXPECT_EQ(locations.DataLocation, Path("data"));
    EXPECT_EQ(locations.SearchCartNotes, 1);
    EXPECT_EQ(locations.SearchCartsFromStart, 0);

    SystemLocations none;
    none.ConfigFile = "";
    ReadDataLocation(none);
    ReadDisplaySettings(none);
    EXPECT_EQ(none.DataLocation, "");
    EXPECT_EQ(none.SearchCartsFromStart, 1);
}

TEST_F(InstallationTest, InstallationSettingsComeFromTheNamedFileOrTheRegistry) {
    std::string config = Path("STUDIO.INI");
    WriteProfileString(config, "FileLocations", "Data", Path("DATA"));
    WriteProfileString(config, "FileLocations", "Carts1", Path("AUDIO"));
    WriteRegistryString(RegistryRoot::LocalMachine, "Software\\Tressel\\Vantor v2\\File Locations",
                        "CartLocation1", Path("REGAUDIO"), "");
    ScriptedUserInterface ui;
    FixedClock clock(2024, 3, 15);

    SystemLocations named;
    AudiowallState audiowall;
    ASSERT_TRUE(ReadInstallationSettings(named, audiowall, ui, ui, clock,
                                         ParseCommandLine("/LI:" + config)));
    EXPECT_EQ(named.ConfigFile, ToUpper(config));
    EXPECT_EQ(named.DataLocation, Path("DATA"));
    EXPECT_EQ(audiowall.Parts[1].Directory, Path("AUDIO"));
    LocateSystemIniFile(named);
    EXPECT_EQ(named.SystemIniFile, Path("DATA") + "\\VNTR_SYS.INI");

    // "/LI:" alone: no configuration file at all. The Audiowall comes from the registry and
    // the data location is empty, which sends the operator to the file locations dialog.
    SystemLocations bare;
    AudiowallState fromRegistry;
    ASSERT_TRUE(ReadInstallationSettings(bare, fromRegistry, ui, ui, clock,
                                         ParseCommandLine("/LI:")));
    EXPECT_EQ(bare.ConfigFile, "");
    EXPECT_EQ(bare.DataLocation, "");
    EXPECT_EQ(fromRegistry.Parts[1].Directory, Path("REGAUDIO"));
}

TEST_F(InstallationTest, DataDirectoriesAreCreatedUnderTheDataLocation) {
    ScriptedUserInterface ui;
    std::string data = Path("data");
    fs::create_directories(data + "/SCHEDULE");
    EnsureDataDirectories(data, ui);
    for (const char* name : {"USERS", "SCHEDULE", "Logs", "Commands", "Scripts"})
        EXPECT_TRUE(fs::is_directory(data + "/" + name)) << name;
    EXPECT_TRUE(ui.messages.empty());

    ScriptedUserInterface quiet;
    EnsureDataDirectories("", quiet);
    EXPECT_TRUE(quiet.messages.empty());
}

TEST_F(InstallationTest, NothingElseIsCreatedWhenUsersCannotBe) {
    ScriptedUserInterface ui;
    std::string data = Path("blocked");
    root_.WriteFile("blocked/USERS", "a file where the directory should be");
    EnsureDataDirectories(data, ui);
    EXPECT_FALSE(fs::exists(data + "/SCHEDULE"));
    EXPECT_FALSE(fs::exists(data + "/Logs"));
    EXPECT_FALSE(ui.messages.empty());  // the failure was reported
}

TEST_F(InstallationTest, LogsFailureIsReportedAndTheRestStillCreated) {
    ScriptedUserInterface ui;
    std::string data = Path("partly");
    root_.WriteFile("partly/Logs", "a file where the directory should be");
    EnsureDataDirectories(data, ui);
    EXPECT_TRUE(fs::is_directory(data + "/Commands"));
    EXPECT_TRUE(fs::is_directory(data + "/Scripts"));
    bool reported = false;
    for (const std::string& text : ui.MessageTexts())
        reported = reported || text.find(
                                   "There was a problem while creating the Logs directory "
                                   "in \n" +
                                   data) == 0;
    EXPECT_TRUE(reported);
}

}  // namespace
}  // namespace vantor
