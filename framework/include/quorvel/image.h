// Quorvel's image operations, globals and constants. Included by <quorvel.h>.
#pragma once

#include <cstdint>
#include <string>

#include <windows.h>
#include <GL/gl.h>

#include "quorvel/checked.h"

namespace quorvel {

// ---- BMP textures -------------------------------------------------------------

// Texture names by slot; 0 (OpenGL's default texture) until a slot is loaded.
extern Array<GLuint, 0, 500> TEXTUREID2;
// Minification and magnification filters given to every texture loaded from
// then on; both start at GL_LINEAR (9729).
extern int32_t GL_MIN_FILTER;
extern int32_t GL_MAG_FILTER;

// Loads an uncompressed 24- or 32-bit BMP file as the texture of slot NUM
// (0 to 500), leaves it bound and texturing enabled. A file that cannot be
// used still gives the slot a fresh, bound texture without an image.
void TEXTURELOADID(const char* BMPFILE, int32_t NUM);
// Binds slot NUM's texture (0 to 500).
void TEXTURESELECTID(int32_t NUM);
// The bit depth in a BMP file's info header; 0 for a missing file, a file
// that is not a BMP or is too short for its headers, or the 12-byte header.
int32_t GETBMPDEPTH(const char* BMPFILE);
// Exchanges byte 0 and byte 2 of SIZE consecutive 3-byte groups in place.
void SWAPRGB(void* DATA, int32_t SIZE);
// Builds the mipmap chain of the bound texture from pixels laid out as the
// upload takes them (FORMAT 24: red-green-blue; 32: blue-green-red-alpha).
void ADDMIPMAPSTEXTURE(int32_t FORMAT, int32_t WIDTH, int32_t HEIGHT, void* BITS);

// ---- bitmap files and bitmap regions ------------------------------------------

// Rectangles are gathered for a region in batches that grow by this many.
constexpr int32_t ALLOC_UNIT = 100;

// Loads a BMP file as a device-independent bitmap in its own format and
// makes a palette to show it with (written to PAL only on success). The
// caller owns both. 0 when the file cannot be loaded.
HBITMAP LOADBMPFROMFILE(const std::string& FILENAME, HPALETTE& PAL);
// The region of every pixel of a BMP file whose colour is not within
// TOLERANCE above the key colour TRANSCOLOR (0x00BBGGRR), as one-pixel-high
// rectangles; y counts from the picture's top row. The caller owns it. 0
// when the picture or its working copy cannot be made, or the region cannot
// be built.
HRGN BITMAPTOREGION(const std::string& BMPNAME, uint32_t TRANSCOLOR, uint8_t TOLERANCE);

} // namespace quorvel
