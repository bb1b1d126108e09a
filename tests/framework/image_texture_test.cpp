// BMP textures: reading the depth, the byte swap, loading into slots (the
// uploaded image read back from GL), filters and mipmaps, unusable files,
// selecting slots and the slot range.
#include <gtest/gtest.h>

#include <quorvel.h>

#include <array>
#include <filesystem>

#include "gl_context.h"
#include "image_test_files.h"

using namespace quorvel;
using namespace image_test;

namespace {

FolderCleanup cleanup;

GLint Bound() {
    GLint name = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &name);
    return name;
}

GLint LevelSize(int level, GLenum which) {
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, which, &value);
    return value;
}

// The bound texture's image at `level`, bottom row first, RGBA.
std::vector<uint8_t> TextureRgba(int level = 0) {
    std::vector<uint8_t> out(size_t(LevelSize(level, GL_TEXTURE_WIDTH)) *
                             size_t(LevelSize(level, GL_TEXTURE_HEIGHT)) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (!out.empty()) glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
    return out;
}

// What the texture of `bmp` must hold: its bottom row first, the colour of
// every pixel in R, G, B, A (alpha 255 for 24 bits).
std::vector<uint8_t> ExpectedRgba(const Bmp& bmp) {
    std::vector<uint8_t> out;
    for (int32_t row = 0; row < bmp.height; ++row) {
        const int32_t y = bmp.height - 1 - row;
        for (int32_t x = 0; x < bmp.width; ++x) {
            uint32_t p = bmp.pixels[size_t(y) * size_t(bmp.width) + size_t(x)];
            out.push_back(uint8_t(p >> 16));
            out.push_back(uint8_t(p >> 8));
            out.push_back(uint8_t(p));
            out.push_back(bmp.bits == 32 ? uint8_t(p >> 24) : 255);
        }
    }
    return out;
}

// Every pixel a different colour, so a row out of step or a swapped
// channel shows.
Bmp Distinct(int32_t width, int32_t height, uint16_t bits, bool topDown = false) {
    Bmp bmp = Plain(width, height, bits, 0);
    bmp.topDown = topDown;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            bmp.pixels[size_t(y) * size_t(width) + size_t(x)] =
                uint32_t(0x10 + 40 * y) << 24 | uint32_t(0x20 + 30 * x) << 16 |
                uint32_t(0x80 + 17 * y) << 8 | uint32_t(0x05 + 11 * x + 3 * y);
    return bmp;
}

class TextureTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(gl.ok()); }
    void TearDown() override { GL_MIN_FILTER = GL_MAG_FILTER = GL_LINEAR; }
    qvtest::GLContext gl{64, 64};
};

TEST(TextureFilters, StartLinear) {
    EXPECT_EQ(GL_MIN_FILTER, 9729);
    EXPECT_EQ(GL_MAG_FILTER, 9729);
}

TEST(GetBmpDepth, ReadsTheInfoHeadersBitCount) {
    Bmp v4 = Plain(2, 2, 24, 0x123456);
    v4.headerSize = 108;
    std::vector<uint8_t> rle = Encode(Plain(4, 1, 8, 0));
    rle[30] = 1; // compressed: still reported by its bit count
    std::vector<uint8_t> wrongLetters = Encode(Plain(2, 2, 24, 0));
    wrongLetters[0] = 'X';
    std::vector<uint8_t> full = Encode(Plain(2, 2, 24, 0));
    Bmp core = Plain(2, 2, 24, 0);
    core.headerSize = 12;
    std::filesystem::create_directories(Folder() + "/folder.bmp");

    struct Case {
        const char* what;
        std::string path;
        int32_t depth;
    } cases[] = {
        {"24-bit", Write("d24.bmp", Plain(2, 2, 24, 0)), 24},
        {"32-bit", Write("d32.bmp", Plain(2, 2, 32, 0)), 32},
        {"8-bit",
         Write("d8.bmp",
               [] {
                   Bmp b = Plain(2, 2, 8, 1);
                   b.palette = {0, 0xFFFFFF};
                   return b;
               }()),
         8},
        {"108-byte header", Write("v4.bmp", v4), 24},
        {"compressed", WriteBytes("rle.bmp", rle), 8},
        {"other letters", WriteBytes("letters.bmp", wrongLetters), 0},
        {"12-byte header", Write("core.bmp", core), 0},
        {"missing", Folder() + "/missing.bmp", 0},
        {"a folder", Folder() + "/folder.bmp", 0},
        {"empty", WriteBytes("empty.bmp", {}), 0},
        {"cut in the file header",
         WriteBytes("short10.bmp", std::vector<uint8_t>(full.begin(), full.begin() + 10)), 0},
        {"cut in the info header",
         WriteBytes("short30.bmp", std::vector<uint8_t>(full.begin(), full.begin() + 30)), 0},
        {"headers only",
         WriteBytes("short54.bmp", std::vector<uint8_t>(full.begin(), full.begin() + 54)), 24},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GETBMPDEPTH(c.path.c_str()), c.depth) << c.what;
}

TEST(SwapRgb, ExchangesTheOuterBytesOfEachGroup) {
    struct Case {
        int32_t size;
        std::array<uint8_t, 6> after;
    } cases[] = {
        {2, {3, 2, 1, 6, 5, 4}},
        {1, {3, 2, 1, 4, 5, 6}},
        {0, {1, 2, 3, 4, 5, 6}},
        {-1, {1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        std::array<uint8_t, 6> data = {1, 2, 3, 4, 5, 6};
        SWAPRGB(data.data(), c.size);
        EXPECT_EQ(data, c.after) << "SIZE " << c.size;
    }
}

TEST_F(TextureTest, UploadsThePictureInItsTrueColoursBottomRowAtTZero) {
    struct Case {
        const char* what;
        Bmp bmp;
    } cases[] = {
        {"red 64x64", Plain(64, 64, 24, 0xFF0000)},
        {"24-bit 4x3", Distinct(4, 3, 24)},
        {"32-bit, fourth byte as alpha", Distinct(5, 3, 32)},
        {"24-bit width 1", Distinct(1, 4, 24)},
        {"24-bit width 2", Distinct(2, 3, 24)},
        {"24-bit width 3", Distinct(3, 3, 24)},
        {"24-bit width 5", Distinct(5, 4, 24)},
        {"24-bit width 7", Distinct(7, 2, 24)},
        {"24-bit top-down", Distinct(4, 3, 24, true)},
        {"24-bit top-down width 5", Distinct(5, 3, 24, true)},
        {"32-bit top-down", Distinct(3, 4, 32, true)},
    };
    int32_t slot = 10;
    for (const Case& c : cases) {
        std::string path = Write("upload.bmp", c.bmp);
        TEXTURELOADID(path.c_str(), slot);
        EXPECT_NE(TEXTUREID2[slot], 0u) << c.what;
        EXPECT_EQ(Bound(), GLint(TEXTUREID2[slot])) << c.what;
        EXPECT_EQ(LevelSize(0, GL_TEXTURE_WIDTH), c.bmp.width) << c.what;
        EXPECT_EQ(LevelSize(0, GL_TEXTURE_HEIGHT), c.bmp.height) << c.what;
        EXPECT_EQ(TextureRgba(), ExpectedRgba(c.bmp)) << c.what;
        ++slot;
    }
}

TEST_F(TextureTest, ARedPictureRendersRed) {
    std::string path = Write("red.bmp", Plain(64, 64, 24, 0xFF0000));
    TEXTURELOADID(path.c_str(), 0);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(1, 0);
    glVertex2f(1, -1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
    EXPECT_EQ(gl.Pixel(32, 32), 0xFF0000FFu);
    EXPECT_EQ(gl.Pixel(3, 60), 0xFF0000FFu);
}

TEST_F(TextureTest, LeavesTexturingOnWithTheFiltersWrapAndUnpackSettings) {
    glDisable(GL_TEXTURE_2D);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 7);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 2);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 3);
    GL_MIN_FILTER = GL_NEAREST;
    GL_MAG_FILTER = GL_NEAREST;
    std::string path = Write("state.bmp", Plain(4, 4, 24, 0x00FF00));
    TEXTURELOADID(path.c_str(), 4);

    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLint value = 0;
    for (auto [name, expected] : {std::pair{GL_UNPACK_ALIGNMENT, 4},
                                  {GL_UNPACK_ROW_LENGTH, 0},
                                  {GL_UNPACK_SKIP_ROWS, 0},
                                  {GL_UNPACK_SKIP_PIXELS, 0}}) {
        glGetIntegerv(name, &value);
        EXPECT_EQ(value, expected) << "unpack setting " << name;
    }
    for (auto [name, expected] : {std::pair{GL_TEXTURE_MIN_FILTER, GL_NEAREST},
                                  {GL_TEXTURE_MAG_FILTER, GL_NEAREST},
                                  {GL_TEXTURE_WRAP_S, GL_REPEAT},
                                  {GL_TEXTURE_WRAP_T, GL_REPEAT}}) {
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        EXPECT_EQ(value, expected) << "texture parameter " << name;
    }
}

TEST_F(TextureTest, BuildsMipmapsOnlyForAMipmapMinificationFilter) {
    struct Case {
        int32_t filter;
        uint16_t bits;
        bool mipmaps;
    } cases[] = {
        {9729, 24, false}, {9728, 24, false}, {9987, 24, true},
        {9984, 24, true},  {9987, 32, true},  {9729, 32, false},
    };
    int32_t slot = 20;
    for (const Case& c : cases) {
        GL_MIN_FILTER = c.filter;
        std::string path = Write("mip.bmp", Plain(8, 4, c.bits, 0x80FF0000));
        TEXTURELOADID(path.c_str(), slot++);
        const std::string what =
            "filter " + std::to_string(c.filter) + ", " + std::to_string(c.bits) + " bits";
        EXPECT_EQ(LevelSize(1, GL_TEXTURE_WIDTH), c.mipmaps ? 4 : 0) << what;
        EXPECT_EQ(LevelSize(3, GL_TEXTURE_WIDTH), c.mipmaps ? 1 : 0) << what;
        if (c.mipmaps) {
            // Built from the upload's own layout: still red, and the
            // 32-bit alpha kept.
            std::vector<uint8_t> level1 = TextureRgba(1);
            ASSERT_EQ(level1.size(), 4u * 2 * 4) << what;
            for (size_t i = 0; i < level1.size(); i += 4) {
                EXPECT_EQ(level1[i], 255) << what;
                EXPECT_EQ(level1[i + 2], 0) << what;
                EXPECT_EQ(level1[i + 3], c.bits == 32 ? 0x80 : 255) << what;
            }
        }
    }
}

TEST_F(TextureTest, AnUnusableFileStillGivesTheSlotAFreshBoundTextureWithoutImage) {
    std::vector<uint8_t> full = Encode(Plain(4, 4, 24, 0xFF0000));
    std::vector<uint8_t> pixelsCut(full.begin(), full.begin() + 60);
    Bmp core = Plain(4, 4, 24, 0xFF0000);
    core.headerSize = 12;
    Bmp eight = Plain(4, 4, 8, 1);
    eight.palette = {0, 0xFF0000};
    struct Case {
        const char* what;
        std::string path;
    } cases[] = {
        {"missing", Folder() + "/nothing.bmp"},
        {"8-bit", Write("eight.bmp", eight)},
        {"not a BMP", WriteBytes("text.bmp", {'h', 'e', 'l', 'l', 'o'})},
        {"cut short in its headers",
         WriteBytes("cut.bmp", std::vector<uint8_t>(full.begin(), full.begin() + 20))},
        {"pixels cut short", WriteBytes("pixels.bmp", pixelsCut)},
        {"12-byte header", Write("old.bmp", core)},
    };
    int32_t slot = 30;
    for (const Case& c : cases) {
        glDisable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, 0);
        TEXTURELOADID(c.path.c_str(), slot);
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D)) << c.what;
        EXPECT_NE(TEXTUREID2[slot], 0u) << c.what;
        EXPECT_EQ(Bound(), GLint(TEXTUREID2[slot])) << c.what;
        EXPECT_TRUE(glIsTexture(TEXTUREID2[slot])) << c.what;
        EXPECT_EQ(LevelSize(0, GL_TEXTURE_WIDTH), 0) << c.what;
        GLint wrap = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
        EXPECT_EQ(wrap, GL_REPEAT) << c.what;
        ++slot;
    }
}

TEST_F(TextureTest, SelectingBindsTheSlotsNameAndAnUnloadedSlotBindsZero) {
    std::string path = Write("select.bmp", Plain(2, 2, 24, 0x0000FF));
    TEXTURELOADID(path.c_str(), 500);
    TEXTURELOADID(path.c_str(), 1);
    ASSERT_NE(TEXTUREID2[500], TEXTUREID2[1]);
    TEXTURESELECTID(500);
    EXPECT_EQ(Bound(), GLint(TEXTUREID2[500]));
    glDisable(GL_TEXTURE_2D);
    TEXTURESELECTID(7);
    EXPECT_EQ(Bound(), 0);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "selecting does not enable texturing";
}

TEST_F(TextureTest, ReloadingASlotReplacesAndDeletesItsOldTexture) {
    std::string path = Write("twice.bmp", Plain(2, 2, 24, 0x0000FF));
    TEXTURELOADID(path.c_str(), 2);
    const GLuint first = TEXTUREID2[2];
    TEXTURELOADID(path.c_str(), 3);
    const GLuint other = TEXTUREID2[3];
    TEXTURELOADID(path.c_str(), 2);
    EXPECT_NE(TEXTUREID2[2], first);
    EXPECT_EQ(Bound(), GLint(TEXTUREID2[2]));
    EXPECT_FALSE(glIsTexture(first));
    EXPECT_TRUE(glIsTexture(other)) << "other slots keep their textures";
    EXPECT_EQ(LevelSize(0, GL_TEXTURE_WIDTH), 2);
}

TEST_F(TextureTest, ASlotOutsideTheTableIsARangeError) {
    std::string path = Write("range.bmp", Plain(2, 2, 24, 0x0000FF));
    for (int32_t slot : {501, -1}) {
        EXPECT_EXIT(TEXTURELOADID(path.c_str(), slot), ::testing::ExitedWithCode(201),
                    "Range check error")
            << slot;
        EXPECT_EXIT(TEXTURESELECTID(slot), ::testing::ExitedWithCode(201), "Range check error")
            << slot;
    }
}

} // namespace
