// Lights: the framework's colour and position arrays, where a light ends up
// in eye space, the marker point, the lighting switches, and the calls that
// OpenGL refuses without stopping the rest.
#include "render_test_support.h"

using namespace quorvel;
using namespace render_test;

namespace {

std::array<float, 4> Light(GLenum light, GLenum what) {
    std::array<float, 4> v{};
    glGetLightfv(light, what, v.data());
    return v;
}

std::array<float, 4> Values(const Array<float, 0, 3>& a) {
    return {a[0], a[1], a[2], a[3]};
}

// A model-view matrix with a rotation and a translation, so that a
// directional and a positional light transform differently.
Mat4 SomeView() {
    return Translate(1, -2, 3) * Rotate(30, 0, 0, 1) * Rotate(-20, 1, 0, 0);
}

void ExpectNear4(const std::array<float, 4>& actual, const Vec4& expected, const char* what) {
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(actual[i], expected[i], 1e-4) << what << "[" << i << "]";
}

class Lights : public RenderTest {
  protected:
    void SetUp() override { ASSERT_TRUE(MakeContext(64, 64)); }
};

TEST(LightArrays, InitialValues) {
    EXPECT_EQ(Values(AMBIENTLIGHT), (std::array<float, 4>{0.5f, 0.5f, 0.5f, 1}));
    EXPECT_EQ(Values(DIFFUSELIGHT), (std::array<float, 4>{1, 1, 1, 1}));
    EXPECT_EQ(Values(SPECULARLIGHT), (std::array<float, 4>{1, 1, 1, 1}));
    EXPECT_EQ(Values(LIGHTPOSITION), (std::array<float, 4>{0, 0, 0, 0}));
}

TEST_F(Lights, SetLightSwitchesOnAndColoursAndPlacesTheLight) {
    glMatrixMode(GL_MODELVIEW);
    LoadMatrix(SomeView());
    SETGLLIGHT(GL_LIGHT0, 0, 0, 0, 0.1f);

    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_EQ(Light(GL_LIGHT0, GL_AMBIENT), (std::array<float, 4>{0.5f, 0.5f, 0.5f, 1}));
    EXPECT_EQ(Light(GL_LIGHT0, GL_DIFFUSE), (std::array<float, 4>{1, 1, 1, 1}));
    EXPECT_EQ(Light(GL_LIGHT0, GL_SPECULAR), (std::array<float, 4>{1, 1, 1, 1}));
    EXPECT_EQ(Values(LIGHTPOSITION), (std::array<float, 4>{0, 0, 0, 0.1f}));
    // Placed under the model-view matrix current at the call.
    ExpectNear4(Light(GL_LIGHT0, GL_POSITION), SomeView() * Vec4{0, 0, 0, 0.1}, "position");
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Lights, SetLightReadsTheColourArraysAtEveryCall) {
    const auto ambient = AMBIENTLIGHT, diffuse = DIFFUSELIGHT, specular = SPECULARLIGHT;
    AMBIENTLIGHT[0] = 0.25f;
    DIFFUSELIGHT[1] = 0.75f;
    SPECULARLIGHT[2] = 0.125f;
    SETGLLIGHT(GL_LIGHT0 + 3, 1, 2, 3, 1);
    EXPECT_EQ(Light(GL_LIGHT0 + 3, GL_AMBIENT), (std::array<float, 4>{0.25f, 0.5f, 0.5f, 1}));
    EXPECT_EQ(Light(GL_LIGHT0 + 3, GL_DIFFUSE), (std::array<float, 4>{1, 0.75f, 1, 1}));
    EXPECT_EQ(Light(GL_LIGHT0 + 3, GL_SPECULAR), (std::array<float, 4>{1, 1, 0.125f, 1}));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0 + 3));
    AMBIENTLIGHT = ambient, DIFFUSELIGHT = diffuse, SPECULARLIGHT = specular;
}

TEST_F(Lights, PointLightMovesTheLightAndDrawsItsMarker) {
    struct Case {
        const char* what;
        float lx, ly, lz, lval;
    };
    // w = 0: a directional light, turned by the view but not moved by it.
    const Case cases[] = {{"positional", -5, 10, 0, 0.1f}, {"directional", -5, 10, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Mat4 projection = Ortho(-40, 40, -40, 40, -40, 40);
        glMatrixMode(GL_PROJECTION);
        LoadMatrix(projection);
        glMatrixMode(GL_MODELVIEW);
        LoadMatrix(SomeView());
        glPointSize(3);
        GLfloat ambient_before[4];
        glGetLightfv(GL_LIGHT0, GL_AMBIENT, ambient_before);
        const bool light_was_on = glIsEnabled(GL_LIGHT0);

        const auto primitives =
            Feedback(GL_3D, 64, [&] { PUTGLPOINTLIGHT(GL_LIGHT0, 0, c.lx, c.ly, c.lz, c.lval); });

        EXPECT_EQ(Values(LIGHTPOSITION), (std::array<float, 4>{c.lx, c.ly, c.lz, c.lval}));
        ExpectNear4(Light(GL_LIGHT0, GL_POSITION), SomeView() * Vec4{c.lx, c.ly, c.lz, c.lval},
                    "eye-space position");
        // OpenGL refuses the size 0 and keeps the previous one.
        EXPECT_EQ(glGetError(), GLenum(GL_INVALID_VALUE));
        GLfloat size = 0;
        glGetFloatv(GL_POINT_SIZE, &size);
        EXPECT_EQ(size, 3.0f);
        // Nothing but the position changed.
        EXPECT_EQ(glIsEnabled(GL_LIGHT0), light_was_on);
        EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
        GLfloat ambient_after[4];
        glGetLightfv(GL_LIGHT0, GL_AMBIENT, ambient_after);
        EXPECT_TRUE(std::equal(ambient_after, ambient_after + 4, ambient_before));

        // One point, at (LX, LY, LZ) itself whatever LVAL is.
        ASSERT_EQ(primitives.size(), 1u);
        EXPECT_EQ(primitives[0].token, GLenum(GL_POINT_TOKEN));
        const auto at = WindowPosition(projection * SomeView(), c.lx, c.ly, c.lz, 64, 64);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(primitives[0].vertices[0][i], at[i], 1e-3);

        float normal[4];
        glGetFloatv(GL_CURRENT_NORMAL, normal);
        EXPECT_EQ(normal[0], 0.0f);
        EXPECT_EQ(normal[1], 0.0f);
        EXPECT_EQ(normal[2], 1.0f);
    }
}

TEST_F(Lights, ASecondLightOverwritesThePositionBufferOnly) {
    SETGLLIGHT(GL_LIGHT0, 1, 2, 3, 1);
    SETGLLIGHT(GL_LIGHT1, 4, 5, 6, 0);
    EXPECT_EQ(Values(LIGHTPOSITION), (std::array<float, 4>{4, 5, 6, 0}));
    EXPECT_EQ(Light(GL_LIGHT0, GL_POSITION), (std::array<float, 4>{1, 2, 3, 1}));
    EXPECT_EQ(Light(GL_LIGHT1, GL_POSITION), (std::array<float, 4>{4, 5, 6, 0}));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
}

TEST_F(Lights, TwoSidedLightingAndCullingSetUp) {
    TWOSIDEON();
    GLint two_side = 0;
    glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &two_side);
    EXPECT_EQ(two_side, 1);
    TWOSIDEOFF();
    glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &two_side);
    EXPECT_EQ(two_side, 0);

    glCullFace(GL_FRONT);
    glFrontFace(GL_CW);
    glShadeModel(GL_FLAT);
    SETGLREFRACTIVE();
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    GLint cull = 0, front = 0, shade = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &cull);
    glGetIntegerv(GL_FRONT_FACE, &front);
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    EXPECT_EQ(cull, GL_BACK);
    EXPECT_EQ(front, GL_CCW);
    EXPECT_EQ(shade, GL_SMOOTH);
}

TEST_F(Lights, ANameThatIsNoLightIsRefusedAndTheRestIsDone) {
    for (uint32_t bad : {0u, uint32_t(GL_LIGHT0 + 8), 0xFFFFFFFFu}) {
        SCOPED_TRACE(bad);
        glDisable(GL_LIGHTING);
        while (glGetError() != GL_NO_ERROR) {
        }
        SETGLLIGHT(bad, 7, 8, 9, 1);
        EXPECT_NE(glGetError(), GLenum(GL_NO_ERROR));
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        EXPECT_EQ(Values(LIGHTPOSITION), (std::array<float, 4>{7, 8, 9, 1}));

        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glPointSize(1);
        const auto primitives =
            Feedback(GL_3D, 64, [&] { PUTGLPOINTLIGHT(bad, 2, 0.5f, 0.5f, 0, 1); });
        EXPECT_NE(glGetError(), GLenum(GL_NO_ERROR));
        EXPECT_EQ(Values(LIGHTPOSITION), (std::array<float, 4>{0.5f, 0.5f, 0, 1}));
        GLfloat size = 0;
        glGetFloatv(GL_POINT_SIZE, &size);
        EXPECT_EQ(size, 2.0f);
        EXPECT_EQ(primitives.size(), 1u);
    }
}

} // namespace
