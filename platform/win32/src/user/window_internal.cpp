#include "user/window_internal.h"

#include "user/user_state.h"

namespace qv::user {

host::WindowId NativeWindowOf(HWND window) {
    Window* w = Lookup(window);
    return w && !(w->style & WS_CHILD) ? w->native : 0;
}

HWND TopLevelOf(HWND window) {
    Window* w = Lookup(window);
    HWND h = window;
    while (w && (w->style & WS_CHILD)) {
        h = w->parent;
        w = Lookup(h);
    }
    return w ? h : nullptr;
}

bool ClientSize(HWND window, int& width, int& height) {
    Window* w = Lookup(window);
    if (!w) return false;
    width = w->client.right - w->client.left;
    height = w->client.bottom - w->client.top;
    return true;
}

HWND WindowOfNative(host::WindowId id) {
    if (id == 0) return nullptr;
    for (HWND t : TopLevels())
        if (Window* w = Lookup(t); w && w->native == id) return t;
    return nullptr;
}

bool ClientOriginInTopLevel(HWND window, int& x, int& y) {
    Window* w = Lookup(window);
    Window* top = Lookup(TopLevelOf(window));
    if (!w || !top) return false;
    POINT a = ClientOriginOnScreen(*w), b = ClientOriginOnScreen(*top);
    x = a.x - b.x;
    y = a.y - b.y;
    return true;
}

std::vector<HWND> VisibleChildren(HWND window) {
    std::vector<HWND> out;
    Window* w = Lookup(window);
    if (!w) return out;
    for (auto it = w->children.rbegin(); it != w->children.rend(); ++it)
        if (Window* c = Lookup(*it); c && (c->style & WS_VISIBLE)) out.push_back(*it);
    return out;
}

bool IsShownWindow(HWND window) {
    Window* w = Lookup(window);
    return w && IsShown(*w);
}

} // namespace qv::user
