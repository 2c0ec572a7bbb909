// One DS1977 page written and read through the program's routines against the
// emulated reader: the program's own time (routines and emulation together)
// against the time the same transfer takes on a real 1-Wire line.
//
// Counters per page: line_ms (standard speed, strong pull-ups included),
// line_od_ms (overdrive), and program_share = program time / line time at
// standard speed, the fraction of a real transfer the program adds.
#include "ibutton/EmulatedBus.h"
#include "ibutton/EmulatedDS1977.h"
#include "ibutton/KeyPassword.h"
#include "ibutton/PageTransfer.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

using namespace onewire;

namespace {

struct Reader
{
    EmulatedBus bus;
    std::shared_ptr<EmulatedDS1977> key;
    KeyTransferContext ctx;
    Reader()
    {
        bus.attachReaderChip();
        key = std::make_shared<EmulatedDS1977>(makeRomId(0x37, 0x77));
        key->setPasswords(keyPassword(), keyPassword(), true);
        bus.attach(key);
        ctx.bus = &bus;
        for (size_t i = 0; i < 8; ++i)
            ctx.rom[i] = key->romId()[i];
    }
};

template <typename Transfer>
void runTransfer(benchmark::State &state, Reader &r, Transfer transfer)
{
    r.bus.resetBusTime();
    long long pages = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const bool ok = transfer(int(pages % 511));
        benchmark::DoNotOptimize(ok);
        if (!ok)
            state.SkipWithError("transfer failed");
        ++pages;
    }
    const double programMicros =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    const BusTime &t = r.bus.busTime();
    if (pages == 0)
        return;
    state.counters["line_ms"] = t.standardTotalMicros() / double(pages) / 1000.0;
    state.counters["line_od_ms"] = t.overdriveTotalMicros() / double(pages) / 1000.0;
    state.counters["program_share"] = programMicros / t.standardTotalMicros();
}

void BM_WritePage(benchmark::State &state)
{
    Reader r;
    PageData data{};
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(i * 5);
    runTransfer(state, r, [&](int page) { return WriteDS1977Data(r.ctx, page, data); });
}
BENCHMARK(BM_WritePage);

void BM_ReadPage(benchmark::State &state)
{
    Reader r;
    PageReadBuffer out{};
    runTransfer(state, r, [&](int page) { return ReadDS1977Data(r.ctx, page, out); });
}
BENCHMARK(BM_ReadPage);

} // namespace

BENCHMARK_MAIN();
