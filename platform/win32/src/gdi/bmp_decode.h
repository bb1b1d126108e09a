// BMP decoding: the headers a user meets (the 12-byte core header and the
// 40, 108 and 124-byte info headers), 1, 4, 8, 16, 24 and 32 bits, BI_RGB
// and BI_BITFIELDS, rows stored bottom-up or top-down. Every other file
// (RLE, embedded JPEG or PNG, damaged headers) is refused. Nothing in a file
// can make the decoder read outside its input or allocate without bound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "gdi/objects.h"

namespace qv::gdi {

// What the headers say, checked: the pixel array lies wholly inside the file.
struct BmpLayout {
    int width = 0, height = 0; // height positive
    bool top_down = false;     // the file stores its top row first
    int bpp = 0;
    DWORD compression = BI_RGB; // BI_RGB or BI_BITFIELDS
    uint32_t masks[3] = {0, 0, 0};
    std::vector<RGBQUAD> colors;
    BITMAPINFOHEADER info{}; // as a DIB section of this picture reports it
    uint64_t pixel_offset = 0;
    size_t stride = 0;
    size_t pixel_bytes = 0;
};

// The most bytes the file header, an info header, its masks and a full
// colour table can take; the headers of any file lie within its first
// kBmpHeadBytes bytes.
constexpr size_t kBmpHeadBytes = 14 + 124 + 12 + 256 * 4;

// Parses the first head_size bytes of a file of file_size bytes.
bool ParseBmpHeaders(const uint8_t* head, size_t head_size, uint64_t file_size, BmpLayout& out);

// A bitmap (not yet in the table) for the layout, its pixel memory zeroed;
// nullptr when it cannot be allocated.
std::unique_ptr<Bitmap> MakeDecodedBitmap(const BmpLayout& layout);

// Puts rows read in file order into the bitmap's bottom-up order.
void FinishDecodedRows(Bitmap& bm, const BmpLayout& layout);

// Decodes a whole file held in memory; nullptr when it is not a BMP this
// decoder reads. The result is a DIB section, bottom row first.
std::unique_ptr<Bitmap> DecodeBmp(const uint8_t* data, size_t size);

// Reads and decodes a file; nullptr when it is missing or not readable.
// first_index receives the colour index of the file's first stored pixel
// (for LR_LOADTRANSPARENT); -1 when the picture has no colour table.
std::unique_ptr<Bitmap> LoadBmpFile(const char* path, int* first_index);

} // namespace qv::gdi
