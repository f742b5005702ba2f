// A search of a full Audiowall for a text that is on no cart, the way the find dialog runs it:
// one cart after another, each looked up afresh, and pending window events handed on after
// every cart so that the window stays usable. Measured beside the bound of a bare sequential
// read of the same cart lists.
//
// The Audiowall holds 109,989 carts, 11 x 9999: parts 1 to 10 hold 1000 carts each, as the
// store's layout has it, and part 11 the rest. Every cart has three title lines and a notes
// file of about 550 characters. Options: --max-cart=N for a smaller store.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "audiowall/audiowall_store.h"
#include "audiowall/cart_notes_index.h"
#include "audiowall/cart_numbers.h"
#include "audiowall/find_cart_model.h"
#include "config/system_locations.h"
#include "find_cart.h"
#include "support/audiowall_fixture.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"

namespace {

using namespace vantor;

int32_t gMaxCart = 11 * 9999;
const char* const kAbsentText = "zebra crossing at dawn";
std::unique_ptr<testing::TempDir> gStore;

// Hands events on to Qt, as the desktop program's interface does.
class QtEventsUserInterface : public ScriptedUserInterface {
  public:
    void ProcessEvents() override { QCoreApplication::processEvents(); }
};

// The scripted interface hands nothing on: the search's own cost.
class NoEventsUserInterface : public ScriptedUserInterface {
  public:
    void ProcessEvents() override {}
};

void BuildStore() {
    gStore = std::make_unique<testing::TempDir>();
    std::vector<testing::FixtureCart> carts;
    carts.reserve(static_cast<size_t>(gMaxCart));
    const char* artists[] = {"The Harbour Lights", "Mira Calloway", "Northbound", "Elsa Frey"};
    for (int32_t n = 1; n <= gMaxCart; ++n) {
        testing::FixtureCart cart(n, std::string(artists[n % 4]),
                                  150.0f + static_cast<float>(n % 120));
        cart.title2 = "Song number " + std::to_string(n);
        cart.title3 = "Album " + std::to_string(n % 500);
        carts.push_back(std::move(cart));
    }
    testing::WriteAudiowall(gStore->path(), gMaxCart, carts);
    std::string notes;
    for (int i = 0; i < 8; ++i)
        notes += "Intro over the first eight bars, fade early into the news jingle. ";
    for (int32_t n = 1; n <= gMaxCart; ++n)
        testing::WriteCartNotes(gStore->path(), n, "Cart " + std::to_string(n) + ": " + notes);
}

// The bound: every record of every list read in order, 300 bytes at a time, nothing decoded.
void BM_BareSequentialRead(benchmark::State& bench) {
    std::vector<char> record(kCartRecordSize);
    int64_t records = 0;
    for (auto _ : bench) {
        for (int part = 1; part <= LastPartInUse(gMaxCart); ++part) {
            std::string path = gStore->path() + "/" + testing::CartListName(part);
            std::FILE* file = std::fopen(path.c_str(), "rb");
            if (!file) {
                bench.SkipWithError("a cart list is missing");
                return;
            }
            while (std::fread(record.data(), 1, record.size(), file) == record.size()) {
                benchmark::DoNotOptimize(record.data());
                ++records;
            }
            std::fclose(file);
        }
    }
    bench.counters["carts_per_second"] =
        benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsRate);
}

// One search over the whole store; the rate counts every cart visited.
void RunSearch(benchmark::State& bench, UserInterface& ui, bool notes, bool inWindow,
               const char* text = kAbsentText) {
    AudiowallState state;
    testing::PointAudiowallAt(state, gStore->path(), gMaxCart);
    if (OpenAudiowall(state, ui, 0, true) == AudiowallOpening::Failed) {
        bench.SkipWithError("the Audiowall could not be connected");
        return;
    }
    SystemLocations locations;
    locations.SearchCartNotes = notes ? 1 : 0;
    FindCartModel::RecentSearches recent;
    FindCartModel model(state, ui, locations, recent);
    std::unique_ptr<gui::FindCart> window;
    if (inWindow) window = std::make_unique<gui::FindCart>(model);
    model.CartStartNumber = 1;
    model.Show();
    model.SetSearchText(text);
    size_t expectedRows = text == kAbsentText ? 1 : static_cast<size_t>(gMaxCart);
    for (auto _ : bench) {
        model.Find();
        if (model.Rows().size() != expectedRows) {
            bench.SkipWithError("the search did not find what it should");
            return;
        }
    }
    bench.counters["carts_per_second"] = benchmark::Counter(
        static_cast<double>(bench.iterations()) * gMaxCart, benchmark::Counter::kIsRate);
    CloseAudiowall(state);
}

// The find dialog on screen, handing Qt's events on after every cart: what the operator waits.
void BM_FindTitlesInWindow(benchmark::State& bench) {
    QtEventsUserInterface ui;
    RunSearch(bench, ui, false, true);
}
void BM_FindTitlesAndNotesInWindow(benchmark::State& bench) {
    QtEventsUserInterface ui;
    RunSearch(bench, ui, true, true);
}
// Every cart a match ("*"): the list fills with a row a cart, the worst case for the window.
void BM_FindEveryCartInWindow(benchmark::State& bench) {
    QtEventsUserInterface ui;
    RunSearch(bench, ui, false, true, "*");
}
// The same searches without a window or any hand-over: what the hand-over costs.
void BM_FindTitlesWithoutHandOver(benchmark::State& bench) {
    NoEventsUserInterface ui;
    RunSearch(bench, ui, false, false);
}
void BM_FindTitlesAndNotesWithoutHandOver(benchmark::State& bench) {
    NoEventsUserInterface ui;
    RunSearch(bench, ui, true, false);
}

// Where the notes files are looked up, on one part as the playout programs fill it: a thousand
// carts, each with its audio file, one in ten with notes. Cart by cart, every cart without
// notes costs a scan of the directory for another spelling of the name; the index lists the
// directory once.
struct RealisticPart {
    testing::TempDir dir;
    AudiowallState state;
    RealisticPart() {
        testing::WriteAudiowall(dir.path(), 1000, {});
        testing::PointAudiowallAt(state, dir.path(), 1000);
        for (int32_t n = 1; n <= 1000; ++n) {
            char name[32];
            std::snprintf(name, sizeof name, "VNT%05d.WAV", static_cast<int>(n));
            dir.WriteFile(name, "RIFF");
            if (n % 10 == 0) testing::WriteCartNotes(dir.path(), n, "Read the sponsor line.");
        }
    }
};

void BM_NotesOfAPartCartByCart(benchmark::State& bench) {
    RealisticPart part;
    for (auto _ : bench) {
        for (int32_t n = 1; n <= 1000; ++n) {
            bool exists = false;
            benchmark::DoNotOptimize(CartNotesFile(part.state, n, exists));
        }
    }
    bench.counters["carts_per_second"] = benchmark::Counter(
        static_cast<double>(bench.iterations()) * 1000, benchmark::Counter::kIsRate);
}

void BM_NotesOfAPartIndexed(benchmark::State& bench) {
    RealisticPart part;
    for (auto _ : bench) {
        CartNotesIndex index(part.state);  // one index per search
        for (int32_t n = 1; n <= 1000; ++n) benchmark::DoNotOptimize(index.NotesFile(n));
    }
    bench.counters["carts_per_second"] = benchmark::Counter(
        static_cast<double>(bench.iterations()) * 1000, benchmark::Counter::kIsRate);
}

BENCHMARK(BM_NotesOfAPartCartByCart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NotesOfAPartIndexed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareSequentialRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindTitlesInWindow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindTitlesWithoutHandOver)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindEveryCartInWindow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindTitlesAndNotesInWindow)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindTitlesAndNotesWithoutHandOver)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--max-cart=", 11) == 0)
            gMaxCart = std::max(1, std::atoi(argv[i] + 11));
        else
            rest.push_back(argv[i]);
    }
    // The window needs no display.
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int qtArgc = 1;
    QApplication application(qtArgc, argv);

    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data())) return 1;
    BuildStore();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gStore.reset();
    return 0;
}
