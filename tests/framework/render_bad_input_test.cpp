// Nothing is validated, so nothing may trap: every render operation takes
// infinities and NaN in each of its floating-point parameters, and the
// projections take a window without area, and the context keeps working.
#include "render_test_support.h"

#include <limits>

using namespace quorvel;
using namespace render_test;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Calls `call` once for every parameter position and every non-finite value,
// the other parameters keeping their ordinary values.
template <size_t N, typename Call> void WithEachBadArgument(std::array<double, N> good, Call call) {
    for (size_t i = 0; i < N; ++i)
        for (double bad : {kInf, -kInf, kNaN}) {
            auto args = good;
            args[i] = bad;
            call(args);
        }
}

class RenderBadInput : public RenderTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(MakeContext(160, 120));
        OPENGL_INITISOMETRIC(1, 120, 0, 0, 0, 0);
        SETGLREFRACTIVE();
        SETGLLIGHT(GL_LIGHT0, 0, 0, 0, 0.1f);
    }

    // The context still draws: a clear to a known colour reads back.
    static void ExpectContextStillWorks() {
        glFinish();
        while (glGetError() != GL_NO_ERROR) {
        }
        glClearColor(0, 1, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        uint8_t pixel[4] = {};
        glReadPixels(80, 60, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        EXPECT_EQ(pixel[1], 255);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
};

TEST_F(RenderBadInput, ProjectionsTakeNonFiniteValuesAndAnEmptyWindow) {
    WithEachBadArgument<4>({0, 0, 0, 0}, [](auto a) { OPENGL_I2D(a[0], a[1], a[2], a[3]); });
    WithEachBadArgument<6>({1, 120, 0, 0, 0, 0}, [](auto a) {
        OPENGL_INITISOMETRIC(a[0], a[1], a[2], a[3], a[4], a[5]);
    });
    // A window of no width or height: no integer division by zero.
    for (auto [width, height] : {std::pair{0, 0}, std::pair{0, 600}, std::pair{800, 0}}) {
        WIDTH = width;
        HEIGHT = height;
        OPENGL_I2D(0, 0, 0, 0);
        OPENGL_INITISOMETRIC(1, 120, 0, 0, 0, 0);
        EXPECT_TRUE(std::isfinite(OFFX) && std::isfinite(OFFY));
    }
    WIDTH = 160;
    HEIGHT = 120;
    ExpectContextStillWorks();
}

TEST_F(RenderBadInput, LightsTakeNonFiniteValues) {
    WithEachBadArgument<4>({0, 0, 0, 0.1}, [](auto a) {
        SETGLLIGHT(GL_LIGHT0, float(a[0]), float(a[1]), float(a[2]), float(a[3]));
    });
    WithEachBadArgument<5>({2, -5, 10, 0, 0.1}, [](auto a) {
        PUTGLPOINTLIGHT(GL_LIGHT0, float(a[0]), float(a[1]), float(a[2]), float(a[3]), float(a[4]));
    });
    ExpectContextStillWorks();
}

TEST_F(RenderBadInput, SolidsTakeNonFiniteValues) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    WithEachBadArgument<10>({0, 0, 0, -1, -1, -1, 1, 1, 1, 0.5}, [](auto a) {
        glBegin(GL_QUADS);
        LINEFREE(float(a[0]), float(a[1]), float(a[2]), float(a[3]), float(a[4]), float(a[5]),
                 float(a[6]), float(a[7]), float(a[8]), float(a[9]), true);
        LINEFREE(0, 0, 1, 1, 1, 1, 0, -1, 1, 0, true);
        glEnd();
        CUBO2(float(a[0]), float(a[1]), float(a[2]), float(a[3]), float(a[4]), float(a[5]),
              float(a[6]), float(a[7]), float(a[8]), float(a[9]));
    });
    WithEachBadArgument<4>({0, 0, 0, 1}, [](auto a) {
        PUTGLTEAPOT(float(a[0]), float(a[1]), float(a[2]), float(a[3]), 4);
    });
    ExpectContextStillWorks();
}

} // namespace
