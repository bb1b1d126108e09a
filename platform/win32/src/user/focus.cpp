// Activation, keyboard focus and mouse capture. The active top-level window
// is also the foreground window: with the offscreen host the desktop is
// virtual, and a top-level window that is shown becomes foreground, as on a
// real desktop.
#include "user/user_state.h"

namespace qv::user {

namespace {
struct FocusState {
    HWND active = nullptr;
    HWND focus = nullptr;
    HWND capture = nullptr;
};

FocusState& F() {
    static FocusState f;
    return f;
}

bool InTree(HWND root, HWND hwnd) {
    return hwnd && (hwnd == root || IsChild(root, hwnd));
}

host::WindowId NativeOfTop(HWND hwnd) {
    Window* t = Lookup(TopLevelOf(hwnd));
    return t ? t->native : 0;
}

void KillFocusIn(HWND root) {
    if (InTree(root, F().focus)) {
        HWND old = F().focus;
        F().focus = nullptr;
        Send(old, WM_KILLFOCUS, 0, 0);
    }
}
} // namespace

HWND ActiveWindow() {
    if (F().active && !Lookup(F().active)) F().active = nullptr;
    return F().active;
}
HWND FocusWindow() {
    if (F().focus && !Lookup(F().focus)) F().focus = nullptr;
    return F().focus;
}
HWND CaptureWindow() {
    if (F().capture && !Lookup(F().capture)) F().capture = nullptr;
    return F().capture;
}

void Activate(HWND top, bool from_click, bool raise) {
    Window* w = Lookup(top);
    if (!w || w->destroying || (w->style & WS_CHILD)) return;
    HWND old = ActiveWindow();
    if (old == top) return;
    if (old) {
        KillFocusIn(old);
        Send(old, WM_NCACTIVATE, FALSE, 0);
        Send(old, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(top));
    }
    if (!Lookup(top)) return;
    F().active = top;
    if (raise && w->native) host::RaiseNativeWindow(w->native);
    if (!old) Send(top, WM_ACTIVATEAPP, TRUE, 0);
    Send(top, WM_NCACTIVATE, TRUE, 0);
    // DefWindowProcA gives the focus to the window on WM_ACTIVATE.
    Send(top, WM_ACTIVATE, from_click ? WA_CLICKACTIVE : WA_ACTIVE, reinterpret_cast<LPARAM>(old));
}

void Deactivate(HWND top) {
    if (ActiveWindow() != top) return;
    KillFocusIn(top);
    F().active = nullptr;
    Send(top, WM_NCACTIVATE, FALSE, 0);
    Send(top, WM_ACTIVATE, WA_INACTIVE, 0);
    Send(top, WM_ACTIVATEAPP, FALSE, 0);
}

void LeaveActivation(HWND top) {
    if (ActiveWindow() != top) return;
    Window* w = Lookup(top);
    HWND next = nullptr;
    if (w && w->owner)
        if (Window* o = Lookup(w->owner); o && IsShown(*o) && !o->destroying) next = w->owner;
    for (HWND t : TopLevels()) {
        if (next) break;
        Window* c = Lookup(t);
        if (t != top && c && IsShown(*c) && !c->destroying && c->owner != top) next = t;
    }
    if (next)
        Activate(next, false, true);
    else
        Deactivate(top);
}

void ForgetWindow(HWND hwnd) {
    if (InTree(hwnd, CaptureWindow())) {
        host::CaptureMouse(NativeOfTop(F().capture), false);
        F().capture = nullptr;
    }
    Window* w = Lookup(hwnd);
    if (!w) return;
    if (w->style & WS_CHILD) {
        // The focus goes back to the parent, as in Win32.
        if (InTree(hwnd, FocusWindow())) SetFocus(w->parent);
    } else if (ActiveWindow() == hwnd) {
        LeaveActivation(hwnd);
    } else {
        KillFocusIn(hwnd);
    }
}

} // namespace qv::user

using namespace qv::user;
namespace host = qv::host;

extern "C" HWND WINAPI SetCapture(HWND hwnd) {
    Window* w = Checked(hwnd);
    if (!w) return nullptr;
    HWND prev = CaptureWindow();
    if (prev == hwnd) return prev;
    host::WindowId prev_native = prev ? NativeOfTop(prev) : 0;
    host::WindowId native = NativeOfTop(hwnd);
    if (prev_native && prev_native != native) host::CaptureMouse(prev_native, false);
    F().capture = hwnd;
    if (native) host::CaptureMouse(native, true);
    if (prev) Send(prev, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return prev;
}

extern "C" BOOL WINAPI ReleaseCapture(void) {
    HWND prev = CaptureWindow();
    if (!prev) return TRUE;
    F().capture = nullptr;
    if (host::WindowId n = NativeOfTop(prev)) host::CaptureMouse(n, false);
    Send(prev, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

extern "C" HWND WINAPI GetCapture(void) {
    return CaptureWindow();
}

extern "C" HWND WINAPI GetForegroundWindow(void) {
    return ActiveWindow();
}
extern "C" HWND WINAPI GetActiveWindow(void) {
    return ActiveWindow();
}
extern "C" HWND WINAPI GetFocus(void) {
    return FocusWindow();
}

extern "C" BOOL WINAPI SetForegroundWindow(HWND hwnd) {
    if (!Checked(hwnd)) return FALSE;
    HWND top = TopLevelOf(hwnd);
    Activate(top, false, true);
    return ActiveWindow() == top;
}

extern "C" HWND WINAPI SetActiveWindow(HWND hwnd) {
    HWND prev = ActiveWindow();
    if (hwnd == nullptr) {
        if (prev) Deactivate(prev);
        return prev;
    }
    if (!Checked(hwnd)) return nullptr;
    Activate(TopLevelOf(hwnd), false, true);
    return prev;
}

extern "C" HWND WINAPI SetFocus(HWND hwnd) {
    HWND prev = FocusWindow();
    if (hwnd == nullptr) {
        if (prev) {
            F().focus = nullptr;
            Send(prev, WM_KILLFOCUS, 0, 0);
        }
        return prev;
    }
    Window* w = Checked(hwnd);
    if (!w) return nullptr;
    if (w->style & WS_DISABLED) return nullptr;
    HWND top = TopLevelOf(hwnd);
    if (ActiveWindow() != top) Activate(top, false, true);
    if (!Lookup(hwnd)) return prev;
    HWND now = FocusWindow();
    if (now == hwnd) return prev;
    F().focus = hwnd;
    if (now) Send(now, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (Lookup(hwnd) && F().focus == hwnd)
        Send(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(now), 0);
    return prev;
}
