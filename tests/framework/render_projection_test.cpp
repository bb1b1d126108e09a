// The two projection modes: the matrices they build (checked against ones
// computed here from the textbook formulas), the viewport, the clear colour
// with alpha first, and the switches each mode leaves on.
#include "render_test_support.h"

using namespace quorvel;
using namespace render_test;

namespace {

class Projection : public RenderTest {
  protected:
    void SetUp() override { ASSERT_TRUE(MakeContext(800, 600)); }

    static std::array<float, 4> Floats(GLenum which) {
        std::array<float, 4> v{};
        glGetFloatv(which, v.data());
        return v;
    }
    static std::array<GLint, 4> Ints(GLenum which) {
        std::array<GLint, 4> v{};
        glGetIntegerv(which, v.data());
        return v;
    }
};

TEST_F(Projection, IsometricStateForZoomAndDepth) {
    struct Case {
        double zoom, depth, clear_depth;
    };
    // A far plane beyond 1 still clears the depth buffer to 1: the clear
    // value is clamped, the projection is not.
    for (const Case& c : {Case{1, 120, 1}, Case{2.5, 50, 1}, Case{0.5, 0.75, 0.75}}) {
        SCOPED_TRACE(testing::Message() << "zoom " << c.zoom << ", depth " << c.depth);
        glMatrixMode(GL_TEXTURE); // the mode must end as model-view whatever it was
        OPENGL_INITISOMETRIC(c.zoom, c.depth, 0, 0, 0, 0);

        ExpectMatrixNear(GetMatrix(GL_PROJECTION_MATRIX),
                         Perspective(12.5, 800.0 / 600.0, 0.1, c.depth), 1e-5, "projection");
        ExpectMatrixNear(GetMatrix(GL_MODELVIEW_MATRIX), IsometricView(c.zoom), 1e-5, "model-view");
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        EXPECT_EQ(Ints(GL_VIEWPORT), (std::array<GLint, 4>{0, 0, 800, 600}));

        GLfloat clear_depth = 0;
        glGetFloatv(GL_DEPTH_CLEAR_VALUE, &clear_depth);
        EXPECT_FLOAT_EQ(clear_depth, c.clear_depth);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        GLint depth_func = 0;
        glGetIntegerv(GL_DEPTH_FUNC, &depth_func);
        EXPECT_EQ(depth_func, GL_LEQUAL);
        GLint local_viewer = 0;
        glGetIntegerv(GL_LIGHT_MODEL_LOCAL_VIEWER, &local_viewer);
        EXPECT_EQ(local_viewer, 1);
        EXPECT_TRUE(glIsEnabled(GL_AUTO_NORMAL));
        EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
        // The blend function is prepared, blending itself stays off.
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        GLint src = 0, dst = 0;
        glGetIntegerv(GL_BLEND_SRC, &src);
        glGetIntegerv(GL_BLEND_DST, &dst);
        EXPECT_EQ(src, GL_SRC_ALPHA);
        EXPECT_EQ(dst, GL_ONE);
        EXPECT_EQ(Floats(GL_CURRENT_COLOR), (std::array<float, 4>{1, 1, 1, 0.5f}));
        for (GLenum hint :
             {GL_LINE_SMOOTH_HINT, GL_POLYGON_SMOOTH_HINT, GL_PERSPECTIVE_CORRECTION_HINT}) {
            GLint value = 0;
            glGetIntegerv(hint, &value);
            EXPECT_EQ(value, GL_NICEST) << "hint " << hint;
        }
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}

TEST_F(Projection, TwoDimensionalOffsetsAndRangeFollowTheWindowShape) {
    struct Case {
        int32_t width, height;
        float offx, offy;
    };
    // The offsets move by the integer quotient HEIGHT / WIDTH; the y range by
    // the real one.
    const Case cases[] = {
        {800, 600, -2.05f, -1.45f}, {600, 800, -1.05f, -0.45f}, {300, 700, -0.05f, 0.55f},
        {100, 1000, 7.95f, 8.55f},  {640, 1280, -0.05f, 0.55f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " by " << c.height);
        WIDTH = c.width;
        HEIGHT = c.height;
        OPENGL_I2D(0, 0, 0, 0);
        EXPECT_FLOAT_EQ(OFFX, c.offx);
        EXPECT_FLOAT_EQ(OFFY, c.offy);
        const double y = 2.0 * c.height / c.width;
        ExpectMatrixNear(GetMatrix(GL_PROJECTION_MATRIX), Ortho(-2, 2, -y, y, -2, 2), 1e-6,
                         "projection");
        ExpectMatrixNear(GetMatrix(GL_MODELVIEW_MATRIX), Identity(), 0, "model-view");
        EXPECT_EQ(Ints(GL_VIEWPORT), (std::array<GLint, 4>{0, 0, c.width, c.height}));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
        GLint depth_func = 0;
        glGetIntegerv(GL_DEPTH_FUNC, &depth_func);
        EXPECT_EQ(depth_func, GL_LEQUAL);
    }
}

TEST_F(Projection, ClearColourComesAlphaFirst) {
    using Mode = void (*)(double, double, double, double);
    const std::pair<const char*, Mode> modes[] = {
        {"2D", [](double a, double r, double g, double b) { OPENGL_I2D(a, r, g, b); }},
        {"isometric",
         [](double a, double r, double g, double b) { OPENGL_INITISOMETRIC(1, 120, a, r, g, b); }},
    };
    for (const auto& [name, mode] : modes) {
        SCOPED_TRACE(name);
        mode(1, 0, 0, 1); // A = 1, R = 0, G = 0, B = 1: opaque blue
        EXPECT_EQ(Floats(GL_COLOR_CLEAR_VALUE), (std::array<float, 4>{0, 0, 1, 1}));
        glClear(GL_COLOR_BUFFER_BIT);
        uint8_t pixel[4] = {};
        glReadPixels(400, 300, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        EXPECT_EQ(pixel[0], 0);
        EXPECT_EQ(pixel[1], 0);
        EXPECT_EQ(pixel[2], 255);
        EXPECT_EQ(pixel[3], 255);

        mode(0.25, 0.5, 0.75, 1); // and each component lands in its own place
        EXPECT_EQ(Floats(GL_COLOR_CLEAR_VALUE), (std::array<float, 4>{0.5f, 0.75f, 1, 0.25f}));
    }
}

TEST_F(Projection, TwoDimensionalModeKeepsWhatTheIsometricOneSwitchedOn) {
    OPENGL_INITISOMETRIC(1, 120, 0, 0, 0, 0);
    OPENGL_I2D(0, 0, 0, 0);
    EXPECT_TRUE(glIsEnabled(GL_AUTO_NORMAL));
    GLint local_viewer = 0;
    glGetIntegerv(GL_LIGHT_MODEL_LOCAL_VIEWER, &local_viewer);
    EXPECT_EQ(local_viewer, 1);
    GLint src = 0;
    glGetIntegerv(GL_BLEND_SRC, &src);
    EXPECT_EQ(src, GL_SRC_ALPHA);
    // ...while the projection and the view are its own.
    ExpectMatrixNear(GetMatrix(GL_PROJECTION_MATRIX), Ortho(-2, 2, -1.5, 1.5, -2, 2), 1e-6,
                     "projection");
    ExpectMatrixNear(GetMatrix(GL_MODELVIEW_MATRIX), Identity(), 0, "model-view");

    // And back: the frame's own sequence ends in the isometric state.
    OPENGL_INITISOMETRIC(1, 120, 0, 0, 0, 0);
    ExpectMatrixNear(GetMatrix(GL_MODELVIEW_MATRIX), IsometricView(1), 1e-5, "model-view");
}

} // namespace
