// The two projection modes. Each puts the context into a complete state:
// clear colour, a viewport over the whole window, a projection and a fresh
// model-view matrix, and a fixed set of switches. Neither disables anything,
// so what one mode switches on stays on under the other.
#include <quorvel.h>

namespace quorvel {

float OFFX = 0;
float OFFY = 0;

void OPENGL_I2D(double A, double R, double G, double B) {
    // The offsets shift by whole units only: the quotient is the integer
    // one, truncating toward zero. A zero WIDTH would make that division
    // undefined, so it counts as a quotient of 0; the real quotients below
    // then follow IEEE arithmetic like every other degenerate input here.
    const int64_t q = WIDTH != 0 ? int64_t{HEIGHT} / WIDTH : 0;
    OFFX = static_cast<float>(static_cast<double>(q) - 2.05);
    OFFY = static_cast<float>(static_cast<double>(q) - 1.45);

    const double top = static_cast<double>(CheckedMul<int32_t>(2, HEIGHT)) / WIDTH;
    const double bottom = static_cast<double>(CheckedMul<int32_t>(-2, HEIGHT)) / WIDTH;

    glClearColor(static_cast<float>(R), static_cast<float>(G), static_cast<float>(B),
                 static_cast<float>(A));
    glViewport(0, 0, WIDTH, HEIGHT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-2.0, 2.0, bottom, top, -2.0, 2.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_NORMALIZE);
}

void OPENGL_INITISOMETRIC(double ZOOM, double DEPTH, double A, double R, double G, double B) {
    glClearColor(static_cast<float>(R), static_cast<float>(G), static_cast<float>(B),
                 static_cast<float>(A));
    glViewport(0, 0, WIDTH, HEIGHT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(12.5, static_cast<double>(WIDTH) / HEIGHT, 0.1, DEPTH);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // OpenGL clamps the clear depth to 0..1, so a far plane beyond 1 still
    // clears the depth buffer to its farthest value.
    glClearDepth(DEPTH);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glColor4f(1.0f, 1.0f, 1.0f, 0.5f);
    // Prepared for callers that switch blending on; this mode does not.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_AUTO_NORMAL);
    glEnable(GL_NORMALIZE);
    // The view: turn the world 45 degrees about its vertical axis, tilt it
    // 25 degrees toward the eye, scale, and set it 90 units in front.
    glTranslatef(0.0f, 0.0f, -90.0f);
    const float zoom = static_cast<float>(ZOOM);
    glScalef(zoom, zoom, zoom);
    glRotatef(25.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(45.0f, 0.0f, 1.0f, 0.0f);
}

} // namespace quorvel
