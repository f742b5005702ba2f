// The unattended import as a scheduler runs it: the built program, headless, on a temporary
// installation of its own.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "common/clock.h"
#include "common/codepage.h"
#include "common/locale.h"
#include "common/profile.h"
#include "support/scripted_user_interface.h"
#include "config/system_locations.h"
#include "playoutdb/log_table.h"
#include "dbengine/engine.h"
#include "headless_day_logs.h"
#include "program_runner.h"
#include "support/kora_installation.h"
#include "support/scheduler_log_writer.h"
#include "support/temp_dir.h"
#include "support/succeeded.h"
#include "support/test_server.h"
#include "users/users_database.h"

namespace vantor::testing {
namespace {

// The program runs in the C locale: day-month-year dates, "dd mmmm yyyy" long dates.
std::string LongDate(int32_t day) {
    return FormatDate(day, "dd mmmm yyyy");
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class HeadlessImportTest : public ::testing::Test {
  public:
    static InstallationOptions Options() {
        InstallationOptions options;
        options.maxCart = 5000;
        options.carts = {
            {1001, "Advert", 30}, {4001, "First song", 180}, {4002, "Second song", 200}};
        options.underrunningDuration = 60;
        return options;
    }

  protected:
    HeadlessImportTest() : station_(dir_.path(), Options()) {}

    ProgramRun Run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "--headless");
        return RunProgram(arguments, station_.Environment());
    }

    std::vector<std::pair<int32_t, int>> HourStarts() const {
        return HourStartsIn(station_.databasePath);
    }

    std::string History() const { return Cp1252ToUtf8(ReadWholeFile(station_.HistoryLogPath())); }

    TempDir dir_;
    KoraInstallation station_;
    const int32_t today_ = SystemClock().Today();
};

TEST_F(HeadlessImportTest, ProposesImportsAndReportsTheSecondRun) {
    station_.WriteLog(today_ + 1, HoursOf(today_ + 1, 5, 23));
    station_.WriteLog(today_ + 2, HoursOf(today_ + 2, 0, 7));

    ProgramRun first = Run({"kora26.mdb", "/auto", "/quit"});
    EXPECT_EQ(first.exitCode, 0) << first.err << first.out;
    EXPECT_EQ(first.out,
              "start: " + LongDate(today_ + 1) + " 05\nend: " + LongDate(today_ + 2) + " 07\n");
    EXPECT_EQ(first.err, "information: The log was successfully imported into the Kora database\n");
    EXPECT_EQ(HourStarts().size(), 19u + 8u);
    EXPECT_TRUE(Contains(History(), "Begin send new entries, " + LongDate(today_ + 1) +
                                        " 05:00 to " + LongDate(today_ + 2) + " 07:59"));

    // The schedule now ends at 07:59 of the second day: the same files hold nothing new, so
    // the latest file is proposed again with a message, and every hour is reported. Nothing
    // new is not a failure: the status stays 0.
    ProgramRun second = Run({"KORA26.MDB", "/AUTO", "/QUIT"});
    EXPECT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(second.out.substr(0, second.out.find('\n', second.out.find("end:")) + 1),
              "start: " + LongDate(today_ + 2) + " 00\nend: " + LongDate(today_ + 2) + " 07\n");
    EXPECT_TRUE(Contains(second.err,
                         "information: Log files were found, but none of them "
                         "contained entries that were after the last ones in the "
                         "Kora log.\n"));
    for (int hour = 0; hour <= 7; ++hour) {
        char hourText[8];
        std::snprintf(hourText, sizeof hourText, "%02d:00", hour);
        EXPECT_TRUE(
            Contains(second.out, "The following hour was already in Kora so was not re-sent : " +
                                     LongDate(today_ + 2) + " " + hourText + "\r\n"))
            << hourText;
    }
    EXPECT_FALSE(Contains(second.err, "successfully imported"));
    EXPECT_EQ(HourStarts().size(), 27u);
}

// A day file that is not a file (here a named pipe, which nobody writes) is never opened:
// the run neither hangs on it nor leaves its day out of the range, and names it with the
// reason.
TEST_F(HeadlessImportTest, ADayFileThatIsAPipeIsNamedUnreadable) {
    station_.WriteLog(today_ + 1, HoursOf(today_ + 1, 22, 23));
    const std::string pipe = station_.LogPath(today_ + 2);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);

    ProgramRun run = Run({"KORA26.MDB", "/AUTO", "/QUIT"});
    EXPECT_EQ(run.exitCode, 4) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n', run.out.find("end:")) + 1),
              "start: " + LongDate(today_ + 1) + " 22\nend: " + LongDate(today_ + 2) + " 23\n");
    EXPECT_TRUE(Contains(run.err, "warning: The log file : " + pipe + " for " +
                                      FormatDate(today_ + 2, "dddddd") +
                                      " could not be read: it is a named pipe (FIFO).\n"))
        << run.err;
    EXPECT_TRUE(Contains(run.out, "The following hours could not be found in the Music Log " +
                                      pipe + ": " + LongDate(today_ + 2) + " 00:00 to " +
                                      LongDate(today_ + 2) + " 23:00\r\n"))
        << run.out;
    EXPECT_EQ(HourStarts().size(), 2u);
}

TEST_F(HeadlessImportTest, TypedRangeAndAMissingDayFile) {
    station_.WriteLog(today_ + 1, HoursOf(today_ + 1, 0, 2));
    station_.WriteLog(today_ + 3, HoursOf(today_ + 3, 0, 2));
    // Typed fields: a start after the proposed end pushes the end along with it.
    ProgramRun run = Run({"KORA26.MDB", "--auto", "--quit",
                          "--start-date=" + FormatDate(today_ + 1, "d/m/yyyy"), "--start-hour=1",
                          "--end-date=" + FormatDate(today_ + 3, "yyyy-mm-dd"), "--end-hour=0x"});
    // The missing day's hours are lost: its message, a line in the report, and status 4.
    EXPECT_EQ(run.exitCode, 4) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find('\n', run.out.find("end:")) + 1),
              "start: " + LongDate(today_ + 1) + " 1\nend: " + LongDate(today_ + 3) + " 0\n");
    const std::string missing = station_.LogPath(today_ + 2);
    EXPECT_TRUE(Contains(run.err, "information: The log file : " + missing + " for " +
                                      FormatDate(today_ + 2, "dddddd") + " could not be found.\n"))
        << run.err;
    EXPECT_TRUE(Contains(run.out, "The following hours could not be found in the Music Log " +
                                      missing + ": " + LongDate(today_ + 2) + " 00:00 to " +
                                      LongDate(today_ + 2) + " 23:00\r\n"))
        << run.out;
    EXPECT_EQ(HourStarts(), (std::vector<std::pair<int32_t, int>>{
                                {today_ + 1, 1}, {today_ + 1, 2}, {today_ + 3, 0}}));

    // "/AUTO" runs the import as its button would: a range that is not valid is refused by
    // the import's own checks, with their messages.
    ProgramRun bad = Run({"KORA26.MDB", "/AUTO", "--start-date=32/13/2000"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(Contains(bad.err, "information: You must enter a valid Start Date\n")) << bad.err;
    EXPECT_FALSE(Contains(bad.err, "disabled")) << bad.err;
}

// A problem shown during the run makes the run's status say so, even when the error report
// holds nothing else: here a header after the range's last hour cannot be read.
TEST_F(HeadlessImportTest, AProblemReportDuringTheRunExits4) {
    SchedulerLogWriter log = HoursOf(today_ + 1, 5, 5);
    log.Line("+99/99/99 06");
    station_.WriteLog(today_ + 1, log);
    ProgramRun run = Run({"KORA26.MDB", "/AUTO", "/QUIT", "--end-hour=05"});
    EXPECT_EQ(run.exitCode, 4) << run.err << run.out;
    EXPECT_TRUE(Contains(run.err,
                         "warning: There was a problem reading the date from the Music "
                         "Log"))
        << run.err;
    EXPECT_EQ(HourStarts(), (std::vector<std::pair<int32_t, int>>{{today_ + 1, 5}}));
}

// A run that lost hours to a damaged file says which, and its status shows it.
TEST_F(HeadlessImportTest, LostHoursAreReportedAndExit4) {
    SchedulerLogWriter log = HoursOf(today_ + 1, 5, 5);
    log.Line("+99/99/99 06").Item("4001", "First song");
    log.Header(SchedulerDate(today_ + 1), 8, "Clock").Item("4001", "First song");
    station_.WriteLog(today_ + 1, log);
    ProgramRun run = Run({"KORA26.MDB", "/AUTO", "/QUIT", "--end-hour=08"});
    EXPECT_EQ(run.exitCode, 4) << run.err;
    EXPECT_TRUE(Contains(run.out, "The following hours could not be found in the Music Log " +
                                      station_.LogPath(today_ + 1) + ": " + LongDate(today_ + 1) +
                                      " 06:00 to " + LongDate(today_ + 1) + " 07:00\r\n"))
        << run.out;
    EXPECT_FALSE(Contains(run.err, "successfully imported"));
}

// The preview prints what an import would do and writes nothing; its JSON says the same as its
// text. 5:00 is clean, 6:00 and 7:00 are lost behind an unreadable header, 8:00 names a cart
// the Audiowall lacks.
TEST_F(HeadlessImportTest, PreviewPrintsTextOrJsonAndWritesNothing) {
    const int32_t day = today_ + 1;
    SchedulerLogWriter log = HoursOf(day, 5, 5);
    station_.WriteLog(day, log);
    const std::string before = ReadWholeFile(station_.databasePath);
    ProgramRun clean = Run({"KORA26.MDB", "--preview"});
    EXPECT_EQ(clean.exitCode, 0) << clean.err << clean.out;
    EXPECT_TRUE(Contains(clean.out, "  05:00  new  ")) << clean.out;

    log.Line("+99/99/99 06").Item("4001", "First song");
    log.Header(SchedulerDate(day), 8, "Clock").Item("4001", "First song").Item("4999", "Gone");
    station_.WriteLog(day, log);
    const std::vector<std::string> range = {"KORA26.MDB", "--preview", "--end-hour=08"};

    ProgramRun text = Run(range);
    EXPECT_EQ(text.exitCode, 4) << text.err;
    std::vector<std::string> json = range;
    json.push_back("--format=json");
    ProgramRun document = Run(json);
    EXPECT_EQ(document.exitCode, 4) << document.err;
    // The range echo and every message go to standard error: standard output is the document.
    EXPECT_TRUE(Contains(document.err, "start: ")) << document.err;
    const nlohmann::json parsed = nlohmann::json::parse(document.out);

    // Each hour of the document has its line in the text, in the same order, saying the same.
    std::istringstream lines(text.out);
    std::string line;
    int hours = 0;
    for (const auto& d : parsed.at("days")) {
        for (const auto& hour : d.at("hours")) {
            const std::string status = hour.at("status");
            const std::string start = "  " + hour.at("hour").get<std::string>() + "  " + status;
            while (std::getline(lines, line) && line.rfind(start, 0) != 0) {
            }
            ASSERT_EQ(line.rfind(start, 0), 0u) << start << "\n" << text.out;
            if (!hour.at("lengthText").is_null()) {
                EXPECT_TRUE(Contains(line, hour.at("lengthText").get<std::string>())) << line;
            }
            if (status == "new") {
                EXPECT_TRUE(Contains(line, std::to_string(hour.at("entries").get<int>()) + " entr"))
                    << line;
            }
            for (const auto& cart : hour.at("missingCarts"))
                EXPECT_TRUE(Contains(text.out, "missing cart " + cart.at("cart").get<std::string>() +
                                                   ": entry " +
                                                   std::to_string(cart.at("position").get<int>()) +
                                                   " at " + cart.at("startText").get<std::string>()));
            for (const auto& message : hour.at("messages"))
                EXPECT_TRUE(Contains(text.out, "message: " + message.get<std::string>()));
            ++hours;
        }
    }
    EXPECT_EQ(hours, 4);
    EXPECT_EQ(parsed.at("end").at("time"), "08:59:59");  // the end hour's last second, not 09:00
    const auto& eight = parsed.at("days").at(0).at("hours").at(3);
    EXPECT_EQ(eight.at("missingCarts").at(0).at("cart"), "4999");
    EXPECT_TRUE(parsed.at("days").at(0).at("hours").at(1).at("lost").get<bool>());
    EXPECT_FALSE(parsed.at("clean").get<bool>());
    EXPECT_TRUE(Contains(text.out, parsed.at("summary").at("text").get<std::string>() + "\n"));
    EXPECT_TRUE(Contains(text.out, "There was a problem reading the date from the Music Log"));
    // The preview names the line to mend.
    EXPECT_TRUE(Contains(text.out, "message: Line 6 of the file is an hour header that could not "
                                   "be read: +99/99/99 06\n"))
        << text.out;

    // Nothing written: the database, the report and history files.
    EXPECT_EQ(ReadWholeFile(station_.databasePath), before);
    EXPECT_TRUE(HourStarts().empty());
    EXPECT_FALSE(std::filesystem::exists(station_.ErrorLogPath()));
    EXPECT_FALSE(std::filesystem::exists(station_.HistoryLogPath()));

    // A check of the range stops it; a format without a preview is a bad command line.
    EXPECT_EQ(Run({"KORA26.MDB", "--preview", "--start-date=32/13/2000"}).exitCode, 2);
    EXPECT_EQ(Run({"KORA26.MDB", "--format=json"}).exitCode, 64);
}

// A preview over hours already imported ends as a re-run of the import does: with status 0,
// since "already in the log" needs no one's attention.
TEST_F(HeadlessImportTest, PreviewOfImportedHoursEndsWith0) {
    station_.WriteLog(today_ + 1, HoursOf(today_ + 1, 5, 6));
    ProgramRun import = Run({"KORA26.MDB", "/AUTO", "/QUIT", "--end-hour=06"});
    ASSERT_EQ(import.exitCode, 0) << import.err;
    ProgramRun again = Run({"KORA26.MDB", "/AUTO", "/QUIT", "--end-hour=06"});
    EXPECT_EQ(again.exitCode, 0) << again.err;
    ProgramRun preview = Run({"KORA26.MDB", "--preview", "--end-hour=06"});
    EXPECT_EQ(preview.exitCode, 0) << preview.err << preview.out;
    EXPECT_TRUE(Contains(preview.out, "  05:00  already in the log")) << preview.out;
    EXPECT_TRUE(Contains(preview.out, "  06:00  already in the log")) << preview.out;
}

TEST_F(HeadlessImportTest, PurgeKeepsTheLastThreeDays) {
    for (int32_t day = today_ - 6; day <= today_ + 1; ++day)
        station_.WriteLog(day, HoursOf(day, 12, 12));
    ProgramRun fill = Run({"KORA26.MDB", "/AUTO", "--start-date=" + LongDate(today_ - 6),
                           "--start-hour=00", "--end-date=" + LongDate(today_), "--end-hour=23"});
    ASSERT_EQ(fill.exitCode, 0) << fill.err;
    ASSERT_EQ(HourStarts().size(), 7u);

    WriteProfileString(station_.dataLocation + "/HOLBRANE.INI", "General", "AutoPurgeDays", "3");
    ProgramRun run = Run({"KORA26.MDB", "/AUTO", "/QUIT"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Contains(History(),
                         "Purging older entries from Kora Database, Log Start = "
                         "01 January 2000 00:00, Log End = " +
                             LongDate(today_ - 4) + " 23:59\r\n"));
    EXPECT_EQ(
        HourStarts(),
        (std::vector<std::pair<int32_t, int>>{
            {today_ - 3, 12}, {today_ - 2, 12}, {today_ - 1, 12}, {today_, 12}, {today_ + 1, 12}}));
}

TEST_F(HeadlessImportTest, TheHistoryFileIsReplacedAtHalfAMillionBytes) {
    station_.WriteLog(today_ + 1, HoursOf(today_ + 1, 0, 0));
    std::ofstream(station_.HistoryLogPath(), std::ios::binary) << std::string(500000, 'h');
    ProgramRun run = Run({"KORA26.MDB", "/AUTO", "/QUIT"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string history = History();
    EXPECT_LT(history.size(), 1000u);
    EXPECT_TRUE(Contains(history, "Begin send new entries, "));
}

// The server's client library (and TLS, Kerberos, LDAP behind it) is loaded only when a server
// is used: a whole import into a file database never maps it. The dynamic loader's own account
// of every library it loads, dlopen included, tells.
TEST_F(HeadlessImportTest, TheServerClientIsLoadedOnlyWhenAServerIsUsed) {
    station_.WriteLog(today_ + 1, HoursOf(today_ + 1, 0, 3));
    ServerInstallation server;
    const std::string missingModule = dir_.path() + "/no-such-module.so";
    struct Case {
        std::vector<std::string> arguments;
        std::string module;  // VANTOR_POSTGRES_MODULE, when set
        int exitCode;
        bool serverLoaded;
        std::string errPart;
    } cases[] = {
        {{"KORA26.MDB", "/AUTO", "/QUIT"}, "", 0, false, "successfully imported"},
        {{"--set-database-server=" + server.conninfo()}, "", 0, true, ""},
        // A module that cannot be loaded is the server's failure, with the loader's reason.
        {{"--set-database-server=" + server.conninfo()}, missingModule, 2, false,
         "could not be loaded from " + missingModule + ": " + missingModule +
             ": cannot open shared object file"},
    };
    int run = 0;
    for (const Case& c : cases) {
        const std::string trace = dir_.path() + "/loader" + std::to_string(++run);
        auto environment = station_.Environment();
        environment["LD_DEBUG"] = "files";
        environment["LD_DEBUG_OUTPUT"] = trace;
        if (!c.module.empty()) environment["VANTOR_POSTGRES_MODULE"] = c.module;
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.begin(), "--headless");
        ProgramRun result = RunProgram(arguments, environment);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments[0] << "\n" << result.err;
        EXPECT_TRUE(Contains(result.err, c.errPart)) << result.err;

        std::string loaded;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
            if (entry.path().filename().string().starts_with("loader" + std::to_string(run) + "."))
                loaded += ReadWholeFile(entry.path().string());
        }
        ASSERT_TRUE(Contains(loaded, "libc.so")) << "no account of the loader: " << loaded;
        EXPECT_EQ(Contains(loaded, "libpq.so"), c.serverLoaded) << c.arguments[0];
        EXPECT_EQ(Contains(loaded, "vantor-postgres.so"), c.serverLoaded) << c.arguments[0];
    }
}

TEST_F(HeadlessImportTest, AnAbandonedImportExits3WithItsReport) {
    station_.WriteLog(today_ + 1, HoursOf(today_ + 1, 0, 0));
    {
        Database db;
        ASSERT_THAT(db.Open(station_.databasePath), Succeeded());
        ASSERT_THAT(db.Execute("DROP TABLE [Log]"), Succeeded());
    }
    ProgramRun run = Run({"KORA26.MDB", "/AUTO", "/QUIT"});
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_TRUE(Contains(run.err, "warning: There was a problem opening the Kora Log"));
    EXPECT_TRUE(Contains(run.out, " Importing log was abandoned\r\n"));
}

class HeadlessLoginTest : public HeadlessImportTest {
  protected:
    HeadlessLoginTest() {
        WriteProfileString(station_.dataLocation + "/VNTR_SYS.INI", "LogImport",
                           "Music.UsersMustLogin", "1");
        station_.WriteLog(today_ + 1, HoursOf(today_ + 1, 0, 0));
        AddAccount("BOSS", true);
        AddAccount("TEMP", false);
    }

    // An account with its own rights: all six, or none.
    void AddAccount(const std::string& name, bool rights) {
        ScriptedUserInterface ui;
        SystemClock clock;
        SystemLocations locations;
        locations.DataLocation = station_.dataLocation;
        Database usersDb;
        UsersDatabase users(ui, clock, locations, usersDb);
        ASSERT_THAT(users.OpenUsersDatabase(UsersDatabasePath(station_.dataLocation)), Succeeded());
        TableCursor table;
        ASSERT_THAT(usersDb.OpenTable("Users", table, "Main"), Succeeded());
        ASSERT_THAT(table.AddNew(), Succeeded());
        ASSERT_THAT(table.Set("LoginName", DbValue(name)), Succeeded());
        ASSERT_THAT(table.Set("Password", DbValue("")), Succeeded());
        ASSERT_THAT(table.Set("FullName", DbValue(name + " of the station")), Succeeded());
        ASSERT_THAT(table.Set("GroupNumber", DbValue(23)), Succeeded());
        ASSERT_THAT(table.Set("OverrideAccessRights", DbValue(true)), Succeeded());
        for (int right = 1; right <= 6; ++right)
            ASSERT_THAT(table.Set("AccessRight" + std::to_string(right), DbValue(rights)),
                        Succeeded());
        ASSERT_THAT(table.Set("AccountStatus", DbValue(1)), Succeeded());
        ASSERT_THAT(table.Update(), Succeeded());
    }
};

TEST_F(HeadlessLoginTest, CommandLineLoginAndARefusedUser) {
    ProgramRun boss = Run({"KORA26.MDB", "/AUTO", "/QUIT", "/user=boss"});
    EXPECT_EQ(boss.exitCode, 0) << boss.err;

    ProgramRun temp = Run({"KORA26.MDB", "/AUTO", "--user=temp"});
    EXPECT_EQ(temp.exitCode, 1);
    EXPECT_EQ(temp.err,
              "error: You do not have the correct access rights to use the Log Importer\n");
    EXPECT_EQ(temp.out, "");

    // Nobody named: the login window would be needed.
    ProgramRun nobody = Run({"KORA26.MDB", "/AUTO"});
    EXPECT_EQ(nobody.exitCode, 1);
    EXPECT_TRUE(Contains(nobody.err, "error: the login window needs a person at a display"));
}

// Each argument is one word of the command: a login name or a database name with a blank in
// it is taken whole.
TEST_F(HeadlessLoginTest, ANameWithABlankIsNotCutAtTheBlank) {
    AddAccount("Mary Ann", true);
    const std::string studioTwo = station_.dataLocation + "/SCHEDULE/Studio Two.MDB";
    {
        Database db;
        ASSERT_THAT(db.Open(station_.databasePath), Succeeded());
        ASSERT_THAT(db.CopyTo(studioTwo), Succeeded());
    }
    ProgramRun run = Run({"Studio Two.MDB", "/AUTO", "/QUIT", "--user=Mary Ann"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(HourStartsIn(studioTwo).size(), 1u);
    EXPECT_TRUE(HourStarts().empty());

    // The station's own spelling, in another letter case, logs the same account in.
    ProgramRun station = Run({"studio two.mdb", "/user=mary ann"});
    EXPECT_EQ(station.exitCode, 0) << station.err;
    EXPECT_TRUE(Contains(station.out, "start: ")) << station.out;
}

TEST_F(HeadlessImportTest, StartUpThatNeedsAPersonEndsWithExit1) {
    ProgramRun chooser = Run({"/AUTO", "/QUIT"});
    EXPECT_EQ(chooser.exitCode, 1);
    EXPECT_TRUE(Contains(chooser.err, "error: choosing a database needs a person at a display"));

    ProgramRun missing = Run({"KORA99.MDB", "/AUTO"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(Contains(missing.err,
                         "warning: There was a problem opening the database to "
                         "read it's information"));

    // An Audiowall part without a directory: the file locations dialog cannot be shown, and
    // the refusal names the cart directories, not the (set) data location.
    WriteProfileString(station_.windowsDirectory + "/VANTOR.INI", "FileLocations", "Carts1", "");
    ProgramRun noCarts = Run({"KORA26.MDB", "/AUTO"});
    EXPECT_EQ(noCarts.exitCode, 1);
    EXPECT_TRUE(Contains(noCarts.err, "error: the Audiowall could not be opened")) << noCarts.err;
    EXPECT_TRUE(Contains(noCarts.err, "warning: You must set the File and Audio locations\n"));
    EXPECT_EQ(noCarts.out, "");
}

TEST_F(HeadlessImportTest, MenuItemsAskAndYesAnswersThem) {
    station_.WriteLog(today_ + 1, HoursOf(today_ + 1, 0, 3));
    ASSERT_EQ(Run({"KORA26.MDB", "/AUTO"}).exitCode, 0);

    const std::vector<std::string> range = {"--start-date=" + LongDate(today_ + 1),
                                            "--start-hour=01", "--end-date=" + LongDate(today_ + 1),
                                            "--end-hour=02"};
    std::vector<std::string> remove = {"KORA26.MDB", "--remove-range"};
    remove.insert(remove.end(), range.begin(), range.end());
    ProgramRun declined = Run(remove);
    EXPECT_EQ(declined.exitCode, 2);
    EXPECT_TRUE(Contains(declined.err,
                         "question: Are you sure you want to remove all the "
                         "entries in the Kora Database\nbetween " +
                             LongDate(today_ + 1) + " 01:00 and " + LongDate(today_ + 1) +
                             " 02:59\n-> No\n"));
    EXPECT_EQ(HourStarts().size(), 4u);

    remove.push_back("--yes");
    ProgramRun removed = Run(remove);
    EXPECT_EQ(removed.exitCode, 0) << removed.err;
    EXPECT_TRUE(Contains(removed.err,
                         "-> Yes\ninformation: The entries were removed from the "
                         "Kora Database\n"));
    EXPECT_EQ(HourStarts(),
              (std::vector<std::pair<int32_t, int>>{{today_ + 1, 0}, {today_ + 1, 3}}));

    std::vector<std::string> resend = {"KORA26.MDB", "--resend", "--yes"};
    resend.insert(resend.end(), range.begin(), range.end());
    EXPECT_EQ(Run(resend).exitCode, 0);
    EXPECT_EQ(HourStarts().size(), 4u);

    ProgramRun all = Run({"KORA26.MDB", "--remove-all", "--yes"});
    EXPECT_EQ(all.exitCode, 0) << all.err;
    EXPECT_TRUE(Contains(all.err, "information: ALL entries were removed from the Kora Database"));
    EXPECT_TRUE(HourStarts().empty());

    // A scan, then "/AUTO": the menu items run first, the import last.
    ProgramRun scanned = Run({"KORA26.MDB", "--scan", "/AUTO"});
    EXPECT_EQ(scanned.exitCode, 0) << scanned.err;
    EXPECT_EQ(HourStarts().size(), 4u);

    ProgramRun songs = Run({"KORA26.MDB", "--empty-songs"});
    EXPECT_EQ(songs.exitCode, 2);  // No is the default answer
}

TEST(HeadlessFreshInstallation, CreateTheFirstDatabaseThenImport) {
    TempDir dir;
    InstallationOptions options = HeadlessImportTest::Options();
    options.databaseName = "";
    KoraInstallation station(dir.path(), options);
    const int32_t today = SystemClock().Today();
    station.WriteLog(today + 1, HoursOf(today + 1, 0, 1));

    ProgramRun created = RunProgram({"--create-database=Studio1.mdb", "--description=Studio One"},
                                    station.Environment());
    EXPECT_EQ(created.exitCode, 0) << created.err;
    const std::string path = station.dataLocation + "/SCHEDULE/Studio1.MDB";
    EXPECT_TRUE(std::filesystem::exists(path)) << created.out;

    // A description of blanks is stored trimmed, as the chooser stores it: empty.
    ProgramRun blank =
        RunProgram({"--create-database=Studio2.mdb", "--description=   "}, station.Environment());
    EXPECT_EQ(blank.exitCode, 0) << blank.err;
    {
        Database db;
        ASSERT_THAT(db.Open(station.dataLocation + "/SCHEDULE/Studio2.MDB"), Succeeded());
        QueryResult result;
        ASSERT_THAT(db.Query("SELECT [Description] FROM [Description]", {}, result), Succeeded());
        ASSERT_FALSE(result.Eof());
        EXPECT_EQ(result.Field("Description").AsText(), "");
    }

    ProgramRun again = RunProgram({"--create-database=STUDIO1.MDB"}, station.Environment());
    EXPECT_EQ(again.exitCode, 2);
    EXPECT_TRUE(Contains(again.err, "information: A database with this name already exists"));
    ProgramRun dotted = RunProgram({"--create-database=a.b.MDB"}, station.Environment());
    EXPECT_EQ(dotted.exitCode, 2);
    EXPECT_TRUE(Contains(dotted.err, "warning: You must specify a valid reference name"));

    // The chooser's name rules hold here too, and a name too long for a file is told as such
    // rather than as a database someone else holds.
    const struct {
        std::string name;
        std::string message;
    } refused[] = {
        {"-rf.MDB", "warning: You must specify a valid reference name"},
        {"TWO\nLINES.MDB", "warning: You must specify a valid reference name"},
        {"TAB\tBED.MDB", "warning: You must specify a valid reference name"},
        {"STAR*.MDB", "warning: You must specify a valid reference name"},
        {std::string(300, 'L') + ".MDB",
         "warning: That name is too long: a database's name can be up to 48 characters"},
    };
    for (const auto& r : refused) {
        ProgramRun run = RunProgram({"--create-database=" + r.name}, station.Environment());
        EXPECT_EQ(run.exitCode, 2) << r.name;
        EXPECT_EQ(run.err, r.message + "\n") << r.name;
    }
    std::vector<std::string> databases;
    for (const auto& entry :
         std::filesystem::directory_iterator(station.dataLocation + "/SCHEDULE")) {
        if (entry.path().extension() == ".MDB") databases.push_back(entry.path().filename());
    }
    std::sort(databases.begin(), databases.end());
    EXPECT_EQ(databases, (std::vector<std::string>{"Studio1.MDB", "Studio2.MDB"}));

    // The new database has no logs directory yet: the import says so.
    ProgramRun noLogs =
        RunProgram({"--headless", "STUDIO1.MDB", "/AUTO", "/QUIT"}, station.Environment());
    EXPECT_EQ(noLogs.exitCode, 0) << "the default logs directory is the data location's LOGS: "
                                  << noLogs.err;
}

}  // namespace
}  // namespace vantor::testing
