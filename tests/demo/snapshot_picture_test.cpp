// The headless picture of the scene, as the snapshot tool takes it: the
// demo's real entry at 800 by 600 with the question answered No. Every
// object must show at the place the isometric view puts its world
// position, textured with its own texture, on a black background.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "demo.h"
#include "../../tools/snapshot/snapshot_session.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kViewportWidth = 800, kViewportHeight = 600;

using Vec4 = std::array<double, 4>;
using Mat4 = std::array<std::array<double, 4>, 4>; // [row][column]

Mat4 Mul(const Mat4& a, const Mat4& b) {
    Mat4 r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k)
                r[i][j] += a[i][k] * b[k][j];
    return r;
}

Mat4 Identity() {
    Mat4 m{};
    for (int i = 0; i < 4; ++i)
        m[i][i] = 1;
    return m;
}

Mat4 RotateX(double degrees) {
    double c = std::cos(degrees * kPi / 180), s = std::sin(degrees * kPi / 180);
    Mat4 m = Identity();
    m[1][1] = c, m[1][2] = -s, m[2][1] = s, m[2][2] = c;
    return m;
}

Mat4 RotateY(double degrees) {
    double c = std::cos(degrees * kPi / 180), s = std::sin(degrees * kPi / 180);
    Mat4 m = Identity();
    m[0][0] = c, m[0][2] = s, m[2][0] = -s, m[2][2] = c;
    return m;
}

// The isometric view: a 12.5 degree perspective over the 800 by 600
// viewport, the world turned 45 degrees about y, tilted 25 degrees about x
// and set 90 units in front of the eye.
Mat4 IsometricViewProjection() {
    const double f = 1 / std::tan(12.5 / 2 * kPi / 180), n = 0.1, far = 120;
    Mat4 p{};
    p[0][0] = f / (double(kViewportWidth) / kViewportHeight);
    p[1][1] = f;
    p[2][2] = (far + n) / (n - far);
    p[2][3] = 2 * far * n / (n - far);
    p[3][2] = -1;
    Mat4 t = Identity();
    t[2][3] = -90;
    return Mul(p, Mul(t, Mul(RotateX(25), RotateY(45))));
}

struct Pixel {
    double x, y; // image coordinates, top row 0
};

class ScenePicture : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        snapshot::Session session;
        session.frames = 3;
        outcome_ = new snapshot::Outcome(snapshot::Run(session, RunIsometricDemo));
    }
    static void TearDownTestSuite() { delete outcome_; }

    void SetUp() override {
        ASSERT_EQ(outcome_->status, 0);
        ASSERT_TRUE(outcome_->captured);
        ASSERT_GT(outcome_->image.width, 0);
    }

    // The viewport sits at the bottom-left of the client area, whatever the
    // client area's size.
    static Pixel Project(double x, double y, double z) {
        static const Mat4 m = IsometricViewProjection();
        Vec4 clip{};
        const Vec4 w{x, y, z, 1};
        for (int i = 0; i < 4; ++i)
            for (int k = 0; k < 4; ++k)
                clip[i] += m[i][k] * w[k];
        const double wx = (clip[0] / clip[3] + 1) / 2 * kViewportWidth;
        const double wy = (clip[1] / clip[3] + 1) / 2 * kViewportHeight;
        return {wx, outcome_->image.height - wy};
    }

    static std::array<int, 3> At(int x, int y) {
        const auto& img = outcome_->image;
        const size_t i = (size_t(y) * img.width + x) * 4;
        return {img.rgba[i], img.rgba[i + 1], img.rgba[i + 2]};
    }

    static bool Inside(int x, int y) {
        return x >= 0 && y >= 0 && x < outcome_->image.width && y < outcome_->image.height;
    }

    static snapshot::Outcome* outcome_;
};
snapshot::Outcome* ScenePicture::outcome_ = nullptr;

// Mean red share r / (r + g + b) of a texture file: white light scales
// every channel alike, so a lit surface keeps the share of its texture.
double RedShareOfTexture(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
    if (b.size() < 54) return -1;
    auto u32 = [&](size_t at) {
        return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24;
    };
    const size_t offset = size_t(u32(10)), w = size_t(u32(18)), h = size_t(u32(22));
    const size_t bytes = (b[28] | b[29] << 8) / 8;
    if (bytes < 3 || offset + w * h * bytes > b.size()) return -1;
    double r = 0, sum = 0;
    for (size_t i = offset; i < offset + w * h * bytes; i += bytes) {
        r += b[i + 2];
        sum += b[i] + b[i + 1] + b[i + 2];
    }
    return r / sum;
}

struct Patch {
    double red_share = 0;
    int spread = 0; // luminance max - min
    int black = 0;  // pixels that are exactly background
};

Patch Measure(const std::vector<std::array<int, 3>>& pixels) {
    Patch p;
    double r = 0, sum = 0;
    int lo = 1 << 20, hi = -1;
    for (const auto& c : pixels) {
        r += c[0];
        sum += c[0] + c[1] + c[2];
        const int lum = (c[0] * 3 + c[1] * 6 + c[2]) / 10;
        lo = std::min(lo, lum), hi = std::max(hi, lum);
        p.black += c[0] == 0 && c[1] == 0 && c[2] == 0;
    }
    p.red_share = sum > 0 ? r / sum : 0;
    p.spread = hi - lo;
    return p;
}

// Nothing is drawn outside the outline of the scene's extreme points.
TEST_F(ScenePicture, BackgroundIsBlackWhereNothingIsDrawn) {
    std::vector<Pixel> hull_points;
    auto add_box = [&](double x0, double x1, double y0, double y1, double z0, double z1) {
        for (double x : {x0, x1})
            for (double y : {y0, y1})
                for (double z : {z0, z1})
                    hull_points.push_back(Project(x, y, z));
    };
    add_box(-10, 10, 0, 0, -10, 10);           // the floor
    add_box(-6.5, 7, 0, 5.25, -5.25, 3);       // pyramid, columns, wall, tower
    add_box(-3, 3.6, 0, 3.2, 5.5, 9.5);        // the teapot
    hull_points.push_back(Project(-5, 10, 0)); // the light's marker
    // Monotone chain: the convex outline, counter-clockwise in image space.
    std::sort(hull_points.begin(), hull_points.end(),
              [](Pixel a, Pixel b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    auto cross = [](Pixel o, Pixel a, Pixel b) {
        return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
    };
    std::vector<Pixel> hull(2 * hull_points.size());
    size_t k = 0;
    for (size_t i = 0; i < hull_points.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], hull_points[i]) <= 0)
            --k;
        hull[k++] = hull_points[i];
    }
    for (size_t i = hull_points.size() - 1, t = k + 1; i-- > 0;) {
        while (k >= t && cross(hull[k - 2], hull[k - 1], hull_points[i]) <= 0)
            --k;
        hull[k++] = hull_points[i];
    }
    hull.resize(k - 1);
    // A margin of three pixels keeps rasterisation at the edge out of it.
    auto outside = [&](double x, double y) {
        for (size_t i = 0; i < hull.size(); ++i) {
            Pixel a = hull[i], b = hull[(i + 1) % hull.size()];
            double len = std::hypot(b.x - a.x, b.y - a.y);
            if (cross(a, b, {x, y}) / len < -3) return true;
        }
        return false;
    };

    int checked = 0, lit = 0;
    const auto& img = outcome_->image;
    for (int y = 0; y < img.height; y += 3)
        for (int x = 0; x < img.width; x += 3) {
            if (!outside(x + 0.5, y + 0.5)) continue;
            ++checked;
            auto c = At(x, y);
            if (c[0] || c[1] || c[2]) {
                if (lit++ < 5) ADD_FAILURE() << "drawn at (" << x << ", " << y << ")";
            }
        }
    EXPECT_EQ(lit, 0);
    EXPECT_GT(checked, (img.width / 3) * (img.height / 3) / 10) << "too little background to check";
}

TEST_F(ScenePicture, EveryObjectShowsWhereTheViewPutsItWithItsTexture) {
    const double floor = RedShareOfTexture("Floor04.bmp"), rock = RedShareOfTexture("rock.bmp"),
                 stone = RedShareOfTexture("stoneblocks.bmp"),
                 marble = RedShareOfTexture("marmorizato.bmp");
    ASSERT_GT(std::min({floor, rock, stone, marble}), 0) << "the textures are not in the folder";

    enum Texture { Floor, Rock, Stone, Marble };
    struct Place {
        const char* what;
        double x, y, z; // a world point on a face the view sees
        Texture texture;
        int reach = 3; // the patch measured: 2 * reach + 1 pixels square
    } places[] = {
        // Tiles and their joints differ in colour, so the floor is measured
        // over several tiles.
        {"floor", -5, 0, 6, Floor, 10},
        {"floor", 8, 0, -8, Floor, 10},
        {"pyramid top", 0, 3, 0, Rock},
        {"pyramid lowest tier", -2.75, 0.25, 3, Rock},
        {"column at z = -2", -6.25, 1.5, -2, Rock},
        {"column at z = 0", -6.25, 1.5, 0, Rock},
        {"column at z = 2", -6.25, 1.5, 2, Rock},
        {"wall", -4, 0.8, -4.75, Rock},
        {"tower shaft", 6, 2.5, 0.7, Stone},
        {"tower platform", 6, 5, 0, Stone},
        {"teapot body", 0, 1.4, 7.5, Marble},
    };
    const double share[] = {floor, rock, stone, marble};
    for (const Place& place : places) {
        SCOPED_TRACE(place.what);
        Pixel at = Project(place.x, place.y, place.z);
        std::vector<std::array<int, 3>> pixels;
        const int r = place.reach, side = 2 * r + 1;
        for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx) {
                int x = int(at.x) + dx, y = int(at.y) + dy;
                if (Inside(x, y)) pixels.push_back(At(x, y));
            }
        ASSERT_EQ(pixels.size(), size_t(side * side))
            << "outside the picture at " << at.x << ", " << at.y;
        Patch patch = Measure(pixels);
        EXPECT_EQ(patch.black, 0) << "background at " << at.x << ", " << at.y;
        EXPECT_GE(patch.spread, 8) << "flat, not textured, at " << at.x << ", " << at.y;
        // The nearest texture by red share; rock and stone look too much
        // alike to be told apart, so either stands for the other.
        int nearest = 0;
        for (int t = 1; t < 4; ++t)
            if (std::abs(patch.red_share - share[t]) < std::abs(patch.red_share - share[nearest]))
                nearest = t;
        auto family = [](int t) { return t == Stone ? int(Rock) : t; };
        EXPECT_EQ(family(nearest), family(place.texture))
            << "red share " << patch.red_share << " at " << at.x << ", " << at.y;
    }
}

} // namespace
