// Pictures the benchmarks make for themselves: a 24-bit BMP file of a given
// size, its pixels filled by the caller.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace bench_bmp {

constexpr uint32_t kPixelOffset = 54; // file header + 40-byte info header

inline uint32_t RowBytes(uint32_t width) {
    return (width * 3 + 3) / 4 * 4;
}

// A bottom-up 24-bit file of width by height with every pixel byte 0;
// the pixel rows start at kPixelOffset, the bottom row first.
inline std::vector<uint8_t> Blank24(uint32_t width, uint32_t height) {
    const uint32_t pixels = RowBytes(width) * height;
    std::vector<uint8_t> b(kPixelOffset + pixels);
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    put(0, 0x4D42, 2);
    put(2, kPixelOffset + pixels, 4);
    put(10, kPixelOffset, 4);
    put(14, 40, 4);
    put(18, width, 4);
    put(22, height, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, pixels, 4);
    return b;
}

inline bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace bench_bmp
