// The GDI's object tables: bitmaps, palettes, regions, brushes, pens and
// fonts. Every object lives in a handle table of its kind; stock objects are
// made once, when the layer starts, and are never destroyed.
#pragma once

#include <windows.h>

#include <pixman.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "common/handle_table.h"

namespace qv::gdi {

// A bitmap's pixel memory and how to read it. DIB sections keep the layout
// the caller asked for (bottom-up unless the height was negative); bitmaps
// made by CreateBitmap/CreateCompatibleBitmap are stored top-down.
struct Bitmap {
    int width = 0, height = 0; // height always positive
    int bpp = 0;               // 1, 4, 8, 16, 24 or 32
    bool top_down = false;
    bool dib = false;   // made as a DIB section (GetObjectA can give a DIBSECTION)
    bool stock = false; // the 1 by 1 monochrome bitmap memory DCs start with
    size_t stride = 0;  // bytes from one stored row to the next (a multiple of 4)
    // Direct-colour layout (16 and 32 bits): the masks of red, green, blue.
    uint32_t masks[3] = {0, 0, 0};
    DWORD compression = BI_RGB;
    std::vector<RGBQUAD> colors; // the colour table, 8 bits and fewer
    BITMAPINFOHEADER info{};     // as GetObjectA reports it in a DIBSECTION
    struct Free {
        void operator()(uint8_t* p) const;
    };
    std::unique_ptr<uint8_t, Free> bits;

    size_t Bytes() const { return stride * size_t(height); }
    // The stored row that shows picture row y (0 is the top row).
    uint8_t* Row(int y) const {
        return bits.get() + stride * size_t(top_down ? y : height - 1 - y);
    }
};

struct Palette {
    std::vector<PALETTEENTRY> entries;
    bool stock = false;
};

struct Region {
    Region();
    ~Region();
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;
    pixman_region32_t rgn;
};

struct Brush {
    LOGBRUSH log{};
    bool stock = false;
};

struct Pen {
    LOGPEN log{};
    bool stock = false;
};

struct Font {
    LOGFONTA log{};
    bool stock = false;
};

HandleTable<Bitmap>& Bitmaps();
HandleTable<Palette>& Palettes();
HandleTable<Region>& Regions();
HandleTable<Brush>& Brushes();
HandleTable<Pen>& Pens();
HandleTable<Font>& Fonts();

inline Bitmap* LookupBitmap(HGDIOBJ h) {
    return Bitmaps().Get(HandleValue(h));
}
inline Palette* LookupPalette(HGDIOBJ h) {
    return Palettes().Get(HandleValue(h));
}
inline Region* LookupRegion(HGDIOBJ h) {
    return Regions().Get(HandleValue(h));
}
inline Brush* LookupBrush(HGDIOBJ h) {
    return Brushes().Get(HandleValue(h));
}

// The stock objects (made before main, so that live counts taken by a
// program never see them appear).
HGDIOBJ Stock(int index); // GetStockObject's numbering; NULL when none
HBITMAP StockBitmap();    // the 1 by 1 monochrome bitmap
HBRUSH SysColorBrush(int index);

// True when some DC has the object selected.
bool IsSelected(HGDIOBJ h);

// Allocates zeroed pixel memory for a bitmap whose width, height, bpp are
// set: computes the stride and checks every size. False when too big.
bool AllocateBits(Bitmap& bm);

// Size limits: no bitmap has more pixels than this, whatever asks for it.
constexpr uint64_t kMaxPixels = uint64_t(1) << 26; // 64 Mi pixels
constexpr int kMaxDimension = 1 << 16;

// The stride of a DIB row (padded to 4 bytes); 0 on overflow.
uint64_t DibStride(uint64_t width, unsigned bpp);

// Registers a new bitmap and returns its handle (NULL when the table is full).
HBITMAP AddBitmap(std::unique_ptr<Bitmap> bm);

} // namespace qv::gdi
