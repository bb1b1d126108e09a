// Bitmap files with their palettes, and regions cut from bitmaps by a key
// colour: the region's shape pixel by pixel, the batches it is built from,
// the palettes, failures and the objects left behind.
#include <gtest/gtest.h>

#include <quorvel.h>
#include <win32/testing.h>

#include <array>
#include <string>
#include <vector>

#include "image_test_files.h"

using namespace quorvel;
using namespace image_test;

namespace {

FolderCleanup cleanup;

constexpr uint32_t Magenta = 0xFF00FF; // as a key colour: red 255, green 0, blue 255

// A picture drawn as text, top row first: each character is looked up in
// the legend of colours (0x00RRGGBB).
Bmp Drawn(const std::vector<std::string>& rows,
          const std::vector<std::pair<char, uint32_t>>& legend, uint16_t bits = 24) {
    Bmp bmp = Plain(int32_t(rows[0].size()), int32_t(rows.size()), bits, 0);
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x)
            for (auto [key, colour] : legend)
                if (rows[y][x] == key) bmp.pixels[y * rows[y].size() + x] = colour;
    return bmp;
}

// The region drawn the same way: '#' inside, '.' outside.
std::vector<std::string> Shape(HRGN region, int width, int height) {
    std::vector<std::string> rows;
    for (int y = 0; y < height; ++y) {
        std::string row;
        for (int x = 0; x < width; ++x)
            row += PtInRegion(region, x, y) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

// The rectangle batches the region calls receive while `run` runs.
struct Batches {
    Batches() {
        qv::testing::SetRegionBatchHook([this](DWORD count, const RECT* rects) {
            sizes.push_back(count);
            for (DWORD i = 0; i < count; ++i)
                all.push_back({rects[i].left, rects[i].top, rects[i].right, rects[i].bottom});
        });
    }
    ~Batches() { qv::testing::SetRegionBatchHook(nullptr); }
    std::vector<DWORD> sizes;
    std::vector<std::array<LONG, 4>> all;
};

struct RegionCase {
    const char* what;
    Bmp bmp;
    uint32_t key;
    uint8_t tolerance;
    std::vector<std::string> shape;
};

TEST(BitmapToRegion, LeavesOutThePixelsWithinTheToleranceAboveTheKey) {
    // Key colours in 0x00BBGGRR order, picture colours in 0x00RRGGBB.
    const uint32_t pink = 0xFF00FF, red = 0xFF0000, blue = 0x0000FF;
    Bmp eight = Drawn({"#.#", "..#"}, {{'#', blue}, {'.', pink}}, 8);
    eight.palette = {pink, blue};
    for (uint32_t& p : eight.pixels)
        p = p == pink ? 0 : 1;
    Bmp topDown = Drawn({"#..", "##."}, {{'#', red}, {'.', pink}});
    topDown.topDown = true;
    RegionCase cases[] = {
        {"all of the key colour", Drawn({"...", "..."}, {{'.', pink}}), Magenta, 0, {"...", "..."}},
        {"no transparent pixel",
         Drawn({"####", "####", "####"}, {{'#', red}}),
         Magenta,
         0,
         {"####", "####", "####"}},
        {"opaque, key, opaque", Drawn({"#.#"}, {{'#', red}, {'.', pink}}), Magenta, 0, {"#.#"}},
        {"transparent top-left, rows from the top",
         Drawn({".##", "###", "#.."}, {{'#', red}, {'.', pink}}),
         Magenta,
         0,
         {".##", "###", "#.."}},
        {"magenta, tolerance 1",
         Drawn({"abcd"}, {{'a', 0xFF00FF}, {'b', 0xFF01FF}, {'c', 0xFE00FF}, {'d', 0xFF02FF}}),
         Magenta,
         1,
         {"..##"}},
        {"upward only",
         Drawn({"abcd"}, {{'a', 0x0C0F0A}, {'b', 0x090A0A}, {'c', 0x0F0F0F}, {'d', 0x100A0A}}),
         0x0A0A0A,
         5,
         {".#.#"}},
        {"high bound cut to 255",
         Drawn({"abc"}, {{'a', 0xFF050A}, {'b', 0xFA0B00}, {'c', 0xF90000}}),
         0x0000FA,
         10,
         {".##"}},
        {"8-bit picture in its true colours", eight, Magenta, 0, {"#.#", "..#"}},
        {"top-down file", topDown, Magenta, 0, {"#..", "##."}},
        {"runs longer than one pixel",
         Drawn({"###..####.", "..........", "#........#"}, {{'#', blue}, {'.', pink}}),
         Magenta,
         0,
         {"###..####.", "..........", "#........#"}},
    };
    const auto before = qv::testing::CountLiveObjects();
    for (const RegionCase& c : cases) {
        const std::string path = Write("region.bmp", c.bmp);
        HRGN region = BITMAPTOREGION(path, c.key, c.tolerance);
        ASSERT_NE(region, nullptr) << c.what;
        EXPECT_EQ(Shape(region, c.bmp.width + 1, c.bmp.height + 1), [&] {
            std::vector<std::string> grown = c.shape;
            for (std::string& row : grown)
                row += '.';
            grown.push_back(std::string(size_t(c.bmp.width) + 1, '.'));
            return grown;
        }()) << c.what;
        EXPECT_TRUE(DeleteObject(region)) << c.what;
        EXPECT_EQ(qv::testing::CountLiveObjects(), before) << c.what << ": nothing left behind";
    }
}

TEST(BitmapToRegion, AnAllKeyPictureGivesAnEmptyRegionNotZero) {
    const std::string path = Write("empty.bmp", Plain(5, 4, 24, 0xFF00FF));
    HRGN region = BITMAPTOREGION(path, Magenta, 0);
    ASSERT_NE(region, nullptr);
    RECT box;
    EXPECT_EQ(GetRgnBox(region, &box), NULLREGION);
    DeleteObject(region);
}

TEST(BitmapToRegion, RunsBecomeOnePixelHighRectanglesLeftToRightFromTheTopRow) {
    struct Case {
        const char* what;
        Bmp bmp;
        std::vector<std::array<LONG, 4>> rects;
    } cases[] = {
        {"opaque, key, opaque",
         Drawn({"#.#"}, {{'#', 0x00FF00}, {'.', 0xFF00FF}}),
         {{0, 0, 1, 1}, {2, 0, 3, 1}}},
        {"no transparent pixel: one rectangle a row",
         Plain(4, 3, 24, 0x00FF00),
         {{0, 0, 4, 1}, {0, 1, 4, 2}, {0, 2, 4, 3}}},
        {"all of the key colour: one empty batch", Plain(3, 2, 24, 0xFF00FF), {}},
        {"runs in rows",
         Drawn({"..##.#", "#....."}, {{'#', 0x00FF00}, {'.', 0xFF00FF}}),
         {{2, 0, 4, 1}, {5, 0, 6, 1}, {0, 1, 1, 2}}},
        {"runs across 64-pixel boundaries and up to the row's end",
         Drawn({std::string(64, '#') + "." + std::string(65, '#'),
                std::string(60, '.') + std::string(70, '#')},
               {{'#', 0x00FF00}, {'.', 0xFF00FF}}),
         {{0, 0, 64, 1}, {65, 0, 130, 1}, {60, 1, 130, 2}}},
    };
    for (const Case& c : cases) {
        Batches batches;
        HRGN region = BITMAPTOREGION(Write("rects.bmp", c.bmp), Magenta, 0);
        ASSERT_NE(region, nullptr) << c.what;
        EXPECT_EQ(batches.sizes, std::vector<DWORD>{DWORD(c.rects.size())}) << c.what;
        EXPECT_EQ(batches.all, c.rects) << c.what;
        DeleteObject(region);
    }
}

TEST(BitmapToRegion, ManyRunsMakeOneRegion) {
    // 45 one-pixel runs a row, 100 rows: 4500 rectangles.
    Bmp bmp = Plain(90, 100, 24, 0xFF00FF);
    for (int32_t y = 0; y < bmp.height; ++y)
        for (int32_t x = (y % 2); x < bmp.width; x += 2)
            bmp.pixels[size_t(y) * 90 + size_t(x)] = 0x00FF00;
    const std::string path = Write("runs.bmp", bmp);
    const auto before = qv::testing::CountLiveObjects();
    Batches batches;
    HRGN region = BITMAPTOREGION(path, Magenta, 0);
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(batches.sizes, (std::vector<DWORD>{2000, 2000, 500}));
    ASSERT_EQ(batches.all.size(), 4500u);
    EXPECT_EQ(batches.all[0], (std::array<LONG, 4>{0, 0, 1, 1}));
    EXPECT_EQ(batches.all[2000], (std::array<LONG, 4>{40, 44, 41, 45}));
    EXPECT_EQ(batches.all[4499], (std::array<LONG, 4>{89, 99, 90, 100}));
    int wrong = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 90; ++x)
            wrong += bool(PtInRegion(region, x, y)) != ((x + y) % 2 == 0);
    EXPECT_EQ(wrong, 0);
    RECT box;
    EXPECT_EQ(GetRgnBox(region, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 90);
    EXPECT_EQ(box.bottom, 100);
    DeleteObject(region);
    EXPECT_EQ(qv::testing::CountLiveObjects(), before);
}

TEST(BitmapToRegion, AMissingFileGivesZero) {
    const auto before = qv::testing::CountLiveObjects();
    EXPECT_EQ(BITMAPTOREGION(Folder() + "/missing.bmp", Magenta, 1), nullptr);
    EXPECT_EQ(qv::testing::CountLiveObjects(), before);
}

TEST(BitmapToRegion, AKeyColourWithItsTopBitSetIsARangeError) {
    const std::string path = Write("key.bmp", Plain(2, 2, 24, 0xFF00FF));
    for (uint32_t key : {0x80000000u, 0xFFFFFFFFu, 0x80FF00FFu})
        EXPECT_EXIT(BITMAPTOREGION(path, key, 0), ::testing::ExitedWithCode(201),
                    "Range check error")
            << key;
}

// Every call that can fail on the way releases what was made so far.
TEST(BitmapToRegion, AFailingCallGivesZeroAndReleasesEverything) {
    Bmp bmp = Plain(90, 100, 24, 0xFF00FF);
    for (int32_t y = 0; y < bmp.height; ++y)
        for (int32_t x = (y % 2); x < bmp.width; x += 2)
            bmp.pixels[size_t(y) * 90 + size_t(x)] = 0x00FF00;
    const std::string many = Write("fail.bmp", bmp); // 4500 rectangles
    const std::string few = Write("few.bmp", Plain(3, 3, 24, 0x00FF00));
    struct Case {
        const char* call;
        std::string path;
    } cases[] = {
        {"CreateCompatibleDC", few}, {"CreateDIBSection", few},
        {"GlobalAlloc", few},        {"GlobalReAlloc", many}, // the first growth, at 100
        {"ExtCreateRegion", many},                            // the first batch of 2000
        {"ExtCreateRegion", few},                             // the one batch, at the end
    };
    const auto before = qv::testing::CountLiveObjects();
    for (const Case& c : cases) {
        const std::string what =
            std::string(c.call) + (c.path == few ? ", few runs" : ", many runs");
        qv::testing::FailCall(c.call, 1);
        EXPECT_EQ(BITMAPTOREGION(c.path, Magenta, 0), nullptr) << what;
        qv::testing::ClearFailures();
        EXPECT_EQ(qv::testing::CountLiveObjects(), before) << what;
    }
}

TEST(BitmapToRegion, AFailureAfterTheFirstBatchAlsoReleasesThePartialResult) {
    Bmp bmp = Plain(90, 100, 24, 0xFF00FF);
    for (int32_t y = 0; y < bmp.height; ++y)
        for (int32_t x = 0; x < bmp.width; x += 2)
            bmp.pixels[size_t(y) * 90 + size_t(x)] = 0x00FF00;
    const std::string path = Write("partial.bmp", bmp); // batches of 2000, 2000, 500
    for (int failing : {2, 3}) {
        const auto before = qv::testing::CountLiveObjects();
        int seen = 0;
        // Arms the failure of the next region call once `failing - 1`
        // batches have become regions.
        qv::testing::SetRegionBatchHook([&](DWORD, const RECT*) {
            if (++seen == failing - 1) qv::testing::FailCall("ExtCreateRegion", 1);
        });
        EXPECT_EQ(BITMAPTOREGION(path, Magenta, 0), nullptr) << "batch " << failing;
        qv::testing::SetRegionBatchHook(nullptr);
        qv::testing::ClearFailures();
        EXPECT_EQ(seen, failing - 1);
        EXPECT_EQ(qv::testing::CountLiveObjects(), before) << "batch " << failing;
    }
}

TEST(LoadBmpFromFile, GivesTheBitmapInItsOwnFormat) {
    Bmp four = Plain(3, 2, 4, 2);
    four.palette = {0x000000, 0xFF0000, 0x00FF00};
    struct Case {
        Bmp bmp;
        int bits;
    } cases[] = {{Plain(3, 2, 24, 0x102030), 24}, {Plain(3, 2, 32, 0x102030), 32}, {four, 4}};
    for (const Case& c : cases) {
        HPALETTE pal = nullptr;
        HBITMAP bitmap = LOADBMPFROMFILE(Write("own.bmp", c.bmp), pal);
        ASSERT_NE(bitmap, nullptr) << c.bits;
        EXPECT_NE(pal, nullptr) << c.bits;
        DIBSECTION ds{};
        ASSERT_EQ(GetObjectA(bitmap, sizeof ds, &ds), int(sizeof ds)) << c.bits;
        EXPECT_EQ(ds.dsBm.bmWidth, 3) << c.bits;
        EXPECT_EQ(ds.dsBm.bmHeight, 2) << c.bits;
        EXPECT_EQ(ds.dsBm.bmBitsPixel, c.bits) << c.bits;
        DeleteObject(pal);
        DeleteObject(bitmap);
    }
}

// A palette's entries, each as 0xFFRRGGBB with the flags in the top byte.
std::vector<uint32_t> Entries(HPALETTE pal) {
    WORD count = 0;
    GetObjectA(pal, sizeof count, &count);
    std::vector<PALETTEENTRY> entries(count);
    if (count) GetPaletteEntries(pal, 0, count, entries.data());
    std::vector<uint32_t> packed;
    for (const PALETTEENTRY& e : entries)
        packed.push_back(uint32_t(e.peFlags) << 24 | uint32_t(e.peRed) << 16 |
                         uint32_t(e.peGreen) << 8 | e.peBlue);
    return packed;
}

TEST(LoadBmpFromFile, AnIndexedPictureGets256EntriesFromItsColourTable) {
    struct Case {
        uint16_t bits;
        size_t tableSize;
    } cases[] = {{1, 2}, {4, 16}, {8, 16}, {8, 256}};
    for (const Case& c : cases) {
        Bmp bmp = Plain(4, 2, c.bits, 1);
        for (size_t i = 0; i < c.tableSize; ++i)
            bmp.palette.push_back(uint32_t(i * 7 % 256) << 16 | uint32_t(255 - i) << 8 |
                                  uint32_t(i * 3 % 256));
        HPALETTE pal = nullptr;
        HBITMAP bitmap = LOADBMPFROMFILE(Write("indexed.bmp", bmp), pal);
        ASSERT_NE(bitmap, nullptr);
        std::vector<uint32_t> entries = Entries(pal);
        ASSERT_EQ(entries.size(), 256u) << c.bits << " bits";
        for (size_t i = 0; i < 256; ++i) {
            const uint32_t want = i < c.tableSize ? bmp.palette[i] : 0; // flags 0, beyond: black
            EXPECT_EQ(entries[i], want) << c.bits << " bits, entry " << i;
        }
        DeleteObject(pal);
        DeleteObject(bitmap);
    }
}

TEST(LoadBmpFromFile, ADeepPictureGetsTheHalftonePalette) {
    HDC screen = GetDC(nullptr);
    HPALETTE halftone = CreateHalftonePalette(screen);
    ReleaseDC(nullptr, screen);
    const std::vector<uint32_t> want = Entries(halftone);
    DeleteObject(halftone);
    ASSERT_FALSE(want.empty());
    for (uint16_t bits : {16, 24, 32}) {
        HPALETTE pal = nullptr;
        HBITMAP bitmap = LOADBMPFROMFILE(Write("deep.bmp", Plain(2, 2, bits, 0x336699)), pal);
        ASSERT_NE(bitmap, nullptr) << bits;
        EXPECT_EQ(Entries(pal), want) << bits;
        DeleteObject(pal);
        DeleteObject(bitmap);
    }
}

TEST(LoadBmpFromFile, AFileThatCannotBeLoadedGivesZeroAndLeavesThePaletteAlone) {
    const auto before = qv::testing::CountLiveObjects();
    HPALETTE sentinel = reinterpret_cast<HPALETTE>(uintptr_t(0x5A5A));
    for (std::string path :
         {Folder() + "/missing.bmp", WriteBytes("junk.bmp", {'B', 'M', 0, 1, 2})}) {
        HPALETTE pal = sentinel;
        EXPECT_EQ(LOADBMPFROMFILE(path, pal), nullptr) << path;
        EXPECT_EQ(pal, sentinel) << path;
    }
    EXPECT_EQ(qv::testing::CountLiveObjects(), before);
}

TEST(LoadBmpFromFile, LeavesOnlyThePictureAndItsPalette) {
    Bmp eight = Plain(2, 2, 8, 0);
    eight.palette = {0x123456};
    for (const Bmp& bmp : {eight, Plain(2, 2, 24, 0)}) {
        auto before = qv::testing::CountLiveObjects();
        HPALETTE pal = nullptr;
        HBITMAP bitmap = LOADBMPFROMFILE(Write("owned.bmp", bmp), pal);
        ASSERT_NE(bitmap, nullptr);
        auto after = qv::testing::CountLiveObjects();
        ++before.bitmaps;
        ++before.palettes;
        EXPECT_EQ(after, before) << bmp.bits << " bits";
        DeleteObject(pal);
        DeleteObject(bitmap);
    }
}

} // namespace
