// Loading a BMP file into a texture slot.
#include "quorvel/image.h"

#include <algorithm>
#include <cstdlib>

namespace quorvel {

namespace {

// The decoded picture as the upload needs it: pixel memory, size, row
// length in bytes, and whether the rows are stored top row first.
struct Picture {
    uint8_t* bits = nullptr;
    int32_t width = 0, height = 0;
    size_t stride = 0;
    bool topDown = false;
};

// Fills `out` from the decoder's bitmap when it is a picture of the depth
// the headers announced, with rows laid out as an upload with unpack
// alignment 4 reads them; anything else is not uploaded.
bool Describe(HBITMAP bitmap, int32_t format, Picture& out) {
    BITMAP bm{};
    if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) == 0) return false;
    if (!bm.bmBits || bm.bmWidth <= 0 || bm.bmHeight == 0 || bm.bmBitsPixel != format) return false;
    const size_t width = size_t(bm.bmWidth), height = size_t(std::abs(int64_t(bm.bmHeight)));
    const size_t row = width * size_t(format / 8), aligned = (row + 3) / 4 * 4;
    if (bm.bmWidthBytes < 0 || size_t(bm.bmWidthBytes) != aligned) return false;
    // A DIB section keeps the file's row order; its header says which.
    DIBSECTION ds{};
    bool topDown = GetObjectA(bitmap, sizeof ds, &ds) == int(sizeof ds) && ds.dsBmih.biHeight < 0;
    out.bits = static_cast<uint8_t*>(bm.bmBits);
    out.width = bm.bmWidth;
    out.height = int32_t(height);
    out.stride = aligned;
    out.topDown = topDown || bm.bmHeight < 0;
    return true;
}

// Brings the picture into the upload's layout in place, without a second
// copy: the bottom row first (texture row 0 is t = 0) and, for 24 bits,
// red-green-blue order. Rows whose fill bytes would put the 3-byte groups
// out of step are swapped one row at a time.
void Convert(Picture& picture, int32_t format) {
    const size_t rowBytes = size_t(picture.width) * size_t(format / 8);
    uint8_t* first = picture.bits;
    if (picture.topDown) {
        for (int32_t top = 0, bottom = picture.height - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(first + size_t(top) * picture.stride,
                             first + size_t(top) * picture.stride + rowBytes,
                             first + size_t(bottom) * picture.stride);
    }
    if (format != 24) return;
    const int64_t groups = int64_t(picture.width) * picture.height;
    if (picture.stride == rowBytes && groups <= INT32_MAX) {
        SWAPRGB(first, int32_t(groups));
        return;
    }
    for (int32_t y = 0; y < picture.height; ++y)
        SWAPRGB(first + size_t(y) * picture.stride, picture.width);
}

bool IsMipmapFilter(int32_t filter) {
    return filter == GL_NEAREST_MIPMAP_NEAREST || filter == GL_LINEAR_MIPMAP_NEAREST ||
           filter == GL_NEAREST_MIPMAP_LINEAR || filter == GL_LINEAR_MIPMAP_LINEAR;
}

} // namespace

void TEXTURELOADID(const char* BMPFILE, int32_t NUM) {
    const int32_t FORMAT = GETBMPDEPTH(BMPFILE);
    HBITMAP bitmap = nullptr;
    if (BMPFILE)
        bitmap = static_cast<HBITMAP>(
            LoadImageA(GetModuleHandleA(nullptr), BMPFILE, IMAGE_BITMAP, 0, 0,
                       LR_CREATEDIBSECTION | LR_LOADTRANSPARENT | LR_LOADFROMFILE));
    Picture picture;
    const bool usable = (FORMAT == 24 || FORMAT == 32) && Describe(bitmap, FORMAT, picture);
    if (usable) Convert(picture, FORMAT);

    glEnable(GL_TEXTURE_2D);
    // Before any name is generated or bound: a bad slot leaves the table and
    // the binding as they were.
    CheckedRange<int32_t>(NUM, 0, 500);
    const GLuint replaced = TEXTUREID2[NUM];
    glGenTextures(1, &TEXTUREID2[NUM]);
    // The texture this slot held would otherwise be unreachable for the rest
    // of the run. The new name was generated first, so it always differs
    // from the old one unless the old one no longer named a texture.
    if (replaced != 0 && replaced != TEXTUREID2[NUM]) glDeleteTextures(1, &replaced);
    glBindTexture(GL_TEXTURE_2D, TEXTUREID2[NUM]);

    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);

    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_MIN_FILTER);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_MAG_FILTER);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);

    if (usable) {
        if (FORMAT == 24)
            glTexImage2D(GL_TEXTURE_2D, 0, 3, picture.width, picture.height, 0, GL_RGB,
                         GL_UNSIGNED_BYTE, picture.bits);
        else
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, picture.width, picture.height, 0, GL_BGRA_EXT,
                         GL_UNSIGNED_BYTE, picture.bits);
        if (IsMipmapFilter(GL_MIN_FILTER))
            ADDMIPMAPSTEXTURE(FORMAT, picture.width, picture.height, picture.bits);
    }

    if (bitmap) DeleteObject(bitmap);
}

} // namespace quorvel
