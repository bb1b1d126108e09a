// Regions: creation, combination kinds and results, Win32's banded
// rectangle order, RGNDATA checks, and ORing bands that lie below.
#include <windows.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <random>
#include <vector>

// Found by argument-dependent lookup, so they live where RECT does.
inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& os, const RECT& r) {
    return os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

namespace {

using Rects = std::vector<RECT>;

Rects RectsOf(HRGN rgn, RECT* bound = nullptr) {
    DWORD size = GetRegionData(rgn, 0, nullptr);
    EXPECT_GE(size, sizeof(RGNDATAHEADER));
    std::vector<char> buf(size);
    auto* data = reinterpret_cast<RGNDATA*>(buf.data());
    EXPECT_EQ(GetRegionData(rgn, size, data), size);
    EXPECT_EQ(data->rdh.dwSize, sizeof(RGNDATAHEADER));
    EXPECT_EQ(data->rdh.iType, DWORD(RDH_RECTANGLES));
    EXPECT_EQ(data->rdh.nRgnSize, data->rdh.nCount * sizeof(RECT));
    if (bound) *bound = data->rdh.rcBound;
    const RECT* r = reinterpret_cast<const RECT*>(data->Buffer);
    return Rects(r, r + data->rdh.nCount);
}

std::vector<char> MakeRgnData(const Rects& rects) {
    std::vector<char> buf(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    auto* d = reinterpret_cast<RGNDATA*>(buf.data());
    d->rdh.dwSize = sizeof(RGNDATAHEADER);
    d->rdh.iType = RDH_RECTANGLES;
    d->rdh.nCount = DWORD(rects.size());
    d->rdh.nRgnSize = 0;
    d->rdh.rcBound = RECT{0, 0, 0, 0};
    if (!rects.empty()) std::memcpy(d->Buffer, rects.data(), rects.size() * sizeof(RECT));
    return buf;
}

HRGN FromRects(const Rects& rects) {
    auto buf = MakeRgnData(rects);
    return ExtCreateRegion(nullptr, DWORD(buf.size()), reinterpret_cast<RGNDATA*>(buf.data()));
}

class Regions : public ::testing::Test {
  protected:
    void SetUp() override { before_ = qv::testing::CountLiveObjects(); }
    void TearDown() override {
        qv::testing::ClearFailures();
        qv::testing::SetRegionBatchHook({});
        EXPECT_EQ(qv::testing::CountLiveObjects(), before_);
    }
    qv::testing::LiveObjects before_;
};

TEST_F(Regions, CombinationKindsResultsAndBandedOrder) {
    struct Case {
        const char* name;
        RECT b;
        int mode;
        int type;
        Rects rects;
    } cases[] = {
        {"and", {5, 5, 15, 15}, RGN_AND, SIMPLEREGION, {{5, 5, 10, 10}}},
        {"and_disjoint", {20, 20, 30, 30}, RGN_AND, NULLREGION, {}},
        {"or",
         {5, 5, 15, 15},
         RGN_OR,
         COMPLEXREGION,
         {{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}}},
        {"or_side_by_side", {10, 0, 20, 10}, RGN_OR, SIMPLEREGION, {{0, 0, 20, 10}}},
        {"xor",
         {5, 5, 15, 15},
         RGN_XOR,
         COMPLEXREGION,
         {{0, 0, 10, 5}, {0, 5, 5, 10}, {10, 5, 15, 10}, {5, 10, 15, 15}}},
        {"xor_same", {0, 0, 10, 10}, RGN_XOR, NULLREGION, {}},
        {"diff", {5, 5, 15, 15}, RGN_DIFF, COMPLEXREGION, {{0, 0, 10, 5}, {0, 5, 5, 10}}},
        {"diff_all", {-5, -5, 20, 20}, RGN_DIFF, NULLREGION, {}},
        {"copy", {5, 5, 15, 15}, RGN_COPY, SIMPLEREGION, {{0, 0, 10, 10}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HRGN a = CreateRectRgn(0, 0, 10, 10);
        HRGN b = CreateRectRgnIndirect(&c.b);
        HRGN d = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(CombineRgn(d, a, b, c.mode), c.type);
        EXPECT_EQ(RectsOf(d), c.rects);
        // The same with the destination also the first source.
        EXPECT_EQ(CombineRgn(a, a, b, c.mode), c.type);
        EXPECT_TRUE(EqualRgn(a, d));
        for (HRGN r : {a, b, d})
            EXPECT_TRUE(DeleteObject(r));
    }
}

TEST_F(Regions, ExtCreateRegionOrdersAndMergesWhatItIsGiven) {
    // Rows given bottom first and right to left come back top to bottom and
    // left to right; identical adjacent rows merge into one rectangle.
    HRGN r = FromRects({{6, 2, 8, 3},
                        {0, 2, 4, 3},
                        {0, 1, 4, 2},
                        {6, 1, 8, 2},
                        {2, 0, 3, 1},
                        {5, 5, 5, 9} /* empty: ignored */});
    ASSERT_NE(r, nullptr);
    RECT bound;
    EXPECT_EQ(RectsOf(r, &bound), (Rects{{2, 0, 3, 1}, {0, 1, 4, 3}, {6, 1, 8, 3}}));
    EXPECT_EQ(bound, (RECT{0, 0, 8, 3}));
    RECT box;
    EXPECT_EQ(GetRgnBox(r, &box), COMPLEXREGION);
    EXPECT_EQ(box, (RECT{0, 0, 8, 3}));
    DeleteObject(r);

    HRGN empty = FromRects({});
    ASSERT_NE(empty, nullptr); // an empty batch is an empty region, not a failure
    EXPECT_EQ(GetRgnBox(empty, &box), NULLREGION);
    EXPECT_EQ(box, (RECT{0, 0, 0, 0}));
    EXPECT_EQ(RectsOf(empty, &box), Rects{});
    DeleteObject(empty);

    XFORM move{1, 0, 0, 1, 10, 20};
    auto buf = MakeRgnData({{0, 0, 2, 2}});
    HRGN moved = ExtCreateRegion(&move, DWORD(buf.size()), reinterpret_cast<RGNDATA*>(buf.data()));
    EXPECT_EQ(RectsOf(moved), (Rects{{10, 20, 12, 22}}));
    DeleteObject(moved);
}

TEST_F(Regions, BadRegionDataIsRefused) {
    auto good = MakeRgnData({{0, 0, 4, 4}, {8, 0, 9, 4}});
    struct Case {
        const char* name;
        void (*damage)(RGNDATA&);
        long size_delta;
    } cases[] = {
        {"header_size", [](RGNDATA& d) { d.rdh.dwSize = 16; }, 0},
        {"kind", [](RGNDATA& d) { d.rdh.iType = 2; }, 0},
        {"count_past_buffer", [](RGNDATA& d) { d.rdh.nCount = 3; }, 0},
        {"count_huge", [](RGNDATA& d) { d.rdh.nCount = 0x10000001u; }, 0},
        {"rect_bytes_past_buffer", [](RGNDATA& d) { d.rdh.nRgnSize = 33; }, 0},
        {"buffer_short", [](RGNDATA&) {}, -1},
        {"buffer_shorter_than_header", [](RGNDATA&) {}, -long(good.size()) + 31},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto buf = good;
        auto* d = reinterpret_cast<RGNDATA*>(buf.data());
        c.damage(*d);
        EXPECT_EQ(ExtCreateRegion(nullptr, DWORD(long(buf.size()) + c.size_delta), d), nullptr);
    }
    EXPECT_EQ(ExtCreateRegion(nullptr, 100, nullptr), nullptr);
    XFORM shear{1, 0.5f, 0, 1, 0, 0};
    EXPECT_EQ(ExtCreateRegion(&shear, DWORD(good.size()), reinterpret_cast<RGNDATA*>(good.data())),
              nullptr);

    qv::testing::FailCall("ExtCreateRegion");
    EXPECT_EQ(ExtCreateRegion(nullptr, DWORD(good.size()), reinterpret_cast<RGNDATA*>(good.data())),
              nullptr);
    HRGN ok = ExtCreateRegion(nullptr, DWORD(good.size()), reinterpret_cast<RGNDATA*>(good.data()));
    EXPECT_NE(ok, nullptr);
    DeleteObject(ok);
}

TEST_F(Regions, BatchHookSeesEveryAcceptedBatch) {
    std::vector<DWORD> counts;
    std::vector<RECT> firsts;
    qv::testing::SetRegionBatchHook([&](DWORD n, const RECT* r) {
        counts.push_back(n);
        if (n) firsts.push_back(r[0]);
    });
    HRGN a = FromRects({{0, 0, 1, 1}, {2, 0, 3, 1}});
    HRGN b = FromRects({});
    EXPECT_EQ(counts, (std::vector<DWORD>{2, 0}));
    ASSERT_EQ(firsts.size(), 1u);
    EXPECT_EQ(firsts[0], (RECT{0, 0, 1, 1}));
    DeleteObject(a);
    DeleteObject(b);
}

// The picture scan ORs batches of one-row rectangles into a region that
// grows downward; however the batches fall, the result must be the region
// made from all the rectangles at once.
TEST_F(Regions, OringBandsBelowGivesTheSameRegionAsOneBuild) {
    std::mt19937 rng(7);
    for (int trial = 0; trial < 40; ++trial) {
        SCOPED_TRACE(trial);
        Rects all;
        const int rows = 1 + int(rng() % 40);
        const int width = 1 + int(rng() % 30);
        const bool repeat_rows = trial % 3 == 0; // identical rows merge across batches
        Rects first_row;
        for (int y = 0; y < rows; ++y) {
            Rects row;
            if (repeat_rows && y > 0) {
                for (RECT r : first_row)
                    row.push_back(RECT{r.left, y, r.right, y + 1});
            } else {
                for (int x = 0; x < width;) {
                    int x0 = x;
                    while (x < width && rng() % 4)
                        ++x;
                    if (x > x0) row.push_back(RECT{x0, y, x, y + 1});
                    ++x;
                }
            }
            if (y == 0) first_row = row;
            all.insert(all.end(), row.begin(), row.end());
        }
        HRGN whole = FromRects(all);
        HRGN result = nullptr;
        for (size_t at = 0; at < all.size() || !result;) {
            size_t n = std::min(all.size() - at, size_t(1 + rng() % 7));
            HRGN part = FromRects(Rects(all.begin() + long(at), all.begin() + long(at + n)));
            at += n;
            if (!result) {
                result = part;
            } else {
                EXPECT_NE(CombineRgn(result, result, part, RGN_OR), ERROR);
                DeleteObject(part);
            }
        }
        EXPECT_TRUE(EqualRgn(result, whole));
        EXPECT_EQ(RectsOf(result), RectsOf(whole));
        RECT b1, b2;
        EXPECT_EQ(GetRgnBox(result, &b1), GetRgnBox(whole, &b2));
        EXPECT_EQ(b1, b2);
        DeleteObject(result);
        DeleteObject(whole);
    }
}

TEST_F(Regions, QueriesAndMoves) {
    HRGN r = CreateRectRgn(10, 10, 0, 0); // corners in either order
    RECT box;
    EXPECT_EQ(GetRgnBox(r, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{0, 0, 10, 10}));
    EXPECT_TRUE(PtInRegion(r, 0, 0));
    EXPECT_FALSE(PtInRegion(r, 10, 5)); // right and bottom edges are outside
    EXPECT_FALSE(PtInRegion(r, 5, 10));
    RECT inside{9, 9, 20, 20}, outside{10, 0, 20, 10};
    EXPECT_TRUE(RectInRegion(r, &inside));
    EXPECT_FALSE(RectInRegion(r, &outside));

    EXPECT_EQ(OffsetRgn(r, 5, -5), SIMPLEREGION);
    EXPECT_EQ(GetRgnBox(r, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{5, -5, 15, 5}));
    EXPECT_EQ(OffsetRgn(r, 0x7FFFFFFF, 0), ERROR); // out of range: refused, unchanged
    EXPECT_EQ(GetRgnBox(r, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{5, -5, 15, 5}));

    EXPECT_TRUE(SetRectRgn(r, 1, 1, 1, 5)); // zero width: empty
    EXPECT_EQ(GetRgnBox(r, &box), NULLREGION);
    HRGN e = CreateRectRgn(0, 0, 0, 0);
    EXPECT_TRUE(EqualRgn(r, e));
    EXPECT_EQ(OffsetRgn(e, 3, 3), NULLREGION);

    DWORD size = GetRegionData(r, 0, nullptr);
    EXPECT_EQ(size, sizeof(RGNDATAHEADER));
    EXPECT_TRUE(SetRectRgn(r, 0, 0, 2, 2));
    size = GetRegionData(r, 0, nullptr);
    EXPECT_EQ(size, sizeof(RGNDATAHEADER) + sizeof(RECT));
    std::vector<char> small(size - 1);
    EXPECT_EQ(GetRegionData(r, DWORD(small.size()), reinterpret_cast<RGNDATA*>(small.data())), 0u);

    EXPECT_TRUE(DeleteObject(r));
    EXPECT_TRUE(DeleteObject(e));

    // Stale, NULL and foreign handles.
    HRGN stale = r;
    HGDIOBJ brush = GetStockObject(WHITE_BRUSH);
    HRGN live = CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(GetRgnBox(stale, &box), ERROR);
    EXPECT_EQ(CombineRgn(live, stale, live, RGN_OR), ERROR);
    EXPECT_EQ(CombineRgn(live, live, nullptr, RGN_AND), ERROR);
    EXPECT_EQ(CombineRgn(stale, live, live, RGN_COPY), ERROR);
    EXPECT_EQ(CombineRgn(live, live, live, 9), ERROR);
    EXPECT_EQ(CombineRgn(live, reinterpret_cast<HRGN>(brush), live, RGN_OR), ERROR);
    EXPECT_FALSE(PtInRegion(stale, 0, 0));
    EXPECT_EQ(OffsetRgn(nullptr, 1, 1), ERROR);
    EXPECT_FALSE(EqualRgn(stale, live));
    EXPECT_FALSE(SetRectRgn(stale, 0, 0, 1, 1));
    EXPECT_EQ(GetRegionData(stale, 0, nullptr), 0u);
    EXPECT_FALSE(DeleteObject(stale));
    EXPECT_EQ(GetObjectType(live), DWORD(OBJ_REGION));
    EXPECT_EQ(GetObjectA(live, 0, nullptr), 0); // regions have no description
    DeleteObject(live);
}

} // namespace
