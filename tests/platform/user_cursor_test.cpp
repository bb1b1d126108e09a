// Predefined cursors and icons, and cursors read from .cur and .ico files.
#include <windows.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "user/cursor_file.h"

namespace {

void Put16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v.push_back(uint8_t(x >> (8 * i)));
}

// A 2 by 2 cursor file: 24-bit colours, bottom-up, with an AND mask that
// makes the top-right pixel transparent.
std::vector<uint8_t> TinyCursor(uint16_t type = 2, uint16_t bpp = 24) {
    std::vector<uint8_t> f;
    Put16(f, 0);
    Put16(f, type);
    Put16(f, 1);
    size_t stride = ((2 * bpp + 31) / 32) * 4;
    uint32_t image = uint32_t(40 + stride * 2 + 4 * 2);
    f.push_back(2);
    f.push_back(2);
    f.push_back(0);
    f.push_back(0);
    Put16(f, 1); // hot spot x
    Put16(f, 0); // hot spot y
    Put32(f, image);
    Put32(f, 22);
    Put32(f, 40);
    Put32(f, 2);
    Put32(f, 4); // colour image and mask
    Put16(f, 1);
    Put16(f, bpp);
    for (int i = 0; i < 6; ++i)
        Put32(f, 0);
    const uint8_t bottom[] = {0, 0, 255, 0, 255, 0}, top[] = {255, 0, 0, 255, 255, 255};
    for (const uint8_t* row : {bottom, top}) {
        size_t start = f.size();
        f.insert(f.end(), row, row + 6);
        while (f.size() - start < stride)
            f.push_back(0);
    }
    Put32(f, 0);    // bottom mask row: opaque
    Put32(f, 0x40); // top mask row (first byte 0x40): second pixel transparent
    return f;
}

std::string WriteFile(const char* name, const std::vector<uint8_t>& bytes) {
    std::string path = ::testing::TempDir() + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path;
}

TEST(Cursors, PredefinedOnesAreSharedAndNeverDestroyed) {
    auto before = qv::testing::CountLiveObjects();
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    ASSERT_TRUE(arrow);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);
    const LPCSTR ids[] = {IDC_IBEAM,    IDC_WAIT,     IDC_CROSS,       IDC_UPARROW, IDC_SIZE,
                          IDC_SIZENWSE, IDC_SIZENESW, IDC_SIZEWE,      IDC_SIZENS,  IDC_SIZEALL,
                          IDC_NO,       IDC_HAND,     IDC_APPSTARTING, IDC_HELP};
    for (LPCSTR id : ids) {
        HCURSOR c = LoadCursorA(nullptr, id);
        EXPECT_TRUE(c) << reinterpret_cast<uintptr_t>(id);
        EXPECT_NE(c, arrow);
    }
    HICON app = LoadIconA(nullptr, IDI_APPLICATION);
    EXPECT_TRUE(app);
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
    EXPECT_EQ(LoadCursorA(GetModuleHandleA(nullptr), IDC_ARROW), nullptr); // no resources
    EXPECT_TRUE(DestroyCursor(arrow));
    EXPECT_EQ(SetCursor(arrow), GetCursor());
    EXPECT_EQ(SetCursor(app), arrow); // still valid
    EXPECT_EQ(qv::testing::CountLiveObjects(), before);
}

TEST(Cursors, CursorFilesAreReadWithTheirMaskAndHotSpot) {
    std::vector<uint8_t> bytes = TinyCursor();
    qv::user::CursorImage img;
    ASSERT_TRUE(qv::user::ParseCursorFile(bytes.data(), bytes.size(), img));
    ASSERT_EQ(img.image.width, 2);
    ASSERT_EQ(img.image.height, 2);
    EXPECT_EQ(img.hot_x, 1);
    EXPECT_EQ(img.hot_y, 0);
    const std::vector<uint8_t> want = {0,   0, 255, 255, 255, 255, 255, 0, // top row, BGR -> RGB
                                       255, 0, 0,   255, 0,   255, 0,   255};
    EXPECT_EQ(img.image.rgba, want);

    auto before = qv::testing::CountLiveObjects();
    HCURSOR c = LoadCursorFromFileA(WriteFile("tiny.cur", bytes).c_str());
    ASSERT_TRUE(c);
    EXPECT_EQ(qv::testing::CountLiveObjects().cursors, before.cursors + 1);
    HCURSOR icon = LoadCursorFromFileA(WriteFile("tiny.ico", TinyCursor(1)).c_str());
    EXPECT_TRUE(icon);
    EXPECT_TRUE(DestroyCursor(c));
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyCursor(c)); // stale now
    EXPECT_EQ(qv::testing::CountLiveObjects(), before);
}

TEST(Cursors, MissingAndBadFilesGiveNull) {
    std::vector<uint8_t> good = TinyCursor();
    std::vector<uint8_t> truncated(good.begin(), good.begin() + 60);
    std::vector<uint8_t> wrong_type = TinyCursor(3);
    std::vector<uint8_t> bad_depth = TinyCursor(2, 16);
    std::vector<uint8_t> png = good;
    png[22] = 0x89, png[23] = 'P', png[24] = 'N', png[25] = 'G';
    std::vector<uint8_t> far_offset = good;
    far_offset[18] = 0xFF, far_offset[19] = 0xFF;
    std::vector<uint8_t> huge_size = good;
    huge_size[14] = 0xFF, huge_size[15] = 0xFF, huge_size[16] = 0xFF, huge_size[17] = 0x7F;
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {{"empty", {}},
                 {"truncated", truncated},
                 {"wrong type", wrong_type},
                 {"16-bit", bad_depth},
                 {"png entry", png},
                 {"offset past the end", far_offset},
                 {"size past the end", huge_size}};
    auto before = qv::testing::CountLiveObjects();
    for (const Case& c : cases) {
        std::string path = WriteFile("bad.cur", c.bytes);
        EXPECT_EQ(LoadCursorFromFileA(path.c_str()), nullptr) << c.name;
    }
    EXPECT_EQ(LoadCursorFromFileA("/nonexistent/none.cur"), nullptr);
    EXPECT_EQ(LoadCursorFromFileA(nullptr), nullptr);
    EXPECT_EQ(qv::testing::CountLiveObjects(), before);
}

} // namespace
