#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "common/date_hour_picker_model.h"
#include "common/profile.h"
#include "config/file_locations_model.h"
#include "main_window_fixture.h"
#include "support/succeeded.h"

namespace vantor {
namespace {

using testing::HoursOf;
using testing::kMarch5;
using testing::kMarch6;
using testing::kMarch7;
using testing::kMarch8;
using testing::MainWindowTest;

TEST_F(MainWindowTest, StartUpWithTheDatabaseOnTheCommandLine) {
    station_.WriteLog(kMarch7, HoursOf(kMarch7, 6, 8));
    Start("kora26.mdb /auto /quit");

    EXPECT_EQ(ui_.startupStatus,
              (std::vector<std::string>{
                  "Reading Local Settings...", "Reading Locale Specific Settings...",
                  "Reading Last Scheduled Information...", "Reading Database Information...",
                  "Opening Audiowall...", ""}));
    EXPECT_EQ(window_->DatabaseFile(), "KORA26.MDB");  // the command line is held in capitals
    EXPECT_EQ(window_->Caption(), "Vantor Log Import : Test Station");
    EXPECT_EQ(window_->ScheduledUntilText(), "No Schedules Created");
    EXPECT_EQ(window_->LastScheduled().day, 0);
    // The default range: the one log file after the (empty) schedule.
    EXPECT_EQ(window_->Fields().startDate, "07 March 2000");
    EXPECT_EQ(window_->Fields().startHour, "06");
    EXPECT_EQ(window_->Fields().endDate, "07 March 2000");
    EXPECT_EQ(window_->Fields().endHour, "08");
    EXPECT_EQ(window_->StartDayText(), "Tuesday");
    EXPECT_TRUE(window_->ScheduleEnabled());
    EXPECT_TRUE(window_->AutoRequested());
    EXPECT_TRUE(window_->QuitRequested());
    EXPECT_TRUE(ui_.messages.empty()) << ::testing::PrintToString(ui_.MessageTexts());
    // Users need not log in here: the operating system's user with every right.
    EXPECT_TRUE(session_->login.currentUser.HasRight(5));
    EXPECT_EQ(session_->login.currentUser.FullName, "No Users in Database");

    ImportRunResult run = window_->AutoStart();
    EXPECT_EQ(run.outcome, ImportRunOutcome::Imported);
    EXPECT_TRUE(window_->IsClosed());  // "/QUIT"
    EXPECT_EQ(HourStarts().size(), 3u);
}

TEST_F(MainWindowTest, WithoutADatabaseNameTheChooserDecides) {
    // Nobody to show the chooser: start-up ends.
    EXPECT_FALSE(window_->Load(ParseCommandLine("/AUTO")));
    EXPECT_TRUE(window_->IsClosed());
    EXPECT_EQ(ui_.startupStatus.back(), "Choosing Kora Database...");

    Restart();
    std::string searched, type;
    ui_.onChooseDatabase = [&](const std::string& directory, const std::string& tag) {
        searched = directory;
        type = tag;
        return std::string("KORA26.MDB");
    };
    ASSERT_TRUE(window_->Load(ParseCommandLine("")));
    EXPECT_EQ(searched, station_.dataLocation + "/SCHEDULE");
    EXPECT_EQ(type, "14");
    EXPECT_EQ(window_->DatabaseFile(), "KORA26.MDB");
    EXPECT_NE(
        std::find(ui_.startupStatus.begin(), ui_.startupStatus.end(), "Validating Database..."),
        ui_.startupStatus.end());
    EXPECT_FALSE(window_->AutoRequested());
}

// A chosen database whose tables cannot be brought up to date (another program made a view
// of the name of one of them) ends start-up after the check's report.
TEST_F(MainWindowTest, AChosenDatabaseThatFailsItsCheckEndsStartUp) {
    {
        Database db;
        ASSERT_THAT(db.Open(station_.databasePath), Succeeded());
        ASSERT_THAT(db.Execute("DROP TABLE Jingles"), Succeeded());
        ASSERT_THAT(db.Execute("CREATE VIEW Jingles AS SELECT 1 AS Number"), Succeeded());
    }
    ui_.onChooseDatabase = [](const std::string&, const std::string&) {
        return std::string("KORA26.MDB");
    };
    EXPECT_FALSE(window_->Load(ParseCommandLine("")));
    EXPECT_TRUE(window_->IsClosed());
    EXPECT_EQ(ui_.startupStatus.back(), "Validating Database...");
    const std::vector<std::string> shown = ui_.MessageTexts();
    ASSERT_EQ(shown.size(), 1u) << ::testing::PrintToString(shown);
    // The report says what is wrong and where, not that a table could not be made.
    EXPECT_EQ(shown[0], "There was a problem checking the Jingles Table and the error's "
                        "description was reported as : \n\n\"Jingles in the database " +
                            station_.databasePath + " is a view, not a table.\" (3001)");
}

TEST_F(MainWindowTest, AMissingDatabaseEndsStartUpWithItsReport) {
    EXPECT_FALSE(window_->Load(ParseCommandLine("KORA99.MDB /AUTO")));
    EXPECT_TRUE(window_->IsClosed());
    ASSERT_FALSE(ui_.messages.empty());
    EXPECT_EQ(ui_.messages.back().request.text.rfind(
                  "There was a problem opening the database to read it's information", 0),
              0u);
}

TEST_F(MainWindowTest, AUsersDatabaseThatCannotBeOpenedEndsStartUp) {
    // USERS is a file, so the users database can neither be found nor made.
    std::filesystem::remove_all(station_.dataLocation + "/USERS");
    std::ofstream(station_.dataLocation + "/USERS") << "not a directory";
    EXPECT_FALSE(window_->Load(ParseCommandLine("KORA26.MDB")));
    EXPECT_TRUE(ui_.Showed(
        "The Users Database could not be opened, so the adverts could not be scheduled"));
    EXPECT_EQ(ui_.messages.back().request.icon, MessageIcon::Warning);
}

TEST_F(MainWindowTest, AnAudiowallThatCannotBeOpenedGetsTheFileLocationsDialogOnce) {
    WriteProfileString(station_.windowsDirectory + "/VANTOR.INI", "FileLocations", "Carts1", "");
    int dialogs = 0;
    ui_.onFileLocations = [&](FileLocationsModel&) {
        ++dialogs;
        return false;  // closed without a change
    };
    EXPECT_FALSE(window_->Load(ParseCommandLine("KORA26.MDB")));
    EXPECT_EQ(dialogs, 1);
    EXPECT_TRUE(window_->IsClosed());
    ASSERT_FALSE(ui_.messages.empty());
    EXPECT_EQ(ui_.messages.back().request.text, "You must set the File and Audio locations");
    EXPECT_EQ(ui_.messages.back().request.icon, MessageIcon::Warning);

    // The operator fills in the missing directory: the second attempt opens the Audiowall.
    Restart();
    ui_.Clear();
    ui_.onFileLocations = [&](FileLocationsModel& dialog) {
        dialog.SetCartLocation(1, station_.audiowallDirectory);
        dialog.OK();
        return true;
    };
    EXPECT_TRUE(window_->Load(ParseCommandLine("KORA26.MDB"))) << ::testing::PrintToString(ui_.MessageTexts());
    EXPECT_FALSE(ui_.Showed("You must set the File and Audio locations"));
}

TEST_F(MainWindowTest, TheLoginQuestionIsAskedOnceAndStoredAtClosing) {
    const std::string systemIni = station_.dataLocation + "/VNTR_SYS.INI";
    WriteProfileString(systemIni, "LogImport", "Music.UsersMustLogin", "-1");
    ui_.messageAnswers = {MessageResult::No};
    Start();
    ASSERT_FALSE(ui_.messages.empty());
    EXPECT_EQ(ui_.messages[0].request.text,
              "Do you want users to have to Login to the Log Importer before using it?");
    EXPECT_EQ(ui_.messages[0].request.icon, MessageIcon::Question);
    EXPECT_EQ(GetProfileString(systemIni, "LogImport", "Music.UsersMustLogin", ""), "-1");
    window_->Close();
    EXPECT_EQ(GetProfileString(systemIni, "LogImport", "Music.UsersMustLogin", ""), "0");
}

TEST_F(MainWindowTest, ClosingBeforeTheSettingsWereReadWritesNoSettings) {
    // No data location: the file locations dialog cannot help, so start-up ends early.
    WriteProfileString(station_.windowsDirectory + "/VANTOR.INI", "FileLocations", "Data", "");
    std::filesystem::remove(station_.dataLocation + "/HOLBRANE.INI");
    EXPECT_FALSE(window_->Load(ParseCommandLine("KORA26.MDB")));
    EXPECT_FALSE(std::filesystem::exists(station_.dataLocation + "/HOLBRANE.INI"));
    EXPECT_FALSE(std::filesystem::exists("/HOLBRANE.INI"));
}

// A settings file that is there but cannot be read is named on standard error once in each
// run, however often the run reads it, and again in the next run in the same process.
TEST_F(MainWindowTest, UnreadableSettingsFilesAreNamedOnceInEveryRun) {
    const std::string registry = station_.windowsDirectory + "/registry.ini";
    const std::string importSettings = station_.dataLocation + "/HOLBRANE.INI";
    std::filesystem::remove(registry);
    ASSERT_EQ(mkfifo(registry.c_str(), 0600), 0);
    std::filesystem::remove(importSettings);
    std::filesystem::create_directory(importSettings);
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        Restart();
        ::testing::internal::CaptureStderr();
        Start();
        EXPECT_EQ(::testing::internal::GetCapturedStderr(),
                  "warning: The settings file " + registry +
                      " was not read (it is not a regular file); its defaults are used.\n"
                      "warning: The settings file " +
                      importSettings +
                      " was not read (it is a directory); its defaults are used.\n");
    }
}

TEST_F(MainWindowTest, RangeFieldsStayOrderedAndDecideTheButtons) {
    Start();
    enum Left { StartDate, StartHour, EndDate, EndHour };
    struct Case {
        const char* what;
        const char *startDate, *startHour, *endDate, *endHour;
        Left left;  // the field the operator leaves
        const char *wantStartDate, *wantStartHour, *wantEndDate, *wantEndHour;
        bool enabled;
    } cases[] = {
        {"start after end moves the end", "9/3/2000", "10", "7/3/2000", "12", StartDate,
         "09 March 2000", "10", "09 March 2000", "12", true},
        {"same day, end hour below start", "7/3/2000", "14", "7/3/2000", "9", StartHour, "7/3/2000",
         "14", "7/3/2000", "14", true},
        {"end before start moves the start", "9/3/2000", "10", "7/3/2000", "12", EndDate,
         "07 March 2000", "10", "07 March 2000", "12", true},
        {"same day, start hour above end", "7/3/2000", "14", "7/3/2000", "9", EndHour, "7/3/2000",
         "9", "7/3/2000", "9", true},
        {"hour 25 disables", "7/3/2000", "10", "7/3/2000", "25", EndHour, "7/3/2000", "10",
         "7/3/2000", "25", false},
        {"an invalid date moves nothing and disables", "nonsense", "10", "7/3/2000", "23",
         StartDate, "nonsense", "10", "7/3/2000", "23", false},
    };
    for (const Case& c : cases) {
        SetRange(c.startDate, c.startHour, c.endDate, c.endHour);
        switch (c.left) {
            case StartDate:
                window_->StartDateLostFocus();
                break;
            case StartHour:
                window_->StartHourLostFocus();
                break;
            case EndDate:
                window_->EndDateLostFocus();
                break;
            case EndHour:
                window_->EndHourLostFocus();
                break;
        }
        const RangeFields& f = window_->Fields();
        EXPECT_EQ(f.startDate, c.wantStartDate) << c.what;
        EXPECT_EQ(f.startHour, c.wantStartHour) << c.what;
        EXPECT_EQ(f.endDate, c.wantEndDate) << c.what;
        EXPECT_EQ(f.endHour, c.wantEndHour) << c.what;
        EXPECT_EQ(window_->ScheduleEnabled(), c.enabled) << c.what;
        EXPECT_EQ(window_->ReSendEnabled(), c.enabled) << c.what;
        EXPECT_EQ(window_->RemoveRangeEnabled(), c.enabled) << c.what;
        EXPECT_EQ(window_->RemoveAllEnabled(), c.enabled) << c.what;
    }
    // 25 typed into the end hour and then 23.
    SetRange("7/3/2000", "10", "7/3/2000", "25");
    window_->EndHourLostFocus();
    EXPECT_FALSE(window_->ScheduleEnabled());
    window_->SetEndHourText("23");
    window_->EndHourLostFocus();
    EXPECT_TRUE(window_->ScheduleEnabled());
    EXPECT_EQ(window_->StartDayText(), "Tuesday");
}

TEST_F(MainWindowTest, HourFieldsTakeDigitsOnly) {
    EXPECT_EQ(LogImportModel::FilterHourKey('7'), '7');
    EXPECT_EQ(LogImportModel::FilterHourKey(8), 8);
    EXPECT_EQ(LogImportModel::FilterHourKey(27), 27);
    EXPECT_EQ(LogImportModel::FilterHourKey('a'), 0);
    EXPECT_EQ(LogImportModel::FilterHourKey('.'), 0);
}

TEST_F(MainWindowTest, ThePickerTagCarriesDayAndHour) {
    Start();
    SetRange("7/3/2000", "06", "7/3/2000", "23");
    EXPECT_EQ(window_->PickerTag(true), std::to_string(kMarch7) + "6");
    window_->ApplyPickerTag(false, std::to_string(kMarch8) + "14");
    EXPECT_EQ(window_->Fields().endDate, "08 March 2000");
    EXPECT_EQ(window_->Fields().endHour, "14");
    window_->ApplyPickerTag(false, "0");  // closed without a choice
    EXPECT_EQ(window_->Fields().endDate, "08 March 2000");
}

TEST_F(MainWindowTest, TheRangeButtonsAskThePickerThroughTheDialogs) {
    Start();
    SetRange("7/3/2000", "06", "7/3/2000", "23");
    std::vector<std::pair<std::string, std::string>> shown;  // tag and minutes as opened
    std::string answer = std::to_string(kMarch8) + "14";
    ui_.onDateHourPicker = [&](DateHourPickerModel& picker) {
        shown.emplace_back(picker.tag, picker.minutesText);
        picker.tag = answer;
    };
    window_->PickRange(false);
    EXPECT_EQ(window_->Fields().endDate, "08 March 2000");
    EXPECT_EQ(window_->Fields().endHour, "14");
    // A start after the end moves the end along.
    answer = std::to_string(kMarch8) + "20";
    window_->PickRange(true);
    EXPECT_EQ(window_->Fields().startDate, "08 March 2000");
    EXPECT_EQ(window_->Fields().startHour, "20");
    EXPECT_EQ(window_->Fields().endHour, "20");
    // Closed without a choice: nothing changes.
    answer = "";
    window_->PickRange(true);
    EXPECT_EQ(window_->Fields().startHour, "20");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {std::to_string(kMarch7) + "23", "59"},
        {std::to_string(kMarch7) + "6", "00"},
        {std::to_string(kMarch8) + "20", "00"}};
    EXPECT_EQ(shown, expected);
}

TEST_F(MainWindowTest, DatabaseSettingsOpenTheEditorOnTheDatabaseAndReadTheLogsAgain) {
    Start();
    ASSERT_EQ(window_->Fields().startDate, "06 March 2000");
    std::vector<std::string> edited;
    ui_.onPlayoutSettings = [&](const std::string& path) {
        edited.push_back(path);
        // Meanwhile the scheduler wrote the log of the 7th.
        station_.WriteLog(kMarch7, HoursOf(kMarch7, 6, 8));
    };
    window_->OpenDatabaseSettings();
    EXPECT_EQ(edited, std::vector<std::string>{station_.databasePath});
    EXPECT_EQ(window_->Fields().startDate, "07 March 2000");
    EXPECT_EQ(window_->Fields().startHour, "06");
    EXPECT_EQ(window_->Fields().endHour, "08");

    int shownSettings = 0;
    ui_.onImportSettings = [&] { ++shownSettings; };
    window_->OpenImportSettings();
    EXPECT_EQ(shownSettings, 1);
}

TEST_F(MainWindowTest, DisplayLastScheduledShowsTheEndAndProposesTomorrow) {
    station_.WriteLog(kMarch5, HoursOf(kMarch5, 13, 14));
    Start();
    SetRange("5/3/2000", "13", "5/3/2000", "14");
    ASSERT_TRUE(window_->BeginImporting().Ran());
    EXPECT_EQ(window_->ScheduledUntilText(), "05 March 2000 14:59");
    EXPECT_EQ(window_->LastScheduled().day, kMarch5);
    EXPECT_EQ(window_->Fields().startDate, "06 March 2000");
    EXPECT_EQ(window_->Fields().startHour, "00");
    EXPECT_EQ(window_->Fields().endDate, "06 March 2000");
    EXPECT_EQ(window_->Fields().endHour, "23");
    EXPECT_EQ(window_->StartDayText(), "Monday");
}

TEST_F(MainWindowTest, RemoveRangeAsksFirstAndRemovesOnlyOnYes) {
    station_.WriteLog(kMarch6, HoursOf(kMarch6, 10, 12));
    Start();
    SetRange("6/3/2000", "10", "6/3/2000", "12");
    ASSERT_TRUE(window_->BeginImporting().Ran());
    ui_.Clear();

    SetRange("6/3/2000", "11", "6/3/2000", "11");
    EXPECT_EQ(window_->RemoveRange(), MaintenanceOutcome::Stopped);  // No is the default
    ASSERT_EQ(ui_.messages.size(), 1u);
    const MessageRequest& question = ui_.messages[0].request;
    EXPECT_EQ(question.text,
              "Are you sure you want to remove all the entries in the Kora Database\nbetween "
              "06 March 2000 11:00 and 06 March 2000 11:59");
    EXPECT_EQ(question.icon, MessageIcon::Question);
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(*question.defaultButton, MessageResult::No);
    EXPECT_EQ(HourStarts().size(), 3u);

    ui_.messageAnswers = {MessageResult::Yes};
    EXPECT_EQ(window_->RemoveRange(), MaintenanceOutcome::Done);
    EXPECT_TRUE(ui_.Showed("The entries were removed from the Kora Database"));
    EXPECT_EQ(HourStarts(), (std::vector<std::pair<int32_t, int>>{{kMarch6, 10}, {kMarch6, 12}}));

    // Re-send puts the hour back.
    ui_.messageAnswers = {MessageResult::Yes};
    ReSendResult resend = window_->ReSend();
    EXPECT_EQ(resend.removal, MaintenanceOutcome::Done);
    EXPECT_EQ(resend.import.outcome, ImportRunOutcome::Imported);
    EXPECT_EQ(HourStarts().size(), 3u);

    // A range check stops the removal before any question.
    ui_.Clear();
    SetRange("6/3/2000", "12", "6/3/2000", "11");
    EXPECT_EQ(window_->RemoveRange(), MaintenanceOutcome::Stopped);
    EXPECT_EQ(ui_.MessageTexts(),
              std::vector<std::string>{"The start time must be before the end time"});
}

TEST_F(MainWindowTest, RemoveAllAndEmptySongsNeedTwoYesAnswers) {
    station_.WriteLog(kMarch6, HoursOf(kMarch6, 10, 10));
    Start();
    SetRange("6/3/2000", "10", "6/3/2000", "10");
    ASSERT_TRUE(window_->BeginImporting().Ran());
    ui_.Clear();

    ui_.messageAnswers = {MessageResult::Yes, MessageResult::No};
    EXPECT_EQ(window_->RemoveAll(), MaintenanceOutcome::Stopped);
    EXPECT_EQ(ui_.MessageTexts(),
              (std::vector<std::string>{
                  "Are you sure you want to remove ALL the entries from the log?",
                  "Are you REALLY sure you want to remove ALL the entries from the log?"}));
    EXPECT_GT(LogRows(), 0);

    ui_.messageAnswers = {MessageResult::Yes, MessageResult::Yes};
    EXPECT_EQ(window_->RemoveAll(), MaintenanceOutcome::Done);
    EXPECT_TRUE(ui_.Showed("ALL entries were removed from the Kora Database"));
    EXPECT_EQ(LogRows(), 0);
    EXPECT_EQ(window_->ScheduledUntilText(), "No Schedules Created");

    ui_.Clear();
    ui_.messageAnswers = {MessageResult::Yes, MessageResult::Yes};
    EXPECT_EQ(window_->EmptySongLibrary(), MaintenanceOutcome::Done);
    EXPECT_EQ(ui_.MessageTexts(),
              (std::vector<std::string>{
                  "Are you sure you want to remove ALL of the Song Information from the Song "
                  "Library?",
                  "Are you REALLY sure you want to remove ALL of the Song Information from the "
                  "Song Library?",
                  "ALL song information was removed from the Song Library in the Kora "
                  "Database"}));
}

TEST_F(MainWindowTest, ClosingStoresTheImportSettings) {
    Start();
    session_->importSettings.AutoPurgeDatabaseDays = 9;
    window_->Close();
    EXPECT_EQ(
        GetProfileString(station_.dataLocation + "/HOLBRANE.INI", "General", "AutoPurgeDays", ""),
        "9");
}

}  // namespace
}  // namespace vantor
