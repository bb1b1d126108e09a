// BITMAPTOREGION on pictures with random transparency, against the floor of
// building the same region from the same runs in a single region call.
#include <benchmark/benchmark.h>

#include <quorvel.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench_bmp.h"

namespace {

constexpr uint32_t Key = 0xFF00FF; // magenta, as BITMAPTOREGION reads it

// A 24-bit picture of side x side where each pixel is the key colour with
// probability one half, and the runs of the other pixels.
struct Picture {
    std::string path;
    std::vector<RECT> runs;
    ~Picture() { std::filesystem::remove(path); }
};

const Picture& Random(int side) {
    static std::map<int, Picture> made;
    auto found = made.find(side);
    if (found != made.end()) return found->second;
    Picture& p = made[side];
    p.path =
        (std::filesystem::temp_directory_path() /
         ("quorvel-region-bench-" + std::to_string(getpid()) + "-" + std::to_string(side) + ".bmp"))
            .string();
    const uint32_t row = bench_bmp::RowBytes(uint32_t(side)), offset = bench_bmp::kPixelOffset;
    std::vector<uint8_t> b = bench_bmp::Blank24(uint32_t(side), uint32_t(side));
    uint32_t seed = 2463534242u;
    std::vector<bool> opaque(size_t(side) * size_t(side));
    for (size_t i = 0; i < opaque.size(); ++i) {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        opaque[i] = seed & 1;
    }
    for (int y = 0; y < side; ++y) { // y from the top; the file stores the bottom row first
        uint8_t* out = b.data() + offset + size_t(side - 1 - y) * row;
        for (int x = 0; x < side; ++x) {
            const bool o = opaque[size_t(y) * size_t(side) + size_t(x)];
            out[x * 3 + 0] = o ? 0x20 : 0xFF; // blue
            out[x * 3 + 1] = o ? 0x80 : 0x00; // green
            out[x * 3 + 2] = o ? 0x40 : 0xFF; // red
        }
        for (int x = 0; x < side;) {
            int x0 = x;
            while (x < side && opaque[size_t(y) * size_t(side) + size_t(x)])
                ++x;
            if (x > x0) p.runs.push_back(RECT{x0, y, x, y + 1});
            ++x;
        }
    }
    bench_bmp::Write(p.path, b);
    return p;
}

void BM_BitmapToRegion(benchmark::State& state) {
    const Picture& p = Random(int(state.range(0)));
    for (auto _ : state) {
        HRGN region = quorvel::BITMAPTOREGION(p.path, Key, 0);
        if (!region) return state.SkipWithError("no region");
        DeleteObject(region);
    }
    state.counters["runs"] = double(p.runs.size());
}
BENCHMARK(BM_BitmapToRegion)->Arg(1024)->Arg(2048)->Unit(benchmark::kMillisecond);

// The floor: the same runs, already found, given to one region call.
void BM_OneCallFromTheSameRuns(benchmark::State& state) {
    const Picture& p = Random(int(state.range(0)));
    std::vector<uint8_t> block(sizeof(RGNDATAHEADER) + sizeof(RECT) * p.runs.size());
    auto* data = reinterpret_cast<RGNDATA*>(block.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = DWORD(p.runs.size());
    data->rdh.nRgnSize = 0;
    data->rdh.rcBound = RECT{0, 0, LONG(state.range(0)), LONG(state.range(0))};
    std::memcpy(data->Buffer, p.runs.data(), sizeof(RECT) * p.runs.size());
    for (auto _ : state) {
        HRGN region = ExtCreateRegion(nullptr, DWORD(block.size()), data);
        if (!region) return state.SkipWithError("no region");
        DeleteObject(region);
    }
    state.counters["runs"] = double(p.runs.size());
}
BENCHMARK(BM_OneCallFromTheSameRuns)->Arg(1024)->Arg(2048)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
