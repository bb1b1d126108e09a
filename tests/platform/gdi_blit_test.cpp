// Memory DCs, DIB sections, palettes and BitBlt between bitmap formats.
#include <windows.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <ostream>

#include <climits>
#include <cstring>
#include <vector>

namespace {

struct Info {
    BITMAPINFOHEADER h{};
    RGBQUAD colors[256]{};
};

// A DIB section described by an info header; masks go where Win32 reads them.
HBITMAP Section(int w, int h, int bpp, void** bits, const std::vector<RGBQUAD>& table = {},
                const uint32_t* masks = nullptr, HDC dc = nullptr) {
    Info info;
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    info.h.biWidth = w;
    info.h.biHeight = h;
    info.h.biPlanes = 1;
    info.h.biBitCount = WORD(bpp);
    info.h.biCompression = masks ? BI_BITFIELDS : BI_RGB;
    info.h.biClrUsed = DWORD(table.size());
    if (masks)
        std::memcpy(info.colors, masks, 12);
    else
        std::copy(table.begin(), table.end(), info.colors);
    return CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, bits, nullptr,
                            0);
}

size_t Stride(int w, int bpp) {
    return (size_t(w) * bpp + 31) / 32 * 4;
}

// The picture row y of a section (bottom-up unless the height was negative).
uint8_t* Row(void* bits, int w, int h, int bpp, int y, bool top_down = false) {
    return static_cast<uint8_t*>(bits) + Stride(w, bpp) * size_t(top_down ? y : h - 1 - y);
}

uint32_t Pixel32(void* bits, int w, int h, int x, int y, bool top_down = false) {
    uint32_t v;
    std::memcpy(&v, Row(bits, w, h, 32, y, top_down) + 4 * x, 4);
    return v;
}

class Gdi : public ::testing::Test {
  protected:
    void SetUp() override { before_ = qv::testing::CountLiveObjects(); }
    void TearDown() override {
        qv::testing::ClearFailures();
        EXPECT_EQ(qv::testing::CountLiveObjects(), before_);
    }
    qv::testing::LiveObjects before_;
};

// A 4 by 2 source in each format, blitted into a 32-bit section: the
// expected colours are written out by hand, as 0x00RRGGBB.
struct SourceCase {
    const char* name;
    int bpp;
    std::vector<RGBQUAD> table;
    std::vector<uint32_t> masks;            // empty: BI_RGB
    std::vector<std::vector<uint8_t>> rows; // picture rows, top first, raw bytes
    std::vector<uint32_t> expect;           // 8 colours, top row first
};
// Cases print as their names in test listings.
void PrintTo(const SourceCase& c, std::ostream* os) {
    *os << c.name;
}

class BlitSources : public Gdi, public ::testing::WithParamInterface<SourceCase> {};

TEST_P(BlitSources, IntoA32BitSection) {
    const SourceCase& c = GetParam();
    void* sbits = nullptr;
    HBITMAP src = Section(4, 2, c.bpp, &sbits, c.table, c.masks.empty() ? nullptr : c.masks.data());
    ASSERT_NE(src, nullptr);
    for (int y = 0; y < 2; ++y)
        std::memcpy(Row(sbits, 4, 2, c.bpp, y), c.rows[size_t(y)].data(), c.rows[size_t(y)].size());
    void* dbits = nullptr;
    HBITMAP dst = Section(4, 2, 32, &dbits);
    ASSERT_NE(dst, nullptr);
    std::memset(dbits, 0xEE, Stride(4, 32) * 2);

    HDC sdc = CreateCompatibleDC(nullptr), ddc = CreateCompatibleDC(nullptr);
    HGDIOBJ sold = SelectObject(sdc, src), dold = SelectObject(ddc, dst);
    ASSERT_TRUE(BitBlt(ddc, 0, 0, 4, 2, sdc, 0, 0, SRCCOPY));
    EXPECT_TRUE(GdiFlush());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(Pixel32(dbits, 4, 2, x, y), c.expect[size_t(y * 4 + x)]) << x << "," << y;
            COLORREF expect_ref =
                RGB((c.expect[size_t(y * 4 + x)] >> 16) & 0xFF,
                    (c.expect[size_t(y * 4 + x)] >> 8) & 0xFF, c.expect[size_t(y * 4 + x)] & 0xFF);
            EXPECT_EQ(GetPixel(ddc, x, y), expect_ref);
        }
    SelectObject(sdc, sold);
    SelectObject(ddc, dold);
    DeleteDC(sdc);
    DeleteDC(ddc);
    DeleteObject(src);
    DeleteObject(dst);
}

const std::vector<RGBQUAD> kTable = {
    {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {10, 20, 30, 0}, {255, 255, 255, 0}};

INSTANTIATE_TEST_SUITE_P(
    Formats, BlitSources,
    ::testing::Values(
        SourceCase{
            "bits1",
            1,
            {{0, 0, 255, 0}, {255, 0, 0, 0}},
            {},
            {{0xA0}, {0x50}}, // 1010 / 0101, leftmost pixel in the top bit
            {0x0000FF, 0xFF0000, 0x0000FF, 0xFF0000, 0xFF0000, 0x0000FF, 0xFF0000, 0x0000FF}},
        SourceCase{
            "bits4",
            4,
            kTable,
            {},
            {{0x01, 0x23}, {0x40, 0x07}}, // index 7 is past the table: black
            {0xFF0000, 0x00FF00, 0x0000FF, 0x1E140A, 0xFFFFFF, 0xFF0000, 0xFF0000, 0x000000}},
        SourceCase{
            "bits8",
            8,
            kTable,
            {},
            {{3, 2, 1, 0}, {4, 4, 0, 3}},
            {0x1E140A, 0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 0xFFFFFF, 0xFF0000, 0x1E140A}},
        SourceCase{
            "bits16_555",
            16,
            {},
            {},
            {{0xFF, 0x7F, 0x00, 0x7C, 0xE0, 0x03, 0x10, 0x00},
             {0x1F, 0x00, 0x00, 0x00, 0x21, 0x04, 0x00, 0x40}},
            {0xFFFFFF, 0xFF0000, 0x00FF00, 0x000084, 0x0000FF, 0x000000, 0x080808, 0x840000}},
        SourceCase{
            "bits16_565",
            16,
            {},
            {0xF800, 0x07E0, 0x001F},
            {{0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0xFF, 0xFF},
             {0x20, 0x00, 0x00, 0x08, 0x01, 0x00, 0x00, 0x00}},
            {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000400, 0x080000, 0x000008, 0x000000}},
        SourceCase{
            "bits24",
            24,
            {},
            {},
            {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9}},
            {0x030201, 0x060504, 0x090807, 0x0C0B0A, 0x0000FF, 0x00FF00, 0xFF0000, 0x090909}},
        SourceCase{
            "bits32_bgr_masks",
            32,
            {},
            {0x000000FF, 0x0000FF00, 0x00FF0000},
            {{1, 2, 3, 0, 0xFF, 0, 0, 0, 0, 0, 0xFF, 0, 4, 5, 6, 0},
             {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0x10, 0x20, 0x30, 0, 0, 0xFF, 0, 0}},
            {0x010203, 0xFF0000, 0x0000FF, 0x040506, 0x000000, 0xFFFFFF, 0x102030, 0x00FF00}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Gdi, ThirtyTwoBitCopyKeepsEveryByteAndConversionsClearTheFourth) {
    void *a = nullptr, *b = nullptr, *c = nullptr;
    HBITMAP s32 = Section(2, 1, 32, &a), d32 = Section(2, 1, 32, &b), s24 = Section(2, 1, 24, &c);
    const uint32_t px[2] = {0x80112233u, 0xFF445566u};
    std::memcpy(a, px, 8);
    std::memcpy(c, "\x01\x02\x03\x04\x05\x06", 6);
    HDC sdc = CreateCompatibleDC(nullptr), ddc = CreateCompatibleDC(nullptr);
    HGDIOBJ so = SelectObject(sdc, s32), dso = SelectObject(ddc, d32);
    ASSERT_TRUE(BitBlt(ddc, 0, 0, 2, 1, sdc, 0, 0, SRCCOPY));
    EXPECT_EQ(0, std::memcmp(b, px, 8));
    SelectObject(sdc, s24);
    ASSERT_TRUE(BitBlt(ddc, 0, 0, 2, 1, sdc, 0, 0, SRCCOPY));
    EXPECT_EQ(Pixel32(b, 2, 1, 0, 0), 0x00030201u);
    EXPECT_EQ(Pixel32(b, 2, 1, 1, 0), 0x00060504u);
    SelectObject(sdc, so);
    SelectObject(ddc, dso);
    DeleteDC(sdc);
    DeleteDC(ddc);
    for (HBITMAP h : {s32, d32, s24})
        DeleteObject(h);
}

TEST_F(Gdi, TopDownAndBottomUpKeepPictureRows) {
    Info info;
    info.h = {sizeof(BITMAPINFOHEADER), 1, -3, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* tbits = nullptr;
    HBITMAP top = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                   &tbits, nullptr, 0);
    ASSERT_NE(top, nullptr);
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(top, sizeof(ds), &ds), int(sizeof(ds)));
    EXPECT_EQ(ds.dsBm.bmHeight, 3);
    EXPECT_EQ(ds.dsBmih.biHeight, -3);
    EXPECT_EQ(ds.dsBm.bmBits, tbits);
    const uint32_t rows[3] = {0x111111, 0x222222, 0x333333}; // stored top row first
    std::memcpy(tbits, rows, sizeof rows);

    void* bbits = nullptr;
    HBITMAP bottom = Section(1, 3, 32, &bbits);
    HDC sdc = CreateCompatibleDC(nullptr), ddc = CreateCompatibleDC(nullptr);
    HGDIOBJ so = SelectObject(sdc, top), dso = SelectObject(ddc, bottom);
    EXPECT_EQ(GetPixel(sdc, 0, 0), RGB(0x11, 0x11, 0x11));
    ASSERT_TRUE(BitBlt(ddc, 0, 0, 1, 3, sdc, 0, 0, SRCCOPY));
    const uint32_t* stored = static_cast<const uint32_t*>(bbits); // bottom row first
    EXPECT_EQ(stored[0], 0x333333u);
    EXPECT_EQ(stored[2], 0x111111u);
    SelectObject(sdc, so);
    SelectObject(ddc, dso);
    DeleteDC(sdc);
    DeleteDC(ddc);
    DeleteObject(top);
    DeleteObject(bottom);
}

TEST_F(Gdi, BlitsClipAtBothSurfaces) {
    void *s = nullptr, *d = nullptr;
    HBITMAP src = Section(4, 4, 32, &s), dst = Section(6, 6, 32, &d);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            uint32_t v = uint32_t(0x10 * (y + 1) + x + 1);
            std::memcpy(Row(s, 4, 4, 32, y) + 4 * x, &v, 4);
        }
    HDC sdc = CreateCompatibleDC(nullptr), ddc = CreateCompatibleDC(nullptr);
    HGDIOBJ so = SelectObject(sdc, src), dso = SelectObject(ddc, dst);

    struct Case {
        int x, y, cx, cy, sx, sy;
        // destination pixel -> source pixel (or none)
    } cases[] = {
        {-2, -1, 4, 4, 0, 0}, // off the destination's top-left
        {4, 4, 10, 10, 0, 0}, // off its bottom-right
        {0, 0, 6, 6, -1, -2}, // starting outside the source
        {2, 2, 5, 5, 1, 1},   // running past the source's end
        {1, 1, -2, -2, 3, 3}, // negative extents
        {10, 10, 2, 2, 0, 0}, // wholly outside: nothing happens
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.cx << "x" << c.cy
                                        << " from " << c.sx << "," << c.sy);
        std::memset(d, 0, Stride(6, 32) * 6);
        ASSERT_TRUE(BitBlt(ddc, c.x, c.y, c.cx, c.cy, sdc, c.sx, c.sy, SRCCOPY));
        int x0 = c.x, y0 = c.y, w = c.cx, h = c.cy, sx0 = c.sx, sy0 = c.sy;
        if (w < 0) x0 += w, sx0 += w, w = -w;
        if (h < 0) y0 += h, sy0 += h, h = -h;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x) {
                int sx = x - x0 + sx0, sy = y - y0 + sy0;
                bool in_dst = x >= x0 && x < x0 + w && y >= y0 && y < y0 + h;
                bool in_src = sx >= 0 && sx < 4 && sy >= 0 && sy < 4;
                uint32_t want = in_dst && in_src ? uint32_t(0x10 * (sy + 1) + sx + 1) : 0;
                EXPECT_EQ(Pixel32(d, 6, 6, x, y), want) << x << "," << y;
            }
    }
    SelectObject(sdc, so);
    SelectObject(ddc, dso);
    DeleteDC(sdc);
    DeleteDC(ddc);
    DeleteObject(src);
    DeleteObject(dst);
}

TEST_F(Gdi, IntoIndexedAndMonochromeTargets) {
    void *s = nullptr, *d8 = nullptr;
    HBITMAP src = Section(4, 1, 32, &s);
    const uint32_t px[4] = {0x00FF0000, 0x00F00A0A, 0x00FFFFFF, 0x00000010};
    std::memcpy(s, px, sizeof px);
    HBITMAP dst8 = Section(4, 1, 8, &d8, {{0, 0, 0, 0}, {0, 0, 255, 0}, {255, 255, 255, 0}});
    HDC sdc = CreateCompatibleDC(nullptr), ddc = CreateCompatibleDC(nullptr);
    HGDIOBJ so = SelectObject(sdc, src), dso = SelectObject(ddc, dst8);
    ASSERT_TRUE(BitBlt(ddc, 0, 0, 4, 1, sdc, 0, 0, SRCCOPY));
    const uint8_t* idx = static_cast<const uint8_t*>(d8);
    EXPECT_EQ(idx[0], 1); // exact
    EXPECT_EQ(idx[1], 1); // nearest
    EXPECT_EQ(idx[2], 2);
    EXPECT_EQ(idx[3], 0);

    // A monochrome device bitmap keeps white as 1 and everything else as 0.
    HBITMAP mono = CreateCompatibleBitmap(sdc, 4, 1);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(mono, sizeof(bm), &bm), int(sizeof(bm)));
    EXPECT_EQ(bm.bmBitsPixel, 32); // sdc holds a 32-bit section
    DeleteObject(mono);
    HDC fresh = CreateCompatibleDC(nullptr);
    mono = CreateCompatibleBitmap(fresh, 4, 1); // a fresh memory DC is monochrome
    ASSERT_EQ(GetObjectA(mono, sizeof(bm), &bm), int(sizeof(bm)));
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmBits, nullptr);
    HGDIOBJ fo = SelectObject(fresh, mono);
    ASSERT_TRUE(BitBlt(fresh, 0, 0, 4, 1, sdc, 0, 0, SRCCOPY));
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(GetPixel(fresh, x, 0), x == 2 ? RGB(255, 255, 255) : 0u);
    SelectObject(fresh, fo);
    DeleteDC(fresh);
    DeleteObject(mono);

    SelectObject(sdc, so);
    SelectObject(ddc, dso);
    DeleteDC(sdc);
    DeleteDC(ddc);
    DeleteObject(src);
    DeleteObject(dst8);
}

TEST_F(Gdi, DcSelectionRules) {
    HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(a);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(GetObjectType(a), DWORD(OBJ_MEMDC));
    void* bits = nullptr;
    HBITMAP bmp = Section(2, 2, 24, &bits);
    HGDIOBJ stock = SelectObject(a, bmp);
    ASSERT_NE(stock, nullptr);
    BITMAP bm{};
    ASSERT_EQ(GetObjectA(stock, sizeof(bm), &bm), int(sizeof(bm))); // the 1 by 1 monochrome bitmap
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmHeight, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(GetCurrentObject(a, OBJ_BITMAP), bmp);
    EXPECT_EQ(SelectObject(b, bmp), nullptr); // already in a
    EXPECT_FALSE(DeleteObject(bmp));          // still selected
    EXPECT_EQ(SelectObject(a, stock), bmp);
    EXPECT_EQ(SelectObject(b, bmp), stock);
    EXPECT_TRUE(DeleteDC(b)); // releases its selection with it
    EXPECT_TRUE(DeleteObject(bmp));

    HBRUSH br = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(SelectObject(a, br), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(a, OBJ_BRUSH), br);
    EXPECT_FALSE(DeleteObject(br));
    EXPECT_EQ(SelectObject(a, GetStockObject(WHITE_BRUSH)), br);
    EXPECT_TRUE(DeleteObject(br));
    EXPECT_EQ(GetCurrentObject(a, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(a, OBJ_FONT), GetStockObject(SYSTEM_FONT));

    // Stale, NULL and foreign handles.
    HDC stale = b;
    EXPECT_EQ(CreateCompatibleDC(stale), nullptr);
    EXPECT_FALSE(DeleteDC(stale));
    EXPECT_FALSE(DeleteDC(nullptr));
    EXPECT_EQ(SelectObject(stale, GetStockObject(WHITE_BRUSH)), nullptr);
    EXPECT_EQ(SelectObject(a, nullptr), nullptr);
    EXPECT_EQ(SelectObject(a, bmp), nullptr);                             // deleted
    EXPECT_EQ(SelectObject(a, GetStockObject(DEFAULT_PALETTE)), nullptr); // SelectPalette's job
    EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(GetStockObject(WHITE_BRUSH))));
    EXPECT_FALSE(DeleteObject(a)); // a DC is not a GDI object to DeleteObject
    HDC ddc = CreateCompatibleDC(nullptr);
    EXPECT_FALSE(BitBlt(ddc, 0, 0, 1, 1, stale, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(stale, 0, 0, 1, 1, a, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(ddc, 0, 0, 1, 1, a, 0, 0, SRCPAINT)); // not offered
    DeleteDC(ddc);

    qv::testing::FailCall("CreateCompatibleDC");
    EXPECT_EQ(CreateCompatibleDC(nullptr), nullptr);
    EXPECT_TRUE(DeleteDC(a));
}

TEST_F(Gdi, ImpossibleBitmapInfoIsRefused) {
    struct Case {
        const char* name;
        BITMAPINFOHEADER h;
        uint32_t masks[3];
        UINT usage;
    } cases[] = {
        {"width_zero", {40, 0, 4, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}, DIB_RGB_COLORS},
        {"width_negative", {40, -4, 4, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}, DIB_RGB_COLORS},
        {"height_zero", {40, 4, 0, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}, DIB_RGB_COLORS},
        {"height_most_negative",
         {40, 4, INT_MIN, 1, 32, BI_RGB, 0, 0, 0, 0, 0},
         {},
         DIB_RGB_COLORS},
        {"huge", {40, 0x7FFFFFFF, 0x7FFFFFFF, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}, DIB_RGB_COLORS},
        {"too_many_pixels", {40, 60000, 60000, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}, DIB_RGB_COLORS},
        {"planes", {40, 4, 4, 2, 32, BI_RGB, 0, 0, 0, 0, 0}, {}, DIB_RGB_COLORS},
        {"bits_3", {40, 4, 4, 1, 3, BI_RGB, 0, 0, 0, 0, 0}, {}, DIB_RGB_COLORS},
        {"bits_0", {40, 4, 4, 1, 0, BI_RGB, 0, 0, 0, 0, 0}, {}, DIB_RGB_COLORS},
        {"rle8", {40, 4, 4, 1, 8, BI_RLE8, 0, 0, 0, 0, 0}, {}, DIB_RGB_COLORS},
        {"bitfields_24",
         {40, 4, 4, 1, 24, BI_BITFIELDS, 0, 0, 0, 0, 0},
         {0xFF, 0xFF00, 0xFF0000},
         DIB_RGB_COLORS},
        {"mask_zero",
         {40, 4, 4, 1, 32, BI_BITFIELDS, 0, 0, 0, 0, 0},
         {0, 0xFF00, 0xFF0000},
         DIB_RGB_COLORS},
        {"header_size", {20, 4, 4, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}, DIB_RGB_COLORS},
        {"usage", {40, 4, 4, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Info info;
        info.h = c.h;
        std::memcpy(info.colors, c.masks, sizeof c.masks);
        void* bits = reinterpret_cast<void*>(1);
        EXPECT_EQ(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), c.usage, &bits,
                                   nullptr, 0),
                  nullptr);
        EXPECT_EQ(bits, nullptr);
    }
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);

    void* bits = nullptr;
    qv::testing::FailCall("CreateDIBSection");
    EXPECT_EQ(Section(4, 4, 32, &bits), nullptr);
    HBITMAP ok = Section(4, 4, 32, &bits);
    ASSERT_NE(ok, nullptr);
    // Fresh sections are zeroed and writable to their last byte.
    std::vector<uint8_t> zeros(Stride(4, 32) * 4, 0);
    EXPECT_EQ(0, std::memcmp(bits, zeros.data(), zeros.size()));
    static_cast<uint8_t*>(bits)[zeros.size() - 1] = 1;
    DeleteObject(ok);
}

TEST_F(Gdi, ColourTablesOfSelectedSections) {
    void* bits = nullptr;
    HBITMAP bmp = Section(2, 2, 4, &bits, {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}});
    HDC dc = CreateCompatibleDC(nullptr);
    RGBQUAD t[16] = {};
    EXPECT_EQ(GetDIBColorTable(dc, 0, 16, t), 0u); // the stock bitmap has none to give
    HGDIOBJ old = SelectObject(dc, bmp);
    EXPECT_EQ(GetDIBColorTable(dc, 0, 16, t), 3u);
    EXPECT_EQ(t[2].rgbBlue, 7);
    EXPECT_EQ(GetDIBColorTable(dc, 1, 1, t), 1u);
    EXPECT_EQ(t[0].rgbBlue, 4);
    EXPECT_EQ(GetDIBColorTable(dc, 3, 1, t), 0u);
    RGBQUAD red{0, 0, 255, 0};
    EXPECT_EQ(SetDIBColorTable(dc, 2, 5, &red), 1u);
    EXPECT_EQ(SetDIBColorTable(dc, 3, 1, &red), 0u);
    static_cast<uint8_t*>(bits)[0] = 0x20; // bottom row: index 2, then 0
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(255, 0, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
}

TEST_F(Gdi, PalettesAndTheirRealisation) {
    struct {
        LOGPALETTE head;
        PALETTEENTRY more[2];
    } lp{{0x300, 3, {{255, 0, 0, 0}}}, {{0, 255, 0, 0}, {0, 0, 255, PC_NOCOLLAPSE}}};
    HPALETTE pal = CreatePalette(&lp.head);
    ASSERT_NE(pal, nullptr);
    WORD count = 0;
    EXPECT_EQ(GetObjectA(pal, sizeof(count), &count), 2);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(GetObjectType(pal), DWORD(OBJ_PAL));
    EXPECT_EQ(GetPaletteEntries(pal, 0, 0, nullptr), 3u);
    PALETTEENTRY e[4] = {};
    EXPECT_EQ(GetPaletteEntries(pal, 1, 4, e), 2u);
    EXPECT_EQ(e[1].peBlue, 255);
    EXPECT_EQ(e[1].peFlags, PC_NOCOLLAPSE);
    EXPECT_EQ(GetPaletteEntries(pal, 3, 1, e), 0u);
    EXPECT_EQ(GetNearestPaletteIndex(pal, RGB(10, 200, 30)), 1u);

    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectPalette(dc, pal, TRUE), GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), pal);
    EXPECT_EQ(RealizePalette(dc), 3u);
    EXPECT_FALSE(DeleteObject(pal)); // still selected
    EXPECT_EQ(SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE),
              pal);
    EXPECT_EQ(RealizePalette(dc), 0u);
    EXPECT_TRUE(DeleteObject(pal));
    EXPECT_EQ(SelectPalette(dc, pal, FALSE), nullptr);
    EXPECT_EQ(GetPaletteEntries(pal, 0, 0, nullptr), 0u);
    EXPECT_EQ(GetNearestPaletteIndex(pal, 0), CLR_INVALID);

    LOGPALETTE bad{0x200, 1, {{0, 0, 0, 0}}};
    EXPECT_EQ(CreatePalette(&bad), nullptr);
    LOGPALETTE none{0x300, 0, {{0, 0, 0, 0}}};
    EXPECT_EQ(CreatePalette(&none), nullptr);
    EXPECT_EQ(CreatePalette(nullptr), nullptr);

    HPALETTE half = CreateHalftonePalette(dc);
    ASSERT_NE(half, nullptr);
    PALETTEENTRY h[256];
    ASSERT_EQ(GetPaletteEntries(half, 0, 256, h), 256u);
    auto has = [&](int r, int g, int b) {
        for (auto& x : h)
            if (x.peRed == r && x.peGreen == g && x.peBlue == b) return true;
        return false;
    };
    EXPECT_EQ(h[0].peRed + h[0].peGreen + h[0].peBlue, 0);         // black first
    EXPECT_EQ(h[255].peRed & h[255].peGreen & h[255].peBlue, 255); // white last
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                EXPECT_TRUE(has(r * 51, g * 51, b * 51));
    EXPECT_EQ(CreateHalftonePalette(reinterpret_cast<HDC>(half)), nullptr);
    DeleteObject(half);
    DeleteDC(dc);
}

} // namespace

namespace {

TEST_F(Gdi, GetDIBitsConvertsRowsIntoTheCallersLayout) {
    void* bits = nullptr;
    HBITMAP bmp = Section(2, 3, 8, &bits, {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}});
    // Stored bottom row first: picture rows top to bottom hold indices 2, 1, 0.
    for (int y = 0; y < 3; ++y)
        std::memset(Row(bits, 2, 3, 8, y), 2 - y, 2);
    HDC dc = CreateCompatibleDC(nullptr);

    Info info;
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    ASSERT_EQ(
        GetDIBits(dc, bmp, 0, 3, nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS), 3);
    EXPECT_EQ(info.h.biWidth, 2);
    EXPECT_EQ(info.h.biHeight, 3);
    EXPECT_EQ(info.h.biBitCount, 8);

    info.h = {sizeof(BITMAPINFOHEADER), 2, -3, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    uint32_t out[6] = {};
    ASSERT_EQ(GetDIBits(dc, bmp, 0, 3, out, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS),
              3);
    EXPECT_EQ(out[0], 0x000000FFu); // top row first: index 2, blue
    EXPECT_EQ(out[2], 0x0000FF00u);
    EXPECT_EQ(out[5], 0x00FF0000u);

    info.h.biHeight = 3; // bottom-up, from scan line 1 on
    uint8_t out24[2][8] = {};
    ASSERT_EQ(GetDIBits(dc, bmp, 1, 5, out24, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS),
              2);
    info.h.biBitCount = 24;
    ASSERT_EQ(GetDIBits(dc, bmp, 1, 5, out24, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS),
              2);
    EXPECT_EQ(out24[0][1], 255); // scan line 1: the middle row, green
    EXPECT_EQ(out24[1][0], 255); // scan line 2: the top row, blue
    EXPECT_EQ(GetDIBits(dc, bmp, 3, 1, out24, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS),
              0);
    info.h.biBitCount = 4; // another indexed depth: not offered
    EXPECT_EQ(GetDIBits(dc, bmp, 0, 3, out24, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS),
              0);
    DeleteDC(dc);
    DeleteObject(bmp);
}

} // namespace
