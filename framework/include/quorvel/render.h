// Quorvel's render operations, globals and constants. Included by <quorvel.h>.
//
// Every operation here only sets OpenGL state or draws: each needs the
// window's rendering context to be current, and none validates its
// arguments or reports an error. A bad light name, a point size of zero and
// the like are refused by OpenGL through its own error flag, and the
// operation carries on with its remaining calls.
#pragma once

#include <cstdint>
#include <string>

#include <windows.h>
#include <GL/gl.h>

#include "quorvel/checked.h"

namespace quorvel {

// ---- projection modes -----------------------------------------------------

// The offsets OPENGL_I2D derives from the window's shape (the integer
// quotient HEIGHT / WIDTH minus 2.05 and 1.45); written by OPENGL_I2D alone.
extern float OFFX;
extern float OFFY;

// Orthographic two-dimensional mode over the whole window: x from -2 to 2,
// y following the window's aspect. The clear colour comes alpha first.
void OPENGL_I2D(double A, double R, double G, double B);

// The narrow-angle perspective that gives the isometric look: a 12.5 degree
// field of view, the far plane at DEPTH, the view turned 45 degrees about y
// and tilted 25 degrees about x, 90 units in front of the eye, scaled by
// ZOOM. The model-view matrix stays current. Colour alpha first again.
void OPENGL_INITISOMETRIC(double ZOOM, double DEPTH, double A, double R, double G, double B);

// ---- lights and lighting switches -----------------------------------------

// The colours SETGLLIGHT gives a light, read afresh at every call, and the
// position last sent to OpenGL by SETGLLIGHT or PUTGLPOINTLIGHT (one buffer
// shared by all lights).
extern Array<float, 0, 3> AMBIENTLIGHT;  // initially 0.5, 0.5, 0.5, 1
extern Array<float, 0, 3> DIFFUSELIGHT;  // initially 1, 1, 1, 1
extern Array<float, 0, 3> SPECULARLIGHT; // initially 1, 1, 1, 1
extern Array<float, 0, 3> LIGHTPOSITION; // initially 0, 0, 0, 0

// Lighting on; light NLIGHT (GL_LIGHT0 and up, the constant itself) coloured
// from the arrays above, switched on and placed at (L0, L1, L2, L3) under
// the current model-view matrix.
void SETGLLIGHT(uint32_t NLIGHT, float L0, float L1, float L2, float L3);

// Moves light NLIGHT to (LX, LY, LZ, LVAL) under the current model-view
// matrix and marks the spot with a point of size SIZE at (LX, LY, LZ).
void PUTGLPOINTLIGHT(uint32_t NLIGHT, float SIZE, float LX, float LY, float LZ, float LVAL);

void TWOSIDEON();  // two-sided lighting on
void TWOSIDEOFF(); // two-sided lighting off

// Back-face culling with counter-clockwise front faces, smooth shading.
void SETGLREFRACTIVE();

// ---- normals and boxes ----------------------------------------------------

// The unit normal of the last face FINDNORMAL was given; zero at start.
extern Array<double, 1, 3> FNORMAL;

// FNORMAL := the unit vector along (V1 - V2) x (V2 - V3): the side from which
// V1, V2, V3 appear counter-clockwise. Collinear or repeated points give
// (0, 0, 0). Makes no OpenGL call, so it may run inside glBegin/glEnd.
void FINDNORMAL(double V1X, double V1Y, double V1Z, double V2X, double V2Y, double V2Z, double V3X,
                double V3Y, double V3Z);

// One edge of a quad: two vertices, each preceded by its texture coordinate
// when TEXTURE is true. Call it inside the caller's glBegin/glEnd; two calls
// in a row make one quad.
void LINEFREE(float TX1, float TY1, float TX2, float TY2, float X1, float Y1, float Z1, float X2,
              float Y2, float Z2, bool TEXTURE);

// A textured box between the corners (X1, Y1, Z1) and (X2, Y2, Z2) relative
// to the origin (X, Y, Z), the texture repeating every 1/TSIZE units. Issues
// its own glBegin/glEnd and leaves the model-view matrix as it found it.
void CUBO2(float X, float Y, float Z, float X1, float Y1, float Z1, float X2, float Y2, float Z2,
           float TSIZE);

// ---- the teapot -----------------------------------------------------------

// Ten bicubic patches, each 16 indexes into CPDATA (entry 4*J + K is row J
// in v, column K in u). The symmetric patches 0 to 5 are stored as the
// quarter x >= 0, y <= 0, the handle and the spout (6 to 9) as the half
// y <= 0, and are mirrored at draw time.
extern const Array<Array<int32_t, 0, 15>, 0, 9> PATCHDATA;
// The 127 control points (x, y, z), the teapot standing on z = 0 along +z.
extern const Array<Array<float, 0, 2>, 0, 126> CPDATA;
// Texture coordinates of a patch's corners, [v][u]: one whole copy of the
// bound texture per patch.
extern const Array<Array<Array<float, 0, 1>, 0, 1>, 0, 1> TEX;

// The textured teapot at (X, Y, Z) scaled by SCALE, every patch evaluated on
// a grid of RES by RES steps (at least 2). Must be called outside
// glBegin/glEnd; leaves the model-view matrix, the enables, the evaluator
// state and the polygon state as it found them.
void PUTGLTEAPOT(float X, float Y, float Z, float SCALE, int32_t RES);

} // namespace quorvel
