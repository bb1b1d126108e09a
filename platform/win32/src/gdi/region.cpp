// Regions, kept as pixman regions: y-x banded rectangles, bands top to
// bottom, rectangles left to right within a band, vertically adjacent bands
// with the same spans merged. That is also the order GetRegionData gives.
#include <windows.h>
#include <win32/testing.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/fault.h"
#include "gdi/objects.h"

using namespace qv;
using namespace qv::gdi;

namespace {

// Region coordinates are 27-bit signed values, so no sum of two can overflow.
constexpr int32_t kCoordMax = (1 << 27) - 1;
constexpr int32_t kCoordMin = -(1 << 27);

int32_t ClampCoord(int v) {
    return std::clamp<int32_t>(v, kCoordMin, kCoordMax);
}

qv::testing::RegionBatchHook& BatchHook() {
    static qv::testing::RegionBatchHook hook;
    return hook;
}

int TypeOf(const pixman_region32_t* r) {
    int n = pixman_region32_n_rects(const_cast<pixman_region32_t*>(r));
    return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

void SetRect(pixman_region32_t* r, int l, int t, int rr, int b) {
    int32_t x1 = ClampCoord(std::min(l, rr)), x2 = ClampCoord(std::max(l, rr));
    int32_t y1 = ClampCoord(std::min(t, b)), y2 = ClampCoord(std::max(t, b));
    pixman_region32_fini(r);
    if (x1 == x2 || y1 == y2)
        pixman_region32_init(r);
    else
        pixman_region32_init_rect(r, x1, y1, uint32_t(x2 - x1), uint32_t(y2 - y1));
}

HRGN AddRegion(std::unique_ptr<Region> r) {
    return HandleFrom<HRGN>(Regions().Add(std::move(r)));
}

const pixman_box32_t* Boxes(const pixman_region32_t* r, int& n) {
    return pixman_region32_rectangles(const_cast<pixman_region32_t*>(r), &n);
}

// Appends `below`, which lies wholly at or under the bottom of `dst`, to
// `dst` in place: the bands stay in order, so this costs time in the
// rectangles added, not in the size of dst (its storage grows geometrically).
void AppendBelow(pixman_region32_t* dst, const pixman_region32_t* below) {
    int n1 = 0, n2 = 0;
    const pixman_box32_t* a = Boxes(dst, n1);
    const pixman_box32_t* b = Boxes(below, n2);
    if (n2 == 0) return;
    if (n1 == 0) {
        pixman_region32_copy(dst, const_cast<pixman_region32_t*>(below));
        return;
    }

    // The band of `below` that touches dst's last band merges into it when
    // the two have the same spans.
    int last = n1 - 1;
    while (last > 0 && a[last - 1].y1 == a[n1 - 1].y1)
        --last;
    int first_end = 1;
    while (first_end < n2 && b[first_end].y1 == b[0].y1)
        ++first_end;
    bool merge = a[n1 - 1].y2 == b[0].y1 && n1 - last == first_end;
    for (int i = 0; merge && i < first_end; ++i)
        merge = a[last + i].x1 == b[i].x1 && a[last + i].x2 == b[i].x2;

    const long need = long(n1) + long(n2) - (merge ? first_end : 0);
    pixman_region32_data_t* data = dst->data;
    const long have = data ? data->size : 0;
    pixman_box32_t* boxes;
    if (have >= need) {
        boxes = reinterpret_cast<pixman_box32_t*>(data + 1);
    } else {
        long cap = std::max(need, have * 2);
        const size_t bytes = sizeof(pixman_region32_data_t) + size_t(cap) * sizeof(pixman_box32_t);
        // pixman's own storage is malloc'd, so it can grow in place (a large
        // block is remapped, not copied); a single rectangle or pixman's static
        // empty data has none of its own yet.
        const bool owned = data && data->size;
        auto* grown = static_cast<pixman_region32_data_t*>(owned ? std::realloc(data, bytes)
                                                                 : std::malloc(bytes));
        if (!grown) { // fall back on the general union, which reports its own failure
            pixman_region32_union(dst, dst, const_cast<pixman_region32_t*>(below));
            return;
        }
        grown->size = cap;
        boxes = reinterpret_cast<pixman_box32_t*>(grown + 1);
        if (!owned) std::memcpy(boxes, a, size_t(n1) * sizeof(pixman_box32_t));
        dst->data = grown;
        data = grown;
    }
    long n = n1;
    int from = 0;
    if (merge) {
        for (int i = last; i < n1; ++i)
            boxes[i].y2 = b[0].y2;
        from = first_end;
    }
    // `b` may be the storage of `below` only, never of dst (they differ).
    std::memcpy(boxes + n, b + from, size_t(n2 - from) * sizeof(pixman_box32_t));
    n += n2 - from;
    data->numRects = n;
    dst->extents.x1 = std::min(dst->extents.x1, below->extents.x1);
    dst->extents.x2 = std::max(dst->extents.x2, below->extents.x2);
    dst->extents.y2 = below->extents.y2;
    if (n == 1) {
        // A single rectangle is kept without band storage.
        std::free(dst->data);
        dst->data = nullptr;
    }
}

// ORs `below` into `dst` when `below` starts inside dst's last band, as when
// a picture's row is split between two batches of rectangles: only that band
// can meet `below`, so it alone is united with `below` and the result takes
// its place. False when the case does not apply.
bool UniteWithLastBand(pixman_region32_t* dst, const pixman_region32_t* below, pixman_bool_t& ok) {
    int n1 = 0;
    const pixman_box32_t* a = Boxes(dst, n1);
    if (n1 < 2) return false; // a single rectangle: the general union is as cheap
    int last = n1 - 1;
    while (last > 0 && a[last - 1].y1 == a[n1 - 1].y1)
        --last;
    if (below->extents.y1 < a[last].y1) return false;

    pixman_region32_t tail, merged;
    pixman_region32_init(&merged);
    ok = pixman_region32_init_rects(&tail, a + last, n1 - last) &&
         pixman_region32_union(&merged, &tail, const_cast<pixman_region32_t*>(below));
    pixman_region32_fini(&tail);
    if (ok) {
        if (last == 0) {
            ok = pixman_region32_copy(dst, &merged);
        } else {
            // Drop the last band. The x extents may stay as they are: the
            // band's own span lies inside `merged`, which AppendBelow folds
            // into them again.
            dst->data->numRects = last;
            dst->extents.y2 = a[last - 1].y2;
            AppendBelow(dst, &merged);
        }
    }
    pixman_region32_fini(&merged);
    return true;
}

bool Empty(const pixman_region32_t* r) {
    return !pixman_region32_not_empty(const_cast<pixman_region32_t*>(r));
}

} // namespace

namespace qv::testing {
void SetRegionBatchHook(RegionBatchHook hook) {
    BatchHook() = std::move(hook);
}
} // namespace qv::testing

extern "C" {

HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2) {
    auto r = std::make_unique<Region>();
    SetRect(&r->rgn, x1, y1, x2, y2);
    return AddRegion(std::move(r));
}

HRGN WINAPI CreateRectRgnIndirect(const RECT* lprect) {
    if (!lprect) return nullptr;
    return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

BOOL WINAPI SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom) {
    Region* r = LookupRegion(hrgn);
    if (!r) return FALSE;
    SetRect(&r->rgn, left, top, right, bottom);
    return TRUE;
}

HRGN WINAPI ExtCreateRegion(const XFORM* lpx, DWORD nCount, const RGNDATA* lpData) {
    if (!lpData || nCount < sizeof(RGNDATAHEADER)) return nullptr;
    const RGNDATAHEADER& h = lpData->rdh;
    if (h.dwSize != sizeof(RGNDATAHEADER) || h.iType != RDH_RECTANGLES) return nullptr;
    // The rectangles the header claims must lie inside the caller's buffer.
    const uint64_t room = uint64_t(nCount) - sizeof(RGNDATAHEADER);
    if (uint64_t(h.nCount) * sizeof(RECT) > room || uint64_t(h.nRgnSize) > room) return nullptr;
    // Only scaling and moving keep rectangles rectangles.
    if (lpx && (lpx->eM12 != 0.0f || lpx->eM21 != 0.0f)) return nullptr;
    if (ShouldFail("ExtCreateRegion")) return nullptr;

    // The caller's buffer need not be aligned for RECT: read it bytewise.
    const char* buffer = lpData->Buffer;
    auto rect_at = [buffer](size_t i) {
        RECT rc;
        std::memcpy(&rc, buffer + i * sizeof(RECT), sizeof rc);
        return rc;
    };
    if (BatchHook()) {
        std::vector<RECT> rects(h.nCount);
        for (size_t i = 0; i < rects.size(); ++i)
            rects[i] = rect_at(i);
        BatchHook()(h.nCount, rects.data());
    }

    std::vector<pixman_box32_t> boxes;
    boxes.reserve(h.nCount);
    for (size_t i = 0; i < h.nCount; ++i) {
        const RECT rc = rect_at(i);
        double l = rc.left, t = rc.top, r = rc.right, b = rc.bottom;
        if (lpx) {
            l = l * lpx->eM11 + lpx->eDx, r = r * lpx->eM11 + lpx->eDx;
            t = t * lpx->eM22 + lpx->eDy, b = b * lpx->eM22 + lpx->eDy;
        }
        auto c = [](double v) {
            return int32_t(std::clamp(v, double(kCoordMin), double(kCoordMax)));
        };
        int32_t x1 = c(std::min(l, r)), x2 = c(std::max(l, r));
        int32_t y1 = c(std::min(t, b)), y2 = c(std::max(t, b));
        if (x1 < x2 && y1 < y2) boxes.push_back(pixman_box32_t{x1, y1, x2, y2});
    }
    auto region = std::make_unique<Region>();
    pixman_region32_fini(&region->rgn);
    if (!pixman_region32_init_rects(&region->rgn, boxes.data(), int(boxes.size()))) {
        pixman_region32_init(&region->rgn);
        return nullptr;
    }
    return AddRegion(std::move(region));
}

int WINAPI CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
    Region* d = LookupRegion(hrgnDst);
    Region* a = LookupRegion(hrgnSrc1);
    if (!d || !a || iMode < RGN_AND || iMode > RGN_COPY) return ERROR;
    if (iMode == RGN_COPY) {
        if (d != a) pixman_region32_copy(&d->rgn, &a->rgn);
        return TypeOf(&d->rgn);
    }
    Region* b = LookupRegion(hrgnSrc2);
    if (!b) return ERROR;
    pixman_bool_t ok = TRUE;
    switch (iMode) {
    case RGN_AND:
        ok = pixman_region32_intersect(&d->rgn, &a->rgn, &b->rgn);
        break;
    case RGN_OR:
        if (d == a && b != a && !Empty(&b->rgn) &&
            (Empty(&a->rgn) || b->rgn.extents.y1 >= a->rgn.extents.y2)) {
            AppendBelow(&d->rgn, &b->rgn);
        } else if (d == a && b != a && !Empty(&b->rgn) && UniteWithLastBand(&d->rgn, &b->rgn, ok)) {
            // done in place
        } else {
            ok = pixman_region32_union(&d->rgn, &a->rgn, &b->rgn);
        }
        break;
    case RGN_DIFF:
        ok = pixman_region32_subtract(&d->rgn, &a->rgn, &b->rgn);
        break;
    case RGN_XOR: {
        pixman_region32_t ab, ba;
        pixman_region32_init(&ab);
        pixman_region32_init(&ba);
        ok = pixman_region32_subtract(&ab, &a->rgn, &b->rgn) &&
             pixman_region32_subtract(&ba, &b->rgn, &a->rgn) &&
             pixman_region32_union(&d->rgn, &ab, &ba);
        pixman_region32_fini(&ab);
        pixman_region32_fini(&ba);
        break;
    }
    }
    return ok ? TypeOf(&d->rgn) : ERROR;
}

DWORD WINAPI GetRegionData(HRGN hrgn, DWORD nCount, LPRGNDATA lpRgnData) {
    Region* r = LookupRegion(hrgn);
    if (!r) return 0;
    int n = 0;
    const pixman_box32_t* boxes = Boxes(&r->rgn, n);
    const uint64_t need = sizeof(RGNDATAHEADER) + uint64_t(n) * sizeof(RECT);
    if (need > 0xFFFFFFFFu) return 0;
    if (!lpRgnData) return DWORD(need);
    if (nCount < need) return 0;
    RGNDATAHEADER& h = lpRgnData->rdh;
    h.dwSize = sizeof(RGNDATAHEADER);
    h.iType = RDH_RECTANGLES;
    h.nCount = DWORD(n);
    h.nRgnSize = DWORD(n) * sizeof(RECT);
    if (n)
        h.rcBound =
            RECT{r->rgn.extents.x1, r->rgn.extents.y1, r->rgn.extents.x2, r->rgn.extents.y2};
    else
        h.rcBound = RECT{0, 0, 0, 0};
    RECT* out = reinterpret_cast<RECT*>(lpRgnData->Buffer);
    for (int i = 0; i < n; ++i) {
        RECT rc{boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2};
        std::memcpy(out + i, &rc, sizeof rc);
    }
    return nCount;
}

int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc) {
    Region* r = LookupRegion(hrgn);
    if (!r || !lprc) return ERROR;
    if (Empty(&r->rgn))
        *lprc = RECT{0, 0, 0, 0};
    else
        *lprc = RECT{r->rgn.extents.x1, r->rgn.extents.y1, r->rgn.extents.x2, r->rgn.extents.y2};
    return TypeOf(&r->rgn);
}

BOOL WINAPI PtInRegion(HRGN hrgn, int x, int y) {
    Region* r = LookupRegion(hrgn);
    if (!r) return FALSE;
    return pixman_region32_contains_point(&r->rgn, x, y, nullptr) ? TRUE : FALSE;
}

BOOL WINAPI RectInRegion(HRGN hrgn, const RECT* lprect) {
    Region* r = LookupRegion(hrgn);
    if (!r || !lprect) return FALSE;
    pixman_box32_t box{ClampCoord(std::min(lprect->left, lprect->right)),
                       ClampCoord(std::min(lprect->top, lprect->bottom)),
                       ClampCoord(std::max(lprect->left, lprect->right)),
                       ClampCoord(std::max(lprect->top, lprect->bottom))};
    if (box.x1 == box.x2 || box.y1 == box.y2) return FALSE;
    return pixman_region32_contains_rectangle(&r->rgn, &box) != PIXMAN_REGION_OUT;
}

int WINAPI OffsetRgn(HRGN hrgn, int x, int y) {
    Region* r = LookupRegion(hrgn);
    if (!r) return ERROR;
    if (!Empty(&r->rgn)) {
        const pixman_box32_t& e = r->rgn.extents;
        // Moving a region out of the coordinate range fails and leaves it.
        if (int64_t(e.x1) + x < kCoordMin || int64_t(e.x2) + x > kCoordMax ||
            int64_t(e.y1) + y < kCoordMin || int64_t(e.y2) + y > kCoordMax)
            return ERROR;
        pixman_region32_translate(&r->rgn, x, y);
    }
    return TypeOf(&r->rgn);
}

BOOL WINAPI EqualRgn(HRGN hrgn1, HRGN hrgn2) {
    Region* a = LookupRegion(hrgn1);
    Region* b = LookupRegion(hrgn2);
    if (!a || !b) return ERROR;
    return pixman_region32_equal(&a->rgn, &b->rgn) ? TRUE : FALSE;
}

} // extern "C"
