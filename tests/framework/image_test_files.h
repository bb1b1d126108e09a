// Small BMP files made by the image tests themselves, written to a
// temporary folder of the test process.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace image_test {

// A picture to encode. Pixels are listed top row first, left to right:
// 0xAARRGGBB for 16, 24 and 32 bits (alpha kept only at 32), a colour-table
// index at 8 bits and fewer.
struct Bmp {
    int32_t width = 0, height = 0;
    uint16_t bits = 24;
    std::vector<uint32_t> pixels;
    std::vector<uint32_t> palette; // 0x00RRGGBB, for 8 bits and fewer
    bool topDown = false;
    uint32_t headerSize = 40; // 12 writes the old core header
};

inline void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

inline std::vector<uint8_t> Encode(const Bmp& bmp) {
    const uint32_t rowBytes = (uint32_t(bmp.width) * bmp.bits + 31) / 32 * 4;
    const bool core = bmp.headerSize == 12;
    const uint32_t entrySize = core ? 3 : 4;
    const uint32_t offset = 14 + bmp.headerSize + uint32_t(bmp.palette.size()) * entrySize;
    const uint32_t imageBytes = rowBytes * uint32_t(bmp.height);
    std::vector<uint8_t> out;
    Put(out, 0x4D42, 2);
    Put(out, offset + imageBytes, 4);
    Put(out, 0, 4);
    Put(out, offset, 4);
    Put(out, bmp.headerSize, 4);
    if (core) {
        Put(out, uint32_t(bmp.width), 2);
        Put(out, uint32_t(bmp.height), 2);
        Put(out, 1, 2);
        Put(out, bmp.bits, 2);
    } else {
        Put(out, uint32_t(bmp.width), 4);
        Put(out, uint32_t(bmp.topDown ? -bmp.height : bmp.height), 4);
        Put(out, 1, 2);
        Put(out, bmp.bits, 2);
        Put(out, 0, 4); // uncompressed
        Put(out, imageBytes, 4);
        Put(out, 2835, 4);
        Put(out, 2835, 4);
        Put(out, uint32_t(bmp.palette.size()), 4);
        Put(out, 0, 4);
        while (out.size() < 14 + bmp.headerSize)
            out.push_back(0);
    }
    for (uint32_t colour : bmp.palette)
        Put(out, colour, int(entrySize));
    for (int32_t stored = 0; stored < bmp.height; ++stored) {
        const int32_t y = bmp.topDown ? stored : bmp.height - 1 - stored;
        const size_t start = out.size();
        uint32_t bitBuffer = 0;
        int bitCount = 0;
        for (int32_t x = 0; x < bmp.width; ++x) {
            const uint32_t p = bmp.pixels[size_t(y) * size_t(bmp.width) + size_t(x)];
            if (bmp.bits == 24) {
                Put(out, p, 3);
            } else if (bmp.bits == 32) {
                Put(out, p, 4);
            } else if (bmp.bits == 16) { // 5-5-5
                Put(out, (p >> 19 & 31) << 10 | (p >> 11 & 31) << 5 | (p >> 3 & 31), 2);
            } else {
                bitBuffer = bitBuffer << bmp.bits | (p & ((1u << bmp.bits) - 1));
                bitCount += bmp.bits;
                if (bitCount == 8) {
                    out.push_back(uint8_t(bitBuffer));
                    bitBuffer = 0;
                    bitCount = 0;
                }
            }
        }
        if (bitCount > 0) out.push_back(uint8_t(bitBuffer << (8 - bitCount)));
        while (out.size() - start < rowBytes)
            out.push_back(0);
    }
    return out;
}

// One folder per test process. A death test's child process inherits the
// folder through the environment, so that it leaves nothing behind when it
// ends without clean-up.
inline std::string Folder() {
    static const std::string folder = [] {
        const char* inherited = std::getenv("QUORVEL_IMAGE_TEST_FOLDER");
        std::string path = inherited ? inherited
                                     : (std::filesystem::temp_directory_path() /
                                        ("quorvel-image-test-" + std::to_string(getpid())))
                                           .string();
        std::filesystem::create_directories(path);
        setenv("QUORVEL_IMAGE_TEST_FOLDER", path.c_str(), 1);
        return path;
    }();
    return folder;
}

inline std::string WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = Folder() + "/" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file) {
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    return path;
}

inline std::string Write(const std::string& name, const Bmp& bmp) {
    return WriteBytes(name, Encode(bmp));
}

// A picture of one colour everywhere.
inline Bmp Plain(int32_t width, int32_t height, uint16_t bits, uint32_t colour) {
    Bmp bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.bits = bits;
    bmp.pixels.assign(size_t(width) * size_t(height), colour);
    return bmp;
}

// Removes the folder when the process that made it ends normally. It keeps
// its own copy of the name: it may outlive the one Folder() holds.
struct FolderCleanup {
    FolderCleanup() : made(std::getenv("QUORVEL_IMAGE_TEST_FOLDER") == nullptr), path(Folder()) {}
    ~FolderCleanup() {
        if (!made) return;
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    bool made;
    std::string path;
};

} // namespace image_test
