// Logical palettes. The layer's devices are all true-colour, so a palette
// only decides which colours indexed bitmaps of DIB_PAL_COLORS show;
// realising one maps every entry and reports how many there were.
#include <windows.h>

#include <algorithm>

#include "gdi/dc_table.h"
#include "gdi/objects.h"

using namespace qv;
using namespace qv::gdi;

namespace {

// The halftone palette: the ten first static colours, a 6 by 6 by 6 colour
// cube, a ramp of twenty greys between the cube's own, and the ten last
// static colours.
std::vector<PALETTEENTRY> HalftoneEntries() {
    const Palette* def = LookupPalette(Stock(DEFAULT_PALETTE));
    std::vector<PALETTEENTRY> e;
    e.reserve(256);
    for (int i = 0; i < 10; ++i)
        e.push_back(def->entries[size_t(i)]);
    for (int b = 0; b < 6; ++b)
        for (int g = 0; g < 6; ++g)
            for (int r = 0; r < 6; ++r)
                e.push_back(PALETTEENTRY{BYTE(r * 51), BYTE(g * 51), BYTE(b * 51), 0});
    for (int k = 1; k <= 20; ++k) {
        // Evenly between black and white, skipping the levels the cube has.
        int v = (k * 255 + 10) / 21;
        if (v % 51 == 0) v += 3;
        e.push_back(PALETTEENTRY{BYTE(v), BYTE(v), BYTE(v), 0});
    }
    for (int i = 10; i < 20; ++i)
        e.push_back(def->entries[size_t(i)]);
    return e;
}

} // namespace

extern "C" {

HPALETTE WINAPI CreatePalette(const LOGPALETTE* plpal) {
    if (!plpal || plpal->palVersion != 0x300 || plpal->palNumEntries == 0) return nullptr;
    auto p = std::make_unique<Palette>();
    p->entries.assign(plpal->palPalEntry, plpal->palPalEntry + plpal->palNumEntries);
    return HandleFrom<HPALETTE>(Palettes().Add(std::move(p)));
}

HPALETTE WINAPI CreateHalftonePalette(HDC hdc) {
    if (hdc && !LookupDC(hdc)) return nullptr;
    auto p = std::make_unique<Palette>();
    p->entries = HalftoneEntries();
    return HandleFrom<HPALETTE>(Palettes().Add(std::move(p)));
}

HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE hPal, BOOL bForceBkgd) {
    (void)bForceBkgd; // no foreground/background distinction on true-colour devices
    DeviceContext* dc = LookupDC(hdc);
    Palette* p = LookupPalette(hPal);
    if (!dc || !p) return nullptr;
    HPALETTE old = dc->palette ? dc->palette : static_cast<HPALETTE>(Stock(DEFAULT_PALETTE));
    dc->palette = p->stock ? nullptr : hPal;
    return old;
}

UINT WINAPI RealizePalette(HDC hdc) {
    DeviceContext* dc = LookupDC(hdc);
    if (!dc) return GDI_ERROR;
    // The default palette is the system's own: nothing new to map.
    if (!dc->palette) return 0;
    const Palette* p = LookupPalette(dc->palette);
    return p ? UINT(p->entries.size()) : GDI_ERROR;
}

UINT WINAPI GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries,
                              LPPALETTEENTRY pPalEntries) {
    const Palette* p = LookupPalette(hpal);
    if (!p) return 0;
    const UINT n = UINT(p->entries.size());
    if (!pPalEntries) return n;
    if (iStart >= n) return 0;
    const UINT count = std::min(cEntries, n - iStart);
    std::copy_n(p->entries.begin() + iStart, count, pPalEntries);
    return count;
}

UINT WINAPI GetNearestPaletteIndex(HPALETTE h, COLORREF color) {
    const Palette* p = LookupPalette(h);
    if (!p || p->entries.empty()) return CLR_INVALID;
    UINT best = 0;
    long best_d = -1;
    for (UINT i = 0; i < p->entries.size(); ++i) {
        const PALETTEENTRY& e = p->entries[i];
        long dr = long(e.peRed) - GetRValue(color), dg = long(e.peGreen) - GetGValue(color),
             db = long(e.peBlue) - GetBValue(color);
        long d = dr * dr + dg * dg + db * db;
        if (best_d < 0 || d < best_d) best = i, best_d = d;
    }
    return best;
}

} // extern "C"
