// The scene's own operations and its tables of boxes. StartScene() and
// DrawSceneFrame() (demo.h) are what the entry calls; the operations below
// are declared here so that tests can drive them one at a time.
#pragma once

#include <cstdint>

// Start-up: loads the four texture slots through OPENGL_TEXTURE.
void OPENGL_CREATELIST();
void OPENGL_TEXTURE();

// One frame: clear, projection, light, floor, 24 boxes and the teapot.
void OPENGL_DRAW();
// Rebuilds viewport, projection and view for the frame.
void OPENGL_DRAW2D();
// Hooks named for mouse and keyboard handling. The scene reacts to neither,
// so they are empty; they keep their place in the frame so that a scene
// that does react has somewhere to put it.
void OPENGL_MOUSE2D();
void OPENGL_KEYBOARD();

// A quad lit and textured from both sides. P1 to P2 and P3 to P4 are two
// opposite edges in the same direction; the corners go out as P2, P1, P3, P4.
void QUAD(float X1, float Y1, float Z1, float X2, float Y2, float Z2, float X3, float Y3, float Z3,
          float X4, float Y4, float Z4);

namespace scene {

// Texture slots and the files loaded into them, from the working directory.
inline constexpr int32_t kFloorSlot = 0;
inline constexpr int32_t kRockSlot = 1;
inline constexpr int32_t kStoneSlot = 2;
inline constexpr int32_t kMarbleSlot = 3;
inline constexpr const char* kTextureFiles[4] = {"Floor04.bmp", "rock.bmp", "stoneblocks.bmp",
                                                 "marmorizato.bmp"};

// One CUBO2 call: origin, the two corners relative to it, texture scale.
struct Box {
    float x, y, z;
    float x1, y1, z1;
    float x2, y2, z2;
    float tsize;
};

// Textures repeat once every two units on every box.
inline constexpr float kBoxTexture = 0.5f;

// Drawn with the rock texture: the stepped pyramid (six tiers, each 0.5
// high and 0.5 narrower on every side than the one below), the three
// columns and the wall.
inline constexpr Box kRockBoxes[] = {
    {0, 0, 0, -3, 0, -3, 3, 0.5f, 3, kBoxTexture},
    {0, 0.5f, 0, -2.5f, 0, -2.5f, 2.5f, 0.5f, 2.5f, kBoxTexture},
    {0, 1, 0, -2, 0, -2, 2, 0.5f, 2, kBoxTexture},
    {0, 1.5f, 0, -1.5f, 0, -1.5f, 1.5f, 0.5f, 1.5f, kBoxTexture},
    {0, 2, 0, -1, 0, -1, 1, 0.5f, 1, kBoxTexture},
    {0, 2.5f, 0, -0.5f, 0, -0.5f, 0.5f, 0.5f, 0.5f, kBoxTexture},
    {-6, 0, -2, -0.25f, 0, -0.25f, 0.25f, 3, 0.25f, kBoxTexture},
    {-6, 0, 0, -0.25f, 0, -0.25f, 0.25f, 3, 0.25f, kBoxTexture},
    {-6, 0, 2, -0.25f, 0, -0.25f, 0.25f, 3, 0.25f, kBoxTexture},
    {0, 0, -5, -6.5f, 0, -0.25f, 3, 1.6f, 0.25f, kBoxTexture},
};

// A merlon: 0.2 by 0.25 by 0.2, standing on the platform at (x, 5, z).
inline constexpr Box Merlon(float x, float z) {
    return {x, 5, z, -0.1f, 0, -0.1f, 0.1f, 0.25f, 0.1f, kBoxTexture};
}

// Drawn with the stone-block texture: the tower's shaft, its platform and
// twelve merlons on the platform's rim (four on each of the edges x = 5 and
// x = 7, two more between the corners on each of z = -1 and z = 1).
inline constexpr Box kStoneBoxes[] = {
    {6, 0, 0, -0.7f, 0, -0.7f, 0.7f, 4.5f, 0.7f, kBoxTexture},
    {6, 4.5f, 0, -1, 0, -1, 1, 0.5f, 1, kBoxTexture},
    Merlon(5.1f, -0.9f),
    Merlon(5.1f, -0.3f),
    Merlon(5.1f, 0.3f),
    Merlon(5.1f, 0.9f),
    Merlon(6.9f, -0.9f),
    Merlon(6.9f, -0.3f),
    Merlon(6.9f, 0.3f),
    Merlon(6.9f, 0.9f),
    Merlon(5.7f, -0.9f),
    Merlon(6.3f, -0.9f),
    Merlon(5.7f, 0.9f),
    Merlon(6.3f, 0.9f),
};

// The teapot stands on the floor at x = 0, z = 7.5.
inline constexpr float kTeapotZ = 7.5f;
inline constexpr int32_t kTeapotResolution = 32;

// The view: zoom and far plane of the isometric projection.
inline constexpr double kZoom = 1.0;
inline constexpr double kDepth = 120.0;

} // namespace scene
