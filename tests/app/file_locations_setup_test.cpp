// "--set-data-location" and "--set-cart-directory": a first set-up from a shell, which must
// leave the configuration file as the file locations window leaves it.
#include <gtest/gtest.h>

#include <filesystem>

#include "audiowall/audiowall_store.h"
#include "common/profile.h"
#include "common/text.h"
#include "config/file_locations_model.h"
#include "config/system_locations.h"
#include "program_runner.h"
#include "support/scoped_env.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"

namespace vantor::testing {
namespace {

namespace fs = std::filesystem;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class FileLocationsSetUpTest : public ::testing::Test {
  protected:
    ProgramRun Run(const std::vector<std::string>& arguments) const {
        std::vector<std::string> line{"--headless"};
        line.insert(line.end(), arguments.begin(), arguments.end());
        return RunProgram(line, {{"VANTOR_WINDIR", dir_ / "windows"},
                                 {"VANTOR_PROGRAM_DIR", dir_ / "program"},
                                 {"HOME", dir_.path()},
                                 {"USER", "studio"}});
    }
    std::string ConfigFile() const { return ReadWholeFile(dir_ / "windows/VANTOR.INI"); }

    TempDir dir_;
};

TEST_F(FileLocationsSetUpTest, WritesWhatTheWindowsOKWrites) {
    const std::string data = dir_ / "station/data";
    const std::string audiowall = dir_ / "station/audiowall";
    ProgramRun run =
        Run({"--set-data-location=" + data, "--set-cart-directory=" + audiowall + "/"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "stored in " + (dir_ / "windows/VANTOR.INI") + ":\ndata location: " +
                           data + "\ncart directory: " + audiowall + "\n");

    // The same locations typed into the window, on a configuration file of its own.
    {
        ScopedEnv windir("VANTOR_WINDIR", dir_ / "window");
        ScriptedUserInterface ui;
        SystemLocations locations;
        AudiowallState audiowall;
        FileLocationsModel window(locations, audiowall, ui);
        window.Open();
        window.SetUseOneCartLocation(true);
        window.SetCartLocation(1, dir_ / "station/audiowall/");
        window.SetDataLocation(data);
        window.OK();
        EXPECT_TRUE(ui.messages.empty());
    }
    EXPECT_EQ(ConfigFile(), ReadWholeFile(dir_ / "window/VANTOR.INI"));
    EXPECT_TRUE(Contains(ConfigFile(), "Carts11=" + audiowall + "\r\n"));
    EXPECT_TRUE(Contains(ConfigFile(), "Schedules=" + data + "/SCHEDULE\r\n"));
    EXPECT_TRUE(Contains(ConfigFile(), "Logs=" + data + "/Logs\r\n"));
    // The directories keep the spelling they were given; the window's data directories are
    // made under them.
    for (const char* made : {"station/audiowall", "station/data/USERS", "station/data/SCHEDULE",
                             "station/data/Logs", "station/data/Commands", "station/data/Scripts"})
        EXPECT_TRUE(fs::is_directory(dir_ / made)) << made;

    // A later data location alone leaves the cart directories as stored.
    ProgramRun moved = Run({"--set-data-location=" + (dir_ / "elsewhere")});
    ASSERT_EQ(moved.exitCode, 0) << moved.err;
    EXPECT_EQ(GetProfileString(dir_ / "windows/VANTOR.INI", "FileLocations", "Data", ""),
              dir_ / "elsewhere");
    EXPECT_EQ(GetProfileString(dir_ / "windows/VANTOR.INI", "FileLocations", "Carts7", ""),
              audiowall);
}

TEST_F(FileLocationsSetUpTest, ARelativeDirectoryIsStoredAsTheAbsoluteOneItMeansNow) {
    // A service or a scheduler starts the program elsewhere: "data" must not be stored as is.
    fs::create_directories(dir_ / "station");
    ProgramRun run = RunProgramAt(
        "/bin/sh",
        {"-c", "cd '" + (dir_ / "station") + "' && exec \"$0\" \"$@\"", VANTOR_EXE, "--headless",
         "--set-data-location=data/../data2"},
        {{"VANTOR_WINDIR", dir_ / "windows"}, {"HOME", dir_.path()}, {"USER", "studio"}});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(GetProfileString(dir_ / "windows/VANTOR.INI", "FileLocations", "Data", ""),
              dir_ / "station/data2");
    EXPECT_TRUE(fs::is_directory(dir_ / "station/data2/SCHEDULE"));
}

// A location given in other capitals than the directory has on disk is stored as it exists
// there, and a directory still to be made keeps the letters it was given.
TEST_F(FileLocationsSetUpTest, LocationsAreStoredAsTheyExistOnDisk) {
    fs::create_directories(dir_ / "Station/Audio");
    ProgramRun run = Run({"--set-data-location=" + (dir_ / "Station") + "/New Data",
                          "--set-cart-directory=" + ToUpper(dir_ / "Station/Audio")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string config = dir_ / "windows/VANTOR.INI";
    EXPECT_EQ(GetProfileString(config, "FileLocations", "Data", ""), dir_ / "Station/New Data");
    EXPECT_EQ(GetProfileString(config, "FileLocations", "Carts1", ""), dir_ / "Station/Audio");
    EXPECT_TRUE(fs::is_directory(dir_ / "Station/New Data/USERS"));
    EXPECT_FALSE(fs::exists(ToUpper(dir_ / "Station")));
}

TEST_F(FileLocationsSetUpTest, RefusesADirectoryThatCannotBeMadeBeforeStoringAnything) {
    const std::string file = dir_.WriteFile("plain-file", "not a directory");
    const struct {
        std::vector<std::string> arguments;
        std::string reason;
    } cases[] = {
        {{"--set-cart-directory=" + (dir_ / "carts"), "--set-data-location=" + file + "/data"},
         "error: the data location " + file + "/data does not exist and cannot be created: " +
             file + " is a file, not a directory\n"},
        {{"--set-cart-directory=" + file},
         "error: the cart directory " + file + " does not exist and cannot be created: " + file +
             " is a file, not a directory\n"},
    };
    for (const auto& c : cases) {
        ProgramRun run = Run(c.arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.err, c.reason);
        EXPECT_FALSE(fs::exists(dir_ / "windows/VANTOR.INI"));
        EXPECT_FALSE(fs::exists(dir_ / "carts"));
    }
}

TEST_F(FileLocationsSetUpTest, AConfigurationFileThatCannotBeWrittenIsAFailure) {
    // The window's OK does not report a write that failed; the set-up must.
    fs::create_directories(dir_ / "windows/VANTOR.INI");
    ProgramRun run = Run({"--set-data-location=" + (dir_ / "data")});
    EXPECT_EQ(run.exitCode, 3);
    // A directory in the settings file's place is no settings file: it is named as unread.
    EXPECT_EQ(run.err, "warning: The settings file " + (dir_ / "windows/VANTOR.INI") +
                           " was not read (it is a directory); its defaults are used.\n"
                           "error: the file locations could not be written to " +
                           (dir_ / "windows/VANTOR.INI") + "\n");
    EXPECT_EQ(run.out, "");
}

}  // namespace
}  // namespace vantor::testing
