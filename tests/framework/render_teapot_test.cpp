// The teapot as geometry: the evaluated surface captured in feedback mode
// under a projection that maps model units straight to window units, so
// the test reads the model back point by point.
#include "render_test_support.h"

#include <algorithm>
#include <map>
#include <tuple>

#include <dlfcn.h>

// Every surface the teapot draws goes through glEvalMesh2. Defined here, in
// this test's own executable, it marks the start of each surface in the
// feedback buffer, so that the test can tell the 32 surfaces apart.
extern "C" void GLAPIENTRY glEvalMesh2(GLenum mode, GLint i1, GLint i2, GLint j1, GLint j2) {
    static auto real = reinterpret_cast<void (*)(GLenum, GLint, GLint, GLint, GLint)>(
        dlsym(RTLD_NEXT, "glEvalMesh2"));
    glPassThrough(0);
    real(mode, i1, i2, j1, j2);
}

using namespace quorvel;
using namespace render_test;

namespace {

constexpr int kSize = 800;
constexpr double kHalf = 4; // the view box is -4 to 4 on every axis

struct Point {
    double x, y, z;
    float brightness; // red of the lit colour (GL_3D_COLOR), else 0
};

class Teapot : public RenderTest {
  protected:
    void SetUp() override {
        ASSERT_TRUE(MakeContext(kSize, kSize));
        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        LoadMatrix(Ortho(-kHalf, kHalf, -kHalf, kHalf, -kHalf, kHalf));
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_CULL_FACE); // every quad reaches feedback, whichever way it faces
        glEnable(GL_NORMALIZE);
    }

    // The teapot's surfaces, in drawing order, each the polygons one
    // glEvalMesh2 call produced.
    using Surface = std::vector<Primitive>;
    static std::vector<Surface> Draw(int32_t res, GLenum type = GL_3D) {
        const size_t quads = 32 * size_t(std::max(res, 2)) * size_t(std::max(res, 2));
        // Room for each quad as two triangles, or as one polygon.
        const size_t capacity = quads * 2 * (2 + 3 * (type == GL_3D ? 3 : 7)) + 64;
        std::vector<Surface> surfaces;
        for (auto& p : Feedback(type, capacity, [res] { PUTGLTEAPOT(0, 0, 0, 1, res); })) {
            if (p.token == GL_PASS_THROUGH_TOKEN)
                surfaces.emplace_back();
            else if (surfaces.empty())
                ADD_FAILURE() << "a primitive before the first surface";
            else
                surfaces.back().push_back(std::move(p));
        }
        return surfaces;
    }
    static Point Model(const std::vector<float>& v) {
        const double x = v[0] / kSize * 2 * kHalf - kHalf, y = v[1] / kSize * 2 * kHalf - kHalf;
        const double z = kHalf * (1 - 2 * double(v[2])); // depth 0..1 back to z
        return {x, y, z, v.size() > 3 ? v[3] : 0.0f};
    }
    static std::vector<Point> Points(const Surface& surface) {
        std::vector<Point> points;
        for (const auto& p : surface)
            for (const auto& v : p.vertices)
                points.push_back(Model(v));
        return points;
    }
    static std::vector<Point> Points(const std::vector<Surface>& surfaces) {
        std::vector<Point> points;
        for (const auto& s : surfaces)
            for (const Point& p : Points(s))
                points.push_back(p);
        return points;
    }
    // Quads the evaluator drew, whether the rasteriser kept each as one
    // polygon or split it into two triangles.
    static double Quads(const Surface& surface) {
        double quads = 0;
        for (const auto& p : surface) {
            EXPECT_EQ(p.token, GLenum(GL_POLYGON_TOKEN));
            quads += p.vertices.size() == 4 ? 1 : p.vertices.size() == 3 ? 0.5 : 0;
        }
        return quads;
    }
};

TEST_F(Teapot, StandsOnTheOriginWithKnobSpoutAndHandleInPlace) {
    const auto points = Points(Draw(8));
    ASSERT_FALSE(points.empty());
    const auto lowest =
        *std::min_element(points.begin(), points.end(), [](auto& a, auto& b) { return a.z < b.z; });
    const auto highest =
        *std::max_element(points.begin(), points.end(), [](auto& a, auto& b) { return a.z < b.z; });
    // Feedback carries unquantised window coordinates: model units come
    // back to a few millionths.
    const double exact = 1e-4, tolerance = 0.01;
    EXPECT_NEAR(lowest.z, 0, exact);
    EXPECT_NEAR(highest.z, 3.15, exact);
    // The bottom touches z = 0 only at its centre, the knob's top is on the axis.
    for (const Point& p : points) {
        if (p.z < exact) {
            EXPECT_LT(std::hypot(p.x, p.y), 0.05) << p.x << ", " << p.y;
        }
        if (p.z > 3.15 - exact) {
            EXPECT_LT(std::hypot(p.x, p.y), 0.05) << p.x << ", " << p.y;
        }
    }

    // Beyond the body's radius of 2 there are only the spout on +x and the
    // handle on -x, each inside the hull of its control points: the spout
    // 0.66 either side of y = 0 and from z = 0.6 to 2.5125, the handle 0.3
    // either side and from z = 0.6 to 2.25.
    double max_x = -10, min_x = 10;
    for (const Point& p : points) {
        max_x = std::max(max_x, p.x);
        min_x = std::min(min_x, p.x);
        const bool spout = p.x > 2.05, handle = p.x < -2.05;
        if (!spout && !handle) continue;
        SCOPED_TRACE(testing::Message() << (spout ? "spout" : "handle") << " point " << p.x << ", "
                                        << p.y << ", " << p.z);
        EXPECT_LE(std::fabs(p.y), (spout ? 0.66 : 0.3) + tolerance);
        EXPECT_GE(p.z, 0.6 - tolerance);
        EXPECT_LE(p.z, (spout ? 2.5125 : 2.25) + tolerance);
    }
    EXPECT_GT(max_x, 3.2);
    EXPECT_LE(max_x, 3.525 + tolerance);
    EXPECT_LT(min_x, -2.8);
    EXPECT_GE(min_x, -3 - tolerance);
}

TEST_F(Teapot, CopiesAreTheMirrorImagesOfTheStoredParts) {
    // Drawing order: patches 0 to 5 as the stored quarter P, its mirror
    // images Q (in y = 0) and R (in x = 0) and its half-turn S; patches 6 to
    // 9 as the stored half P and Q.
    struct Copy {
        int patch;
        char net;
    };
    std::vector<Copy> copies;
    for (int patch = 0; patch <= 9; ++patch)
        for (char net : patch < 6 ? std::string("PQRS") : std::string("PQ"))
            copies.push_back({patch, net});
    const auto surfaces = Draw(6);
    ASSERT_EQ(surfaces.size(), copies.size());

    const double tolerance = 1e-3;
    for (size_t i = 0; i < copies.size(); ++i) {
        const Copy& c = copies[i];
        SCOPED_TRACE(testing::Message() << "patch " << c.patch << ", copy " << c.net);
        const auto points = Points(surfaces[i]);
        ASSERT_FALSE(points.empty());
        double min_x = 10, max_x = -10, min_y = 10, max_y = -10;
        for (const Point& p : points) {
            min_x = std::min(min_x, p.x), max_x = std::max(max_x, p.x);
            min_y = std::min(min_y, p.y), max_y = std::max(max_y, p.y);
        }
        // The quarter or half each copy covers. Point 94 of the spout's tip
        // lies at y = +0.15, so the tip's stored half reaches across y = 0
        // and its mirror image likewise.
        const bool tip = c.patch == 9;
        if (c.net == 'P' || c.net == 'R') {
            if (tip) {
                EXPECT_GT(max_y, 0.01);
            } else {
                EXPECT_LE(max_y, tolerance);
            }
        } else if (tip) {
            EXPECT_LT(min_y, -0.01);
        } else {
            EXPECT_GE(min_y, -tolerance);
        }
        if (c.patch < 6) {
            if (c.net == 'P' || c.net == 'Q') {
                EXPECT_GE(min_x, -tolerance);
            } else {
                EXPECT_LE(max_x, tolerance);
            }
        }
        if (c.net == 'P') continue;

        // Every point of a copy is the image of a point of its stored part.
        const auto stored = Points(surfaces[i - (c.net - 'P')]);
        const double sx = c.net == 'Q' ? 1 : -1, sy = c.net == 'R' ? 1 : -1;
        int unmatched = 0;
        for (const Point& p : points) {
            const bool found = std::any_of(stored.begin(), stored.end(), [&](const Point& q) {
                return std::fabs(q.x * sx - p.x) < tolerance &&
                       std::fabs(q.y * sy - p.y) < tolerance && std::fabs(q.z - p.z) < tolerance;
            });
            unmatched += !found;
        }
        EXPECT_EQ(unmatched, 0);
    }
}

TEST_F(Teapot, EveryPatchIsAGridOfAtLeastTwoByTwo) {
    struct Case {
        int32_t res, grid;
    };
    for (const Case& c :
         {Case{0, 2}, Case{1, 2}, Case{-5, 2}, Case{2, 2}, Case{3, 3}, Case{32, 32}}) {
        SCOPED_TRACE(testing::Message() << "RES " << c.res);
        const auto surfaces = Draw(c.res);
        EXPECT_EQ(surfaces.size(), 32u);
        double quads = 0;
        for (const auto& s : surfaces) {
            EXPECT_EQ(Quads(s), c.grid * c.grid);
            quads += Quads(s);
        }
        EXPECT_EQ(quads, 32.0 * c.grid * c.grid); // 128 at the least, 32,768 at RES 32
    }
}

TEST_F(Teapot, AutomaticNormalsPointOutOfEveryCopy) {
    // Lit only by a directional light from +y, a vertex's brightness is the
    // y component of its normal (or 0). Outward normals make the +y side
    // bright and the -y side dark; an inside-out copy would swap them.
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const float black[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1}, from_y[4] = {0, 1, 0, 0};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    glLightfv(GL_LIGHT0, GL_AMBIENT, black);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, black);
    glLightfv(GL_LIGHT0, GL_POSITION, from_y);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);

    struct Region {
        const char* what;
        bool (*in)(const Point&);
        bool bright;
    };
    // The body at its widest, on both sides of the y = 0 and x = 0 planes
    // (all four copies), and the handle and the spout (two copies each).
    const Region regions[] = {
        {"body, +x +y", [](const Point& p) { return p.x > 0.3 && p.y > 1.9; }, true},
        {"body, -x +y", [](const Point& p) { return p.x < -0.3 && p.y > 1.9; }, true},
        {"body, +x -y", [](const Point& p) { return p.x > 0.3 && p.y < -1.9; }, false},
        {"body, -x -y", [](const Point& p) { return p.x < -0.3 && p.y < -1.9; }, false},
        {"handle, +y", [](const Point& p) { return p.x < -2.3 && p.y > 0.2; }, true},
        {"handle, -y", [](const Point& p) { return p.x < -2.3 && p.y < -0.2; }, false},
        {"spout, +y", [](const Point& p) { return p.x > 2.1 && p.y > 0.3; }, true},
        {"spout, -y", [](const Point& p) { return p.x > 2.1 && p.y < -0.3; }, false},
    };
    const auto points = Points(Draw(8, GL_3D_COLOR));
    for (const Region& r : regions) {
        SCOPED_TRACE(r.what);
        int seen = 0;
        for (const Point& p : points) {
            if (!r.in(p)) continue;
            ++seen;
            if (r.bright)
                EXPECT_GT(p.brightness, 0.5f) << p.x << ", " << p.y << ", " << p.z;
            else
                EXPECT_LT(p.brightness, 0.05f) << p.x << ", " << p.y << ", " << p.z;
        }
        EXPECT_GT(seen, 0);
    }
}

TEST_F(Teapot, LeavesCullingEvaluatorsAndMatricesAsItFoundThem) {
    const Mat4 view = Translate(0.5, -1, 0.25) * Rotate(30, 1, 0, 0);
    LoadMatrix(view);
    glCullFace(GL_BACK);
    glDisable(GL_AUTO_NORMAL);
    glDisable(GL_MAP2_VERTEX_3);
    glDisable(GL_MAP2_TEXTURE_COORD_2);
    glMapGrid2f(5, 0.25f, 0.75f, 7, 0.125f, 0.5f);
    GLint matrices = 0, attributes = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &matrices);
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &attributes);

    PUTGLTEAPOT(1, 2, 3, 0.5f, 4);

    GLint cull = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &cull);
    EXPECT_EQ(cull, GL_BACK);
    EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_AUTO_NORMAL));
    EXPECT_FALSE(glIsEnabled(GL_MAP2_VERTEX_3));
    EXPECT_FALSE(glIsEnabled(GL_MAP2_TEXTURE_COORD_2));
    GLint segments[2] = {};
    GLfloat domain[4] = {};
    glGetIntegerv(GL_MAP2_GRID_SEGMENTS, segments);
    glGetFloatv(GL_MAP2_GRID_DOMAIN, domain);
    EXPECT_EQ(segments[0], 5);
    EXPECT_EQ(segments[1], 7);
    EXPECT_EQ(std::vector<float>(domain, domain + 4),
              (std::vector<float>{0.25f, 0.75f, 0.125f, 0.5f}));
    ExpectMatrixNear(GetMatrix(GL_MODELVIEW_MATRIX), view, 1e-6, "model-view");
    GLint matrices_after = 0, attributes_after = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &matrices_after);
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &attributes_after);
    EXPECT_EQ(matrices_after, matrices);
    EXPECT_EQ(attributes_after, attributes);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

} // namespace
