// ORing a region that lies wholly below another into it, as the bitmap
// region scan does with every batch: the cost should follow the rectangles
// added, not the size of the region they are added to. The same OR with the
// batch placed above (where a general union is needed) is the contrast.
#include <windows.h>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kBatch = 100; // rectangles added per OR

// One rectangle per row, spans alternating so no two rows merge.
HRGN Rows(int first_row, int rows) {
    std::vector<char> buf(sizeof(RGNDATAHEADER) + size_t(rows) * sizeof(RECT));
    auto* d = reinterpret_cast<RGNDATA*>(buf.data());
    d->rdh = {sizeof(RGNDATAHEADER), RDH_RECTANGLES, DWORD(rows), 0, {0, 0, 0, 0}};
    auto* r = reinterpret_cast<RECT*>(d->Buffer);
    for (int i = 0; i < rows; ++i) {
        int y = first_row + i;
        r[i] = RECT{(y % 2) * 3, y, 10 + (y % 2) * 3, y + 1};
    }
    return ExtCreateRegion(nullptr, DWORD(buf.size()), d);
}

void OrBatches(benchmark::State& state, bool below) {
    const int existing = int(state.range(0));
    HRGN result = below ? Rows(0, existing) : Rows(1 << 24, existing);
    int next = below ? existing : (1 << 24) - kBatch;
    for (auto _ : state) {
        state.PauseTiming();
        HRGN part = Rows(next, kBatch);
        next += below ? kBatch : -kBatch;
        state.ResumeTiming();
        benchmark::DoNotOptimize(CombineRgn(result, result, part, RGN_OR));
        state.PauseTiming();
        DeleteObject(part);
        state.ResumeTiming();
    }
    state.counters["rects_added_per_s"] =
        benchmark::Counter(double(state.iterations()) * kBatch, benchmark::Counter::kIsRate);
    DeleteObject(result);
}

void BM_OrBelow(benchmark::State& state) {
    OrBatches(state, true);
}
void BM_OrAbove(benchmark::State& state) {
    OrBatches(state, false);
}

} // namespace

BENCHMARK(BM_OrBelow)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OrAbove)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(200)
    ->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
