// Builds a demonstration installation: a configuration file, a data location, an Audiowall
// of a few hundred carts with audio, a Kora playout database, and a week of scheduler logs
// (with break notes, and some carts the Audiowall does not have) starting tomorrow, two
// accounts (MANAGER, who may import, and GUEST, who may not), and the update notes in its
// program directory, as the package installs them. Prints the environment the program needs
// to find it, as shell assignments.
//
//   vantor-demo-installation DIRECTORY [DAYS]

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/clock.h"
#include "common/paths.h"
#include "common/platform_dirs.h"
#include "common/profile.h"
#include "demo/kora_installation.h"

namespace {

using vantor::demo::FixtureCart;
using vantor::demo::InstallationOptions;
using vantor::demo::KoraInstallation;
using vantor::demo::LogItem;
using vantor::demo::SchedulerDate;
using vantor::demo::SchedulerLogWriter;

const char* const kArtists[] = {"The Harbour Lights", "Mara Quell",   "Northbound",
                                "Elsie Vane",         "Copper Kites", "Dunmore Road",
                                "Ivy Calder",         "The Low Tide", "Saffron Lane"};
const char* const kWords[] = {"Morning",  "River",   "Golden", "Summer", "Paper", "Silver",
                              "Midnight", "Harbour", "Wild",   "Quiet",  "Blue",  "Electric"};
const char* const kNouns[] = {"Light",  "Road", "Heart", "Town",   "Rain", "Sky",
                              "Dreams", "Fire", "Song",  "Garden", "Line", "Echo"};

constexpr int kFirstSong = 3000;
constexpr int kSongCount = 300;
constexpr int kFirstAdvert = 1001;
constexpr int kAdvertCount = 60;
constexpr int kJingleCount = 40;
// Songs the scheduler knows but nobody has recorded yet: scheduled now and then, reported by
// the import as missing.
constexpr int kMissingSong = 6500;

std::string SongTitle(int n) {
    return std::string(kWords[n % 12]) + " " + kNouns[(n / 12) % 12];
}

std::vector<FixtureCart> DemoCarts() {
    std::vector<FixtureCart> carts;
    for (int i = 0; i < kJingleCount; ++i)
        carts.push_back({1 + i, "Station ID " + std::to_string(i + 1), 6.0f + i % 9});
    for (int i = 0; i < 20; ++i)
        carts.push_back({501 + i, "Sweeper " + std::to_string(i + 1), 4.0f + i % 4});
    for (int i = 0; i < kAdvertCount; ++i)
        carts.push_back({kFirstAdvert + i, "Advert client " + std::to_string(i + 1),
                         i % 3 == 0 ? 20.0f : 30.0f});
    for (int i = 0; i < kSongCount; ++i) {
        FixtureCart song(kFirstSong + i, SongTitle(i), 205.0f + (i * 7) % 50);
        song.title2 = kArtists[i % 9];
        song.introEnd = 6.0f + i % 10;
        carts.push_back(song);
    }
    return carts;
}

SchedulerLogWriter DemoDay(int32_t day, int dayIndex) {
    SchedulerLogWriter log;
    for (int hour = 0; hour < 24; ++hour) {
        const int seed = dayIndex * 24 + hour;
        log.Header(SchedulerDate(day), hour, "Demo clock " + std::to_string(hour % 4 + 1));
        log.Note("$T00:00 Top of the hour");
        log.Item(std::to_string(1 + seed % kJingleCount), "Station ID");
        for (int slot = 0; slot < 16; ++slot) {
            const int n = (seed * 17 + slot * 5) % kSongCount;
            LogItem song;
            song.cart = std::to_string(kFirstSong + n);
            // Every few hours one song that has not been recorded yet.
            if (slot == 7 && seed % 5 == 0) song.cart = std::to_string(kMissingSong + seed % 10);
            song.title = SongTitle(n);
            song.description2 = kArtists[n % 9];
            song.ending = slot % 3 == 0 ? "F" : "E";
            song.endCode = 'N';
            log.Item(song);
            if (slot == 7) {
                log.Note("$$ 00:30:00 Advert break");
                for (int a = 0; a < 3; ++a)
                    log.Item(std::to_string(kFirstAdvert + (seed * 3 + a) % kAdvertCount),
                             "Advert");
                log.Item(std::to_string(501 + seed % 20), "Sweeper");
            }
            if (slot == 11) log.Note("Weather and travel", "", "1:30");
        }
    }
    return log;
}

// The update notes the build puts beside its programs, or the ones an installed package ships.
std::filesystem::path ShippedUpdateNotes() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return {};
    const std::filesystem::path beside = self.parent_path() / "Updates.txt";
    if (std::filesystem::is_regular_file(beside, ec)) return beside;
    const std::string installed = vantor::InstalledDataDirectoryOf(self.string());
    if (!installed.empty()) return std::filesystem::path(installed) / "Updates.txt";
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    // A station on a database server keeps its playout database there; the rest of the
    // installation stays in the directory.
    std::string server;
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        const std::string serverOption = "--database-server=";
        if (word.rfind(serverOption, 0) == 0)
            server = word.substr(serverOption.size());
        else
            words.push_back(word);
    }
    if (words.empty() || words.size() > 2) {
        std::cerr << "usage: vantor-demo-installation DIRECTORY [DAYS] "
                     "[--database-server=CONNINFO]\n";
        return 64;
    }
    const std::string directory = words[0];
    const int days = words.size() > 1 ? std::atoi(words[1].c_str()) : 7;
    try {
        InstallationOptions options;
        options.databaseServer = server;
        options.carts = DemoCarts();
        options.description = "Demo FM";
        options.autoPurgeDays = 30;
        // A demo hour is about 58 minutes of audio: only hours shorter than 55 minutes are
        // reported.
        options.underrunningDuration = 55 * 60;
        // Someone who may import (and manage the playout databases) and someone who may not;
        // the login asks for them once "Users must Login" is turned on.
        options.accounts = {{"MANAGER", "MANAGER", "5,6"}, {"GUEST", "GUEST", ""}};
        KoraInstallation station(directory, options);

        vantor::SystemClock clock;
        const int32_t tomorrow = clock.Today() + 1;
        for (int i = 0; i < days; ++i) station.WriteLog(tomorrow + i, DemoDay(tomorrow + i, i));

        // Help -> "Update Information" shows the notes of the program directory; a station
        // that runs the package finds them there or in the package's own directory.
        const std::filesystem::path notes = ShippedUpdateNotes();
        if (notes.empty()) throw std::runtime_error("the update notes (Updates.txt) are missing");
        std::filesystem::copy_file(notes,
                                   std::filesystem::path(station.programDirectory) / "Updates.txt",
                                   std::filesystem::copy_options::overwrite_existing);

        for (const auto& [name, value] : station.Environment())
            std::cout << name << "='" << value << "'\n";
    } catch (const std::exception& e) {
        std::cerr << "vantor-demo-installation: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
