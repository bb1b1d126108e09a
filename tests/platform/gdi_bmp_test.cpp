// Loading BMP files as DIB sections (LoadImageA), describing them
// (GetObjectA), the object table's lifetime rules, stock objects and brushes.
#include <windows.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <ostream>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, size_t at, uint32_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

// One BMP file made in the test: the picture's raw pixel values are a
// function of (x, y), so the expected memory can be computed independently.
struct BmpSpec {
    uint32_t header = 40; // 12, 40, 108, 124
    int bpp = 24;
    uint32_t compression = BI_RGB;
    bool top_down = false;
    int width = 5, height = 3;
    uint32_t masks[3] = {0, 0, 0};
    uint32_t colors_used = 0;
};

uint32_t RawPixel(int bpp, int x, int y) {
    uint32_t v = uint32_t(x * 7 + y * 13 + 1) * 2654435761u;
    return bpp >= 32 ? v : v & ((1u << bpp) - 1);
}

size_t StrideOf(int width, int bpp) {
    return (size_t(width) * bpp + 31) / 32 * 4;
}

// The pixel rows bottom row first, each padded with zeros to 4 bytes.
Bytes BottomUpRows(const BmpSpec& s) {
    size_t stride = StrideOf(s.width, s.bpp);
    Bytes rows(stride * s.height, 0);
    for (int r = 0; r < s.height; ++r) {
        int y = s.height - 1 - r; // picture row shown by stored row r
        uint8_t* row = rows.data() + r * stride;
        for (int x = 0; x < s.width; ++x) {
            uint32_t v = RawPixel(s.bpp, x, y);
            if (s.bpp < 8) {
                int per = 8 / s.bpp;
                int shift = 8 - s.bpp * (x % per + 1);
                row[x / per] |= uint8_t(v << shift);
            } else {
                for (int i = 0; i < s.bpp / 8; ++i)
                    row[x * (s.bpp / 8) + i] = uint8_t(v >> (8 * i));
            }
        }
    }
    return rows;
}

size_t TableEntries(const BmpSpec& s) {
    if (s.bpp > 8) return 0;
    return s.colors_used ? s.colors_used : size_t(1) << s.bpp;
}

RGBQUAD TableEntry(size_t i) {
    return RGBQUAD{uint8_t(i * 3), uint8_t(255 - i), uint8_t(i * 11), 0};
}

Bytes MakeBmp(const BmpSpec& s) {
    const size_t entry = s.header == 12 ? 3 : 4;
    const size_t masks = (s.header == 40 && s.compression == BI_BITFIELDS) ? 12 : 0;
    const size_t table = TableEntries(s) * entry;
    const size_t off = 14 + s.header + masks + table;
    Bytes rows = BottomUpRows(s);
    if (s.top_down) {
        size_t stride = StrideOf(s.width, s.bpp);
        Bytes flipped(rows.size());
        for (int r = 0; r < s.height; ++r)
            std::memcpy(&flipped[r * stride], &rows[(s.height - 1 - r) * stride], stride);
        rows = flipped;
    }
    Bytes b(off + rows.size(), 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, uint32_t(b.size()));
    Put32(b, 10, uint32_t(off));
    Put32(b, 14, s.header);
    if (s.header == 12) {
        Put16(b, 18, uint32_t(s.width));
        Put16(b, 20, uint32_t(s.height));
        Put16(b, 22, 1);
        Put16(b, 24, uint32_t(s.bpp));
    } else {
        Put32(b, 18, uint32_t(s.width));
        Put32(b, 22, uint32_t(s.top_down ? -s.height : s.height));
        Put16(b, 26, 1);
        Put16(b, 28, uint32_t(s.bpp));
        Put32(b, 30, s.compression);
        Put32(b, 34, uint32_t(rows.size()));
        Put32(b, 46, s.colors_used);
        if (s.compression == BI_BITFIELDS)
            for (int i = 0; i < 3; ++i)
                Put32(b, 54 + 4 * i, s.masks[i]);
    }
    for (size_t i = 0; i < TableEntries(s); ++i) {
        RGBQUAD q = TableEntry(i);
        uint8_t* e = &b[14 + s.header + masks + i * entry];
        e[0] = q.rgbBlue, e[1] = q.rgbGreen, e[2] = q.rgbRed;
    }
    std::memcpy(&b[off], rows.data(), rows.size());
    return b;
}

class BmpFiles : public ::testing::Test {
  protected:
    std::string Write(const Bytes& bytes, const std::string& name = "picture.bmp") {
        auto path = std::filesystem::temp_directory_path() /
                    ("qv_gdi_bmp_" + std::to_string(::getpid()) + "_" + name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        files_.push_back(path);
        return path.string();
    }
    static HBITMAP Load(const std::string& path, UINT extra = 0) {
        return static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                               LR_LOADFROMFILE | LR_CREATEDIBSECTION | extra));
    }
    void TearDown() override {
        for (auto& f : files_)
            std::filesystem::remove(f);
    }
    std::vector<std::filesystem::path> files_;
};

struct Variant {
    const char* name;
    BmpSpec spec;
};
// Cases print as their names in test listings.
void PrintTo(const Variant& c, std::ostream* os) {
    *os << c.name;
}

class BmpVariants : public BmpFiles, public ::testing::WithParamInterface<Variant> {};

TEST_P(BmpVariants, LoadsAsBottomUpSectionInItsOwnFormat) {
    const BmpSpec& s = GetParam().spec;
    auto before = qv::testing::CountLiveObjects();
    HBITMAP bmp = Load(Write(MakeBmp(s)));
    ASSERT_NE(bmp, nullptr);

    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(bmp, sizeof(ds), &ds), int(sizeof(DIBSECTION)));
    EXPECT_EQ(ds.dsBm.bmWidth, s.width);
    EXPECT_EQ(ds.dsBm.bmHeight, s.height);
    EXPECT_EQ(ds.dsBm.bmBitsPixel, s.bpp);
    EXPECT_EQ(ds.dsBm.bmPlanes, 1);
    EXPECT_EQ(ds.dsBm.bmWidthBytes, LONG(StrideOf(s.width, s.bpp)));
    EXPECT_EQ(ds.dsBmih.biHeight, s.height); // bottom row first, also for top-down files
    EXPECT_EQ(ds.dsBmih.biBitCount, s.bpp);
    ASSERT_NE(ds.dsBm.bmBits, nullptr);

    Bytes expected = BottomUpRows(s);
    EXPECT_EQ(0, std::memcmp(ds.dsBm.bmBits, expected.data(), expected.size()));

    if (s.compression == BI_BITFIELDS) {
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(ds.dsBitfields[i], s.masks[i]) << i;
    }
    if (s.bpp == 16 && s.compression == BI_RGB) {
        EXPECT_EQ(ds.dsBitfields[0], 0x7C00u);
    }

    if (s.bpp <= 8) {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bmp);
        RGBQUAD table[256] = {};
        UINT n = GetDIBColorTable(dc, 0, 256, table);
        EXPECT_EQ(n, TableEntries(s));
        for (UINT i = 0; i < n; ++i) {
            RGBQUAD e = TableEntry(i);
            EXPECT_EQ(table[i].rgbRed, e.rgbRed) << i;
            EXPECT_EQ(table[i].rgbGreen, e.rgbGreen) << i;
            EXPECT_EQ(table[i].rgbBlue, e.rgbBlue) << i;
        }
        SelectObject(dc, old);
        DeleteDC(dc);
    }

    EXPECT_TRUE(DeleteObject(bmp));
    EXPECT_EQ(qv::testing::CountLiveObjects(), before);
}

BmpSpec Spec(uint32_t header, int bpp, uint32_t compression = BI_RGB, bool top_down = false) {
    BmpSpec s;
    s.header = header;
    s.bpp = bpp;
    s.compression = compression;
    s.top_down = top_down;
    return s;
}
BmpSpec WithMasks(BmpSpec s, uint32_t r, uint32_t g, uint32_t b) {
    s.masks[0] = r, s.masks[1] = g, s.masks[2] = b;
    return s;
}
BmpSpec WithColorsUsed(BmpSpec s, uint32_t n) {
    s.colors_used = n;
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, BmpVariants,
    ::testing::Values(
        Variant{"core1", Spec(12, 1)}, Variant{"core4", Spec(12, 4)}, Variant{"core8", Spec(12, 8)},
        Variant{"core24", Spec(12, 24)}, Variant{"info1", Spec(40, 1)},
        Variant{"info4", Spec(40, 4)}, Variant{"info8", Spec(40, 8)},
        Variant{"info8_partial_table", WithColorsUsed(Spec(40, 8), 20)},
        Variant{"info16", Spec(40, 16)}, Variant{"info24", Spec(40, 24)},
        Variant{"info32", Spec(40, 32)},
        Variant{"info16_565", WithMasks(Spec(40, 16, BI_BITFIELDS), 0xF800, 0x07E0, 0x001F)},
        Variant{"info32_bgr",
                WithMasks(Spec(40, 32, BI_BITFIELDS), 0x000000FF, 0x0000FF00, 0x00FF0000)},
        Variant{"v4_24", Spec(108, 24)},
        Variant{"v4_16_565", WithMasks(Spec(108, 16, BI_BITFIELDS), 0xF800, 0x07E0, 0x001F)},
        Variant{"v5_32", Spec(124, 32)}, Variant{"v5_8", Spec(124, 8)},
        Variant{"topdown24", Spec(40, 24, BI_RGB, true)},
        Variant{"topdown4", Spec(40, 4, BI_RGB, true)},
        Variant{"topdown_v5_32",
                WithMasks(Spec(124, 32, BI_BITFIELDS, true), 0x00FF0000, 0x0000FF00, 0x000000FF)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BmpFiles, LoadTransparentReplacesOnlyTheFirstPixelsTableEntry) {
    BmpSpec s = Spec(40, 8);
    Bytes file = MakeBmp(s);
    const size_t table = 14 + 40;
    const uint8_t first = file[table + 256 * 4]; // index of the first stored pixel
    HBITMAP bmp = Load(Write(file), LR_LOADTRANSPARENT);
    ASSERT_NE(bmp, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    RGBQUAD t[256];
    ASSERT_EQ(GetDIBColorTable(dc, 0, 256, t), 256u);
    COLORREF window = GetSysColor(COLOR_WINDOW);
    for (int i = 0; i < 256; ++i) {
        RGBQUAD want = i == first
                           ? RGBQUAD{GetBValue(window), GetGValue(window), GetRValue(window), 0}
                           : TableEntry(size_t(i));
        EXPECT_EQ(t[i].rgbRed, want.rgbRed) << i;
        EXPECT_EQ(t[i].rgbGreen, want.rgbGreen) << i;
        EXPECT_EQ(t[i].rgbBlue, want.rgbBlue) << i;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);

    // Without a colour table the flag changes nothing.
    BmpSpec d = Spec(40, 24);
    HBITMAP direct = Load(Write(MakeBmp(d), "direct.bmp"), LR_LOADTRANSPARENT);
    ASSERT_NE(direct, nullptr);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(direct, sizeof(bm), &bm), int(sizeof(BITMAP)));
    Bytes expected = BottomUpRows(d);
    EXPECT_EQ(0, std::memcmp(bm.bmBits, expected.data(), expected.size()));
    DeleteObject(direct);
}

struct Damage {
    const char* name;
    void (*apply)(Bytes&);
};
// Cases print as their names in test listings.
void PrintTo(const Damage& c, std::ostream* os) {
    *os << c.name;
}

class MalformedBmp : public BmpFiles, public ::testing::WithParamInterface<Damage> {};

TEST_P(MalformedBmp, FailsWithNothingLeftBehind) {
    Bytes file = MakeBmp(Spec(40, 8));
    GetParam().apply(file);
    auto before = qv::testing::CountLiveObjects();
    EXPECT_EQ(Load(Write(file)), nullptr);
    EXPECT_EQ(qv::testing::CountLiveObjects(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, MalformedBmp,
    ::testing::Values(
        Damage{"not_bm", [](Bytes& b) { b[1] = 'A'; }},
        Damage{"empty", [](Bytes& b) { b.clear(); }},
        Damage{"shorter_than_headers", [](Bytes& b) { b.resize(30); }},
        Damage{"header_size_64", [](Bytes& b) { Put32(b, 14, 64); }},
        Damage{"header_size_huge", [](Bytes& b) { Put32(b, 14, 0xFFFFFFF0u); }},
        Damage{"width_zero", [](Bytes& b) { Put32(b, 18, 0); }},
        Damage{"width_negative", [](Bytes& b) { Put32(b, 18, uint32_t(-5)); }},
        Damage{"height_zero", [](Bytes& b) { Put32(b, 22, 0); }},
        Damage{"height_most_negative", [](Bytes& b) { Put32(b, 22, 0x80000000u); }},
        Damage{"width_huge", [](Bytes& b) { Put32(b, 18, 0x7FFFFFFF); }},
        Damage{"pixels_huge", [](Bytes& b) { Put32(b, 18, 40000), Put32(b, 22, 40000); }},
        Damage{"planes_two", [](Bytes& b) { Put16(b, 26, 2); }},
        Damage{"bits_zero", [](Bytes& b) { Put16(b, 28, 0); }},
        Damage{"bits_two", [](Bytes& b) { Put16(b, 28, 2); }},
        Damage{"bits_48", [](Bytes& b) { Put16(b, 28, 48); }},
        Damage{"rle8", [](Bytes& b) { Put32(b, 30, BI_RLE8); }},
        Damage{"rle4", [](Bytes& b) { Put16(b, 28, 4), Put32(b, 30, BI_RLE4); }},
        Damage{"jpeg", [](Bytes& b) { Put32(b, 30, BI_JPEG); }},
        Damage{"png", [](Bytes& b) { Put32(b, 30, BI_PNG); }},
        Damage{"bitfields_on_8_bits", [](Bytes& b) { Put32(b, 30, BI_BITFIELDS); }},
        Damage{"offset_past_end", [](Bytes& b) { Put32(b, 10, uint32_t(b.size() + 1)); }},
        Damage{"offset_huge", [](Bytes& b) { Put32(b, 10, 0xFFFFFFFFu); }},
        Damage{"offset_inside_header", [](Bytes& b) { Put32(b, 10, 20); }},
        Damage{"pixels_short", [](Bytes& b) { b.pop_back(); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BmpFiles, BadMasksAreRefused) {
    const uint32_t cases[][3] = {
        {0, 0x07E0, 0x001F},      // a channel without bits
        {0xF800, 0x0FE0, 0x001F}, // overlapping channels
        {0xF00F, 0x07E0, 0x0010}, // a mask that is not one run
        {0x1F0000, 0x07E0, 0x1F}, // beyond 16 bits
    };
    for (const auto& m : cases) {
        Bytes file = MakeBmp(WithMasks(Spec(40, 16, BI_BITFIELDS), m[0], m[1], m[2]));
        EXPECT_EQ(Load(Write(file)), nullptr) << std::hex << m[0] << " " << m[1] << " " << m[2];
    }
}

TEST_F(BmpFiles, LoadImageRefusesWhatItCannotLoad) {
    std::string good = Write(MakeBmp(Spec(40, 24)));
    EXPECT_EQ(LoadImageA(nullptr, "no such file.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE),
              nullptr);
    EXPECT_EQ(LoadImageA(nullptr, nullptr, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, good.c_str(), IMAGE_BITMAP, 0, 0, 0), nullptr); // a resource name
    EXPECT_EQ(LoadImageA(nullptr, good.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(LoadImageA(nullptr, std::filesystem::temp_directory_path().c_str(), IMAGE_BITMAP, 0,
                         0, LR_LOADFROMFILE),
              nullptr); // a directory
    HANDLE ok = LoadImageA(nullptr, good.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
    EXPECT_NE(ok, nullptr);
    DeleteObject(ok);
}

TEST_F(BmpFiles, GetObjectSizesAndStaleHandles) {
    HBITMAP bmp = Load(Write(MakeBmp(Spec(40, 24))));
    ASSERT_NE(bmp, nullptr);
    BITMAP bm{};
    EXPECT_EQ(GetObjectA(bmp, sizeof(BITMAP), &bm), int(sizeof(BITMAP)));
    EXPECT_EQ(bm.bmWidth, 5);
    EXPECT_EQ(GetObjectA(bmp, sizeof(BITMAP) - 1, &bm), 0);
    EXPECT_EQ(GetObjectA(bmp, 0, nullptr), int(sizeof(DIBSECTION)));
    EXPECT_EQ(GetObjectType(bmp), DWORD(OBJ_BITMAP));

    EXPECT_TRUE(DeleteObject(bmp));
    EXPECT_EQ(GetObjectA(bmp, sizeof(bm), &bm), 0);
    EXPECT_FALSE(DeleteObject(bmp));
    EXPECT_EQ(GetObjectType(bmp), 0u);
    EXPECT_FALSE(DeleteObject(nullptr));
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(uintptr_t(0x12345678))));
}

TEST(GdiStock, StockObjectsAndBrushes) {
    struct {
        int index;
        DWORD type;
    } stock[] = {{WHITE_BRUSH, OBJ_BRUSH}, {BLACK_BRUSH, OBJ_BRUSH},  {NULL_BRUSH, OBJ_BRUSH},
                 {WHITE_PEN, OBJ_PEN},     {BLACK_PEN, OBJ_PEN},      {NULL_PEN, OBJ_PEN},
                 {SYSTEM_FONT, OBJ_FONT},  {DEFAULT_PALETTE, OBJ_PAL}};
    for (auto& s : stock) {
        HGDIOBJ h = GetStockObject(s.index);
        ASSERT_NE(h, nullptr) << s.index;
        EXPECT_EQ(GetObjectType(h), s.type) << s.index;
        EXPECT_TRUE(DeleteObject(h)) << s.index; // succeeds and changes nothing
        EXPECT_EQ(GetObjectType(h), s.type) << s.index;
    }
    EXPECT_EQ(GetStockObject(9), nullptr);
    EXPECT_EQ(GetStockObject(-1), nullptr);

    LOGBRUSH lb{};
    ASSERT_EQ(GetObjectA(GetStockObject(NULL_BRUSH), sizeof(lb), &lb), int(sizeof(LOGBRUSH)));
    EXPECT_EQ(lb.lbStyle, UINT(BS_NULL));
    EXPECT_EQ(GetStockObject(HOLLOW_BRUSH), GetStockObject(NULL_BRUSH));
    WORD entries = 0;
    ASSERT_EQ(GetObjectA(GetStockObject(DEFAULT_PALETTE), sizeof(entries), &entries), 2);
    EXPECT_EQ(entries, 20);

    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    ASSERT_NE(face, nullptr);
    ASSERT_EQ(GetObjectA(face, sizeof(lb), &lb), int(sizeof(LOGBRUSH)));
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_TRUE(DeleteObject(face)); // needs no release, and survives one
    EXPECT_EQ(GetObjectType(face), DWORD(OBJ_BRUSH));
    EXPECT_EQ(GetSysColorBrush(99), nullptr);

    auto before = qv::testing::CountLiveObjects();
    HBRUSH red = CreateSolidBrush(RGB(200, 10, 20));
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(qv::testing::CountLiveObjects().brushes, before.brushes + 1);
    ASSERT_EQ(GetObjectA(red, sizeof(lb), &lb), int(sizeof(LOGBRUSH)));
    EXPECT_EQ(lb.lbStyle, UINT(BS_SOLID));
    EXPECT_EQ(lb.lbColor, RGB(200, 10, 20));
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_FALSE(DeleteObject(red));
    EXPECT_EQ(qv::testing::CountLiveObjects(), before);
}

} // namespace
