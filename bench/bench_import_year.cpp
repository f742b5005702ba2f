// Imports a range of generated scheduler logs (24 hours a day of 18 items and 2 break notes,
// about an hour long each, and one short hour a day of 9 items and a note that lands in the
// under-run report; carts on a real Audiowall) into a fresh playout database with
// ImportHours, and writes the same final rows into a second fresh database of the same
// backend, one transaction per hour, with nothing but the database library: the bound no
// importer can beat on that backend. On a file the bound is a prepared INSERT per row; on a
// database server it is the same prepared INSERT through bare libpq, an hour's rows sent in one
// pipelined batch. The two take turns a week at a time, so that the load of a shared machine
// falls on both alike. Prints entries per second for both, their ratio, and the peak memory
// before and after the import.
//
//   bench_import_year                              a whole year (365 days from 1 January 2001)
//   bench_import_year --days=30                    a shorter range
//   bench_import_year --benchmark_repetitions=3    three runs, with their median
//
// BM_ImportRange runs on database files. BM_ImportRangeOnServer runs as well when
// VANTOR_DB_SERVER holds a server's connection string; scripts/bench-import-year.sh starts a
// throwaway server for it and runs both. libpq is loaded only for the server's run, so that the
// run on files measures the peak memory of a program that never loads it.

#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "audiowall/audiowall_store.h"
#include "common/clock.h"
#include "common/ole_date.h"
#include "support/scripted_user_interface.h"
#include "importer/hour_import.h"
#include "playoutdb/log_table.h"
#include "dbengine/engine.h"
#include "dbengine/schema.h"
#include "playoutdb/playout_tables.h"
#include "support/audiowall_fixture.h"
#include "support/scheduler_log_writer.h"
#include "support/temp_dir.h"

namespace {

using namespace vantor;
using Seconds = std::chrono::duration<double>;

int gDays = 365;
constexpr int32_t kFirstDay = 36892;  // 1 January 2001
constexpr int kShortHour = 3;         // the hour of each day that under-runs
constexpr int kBlockDays = 7;         // days imported before the bound takes its turn

// A clock that moves on at every reading, so the closing pause of the import costs nothing.
class SteppingClock : public Clock {
  public:
    OleDate Now() const override { return now_ += 0.5 / 86400.0; }

  private:
    mutable OleDate now_ = kFirstDay + 400;
};

// The progress window of a real run shows the latest texts only; the test interface would keep
// every one of them and make memory grow with the range.
class QuietUserInterface : public ScriptedUserInterface {
  public:
    void SetImportProgressText(ImportProgressLabel, const std::string&) override {}
    void SetImportProgressValue(ImportProgressBar, int, int) override {}
    void ProcessEvents() override {}
};

// Peak resident memory of the process so far, in MiB.
double PeakMemoryMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

std::string TwoDigits(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

void WriteLogs(const std::string& logPath, int days) {
    const SchedulerLogNaming naming{logPath, "VN", "yymmdd"};
    for (int d = 0; d < days; ++d) {
        const int32_t day = kFirstDay + d;
        DateParts date = SplitDate(day);
        const std::string header =
            TwoDigits(date.day) + "/" + TwoDigits(date.month) + "/" + TwoDigits(date.year % 100);
        testing::SchedulerLogWriter log;
        for (int hour = 0; hour < 24; ++hour) {
            log.Header(header, hour, "Clock " + std::to_string(hour));
            const int items = hour == kShortHour ? 9 : 18;
            for (int i = 0; i < items; ++i) {
                const int n = d * 24 * 18 + hour * 18 + i;
                testing::LogItem item;
                switch (i % 6) {
                    case 0:
                        item.cart = std::to_string(1 + n % 50);
                        break;  // jingle
                    case 1:
                        item.cart = std::to_string(501 + n % 20);
                        break;  // sweeper
                    case 2:
                        item.cart = std::to_string(1001 + n % 100);
                        break;  // advert
                    default:
                        item.cart = std::to_string(3000 + n % 1000);
                        break;  // song
                }
                item.title = "Title " + std::to_string(n);
                item.description2 = "Artist " + std::to_string(n % 97);
                item.endCode = i % 5 == 0 ? '+' : 'N';
                item.continued = i % 3 == 0;
                item.description3 = "Album";
                log.Item(item);
                if (i == 8) log.Note("$$ 00:30:00");
                if (i == 14) log.Note("Weather and travel", "", "1:30");
            }
        }
        log.Save(LogFileName(day, naming));
    }
}

std::vector<testing::FixtureCart> Carts() {
    std::vector<testing::FixtureCart> carts;
    for (int n = 1; n <= 50; ++n) carts.emplace_back(n, "Jingle " + std::to_string(n), 8);
    for (int n = 501; n <= 520; ++n) carts.emplace_back(n, "Sweeper", 5);
    for (int n = 1001; n <= 1100; ++n) carts.emplace_back(n, "Advert", 30);
    // Songs of 386 to 400 seconds: nine of them, the jingles, sweepers and adverts make an
    // hour of 60:03 to 62:09, so that only the short hour is reported as under-running.
    for (int n = 3000; n <= 3999; ++n)
        carts.emplace_back(n, "Song " + std::to_string(n), static_cast<float>(386 + n % 15));
    return carts;
}

bool CreatePlayoutDatabase(UserInterface& ui, const std::string& path) {
    {
        Database db;
        if (!db.Create(path).Ok()) return false;
    }
    return VerifyPlayoutDatabase(ui, path).Ok();
}

// The schema a server keeps a database in: its file name's base in lower case.
std::string SchemaOfBench(const std::string& fileName) {
    std::string schema = fileName.substr(0, fileName.rfind('.'));
    for (char& c : schema) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return schema;
}

// Opened the way the engine opens its files (one thread per connection).
struct Sqlite {
    sqlite3* db = nullptr;
    explicit Sqlite(const std::string& path) {
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    }
    ~Sqlite() { sqlite3_close(db); }
};

// The journal mode and synchronous level the engine runs a database with, as the engine's
// own connection reports them.
struct DurabilitySettings {
    std::string journalMode;
    std::string synchronous;
};

std::string PragmaText(const Database& db, const char* pragma) {
    QueryResult result;
    if (!db.Query(pragma, {}, result).Ok() || result.Eof()) return "";
    return result.Field(0).AsText();
}

DurabilitySettings SettingsOf(const Database& db) {
    return {PragmaText(db, "PRAGMA journal_mode"), PragmaText(db, "PRAGMA synchronous")};
}

std::string PragmaText(sqlite3* db, const std::string& pragma) {
    sqlite3_stmt* stmt = nullptr;
    std::string text;
    if (sqlite3_prepare_v2(db, pragma.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        const unsigned char* value = sqlite3_column_text(stmt, 0);
        text = value ? reinterpret_cast<const char*>(value) : "";
    }
    sqlite3_finalize(stmt);
    return text;
}

// Writes the imported rows hour by hour into the second database; only the writing is timed.
class Bound {
  public:
    virtual ~Bound() = default;
    // Writes the hours of the days from first to last; returns the rows written.
    virtual long long Copy(int32_t first, int32_t last, Seconds& timed) = 0;
};

// On files: the second database runs with the same journal mode and synchronous level as the
// import, and each row is one step of a prepared INSERT.
class FileBound : public Bound {
  public:
    FileBound(const std::string& source, const std::string& target) : from_(source), to_(target) {}
    ~FileBound() override {
        sqlite3_finalize(insert_);
        sqlite3_finalize(select_);
    }

    // False when the bound cannot be given the engine's settings.
    bool Prepare(const DurabilitySettings& settings) {
        PragmaText(to_.db, "PRAGMA journal_mode=" + settings.journalMode);
        PragmaText(to_.db, "PRAGMA synchronous=" + settings.synchronous);
        if (PragmaText(to_.db, "PRAGMA journal_mode") != settings.journalMode ||
            PragmaText(to_.db, "PRAGMA synchronous") != settings.synchronous) {
            std::fprintf(stderr,
                         "bound: journal mode or synchronous level differs from the import\n");
            return false;
        }
        sqlite3_prepare_v2(from_.db,
                           "SELECT * FROM Log WHERE QIndex >= ? AND QIndex <= ? ORDER BY QIndex",
                           -1, &select_, nullptr);
        columns_ = sqlite3_column_count(select_);
        std::string sql = "INSERT INTO Log VALUES (?";
        for (int c = 1; c < columns_; ++c) sql += ",?";
        sql += ")";
        if (sqlite3_prepare_v2(to_.db, sql.c_str(), -1, &insert_, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "bound: %s\n", sqlite3_errmsg(to_.db));
            return false;
        }
        return true;
    }

    long long Copy(int32_t first, int32_t last, Seconds& timed) override {
        long long rows = 0;
        for (int32_t day = first; day <= last; ++day) {
            for (int hour = 0; hour < 24; ++hour) {
                DayTime stamp{day, static_cast<float>(hour * 3600)};
                sqlite3_bind_double(select_, 1, HourStartQIndex(stamp));
                sqlite3_bind_double(select_, 2, HourEndQIndex(stamp));
                while (sqlite3_step(select_) == SQLITE_ROW) {
                    std::vector<sqlite3_value*> values(columns_);
                    for (int c = 0; c < columns_; ++c)
                        values[c] = sqlite3_value_dup(sqlite3_column_value(select_, c));
                    hourRows_.push_back(std::move(values));
                }
                sqlite3_reset(select_);

                auto start = std::chrono::steady_clock::now();
                sqlite3_exec(to_.db, "BEGIN", nullptr, nullptr, nullptr);
                for (const auto& values : hourRows_) {
                    for (int c = 0; c < columns_; ++c)
                        sqlite3_bind_value(insert_, c + 1, values[c]);
                    if (sqlite3_step(insert_) == SQLITE_DONE) ++rows;
                    sqlite3_reset(insert_);
                }
                sqlite3_exec(to_.db, "COMMIT", nullptr, nullptr, nullptr);
                timed += std::chrono::steady_clock::now() - start;

                for (auto& values : hourRows_)
                    for (sqlite3_value* v : values) sqlite3_value_free(v);
                hourRows_.clear();
            }
        }
        return rows;
    }

  private:
    Sqlite from_;
    Sqlite to_;
    sqlite3_stmt* select_ = nullptr;
    sqlite3_stmt* insert_ = nullptr;
    int columns_ = 0;
    std::vector<std::vector<sqlite3_value*>> hourRows_;
};

// libpq's functions the server's bound uses, loaded when the server's run starts.
struct Libpq {
    void* handle = nullptr;
    decltype(&PQconnectdb) connectdb = nullptr;
    decltype(&PQstatus) status = nullptr;
    decltype(&PQerrorMessage) errorMessage = nullptr;
    decltype(&PQfinish) finish = nullptr;
    decltype(&PQexec) exec = nullptr;
    decltype(&PQprepare) prepare = nullptr;
    decltype(&PQexecPrepared) execPrepared = nullptr;
    decltype(&PQresultStatus) resultStatus = nullptr;
    decltype(&PQresultErrorMessage) resultErrorMessage = nullptr;
    decltype(&PQclear) clear = nullptr;
    decltype(&PQntuples) ntuples = nullptr;
    decltype(&PQnfields) nfields = nullptr;
    decltype(&PQgetvalue) getvalue = nullptr;
    decltype(&PQgetisnull) getisnull = nullptr;
    decltype(&PQenterPipelineMode) enterPipelineMode = nullptr;
    decltype(&PQexitPipelineMode) exitPipelineMode = nullptr;
    decltype(&PQpipelineSync) pipelineSync = nullptr;
    decltype(&PQsendQueryParams) sendQueryParams = nullptr;
    decltype(&PQsendQueryPrepared) sendQueryPrepared = nullptr;
    decltype(&PQgetResult) getResult = nullptr;

    // False (with dlerror's reason) when the library or one of its functions is missing.
    bool Load(std::string& why) {
        handle = dlopen("libpq.so.5", RTLD_NOW | RTLD_LOCAL);
        bool ok = handle && Find(connectdb, "PQconnectdb") && Find(status, "PQstatus") &&
                  Find(errorMessage, "PQerrorMessage") && Find(finish, "PQfinish") &&
                  Find(exec, "PQexec") && Find(prepare, "PQprepare") &&
                  Find(execPrepared, "PQexecPrepared") && Find(resultStatus, "PQresultStatus") &&
                  Find(resultErrorMessage, "PQresultErrorMessage") && Find(clear, "PQclear") &&
                  Find(ntuples, "PQntuples") && Find(nfields, "PQnfields") &&
                  Find(getvalue, "PQgetvalue") && Find(getisnull, "PQgetisnull") &&
                  Find(enterPipelineMode, "PQenterPipelineMode") &&
                  Find(exitPipelineMode, "PQexitPipelineMode") &&
                  Find(pipelineSync, "PQpipelineSync") &&
                  Find(sendQueryParams, "PQsendQueryParams") &&
                  Find(sendQueryPrepared, "PQsendQueryPrepared") && Find(getResult, "PQgetResult");
        if (!ok) {
            const char* error = dlerror();
            why = error ? error : "libpq.so.5 could not be loaded";
        }
        return ok;
    }
    template <typename F>
    bool Find(F& function, const char* name) {
        function = reinterpret_cast<F>(dlsym(handle, name));
        return function != nullptr;
    }
};

// On a server: the rows of an hour read from the import's schema (not timed), then written
// into the bound's schema by one prepared INSERT per row, BEGIN, the rows and COMMIT sent in
// one pipeline: one round trip an hour.
class ServerBound : public Bound {
  public:
    explicit ServerBound(const Libpq& pq) : pq_(pq) {}
    ~ServerBound() override {
        if (conn_) pq_.finish(conn_);
    }

    bool Prepare(const std::string& conninfo, const std::string& source,
                 const std::string& target, std::string& why) {
        conn_ = pq_.connectdb(conninfo.c_str());
        if (pq_.status(conn_) != CONNECTION_OK) return Fail(why);
        pq_.clear(pq_.exec(conn_, "SET client_min_messages = warning"));  // DROP's notices
        PGresult* columns = pq_.exec(
            conn_, ("SELECT attname FROM pg_attribute WHERE attrelid = '" + source +
                    ".log'::regclass AND attnum > 0 AND NOT attisdropped AND attname <> "
                    "'vantor_rowid' ORDER BY attnum")
                       .c_str());
        if (pq_.resultStatus(columns) != PGRES_TUPLES_OK) return Fail(why, columns);
        std::string names, placeholders;
        columns_ = pq_.ntuples(columns);
        for (int c = 0; c < columns_; ++c) {
            names += (c ? ", \"" : "\"") + std::string(pq_.getvalue(columns, c, 0)) + "\"";
            placeholders += (c ? ", $" : "$") + std::to_string(c + 1);
        }
        pq_.clear(columns);
        return Run("SELECT " + names + " FROM " + source +
                       ".log WHERE qindex >= $1::float8 AND qindex <= $2::float8 ORDER BY qindex",
                   "hour", why) &&
               Run("INSERT INTO " + target + ".log (" + names + ") VALUES (" + placeholders + ")",
                   "row", why);
    }

    // The server's durability, which the import and the bound share.
    std::string Durability() {
        return "synchronous_commit=" + Show("synchronous_commit") + " fsync=" + Show("fsync");
    }

    long long Copy(int32_t first, int32_t last, Seconds& timed) override {
        long long rows = 0;
        std::vector<const char*> values(columns_);
        for (int32_t day = first; day <= last; ++day) {
            for (int hour = 0; hour < 24; ++hour) {
                DayTime stamp{day, static_cast<float>(hour * 3600)};
                char from[40], to[40];
                std::snprintf(from, sizeof from, "%.17g", HourStartQIndex(stamp));
                std::snprintf(to, sizeof to, "%.17g", HourEndQIndex(stamp));
                const char* range[] = {from, to};
                PGresult* hourRows = pq_.execPrepared(conn_, "hour", 2, range, nullptr, nullptr, 0);
                const int count =
                    pq_.resultStatus(hourRows) == PGRES_TUPLES_OK ? pq_.ntuples(hourRows) : 0;

                auto start = std::chrono::steady_clock::now();
                bool sent = pq_.enterPipelineMode(conn_) == 1 &&
                            pq_.sendQueryParams(conn_, "BEGIN", 0, nullptr, nullptr, nullptr,
                                                nullptr, 0) == 1;
                for (int r = 0; r < count && sent; ++r) {
                    for (int c = 0; c < columns_; ++c) {
                        values[c] = pq_.getisnull(hourRows, r, c) ? nullptr
                                                                  : pq_.getvalue(hourRows, r, c);
                    }
                    sent = pq_.sendQueryPrepared(conn_, "row", columns_, values.data(), nullptr,
                                                 nullptr, 0) == 1;
                }
                sent = sent &&
                       pq_.sendQueryParams(conn_, "COMMIT", 0, nullptr, nullptr, nullptr, nullptr,
                                           0) == 1 &&
                       pq_.pipelineSync(conn_) == 1;
                long long stored = 0;
                bool failed = !sent;
                while (sent) {
                    PGresult* result = pq_.getResult(conn_);
                    if (!result) {
                        if (pq_.status(conn_) != CONNECTION_OK) break;
                        continue;
                    }
                    ExecStatusType status = pq_.resultStatus(result);
                    pq_.clear(result);
                    if (status == PGRES_PIPELINE_SYNC) break;
                    if (status != PGRES_COMMAND_OK) failed = true;
                    ++stored;
                }
                pq_.exitPipelineMode(conn_);
                timed += std::chrono::steady_clock::now() - start;
                pq_.clear(hourRows);
                // BEGIN and COMMIT answer too; a failed row rolls the hour back.
                if (!failed) rows += stored - 2;
            }
        }
        return rows;
    }

    // Removes the benchmark's databases from the server.
    void Drop(const std::vector<std::string>& schemas) {
        for (const std::string& schema : schemas) {
            pq_.clear(pq_.exec(conn_, ("DROP SCHEMA IF EXISTS " + schema + " CASCADE").c_str()));
            pq_.clear(pq_.exec(conn_, ("DELETE FROM public.vantor_catalogue WHERE schema_name = '" +
                                       schema + "'")
                                          .c_str()));
        }
    }

  private:
    bool Fail(std::string& why, PGresult* result = nullptr) {
        why = result ? pq_.resultErrorMessage(result) : pq_.errorMessage(conn_);
        if (result) pq_.clear(result);
        return false;
    }
    bool Run(const std::string& sql, const char* name, std::string& why) {
        PGresult* result = pq_.prepare(conn_, name, sql.c_str(), 0, nullptr);
        if (pq_.resultStatus(result) != PGRES_COMMAND_OK) return Fail(why, result);
        pq_.clear(result);
        return true;
    }
    std::string Show(const char* setting) {
        PGresult* result = pq_.exec(conn_, ("SHOW " + std::string(setting)).c_str());
        std::string value =
            pq_.resultStatus(result) == PGRES_TUPLES_OK ? pq_.getvalue(result, 0, 0) : "?";
        pq_.clear(result);
        return value;
    }

    const Libpq& pq_;
    PGconn* conn_ = nullptr;
    int columns_ = 0;
};

enum class Engine { Files, Server };

void ImportRange(benchmark::State& bench, Engine engine) {
    const char* server = std::getenv("VANTOR_DB_SERVER");
    Libpq pq;
    if (engine == Engine::Server) {
        std::string why;
        if (!server || !*server || !pq.Load(why)) {
            bench.SkipWithError(("no database server to run on: " + why).c_str());
            return;
        }
    }
    for (auto _ : bench) {
        testing::TempDir dir;
        QuietUserInterface ui;
        SteppingClock clock;
        AudiowallState audiowall;
        ImportSettings settings;
        const std::string logPath = dir / "LOGS";
        // On the server, names of this run's own: another run may share the server.
        const std::string run = std::to_string(::getpid());
        const std::string imported =
            engine == Engine::Files ? dir / "IMPORTED.MDB" : "BENCH" + run + ".MDB";
        const std::string bound =
            engine == Engine::Files ? dir / "BOUND.MDB" : "BOUND" + run + ".MDB";
        std::filesystem::create_directories(logPath);
        testing::WriteAudiowall(dir / "wall", 9999, Carts());
        testing::PointAudiowallAt(audiowall, dir / "wall", 9999);

        Database db;
        bool ready = OpenAudiowall(audiowall, ui, 0, true) != AudiowallOpening::Failed;
        if (engine == Engine::Files) {
            ready = ready && CreatePlayoutDatabase(ui, imported) &&
                    CreatePlayoutDatabase(ui, bound);
        } else {
            Database boundDb;
            ready = ready && boundDb.CreateOnServer(server, bound).Ok() &&
                    VerifyPlayoutDatabase(ui, boundDb).Ok() &&
                    db.CreateOnServer(server, imported).Ok() &&
                    VerifyPlayoutDatabase(ui, db).Ok();
        }
        if (!ready) {
            bench.SkipWithError("the station could not be set up");
            return;
        }
        WriteLogs(logPath, gDays);
        // A station's cart lists were written long before the import; a list written in the
        // last three seconds is read record by record, so the import starts once the lists
        // just made have settled, as they have at a station.
        std::this_thread::sleep_for(std::chrono::milliseconds(3100));
        const double memoryBefore = PeakMemoryMiB();
        if (engine == Engine::Files) {
            if (DbError e = db.Open(imported); !e.Ok()) {
                bench.SkipWithError(("cannot open the database: " + e.description).c_str());
                return;
            }
        }

        HourImportContext context{
            ui, clock, audiowall, settings, {logPath, "VN", "yymmdd"}, {}, dir / "error.log"};
        std::unique_ptr<Bound> boundWriter;
        ServerBound* serverBound = nullptr;
        std::string durability;
        if (engine == Engine::Files) {
            const DurabilitySettings fileSettings = SettingsOf(db);
            auto files = std::make_unique<FileBound>(imported, bound);
            if (!files->Prepare(fileSettings)) {
                bench.SkipWithError("the bound could not run with the import's database settings");
                return;
            }
            // Journal mode and synchronous level: 1 is NORMAL, 2 is FULL.
            durability = "journal_mode=" + fileSettings.journalMode +
                         " synchronous=" + fileSettings.synchronous;
            boundWriter = std::move(files);
        } else {
            auto onServer = std::make_unique<ServerBound>(pq);
            std::string why;
            if (!onServer->Prepare(server, SchemaOfBench(imported), SchemaOfBench(bound), why)) {
                bench.SkipWithError(("the bound could not be prepared: " + why).c_str());
                return;
            }
            durability = onServer->Durability();
            serverBound = onServer.get();
            boundWriter = std::move(onServer);
        }
        Seconds importTime{0};
        Seconds boundTime{0};
        long long entries = 0;
        bool ok = true;
        for (int32_t blockStart = kFirstDay; blockStart < kFirstDay + gDays;
             blockStart += kBlockDays) {
            const int32_t blockEnd = std::min(blockStart + kBlockDays, kFirstDay + gDays) - 1;
            const DayTime first{blockStart, 0};
            const DayTime last{blockEnd, 23 * 3600 + 3599.99f};
            auto start = std::chrono::steady_clock::now();
            ok = ImportHours(db, first, last, context) && ok;
            importTime += std::chrono::steady_clock::now() - start;
            entries += boundWriter->Copy(blockStart, blockEnd, boundTime);
        }
        db.Close();
        const double memoryAfter = PeakMemoryMiB();
        if (serverBound) serverBound->Drop({SchemaOfBench(imported), SchemaOfBench(bound)});
        CloseAudiowall(audiowall);

        if (!ok || entries != static_cast<long long>(gDays) * (23 * 21 + 11)) {
            bench.SkipWithError("the import did not write every entry");
            return;
        }
        bench.SetIterationTime(importTime.count());
        const double importRate = entries / importTime.count();
        const double boundRate = entries / boundTime.count();
        bench.counters["days"] = gDays;
        bench.counters["entries"] = static_cast<double>(entries);
        bench.counters["import_entries_per_s"] = importRate;
        bench.counters["bound_entries_per_s"] = boundRate;
        bench.counters["ratio"] = boundRate / importRate;
        // Printed so that the figures say what durability both sides ran with.
        std::printf("%s\n", durability.c_str());
        bench.counters["peak_MiB_before_import"] = memoryBefore;
        bench.counters["peak_MiB_after_import"] = memoryAfter;
    }
}

void BM_ImportRange(benchmark::State& bench) {
    ImportRange(bench, Engine::Files);
}
BENCHMARK(BM_ImportRange)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    // Our own flag first; the rest belongs to the benchmark library.
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--days=", 7) == 0) {
            gDays = std::max(1, std::atoi(argv[i] + 7));
        } else {
            rest.push_back(argv[i]);
        }
    }
    // Registered after the run on files, so that it runs after it: the peak memory of the run
    // on files is then its own.
    if (const char* server = std::getenv("VANTOR_DB_SERVER"); server && *server) {
        benchmark::RegisterBenchmark("BM_ImportRangeOnServer",
                                     [](benchmark::State& bench) {
                                         ImportRange(bench, Engine::Server);
                                     })
            ->Iterations(1)
            ->UseManualTime()
            ->Unit(benchmark::kSecond);
    }
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
