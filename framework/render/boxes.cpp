// Quads edge by edge and axis-aligned textured boxes, in immediate mode with
// one normal per face.
#include <quorvel.h>

namespace quorvel {

void LINEFREE(float TX1, float TY1, float TX2, float TY2, float X1, float Y1, float Z1, float X2,
              float Y2, float Z2, bool TEXTURE) {
    // Without TEXTURE the vertices take whatever texture coordinate is
    // current, so a caller can texture one edge and let the next reuse it.
    if (TEXTURE) glTexCoord2f(TX1, TY1);
    glVertex3f(X1, Y1, Z1);
    if (TEXTURE) glTexCoord2f(TX2, TY2);
    glVertex3f(X2, Y2, Z2);
}

namespace {

// One corner of a box face: which of the two values to take on each axis
// (0: the first corner's, 1: the second's) and which texture span gives s
// and t (0: none, 1: along x, 2: along y, 3: along z).
struct Corner {
    uint8_t x, y, z, s, t;
};

// The six faces, each counter-clockwise seen from outside when the second
// corner is the larger on every axis: z = Z2, z = Z1, y = Y2, y = Y1,
// x = X2, x = X1. Each face's texture starts at 0 on one of its edges.
constexpr Corner kFaces[6][4] = {
    {{0, 0, 1, 0, 0}, {1, 0, 1, 1, 0}, {1, 1, 1, 1, 2}, {0, 1, 1, 0, 2}},
    {{0, 0, 0, 1, 0}, {0, 1, 0, 1, 2}, {1, 1, 0, 0, 2}, {1, 0, 0, 0, 0}},
    {{0, 1, 0, 0, 3}, {0, 1, 1, 0, 0}, {1, 1, 1, 1, 0}, {1, 1, 0, 1, 3}},
    {{0, 0, 0, 1, 3}, {1, 0, 0, 0, 3}, {1, 0, 1, 0, 0}, {0, 0, 1, 1, 0}},
    {{1, 0, 0, 3, 0}, {1, 1, 0, 3, 2}, {1, 1, 1, 0, 2}, {1, 0, 1, 0, 0}},
    {{0, 0, 0, 0, 0}, {0, 0, 1, 3, 0}, {0, 1, 1, 3, 2}, {0, 1, 0, 0, 2}},
};

} // namespace

void CUBO2(float X, float Y, float Z, float X1, float Y1, float Z1, float X2, float Y2, float Z2,
           float TSIZE) {
    glPushMatrix();
    glTranslatef(X, Y, Z);
    glBegin(GL_QUADS);

    // The texture repeats every 1/TSIZE units along each edge of a face.
    const float span[4] = {0.0f, static_cast<float>((double{X2} - X1) * TSIZE),
                           static_cast<float>((double{Y2} - Y1) * TSIZE),
                           static_cast<float>((double{Z2} - Z1) * TSIZE)};
    const float xs[2] = {X1, X2}, ys[2] = {Y1, Y2}, zs[2] = {Z1, Z2};

    for (const auto& face : kFaces) {
        const Corner &c1 = face[0], &c2 = face[1], &c3 = face[2], &c4 = face[3];
        // The normal always comes from the corners, so a box given with its
        // corners reversed on one axis is turned inside out consistently.
        FINDNORMAL(xs[c1.x], ys[c1.y], zs[c1.z], xs[c2.x], ys[c2.y], zs[c2.z], xs[c3.x], ys[c3.y],
                   zs[c3.z]);
        glNormal3f(static_cast<float>(FNORMAL[1]), static_cast<float>(FNORMAL[2]),
                   static_cast<float>(FNORMAL[3]));
        LINEFREE(span[c1.s], span[c1.t], span[c2.s], span[c2.t], xs[c1.x], ys[c1.y], zs[c1.z],
                 xs[c2.x], ys[c2.y], zs[c2.z], true);
        LINEFREE(span[c3.s], span[c3.t], span[c4.s], span[c4.t], xs[c3.x], ys[c3.y], zs[c3.z],
                 xs[c4.x], ys[c4.y], zs[c4.z], true);
    }

    glEnd();
    glPopMatrix();
}

} // namespace quorvel
