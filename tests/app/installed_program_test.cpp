// The program as a station gets it: this build tree installed into a temporary DESTDIR, then
// set up and run from the installed files alone, with nothing but a home directory.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "common/clock.h"
#include "common/locale.h"
#include "common/paths.h"
#include "common/profile.h"
#include "common/text.h"
#include "importer/scheduler_log.h"
#include "program_runner.h"
#include "support/audiowall_fixture.h"
#include "support/kora_installation.h"
#include "support/scheduler_log_writer.h"
#include "support/temp_dir.h"

namespace vantor::testing {
namespace {

namespace fs = std::filesystem;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The full path of a tool on PATH; empty when it is not installed.
std::string FindTool(const std::string& name) {
    const char* path = std::getenv("PATH");
    for (const std::string& directory : Split(path ? path : "/usr/bin:/bin", ':')) {
        const std::string candidate = directory + "/" + name;
        if (!directory.empty() && access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return std::string();
}

class InstalledProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ProgramRun install =
            RunProgramAt(VANTOR_CMAKE, {"--install", VANTOR_BUILD_DIR, "--prefix", "/usr"},
                         {{"DESTDIR", root_}});
        ASSERT_EQ(install.exitCode, 0) << install.out << install.err;
    }

    std::string Installed(const std::string& path) const { return root_ + "/usr/" + path; }

    // The installed program with only a home directory: no VANTOR_* or XDG_* variables.
    ProgramRun Run(const std::vector<std::string>& arguments) const {
        return RunProgramAt(Installed("bin/vantor-logimport"), arguments,
                            {{"HOME", home_}, {"USER", "studio"}});
    }

    TempDir dir_;
    const std::string root_ = dir_ / "destdir";
    const std::string home_ = dir_ / "home";
};

TEST_F(InstalledProgramTest, InstallsTheProgramItsFilesAndItsDesktopEntry) {
    for (const char* path :
         {"bin/vantor-logimport", "share/vantor-logimport/Updates.txt",
          "share/applications/vantor-logimport.desktop",
          "share/icons/hicolor/scalable/apps/vantor-logimport.svg",
          "share/man/man1/vantor-logimport.1.gz", "lib/systemd/user/vantor-logimport@.service",
          "lib/systemd/user/vantor-logimport@.timer", "lib/systemd/user/vantor-logimport@.path",
          "share/doc/vantor-logimport/copyright",
          "share/doc/vantor-logimport/changelog.gz"})
        EXPECT_TRUE(fs::is_regular_file(Installed(path))) << path;
    // The service starts the program where this installation put it.
    EXPECT_TRUE(Contains(ReadWholeFile(Installed("lib/systemd/user/vantor-logimport@.service")),
                         "ExecStart=/usr/bin/vantor-logimport --headless %I /AUTO /QUIT "
                         "--run-record=%S/vantor-logimport/%i.json "
                         "--metrics-file=%S/vantor-logimport/%i.prom\n"));

    ProgramRun version = Run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "vantor-logimport " + std::to_string(VANTOR_VERSION_MAJOR) + "." +
                               std::to_string(VANTOR_VERSION_MINOR) + "." +
                               std::to_string(VANTOR_VERSION_PATCH) + "\n");

    const std::string gzip = FindTool("gzip");
    ASSERT_FALSE(gzip.empty());
    ProgramRun manual =
        RunProgramAt(gzip, {"-dc", Installed("share/man/man1/vantor-logimport.1.gz")}, {});
    EXPECT_EQ(manual.exitCode, 0);
    for (const char* part : {".SH ENVIRONMENT", "VANTOR_PROGRAM_DIR", "Exit status",
                             "\\-\\-set\\-data\\-location", "/AUTO"})
        EXPECT_TRUE(Contains(manual.out, part)) << part;

    const std::string validate = FindTool("desktop-file-validate");
    ASSERT_FALSE(validate.empty())
        << "desktop-file-validate is missing: scripts/install-deps.sh installs desktop-file-utils";
    ProgramRun desktop =
        RunProgramAt(validate, {Installed("share/applications/vantor-logimport.desktop")}, {});
    EXPECT_EQ(desktop.exitCode, 0) << desktop.out << desktop.err;
    EXPECT_EQ(desktop.out + desktop.err, "");
}

// The database server module is installed with the program and found beside it: a server that
// does not answer is named with libpq's reason, and the module loaded is the installed one,
// never the build tree's.
TEST_F(InstalledProgramTest, LoadsItsInstalledServerModule) {
    const std::string station = dir_ / "srv/vantor";
    ProgramRun setUp = Run({"--headless", "--set-data-location=" + station + "/data"});
    ASSERT_EQ(setUp.exitCode, 0) << setUp.err << setUp.out;

    const std::string trace = dir_ / "loader";
    ProgramRun unreachable = RunProgramAt(
        Installed("bin/vantor-logimport"),
        {"--headless", "--set-database-server=host=127.0.0.1 port=1 dbname=vantor "
                       "connect_timeout=5"},
        {{"HOME", home_}, {"USER", "studio"}, {"LD_DEBUG", "files"}, {"LD_DEBUG_OUTPUT", trace}});
    EXPECT_EQ(unreachable.exitCode, 2);
    EXPECT_TRUE(Contains(unreachable.err, "127.0.0.1:1 could not be reached: "))
        << unreachable.err;
    std::string loaded;
    for (const auto& entry : fs::directory_iterator(dir_.path())) {
        if (entry.path().filename().string().starts_with("loader."))
            loaded += ReadWholeFile(entry.path().string());
    }
    EXPECT_TRUE(Contains(loaded, "file=" + Installed("lib/vantor-logimport/vantor-postgres.so")))
        << loaded;
}

TEST_F(InstalledProgramTest, TwoCommandsSetUpAServerThatImports) {
    const std::string station = dir_ / "srv/vantor";
    ProgramRun setUp =
        Run({"--headless", "--set-data-location=" + station + "/data",
             "--set-cart-directory=" + station + "/audiowall", "--create-database=KORA26.MDB"});
    ASSERT_EQ(setUp.exitCode, 0) << setUp.err << setUp.out;
    EXPECT_TRUE(Contains(setUp.out, "created: " + station + "/data/SCHEDULE/KORA26.MDB"))
        << setUp.out;

    // What the station already has: carts on the Audiowall and tomorrow's scheduler log.
    WriteAudiowall(station + "/audiowall", 5000,
                   {{1001, "Advert", 30}, {4001, "First song", 180}, {4002, "Second song", 200}});
    const int32_t tomorrow = SystemClock().Today() + 1;
    SchedulerLogWriter log;
    for (int hour = 6; hour <= 8; ++hour)
        log.Header(SchedulerDate(tomorrow), hour, "Clock")
            .Item("4001", "First song")
            .Item("1001", "Advert")
            .Item("4002", "Second song");
    log.Save(LogFileName(tomorrow, {ResolvePath(station + "/data/LOGS"), "VN", "yymmdd"}));

    // Three songs do not fill an hour: the error report says so, and the status with it.
    ProgramRun import = Run({"--headless", "KORA26.MDB", "/AUTO", "/QUIT"});
    EXPECT_EQ(import.exitCode, 4) << import.err << import.out;
    EXPECT_TRUE(Contains(import.out, "so may underrun")) << import.out;
    EXPECT_EQ(HourStartsIn(station + "/data/SCHEDULE/KORA26.MDB"),
              (std::vector<std::pair<int32_t, int>>{{tomorrow, 6}, {tomorrow, 7}, {tomorrow, 8}}));
    // The report files go to the user's state directory, never beside the installed program.
    EXPECT_TRUE(Contains(ReadWholeFile(home_ + "/.local/state/vantor-logimport/error.log"),
                         "so may underrun"));
    EXPECT_TRUE(Contains(ReadWholeFile(home_ + "/.local/state/vantor-logimport/history.log"),
                         "Begin send new entries"));
    EXPECT_EQ(std::distance(fs::directory_iterator(Installed("bin")), fs::directory_iterator()), 1);

    // The scheduler writes the next day's log: the command the service runs (what the path unit
    // starts) imports that day, and only that day, on top of what is there.
    SchedulerLogWriter nextDay;
    nextDay.Header(SchedulerDate(tomorrow + 1), 9, "Clock").Item("4001", "First song");
    nextDay.Save(LogFileName(tomorrow + 1, {ResolvePath(station + "/data/LOGS"), "VN", "yymmdd"}));
    const std::string service =
        ReadWholeFile(Installed("lib/systemd/user/vantor-logimport@.service"));
    const std::string execStart = "ExecStart=/usr/bin/vantor-logimport ";
    const size_t from = service.find(execStart);
    ASSERT_NE(from, std::string::npos);
    std::vector<std::string> words;
    std::istringstream command(service.substr(from + execStart.size(),
                                              service.find('\n', from) - from - execStart.size()));
    // The specifiers as systemd fills them for a user's service of this instance.
    const std::string state = home_ + "/.local/state";
    for (std::string word; command >> word;) {
        for (const auto& [specifier, value] :
             {std::pair<std::string, std::string>{"%I", "KORA26.MDB"},
              {"%i", "KORA26.MDB"},
              {"%S", state}})
            for (size_t at; (at = word.find(specifier)) != std::string::npos;)
                word.replace(at, specifier.size(), value);
        words.push_back(word);
    }
    ProgramRun newDay = Run(words);
    EXPECT_EQ(newDay.exitCode, 4) << newDay.err << newDay.out;
    EXPECT_EQ(HourStartsIn(station + "/data/SCHEDULE/KORA26.MDB"),
              (std::vector<std::pair<int32_t, int>>{
                  {tomorrow, 6}, {tomorrow, 7}, {tomorrow, 8}, {tomorrow + 1, 9}}));
    // Its record and metrics are in the state directory, and name the new day's hour.
    const nlohmann::json record =
        nlohmann::json::parse(ReadWholeFile(state + "/vantor-logimport/KORA26.MDB.json"));
    EXPECT_EQ(record["run"]["exitStatus"], 4);
    ASSERT_EQ(record["days"].size(), 1u);
    EXPECT_EQ(record["days"][0]["date"], FormatDate(tomorrow + 1, "yyyy-mm-dd"));
    ASSERT_EQ(record["days"][0]["hours"].size(), 1u);
    EXPECT_EQ(record["days"][0]["hours"][0]["hour"], "09:00");
    EXPECT_EQ(record["days"][0]["hours"][0]["status"], "new");
    EXPECT_TRUE(Contains(ReadWholeFile(state + "/vantor-logimport/KORA26.MDB.prom"),
                         "vantor_logimport_hours_imported{database=\"KORA26.MDB\"} 1\n"));
}

// The installed units, checked as systemd reads them. The service is verified with its program
// path moved into the DESTDIR, since systemd also checks that the program is there.
TEST_F(InstalledProgramTest, SystemdUnitsPassVerification) {
    const std::string analyze = FindTool("systemd-analyze");
    if (analyze.empty()) GTEST_SKIP() << "systemd-analyze is not installed";
    const std::string units = dir_ / "units";
    fs::create_directories(units);
    std::string service = ReadWholeFile(Installed("lib/systemd/user/vantor-logimport@.service"));
    const std::string program = "/usr/bin/vantor-logimport";
    service.replace(service.find(program), program.size(), Installed("bin/vantor-logimport"));
    dir_.WriteFile("units/vantor-logimport@.service", service);
    for (const char* unit : {"vantor-logimport@.timer", "vantor-logimport@.path"})
        fs::copy_file(Installed(std::string("lib/systemd/user/") + unit), units + "/" + unit);

    ProgramRun verify = RunProgramAt(
        analyze,
        {"verify", "--man=no", units + "/vantor-logimport@KORA26.MDB.service",
         units + "/vantor-logimport@KORA26.MDB.timer", units + "/vantor-logimport@KORA26.MDB.path"},
        {});
    if (Contains(verify.err, "Failed to initialize manager") ||
        Contains(verify.err, "Failed to lookup"))
        GTEST_SKIP() << "systemd-analyze cannot run here: " << verify.err;
    EXPECT_EQ(verify.exitCode, 0) << verify.err;
    // Warnings (an unknown key, a bad time) leave the exit status at 0: none is expected.
    EXPECT_EQ(verify.err, "");
}

}  // namespace
}  // namespace vantor::testing
