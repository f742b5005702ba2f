// Writes the seed inputs of every fuzz target with the same helpers the tests build their
// files with: scheduler logs, cart list records, Audwall.ini and configuration files, the
// registry file, and the dates and break notes the tests type.
//
//   make_seeds OUTPUT_DIRECTORY   ->  OUTPUT_DIRECTORY/<target>/<seed files>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "audiowall/cart_record.h"
#include "common/profile.h"
#include "common/registry.h"
#include "support/audiowall_fixture.h"
#include "support/jet_writer.h"
#include "support/scheduler_log_writer.h"

namespace fs = std::filesystem;
using namespace vantor;
using testing::FixtureCart;
using testing::LogItem;
using testing::SchedulerLogWriter;

namespace {

void WriteSeed(const fs::path& directory, const std::string& name, const std::string& bytes) {
    fs::create_directories(directory);
    std::ofstream(directory / name, std::ios::binary) << bytes;
}

void SchedulerLogs(const fs::path& out) {
    SchedulerLogWriter compact;
    compact.Line("=== Station log").Line("");
    for (int hour : {5, 6, 7}) {
        LogItem song;
        song.cart = "4001";
        song.title = "First song";
        song.description2 = "Artist";
        song.ending = "F";
        song.endCode = '+';
        song.continued = true;
        song.description3 = "Album";
        song.notes = "Notes of the song";
        compact.Header("07/03/00", hour, "Clock " + std::to_string(hour))
            .Item(song)
            .Note("$$ 10:15:00", "", "2:00")
            .Item("1001", "Advert", 'N')
            .Note("Weather", "4003", "0:30", '#');
    }
    SchedulerLogWriter block;
    block.BlockHeader("Tuesday, March 07, 2000", "6", "Morning").Item("700", "Sweeper");
    SchedulerLogWriter damaged;
    damaged.Header("07/03/00", 6).Item("4000", "A").Line("+31/02/00 07").Item("4000", "B");
    damaged.Header("31/12/9999", 5, "Stray").Raw("\x0c+07/03/00 09\r\n#\r\n@40\r\n:$W");
    WriteSeed(out, "compact.log", compact.Bytes());
    WriteSeed(out, "block.log", block.Bytes());
    WriteSeed(out, "damaged.log", damaged.Bytes());
}

void BreakNotes(const fs::path& out) {
    const char* notes[] = {"$$ 10:00:00",
                           "$$ 10:20:30 ignored words",
                           "$AOFF",
                           "$AON",
                           "$BREAK 11:01:02",
                           "$CSTOPALL",
                           "$D",
                           "$HC3 Off",
                           "$HF4",
                           "$HS12 Studio lights",
                           "$QA",
                           "$QL",
                           "$QR",
                           "$QX",
                           "$SPLIT 10:00:05",
                           "$T05:30.50 Top of the news",
                           "$W00:45 $IC3 Wait for caller",
                           "$W00:45 $IS3 Wait for caller",
                           "$c  Fade now",
                           "$hp7 Pulse",
                           "$p 10:01:00",
                           "$t  01:02 x",
                           "$w01:00 $is12",
                           "BREAK 10:15:00",
                           "Link to news",
                           "SPLIT 10:20:30"};
    int n = 0;
    for (const char* note : notes) {
        SchedulerLogWriter line;
        line.Note(note, n % 3 == 0 ? "4003" : "", n % 2 == 0 ? "1:30" : "", n % 4 == 0 ? '#' : ' ');
        // The first byte picks the hour and modes; the rest is the line after its ":".
        std::string bytes = line.Bytes();
        while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r')) bytes.pop_back();
        WriteSeed(out, "note" + std::to_string(n), std::string(1, char(10 + n)) + bytes.substr(1));
        ++n;
    }
}

void CartRecords(const fs::path& out) {
    std::vector<FixtureCart> carts = {{1, "Jingle", 12.5f}, {2, "Silent bed", 30, false}};
    FixtureCart intro{3, "A song with a rather long title that runs on", 200};
    intro.title2 = "Second line";
    intro.introStart = 0;
    intro.introEnd = 12;
    carts.push_back(intro);
    int n = 0;
    for (const FixtureCart& cart : carts) {
        CartRecordBytes bytes =
            EncodeCartListRecord(CartListRecordFrom(testing::FixtureCartRecord(cart)));
        WriteSeed(out, "cart" + std::to_string(n++), std::string(bytes.data(), bytes.size()));
    }
    CartRecordBytes empty = EncodeCartListRecord(CartListRecordFrom(MakeEmptyCart(0, 0)));
    WriteSeed(out, "empty", std::string(empty.data(), empty.size()));
}

void IniFiles(const fs::path& out, const fs::path& scratch) {
    const fs::path wall = scratch / "wall";
    testing::WriteAudiowall(wall.string(), 1200, {{1, "Jingle", 12.5f}});
    const fs::path config = scratch / "VANTOR.INI";
    testing::WriteAudiowallLocations(config.string(), wall.string(), 1200);
    WriteProfileString(config.string(), "Audio", "EmptyCartBackColor", "2147483663");
    WriteProfileString(config.string(), "Audio", "FadeFire", "0.65");
    WriteProfileString(config.string(), "Audio", "Quoted", "\"  spaced  \"");
    for (const fs::path& file : {wall / "Audwall.ini", config}) {
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        WriteSeed(out, file.filename().string(), bytes);
    }
}

void RegistryFiles(const fs::path& out, const fs::path& scratch) {
    const fs::path windows = scratch / "windows";
    fs::create_directories(windows);
    ::setenv("VANTOR_WINDIR", windows.c_str(), 1);
    const std::string key = "SOFTWARE\\Tressel\\Vantor";
    WriteRegistryNumber(RegistryRoot::LocalMachine, key, "MultiConfigFile", 1, 0);
    WriteRegistryString(RegistryRoot::LocalMachine, key, "ConfigFile", "c:\\vantor\\studio2.ini",
                        "");
    WriteRegistryString(RegistryRoot::LocalMachine, key + "\\File Locations", "CartLocation1",
                        "d:\\carts", "");
    WriteRegistryNumber(RegistryRoot::CurrentUser, key, "Odd", -5, 0);
    std::ifstream in(windows / "registry.ini", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    WriteSeed(out, "registry.ini",
              bytes + "[HKEY_LOCAL_MACHINE\\" + key + "]\r\nOdd=hex:41,42\r\n");
}

void Dates(const fs::path& out) {
    const char* dates[] = {"7 March 2000", "Mar 7 2000",   "2000-03-07", "07/03/00",
                           "7.3.2000",     "31/02/00",     "31/12/9999", "Tuesday, March 07, 2000",
                           "1/1/29",       "dd mmmm yyyy", "y hh:nn:ss"};
    int n = 0;
    for (const char* date : dates) WriteSeed(out, "date" + std::to_string(n++), date);
}

// Small files of both versions with every readable type, a memo on a page of its own and one
// chained over pages, a column without a value of ours, and a deleted row.
void JetFiles(const fs::path& out, const fs::path& scratch) {
    using testing::JetColumn;
    testing::JetTable log{"Log",
                          {JetColumn("Title", FieldType::Text, 40), JetColumn("Cart", FieldType::Long),
                           JetColumn("Start", FieldType::DateTime), JetColumn("Length", FieldType::Single),
                           JetColumn("Played", FieldType::Boolean), JetColumn("Note", FieldType::Memo),
                           JetColumn("Price", testing::kJetMoney)},
                          {},
                          {1}};
    for (int n = 0; n < 6; ++n)
        log.rows.push_back({DbValue(std::string("Song ") + std::to_string(n)), DbValue(1000LL + n),
                            DbValue(36526.5 + n), DbValue(180.25), DbValue(n % 2 == 0),
                            n == 2 ? DbValue(std::string(5000, 'm'))
                                   : n == 3 ? DbValue(std::string(300, 'n')) : DbValue(),
                            DbValue()});
    testing::JetTable groups{"Groups", {JetColumn("Name", FieldType::Text, 20),
                                        JetColumn("Number", FieldType::Short)},
                             {{DbValue(std::string("Caf\xc3\xa9")), DbValue(7LL)}, {DbValue(), DbValue()}},
                             {}};
    for (auto [version, name] : {std::pair{testing::JetVersion::Jet3, "jet3.mdb"},
                                 std::pair{testing::JetVersion::Jet4, "jet4.mdb"}}) {
        const fs::path file = scratch / name;
        if (!testing::WriteJetFile(file.string(), version, {log, groups}).empty()) std::exit(1);
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        WriteSeed(out, name, bytes);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds OUTPUT_DIRECTORY\n");
        return 64;
    }
    const fs::path out = argv[1];
    const fs::path scratch = out / ".scratch";
    fs::remove_all(scratch);
    fs::create_directories(scratch);
    SchedulerLogs(out / "scheduler_log");
    BreakNotes(out / "break_note");
    CartRecords(out / "cart_record");
    IniFiles(out / "ini", scratch);
    RegistryFiles(out / "registry", scratch);
    Dates(out / "date");
    JetFiles(out / "jet_file", scratch);
    fs::remove_all(scratch);
    return 0;
}
