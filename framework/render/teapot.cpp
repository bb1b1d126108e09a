// The teapot: bicubic patches drawn with OpenGL's two-dimensional
// evaluators, which also generate the normals (GL_AUTO_NORMAL) and the
// texture coordinates. Only the distinct parts are stored; the other
// quarters and halves are mirror images built here for every patch.
#include <quorvel.h>

namespace quorvel {

namespace {

// A 4 by 4 control net: row J (v), column K (u), then x, y, z. Consecutive
// points are 3 floats apart along u and 12 along v, the strides the
// evaluator is given.
using Net = Array<Array<Array<float, 0, 2>, 0, 3>, 0, 3>;
static_assert(sizeof(Net) == 48 * sizeof(float), "a net must be 48 contiguous floats");
static_assert(sizeof(TEX) == 8 * sizeof(float), "the texture net must be 8 contiguous floats");

void DrawNet(const Net& NET, int32_t GRD) {
    glMap2f(GL_MAP2_VERTEX_3, 0.0f, 1.0f, 3, 4, 0.0f, 1.0f, 12, 4, &NET[0][0][0]);
    glEvalMesh2(GL_FILL, 0, GRD, 0, GRD);
}

} // namespace

void PUTGLTEAPOT(float X, float Y, float Z, float SCALE, int32_t RES) {
    const int32_t GRD = RES >= 2 ? RES : 2;

    glPushMatrix();
    glTranslatef(X, Y, Z);
    glScalef(SCALE, SCALE, SCALE);
    glPushAttrib(GL_EVAL_BIT | GL_ENABLE_BIT | GL_POLYGON_BIT);
    // The evaluator's quads on the outside are wound clockwise as seen from
    // outside, so under counter-clockwise front faces they are back faces:
    // culling front faces keeps the outside. Culling itself stays as the
    // caller set it.
    glCullFace(GL_FRONT);
    glEnable(GL_AUTO_NORMAL);
    glEnable(GL_MAP2_VERTEX_3);
    glEnable(GL_MAP2_TEXTURE_COORD_2);

    Net P, Q, R, S;
    for (int32_t I = 0; I <= 9; ++I) {
        const auto& PATCH = PATCHDATA[I];
        // The mirror images in x = 0 and in y = 0 reverse the column order,
        // which keeps every surface's orientation, and so its automatic
        // normal, pointing out of the teapot.
        for (int32_t J = 0; J <= 3; ++J) {
            for (int32_t K = 0; K <= 3; ++K) {
                const auto& STORED = CPDATA[PATCH[4 * J + K]];
                const auto& REVERSED = CPDATA[PATCH[4 * J + 3 - K]];
                for (int32_t L = 0; L <= 2; ++L) {
                    P[J][K][L] = STORED[L];
                    Q[J][K][L] = L == 1 ? -REVERSED[L] : REVERSED[L];
                    if (I < 6) {
                        R[J][K][L] = L == 0 ? -REVERSED[L] : REVERSED[L];
                        S[J][K][L] = L <= 1 ? -STORED[L] : STORED[L];
                    }
                }
            }
        }

        glMapGrid2f(GRD, 0.0f, 1.0f, GRD, 0.0f, 1.0f);
        glMap2f(GL_MAP2_TEXTURE_COORD_2, 0.0f, 1.0f, 2, 2, 0.0f, 1.0f, 4, 2, &TEX[0][0][0]);
        DrawNet(P, GRD);
        DrawNet(Q, GRD);
        // The symmetric patches are stored as one quarter, the handle and
        // the spout as one half.
        if (I < 6) {
            DrawNet(R, GRD);
            DrawNet(S, GRD);
        }
    }

    glPopAttrib();
    glPopMatrix();
}

} // namespace quorvel
