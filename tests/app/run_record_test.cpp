// What an unattended run leaves for the station's monitoring: the run record (JSON) and the
// metrics file (Prometheus text format).
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "common/clock.h"
#include "common/codepage.h"
#include "common/locale.h"
#include "program_runner.h"
#include "support/kora_installation.h"
#include "support/scheduler_log_writer.h"
#include "support/temp_dir.h"

namespace vantor::testing {
namespace {

namespace fs = std::filesystem;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The samples of a metrics file, by name, checked against the text exposition format: every
// line a HELP or TYPE comment or one sample, every sample's metric typed before it.
std::map<std::string, double> ParseMetrics(const std::string& text) {
    static const std::regex help(R"(# HELP ([a-zA-Z_:][a-zA-Z0-9_:]*) \S.*)");
    static const std::regex type(R"(# TYPE ([a-zA-Z_:][a-zA-Z0-9_:]*) (gauge|counter))");
    static const std::regex sample(
        R"re(([a-zA-Z_:][a-zA-Z0-9_:]*)\{database="((?:[^"\\\n]|\\[\\"n])*)"\} (-?[0-9]+(?:\.[0-9]+)?))re");
    std::map<std::string, double> samples;
    std::set<std::string> typed;
    std::istringstream lines(text);
    EXPECT_TRUE(!text.empty() && text.back() == '\n');
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (std::regex_match(line, m, help)) continue;
        if (std::regex_match(line, m, type)) {
            typed.insert(m[1]);
            continue;
        }
        if (std::regex_match(line, m, sample)) {
            EXPECT_TRUE(typed.count(m[1])) << line;
            EXPECT_FALSE(samples.count(m[1])) << "twice: " << line;
            samples[m[1]] = std::stod(m[3]);
            continue;
        }
        ADD_FAILURE() << "not in the exposition format: " << line;
    }
    return samples;
}

class RunRecordTest : public ::testing::Test {
  public:
    static InstallationOptions Options() {
        InstallationOptions options;
        options.maxCart = 5000;
        options.carts = {
            {1001, "Advert", 30}, {4001, "First song", 180}, {4002, "Second song", 200}};
        options.underrunningDuration = 600;  // an hour under ten minutes is reported
        return options;
    }

  protected:
    RunRecordTest() : station_(dir_.path(), Options()) { fs::create_directories(state_); }

    ProgramRun Run(std::vector<std::string> arguments) {
        arguments.push_back("--run-record=" + record_);
        arguments.push_back("--metrics-file=" + metrics_);
        return RunProgram(arguments, station_.Environment());
    }

    TempDir dir_;
    KoraInstallation station_;
    const std::string state_ = dir_ / "state";
    const std::string record_ = state_ + "/KORA26.MDB.json";
    const std::string metrics_ = state_ + "/KORA26.MDB.prom";
    const int32_t day_ = SystemClock().Today() + 1;
};

// 05:00 names a cart the Audiowall lacks and is too short; 06:00 is whole.
TEST_F(RunRecordTest, NamesMissingCartsAndAnUnderrunAsTheErrorReportDoes) {
    SchedulerLogWriter log;
    log.Header(SchedulerDate(day_), 5, "Clock")
        .Item("4001", "First song")
        .Item("4999", "Never recorded")
        .Item("1001", "Advert");
    log.Header(SchedulerDate(day_), 6, "Clock")
        .Item("4001", "First song")
        .Item("4002", "Second song")
        .Item("4001", "First song")
        .Item("4002", "Second song");
    station_.WriteLog(day_, log);

    ProgramRun run = Run({"--headless", "KORA26.MDB", "/AUTO", "/QUIT"});
    ASSERT_EQ(run.exitCode, 4) << run.err << run.out;
    const nlohmann::json record = nlohmann::json::parse(ReadWholeFile(record_));

    EXPECT_EQ(record["run"]["exitStatus"], 4);
    EXPECT_TRUE(std::regex_match(record["run"]["start"].get<std::string>(),
                                 std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)")));
    EXPECT_GE(record["run"]["durationSeconds"].get<double>(), 0.0);
    EXPECT_EQ(record["import"], "imported");
    EXPECT_EQ(record["database"], station_.databasePath);
    EXPECT_EQ(record["start"]["date"], FormatDate(day_, "yyyy-mm-dd"));
    ASSERT_EQ(record["days"].size(), 1u);
    const nlohmann::json& hours = record["days"][0]["hours"];
    ASSERT_EQ(hours.size(), 2u);

    const nlohmann::json& short5 = hours[0];
    EXPECT_EQ(short5["hour"], "05:00");
    EXPECT_EQ(short5["status"], "new");
    EXPECT_EQ(short5["entries"], 3);
    EXPECT_TRUE(short5["underrun"]);
    ASSERT_EQ(short5["missingCarts"].size(), 1u);
    EXPECT_EQ(short5["missingCarts"][0]["cart"], "4999");
    EXPECT_EQ(short5["missingCarts"][0]["position"], 2);
    ASSERT_EQ(short5["newEntries"].size(), 3u);
    EXPECT_EQ(short5["newEntries"][1]["title"], "Never recorded");
    EXPECT_FLOAT_EQ(short5["length"].get<float>(), 210.0f);

    const nlohmann::json& whole6 = hours[1];
    EXPECT_EQ(whole6["status"], "new");
    EXPECT_EQ(whole6["entries"], 4);
    EXPECT_FALSE(whole6["underrun"]);
    EXPECT_TRUE(whole6["missingCarts"].empty());
    EXPECT_TRUE(whole6["messages"].empty());
    EXPECT_FLOAT_EQ(whole6["length"].get<float>(), 760.0f);
    // The second hour starts where the timing of the first says: the stored times, not the
    // scheduled ones.
    EXPECT_FLOAT_EQ(whole6["newEntries"][3]["start"].get<float>(), 6 * 3600 + 560.0f);

    const nlohmann::json& summary = record["summary"];
    EXPECT_EQ(summary["newHours"], 2);
    EXPECT_EQ(summary["missingCarts"], 1);
    EXPECT_EQ(summary["underruns"], 1);
    EXPECT_EQ(summary["hoursReported"], 1);

    // The record's messages are the error report's lines, in the report's order, each under
    // the hour (or day) it is about.
    std::vector<std::string> recorded;
    for (const nlohmann::json& day : record["days"]) {
        for (const nlohmann::json& hour : day["hours"])
            for (const nlohmann::json& line : hour["messages"]) recorded.push_back(line);
        for (const nlohmann::json& line : day["messages"]) recorded.push_back(line);
    }
    std::vector<std::string> reported;
    std::istringstream report(Cp1252ToUtf8(ReadWholeFile(station_.ErrorLogPath())));
    for (std::string line; std::getline(report, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        reported.push_back(line);
    }
    ASSERT_EQ(recorded.size(), reported.size()) << run.out;
    for (size_t i = 0; i < reported.size(); ++i) {
        // The file's lines may carry a time stamp before the text.
        const std::string& line = reported[i];
        EXPECT_TRUE(
            line.size() >= recorded[i].size() &&
            line.compare(line.size() - recorded[i].size(), std::string::npos, recorded[i]) == 0)
            << line << "\n"
            << recorded[i];
    }
    ASSERT_EQ(short5["messages"].size(), 2u);
    EXPECT_TRUE(Contains(short5["messages"][0], "Cart 4999")) << short5["messages"];
    EXPECT_TRUE(Contains(short5["messages"][1], "may underrun")) << short5["messages"];

    const std::map<std::string, double> metrics = ParseMetrics(ReadWholeFile(metrics_));
    EXPECT_EQ(metrics.at("vantor_logimport_hours_imported"), 2);
    EXPECT_EQ(metrics.at("vantor_logimport_hours_reported"), 1);
    EXPECT_EQ(metrics.at("vantor_logimport_missing_carts"), 1);
    EXPECT_EQ(metrics.at("vantor_logimport_exit_status"), 4);
    EXPECT_GT(metrics.at("vantor_logimport_last_run_timestamp_seconds"), 1.7e9);
    EXPECT_GE(metrics.at("vantor_logimport_last_run_duration_seconds"), 0);
    EXPECT_TRUE(Contains(ReadWholeFile(metrics_), "{database=\"KORA26.MDB\"}"));

    // Each file was written whole beside its name and renamed: nothing else is left.
    std::set<std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(state_))
        files.insert(entry.path().filename().string());
    EXPECT_EQ(files, (std::set<std::string>{"KORA26.MDB.json", "KORA26.MDB.prom"}));

    // The next run replaces both: every hour is in the log now and is reported as such.
    ProgramRun again = Run({"--headless", "KORA26.MDB", "/AUTO", "/QUIT", "--start-hour=05"});
    ASSERT_EQ(again.exitCode, 4) << again.err;
    const nlohmann::json second = nlohmann::json::parse(ReadWholeFile(record_));
    EXPECT_EQ(second["summary"]["newHours"], 0);
    EXPECT_EQ(second["days"][0]["hours"][0]["status"], "already in the log");
    EXPECT_EQ(ParseMetrics(ReadWholeFile(metrics_)).at("vantor_logimport_hours_imported"), 0);
}

// A run that a check stops, or that does not import at all, still leaves its record; a record
// that cannot be written is told and turns a clean status into 4.
TEST_F(RunRecordTest, EveryRunLeavesItsRecordAndAFailedWriteIsTold) {
    ProgramRun stopped = Run({"--headless", "KORA26.MDB", "/AUTO", "--start-date=32/13/2000"});
    ASSERT_EQ(stopped.exitCode, 2) << stopped.err;
    const nlohmann::json record = nlohmann::json::parse(ReadWholeFile(record_));
    EXPECT_EQ(record["run"]["exitStatus"], 2);
    EXPECT_EQ(record["import"], "none");
    EXPECT_TRUE(record["start"].is_null());
    EXPECT_TRUE(record["days"].empty());
    EXPECT_EQ(ParseMetrics(ReadWholeFile(metrics_)).at("vantor_logimport_exit_status"), 2);

    ProgramRun listed = RunProgram({"--list-users", "--run-record=" + state_ + "/gone/run.json"},
                                   station_.Environment());
    EXPECT_EQ(listed.exitCode, 4);
    EXPECT_TRUE(Contains(
        listed.err, "error: the run record could not be written to " + state_ + "/gone/run.json"))
        << listed.err;
}

}  // namespace
}  // namespace vantor::testing
