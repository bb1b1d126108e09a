// Bitmaps: DIB sections, device bitmaps, DIB colour tables and GetDIBits.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "common/fault.h"
#include "gdi/dc_table.h"
#include "gdi/objects.h"
#include "gdi/surface.h"

using namespace qv;
using namespace qv::gdi;

namespace {

bool ContiguousMask(uint32_t m) {
    if (m == 0) return false;
    while (!(m & 1))
        m >>= 1;
    return (m & (m + 1)) == 0;
}

// The palette a DC realises colours with (DIB_PAL_COLORS tables index it).
const Palette* DcPalette(HDC hdc) {
    const DeviceContext* dc = LookupDC(hdc);
    if (!dc) return nullptr;
    return LookupPalette(dc->palette ? HGDIOBJ(dc->palette) : Stock(DEFAULT_PALETTE));
}

// A device bitmap in the screen's format (32 bits) or monochrome.
std::unique_ptr<Bitmap> MakeDeviceBitmap(int w, int h, int bpp) {
    auto bm = std::make_unique<Bitmap>();
    bm->width = w;
    bm->height = h;
    bm->bpp = bpp;
    bm->top_down = true;
    if (bpp == 1) {
        bm->colors = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    } else {
        bm->masks[0] = 0x00FF0000, bm->masks[1] = 0x0000FF00, bm->masks[2] = 0x000000FF;
    }
    if (!AllocateBits(*bm)) return nullptr;
    return bm;
}

Bitmap* SelectedDib(HDC hdc) {
    const DeviceContext* dc = LookupDC(hdc);
    if (!dc || dc->kind != DCKind::Memory || !dc->bitmap) return nullptr;
    Bitmap* bm = LookupBitmap(dc->bitmap);
    return bm && bm->dib && bm->bpp <= 8 ? bm : nullptr;
}

} // namespace

extern "C" {

HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, VOID** ppvBits,
                                HANDLE hSection, DWORD offset) {
    (void)offset;
    if (ppvBits) *ppvBits = nullptr;
    if (!pbmi || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS)) return nullptr;
    if (hSection) return nullptr; // the layer has no file mappings
    if (hdc && !LookupDC(hdc)) return nullptr;
    if (ShouldFail("CreateDIBSection")) return nullptr;

    const BITMAPINFOHEADER& h = pbmi->bmiHeader;
    const uint8_t* base = reinterpret_cast<const uint8_t*>(pbmi);
    auto bm = std::make_unique<Bitmap>();
    int64_t height;
    size_t table_at, entry_size = 4;
    DWORD clr_used = 0;
    if (h.biSize == sizeof(BITMAPCOREHEADER)) {
        const auto* core = reinterpret_cast<const BITMAPCOREHEADER*>(pbmi);
        if (core->bcPlanes != 1) return nullptr;
        bm->width = core->bcWidth;
        height = core->bcHeight;
        bm->bpp = core->bcBitCount;
        if (bm->bpp > 8 && bm->bpp != 24) return nullptr;
        table_at = sizeof(BITMAPCOREHEADER);
        entry_size = 3;
    } else if (h.biSize >= sizeof(BITMAPINFOHEADER)) {
        if (h.biPlanes != 1 || h.biWidth <= 0) return nullptr;
        bm->width = h.biWidth;
        height = h.biHeight;
        bm->bpp = h.biBitCount;
        bm->compression = h.biCompression;
        clr_used = h.biClrUsed;
        table_at = h.biSize;
        if (h.biCompression == BI_BITFIELDS) {
            if (bm->bpp != 16 && bm->bpp != 32) return nullptr;
            // The masks sit at the same place for every header size: right
            // after a plain info header, or inside a larger one.
            std::memcpy(bm->masks, base + sizeof(BITMAPINFOHEADER), sizeof(bm->masks));
            for (uint32_t m : bm->masks)
                if (!ContiguousMask(m) || (bm->bpp == 16 && m > 0xFFFF)) return nullptr;
            if ((bm->masks[0] & bm->masks[1]) || (bm->masks[0] & bm->masks[2]) ||
                (bm->masks[1] & bm->masks[2]))
                return nullptr;
            if (h.biSize == sizeof(BITMAPINFOHEADER)) table_at += sizeof(bm->masks);
        } else if (h.biCompression != BI_RGB) {
            return nullptr;
        }
    } else {
        return nullptr;
    }
    if (bm->bpp != 1 && bm->bpp != 4 && bm->bpp != 8 && bm->bpp != 16 && bm->bpp != 24 &&
        bm->bpp != 32)
        return nullptr;
    if (height == 0 || height == INT_MIN) return nullptr;
    bm->top_down = height < 0;
    bm->height = int(height < 0 ? -height : height);
    if (bm->compression == BI_RGB) {
        if (bm->bpp == 16) bm->masks[0] = 0x7C00, bm->masks[1] = 0x03E0, bm->masks[2] = 0x001F;
        if (bm->bpp == 32)
            bm->masks[0] = 0x00FF0000, bm->masks[1] = 0x0000FF00, bm->masks[2] = 0x000000FF;
    }
    if (bm->bpp <= 8) {
        size_t n = size_t(1) << bm->bpp;
        if (clr_used && clr_used < n) n = clr_used;
        bm->colors.resize(n);
        if (usage == DIB_PAL_COLORS) {
            const Palette* pal = DcPalette(hdc ? hdc : nullptr);
            if (!pal) pal = LookupPalette(Stock(DEFAULT_PALETTE));
            const auto* idx = reinterpret_cast<const WORD*>(base + table_at);
            for (size_t i = 0; i < n; ++i) {
                WORD k = idx[i];
                if (k < pal->entries.size()) {
                    const PALETTEENTRY& e = pal->entries[k];
                    bm->colors[i] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
                }
            }
        } else {
            for (size_t i = 0; i < n; ++i) {
                const uint8_t* e = base + table_at + i * entry_size;
                bm->colors[i] = RGBQUAD{e[0], e[1], e[2], 0};
            }
        }
    }
    bm->dib = true;
    if (!AllocateBits(*bm)) return nullptr;

    BITMAPINFOHEADER& info = bm->info;
    info.biSize = sizeof(BITMAPINFOHEADER);
    info.biWidth = bm->width;
    info.biHeight = bm->top_down ? -bm->height : bm->height;
    info.biPlanes = 1;
    info.biBitCount = WORD(bm->bpp);
    info.biCompression = bm->compression;
    info.biSizeImage = DWORD(bm->Bytes());
    if (h.biSize >= sizeof(BITMAPINFOHEADER)) {
        info.biXPelsPerMeter = h.biXPelsPerMeter;
        info.biYPelsPerMeter = h.biYPelsPerMeter;
        info.biClrUsed = bm->bpp <= 8 ? clr_used : 0;
        info.biClrImportant = h.biClrImportant;
    }
    void* bits = bm->bits.get();
    HBITMAP out = AddBitmap(std::move(bm));
    if (out && ppvBits) *ppvBits = bits;
    return out;
}

HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount,
                            const VOID* lpBits) {
    if (nWidth < 0 || nHeight < 0 || nPlanes == 0 || nPlanes > 32 || nBitCount > 32) return nullptr;
    if (nWidth == 0 || nHeight == 0) return StockBitmap();
    // Every colour depth becomes the screen's 32 bits; only monochrome
    // bitmaps keep their own format.
    const UINT depth = nPlanes * nBitCount;
    if (depth == 0) return nullptr;
    auto bm = MakeDeviceBitmap(nWidth, nHeight, depth == 1 ? 1 : 32);
    if (!bm) return nullptr;
    if (lpBits && (depth == 1 || depth == 32)) {
        // The caller's rows are rounded to 2 bytes, as device bitmaps are.
        const size_t src_stride = (size_t(nWidth) * depth + 15) / 16 * 2;
        const auto* src = static_cast<const uint8_t*>(lpBits);
        for (int y = 0; y < nHeight; ++y)
            std::memcpy(bm->Row(y), src + size_t(y) * src_stride, src_stride);
    }
    return AddBitmap(std::move(bm));
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    const DeviceContext* dc = LookupDC(hdc);
    if (!dc || cx < 0 || cy < 0) return nullptr;
    if (cx == 0 || cy == 0) return StockBitmap();
    const Bitmap* sel =
        dc->kind == DCKind::Memory && dc->bitmap ? LookupBitmap(dc->bitmap) : nullptr;
    if (dc->kind == DCKind::Memory && !sel) {
        // A fresh memory DC holds the monochrome stock bitmap, so a bitmap
        // compatible with it is monochrome, as in Win32.
        auto bm = MakeDeviceBitmap(cx, cy, 1);
        return bm ? AddBitmap(std::move(bm)) : nullptr;
    }
    if (sel && sel->dib) {
        // Compatible with a DIB section: a section of the same format.
        auto bm = std::make_unique<Bitmap>();
        bm->width = cx;
        bm->height = cy;
        bm->bpp = sel->bpp;
        bm->dib = true;
        bm->compression = sel->compression;
        std::copy(sel->masks, sel->masks + 3, bm->masks);
        bm->colors = sel->colors;
        bm->info = sel->info;
        if (!AllocateBits(*bm)) return nullptr;
        bm->top_down = false;
        bm->info.biWidth = cx;
        bm->info.biHeight = cy;
        bm->info.biSizeImage = DWORD(bm->Bytes());
        return AddBitmap(std::move(bm));
    }
    auto bm = MakeDeviceBitmap(cx, cy, sel ? sel->bpp : 32);
    return bm ? AddBitmap(std::move(bm)) : nullptr;
}

UINT WINAPI GetDIBColorTable(HDC hdc, UINT iStart, UINT cEntries, RGBQUAD* prgbq) {
    const Bitmap* bm = SelectedDib(hdc);
    if (!bm || !prgbq || iStart >= bm->colors.size()) return 0;
    UINT n = std::min<UINT>(cEntries, UINT(bm->colors.size()) - iStart);
    std::copy_n(bm->colors.begin() + iStart, n, prgbq);
    return n;
}

UINT WINAPI SetDIBColorTable(HDC hdc, UINT iStart, UINT cEntries, const RGBQUAD* prgbq) {
    Bitmap* bm = SelectedDib(hdc);
    if (!bm || !prgbq || iStart >= bm->colors.size()) return 0;
    UINT n = std::min<UINT>(cEntries, UINT(bm->colors.size()) - iStart);
    std::copy_n(prgbq, n, bm->colors.begin() + iStart);
    return n;
}

} // extern "C"

extern "C" int WINAPI GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits,
                                LPBITMAPINFO lpbmi, UINT usage) {
    const Bitmap* bm = LookupBitmap(hbm);
    if (!LookupDC(hdc) || !bm || !lpbmi || usage != DIB_RGB_COLORS) return 0;
    BITMAPINFOHEADER& h = lpbmi->bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER)) return 0;
    if (!lpvBits) {
        // The query: describe the bitmap in its own depth unless one is asked.
        if (h.biBitCount == 0) {
            h.biBitCount = WORD(bm->bpp);
            h.biCompression = bm->bpp == 16 || bm->bpp == 32 ? bm->compression : BI_RGB;
        }
        h.biWidth = bm->width;
        h.biHeight = bm->height;
        h.biPlanes = 1;
        h.biSizeImage = DWORD(DibStride(uint64_t(bm->width), h.biBitCount) * uint64_t(bm->height));
        return bm->height;
    }
    // Rows come out in the bitmap's own width, bottom-up unless the height
    // asked for is negative; indexed output only in the bitmap's own table.
    Bitmap out;
    out.width = bm->width;
    out.bpp = h.biBitCount;
    out.top_down = true; // rows are addressed in buffer order below
    if (h.biCompression == BI_BITFIELDS && (out.bpp == 16 || out.bpp == 32)) {
        std::memcpy(out.masks, lpbmi->bmiColors, sizeof(out.masks));
        for (uint32_t m : out.masks)
            if (!ContiguousMask(m)) return 0;
    } else if (h.biCompression != BI_RGB) {
        return 0;
    } else if (out.bpp == 16) {
        out.masks[0] = 0x7C00, out.masks[1] = 0x03E0, out.masks[2] = 0x001F;
    } else if (out.bpp == 32) {
        out.masks[0] = 0x00FF0000, out.masks[1] = 0x0000FF00, out.masks[2] = 0x000000FF;
    } else if (out.bpp <= 8) {
        if (out.bpp != bm->bpp) return 0;
        out.colors = bm->colors;
    } else if (out.bpp != 24) {
        return 0;
    }
    if (out.bpp <= 8 && out.bpp != 1 && out.bpp != 4 && out.bpp != 8) return 0;
    const bool top_down = h.biHeight < 0;
    out.stride = size_t(DibStride(uint64_t(out.width), unsigned(out.bpp)));
    if (out.stride == 0 || start >= UINT(bm->height)) return 0;
    const int lines = int(std::min<uint64_t>(cLines, uint64_t(bm->height) - start));
    out.height = lines;
    out.bits.reset(static_cast<uint8_t*>(lpvBits));
    std::vector<uint32_t> row(static_cast<size_t>(bm->width));
    PixelEncoder enc(out);
    for (int i = 0; i < lines; ++i) {
        const int scan = int(start) + i; // scan lines count from the output's first row
        const int picture_row = top_down ? scan : bm->height - 1 - scan;
        ReadRow(*bm, 0, picture_row, bm->width, row.data());
        WriteRow(out, 0, i, bm->width, row.data(), enc);
    }
    (void)out.bits.release(); // the caller's memory
    if (out.bpp <= 8) std::copy(out.colors.begin(), out.colors.end(), lpbmi->bmiColors);
    return lines;
}
