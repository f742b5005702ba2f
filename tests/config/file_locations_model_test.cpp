#include <gtest/gtest.h>

#include <filesystem>

#include "audiowall/audiowall_store.h"
#include "common/profile.h"
#include "support/scripted_user_interface.h"
#include "common/text.h"
#include "config/file_locations_model.h"
#include "config/system_locations.h"
#include "installation_fixture.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;
using testing::InstallationTest;

class FileLocationsTest : public InstallationTest {
  protected:
    void SetUp() override {
        InstallationTest::SetUp();
        locations_.ConfigFile = Path("vantor.ini");
    }
    std::string Stored(const std::string& key) {
        return GetProfileString(locations_.ConfigFile, "FileLocations", key, "<missing>");
    }

    ScriptedUserInterface ui_;
    SystemLocations locations_;
    AudiowallState audiowall_;
};

TEST_F(FileLocationsTest, RowLabels) {
    EXPECT_EQ(FileLocationsModel::RowLabel(1), "Carts 1 to 1000:");
    EXPECT_EQ(FileLocationsModel::RowLabel(2), "Carts 1001 to 2000:");
    EXPECT_EQ(FileLocationsModel::RowLabel(10), "Carts 9001 to 10000:");
    EXPECT_EQ(FileLocationsModel::RowLabel(11), "Carts 10001 to...");
}

TEST_F(FileLocationsTest, NewInstallationSharesOneDirectoryStoredAndCreatedForAllParts) {
    FileLocationsModel model(locations_, audiowall_, ui_);
    model.Open();
    EXPECT_TRUE(model.UseOneCartLocation());  // eleven empty rows are equal
    EXPECT_FALSE(model.RowEnabled(2));

    // Locations as typed: letters keep their case, and the directories made are the ones
    // named here.
    std::string audio = Path("Audio");
    std::string data = Path("data");
    ui_.folderAnswers.push_back("  " + audio + "  ");
    model.BrowseCartLocation(1);
    ui_.folderAnswers.push_back(data + "/");
    model.BrowseDataLocation();
    for (int row = 1; row <= 11; ++row) EXPECT_EQ(model.CartLocation(row), audio);
    EXPECT_EQ(ui_.fileDialogs[0].title, "Select the directory that the audio is stored in");

    model.OK();
    EXPECT_TRUE(model.IsClosed());
    EXPECT_TRUE(fs::is_directory(audio));
    for (int n = 1; n <= 11; ++n) {
        EXPECT_EQ(Stored("Carts" + std::to_string(n)), audio) << n;
        EXPECT_EQ(audiowall_.Parts[n].Directory, audio);
        EXPECT_EQ(audiowall_.Parts[n].State, PartState::Connected) << n;
    }
    // The data location lost its trailing separator; the data directories exist, and the
    // sub-locations are stored joined with "/" and spelt as they were made.
    EXPECT_EQ(locations_.DataLocation, data);
    EXPECT_EQ(Stored("Data"), data);
    EXPECT_EQ(Stored("Schedules"), data + "/SCHEDULE");
    EXPECT_EQ(Stored("Logs"), data + "/Logs");
    EXPECT_TRUE(fs::is_directory(data + "/USERS"));
    EXPECT_TRUE(fs::is_directory(data + "/SCHEDULE"));
    EXPECT_TRUE(fs::is_directory(data + "/Logs"));
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_EQ(ui_.cursor, MouseCursor::Default);
}

// On this file system "/srv/vantor" and "/SRV/VANTOR" are different names: a location is
// stored and shown as it exists on disk, whatever case it was typed or stored in, and as
// typed for the part still to be made; comparisons of locations ignore case.
TEST_F(FileLocationsTest, LocationsAreStoredAndShownAsTheyExistOnDisk) {
    fs::create_directories(Path("Station/Audio"));
    fs::create_directories(Path("Station/data"));
    // Stored in capitals by the installation's other programs: shown as on disk.
    audiowall_.Parts[1].Directory = ToUpper(Path("Station/Audio"));
    for (int n = 2; n <= 11; ++n) audiowall_.Parts[n].Directory = Path("Station/audio");
    locations_.DataLocation = ToUpper(Path("Station/data"));
    FileLocationsModel model(locations_, audiowall_, ui_);
    model.Open();
    EXPECT_EQ(model.CartLocation(1), Path("Station/Audio"));
    EXPECT_EQ(model.DataLocationText(), Path("Station/data"));
    EXPECT_TRUE(model.UseOneCartLocation());  // the same directory, told apart only by case

    // Typed in other capitals, and a new directory under an existing one.
    model.SetUseOneCartLocation(false);
    model.SetCartLocation(1, ToUpper(Path("Station/audio")) + "/");
    model.SetCartLocation(2, ToUpper(Path("Station")) + "/New Carts");
    model.SetDataLocation(ToLower(Path("Station/DATA")));
    model.OK();
    EXPECT_EQ(Stored("Carts1"), Path("Station/Audio"));
    EXPECT_EQ(Stored("Carts2"), Path("Station/New Carts"));
    EXPECT_TRUE(fs::is_directory(Path("Station/New Carts")));
    EXPECT_EQ(audiowall_.Parts[2].State, PartState::Connected);
    EXPECT_EQ(Stored("Data"), Path("Station/data"));
    EXPECT_EQ(locations_.DataLocation, Path("Station/data"));
    EXPECT_EQ(Stored("Schedules"), Path("Station/data") + "/SCHEDULE");
    EXPECT_FALSE(fs::exists(ToUpper(Path("Station"))));
    EXPECT_TRUE(ui_.messages.empty());
}

TEST_F(FileLocationsTest, SeparateRowsAreNormalisedAndEmptyOnesStoredEmpty) {
    root_.WriteFile("audio/Audwall.ini", "[Audiowall]\nNoCarts=12500\n");
    audiowall_.Parts[1].Directory = Path("audio");
    audiowall_.Parts[2].Directory = Path("other");
    FileLocationsModel model(locations_, audiowall_, ui_);
    model.Open();
    EXPECT_FALSE(model.UseOneCartLocation());
    model.SetCartLocation(1, " " + Path("audio") + "\\ ");
    model.SetCartLocation(3, "");
    model.OK();
    EXPECT_EQ(Stored("Carts1"), Path("audio"));
    EXPECT_EQ(Stored("Carts2"), Path("other"));
    EXPECT_EQ(Stored("Carts3"), "");
    EXPECT_EQ(audiowall_.Parts[3].State, PartState::Unavailable);
    EXPECT_EQ(audiowall_.MaxCart, 12500);  // re-read from the store's own settings
    // Nothing is validated: an empty data location is stored as it is.
    EXPECT_EQ(Stored("Data"), "");
}

TEST_F(FileLocationsTest, WithoutConfigurationFileNothingIsWrittenButDirectoriesAreMade) {
    locations_.ConfigFile = "";
    FileLocationsModel model(locations_, audiowall_, ui_);
    model.Open();
    model.SetCartLocation(1, Path("AUDIO"));
    model.SetDataLocation(Path("DATA"));
    model.OK();
    EXPECT_EQ(locations_.DataLocation, Path("DATA"));
    EXPECT_TRUE(fs::is_directory(Path("DATA/USERS")));
    EXPECT_TRUE(fs::is_directory(Path("AUDIO")));
    EXPECT_TRUE(fs::is_empty(Windir()) || !fs::exists(Windir() + "/VANTOR.INI"));
    EXPECT_FALSE(fs::exists(Path("vantor.ini")));
}

TEST_F(FileLocationsTest, EscapeAfterEditingChangesNothing) {
    locations_.DataLocation = "D:\\DATA";
    audiowall_.Parts[1].Directory = "D:\\AUDIO";
    audiowall_.MaxCart = 5000;
    FileLocationsModel model(locations_, audiowall_, ui_);
    model.Open();
    EXPECT_EQ(model.DataLocationText(), "D:\\DATA");
    model.SetUseOneCartLocation(false);
    model.SetCartLocation(1, Path("new"));
    model.SetCartLocation(2, Path("new2"));
    model.SetDataLocation(Path("newdata"));
    model.Escape();
    EXPECT_TRUE(model.IsClosed());
    EXPECT_EQ(locations_.DataLocation, "D:\\DATA");
    EXPECT_EQ(audiowall_.Parts[1].Directory, "D:\\AUDIO");
    EXPECT_EQ(audiowall_.Parts[2].Directory, "");
    EXPECT_EQ(audiowall_.MaxCart, 5000);
    EXPECT_FALSE(fs::exists(locations_.ConfigFile));
    EXPECT_FALSE(fs::exists(Path("new")));
}

TEST_F(FileLocationsTest, CancelledBrowseKeepsTheText) {
    FileLocationsModel model(locations_, audiowall_, ui_);
    model.Open();
    model.SetUseOneCartLocation(false);
    model.SetCartLocation(4, "E:\\Carts");
    model.BrowseCartLocation(4);  // no answer queued: cancelled
    EXPECT_EQ(model.CartLocation(4), "E:\\Carts");
    EXPECT_EQ(ui_.fileDialogs.back().initialDirectory, "E:\\Carts");
}

TEST_F(FileLocationsTest, LocationTextTrimmedWithoutTrailingSeparatorInItsOwnCase) {
    fs::create_directories(Path("Sound/Library"));
    const std::pair<std::string, std::string> cases[] = {
        {" c:\\audio\\ ", "c:\\audio"},  // a drive letter means nothing here: as typed
        {"D:\\", "D:"},
        {"/nowhere/srv/audio/", "/nowhere/srv/audio"},
        {ToUpper(Path("Sound/Library")) + "/", Path("Sound/Library")},
        {ToLower(Path("Sound")) + "\\New\\", Path("Sound") + "/New"},
        {"/", "/"},
        {"", ""},
    };
    for (const auto& [typed, stored] : cases) EXPECT_EQ(NormaliseLocation(typed), stored) << typed;
}

}  // namespace
}  // namespace vantor
