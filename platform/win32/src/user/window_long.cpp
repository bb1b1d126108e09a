// Per-window values: GetWindowLongPtrA and friends, the window text, and
// the extra bytes a class reserves for each of its windows.
#include <cstring>

#include "user/user_state.h"

using namespace qv::user;

namespace {

bool ExtraRange(const Window& w, int index, size_t size) {
    if (index < 0 || size_t(index) + size > w.extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return false;
    }
    return true;
}

void SetStyle(HWND hwnd, Window& w, int index, DWORD value) {
    STYLESTRUCT ss{index == GWL_STYLE ? w.style : w.ex_style, value};
    Send(hwnd, WM_STYLECHANGING, WPARAM(index), reinterpret_cast<LPARAM>(&ss));
    Window* v = Lookup(hwnd);
    if (!v) return;
    if (index == GWL_STYLE) {
        // WS_CHILD cannot change after creation: the window's place in the
        // tree depends on it.
        v->style = (ss.styleNew & ~DWORD(WS_CHILD)) | (v->style & WS_CHILD);
    } else {
        v->ex_style = ss.styleNew;
    }
    Send(hwnd, WM_STYLECHANGED, WPARAM(index), reinterpret_cast<LPARAM>(&ss));
}

} // namespace

extern "C" LONG_PTR WINAPI GetWindowLongPtrA(HWND hwnd, int index) {
    Window* w = Checked(hwnd);
    if (!w) return 0;
    if (index >= 0) {
        if (!ExtraRange(*w, index, sizeof(LONG_PTR))) return 0;
        LONG_PTR v;
        std::memcpy(&v, w->extra.data() + index, sizeof v);
        return v;
    }
    switch (index) {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>((w->style & WS_CHILD) ? w->parent : w->owner);
    case GWLP_ID:
        return (w->style & WS_CHILD) ? w->id : reinterpret_cast<LONG_PTR>(w->menu);
    case GWL_STYLE:
        return LONG_PTR(w->style);
    case GWL_EXSTYLE:
        return LONG_PTR(w->ex_style);
    case GWLP_USERDATA:
        return w->user_data;
    default:
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
}

extern "C" LONG_PTR WINAPI SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    Window* w = Checked(hwnd);
    if (!w) return 0;
    LONG_PTR old = 0;
    if (index >= 0) {
        if (!ExtraRange(*w, index, sizeof(LONG_PTR))) return 0;
        std::memcpy(&old, w->extra.data() + index, sizeof old);
        std::memcpy(w->extra.data() + index, &value, sizeof value);
        return old;
    }
    switch (index) {
    case GWLP_WNDPROC:
        old = reinterpret_cast<LONG_PTR>(w->proc);
        // A NULL procedure would be called on the next message.
        if (value == 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        w->proc = reinterpret_cast<WNDPROC>(value);
        return old;
    case GWLP_HINSTANCE:
        old = reinterpret_cast<LONG_PTR>(w->instance);
        w->instance = reinterpret_cast<HINSTANCE>(value);
        return old;
    case GWLP_ID:
        if (w->style & WS_CHILD) {
            old = w->id;
            w->id = value;
        } else {
            old = reinterpret_cast<LONG_PTR>(w->menu);
            w->menu = reinterpret_cast<HMENU>(value);
        }
        return old;
    case GWLP_USERDATA:
        old = w->user_data;
        w->user_data = value;
        return old;
    case GWL_STYLE:
    case GWL_EXSTYLE:
        old = LONG_PTR(index == GWL_STYLE ? w->style : w->ex_style);
        SetStyle(hwnd, *w, index, DWORD(value));
        return old;
    case GWLP_HWNDPARENT: {
        if (w->style & WS_CHILD) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        HWND owner = reinterpret_cast<HWND>(value);
        if (owner && !Lookup(owner)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return 0;
        }
        old = reinterpret_cast<LONG_PTR>(w->owner);
        w->owner = owner ? TopLevelOf(owner) : nullptr;
        return old;
    }
    default:
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
}

extern "C" LONG WINAPI GetWindowLongA(HWND hwnd, int index) {
    Window* w = Checked(hwnd);
    if (!w) return 0;
    if (index >= 0) {
        if (!ExtraRange(*w, index, sizeof(LONG))) return 0;
        LONG v;
        std::memcpy(&v, w->extra.data() + index, sizeof v);
        return v;
    }
    // Pointer-sized values need the Ptr form on 64-bit Win32.
    switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE:
    case GWL_ID:
    case GWLP_USERDATA:
        return LONG(GetWindowLongPtrA(hwnd, index));
    default:
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
}

extern "C" LONG WINAPI SetWindowLongA(HWND hwnd, int index, LONG value) {
    Window* w = Checked(hwnd);
    if (!w) return 0;
    if (index >= 0) {
        if (!ExtraRange(*w, index, sizeof(LONG))) return 0;
        LONG old;
        std::memcpy(&old, w->extra.data() + index, sizeof old);
        std::memcpy(w->extra.data() + index, &value, sizeof value);
        return old;
    }
    switch (index) {
    case GWL_STYLE:
    case GWL_EXSTYLE:
        return LONG(SetWindowLongPtrA(hwnd, index, LONG_PTR(DWORD(value))));
    case GWL_ID:
    case GWLP_USERDATA:
        return LONG(SetWindowLongPtrA(hwnd, index, value));
    default:
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
}

// The text goes through WM_SETTEXT and WM_GETTEXT, so a window procedure
// can keep its own, as in Win32.
extern "C" BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text) {
    if (!Checked(hwnd)) return FALSE;
    return Send(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) ? TRUE : FALSE;
}

extern "C" int WINAPI GetWindowTextA(HWND hwnd, LPSTR out, int size) {
    if (!Checked(hwnd)) {
        if (out && size > 0) out[0] = '\0';
        return 0;
    }
    if (!out || size <= 0) return 0;
    out[0] = '\0';
    return int(Send(hwnd, WM_GETTEXT, WPARAM(size), reinterpret_cast<LPARAM>(out)));
}

extern "C" int WINAPI GetWindowTextLengthA(HWND hwnd) {
    if (!Checked(hwnd)) return 0;
    return int(Send(hwnd, WM_GETTEXTLENGTH, 0, 0));
}
