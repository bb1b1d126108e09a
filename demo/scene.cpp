// The isometric scene: what is set up once, and the frame drawn again and
// again. Everything is sent in immediate mode every frame through the
// framework's primitives; nothing is cached and no display list is built.
#include "demo.h"
#include "scene_parts.h"

#include <quorvel.h>

using namespace quorvel;

void StartScene() {
    OPENGL_INITISOMETRIC(scene::kZoom, scene::kDepth, 0.0, 0.0, 0.0, 0.0);
    SETGLREFRACTIVE();
    // Placed under the start-up view; every frame moves light 0 again, so
    // this position never shows.
    SETGLLIGHT(GL_LIGHT0, 0.0f, 0.0f, 0.0f, 0.1f);
    OPENGL_CREATELIST();
}

void DrawSceneFrame() {
    OPENGL_DRAW();
}

void OPENGL_CREATELIST() {
    OPENGL_TEXTURE();
}

void OPENGL_TEXTURE() {
    // Slot order matters: the last load leaves its texture (the marble,
    // slot 3) bound, and that is what the first frame's light marker sees.
    TEXTURELOADID(scene::kTextureFiles[0], scene::kFloorSlot);
    TEXTURELOADID(scene::kTextureFiles[1], scene::kRockSlot);
    TEXTURELOADID(scene::kTextureFiles[2], scene::kStoneSlot);
    TEXTURELOADID(scene::kTextureFiles[3], scene::kMarbleSlot);
}

void OPENGL_DRAW2D() {
    // The two-dimensional mode first: the isometric call then replaces all
    // of its GL state, so only its offsets survive.
    OPENGL_I2D(0.0, 0.0, 0.0, 0.0);
    OPENGL_INITISOMETRIC(scene::kZoom, scene::kDepth, 0.0, 0.0, 0.0, 0.0);
}

void OPENGL_MOUSE2D() {}
void OPENGL_KEYBOARD() {}

void QUAD(float X1, float Y1, float Z1, float X2, float Y2, float Z2, float X3, float Y3, float Z3,
          float X4, float Y4, float Z4) {
    // Seen and lit from both sides, whatever culling and two-sided lighting
    // were before; culling is on and two-sided lighting off afterwards.
    TWOSIDEON();
    glDisable(GL_CULL_FACE);
    glBegin(GL_QUADS);
    // The side toward which P2, P1, P3, P4 run counter-clockwise. Collinear
    // corners give (0, 0, 0), passed on as it is.
    FINDNORMAL(X2, Y2, Z2, X1, Y1, Z1, X3, Y3, Z3);
    glNormal3f(static_cast<float>(FNORMAL[1]), static_cast<float>(FNORMAL[2]),
               static_cast<float>(FNORMAL[3]));
    // Three repeats of the texture along each edge, whatever the quad's size.
    LINEFREE(3.0f, 3.0f, 0.0f, 3.0f, X2, Y2, Z2, X1, Y1, Z1, true);
    LINEFREE(0.0f, 0.0f, 3.0f, 0.0f, X3, Y3, Z3, X4, Y4, Z4, true);
    glEnd();
    glEnable(GL_CULL_FACE);
    TWOSIDEOFF();
}

namespace {

void DrawBox(const scene::Box& b) {
    CUBO2(b.x, b.y, b.z, b.x1, b.y1, b.z1, b.x2, b.y2, b.z2, b.tsize);
}

} // namespace

void OPENGL_DRAW() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    OPENGL_DRAW2D();
    OPENGL_MOUSE2D();
    OPENGL_KEYBOARD();

    // A turn about a pivot at the origin: together these leave the view as
    // it is, so everything below is in the view's world coordinates. They
    // are the place where a scene that turns would turn.
    glRotatef(-45.0f, 0.0f, 1.0f, 0.0f);
    glTranslatef(0.0f, 0.0f, 0.0f);
    glRotatef(45.0f, 0.0f, 1.0f, 0.0f);

    // After the view is set, so the light stays fixed in the world: it acts
    // from (-50, 100, 0). Size 0 is refused by GL, so the marker keeps the
    // default point size of one pixel.
    //
    // The marker is drawn with whatever texture coordinate is current. Left
    // alone, that is what the previous frame's last vertex left behind (and
    // some GL implementations let the teapot's evaluator move it too), so
    // the marker's pixel would differ between the first frame and the rest.
    // Pinning it to GL's initial (0, 0) makes every frame the same picture.
    glTexCoord2f(0.0f, 0.0f);
    PUTGLPOINTLIGHT(GL_LIGHT0, 0.0f, -5.0f, 10.0f, 0.0f, 0.1f);

    TEXTURESELECTID(scene::kFloorSlot);
    QUAD(-10.0f, 0.0f, -10.0f, 10.0f, 0.0f, -10.0f, -10.0f, 0.0f, 10.0f, 10.0f, 0.0f, 10.0f);

    TEXTURESELECTID(scene::kRockSlot);
    for (const scene::Box& box : scene::kRockBoxes)
        DrawBox(box);

    TEXTURESELECTID(scene::kStoneSlot);
    for (const scene::Box& box : scene::kStoneBoxes)
        DrawBox(box);

    TEXTURESELECTID(scene::kMarbleSlot);
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, scene::kTeapotZ);
    // The teapot stands along its own +z; this makes that the world's +y.
    glRotatef(90.0f, -1.0f, 0.0f, 0.0f);
    PUTGLTEAPOT(0.0f, 0.0f, 0.0f, 1.0f, scene::kTeapotResolution);
    glPopMatrix();
}
