// Rectangle helpers. Rectangles include their left and top edges and
// exclude their right and bottom ones.
#include <algorithm>

#include <windows.h>

extern "C" BOOL WINAPI SetRect(LPRECT r, int left, int top, int right, int bottom) {
    if (!r) return FALSE;
    *r = RECT{left, top, right, bottom};
    return TRUE;
}

extern "C" BOOL WINAPI SetRectEmpty(LPRECT r) {
    if (!r) return FALSE;
    *r = RECT{0, 0, 0, 0};
    return TRUE;
}

extern "C" BOOL WINAPI IsRectEmpty(const RECT* r) {
    return !r || r->right <= r->left || r->bottom <= r->top;
}

extern "C" BOOL WINAPI PtInRect(const RECT* r, POINT pt) {
    return r && pt.x >= r->left && pt.x < r->right && pt.y >= r->top && pt.y < r->bottom;
}

extern "C" BOOL WINAPI OffsetRect(LPRECT r, int dx, int dy) {
    if (!r) return FALSE;
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
    return TRUE;
}

extern "C" BOOL WINAPI InflateRect(LPRECT r, int dx, int dy) {
    if (!r) return FALSE;
    r->left -= dx;
    r->right += dx;
    r->top -= dy;
    r->bottom += dy;
    return TRUE;
}

extern "C" BOOL WINAPI IntersectRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) return FALSE;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(a) || IsRectEmpty(b) || IsRectEmpty(&r)) {
        *dst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    *dst = r;
    return TRUE;
}

extern "C" BOOL WINAPI UnionRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) return FALSE;
    bool ea = IsRectEmpty(a), eb = IsRectEmpty(b);
    if (ea && eb) {
        *dst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    if (ea) {
        *dst = *b;
    } else if (eb) {
        *dst = *a;
    } else {
        *dst = RECT{std::min(a->left, b->left), std::min(a->top, b->top),
                    std::max(a->right, b->right), std::max(a->bottom, b->bottom)};
    }
    return TRUE;
}

// Takes b off a only where b covers a whole side of a; otherwise a stays.
extern "C" BOOL WINAPI SubtractRect(LPRECT dst, const RECT* a, const RECT* b) {
    if (!dst || !a || !b) return FALSE;
    RECT r = *a, x;
    if (IsRectEmpty(a)) {
        *dst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    if (IntersectRect(&x, a, b)) {
        if (x.left == r.left && x.right == r.right) {
            if (x.top == r.top)
                r.top = x.bottom;
            else if (x.bottom == r.bottom)
                r.bottom = x.top;
        } else if (x.top == r.top && x.bottom == r.bottom) {
            if (x.left == r.left)
                r.left = x.right;
            else if (x.right == r.right)
                r.right = x.left;
        }
    }
    if (IsRectEmpty(&r)) {
        *dst = RECT{0, 0, 0, 0};
        return FALSE;
    }
    *dst = r;
    return TRUE;
}

extern "C" BOOL WINAPI EqualRect(const RECT* a, const RECT* b) {
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right &&
           a->bottom == b->bottom;
}

extern "C" BOOL WINAPI CopyRect(LPRECT dst, const RECT* src) {
    if (!dst || !src) return FALSE;
    *dst = *src;
    return TRUE;
}
