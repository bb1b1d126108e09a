// The texture slot table, the filter settings, and selecting a slot.
#include "quorvel/image.h"

namespace quorvel {

Array<GLuint, 0, 500> TEXTUREID2{};
int32_t GL_MIN_FILTER = GL_LINEAR;
int32_t GL_MAG_FILTER = GL_LINEAR;

void TEXTURESELECTID(int32_t NUM) {
    // The check comes first so that an out-of-range slot binds nothing.
    CheckedRange<int32_t>(NUM, 0, 500);
    glBindTexture(GL_TEXTURE_2D, TEXTUREID2[NUM]);
}

} // namespace quorvel
