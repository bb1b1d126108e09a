// Reading a BMP file's bit depth from its headers.
#include "quorvel/image.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace quorvel {

namespace {

constexpr uint16_t BmpSignature = 19778; // the letters "BM", little-endian
constexpr uint32_t CoreHeaderSize = 12;

uint16_t Read16(const uint8_t* bytes) {
    return uint16_t(bytes[0] | bytes[1] << 8);
}
uint32_t Read32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

// A file "exists" for this purpose when it is there and is not a directory.
bool FileExists(const char* name) {
    std::error_code error;
    auto status = std::filesystem::status(name, error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

} // namespace

int32_t GETBMPDEPTH(const char* BMPFILE) {
    if (!BMPFILE || !FileExists(BMPFILE)) return 0;
    std::FILE* file = std::fopen(BMPFILE, "rb");
    // A texture file that is damaged, cut short or unreadable must not end
    // the program: the loader then treats it as "not a BMP" and the slot
    // gets its image-less texture.
    if (!file) return 0;
    int32_t depth = 0;
    uint8_t fileHeader[14], infoHeader[40];
    if (std::fread(fileHeader, 1, sizeof fileHeader, file) == sizeof fileHeader &&
        Read16(fileHeader) == BmpSignature &&
        std::fread(infoHeader, 1, sizeof infoHeader, file) == sizeof infoHeader &&
        Read32(infoHeader) != CoreHeaderSize) {
        // biBitCount, file offset 28. Nothing else is examined: compressed
        // files and newer, larger headers still report their bit count.
        depth = Read16(infoHeader + 14);
    }
    std::fclose(file);
    return depth;
}

} // namespace quorvel
