// Bit-block transfer between DCs of any bitmap format, and single pixels.
// Direct-colour formats pixman knows are converted by pixman, a row at a
// time; indexed formats and unusual masks go through 0x00RRGGBB rows.
#include <windows.h>

#include <pixman.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "gdi/dc_table.h"
#include "gdi/surface.h"

using namespace qv;
using namespace qv::gdi;

namespace {

// pixman's name for a bitmap's format; 0 when pixman has none (indexed
// bitmaps, whose bit order within a byte differs, and unusual masks).
pixman_format_code_t PixmanFormat(const Bitmap& bm) {
    const uint32_t r = bm.masks[0], g = bm.masks[1], b = bm.masks[2];
    switch (bm.bpp) {
    case 16:
        if (r == 0x7C00 && g == 0x03E0 && b == 0x001F) return PIXMAN_x1r5g5b5;
        if (r == 0xF800 && g == 0x07E0 && b == 0x001F) return PIXMAN_r5g6b5;
        return pixman_format_code_t(0);
    case 24:
        return PIXMAN_r8g8b8;
    case 32:
        if (r == 0x00FF0000 && g == 0x0000FF00 && b == 0x000000FF) return PIXMAN_x8r8g8b8;
        if (r == 0x000000FF && g == 0x0000FF00 && b == 0x00FF0000) return PIXMAN_x8b8g8r8;
        return pixman_format_code_t(0);
    default:
        return pixman_format_code_t(0);
    }
}

// The stored row that holds picture row y.
int MemRow(const Bitmap& bm, int y) {
    return bm.top_down ? y : bm.height - 1 - y;
}

struct PixmanImage {
    pixman_image_t* img = nullptr;
    explicit PixmanImage(const Bitmap& bm, pixman_format_code_t f) {
        img = pixman_image_create_bits(f, bm.width, bm.height,
                                       reinterpret_cast<uint32_t*>(bm.bits.get()), int(bm.stride));
    }
    ~PixmanImage() {
        if (img) pixman_image_unref(img);
    }
};

// Copies w by h pixels from (sx, sy) of src to (dx, dy) of dst, both
// rectangles already inside their bitmaps.
void Copy(const Bitmap& src, Bitmap& dst, bool dst_mono_device, int sx, int sy, int dx, int dy,
          int w, int h, bool invert) {
    const size_t bpp_bytes = size_t(src.bpp / 8);
    const bool same = !invert && src.bpp == dst.bpp && src.bpp >= 8 &&
                      std::equal(src.masks, src.masks + 3, dst.masks) &&
                      (src.bpp > 8 || (src.colors.size() == dst.colors.size() &&
                                       std::memcmp(src.colors.data(), dst.colors.data(),
                                                   src.colors.size() * sizeof(RGBQUAD)) == 0));
    if (same) {
        // Identical formats copy their bits unchanged, the fourth byte of
        // 32-bit pixels included. memmove: source and destination may be
        // the same bitmap.
        const bool up = &src == &dst && sy < dy;
        for (int i = 0; i < h; ++i) {
            int r = up ? h - 1 - i : i;
            std::memmove(dst.Row(dy + r) + size_t(dx) * bpp_bytes,
                         src.Row(sy + r) + size_t(sx) * bpp_bytes, size_t(w) * bpp_bytes);
        }
        return;
    }
    const pixman_format_code_t sf = PixmanFormat(src), df = PixmanFormat(dst);
    if (!invert && sf == PIXMAN_r8g8b8 && df == PIXMAN_x8r8g8b8 && &src != &dst) {
        // The common widening (a 24-bit picture into a 32-bit working
        // surface) byte by byte: both store blue, green, red, and the fourth
        // byte of the converted pixel is 0.
        for (int i = 0; i < h; ++i) {
            const uint8_t* s = src.Row(sy + i) + size_t(sx) * 3;
            uint8_t* d = dst.Row(dy + i) + size_t(dx) * 4;
            for (int x = 0; x < w; ++x, s += 3, d += 4) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
                d[3] = 0;
            }
        }
        return;
    }
    if (!invert && sf && df && &src != &dst) {
        PixmanImage si(src, sf), di(dst, df);
        if (si.img && di.img) {
            for (int i = 0; i < h; ++i)
                pixman_image_composite32(PIXMAN_OP_SRC, si.img, nullptr, di.img, sx,
                                         MemRow(src, sy + i), 0, 0, dx, MemRow(dst, dy + i), w, 1);
            if (df == PIXMAN_x8r8g8b8 || df == PIXMAN_x8b8g8r8) {
                // The fourth byte of a converted 32-bit pixel is 0.
                for (int i = 0; i < h; ++i) {
                    uint8_t* p = dst.Row(dy + i) + size_t(dx) * 4 + 3;
                    for (int x = 0; x < w; ++x, p += 4)
                        *p = 0;
                }
            }
            return;
        }
    }
    std::vector<uint32_t> buf(static_cast<size_t>(w));
    PixelEncoder enc(dst, dst_mono_device);
    const bool up = &src == &dst && sy < dy;
    for (int i = 0; i < h; ++i) {
        int r = up ? h - 1 - i : i;
        ReadRow(src, sx, sy + r, w, buf.data());
        if (invert)
            for (auto& v : buf)
                v = ~v & 0x00FFFFFF;
        WriteRow(dst, dx, dy + r, w, buf.data(), enc);
    }
}

void Fill(Bitmap& dst, bool mono_device, int dx, int dy, int w, int h, uint32_t rgb) {
    std::vector<uint32_t> buf(static_cast<size_t>(w), rgb);
    PixelEncoder enc(dst, mono_device);
    for (int i = 0; i < h; ++i)
        WriteRow(dst, dx, dy + i, w, buf.data(), enc);
}

void Invert(Bitmap& dst, bool mono_device, int dx, int dy, int w, int h) {
    // Inverting the bits of an indexed pixel inverts its index, as Win32 does.
    if (dst.bpp <= 8) {
        for (int i = 0; i < h; ++i) {
            uint8_t* row = dst.Row(dy + i);
            for (int x = dx; x < dx + w; ++x) {
                int bit = x * dst.bpp;
                uint8_t mask = uint8_t(((1u << dst.bpp) - 1) << (8 - dst.bpp - bit % 8));
                row[bit / 8] ^= mask;
            }
        }
        return;
    }
    std::vector<uint32_t> buf(static_cast<size_t>(w));
    PixelEncoder enc(dst, mono_device);
    for (int i = 0; i < h; ++i) {
        ReadRow(dst, dx, dy + i, w, buf.data());
        for (auto& v : buf)
            v = ~v & 0x00FFFFFF;
        WriteRow(dst, dx, dy + i, w, buf.data(), enc);
    }
}

// Cuts [pos, pos + len) to [0, limit) and moves `other` by the same amount.
void Clip1(int& pos, int& other, int& len, int limit) {
    if (pos < 0) {
        len += pos;
        other -= pos;
        pos = 0;
    }
    if (len > limit - pos) len = limit - pos;
}

uint32_t BrushColor(HDC hdc, bool& hollow) {
    const DeviceContext* dc = LookupDC(hdc);
    const Brush* b =
        dc ? LookupBrush(dc->brush ? HGDIOBJ(dc->brush) : Stock(WHITE_BRUSH)) : nullptr;
    hollow = !b || b->log.lbStyle == BS_NULL;
    return b ? RgbOfColorref(b->log.lbColor) : 0;
}

} // namespace

extern "C" {

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    Surface dst;
    if (!SurfaceOfDC(hdc, dst)) return FALSE;
    const bool uses_src = rop == SRCCOPY || rop == NOTSRCCOPY;
    const bool no_src = rop == BLACKNESS || rop == WHITENESS || rop == PATCOPY || rop == DSTINVERT;
    if (!uses_src && !no_src) return FALSE; // other raster operations are not offered
    Surface src;
    if (uses_src && !SurfaceOfDC(hdcSrc, src)) return FALSE;

    // Negative extents name the same rectangle from its other corner.
    if (cx < 0) x += cx, x1 += cx, cx = -cx;
    if (cy < 0) y += cy, y1 += cy, cy = -cy;
    if (!dst.bitmap || cx == 0 || cy == 0) return TRUE;

    // Clip at the destination, then at the source: pixels with no source
    // keep what the destination had.
    Clip1(x, x1, cx, dst.bitmap->width);
    Clip1(y, y1, cy, dst.bitmap->height);
    if (uses_src) {
        if (!src.bitmap) {
            // The screen has no memory to read: it gives black.
            if (cx > 0 && cy > 0) Fill(*dst.bitmap, dst.mono_device, x, y, cx, cy, 0);
            return TRUE;
        }
        Clip1(x1, x, cx, src.bitmap->width);
        Clip1(y1, y, cy, src.bitmap->height);
    }
    if (cx <= 0 || cy <= 0) return TRUE;

    switch (rop) {
    case SRCCOPY:
    case NOTSRCCOPY:
        Copy(*src.bitmap, *dst.bitmap, dst.mono_device, x1, y1, x, y, cx, cy, rop == NOTSRCCOPY);
        break;
    case BLACKNESS:
        Fill(*dst.bitmap, dst.mono_device, x, y, cx, cy, 0);
        break;
    case WHITENESS:
        Fill(*dst.bitmap, dst.mono_device, x, y, cx, cy, 0x00FFFFFF);
        break;
    case PATCOPY: {
        bool hollow = false;
        uint32_t c = BrushColor(hdc, hollow);
        if (!hollow) Fill(*dst.bitmap, dst.mono_device, x, y, cx, cy, c);
        break;
    }
    case DSTINVERT:
        Invert(*dst.bitmap, dst.mono_device, x, y, cx, cy);
        break;
    }
    return TRUE;
}

// Drawing is never deferred: everything is already in the bitmaps.
BOOL WINAPI GdiFlush(void) {
    return TRUE;
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
    Surface s;
    if (!SurfaceOfDC(hdc, s) || !s.bitmap) return CLR_INVALID;
    if (x < 0 || y < 0 || x >= s.bitmap->width || y >= s.bitmap->height) return CLR_INVALID;
    uint32_t v = 0;
    ReadRow(*s.bitmap, x, y, 1, &v);
    return ColorrefOfRgb(v);
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
    Surface s;
    if (!SurfaceOfDC(hdc, s) || !s.bitmap) return CLR_INVALID;
    if (x < 0 || y < 0 || x >= s.bitmap->width || y >= s.bitmap->height) return CLR_INVALID;
    uint32_t v = RgbOfColorref(color);
    PixelEncoder enc(*s.bitmap, s.mono_device);
    WriteRow(*s.bitmap, x, y, 1, &v, enc);
    ReadRow(*s.bitmap, x, y, 1, &v); // the colour actually set
    return ColorrefOfRgb(v);
}

} // extern "C"
