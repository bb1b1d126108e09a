// Building the bound texture's mipmap chain.
#include "quorvel/image.h"

#include <GL/glu.h>

namespace quorvel {

void ADDMIPMAPSTEXTURE(int32_t FORMAT, int32_t WIDTH, int32_t HEIGHT, void* BITS) {
    // The pixels are already in the upload's layout: swapped to
    // red-green-blue for 24 bits, untouched blue-green-red-alpha for 32.
    if (FORMAT == 24)
        gluBuild2DMipmaps(GL_TEXTURE_2D, 3, WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, BITS);
    else if (FORMAT == 32)
        gluBuild2DMipmaps(GL_TEXTURE_2D, 4, WIDTH, HEIGHT, GL_BGRA_EXT, GL_UNSIGNED_BYTE, BITS);
}

} // namespace quorvel
