// Loading a 2048 by 2048 24-bit BMP as a DIB section (LoadImageA), against
// the floor of reading the same file and copying its bytes once.
#include <windows.h>

#include <benchmark/benchmark.h>

#include <fcntl.h>

#include <cstdio>
#include <memory>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kSide = 2048;

const std::string& PictureFile() {
    static const std::string path = [] {
        const size_t stride = size_t(kSide) * 3;
        const size_t off = 54;
        std::vector<uint8_t> b(off + stride * kSide);
        auto put32 = [&](size_t at, uint32_t v) {
            for (int i = 0; i < 4; ++i)
                b[at + size_t(i)] = uint8_t(v >> (8 * i));
        };
        b[0] = 'B', b[1] = 'M';
        put32(2, uint32_t(b.size()));
        put32(10, uint32_t(off));
        put32(14, 40);
        put32(18, kSide);
        put32(22, kSide);
        b[26] = 1, b[28] = 24;
        for (size_t i = off; i < b.size(); ++i)
            b[i] = uint8_t(i * 2654435761u >> 24);
        std::string p = (std::filesystem::temp_directory_path() /
                         ("qv_gdi_bench_" + std::to_string(getpid()) + ".bmp"))
                            .string();
        std::FILE* f = std::fopen(p.c_str(), "wb");
        std::fwrite(b.data(), 1, b.size(), f);
        std::fclose(f);
        return p;
    }();
    return path;
}

void BM_LoadImage24(benchmark::State& state) {
    const std::string& path = PictureFile();
    for (auto _ : state) {
        HANDLE h = LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                              LR_LOADFROMFILE | LR_CREATEDIBSECTION);
        if (!h) state.SkipWithError("LoadImageA failed");
        benchmark::DoNotOptimize(h);
        DeleteObject(h);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) *
                            int64_t(std::filesystem::file_size(path)));
}

// Reads the whole file into `file` and copies its bytes once into `copy`.
void ReadAndCopy(benchmark::State& state, const std::string& path, size_t size, uint8_t* file,
                 uint8_t* copy) {
    int fd = open(path.c_str(), O_RDONLY);
    size_t done = 0;
    while (fd >= 0 && done < size) {
        ssize_t n = pread(fd, file + done, size - done, off_t(done));
        if (n <= 0) break;
        done += size_t(n);
    }
    if (fd >= 0) close(fd);
    if (done != size) state.SkipWithError("read failed");
    std::memcpy(copy, file, size);
    benchmark::DoNotOptimize(copy);
}

// The floor: read the whole file into memory and copy its bytes once.
void BM_ReadAndCopyFloor(benchmark::State& state) {
    const std::string& path = PictureFile();
    const size_t size = size_t(std::filesystem::file_size(path));
    for (auto _ : state) {
        // Fresh, uninitialised buffers, as a loader would need.
        std::unique_ptr<uint8_t[]> file(new uint8_t[size]), copy(new uint8_t[size]);
        ReadAndCopy(state, path, size, file.get(), copy.get());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}

// The same floor with both buffers allocated once, outside the loop: what
// reading and copying cost when no page has to be faulted in.
void BM_ReadAndCopyWarmFloor(benchmark::State& state) {
    const std::string& path = PictureFile();
    const size_t size = size_t(std::filesystem::file_size(path));
    std::unique_ptr<uint8_t[]> file(new uint8_t[size]()), copy(new uint8_t[size]());
    for (auto _ : state)
        ReadAndCopy(state, path, size, file.get(), copy.get());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
}

} // namespace

BENCHMARK(BM_LoadImage24)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndCopyFloor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndCopyWarmFloor)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove(PictureFile());
    return 0;
}
