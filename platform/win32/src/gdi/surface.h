// Surfaces: what a DC draws into, and pixel access in every bitmap format.
#pragma once

#include <windows.h>

#include <cstdint>
#include <unordered_map>

#include "gdi/objects.h"

namespace qv::gdi {

// The pixel memory a DC draws into. Memory DCs draw into their bitmap,
// window DCs into the window's software surface (see window_surface.h); the
// screen DC has no memory: what is drawn there is discarded and what is read
// from it is black.
struct Surface {
    Bitmap* bitmap = nullptr; // nullptr: nothing to draw into
    bool mono_device = false; // a monochrome device bitmap (text/background colours)
};

// False for a stale or foreign DC.
bool SurfaceOfDC(HDC hdc, Surface& out);

// Colours as 0x00RRGGBB (blue in the low byte, as in memory order B, G, R).
inline uint32_t RgbOfQuad(const RGBQUAD& q) {
    return (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
}
inline uint32_t RgbOfColorref(COLORREF c) {
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}
inline COLORREF ColorrefOfRgb(uint32_t v) {
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

// Reads n pixels of picture row y from x on as 0x00RRGGBB.
void ReadRow(const Bitmap& bm, int x, int y, int n, uint32_t* out);

// Maps colours to a bitmap's own pixel values, remembering the answers
// (nearest colour-table entry for indexed bitmaps).
class PixelEncoder {
  public:
    explicit PixelEncoder(const Bitmap& bm, bool mono_device = false);
    uint32_t Encode(uint32_t rgb);

  private:
    const Bitmap& bm_;
    bool mono_device_;
    std::unordered_map<uint32_t, uint32_t> cache_;
};

// Writes n colours into picture row y from x on.
void WriteRow(Bitmap& bm, int x, int y, int n, const uint32_t* rgb, PixelEncoder& enc);

} // namespace qv::gdi
