// The scene's frame as OpenGL sees it: the geometry it sends (recorded by
// interposing the immediate-mode entry points in this executable), the
// state it leaves behind, and the picture it draws frame after frame.
#include <quorvel.h>

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "demo.h"
#include "gl_context.h"
#include "scene_parts.h"

// ---- recording ---------------------------------------------------------------
// The framework and the scene live in this executable, so their calls bind
// to these definitions; each forwards to the system's entry point.

namespace {

struct Vertex {
    std::array<float, 3> position, tex;
};
struct Primitive {
    GLenum mode = 0;
    std::array<float, 16> modelview{}; // at glBegin
    GLint texture = -1;                // bound at glBegin
    std::vector<Vertex> vertices;
    std::vector<std::array<float, 3>> normals; // every glNormal3f inside
};

bool gRecording = false;
std::vector<Primitive> gPrimitives;
std::array<float, 3> gTex{};

template <typename F> F Real(const char* name) {
    static_assert(sizeof(F) == sizeof(void*));
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

void glBegin(GLenum mode) {
    static auto real = Real<void (*)(GLenum)>("glBegin");
    if (gRecording) {
        Primitive p;
        p.mode = mode;
        glGetFloatv(GL_MODELVIEW_MATRIX, p.modelview.data());
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &p.texture);
        gPrimitives.push_back(p);
    }
    real(mode);
}

void glTexCoord2f(GLfloat s, GLfloat t) {
    static auto real = Real<void (*)(GLfloat, GLfloat)>("glTexCoord2f");
    gTex = {s, t, 0};
    real(s, t);
}

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    static auto real = Real<void (*)(GLfloat, GLfloat, GLfloat)>("glNormal3f");
    if (gRecording && !gPrimitives.empty()) gPrimitives.back().normals.push_back({x, y, z});
    real(x, y, z);
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    static auto real = Real<void (*)(GLfloat, GLfloat, GLfloat)>("glVertex3f");
    if (gRecording && !gPrimitives.empty())
        gPrimitives.back().vertices.push_back({{x, y, z}, gTex});
    real(x, y, z);
}

} // extern "C"

namespace {

using namespace quorvel;

using Mat = std::array<float, 16>; // column-major, as GL keeps it

Mat ModelView() {
    Mat m;
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    return m;
}

std::array<double, 4> Apply(const Mat& m, std::array<double, 4> v) {
    std::array<double, 4> r{};
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 4; ++k)
            r[row] += double(m[k * 4 + row]) * v[k];
    return r;
}

// The view is a rotation and a translation (zoom 1), so its inverse is the
// transposed rotation with the translation turned back.
std::array<double, 3> ToWorld(const Mat& view, const Mat& modelview, std::array<float, 3> p) {
    std::array<double, 4> eye = Apply(modelview, {p[0], p[1], p[2], 1});
    for (int i = 0; i < 3; ++i)
        eye[i] -= view[12 + i];
    std::array<double, 3> w{};
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 3; ++k)
            w[i] += double(view[i * 4 + k]) * eye[k];
    return w;
}

// Steps that cancel in exact arithmetic (a turn and the turn back) leave
// rounding in single precision, nothing more.
::testing::AssertionResult SameMatrix(const Mat& got, const Mat& want) {
    for (int i = 0; i < 16; ++i)
        if (std::abs(got[i] - want[i]) > 1e-5f)
            return ::testing::AssertionFailure()
                   << "element " << i << ": " << got[i] << " instead of " << want[i];
    return ::testing::AssertionSuccess();
}

class SceneFrame : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gl_.ok());
        // The window's outer size, which the projections read.
        WIDTH = 800;
        HEIGHT = 600;
        StartScene();
        glLoadIdentity();
        OPENGL_DRAW2D();
        view_ = ModelView();
    }
    void TearDown() override { gRecording = false; }

    std::vector<Primitive> RecordFrame() {
        gPrimitives.clear();
        gRecording = true;
        OPENGL_DRAW();
        gRecording = false;
        return gPrimitives;
    }

    qvtest::GLContext gl_{800, 600};
    Mat view_{};
};

// The world boxes the pyramid, columns, wall, tower, platform and merlons
// must fill, in drawing order, with the texture slot each is drawn with.
struct WorldBox {
    double x0, x1, y0, y1, z0, z1;
    int slot;
};
constexpr double kMerlonTop = 5.25;
constexpr WorldBox kWorldBoxes[] = {
    {-3, 3, 0, 0.5, -3, 3, 1},
    {-2.5, 2.5, 0.5, 1, -2.5, 2.5, 1},
    {-2, 2, 1, 1.5, -2, 2, 1},
    {-1.5, 1.5, 1.5, 2, -1.5, 1.5, 1},
    {-1, 1, 2, 2.5, -1, 1, 1},
    {-0.5, 0.5, 2.5, 3, -0.5, 0.5, 1},
    {-6.25, -5.75, 0, 3, -2.25, -1.75, 1},
    {-6.25, -5.75, 0, 3, -0.25, 0.25, 1},
    {-6.25, -5.75, 0, 3, 1.75, 2.25, 1},
    {-6.5, 3, 0, 1.6, -5.25, -4.75, 1},
    {5.3, 6.7, 0, 4.5, -0.7, 0.7, 2},
    {5, 7, 4.5, 5, -1, 1, 2},
    {5.0, 5.2, 5, kMerlonTop, -1.0, -0.8, 2},
    {5.0, 5.2, 5, kMerlonTop, -0.4, -0.2, 2},
    {5.0, 5.2, 5, kMerlonTop, 0.2, 0.4, 2},
    {5.0, 5.2, 5, kMerlonTop, 0.8, 1.0, 2},
    {6.8, 7.0, 5, kMerlonTop, -1.0, -0.8, 2},
    {6.8, 7.0, 5, kMerlonTop, -0.4, -0.2, 2},
    {6.8, 7.0, 5, kMerlonTop, 0.2, 0.4, 2},
    {6.8, 7.0, 5, kMerlonTop, 0.8, 1.0, 2},
    {5.6, 5.8, 5, kMerlonTop, -1.0, -0.8, 2},
    {6.2, 6.4, 5, kMerlonTop, -1.0, -0.8, 2},
    {5.6, 5.8, 5, kMerlonTop, 0.8, 1.0, 2},
    {6.2, 6.4, 5, kMerlonTop, 0.8, 1.0, 2},
};

TEST_F(SceneFrame, SendsTheLightMarkerTheFloorAndTheBoxesInOrder) {
    std::vector<Primitive> frame = RecordFrame();
    // The marker, the floor, 24 boxes; the teapot comes from the evaluator.
    ASSERT_EQ(frame.size(), 2u + std::size(kWorldBoxes));

    const Primitive& marker = frame[0];
    EXPECT_EQ(marker.mode, GLenum(GL_POINTS));
    ASSERT_EQ(marker.vertices.size(), 1u);
    EXPECT_EQ(marker.vertices[0].position, (std::array<float, 3>{-5, 10, 0}));
    // The marker is drawn with whatever the last texture load left bound.
    EXPECT_EQ(marker.texture, GLint(TEXTUREID2[scene::kMarbleSlot]));

    const Primitive& floor = frame[1];
    EXPECT_EQ(floor.mode, GLenum(GL_QUADS));
    EXPECT_EQ(floor.texture, GLint(TEXTUREID2[scene::kFloorSlot]));
    EXPECT_TRUE(SameMatrix(floor.modelview, view_));
    const std::array<float, 3> corners[4] = {
        {10, 0, -10}, {-10, 0, -10}, {-10, 0, 10}, {10, 0, 10}};
    const std::array<float, 3> tex[4] = {{3, 3, 0}, {0, 3, 0}, {0, 0, 0}, {3, 0, 0}};
    ASSERT_EQ(floor.vertices.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(floor.vertices[i].position, corners[i]) << "corner " << i;
        EXPECT_EQ(floor.vertices[i].tex, tex[i]) << "corner " << i;
    }
    ASSERT_EQ(floor.normals.size(), 1u) << "one normal serves all four corners";
    EXPECT_EQ(floor.normals[0], (std::array<float, 3>{0, 1, 0}));

    for (size_t b = 0; b < std::size(kWorldBoxes); ++b) {
        const Primitive& box = frame[2 + b];
        const WorldBox& want = kWorldBoxes[b];
        SCOPED_TRACE("box " + std::to_string(b));
        EXPECT_EQ(box.mode, GLenum(GL_QUADS));
        EXPECT_EQ(box.texture, GLint(TEXTUREID2[want.slot]));
        ASSERT_EQ(box.vertices.size(), 24u);
        double lo[3] = {1e9, 1e9, 1e9}, hi[3] = {-1e9, -1e9, -1e9};
        for (const Vertex& v : box.vertices) {
            std::array<double, 3> w = ToWorld(view_, box.modelview, v.position);
            for (int i = 0; i < 3; ++i)
                lo[i] = std::min(lo[i], w[i]), hi[i] = std::max(hi[i], w[i]);
        }
        const double tol = 1e-4;
        EXPECT_NEAR(lo[0], want.x0, tol);
        EXPECT_NEAR(hi[0], want.x1, tol);
        EXPECT_NEAR(lo[1], want.y0, tol);
        EXPECT_NEAR(hi[1], want.y1, tol);
        EXPECT_NEAR(lo[2], want.z0, tol);
        EXPECT_NEAR(hi[2], want.z1, tol);
    }
}

TEST_F(SceneFrame, QuadPassesADegenerateNormalOnUnchanged) {
    gPrimitives.clear();
    gRecording = true;
    // P2, P1 and P3 on the x axis.
    QUAD(0, 0, 0, 1, 0, 0, 2, 0, 0, 3, 1, 0);
    gRecording = false;
    ASSERT_EQ(gPrimitives.size(), 1u);
    ASSERT_EQ(gPrimitives[0].normals.size(), 1u);
    EXPECT_EQ(gPrimitives[0].normals[0], (std::array<float, 3>{0, 0, 0}));
    EXPECT_EQ(gPrimitives[0].vertices.size(), 4u);
}

TEST_F(SceneFrame, EveryFrameEndsInTheSameStateAndPicture) {
    OPENGL_DRAW();
    const std::vector<uint8_t> first = gl_.ReadPixels();
    // Something non-black was drawn, or the comparison below proves nothing.
    size_t lit = 0;
    for (size_t i = 0; i < first.size(); i += 4)
        lit += first[i] + first[i + 1] + first[i + 2] > 0;
    EXPECT_GT(lit, first.size() / 4 / 10);

    for (int frame = 2; frame <= 3; ++frame) {
        SCOPED_TRACE("frame " + std::to_string(frame));
        // Undo what the last frame left, as anything between two frames
        // might: the frame must not rely on it. (The bound texture stays:
        // the light's marker is drawn with the one the last frame left.)
        glLoadIdentity();
        const GLfloat elsewhere[4] = {3, -2, 7, 1};
        glLightfv(GL_LIGHT0, GL_POSITION, elsewhere);
        glDisable(GL_CULL_FACE);
        TWOSIDEON();
        glTexCoord2f(0.7f, 0.3f);

        OPENGL_DRAW();

        EXPECT_TRUE(SameMatrix(ModelView(), view_)) << "every push has its pop";
        GLfloat light[4];
        glGetLightfv(GL_LIGHT0, GL_POSITION, light);
        std::array<double, 4> want = Apply(view_, {-5, 10, 0, 0.1});
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(light[i], want[i], 1e-4) << "component " << i;
        GLint bound = -1, two_side = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glGetIntegerv(GL_LIGHT_MODEL_TWO_SIDE, &two_side);
        EXPECT_EQ(bound, GLint(TEXTUREID2[scene::kMarbleSlot]));
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
        EXPECT_EQ(two_side, 0);
        EXPECT_TRUE(gl_.ReadPixels() == first) << "the picture changed";
    }
}

} // namespace
