#include "gdi/surface.h"

#include "gdi/dc_table.h"
#include "gdi/window_surface.h"

namespace qv::gdi {

bool SurfaceOfDC(HDC hdc, Surface& out) {
    out = Surface{};
    const DeviceContext* dc = LookupDC(hdc);
    if (!dc) return false;
    switch (dc->kind) {
    case DCKind::Memory:
        out.bitmap = LookupBitmap(dc->bitmap ? dc->bitmap : StockBitmap());
        out.mono_device = out.bitmap && out.bitmap->bpp == 1 && !out.bitmap->dib;
        return true;
    case DCKind::Window:
        out.bitmap = WindowSurface(dc->window);
        return true;
    case DCKind::Screen:
        return true;
    }
    return false;
}

namespace {

struct Channel {
    int shift = 0, width = 0;
};

Channel ChannelOf(uint32_t mask) {
    Channel c;
    if (!mask) return c;
    while (!(mask & 1))
        mask >>= 1, ++c.shift;
    while (mask & 1)
        mask >>= 1, ++c.width;
    return c;
}

// A channel of `width` bits widened to 8 by repeating its top bits, so the
// largest value becomes 255.
inline uint32_t To8(uint32_t v, int width) {
    if (width >= 8) return v >> (width - 8);
    uint32_t out = 0;
    int have = 0;
    while (have < 8) {
        out = (out << width) | v;
        have += width;
    }
    return out >> (have - 8);
}

inline uint32_t From8(uint32_t v8, int width) {
    if (width <= 8) return v8 >> (8 - width);
    return (v8 << (width - 8)) | (v8 >> (16 - width));
}

struct Direct {
    Channel r, g, b;
    explicit Direct(const Bitmap& bm)
        : r(ChannelOf(bm.masks[0])), g(ChannelOf(bm.masks[1])), b(ChannelOf(bm.masks[2])) {}
    uint32_t Decode(uint32_t v) const {
        return (To8((v >> r.shift) & ((1u << r.width) - 1), r.width) << 16) |
               (To8((v >> g.shift) & ((1u << g.width) - 1), g.width) << 8) |
               To8((v >> b.shift) & ((1u << b.width) - 1), b.width);
    }
    uint32_t Encode(uint32_t rgb) const {
        return (From8((rgb >> 16) & 0xFF, r.width) << r.shift) |
               (From8((rgb >> 8) & 0xFF, g.width) << g.shift) |
               (From8(rgb & 0xFF, b.width) << b.shift);
    }
};

inline uint32_t TableColor(const Bitmap& bm, uint32_t index) {
    // Indices past a short colour table show black.
    return index < bm.colors.size() ? RgbOfQuad(bm.colors[index]) : 0;
}

} // namespace

void ReadRow(const Bitmap& bm, int x, int y, int n, uint32_t* out) {
    const uint8_t* row = bm.Row(y);
    switch (bm.bpp) {
    case 1:
        for (int i = 0; i < n; ++i) {
            int px = x + i;
            out[i] = TableColor(bm, (row[px >> 3] >> (7 - (px & 7))) & 1);
        }
        return;
    case 4:
        for (int i = 0; i < n; ++i) {
            int px = x + i;
            out[i] = TableColor(bm, (row[px >> 1] >> ((px & 1) ? 0 : 4)) & 0xF);
        }
        return;
    case 8:
        for (int i = 0; i < n; ++i)
            out[i] = TableColor(bm, row[x + i]);
        return;
    case 16: {
        Direct d(bm);
        const uint8_t* p = row + size_t(x) * 2;
        for (int i = 0; i < n; ++i, p += 2)
            out[i] = d.Decode(uint32_t(p[0] | (p[1] << 8)));
        return;
    }
    case 24: {
        const uint8_t* p = row + size_t(x) * 3;
        for (int i = 0; i < n; ++i, p += 3)
            out[i] = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
        return;
    }
    case 32: {
        Direct d(bm);
        const uint8_t* p = row + size_t(x) * 4;
        for (int i = 0; i < n; ++i, p += 4) {
            uint32_t v = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
                         (uint32_t(p[3]) << 24);
            out[i] = d.Decode(v);
        }
        return;
    }
    default:
        for (int i = 0; i < n; ++i)
            out[i] = 0;
    }
}

PixelEncoder::PixelEncoder(const Bitmap& bm, bool mono_device)
    : bm_(bm), mono_device_(mono_device) {}

uint32_t PixelEncoder::Encode(uint32_t rgb) {
    rgb &= 0x00FFFFFF;
    if (bm_.bpp == 24) return rgb;
    if (bm_.bpp > 8) return Direct(bm_).Encode(rgb);
    // A monochrome device bitmap turns the background colour (white) into
    // 1 and every other colour into 0.
    if (mono_device_) return rgb == 0x00FFFFFF ? 1 : 0;
    auto it = cache_.find(rgb);
    if (it != cache_.end()) return it->second;
    uint32_t best = 0;
    long best_d = -1;
    for (size_t i = 0; i < bm_.colors.size(); ++i) {
        uint32_t c = RgbOfQuad(bm_.colors[i]);
        long dr = long((c >> 16) & 0xFF) - long((rgb >> 16) & 0xFF);
        long dg = long((c >> 8) & 0xFF) - long((rgb >> 8) & 0xFF);
        long db = long(c & 0xFF) - long(rgb & 0xFF);
        long d = dr * dr + dg * dg + db * db;
        if (best_d < 0 || d < best_d) best = uint32_t(i), best_d = d;
        if (d == 0) break;
    }
    cache_.emplace(rgb, best);
    return best;
}

void WriteRow(Bitmap& bm, int x, int y, int n, const uint32_t* rgb, PixelEncoder& enc) {
    uint8_t* row = bm.Row(y);
    switch (bm.bpp) {
    case 1:
        for (int i = 0; i < n; ++i) {
            int px = x + i;
            uint8_t bit = uint8_t(0x80 >> (px & 7));
            if (enc.Encode(rgb[i]))
                row[px >> 3] |= bit;
            else
                row[px >> 3] &= uint8_t(~bit);
        }
        return;
    case 4:
        for (int i = 0; i < n; ++i) {
            int px = x + i;
            uint8_t v = uint8_t(enc.Encode(rgb[i]) & 0xF);
            uint8_t& b = row[px >> 1];
            b = (px & 1) ? uint8_t((b & 0xF0) | v) : uint8_t((b & 0x0F) | (v << 4));
        }
        return;
    case 8:
        for (int i = 0; i < n; ++i)
            row[x + i] = uint8_t(enc.Encode(rgb[i]));
        return;
    case 16: {
        Direct d(bm);
        uint8_t* p = row + size_t(x) * 2;
        for (int i = 0; i < n; ++i, p += 2) {
            uint32_t v = d.Encode(rgb[i]);
            p[0] = uint8_t(v), p[1] = uint8_t(v >> 8);
        }
        return;
    }
    case 24: {
        uint8_t* p = row + size_t(x) * 3;
        for (int i = 0; i < n; ++i, p += 3)
            p[0] = uint8_t(rgb[i]), p[1] = uint8_t(rgb[i] >> 8), p[2] = uint8_t(rgb[i] >> 16);
        return;
    }
    case 32: {
        Direct d(bm);
        uint8_t* p = row + size_t(x) * 4;
        for (int i = 0; i < n; ++i, p += 4) {
            uint32_t v = d.Encode(rgb[i]);
            p[0] = uint8_t(v), p[1] = uint8_t(v >> 8), p[2] = uint8_t(v >> 16),
            p[3] = uint8_t(v >> 24);
        }
        return;
    }
    default:
        return;
    }
}

} // namespace qv::gdi
