// Window geometry: the frame model, positions in screen and client
// coordinates, moving and sizing.
#include <algorithm>

#include "user/user_state.h"

namespace qv::user {

// The frame model: a caption is 16 pixels over a fixed frame of 3 (a
// sizing frame of 4); a plain border is 1 pixel; client edges add their own.
namespace frame {
constexpr int kCaption = 16;
constexpr int kFixedFrame = 3;
constexpr int kSizingFrame = 4;
constexpr int kBorder = 1;
constexpr int kEdge = 2;
constexpr int kMenu = 19;
} // namespace frame

RECT FrameInsets(DWORD style, DWORD ex_style) {
    int side = 0, caption = 0;
    if ((style & WS_CAPTION) == WS_CAPTION) {
        side = (style & WS_THICKFRAME) ? frame::kSizingFrame : frame::kFixedFrame;
        caption = frame::kCaption;
    } else if (style & WS_THICKFRAME) {
        side = frame::kSizingFrame;
    } else if ((style & WS_DLGFRAME) || (ex_style & WS_EX_DLGMODALFRAME)) {
        side = frame::kFixedFrame;
    } else if (style & WS_BORDER) {
        side = frame::kBorder;
    }
    if (ex_style & WS_EX_CLIENTEDGE) side += frame::kEdge;
    if (ex_style & WS_EX_STATICEDGE) side += 1;
    return RECT{side, side + caption, side, side};
}

namespace {

void Place(HWND hwnd, int x, int y, int cx, int cy, UINT flags) {
    Window* w = Lookup(hwnd);
    if (!w) return;
    RECT old_rect = w->rect, old_client = w->client;
    if (flags & SWP_NOMOVE) x = w->rect.left, y = w->rect.top;
    if (flags & SWP_NOSIZE) cx = w->rect.right - w->rect.left, cy = w->rect.bottom - w->rect.top;
    cx = std::max(cx, 0);
    cy = std::max(cy, 0);
    w->rect = {x, y, x + cx, y + cy};
    RECT in = FrameInsets(w->style, w->ex_style);
    w->client = {x + in.left, y + in.top, std::max(x + in.left, x + cx - in.right),
                 std::max(y + in.top, y + cy - in.bottom)};
    if (!(w->style & WS_CHILD)) SyncNativeBounds(*w);

    int old_w = old_client.right - old_client.left, old_h = old_client.bottom - old_client.top;
    int new_w = w->client.right - w->client.left, new_h = w->client.bottom - w->client.top;
    bool moved = old_client.left != w->client.left || old_client.top != w->client.top;
    bool sized = old_w != new_w || old_h != new_h;
    if (!(flags & SWP_NOREDRAW) && IsShown(*w)) {
        bool whole = (w->cls->style & CS_HREDRAW && old_w != new_w) ||
                     (w->cls->style & CS_VREDRAW && old_h != new_h) || moved;
        if (whole || sized) Invalidate(*w, nullptr, true, true);
        if ((w->style & WS_CHILD) && (moved || sized))
            if (Window* p = Lookup(w->parent)) Invalidate(*p, &old_rect, true, false);
    }
    if (moved) Send(hwnd, WM_MOVE, 0, MAKELPARAM(w->client.left, w->client.top));
    if (!(w = Lookup(hwnd))) return;
    if (sized) {
        WPARAM kind = (w->style & WS_MINIMIZE)   ? SIZE_MINIMIZED
                      : (w->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED
                                                 : SIZE_RESTORED;
        Send(hwnd, WM_SIZE, kind, MAKELPARAM(new_w, new_h));
    }
}

void Restack(HWND hwnd, HWND after) {
    Window* w = Lookup(hwnd);
    if (!w) return;
    Window* p = (w->style & WS_CHILD) ? Lookup(w->parent) : nullptr;
    std::vector<HWND>& sib = p ? p->children : TopLevels();
    auto it = std::find(sib.begin(), sib.end(), hwnd);
    if (it == sib.end()) return;
    sib.erase(it);
    if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
        sib.insert(sib.begin(), hwnd);
    } else if (after == HWND_BOTTOM) {
        sib.push_back(hwnd);
    } else {
        auto at = std::find(sib.begin(), sib.end(), after);
        sib.insert(at == sib.end() ? sib.begin() : at + 1, hwnd);
    }
}

} // namespace
} // namespace qv::user

using namespace qv::user;

extern "C" BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT out) {
    Window* w = Checked(hwnd);
    if (!w) return FALSE;
    if (!out) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    *out = w->rect;
    if (w->style & WS_CHILD)
        if (Window* p = Lookup(w->parent)) {
            POINT o = ClientOriginOnScreen(*p);
            OffsetRect(out, o.x, o.y);
        }
    return TRUE;
}

extern "C" BOOL WINAPI GetClientRect(HWND hwnd, LPRECT out) {
    Window* w = Checked(hwnd);
    if (!w) return FALSE;
    if (!out) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    *out = {0, 0, w->client.right - w->client.left, w->client.bottom - w->client.top};
    return TRUE;
}

extern "C" BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT pt) {
    Window* w = Checked(hwnd);
    if (!w || !pt) return FALSE;
    POINT o = ClientOriginOnScreen(*w);
    pt->x += o.x;
    pt->y += o.y;
    return TRUE;
}

extern "C" BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT pt) {
    Window* w = Checked(hwnd);
    if (!w || !pt) return FALSE;
    POINT o = ClientOriginOnScreen(*w);
    pt->x -= o.x;
    pt->y -= o.y;
    return TRUE;
}

extern "C" int WINAPI MapWindowPoints(HWND from, HWND to, LPPOINT pts, UINT count) {
    POINT a{0, 0}, b{0, 0};
    if (from) {
        Window* w = Checked(from);
        if (!w) return 0;
        a = ClientOriginOnScreen(*w);
    }
    if (to) {
        Window* w = Checked(to);
        if (!w) return 0;
        b = ClientOriginOnScreen(*w);
    }
    int dx = a.x - b.x, dy = a.y - b.y;
    if (pts)
        for (UINT i = 0; i < count; ++i)
            pts[i].x += dx, pts[i].y += dy;
    SetLastError(0); // a zero result is then not mistaken for a failure
    return MAKELONG(dx, dy);
}

extern "C" BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    if (!Checked(hwnd)) return FALSE;
    Place(hwnd, x, y, width, height, repaint ? 0 : SWP_NOREDRAW);
    return TRUE;
}

extern "C" BOOL WINAPI SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy,
                                    UINT flags) {
    Window* w = Checked(hwnd);
    if (!w) return FALSE;
    if (!(flags & SWP_NOZORDER)) Restack(hwnd, after);
    if ((flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE) ||
        (flags & SWP_FRAMECHANGED))
        Place(hwnd, x, y, cx, cy, flags & (SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW));
    if (!Lookup(hwnd)) return TRUE;
    if (flags & SWP_SHOWWINDOW)
        ShowWindow(hwnd, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    else if (flags & SWP_HIDEWINDOW)
        ShowWindow(hwnd, SW_HIDE);
    else if (!(flags & SWP_NOACTIVATE) && (w = Lookup(hwnd)) && !(w->style & WS_CHILD) &&
             IsShown(*w))
        Activate(hwnd, false, true);
    return TRUE;
}

extern "C" int WINAPI GetSystemMetrics(int index) {
    int sw = 0, sh = 0;
    if (index == SM_CXSCREEN || index == SM_CYSCREEN || index == SM_CXFULLSCREEN ||
        index == SM_CYFULLSCREEN || index == SM_CXVIRTUALSCREEN || index == SM_CYVIRTUALSCREEN ||
        index == SM_CXMAXIMIZED || index == SM_CYMAXIMIZED || index == SM_CXMAXTRACK ||
        index == SM_CYMAXTRACK)
        qv::host::GetScreenSize(sw, sh);
    using namespace frame;
    switch (index) {
    case SM_CXSCREEN:
    case SM_CXVIRTUALSCREEN:
        return sw;
    case SM_CYSCREEN:
    case SM_CYVIRTUALSCREEN:
        return sh;
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN:
        return 0;
    case SM_CXFULLSCREEN:
        return sw;
    case SM_CYFULLSCREEN:
        return sh - kCaption;
    case SM_CXMAXIMIZED:
        return sw + 2 * kSizingFrame;
    case SM_CYMAXIMIZED:
        return sh + 2 * kSizingFrame;
    case SM_CXMAXTRACK:
        return sw + 2 * kSizingFrame + 4;
    case SM_CYMAXTRACK:
        return sh + 2 * kSizingFrame + 4;
    case SM_CYCAPTION:
        return kCaption;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return kBorder;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return kFixedFrame;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return kSizingFrame;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return kEdge;
    case SM_CYMENU:
    case SM_CYMENUSIZE:
    case SM_CXMENUSIZE:
        return kMenu;
    case SM_CXSIZE:
    case SM_CYSIZE:
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB:
        return 16;
    case SM_CYSMCAPTION:
    case SM_CXSMSIZE:
    case SM_CYSMSIZE:
        return 15;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CXICONSPACING:
    case SM_CYICONSPACING:
        return 75;
    case SM_CXMIN:
    case SM_CXMINTRACK:
        return 112;
    case SM_CYMIN:
    case SM_CYMINTRACK:
        return kCaption + 2 * kSizingFrame + 3;
    case SM_CXMINIMIZED:
        return 160;
    case SM_CYMINIMIZED:
        return 24;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
    case SM_CXDRAG:
    case SM_CYDRAG:
        return 4;
    case SM_MOUSEPRESENT:
    case SM_MOUSEWHEELPRESENT:
    case SM_CMONITORS:
    case SM_SAMEDISPLAYFORMAT:
        return 1;
    case SM_CMOUSEBUTTONS:
        return 3;
    default:
        return 0;
    }
}

extern "C" BOOL WINAPI AdjustWindowRectEx(LPRECT r, DWORD style, BOOL menu, DWORD ex_style) {
    if (!r) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    RECT in = FrameInsets(style, ex_style);
    r->left -= in.left;
    r->top -= in.top + (menu ? frame::kMenu : 0);
    r->right += in.right;
    r->bottom += in.bottom;
    return TRUE;
}

extern "C" BOOL WINAPI AdjustWindowRect(LPRECT r, DWORD style, BOOL menu) {
    return AdjustWindowRectEx(r, style, menu, 0);
}
