#include "gdi/bmp_decode.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace qv::gdi {

namespace {

uint16_t U16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// A channel mask must be one run of set bits.
bool Contiguous(uint32_t m) {
    if (m == 0) return false;
    while (!(m & 1))
        m >>= 1;
    return (m & (m + 1)) == 0;
}

bool ValidMasks(const uint32_t m[3], int bpp) {
    for (int i = 0; i < 3; ++i) {
        if (!Contiguous(m[i])) return false;
        if (bpp == 16 && m[i] > 0xFFFF) return false;
    }
    return (m[0] & m[1]) == 0 && (m[0] & m[2]) == 0 && (m[1] & m[2]) == 0;
}

void DefaultMasks(int bpp, uint32_t m[3]) {
    if (bpp == 16) {
        m[0] = 0x7C00, m[1] = 0x03E0, m[2] = 0x001F;
    } else if (bpp == 32) {
        m[0] = 0x00FF0000, m[1] = 0x0000FF00, m[2] = 0x000000FF;
    } else {
        m[0] = m[1] = m[2] = 0;
    }
}

} // namespace

bool ParseBmpHeaders(const uint8_t* head, size_t head_size, uint64_t file_size, BmpLayout& out) {
    out = BmpLayout{};
    if (!head || head_size < 18 || head_size > file_size) return false;
    if (head[0] != 'B' || head[1] != 'M') return false;
    const uint32_t off_bits = U32(head + 10);
    const uint32_t hsize = U32(head + 14);
    const uint8_t* h = head + 14;

    int64_t width = 0, height = 0;
    unsigned planes = 0, bpp = 0;
    uint32_t compression = BI_RGB, clr_used = 0;
    size_t table_start = 0, entry_size = 4;
    LONG xppm = 0, yppm = 0;

    if (hsize == 12) {
        if (head_size < 14 + 12) return false;
        width = U16(h + 4);
        height = U16(h + 6);
        planes = U16(h + 8);
        bpp = U16(h + 10);
        if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24) return false;
        table_start = 14 + 12;
        entry_size = 3;
    } else if (hsize == 40 || hsize == 108 || hsize == 124) {
        if (head_size < 14 + size_t(hsize)) return false;
        width = int32_t(U32(h + 4));
        height = int32_t(U32(h + 8));
        planes = U16(h + 12);
        bpp = U16(h + 14);
        compression = U32(h + 16);
        xppm = LONG(U32(h + 24));
        yppm = LONG(U32(h + 28));
        clr_used = U32(h + 32);
        table_start = 14 + size_t(hsize);
        if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;
        if (compression == BI_BITFIELDS) {
            if (bpp != 16 && bpp != 32) return false;
            const uint8_t* m = h + 40;
            if (hsize == 40) {
                // The three masks follow a plain info header.
                if (head_size < table_start + 12) return false;
                table_start += 12;
            }
            out.masks[0] = U32(m);
            out.masks[1] = U32(m + 4);
            out.masks[2] = U32(m + 8);
            if (!ValidMasks(out.masks, int(bpp))) return false;
        } else if (compression != BI_RGB) {
            return false; // RLE, JPEG, PNG and the rest
        }
    } else {
        return false;
    }

    if (planes != 1) return false;
    if (height == INT32_MIN) return false;
    out.top_down = height < 0;
    if (out.top_down) height = -height;
    if (width <= 0 || height <= 0) return false;
    if (width > kMaxDimension || height > kMaxDimension) return false;
    if (uint64_t(width) * uint64_t(height) > kMaxPixels) return false;
    if (compression == BI_RGB) DefaultMasks(int(bpp), out.masks);

    // The colour table sits between the headers and the pixels; a pixel
    // offset that leaves it less room shortens it.
    size_t entries = 0;
    if (bpp <= 8) {
        entries = size_t(1) << bpp;
        if (clr_used != 0 && clr_used < entries) entries = clr_used;
        if (off_bits != 0) {
            if (off_bits < table_start) return false;
            entries = std::min(entries, (size_t(off_bits) - table_start) / entry_size);
        }
        if (entries == 0) return false;
        if (table_start + entries * entry_size > head_size) return false;
        out.colors.resize(entries);
        for (size_t i = 0; i < entries; ++i) {
            const uint8_t* e = head + table_start + i * entry_size;
            out.colors[i] = RGBQUAD{e[0], e[1], e[2], 0};
        }
    }
    const uint64_t table_end = table_start + entries * entry_size;
    uint64_t pixel_offset = off_bits ? uint64_t(off_bits) : table_end;
    if (pixel_offset < table_start) return false;

    const uint64_t stride = DibStride(uint64_t(width), bpp);
    if (stride == 0) return false;
    const uint64_t bytes = stride * uint64_t(height);
    if (pixel_offset > file_size || bytes > file_size - pixel_offset) return false;

    out.width = int(width);
    out.height = int(height);
    out.bpp = int(bpp);
    out.compression = compression;
    out.pixel_offset = pixel_offset;
    out.stride = size_t(stride);
    out.pixel_bytes = size_t(bytes);

    BITMAPINFOHEADER& bi = out.info;
    bi.biSize = sizeof(BITMAPINFOHEADER);
    bi.biWidth = out.width;
    bi.biHeight = out.height; // stored bottom-up whatever the file's order
    bi.biPlanes = 1;
    bi.biBitCount = WORD(bpp);
    bi.biCompression = compression;
    bi.biSizeImage = DWORD(bytes);
    bi.biXPelsPerMeter = xppm;
    bi.biYPelsPerMeter = yppm;
    bi.biClrUsed = bpp <= 8 && entries < (size_t(1) << bpp) ? DWORD(entries) : 0;
    return true;
}

std::unique_ptr<Bitmap> MakeDecodedBitmap(const BmpLayout& layout) {
    auto bm = std::make_unique<Bitmap>();
    bm->width = layout.width;
    bm->height = layout.height;
    bm->bpp = layout.bpp;
    bm->top_down = false;
    bm->dib = true;
    bm->compression = layout.compression;
    std::copy(layout.masks, layout.masks + 3, bm->masks);
    bm->colors = layout.colors;
    bm->info = layout.info;
    if (!AllocateBits(*bm) || bm->stride != layout.stride) return nullptr;
    return bm;
}

void FinishDecodedRows(Bitmap& bm, const BmpLayout& layout) {
    if (!layout.top_down) return;
    // A top-down file's first row is the picture's top: swap rows in place
    // so the section is stored bottom row first, like every other picture.
    std::vector<uint8_t> tmp(bm.stride);
    uint8_t* base = bm.bits.get();
    for (int a = 0, b = bm.height - 1; a < b; ++a, --b) {
        uint8_t* ra = base + size_t(a) * bm.stride;
        uint8_t* rb = base + size_t(b) * bm.stride;
        std::memcpy(tmp.data(), ra, bm.stride);
        std::memcpy(ra, rb, bm.stride);
        std::memcpy(rb, tmp.data(), bm.stride);
    }
}

std::unique_ptr<Bitmap> DecodeBmp(const uint8_t* data, size_t size) {
    BmpLayout layout;
    if (!ParseBmpHeaders(data, std::min(size, kBmpHeadBytes), size, layout)) return nullptr;
    auto bm = MakeDecodedBitmap(layout);
    if (!bm) return nullptr;
    std::memcpy(bm->bits.get(), data + layout.pixel_offset, layout.pixel_bytes);
    FinishDecodedRows(*bm, layout);
    return bm;
}

namespace {

bool ReadAt(int fd, uint8_t* dst, size_t n, uint64_t offset) {
    while (n > 0) {
        ssize_t got = pread(fd, dst, n, off_t(offset));
        if (got <= 0) return false;
        dst += got;
        n -= size_t(got);
        offset += uint64_t(got);
    }
    return true;
}

struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0) close(fd);
    }
};

} // namespace

std::unique_ptr<Bitmap> LoadBmpFile(const char* path, int* first_index) {
    if (first_index) *first_index = -1;
    if (!path) return nullptr;
    Fd f{open(path, O_RDONLY | O_CLOEXEC)};
    if (f.fd < 0) return nullptr;
    struct stat st {};
    if (fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) return nullptr;
    const uint64_t file_size = uint64_t(st.st_size);

    uint8_t head[kBmpHeadBytes];
    size_t head_size = size_t(std::min<uint64_t>(file_size, kBmpHeadBytes));
    if (!ReadAt(f.fd, head, head_size, 0)) return nullptr;
    BmpLayout layout;
    if (!ParseBmpHeaders(head, head_size, file_size, layout)) return nullptr;
    auto bm = MakeDecodedBitmap(layout);
    if (!bm) return nullptr;
    // The pixel rows go straight from the file into the section's memory.
    if (!ReadAt(f.fd, bm->bits.get(), layout.pixel_bytes, layout.pixel_offset)) return nullptr;
    if (first_index && layout.bpp <= 8) {
        const uint8_t b = bm->bits.get()[0];
        *first_index = layout.bpp == 8 ? b : layout.bpp == 4 ? b >> 4 : b >> 7;
    }
    FinishDecodedRows(*bm, layout);
    return bm;
}

} // namespace qv::gdi
