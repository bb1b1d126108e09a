// Writes the BMP fuzzer's seed corpus into the folder given: tiny pictures
// of the project's own in each header size, depth, compression and row
// order the decoder reads, and a few it refuses.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes& b, size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

Bytes Make(uint32_t header, int bpp, uint32_t compression, int width, int height,
           const uint32_t* masks = nullptr) {
    const int rows = height < 0 ? -height : height;
    const size_t entry = header == 12 ? 3 : 4;
    const size_t colors = bpp <= 8 ? size_t(1) << bpp : 0;
    const size_t mask_bytes = header == 40 && compression == 3 ? 12 : 0;
    const size_t off = 14 + header + mask_bytes + colors * entry;
    const size_t stride = (size_t(width) * size_t(bpp) + 31) / 32 * 4;
    Bytes b(off + stride * size_t(rows), 0);
    b[0] = 'B', b[1] = 'M';
    Put(b, 2, uint32_t(b.size()), 4);
    Put(b, 10, uint32_t(off), 4);
    Put(b, 14, header, 4);
    if (header == 12) {
        Put(b, 18, uint32_t(width), 2), Put(b, 20, uint32_t(rows), 2);
        Put(b, 22, 1, 2), Put(b, 24, uint32_t(bpp), 2);
    } else {
        Put(b, 18, uint32_t(width), 4), Put(b, 22, uint32_t(height), 4);
        Put(b, 26, 1, 2), Put(b, 28, uint32_t(bpp), 2), Put(b, 30, compression, 4);
        if (masks)
            for (int i = 0; i < 3; ++i)
                Put(b, 54 + 4 * size_t(i), masks[i], 4);
    }
    for (size_t i = 0; i < colors; ++i)
        for (size_t k = 0; k < 3; ++k)
            b[14 + header + mask_bytes + i * entry + k] = uint8_t(i * (k + 3));
    for (size_t i = off; i < b.size(); ++i)
        b[i] = uint8_t(i * 37);
    return b;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const uint32_t m565[3] = {0xF800, 0x07E0, 0x001F};
    const uint32_t m888[3] = {0x000000FF, 0x0000FF00, 0x00FF0000};
    struct Seed {
        const char* name;
        Bytes bytes;
    } seeds[] = {
        {"core1", Make(12, 1, 0, 9, 3)},
        {"core4", Make(12, 4, 0, 5, 2)},
        {"core8", Make(12, 8, 0, 3, 3)},
        {"core24", Make(12, 24, 0, 3, 2)},
        {"info1", Make(40, 1, 0, 17, 2)},
        {"info4", Make(40, 4, 0, 3, 3)},
        {"info8", Make(40, 8, 0, 5, 2)},
        {"info16", Make(40, 16, 0, 3, 2)},
        {"info16_565", Make(40, 16, 3, 3, 2, m565)},
        {"info24", Make(40, 24, 0, 5, 3)},
        {"info32", Make(40, 32, 0, 2, 2)},
        {"info32_bgr", Make(40, 32, 3, 2, 2, m888)},
        {"v4_24", Make(108, 24, 0, 3, 2)},
        {"v5_32", Make(124, 32, 3, 2, 2, m888)},
        {"topdown24", Make(40, 24, 0, 3, -3)},
        {"topdown8", Make(124, 8, 0, 4, -2)},
        {"rle8", Make(40, 8, 1, 4, 4)},
        {"short", Make(40, 24, 0, 64, 64)},
    };
    seeds[17].bytes.resize(200); // cut short: refused
    for (const auto& s : seeds) {
        std::string path = std::string(argv[1]) + "/" + s.name + ".bmp";
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(s.bytes.data(), 1, s.bytes.size(), f) != s.bytes.size()) return 1;
        std::fclose(f);
    }
    return 0;
}
