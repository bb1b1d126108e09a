// Fixed-function lighting: one light coloured from the framework's arrays,
// placing a light with a marker point, two-sided lighting and the culling
// set-up. OpenGL transforms a light's position by the model-view matrix
// current at the glLightfv call, so where the caller places a light decides
// whether it is fixed to the view or to the scene.
#include <quorvel.h>

namespace quorvel {

Array<float, 0, 3> AMBIENTLIGHT = {{0.5f, 0.5f, 0.5f, 1.0f}};
Array<float, 0, 3> DIFFUSELIGHT = {{1.0f, 1.0f, 1.0f, 1.0f}};
Array<float, 0, 3> SPECULARLIGHT = {{1.0f, 1.0f, 1.0f, 1.0f}};
Array<float, 0, 3> LIGHTPOSITION = {{0.0f, 0.0f, 0.0f, 0.0f}};

void SETGLLIGHT(uint32_t NLIGHT, float L0, float L1, float L2, float L3) {
    glEnable(GL_LIGHTING);
    glLightfv(NLIGHT, GL_AMBIENT, AMBIENTLIGHT.data());
    glLightfv(NLIGHT, GL_DIFFUSE, DIFFUSELIGHT.data());
    glLightfv(NLIGHT, GL_SPECULAR, SPECULARLIGHT.data());
    glEnable(NLIGHT);
    LIGHTPOSITION[0] = L0;
    LIGHTPOSITION[1] = L1;
    LIGHTPOSITION[2] = L2;
    LIGHTPOSITION[3] = L3;
    glLightfv(NLIGHT, GL_POSITION, LIGHTPOSITION.data());
}

void PUTGLPOINTLIGHT(uint32_t NLIGHT, float SIZE, float LX, float LY, float LZ, float LVAL) {
    LIGHTPOSITION[0] = LX;
    LIGHTPOSITION[1] = LY;
    LIGHTPOSITION[2] = LZ;
    LIGHTPOSITION[3] = LVAL;
    glLightfv(NLIGHT, GL_POSITION, LIGHTPOSITION.data());
    // OpenGL refuses a size of 0 or less and keeps the size it had.
    glPointSize(SIZE);
    // The marker stands at (LX, LY, LZ) itself, not divided by LVAL, and is
    // drawn under whatever lighting, texture and colour are current.
    glBegin(GL_POINTS);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glVertex3f(LX, LY, LZ);
    glEnd();
}

void TWOSIDEON() {
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
}

void TWOSIDEOFF() {
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 0);
}

void SETGLREFRACTIVE() {
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    // Smooth is OpenGL's initial shading model; asking for it here keeps the
    // scene smooth-shaded even after something else selected flat shading.
    glShadeModel(GL_SMOOTH);
}

} // namespace quorvel
