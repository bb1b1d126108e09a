#include "user/cursor_file.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace qv::user {

namespace {

uint16_t U16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

struct Entry {
    int width, height;
    int hot_x, hot_y;
    uint32_t size, offset;
};

bool DecodeBmp(const uint8_t* p, size_t n, int dir_w, int dir_h, host::Image& out) {
    if (n < 40) return false;
    uint32_t header = U32(p);
    if (header < 40 || header > n) return false;
    int32_t w = int32_t(U32(p + 4));
    int32_t h2 = int32_t(U32(p + 8));
    int bpp = U16(p + 14);
    uint32_t compression = U32(p + 16);
    uint32_t used = U32(p + 32);
    if (compression != 0) return false;
    if (w <= 0 || w > 256 || h2 <= 0 || h2 > 512) return false;
    // The height counts the colour image and the mask together; an entry
    // whose header says otherwise keeps the directory's height.
    int h = (h2 == dir_h && dir_h > 0 && dir_w == w) ? h2 : h2 / 2;
    if (h <= 0) return false;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return false;

    size_t colors = 0;
    if (bpp <= 8) {
        colors = used ? used : (1u << bpp);
        if (colors > 256) return false;
    }
    size_t palette_at = header;
    size_t pixels_at = palette_at + colors * 4;
    size_t xor_stride = ((size_t(w) * bpp + 31) / 32) * 4;
    size_t and_stride = ((size_t(w) + 31) / 32) * 4;
    size_t mask_at = pixels_at + xor_stride * size_t(h);
    if (mask_at > n) return false;
    bool has_mask = mask_at + and_stride * size_t(h) <= n;
    if (!has_mask && bpp != 32) return false;

    out.width = w;
    out.height = h;
    out.rgba.assign(size_t(w) * size_t(h) * 4, 0);
    bool any_alpha = false;
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = p + pixels_at + xor_stride * size_t(h - 1 - y); // bottom-up
        for (int x = 0; x < w; ++x) {
            uint8_t r = 0, g = 0, b = 0, a = 255;
            if (bpp == 32 || bpp == 24) {
                const uint8_t* px = row + size_t(x) * size_t(bpp / 8);
                b = px[0], g = px[1], r = px[2];
                if (bpp == 32) {
                    a = px[3];
                    any_alpha = any_alpha || a != 0;
                }
            } else {
                size_t bit = size_t(x) * size_t(bpp);
                unsigned idx = (row[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                if (idx >= colors) idx = 0;
                const uint8_t* c = p + palette_at + idx * 4;
                b = c[0], g = c[1], r = c[2];
            }
            uint8_t* o = &out.rgba[(size_t(y) * size_t(w) + size_t(x)) * 4];
            o[0] = r, o[1] = g, o[2] = b, o[3] = a;
        }
    }
    // Images without alpha (and 32-bit ones whose alpha is all zero) take
    // their transparency from the AND mask.
    if (bpp == 32 && any_alpha) return true;
    if (!has_mask) return true; // 32-bit, all alpha zero, no mask: keep it opaque
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = p + mask_at + and_stride * size_t(h - 1 - y);
        for (int x = 0; x < w; ++x) {
            bool transparent = (row[x / 8] >> (7 - x % 8)) & 1;
            out.rgba[(size_t(y) * size_t(w) + size_t(x)) * 4 + 3] = transparent ? 0 : 255;
        }
    }
    return true;
}

} // namespace

bool ParseCursorFile(const uint8_t* data, size_t size, CursorImage& out) {
    if (!data || size < 6) return false;
    uint16_t reserved = U16(data), type = U16(data + 2), count = U16(data + 4);
    if (reserved != 0 || (type != 1 && type != 2) || count == 0) return false;
    if (size < 6 + size_t(count) * 16) return false;
    std::vector<Entry> entries;
    for (int i = 0; i < count; ++i) {
        const uint8_t* e = data + 6 + i * 16;
        Entry en;
        en.width = e[0] ? e[0] : 256;
        en.height = e[1] ? e[1] : 256;
        en.hot_x = type == 2 ? U16(e + 4) : en.width / 2;
        en.hot_y = type == 2 ? U16(e + 6) : en.height / 2;
        en.size = U32(e + 8);
        en.offset = U32(e + 12);
        if (en.offset >= size || en.size > size - en.offset || en.size < 8) continue;
        // PNG-compressed entries are not read.
        if (data[en.offset] == 0x89 && data[en.offset + 1] == 'P') continue;
        entries.push_back(en);
    }
    // The entry nearest the standard 32 by 32 first.
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return std::abs(a.width - 32) < std::abs(b.width - 32);
    });
    for (const Entry& en : entries) {
        CursorImage img;
        if (!DecodeBmp(data + en.offset, en.size, en.width, en.height, img.image)) continue;
        img.hot_x = std::clamp(en.hot_x, 0, img.image.width - 1);
        img.hot_y = std::clamp(en.hot_y, 0, img.image.height - 1);
        out = std::move(img);
        return true;
    }
    return false;
}

} // namespace qv::user
