// Loading a 2048 by 2048 24-bit BMP as a texture (decode, in-place
// conversion, upload), against the floor of reading the file and copying
// its bytes once, with the load's own steps measured apart.
#include <benchmark/benchmark.h>

#include <quorvel.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "bench_bmp.h"
#include "host/host.h"

namespace {

constexpr int Side = 2048;

// A picture worth uploading: a gradient with some noise, so nothing about
// it is uniform.
struct TempFile {
    std::string path;
    ~TempFile() { std::filesystem::remove(path); }
};

const std::string& PicturePath() {
    static const TempFile file{[] {
        const std::string p = (std::filesystem::temp_directory_path() /
                               ("quorvel-texture-bench-" + std::to_string(getpid()) + ".bmp"))
                                  .string();
        std::vector<uint8_t> b = bench_bmp::Blank24(Side, Side);
        uint32_t seed = 12345;
        for (size_t i = bench_bmp::kPixelOffset; i < b.size(); ++i) {
            seed = seed * 1664525u + 1013904223u;
            b[i] = uint8_t((i / 7) ^ (seed >> 24));
        }
        bench_bmp::Write(p, b);
        return p;
    }()};
    return file.path;
}

struct Context {
    Context() {
        qv::host::WindowDesc desc;
        desc.title_utf8 = "texture benchmark";
        desc.width = desc.height = 16;
        desc.decorated = false;
        desc.visible = false;
        window = qv::host::CreateNativeWindow(desc);
        context = window ? qv::host::CreateGLContext(window, 1) : 0;
        ok = context && qv::host::MakeCurrent(window, context);
    }
    ~Context() {
        if (context) qv::host::DeleteGLContext(context);
        if (window) qv::host::DestroyNativeWindow(window);
    }
    uint32_t window = 0, context = 0;
    bool ok = false;
};

Context& Gl() {
    static Context context;
    return context;
}

void Bytes(benchmark::State& state) {
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Side) * Side * 3);
}

void BM_TextureLoad(benchmark::State& state) {
    if (!Gl().ok) return state.SkipWithError("no GL context");
    const std::string& path = PicturePath();
    for (auto _ : state) {
        quorvel::TEXTURELOADID(path.c_str(), 0);
        glFinish();
    }
    Bytes(state);
}
BENCHMARK(BM_TextureLoad)->Unit(benchmark::kMillisecond);

// The floor: the file read into memory and its bytes copied once.
void BM_ReadAndCopyOnce(benchmark::State& state) {
    const std::string& path = PicturePath();
    const size_t size = std::filesystem::file_size(path);
    std::vector<uint8_t> file(size), copy(size);
    for (auto _ : state) {
        FILE* f = std::fopen(path.c_str(), "rb");
        size_t got = std::fread(file.data(), 1, size, f);
        std::fclose(f);
        std::memcpy(copy.data(), file.data(), got);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    Bytes(state);
}
BENCHMARK(BM_ReadAndCopyOnce)->Unit(benchmark::kMillisecond);

// The load's parts: decoding, the byte swap, the upload.
void BM_DecodeOnly(benchmark::State& state) {
    const std::string& path = PicturePath();
    for (auto _ : state) {
        HANDLE bitmap = LoadImageA(GetModuleHandleA(nullptr), path.c_str(), IMAGE_BITMAP, 0, 0,
                                   LR_CREATEDIBSECTION | LR_LOADTRANSPARENT | LR_LOADFROMFILE);
        benchmark::DoNotOptimize(bitmap);
        DeleteObject(bitmap);
    }
    Bytes(state);
}
BENCHMARK(BM_DecodeOnly)->Unit(benchmark::kMillisecond);

void BM_SwapOnly(benchmark::State& state) {
    std::vector<uint8_t> pixels(size_t(Side) * Side * 3, 7);
    for (auto _ : state) {
        quorvel::SWAPRGB(pixels.data(), Side * Side);
        benchmark::ClobberMemory();
    }
    Bytes(state);
}
BENCHMARK(BM_SwapOnly)->Unit(benchmark::kMillisecond);

void BM_UploadOnly(benchmark::State& state) {
    if (!Gl().ok) return state.SkipWithError("no GL context");
    std::vector<uint8_t> pixels(size_t(Side) * Side * 3, 7);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    for (auto _ : state) {
        glTexImage2D(GL_TEXTURE_2D, 0, 3, Side, Side, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        glFinish();
    }
    glDeleteTextures(1, &name);
    Bytes(state);
}
BENCHMARK(BM_UploadOnly)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
