// Boxes and quad edges: the exact call stream of a box (recorded on its way
// to GL), which way its normals and windings face for every order of its
// corners, degenerate boxes, and a lit box as it really comes out on screen.
#include "render_gl_recorder.h"
#include "render_test_support.h"

#include <string>

using namespace quorvel;
using namespace render_test;
using gl_recorder::Call;
using gl_recorder::Kind;

namespace {

struct V3 {
    float x, y, z;
};

class Boxes : public RenderTest {
  protected:
    void SetUp() override { ASSERT_TRUE(MakeContext(800, 600)); }

    static std::vector<Call> RecordBox(float x, float y, float z, float x1, float y1, float z1,
                                       float x2, float y2, float z2, float tsize) {
        gl_recorder::Start();
        CUBO2(x, y, z, x1, y1, z1, x2, y2, z2, tsize);
        return gl_recorder::Stop();
    }

    // The six faces out of a box's call stream: its normal and its corners.
    struct Face {
        V3 normal;
        V3 corners[4];
        float st[4][2];
    };
    static std::vector<Face> Faces(const std::vector<Call>& calls) {
        std::vector<Face> faces;
        float s = 0, t = 0;
        int corner = 0;
        for (const Call& c : calls) {
            if (c.kind == Kind::Normal) {
                faces.push_back({{c.a, c.b, c.c}, {}, {}});
                corner = 0;
            } else if (c.kind == Kind::TexCoord) {
                s = c.a, t = c.b;
            } else if (c.kind == Kind::Vertex && !faces.empty() && corner < 4) {
                faces.back().corners[corner] = {c.a, c.b, c.c};
                faces.back().st[corner][0] = s;
                faces.back().st[corner][1] = t;
                ++corner;
            }
        }
        return faces;
    }
};

std::string Describe(const Call& c) {
    const char* names[] = {"Begin",  "End",  "Normal", "TexCoord",
                           "Vertex", "Push", "Pop",    "Translate"};
    return std::string(names[int(c.kind)]) + "(" + std::to_string(c.a) + ", " +
           std::to_string(c.b) + ", " + std::to_string(c.c) + ")";
}

TEST_F(Boxes, BoxIsTwentyFourVerticesWithNormalsAndTiledTexture) {
    // Corners (1, 2, 3) and (4, 6, 9) at origin (10, 20, 30), TSIZE 0.5: the
    // texture spans are 1.5 along x, 2 along y and 3 along z.
    struct Corner {
        float s, t, x, y, z;
    };
    struct ExpectedFace {
        V3 normal;
        Corner c[4];
    };
    const ExpectedFace expected[6] = {
        {{0, 0, 1}, {{0, 0, 1, 2, 9}, {1.5f, 0, 4, 2, 9}, {1.5f, 2, 4, 6, 9}, {0, 2, 1, 6, 9}}},
        {{0, 0, -1}, {{1.5f, 0, 1, 2, 3}, {1.5f, 2, 1, 6, 3}, {0, 2, 4, 6, 3}, {0, 0, 4, 2, 3}}},
        {{0, 1, 0}, {{0, 3, 1, 6, 3}, {0, 0, 1, 6, 9}, {1.5f, 0, 4, 6, 9}, {1.5f, 3, 4, 6, 3}}},
        {{0, -1, 0}, {{1.5f, 3, 1, 2, 3}, {0, 3, 4, 2, 3}, {0, 0, 4, 2, 9}, {1.5f, 0, 1, 2, 9}}},
        {{1, 0, 0}, {{3, 0, 4, 2, 3}, {3, 2, 4, 6, 3}, {0, 2, 4, 6, 9}, {0, 0, 4, 2, 9}}},
        {{-1, 0, 0}, {{0, 0, 1, 2, 3}, {3, 0, 1, 2, 9}, {3, 2, 1, 6, 9}, {0, 2, 1, 6, 3}}},
    };
    std::vector<Call> want = {
        {Kind::PushMatrix}, {Kind::Translate, 10, 20, 30}, {Kind::Begin, 0, 0, 0, GL_QUADS}};
    for (const ExpectedFace& f : expected) {
        want.push_back({Kind::Normal, f.normal.x, f.normal.y, f.normal.z});
        for (const Corner& c : f.c) {
            want.push_back({Kind::TexCoord, c.s, c.t});
            want.push_back({Kind::Vertex, c.x, c.y, c.z});
        }
    }
    want.push_back({Kind::End});
    want.push_back({Kind::PopMatrix});

    const std::vector<Call> got = RecordBox(10, 20, 30, 1, 2, 3, 4, 6, 9, 0.5f);
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_TRUE(got[i].kind == want[i].kind && got[i].mode == want[i].mode &&
                    std::fabs(got[i].a - want[i].a) < 1e-6f &&
                    std::fabs(got[i].b - want[i].b) < 1e-6f &&
                    std::fabs(got[i].c - want[i].c) < 1e-6f)
            << "call " << i << ": got " << Describe(got[i]) << ", want " << Describe(want[i]);
    }
    // FINDNORMAL's last face is face 6, x = X1.
    EXPECT_DOUBLE_EQ(FNORMAL[1], -1);
    EXPECT_DOUBLE_EQ(FNORMAL[2], 0);
    EXPECT_DOUBLE_EQ(FNORMAL[3], 0);
}

TEST_F(Boxes, NormalsAndWindingFaceOutwardExactlyWhenTheExtentsMultiplyPositive) {
    // Every order of the corners: swapping the two values on an axis flips
    // the sign of that extent.
    for (int flips = 0; flips < 8; ++flips) {
        const bool fx = flips & 1, fy = flips & 2, fz = flips & 4;
        const float x1 = fx ? 2 : -1, x2 = fx ? -1 : 2;
        const float y1 = fy ? 3 : 0, y2 = fy ? 0 : 3;
        const float z1 = fz ? 1 : -2, z2 = fz ? -2 : 1;
        const bool outward = (x2 - x1) * (y2 - y1) * (z2 - z1) > 0;
        SCOPED_TRACE(testing::Message()
                     << "flips " << flips << (outward ? " (outward)" : " (inward)"));
        const V3 centre = {0.5f, 1.5f, -0.5f};

        const auto faces = Faces(RecordBox(0, 0, 0, x1, y1, z1, x2, y2, z2, 1));
        ASSERT_EQ(faces.size(), 6u);
        for (const auto& f : faces) {
            V3 mid = {0, 0, 0};
            for (const V3& c : f.corners)
                mid.x += c.x / 4, mid.y += c.y / 4, mid.z += c.z / 4;
            const V3 out = {mid.x - centre.x, mid.y - centre.y, mid.z - centre.z};
            const float along = f.normal.x * out.x + f.normal.y * out.y + f.normal.z * out.z;
            // Unit normals along the face's own axis.
            EXPECT_NEAR(std::fabs(along), std::sqrt(out.x * out.x + out.y * out.y + out.z * out.z),
                        1e-5f);
            EXPECT_EQ(along > 0, outward);
            // The corners run counter-clockwise around the normal they got,
            // so the normal and the winding agree: culling keeps what is lit.
            const V3 &a = f.corners[0], &b = f.corners[1], &c = f.corners[2];
            const V3 e1 = {b.x - a.x, b.y - a.y, b.z - a.z}, e2 = {c.x - b.x, c.y - b.y, c.z - b.z};
            const V3 cross = {e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z,
                              e1.x * e2.y - e1.y * e2.x};
            EXPECT_GT(cross.x * f.normal.x + cross.y * f.normal.y + cross.z * f.normal.z, 0);
        }
    }
}

TEST_F(Boxes, ZeroExtentAndZeroTextureSize) {
    // Y1 = Y2: the four faces spanning y have no area and no normal; the two
    // others coincide, facing opposite ways.
    const auto flat = Faces(RecordBox(0, 0, 0, -1, 2, -1, 1, 2, 1, 0.5f));
    ASSERT_EQ(flat.size(), 6u);
    const V3 normals[6] = {{0, 0, 0}, {0, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 0}, {0, 0, 0}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(flat[i].normal.x, normals[i].x) << "face " << i + 1;
        EXPECT_EQ(flat[i].normal.y, normals[i].y) << "face " << i + 1;
        EXPECT_EQ(flat[i].normal.z, normals[i].z) << "face " << i + 1;
    }
    EXPECT_EQ(FNORMAL[1], 0.0);
    EXPECT_EQ(FNORMAL[2], 0.0);
    EXPECT_EQ(FNORMAL[3], 0.0);

    // TSIZE 0: every corner at texture coordinate (0, 0).
    for (const auto& f : Faces(RecordBox(0, 0, 0, -1, -1, -1, 1, 1, 1, 0)))
        for (const auto& st : f.st) {
            EXPECT_EQ(st[0], 0.0f);
            EXPECT_EQ(st[1], 0.0f);
        }
}

TEST_F(Boxes, BoxLeavesTheModelViewMatrixAsItFoundIt) {
    const Mat4 view = Translate(1, 2, 3) * Rotate(40, 1, 1, 0);
    glMatrixMode(GL_MODELVIEW);
    LoadMatrix(view);
    GLint depth_before = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_before);
    CUBO2(5, 6, 7, -1, -1, -1, 1, 1, 1, 0.5f);
    ExpectMatrixNear(GetMatrix(GL_MODELVIEW_MATRIX), view, 1e-6, "model-view");
    GLint depth_after = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_after);
    EXPECT_EQ(depth_after, depth_before);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Boxes, UntexturedEdgeReusesTheLastTextureCoordinate) {
    glMatrixMode(GL_PROJECTION);
    LoadMatrix(Ortho(0, 800, 0, 600, -1, 1));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    const auto primitives = Feedback(GL_3D_COLOR_TEXTURE, 1024, [] {
        glBegin(GL_QUADS);
        LINEFREE(0.25f, 0.5f, 0.75f, 1, 100, 100, 0, 300, 100, 0, true);
        LINEFREE(9, 9, 9, 9, 300, 200, 0, 100, 200, 0, false);
        glEnd();
    });
    ASSERT_FALSE(primitives.empty());
    struct Expected {
        float x, y, s, t;
    };
    const Expected corners[4] = {
        {100, 100, 0.25f, 0.5f}, {300, 100, 0.75f, 1}, {300, 200, 0.75f, 1}, {100, 200, 0.75f, 1}};
    int seen[4] = {};
    for (const auto& p : primitives) {
        ASSERT_EQ(p.token, GLenum(GL_POLYGON_TOKEN));
        for (const auto& v : p.vertices) {
            bool matched = false;
            for (int i = 0; i < 4; ++i) {
                if (std::fabs(v[0] - corners[i].x) < 0.01f &&
                    std::fabs(v[1] - corners[i].y) < 0.01f) {
                    EXPECT_FLOAT_EQ(v[7], corners[i].s) << "corner " << i;
                    EXPECT_FLOAT_EQ(v[8], corners[i].t) << "corner " << i;
                    ++seen[i];
                    matched = true;
                }
            }
            EXPECT_TRUE(matched) << "vertex at " << v[0] << ", " << v[1];
        }
    }
    for (int i = 0; i < 4; ++i)
        EXPECT_GT(seen[i], 0) << "corner " << i << " never arrived";
}

TEST_F(Boxes, CulledLitBoxShowsThreeFacesAndNoBackFace) {
    OPENGL_INITISOMETRIC(1, 120, 0, 0, 0, 0);
    SETGLREFRACTIVE();
    // A directional light fixed in the world, so that the three faces the
    // view shows (top, -x and +z) meet it at three different angles.
    const double lx = -0.3, ly = 1, lz = 0.6, llen = std::sqrt(lx * lx + ly * ly + lz * lz);
    SETGLLIGHT(GL_LIGHT0, float(lx), float(ly), float(lz), 0);
    // With the depth test off, only culling keeps the back faces, drawn
    // after the front ones, from covering them.
    glDisable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    CUBO2(0, 0, 0, -2, -2, -2, 2, 2, 2, 0.5f);
    glFinish();

    // OpenGL's default material: ambient 0.2, diffuse 0.8, no specular; the
    // light's ambient 0.5 and the scene's 0.2.
    auto brightness = [&](double nx, double ny, double nz) {
        const double lambert = std::max(0.0, (nx * lx + ny * ly + nz * lz) / llen);
        return 0.2 * 0.2 + 0.5 * 0.2 + 0.8 * lambert;
    };
    const Mat4 mvp = Perspective(12.5, 800.0 / 600.0, 0.1, 120) * IsometricView(1);
    struct Probe {
        const char* face;
        double x, y, z; // a point on the face, off its centre
        double level;
    };
    const Probe probes[] = {
        {"top", 0.8, 2, -0.6, brightness(0, 1, 0)},
        {"-x", -2, 0.7, 0.5, brightness(-1, 0, 0)},
        {"+z", -0.5, -0.6, 2, brightness(0, 0, 1)},
    };
    std::vector<int> levels;
    for (const Probe& p : probes) {
        SCOPED_TRACE(p.face);
        const auto at = WindowPosition(mvp, p.x, p.y, p.z, 800, 600);
        uint8_t pixel[4];
        glReadPixels(int(at[0]), int(at[1]), 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        // A grey face: lit white light on white material.
        EXPECT_NEAR(pixel[0], p.level * 255, 4);
        EXPECT_EQ(pixel[0], pixel[1]);
        EXPECT_EQ(pixel[1], pixel[2]);
        levels.push_back(pixel[0]);
    }
    EXPECT_NE(levels[0], levels[1]);
    EXPECT_NE(levels[1], levels[2]);
    EXPECT_NE(levels[0], levels[2]);

    // Outside the box only the clear colour.
    uint8_t corner[4];
    glReadPixels(5, 5, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, corner);
    EXPECT_EQ(corner[0] + corner[1] + corner[2], 0);
}

} // namespace
