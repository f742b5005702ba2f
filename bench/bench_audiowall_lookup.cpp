// Looks up every cart of a full 9999-cart Audiowall, the way an import checks its scheduled
// carts: one record read from an open list per lookup. Beside it, the bare pread of the same
// records from the same open lists: what the lookup costs above the read itself. Both rates
// are per CPU-second.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <string>
#include <vector>

#include "audiowall/cart_numbers.h"

#include "audiowall/audiowall_store.h"
#include "support/scripted_user_interface.h"
#include "support/audiowall_fixture.h"
#include "support/temp_dir.h"

namespace {

using namespace vantor;

void BM_LookupEveryCart(benchmark::State& bench) {
    testing::TempDir dir;
    std::vector<testing::FixtureCart> carts;
    for (int32_t n = 1; n <= 9999; n += 3)
        carts.emplace_back(n, "Cart " + std::to_string(n), 30.0f + n % 200);
    testing::WriteAudiowall(dir.path(), 9999, carts);

    AudiowallState state;
    ScriptedUserInterface ui;
    testing::PointAudiowallAt(state, dir.path(), 9999);
    if (OpenAudiowall(state, ui, 0, true) == AudiowallOpening::Failed) {
        bench.SkipWithError("the Audiowall could not be connected");
        return;
    }
    int64_t withAudio = 0;
    for (auto _ : bench) {
        for (int32_t n = 1; n <= 9999; ++n) {
            CartLookupResult r = CartLookup(state, n);
            withAudio += r.cart.HasAudio();
            benchmark::DoNotOptimize(r);
        }
    }
    bench.counters["lookups"] = benchmark::Counter(static_cast<double>(bench.iterations()) * 9999,
                                                   benchmark::Counter::kIsRate);
    bench.counters["carts_with_audio_per_pass"] =
        static_cast<double>(withAudio) / static_cast<double>(bench.iterations());
    CloseAudiowall(state);
}
BENCHMARK(BM_LookupEveryCart)->Unit(benchmark::kMillisecond);

void BM_BarePreadEveryCart(benchmark::State& bench) {
    testing::TempDir dir;
    std::vector<testing::FixtureCart> carts;
    for (int32_t n = 1; n <= 9999; n += 3)
        carts.emplace_back(n, "Cart " + std::to_string(n), 30.0f + n % 200);
    testing::WriteAudiowall(dir.path(), 9999, carts);
    std::array<int, 12> fds{};
    for (int part = 1; part <= 11; ++part) {
        fds[part] = ::open((dir / testing::CartListName(part)).c_str(), O_RDONLY);
    }
    std::array<char, kCartRecordSize> record{};
    for (auto _ : bench) {
        for (int32_t n = 1; n <= 9999; ++n) {
            const off_t offset = static_cast<off_t>(RecordOfCart(n) - 1) * kCartRecordSize;
            benchmark::DoNotOptimize(::pread(fds[PartOfCart(n)], record.data(), record.size(), offset));
        }
    }
    bench.counters["reads"] = benchmark::Counter(static_cast<double>(bench.iterations()) * 9999,
                                                 benchmark::Counter::kIsRate);
    for (int part = 1; part <= 11; ++part) ::close(fds[part]);
}
BENCHMARK(BM_BarePreadEveryCart)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
