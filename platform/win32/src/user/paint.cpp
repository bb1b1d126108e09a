// Painting: each window keeps the bounding box of its update region; the
// queue synthesises WM_PAINT while it is not empty, and BeginPaint
// validates it.
#include <set>

#include "gdi/dc_table.h"
#include "user/user_state.h"

namespace qv::user {

namespace {

// The DCs BeginPaint handed out, so EndPaint releases only those.
std::set<uintptr_t>& PaintDCs() {
    static std::set<uintptr_t> dcs;
    return dcs;
}

RECT ClientBox(const Window& w) {
    return RECT{0, 0, w.client.right - w.client.left, w.client.bottom - w.client.top};
}

HWND FindIn(HWND hwnd, HWND filter) {
    Window* w = Lookup(hwnd);
    if (!w || !(w->style & WS_VISIBLE)) return nullptr;
    if (HasUpdate(*w) && (filter == nullptr || hwnd == filter || IsChild(filter, hwnd)))
        return hwnd;
    for (HWND c : w->children)
        if (HWND h = FindIn(c, filter)) return h;
    return nullptr;
}

void EraseNow(HWND hwnd) {
    Window* w = Lookup(hwnd);
    if (!w || !w->update_erase) return;
    w->update_erase = false;
    gdi::DeviceContext dc;
    dc.kind = gdi::DCKind::Window;
    dc.window = hwnd;
    HDC hdc = gdi::AddDC(dc);
    if (!hdc) return;
    Send(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    gdi::RemoveDC(hdc);
}

void Validate(Window& w, const RECT* r) {
    if (!r) {
        w.update = RECT{};
        w.update_erase = false;
        return;
    }
    RECT left;
    // The update region is kept as one box: a rectangle that covers a whole
    // side of it takes that part off, anything else leaves it as it is.
    if (SubtractRect(&left, &w.update, r))
        w.update = left;
    else
        w.update = RECT{}, w.update_erase = false;
}

} // namespace

bool HasUpdate(const Window& w) {
    return !IsRectEmpty(&w.update);
}

void Invalidate(Window& w, const RECT* r, bool erase, bool children) {
    if (!IsShown(w)) return;
    RECT box = ClientBox(w), area;
    if (r) {
        if (!IntersectRect(&area, r, &box)) return;
    } else {
        area = box;
    }
    if (IsRectEmpty(&area)) return;
    UnionRect(&w.update, &w.update, &area);
    if (erase) w.update_erase = true;
    if (!children) return;
    for (HWND c : w.children) {
        Window* cw = Lookup(c);
        if (!cw || !(cw->style & WS_VISIBLE)) continue;
        RECT sub;
        if (!IntersectRect(&sub, &area, &cw->client)) continue;
        OffsetRect(&sub, -cw->client.left, -cw->client.top);
        Invalidate(*cw, &sub, erase, !(cw->style & WS_CLIPCHILDREN));
    }
}

HWND FindPaintWindow(HWND filter) {
    for (HWND t : TopLevels())
        if (HWND h = FindIn(t, filter)) return h;
    return nullptr;
}

void PaintNow(HWND hwnd) {
    Window* w = Lookup(hwnd);
    if (!w || !IsShown(*w)) return;
    if (HasUpdate(*w)) Send(hwnd, WM_PAINT, 0, 0);
    if (!(w = Lookup(hwnd))) return;
    std::vector<HWND> kids = w->children;
    for (HWND c : kids)
        PaintNow(c);
}

} // namespace qv::user

using namespace qv::user;

extern "C" HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
    Window* w = Checked(hwnd);
    if (!w) return nullptr;
    if (!ps) {
        SetLastError(ERROR_NOACCESS);
        return nullptr;
    }
    qv::gdi::DeviceContext dc;
    dc.kind = qv::gdi::DCKind::Window;
    dc.window = hwnd;
    HDC hdc = qv::gdi::AddDC(dc);
    if (!hdc) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    PaintDCs().insert(qv::HandleValue(hdc));
    *ps = PAINTSTRUCT{};
    ps->hdc = hdc;
    ps->rcPaint = w->update;
    bool erase = w->update_erase;
    w->update = RECT{};
    w->update_erase = false;
    if (erase) ps->fErase = Send(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) == 0;
    return hdc;
}

extern "C" BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT* ps) {
    // Win32's EndPaint always succeeds; the DC goes even if the window went.
    if (ps && PaintDCs().erase(qv::HandleValue(ps->hdc))) qv::gdi::RemoveDC(ps->hdc);
    return TRUE;
}

extern "C" BOOL WINAPI InvalidateRect(HWND hwnd, const RECT* r, BOOL erase) {
    if (hwnd == nullptr) {
        // Every window, as Win32 does for a NULL window.
        for (HWND t : TopLevels())
            if (Window* w = Lookup(t)) Invalidate(*w, nullptr, erase != FALSE, true);
        return TRUE;
    }
    Window* w = Checked(hwnd);
    if (!w) return FALSE;
    Invalidate(*w, r, erase != FALSE, !(w->style & WS_CLIPCHILDREN));
    return TRUE;
}

extern "C" BOOL WINAPI ValidateRect(HWND hwnd, const RECT* r) {
    if (hwnd == nullptr) return InvalidateRect(nullptr, nullptr, TRUE);
    Window* w = Checked(hwnd);
    if (!w) return FALSE;
    Validate(*w, r);
    return TRUE;
}

extern "C" BOOL WINAPI GetUpdateRect(HWND hwnd, LPRECT r, BOOL erase) {
    Window* w = Checked(hwnd);
    if (!w) return FALSE;
    bool any = HasUpdate(*w);
    if (r) *r = any ? w->update : RECT{};
    if (any && erase) EraseNow(hwnd);
    return any;
}

extern "C" BOOL WINAPI RedrawWindow(HWND hwnd, const RECT* r, HRGN rgn, UINT flags) {
    Window* w = Checked(hwnd);
    if (!w) return FALSE;
    // A region's exact shape is not kept: its window's whole client area
    // stands for it, which repaints too much, never too little.
    const RECT* area = rgn ? nullptr : r;
    bool children =
        (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w->style & WS_CLIPCHILDREN));
    if (flags & RDW_INVALIDATE) Invalidate(*w, area, (flags & RDW_ERASE) != 0, children);
    if (flags & RDW_VALIDATE) Validate(*w, area);
    if (flags & RDW_ERASENOW) EraseNow(hwnd);
    if (flags & RDW_UPDATENOW) PaintNow(hwnd);
    return TRUE;
}

extern "C" BOOL WINAPI UpdateWindow(HWND hwnd) {
    if (!Checked(hwnd)) return FALSE;
    PaintNow(hwnd);
    return TRUE;
}
