// Turning a BMP file into a window region that leaves out a key colour.
#include "quorvel/image.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace quorvel {

namespace {

// A batch becomes a region once it holds this many rectangles, so that no
// single region construction has to take more.
constexpr int32_t FlushRects = 2000;

size_t BatchBytes(int32_t maxRects) {
    return sizeof(RGNDATAHEADER) + sizeof(RECT) * size_t(maxRects);
}

RECT* Rects(RGNDATA* batch) {
    return reinterpret_cast<RECT*>(batch->Buffer);
}

RECT MakeRect(LONG left, LONG top, LONG right, LONG bottom) {
    RECT rect;
    rect.left = left;
    rect.top = top;
    rect.right = right;
    rect.bottom = bottom;
    return rect;
}

// An empty batch: no rectangles, and a bounding box that any rectangle
// replaces.
void ResetBatch(RGNDATAHEADER& header) {
    header.nCount = 0;
    header.rcBound = MakeRect(INT_MAX, INT_MAX, 0, 0);
}

// The rectangle batch and the region built so far; on failure, everything
// is released by the caller through Abandon.
struct Scan {
    HGLOBAL block = nullptr;
    RGNDATA* batch = nullptr;
    int32_t MAXRECTS = ALLOC_UNIT;
    HRGN result = nullptr;

    bool Start() {
        block = GlobalAlloc(GMEM_MOVEABLE, BatchBytes(MAXRECTS));
        if (!block) return false;
        batch = static_cast<RGNDATA*>(GlobalLock(block));
        if (!batch) return false;
        batch->rdh.dwSize = sizeof(RGNDATAHEADER);
        batch->rdh.iType = RDH_RECTANGLES;
        batch->rdh.nRgnSize = 0;
        ResetBatch(batch->rdh);
        return true;
    }

    bool Grow() {
        GlobalUnlock(block);
        batch = nullptr;
        MAXRECTS += ALLOC_UNIT;
        HGLOBAL moved = GlobalReAlloc(block, BatchBytes(MAXRECTS), GMEM_MOVEABLE);
        // On failure the old block is still ours and is freed with the rest.
        if (!moved) return false;
        block = moved;
        batch = static_cast<RGNDATA*>(GlobalLock(block));
        return batch != nullptr;
    }

    bool Add(LONG x0, LONG y, LONG x) {
        if (LONG(batch->rdh.nCount) >= MAXRECTS && !Grow()) return false;
        RECT& bound = batch->rdh.rcBound;
        Rects(batch)[batch->rdh.nCount] = MakeRect(x0, y, x, y + 1);
        bound.left = std::min(bound.left, x0);
        bound.top = std::min(bound.top, y);
        bound.right = std::max(bound.right, x);
        bound.bottom = std::max(bound.bottom, y + 1);
        ++batch->rdh.nCount;
        return batch->rdh.nCount != DWORD(FlushRects) || Flush();
    }

    // Turns the batch into a region and ORs it into the result.
    bool Flush() {
        HRGN part = ExtCreateRegion(nullptr, DWORD(BatchBytes(MAXRECTS)), batch);
        if (!part) return false;
        if (!result) {
            result = part;
        } else {
            int kind = CombineRgn(result, result, part, RGN_OR);
            DeleteObject(part);
            if (kind == ERROR) return false;
        }
        ResetBatch(batch->rdh);
        return true;
    }

    void Release() {
        if (batch) GlobalUnlock(block);
        if (block) GlobalFree(block);
        batch = nullptr;
        block = nullptr;
    }

    void Abandon() {
        Release();
        if (result) DeleteObject(result);
        result = nullptr;
    }
};

// The first position at or after `from` whose bit is `set`, or `limit`.
LONG NextBit(const std::vector<uint64_t>& bits, LONG from, bool set, LONG limit) {
    size_t word = size_t(from) / 64;
    uint64_t w = (set ? bits[word] : ~bits[word]) & (~uint64_t(0) << (from % 64));
    while (w == 0) {
        if (++word >= bits.size()) return limit;
        w = set ? bits[word] : ~bits[word];
    }
    return std::min<LONG>(LONG(word * 64 + size_t(__builtin_ctzll(w))), limit);
}

} // namespace

HRGN BITMAPTOREGION(const std::string& BMPNAME, uint32_t TRANSCOLOR, uint8_t TOLERANCE) {
    HPALETTE PAL = nullptr;
    HBITMAP picture = LOADBMPFROMFILE(BMPNAME, PAL);
    if (!picture) return nullptr;

    HDC memory = CreateCompatibleDC(nullptr);
    if (!memory) {
        DeleteObject(PAL);
        DeleteObject(picture);
        return nullptr;
    }

    BITMAP bm{};
    GetObjectA(picture, sizeof bm, &bm);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = std::abs(bm.bmHeight); // positive: bottom row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP surface = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!surface) {
        DeleteDC(memory);
        DeleteObject(PAL);
        DeleteObject(picture);
        return nullptr;
    }
    HGDIOBJ held = SelectObject(memory, surface);

    // Copy through a second surface with the picture's palette realised, so
    // pictures of 8 bits or fewer arrive in their true colours.
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ sourceHeld = SelectObject(source, picture);
    HPALETTE sourcePalette = SelectPalette(source, PAL, TRUE);
    RealizePalette(source);
    BitBlt(memory, 0, 0, bm.bmWidth, std::abs(bm.bmHeight), source, 0, 0, SRCCOPY);
    SelectPalette(source, sourcePalette, FALSE);
    SelectObject(source, sourceHeld);
    DeleteDC(source);
    // The pixel memory is read directly next: drawing still batched must
    // have reached it.
    GdiFlush();

    BITMAP work{};
    GetObjectA(surface, sizeof work, &work);
    const size_t rowLength = (size_t(std::max<LONG>(work.bmWidthBytes, 0)) + 3) / 4 * 4;
    const LONG width = work.bmWidth, height = work.bmHeight;

    Scan scan;
    bool ok = scan.Start();
    // The key colour must fit the signed colour value it is read as.
    const int32_t key = CheckedNarrow<int32_t>(TRANSCOLOR);

    if (ok) {
        const int LR = GetRValue(key), LG = GetGValue(key), LB = GetBValue(key);
        const int HR = std::min(LR + TOLERANCE, 255), HG = std::min(LG + TOLERANCE, 255),
                  HB = std::min(LB + TOLERANCE, 255);
        // The tolerance reaches upward only; a pixel is blue, green, red and
        // an ignored byte in memory.
        // Written with | rather than ||, so that testing a pixel takes no branch.
        auto opaque = [&](const uint8_t* pixel) -> uint64_t {
            return uint64_t((pixel[2] < LR) | (pixel[2] > HR) | (pixel[1] < LG) | (pixel[1] > HG) |
                            (pixel[0] < LB) | (pixel[0] > HB));
        };
        // A row's opaque pixels as bits, 64 to a word: the runs are then found
        // a word at a time, with no branch that depends on each pixel.
        std::vector<uint64_t> opaqueBits(size_t(std::max<LONG>(width, 0)) / 64 + 1);
        // The picture's top row is the last row in memory.
        for (LONG y = 0; ok && y < height && width > 0; ++y) {
            const uint8_t* row =
                static_cast<const uint8_t*>(work.bmBits) + size_t(height - 1 - y) * rowLength;
            std::fill(opaqueBits.begin(), opaqueBits.end(), 0);
            for (LONG x = 0; x < width; ++x)
                opaqueBits[size_t(x) / 64] |= opaque(row + size_t(x) * 4) << (x % 64);
            // Each run of opaque pixels, left to right, is one rectangle.
            LONG x = NextBit(opaqueBits, 0, true, width);
            while (ok && x < width) {
                const LONG end = NextBit(opaqueBits, x, false, width);
                ok = scan.Add(x, y, end);
                x = NextBit(opaqueBits, end, true, width);
            }
        }
        if (ok) ok = scan.Flush();
    }

    if (ok)
        scan.Release();
    else
        scan.Abandon();
    SelectObject(memory, held);
    DeleteObject(surface);
    DeleteDC(memory);
    DeleteObject(PAL);
    DeleteObject(picture);
    return ok ? scan.result : nullptr;
}

} // namespace quorvel
