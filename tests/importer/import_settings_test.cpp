#include <gtest/gtest.h>

#include <cstdlib>

#include "common/profile.h"
#include "support/scripted_user_interface.h"
#include "config/system_locations.h"
#include "importer/import_settings_dialog_model.h"
#include "importer/import_settings.h"
#include "support/temp_dir.h"

namespace vantor {
namespace {

using Field = LogImportSettingsModel::Field;

class ImportSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        locations_.DataLocation = dir_.path();
        locations_.SystemIniFile = dir_ / "VNTR_SYS.INI";
    }
    std::string Holbrane() const { return dir_ / "HOLBRANE.INI"; }

    testing::TempDir dir_;
    SystemLocations locations_;
};

TEST_F(ImportSettingsTest, FreshInstallationReadsTheDefaults) {
    ImportSettings settings;
    settings.AutoPurgeDatabaseDays = 99;
    settings.Ranges.SongsEnd = 1;
    settings.UsersMustLogin = 1;
    LoadSettings(settings, locations_);
    EXPECT_EQ(settings, ImportSettings{});
    EXPECT_EQ(settings.UsersMustLogin, -1);
    EXPECT_EQ(settings.Ranges.CartGroupsStart, 80001);
}

TEST_F(ImportSettingsTest, SaveAndLoadRoundTripInTheirFiles) {
    ImportSettings saved;
    saved.AutoPurgeDatabaseDays = 7;
    saved.UnderrunningDuration = 3450;
    saved.Ranges = CartRanges{10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
    saved.UsersMustLogin = 0;
    ASSERT_TRUE(SaveSettings(saved, locations_));

    ImportSettings loaded;
    LoadSettings(loaded, locations_);
    EXPECT_EQ(loaded, saved);
    EXPECT_EQ(GetProfileString(Holbrane(), "CartLocations", "CartGroups.Start", ""), "50");
    EXPECT_EQ(GetProfileString(locations_.SystemIniFile, "LogImport", "Music.UsersMustLogin", ""),
              "0");
    // The file lists the keys in the order the rest of the installation expects.
    std::string text = dir_.ReadFile("HOLBRANE.INI");
    const char* order[] = {
        "AutoPurgeDays=",  "UnderrunningDuration=", "Jingles.Start=",    "Jingles.End=",
        "Sweepers.Start=", "Sweepers.End=",         "CartGroups.Start=", "CartGroups.End=",
        "Adverts.Start=",  "Adverts.End=",          "Songs.Start=",      "Songs.End="};
    size_t at = 0;
    for (const char* key : order) {
        size_t found = text.find(key, at);
        ASSERT_NE(found, std::string::npos) << key;
        at = found;
    }
}

TEST_F(ImportSettingsTest, NoDataLocationWritesNothingAnywhere) {
    locations_.DataLocation = "";
    locations_.SystemIniFile = "";
    EXPECT_FALSE(SaveSettings(ImportSettings{}, locations_));
    ImportSettings loaded;
    LoadSettings(loaded, locations_);
    EXPECT_EQ(loaded, ImportSettings{});
}

class SettingsDialogTest : public ImportSettingsTest {
  protected:
    LogImportSettingsModel Model(std::function<std::string(const std::string&)> browser = {}) {
        ui_.onBrowseCarts = std::move(browser);
        return LogImportSettingsModel(settings_, locations_, ui_, ui_);
    }
    ImportSettings settings_;
    ScriptedUserInterface ui_;
};

TEST_F(SettingsDialogTest, OpensWithStoredValuesAndMinutes) {
    ImportSettings stored;
    stored.UnderrunningDuration = 3450;
    stored.UsersMustLogin = 1;
    SaveSettings(stored, locations_);
    settings_.UnderrunningDuration = 1;  // what the main window held is replaced

    auto model = Model();
    model.Open();
    EXPECT_EQ(settings_.UnderrunningDuration, 3450);
    EXPECT_EQ(model.Text(Field::txtUnderRunning), "57.5");
    EXPECT_EQ(model.Text(Field::txtAutoPurgeDays), "3");
    EXPECT_EQ(model.Text(Field::txtCartGroupsEnd), "80099");
    EXPECT_TRUE(model.UsersMustLoginChecked());
    EXPECT_EQ(model.CurrentTab(), LogImportSettingsModel::Tab::General);
    EXPECT_FALSE(LogImportSettingsModel::SelectsAllOnFocus(Field::txtAutoPurgeDays));
    EXPECT_TRUE(LogImportSettingsModel::SelectsAllOnFocus(Field::txtUnderRunning));
}

TEST_F(SettingsDialogTest, OkStoresMinutesAsSecondsAndSaves) {
    struct Case {
        const char* minutes;
        int32_t seconds;
    };
    for (Case c : {Case{"60", 3600}, Case{"55", 3300}, Case{"57.5", 3450}}) {
        auto model = Model();
        model.Open();
        model.SetText(Field::txtUnderRunning, c.minutes);
        model.SetText(Field::txtSongsEnd, "7500");
        model.SetUsersMustLoginChecked(false);
        ASSERT_TRUE(model.OK()) << c.minutes;
        EXPECT_TRUE(model.IsClosed());
        EXPECT_EQ(settings_.UnderrunningDuration, c.seconds);
        EXPECT_EQ(settings_.Ranges.SongsEnd, 7500);
        EXPECT_EQ(settings_.UsersMustLogin, 0);
        ImportSettings reread;
        LoadSettings(reread, locations_);
        EXPECT_EQ(reread, settings_);
    }
}

TEST_F(SettingsDialogTest, OkRefusesBadRangesInItsOrderAndStoresNothing) {
    struct Edit {
        Field field;
        const char* text;
    };
    struct Case {
        std::vector<Edit> edits;
        const char* message;
    };
    const Case cases[] = {
        {{{Field::txtJinglesStart, "600"}, {Field::txtSweepersStart, "2000"}},
         "You cannot have the End of the Jingles Range before the start"},
        {{{Field::txtSweepersEnd, "5"}},
         "You cannot have the End of the Sweepers Range before the start"},
        {{{Field::txtSongsStart, "9000"}},
         "You cannot have the End of the Songs Range before the start"},
        {{{Field::txtCartGroupsEnd, "1"}},
         "You cannot have the End of the Cart Groups Range before the start"},
        {{{Field::txtAdvertsStart, "1999.5"}},
         "You cannot have the End of the Adverts Range before the start"},
        {{{Field::txtAdvertsStart, "0"}},
         "You must specify a valid cart number for all of the ranges"},
        {{{Field::txtCartGroupsStart, "x"}},
         "You must specify a valid cart number for all of the ranges"},
        {{{Field::txtJinglesStart, ""}, {Field::txtJinglesEnd, ""}},
         "You must specify a valid cart number for all of the ranges"},
    };
    for (const Case& c : cases) {
        ui_.Clear();
        auto model = Model();
        model.Open();
        model.SetText(Field::txtAutoPurgeDays, "9");
        for (const Edit& e : c.edits) model.SetText(e.field, e.text);
        EXPECT_FALSE(model.OK()) << c.message;
        EXPECT_FALSE(model.IsClosed());
        ASSERT_EQ(ui_.messages.size(), 1u);
        EXPECT_EQ(ui_.messages[0].request.text, c.message);
        EXPECT_EQ(ui_.messages[0].request.icon, MessageIcon::Information);
        EXPECT_EQ(settings_.AutoPurgeDatabaseDays, 3);
        EXPECT_FALSE(dir_.ReadFile("HOLBRANE.INI").size() > 0);
    }
}

TEST_F(SettingsDialogTest, ANumberTooLargeIsRefusedWithoutStoring) {
    auto model = Model();
    model.Open();
    model.SetText(Field::txtSongsEnd, "99999999999");
    EXPECT_FALSE(model.OK());
    EXPECT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(settings_.Ranges.SongsEnd, 6999);
    EXPECT_EQ(dir_.ReadFile("HOLBRANE.INI"), "");
}

TEST_F(SettingsDialogTest, KeyFiltersPerField) {
    struct Case {
        Field field;
        int key;
        bool passes;
    };
    const Case cases[] = {
        {Field::txtJinglesStart, 'A', false},   {Field::txtJinglesStart, '7', true},
        {Field::txtJinglesStart, 8, true},      {Field::txtJinglesStart, 27, true},
        {Field::txtJinglesStart, '.', false},   {Field::txtAdvertsEnd, '-', false},
        {Field::txtCartGroupsStart, 'A', true}, {Field::txtAutoPurgeDays, 'x', true},
        {Field::txtUnderRunning, 'A', false},   {Field::txtUnderRunning, '.', true},
        {Field::txtUnderRunning, '5', true},    {Field::txtUnderRunning, 13, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LogImportSettingsModel::FilterKey(c.field, c.key) != 0, c.passes)
            << static_cast<int>(c.field) << " key " << c.key;

    auto model = Model();
    model.Open();
    model.SetText(Field::txtJinglesStart, "1");
    model.TypeKey(Field::txtJinglesStart, 'A');
    model.TypeKey(Field::txtJinglesStart, '2');
    EXPECT_EQ(model.Text(Field::txtJinglesStart), "12");
    model.TypeKey(Field::txtJinglesStart, 8);
    EXPECT_EQ(model.Text(Field::txtJinglesStart), "1");
}

TEST_F(SettingsDialogTest, BrowseStartsAtTheFieldsCartAndKeepsItWhenNothingChosen) {
    std::vector<std::string> tags;
    std::string answer;
    auto model = Model([&](const std::string& tag) {
        tags.push_back(tag);
        return answer;
    });
    model.Open();
    model.SetText(Field::txtJinglesStart, "250");
    answer = "";
    model.Browse(Field::txtJinglesStart);
    EXPECT_EQ(model.Text(Field::txtJinglesStart), "250");
    answer = "0";
    model.Browse(Field::txtJinglesStart);
    EXPECT_EQ(model.Text(Field::txtJinglesStart), "250");
    answer = "321";
    model.Browse(Field::txtJinglesStart);
    EXPECT_EQ(model.Text(Field::txtJinglesStart), "321");
    EXPECT_EQ(tags, (std::vector<std::string>{"250", "250", "250"}));
}

TEST_F(SettingsDialogTest, CancelStoresNothing) {
    auto model = Model();
    model.Open();
    model.SetText(Field::txtAutoPurgeDays, "12");
    model.Cancel();
    EXPECT_TRUE(model.IsClosed());
    EXPECT_EQ(settings_.AutoPurgeDatabaseDays, 3);
    EXPECT_EQ(dir_.ReadFile("HOLBRANE.INI"), "");
}

}  // namespace
}  // namespace vantor
