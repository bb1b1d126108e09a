// Default processing: what a window does with the messages its procedure
// passes on. Closing destroys, Alt+F4 closes, a right-button release asks
// for a context menu, painting validates.
#include <cstring>

#include "common/cp1252.h"
#include "user/user_state.h"

namespace qv::user {
namespace {

LRESULT HitTest(const Window& w, LPARAM lp) {
    POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    RECT outer = w.rect, client = w.client;
    if (w.style & WS_CHILD)
        if (Window* p = Lookup(w.parent)) {
            POINT o = ClientOriginOnScreen(*p);
            OffsetRect(&outer, o.x, o.y);
            OffsetRect(&client, o.x, o.y);
        }
    if (!PtInRect(&outer, pt)) return HTNOWHERE;
    if (PtInRect(&client, pt)) return HTCLIENT;
    if ((w.style & WS_CAPTION) == WS_CAPTION && pt.y < client.top) {
        RECT in = FrameInsets(w.style, w.ex_style);
        if (pt.y >= outer.top + in.left && pt.x >= client.left && pt.x < client.right)
            return HTCAPTION;
    }
    return HTBORDER;
}

LRESULT SetCursorDefault(HWND hwnd, const Window& w, WPARAM wp, LPARAM lp) {
    // A child first lets its parent decide.
    if (w.style & WS_CHILD)
        if (Send(w.parent, WM_SETCURSOR, wp, lp)) return TRUE;
    Window* v = Lookup(hwnd);
    if (!v) return FALSE;
    if (LOWORD(lp) == HTCLIENT && v->cls->cursor) {
        SetCursor(v->cls->cursor);
        return TRUE;
    }
    return FALSE;
}

} // namespace
} // namespace qv::user

using namespace qv::user;

extern "C" LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* w = Lookup(hwnd);
    if (!w) return 0;
    switch (msg) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lp);
        if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) {
            w->text = cs->lpszName;
            if (w->native) qv::host::SetNativeTitle(w->native, qv::Cp1252ToUtf8(w->text));
        }
        return TRUE;
    }
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_SYSCOMMAND:
        switch (wp & 0xFFF0) {
        case SC_CLOSE:
            Send(hwnd, WM_CLOSE, 0, 0);
            break;
        case SC_MINIMIZE:
            ShowWindow(hwnd, SW_MINIMIZE);
            break;
        case SC_MAXIMIZE:
            ShowWindow(hwnd, SW_MAXIMIZE);
            break;
        case SC_RESTORE:
            ShowWindow(hwnd, SW_RESTORE);
            break;
        default:
            break;
        }
        return 0;
    case WM_SYSKEYDOWN:
        // Alt+F4 closes the top-level window, from wherever the focus is.
        if (wp == VK_F4 && (lp & (1 << 29))) Send(TopLevelOf(hwnd), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_RBUTTONUP: {
        POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ClientToScreen(hwnd, &pt);
        Send(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(pt.x, pt.y));
        return 0;
    }
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        // Unhandled, they go up to the parent.
        if (w->style & WS_CHILD) Send(w->parent, msg, wp, lp);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(lp);
        w->text = text ? text : "";
        if (w->native) qv::host::SetNativeTitle(w->native, qv::Cp1252ToUtf8(w->text));
        return TRUE;
    }
    case WM_GETTEXT: {
        char* out = reinterpret_cast<char*>(lp);
        if (!out || wp == 0) return 0;
        size_t n = w->text.size() < wp ? w->text.size() : wp - 1;
        std::memcpy(out, w->text.data(), n);
        out[n] = '\0';
        return LRESULT(n);
    }
    case WM_GETTEXTLENGTH:
        return LRESULT(w->text.size());
    case WM_SETCURSOR:
        return SetCursorDefault(hwnd, *w, wp, lp);
    case WM_MOUSEACTIVATE:
        if (w->style & WS_CHILD)
            if (LRESULT r = Send(w->parent, msg, wp, lp)) return r;
        return MA_ACTIVATE;
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE && !(w->style & WS_MINIMIZE)) SetFocus(hwnd);
        return 0;
    case WM_NCACTIVATE:
        return TRUE;
    case WM_NCHITTEST:
        return HitTest(*w, lp);
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN:
        return TRUE;
    default:
        return 0;
    }
}
