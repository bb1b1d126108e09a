// FINDNORMAL: the unit normal of three points, on the side from which they
// run counter-clockwise, and a zero vector for points that span no face.
#include <quorvel.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace quorvel;

namespace {

struct NormalCase {
    const char* what;
    double v[9];
    double expected[3];
};

const NormalCase kNormalCases[] = {
    {"counter-clockwise seen from +z", {0, 0, 0, 1, 0, 0, 1, 1, 0}, {0, 0, 1}},
    {"the same points reversed", {1, 1, 0, 1, 0, 0, 0, 0, 0}, {0, 0, -1}},
    {"a face in the plane x = 0", {0, 0, 0, 0, 2, 0, 0, 2, 2}, {1, 0, 0}},
    {"off the axes",
     {1, 0, 0, 0, 1, 0, 0, 0, 1},
     {1 / std::sqrt(3), 1 / std::sqrt(3), 1 / std::sqrt(3)}},
    {"collinear points", {0, 0, 0, 1, 1, 1, 2, 2, 2}, {0, 0, 0}},
    {"a repeated point", {3, 4, 5, 3, 4, 5, 1, 0, 0}, {0, 0, 0}},
    {"one point three times", {1, 2, 3, 1, 2, 3, 1, 2, 3}, {0, 0, 0}},
    {"nearly collinear", {0, 0, 0, 1, 0, 0, 2, 1e-9, 0}, {0, 0, 1}},
    // The cross product's squares underflow to zero here: the length must
    // still come out right rather than leave the normal unscaled.
    {"a tiny non-zero normal", {0, 0, 0, 1e-90, 0, 0, 1e-90, 1e-90, 0}, {0, 0, 1}},
    {"far from the origin", {1e6, 1e6, 1e6, 1e6 + 1, 1e6, 1e6, 1e6 + 1, 1e6 + 1, 1e6}, {0, 0, 1}},
};

TEST(FindNormal, UnitNormalOrZeroForEveryCase) {
    for (const NormalCase& c : kNormalCases) {
        SCOPED_TRACE(c.what);
        FNORMAL[1] = FNORMAL[2] = FNORMAL[3] = 42; // whatever the last face left
        FINDNORMAL(c.v[0], c.v[1], c.v[2], c.v[3], c.v[4], c.v[5], c.v[6], c.v[7], c.v[8]);
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(std::isfinite(FNORMAL[i + 1])) << "component " << i + 1;
            EXPECT_NEAR(FNORMAL[i + 1], c.expected[i], 1e-7) << "component " << i + 1;
        }
        const double length =
            std::sqrt(FNORMAL[1] * FNORMAL[1] + FNORMAL[2] * FNORMAL[2] + FNORMAL[3] * FNORMAL[3]);
        const bool zero = c.expected[0] == 0 && c.expected[1] == 0 && c.expected[2] == 0;
        EXPECT_NEAR(length, zero ? 0.0 : 1.0, 1e-7);
    }
}

TEST(FindNormal, NonFiniteInputsFlowThroughWithoutATrap) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double bad : {inf, -inf, nan}) {
        for (int position = 0; position < 9; ++position) {
            double v[9] = {0, 0, 0, 1, 0, 0, 1, 1, 0};
            v[position] = bad;
            FINDNORMAL(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
            // IEEE results, never a made-up finite normal.
            EXPECT_FALSE(std::isfinite(FNORMAL[1]) && std::isfinite(FNORMAL[2]) &&
                         std::isfinite(FNORMAL[3]))
                << bad << " at " << position;
        }
    }
}

} // namespace
