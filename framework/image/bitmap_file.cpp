// Loading a BMP file as a device-independent bitmap with a palette.
#include "quorvel/image.h"

#include <cstdlib>

namespace quorvel {

namespace {

// The logical palette block: version and count, then 256 entries. It is
// sized as the record with its one built-in entry plus 256 more, which
// leaves room to spare after the last entry.
constexpr size_t PaletteEntries = 256;
constexpr size_t PaletteBlockSize = sizeof(LOGPALETTE) + PaletteEntries * sizeof(PALETTEENTRY);
static_assert(PaletteBlockSize == 1032);

// A palette of exactly 256 entries from the colour table of the bitmap
// selected into `dc`. Entries the table does not hold stay black.
HPALETTE PaletteFromColourTable(HDC dc) {
    RGBQUAD table[PaletteEntries] = {};
    GetDIBColorTable(dc, 0, UINT(PaletteEntries), table);
    auto* block = static_cast<LOGPALETTE*>(std::calloc(1, PaletteBlockSize));
    if (!block) return nullptr;
    block->palVersion = 0x300;
    block->palNumEntries = WORD(PaletteEntries);
    PALETTEENTRY* entries = block->palPalEntry;
    for (size_t i = 0; i < PaletteEntries; ++i) {
        entries[i].peRed = table[i].rgbRed;
        entries[i].peGreen = table[i].rgbGreen;
        entries[i].peBlue = table[i].rgbBlue;
        entries[i].peFlags = 0;
    }
    HPALETTE palette = CreatePalette(block);
    std::free(block);
    return palette;
}

} // namespace

HBITMAP LOADBMPFROMFILE(const std::string& FILENAME, HPALETTE& PAL) {
    auto bitmap =
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), FILENAME.c_str(), IMAGE_BITMAP,
                                        0, 0, LR_CREATEDIBSECTION | LR_LOADFROMFILE));
    if (!bitmap) return nullptr;

    BITMAP bm{};
    GetObjectA(bitmap, sizeof bm, &bm);
    if (int32_t(bm.bmPlanes) * int32_t(bm.bmBitsPixel) > 8) {
        HDC screen = GetDC(nullptr);
        PAL = CreateHalftonePalette(screen);
        ReleaseDC(nullptr, screen);
    } else {
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        PAL = PaletteFromColourTable(memory);
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    return bitmap;
}

} // namespace quorvel
