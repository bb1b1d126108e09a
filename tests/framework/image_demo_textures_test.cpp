// The demo's generated textures, as the build leaves them in the folder the
// demo and the tests run from: uncompressed 24-bit 256 by 256 pictures with
// real content that tile without a visible seam.
#include <gtest/gtest.h>

#include <quorvel.h>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

std::vector<uint8_t> ReadAll(const char* name) {
    std::vector<uint8_t> bytes;
    FILE* file = std::fopen(name, "rb");
    if (!file) return bytes;
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(file);
    return bytes;
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

TEST(DemoTextures, AreTileable24BitPicturesOf256By256) {
    for (const char* name : {"Floor04.bmp", "rock.bmp", "stoneblocks.bmp", "marmorizato.bmp"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(quorvel::GETBMPDEPTH(name), 24);
        const std::vector<uint8_t> b = ReadAll(name);
        ASSERT_EQ(b.size(), 54u + 256 * 256 * 3) << "built into the working directory?";
        EXPECT_EQ(U32(b, 10), 54u);
        EXPECT_EQ(U32(b, 14), 40u);
        EXPECT_EQ(U32(b, 18), 256u);
        EXPECT_EQ(U32(b, 22), 256u);
        EXPECT_EQ(U32(b, 30), 0u) << "uncompressed";

        auto at = [&](int x, int y, int c) {
            return double(b[54 + (size_t(y) * 256 + x) * 3 + c]);
        };
        // The step across the wrap-around edge is no larger than a typical
        // step between neighbours inside the picture.
        double inner = 0, acrossX = 0, acrossY = 0, sum = 0, sumSquares = 0;
        for (int y = 0; y < 256; ++y)
            for (int c = 0; c < 3; ++c) {
                for (int x = 0; x + 1 < 256; ++x)
                    inner += std::fabs(at(x + 1, y, c) - at(x, y, c));
                acrossX += std::fabs(at(0, y, c) - at(255, y, c));
                acrossY += std::fabs(at(y, 0, c) - at(y, 255, c));
                for (int x = 0; x < 256; ++x) {
                    sum += at(x, y, c);
                    sumSquares += at(x, y, c) * at(x, y, c);
                }
            }
        inner /= 255.0 * 256 * 3;
        acrossX /= 256.0 * 3;
        acrossY /= 256.0 * 3;
        EXPECT_LT(acrossX, 2 * inner + 1);
        EXPECT_LT(acrossY, 2 * inner + 1);
        const double count = 256.0 * 256 * 3, mean = sum / count;
        EXPECT_GT(std::sqrt(sumSquares / count - mean * mean), 8.0) << "a picture, not a flat fill";
        EXPECT_GT(mean, 60.0);
    }
}

} // namespace
