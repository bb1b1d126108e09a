// Windows: creation with WM_NCCREATE and WM_CREATE inside the call,
// destruction with WM_DESTROY to the window and then its descendants, and
// the tree of parents, children and owners.
#include <algorithm>
#include <cstring>

#include "common/cp1252.h"
#include "common/fault.h"
#include "user/user_state.h"

namespace qv::user {

HandleTable<Window>& Windows() {
    static HandleTable<Window> table(HandleKind::Window);
    return table;
}

std::vector<HWND>& TopLevels() {
    static std::vector<HWND> tops;
    return tops;
}

Window* Checked(HWND hwnd) {
    Window* w = Lookup(hwnd);
    if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

host::WindowDesc NativeDescFor(const Window& w) {
    host::WindowDesc d;
    d.title_utf8 = Cp1252ToUtf8(w.text);
    d.x = w.client.left;
    d.y = w.client.top;
    // A native window cannot be empty; the layer's own model keeps the
    // true size.
    d.width = std::max<LONG>(1, w.client.right - w.client.left);
    d.height = std::max<LONG>(1, w.client.bottom - w.client.top);
    d.decorated = (w.style & WS_CAPTION) == WS_CAPTION;
    d.visible = (w.style & WS_VISIBLE) != 0;
    return d;
}

void SyncNativeBounds(Window& w) {
    if (!w.native) return;
    host::WindowDesc d = NativeDescFor(w);
    host::SetNativeBounds(w.native, d.x, d.y, d.width, d.height);
}

namespace {

bool IsTopLevel(const Window& w) {
    return (w.style & WS_CHILD) == 0;
}

// Overlapped windows at CW_USEDEFAULT cascade down the screen as they do on
// a desktop; pop-ups and children go to (0, 0).
POINT NextDefaultPosition() {
    static int n = 0;
    int step = 26 * (n++ % 8 + 1);
    return {step, step};
}

void Unlink(Window& w) {
    auto drop = [&](std::vector<HWND>& v) {
        v.erase(std::remove(v.begin(), v.end(), w.self), v.end());
    };
    if (Window* p = Lookup(w.parent)) drop(p->children);
    drop(TopLevels());
}

// WM_DESTROY to the window, then to each descendant.
void SendDestroy(HWND hwnd) {
    Window* w = Lookup(hwnd);
    if (!w || w->destroying) return;
    w->destroying = true;
    Send(hwnd, WM_DESTROY, 0, 0);
    w = Lookup(hwnd);
    if (!w) return;
    std::vector<HWND> kids = w->children;
    for (HWND c : kids)
        SendDestroy(c);
}

// Children go first, then the window itself receives WM_NCDESTROY and its
// handle goes stale.
void FinishDestroy(HWND hwnd) {
    Window* w = Lookup(hwnd);
    if (!w) return;
    if (!w->destroying) SendDestroy(hwnd); // a child made during WM_DESTROY
    w = Lookup(hwnd);
    if (!w) return;
    while (!w->children.empty()) {
        HWND c = w->children.front();
        FinishDestroy(c);
        w = Lookup(hwnd);
        if (!w) return;
        if (!w->children.empty() && w->children.front() == c)
            w->children.erase(w->children.begin());
    }
    if (w->created) Send(hwnd, WM_NCDESTROY, 0, 0);
    w = Lookup(hwnd);
    if (!w) return;
    Unlink(*w);
    PurgeQueueFor(hwnd);
    ResetInputStateFor(hwnd);
    for (Property& p : w->props)
        if (p.owns_atom) DeleteAtom(p.atom);
    if (w->native) host::DestroyNativeWindow(w->native);
    w->cls->windows--;
    Windows().Remove(HandleValue(hwnd));
}

void Destroy(HWND hwnd) {
    Window* w = Lookup(hwnd);
    if (!w) return;
    // Owned windows go before their owner.
    std::vector<HWND> owned;
    for (HWND t : TopLevels())
        if (Window* o = Lookup(t); o && o->owner == hwnd) owned.push_back(t);
    for (HWND o : owned)
        DestroyWindow(o);
    w = Lookup(hwnd);
    if (!w || w->destroying) return;
    // Hidden first, without WM_SHOWWINDOW, as Win32 does.
    if (w->style & WS_VISIBLE) {
        w->style &= ~DWORD(WS_VISIBLE);
        if (w->native) host::ShowNativeWindow(w->native, false);
        if ((w->style & WS_CHILD))
            if (Window* p = Lookup(w->parent)) Invalidate(*p, &w->rect, true, false);
    }
    ForgetWindow(hwnd);
    SendDestroy(hwnd);
    FinishDestroy(hwnd);
}

// A window that refused WM_NCCREATE never saw WM_CREATE: it gets no
// WM_DESTROY either, only WM_NCDESTROY.
void DestroyRefused(HWND hwnd) {
    if (Window* w = Lookup(hwnd)) {
        w->destroying = true;
        FinishDestroy(hwnd);
    }
}

} // namespace

bool IsShown(const Window& w) {
    const Window* p = &w;
    while (p) {
        if (!(p->style & WS_VISIBLE)) return false;
        if (!(p->style & WS_CHILD)) return true;
        p = Lookup(p->parent);
    }
    return false;
}

POINT ClientOriginOnScreen(const Window& w) {
    POINT pt{w.client.left, w.client.top};
    const Window* p = &w;
    while (p->style & WS_CHILD) {
        p = Lookup(p->parent);
        if (!p) break;
        pt.x += p->client.left;
        pt.y += p->client.top;
    }
    return pt;
}

HWND ChildAt(HWND top, POINT pt) {
    Window* w = Lookup(top);
    if (!w) return nullptr;
    for (HWND c : w->children) {
        Window* cw = Lookup(c);
        if (!cw || !(cw->style & WS_VISIBLE) || (cw->style & WS_DISABLED)) continue;
        if (PtInRect(&cw->rect, pt))
            return ChildAt(c, POINT{pt.x - cw->client.left, pt.y - cw->client.top});
    }
    return top;
}

} // namespace qv::user

using namespace qv::user;
namespace host = qv::host;

extern "C" HWND WINAPI CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR title, DWORD style,
                                       int x, int y, int width, int height, HWND parent_hwnd,
                                       HMENU menu, HINSTANCE instance, LPVOID param) {
    if (qv::ShouldFail("CreateWindowExA")) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    WindowClass* cls = class_name ? FindClass(class_name) : nullptr;
    if (!cls) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    bool child = (style & WS_CHILD) != 0;
    Window* parent = nullptr;
    if (child && parent_hwnd == nullptr) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }
    if (parent_hwnd != nullptr && !(parent = Checked(parent_hwnd))) return nullptr;
    if (parent && parent->destroying) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    // Overlapped windows always get a caption, as in Win32.
    if (!child && !(style & WS_POPUP)) style |= WS_CAPTION | WS_CLIPSIBLINGS;

    bool overlapped = !child && !(style & WS_POPUP);
    if (x == CW_USEDEFAULT) {
        POINT p = overlapped ? NextDefaultPosition() : POINT{0, 0};
        x = p.x, y = p.y;
    } else if (y == CW_USEDEFAULT) {
        y = 0;
    }
    if (width == CW_USEDEFAULT) {
        if (overlapped) {
            int sw, sh;
            host::GetScreenSize(sw, sh);
            width = sw * 3 / 4, height = sh * 3 / 4;
        } else {
            width = height = 0;
        }
    }
    width = std::max(width, 0);
    height = std::max(height, 0);

    auto owned = std::make_unique<Window>();
    Window* w = owned.get();
    uintptr_t value = Windows().Add(std::move(owned));
    if (value == 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    HWND hwnd = qv::HandleFrom<HWND>(value);
    w->self = hwnd;
    w->cls = cls;
    cls->windows++;
    bool want_visible = (style & WS_VISIBLE) != 0;
    // The window becomes visible at the end of creation, as in Win32.
    w->style = style & ~DWORD(WS_VISIBLE);
    w->ex_style = ex_style;
    w->proc = cls->proc;
    w->instance = instance;
    w->extra.assign(size_t(cls->wnd_extra), 0);
    if (child) {
        w->parent = parent_hwnd;
        w->id = LONG_PTR(reinterpret_cast<uintptr_t>(menu));
        parent->children.insert(parent->children.begin(), hwnd);
    } else {
        w->menu = menu;
        if (parent) w->owner = TopLevelOf(parent_hwnd);
        TopLevels().insert(TopLevels().begin(), hwnd);
    }
    w->rect = {x, y, x + width, y + height};
    RECT in = FrameInsets(w->style, ex_style);
    w->client = {x + in.left, y + in.top, std::max(x + in.left, x + width - in.right),
                 std::max(y + in.top, y + height - in.bottom)};
    // The native window exists before WM_CREATE, so a window procedure may
    // set up OpenGL there, as Win32 programs do.
    if (!child) w->native = host::CreateNativeWindow(NativeDescFor(*w));

    CREATESTRUCTA cs{};
    cs.lpCreateParams = param;
    cs.hInstance = instance;
    cs.hMenu = menu;
    cs.hwndParent = parent_hwnd;
    cs.cx = width;
    cs.cy = height;
    cs.x = x;
    cs.y = y;
    cs.style = LONG(style);
    cs.lpszName = title;
    cs.lpszClass = class_name;
    cs.dwExStyle = ex_style;

    LRESULT ok = Send(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs));
    w = Lookup(hwnd);
    if (!w) return nullptr;
    w->created = true;
    if (!ok) {
        DestroyRefused(hwnd);
        return nullptr;
    }
    if (Send(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (!(w = Lookup(hwnd))) return nullptr;
    Send(hwnd, WM_SIZE, SIZE_RESTORED,
         MAKELPARAM(w->client.right - w->client.left, w->client.bottom - w->client.top));
    if (!(w = Lookup(hwnd))) return nullptr;
    Send(hwnd, WM_MOVE, 0, MAKELPARAM(w->client.left, w->client.top));
    if (!(w = Lookup(hwnd))) return nullptr;
    if (want_visible) ShowWindow(hwnd, child ? SW_SHOWNA : SW_SHOW);
    return Lookup(hwnd) ? hwnd : nullptr;
}

extern "C" BOOL WINAPI DestroyWindow(HWND hwnd) {
    Window* w = Checked(hwnd);
    if (!w) return FALSE;
    // Asked again while WM_DESTROY runs: the destruction under way finishes it.
    if (!w->destroying) Destroy(hwnd);
    return TRUE;
}

extern "C" BOOL WINAPI IsWindow(HWND hwnd) {
    return Lookup(hwnd) != nullptr;
}

extern "C" BOOL WINAPI IsWindowVisible(HWND hwnd) {
    Window* w = Lookup(hwnd);
    return w && IsShown(*w);
}

extern "C" BOOL WINAPI IsWindowEnabled(HWND hwnd) {
    Window* w = Checked(hwnd);
    return w && !(w->style & WS_DISABLED);
}

extern "C" BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable) {
    Window* w = Checked(hwnd);
    if (!w) return FALSE;
    BOOL was_disabled = (w->style & WS_DISABLED) != 0;
    if (bool(enable) == !was_disabled) return was_disabled;
    if (enable) {
        w->style &= ~DWORD(WS_DISABLED);
    } else {
        w->style |= WS_DISABLED;
        HWND f = FocusWindow();
        if (f && (f == hwnd || IsChild(hwnd, f))) SetFocus(nullptr);
        if (CaptureWindow() == hwnd) ReleaseCapture();
    }
    Send(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return was_disabled;
}

extern "C" BOOL WINAPI IsChild(HWND parent, HWND hwnd) {
    Window* w = Lookup(hwnd);
    if (!w || !Lookup(parent)) return FALSE;
    while (w && (w->style & WS_CHILD)) {
        if (w->parent == parent) return TRUE;
        w = Lookup(w->parent);
    }
    return FALSE;
}

extern "C" BOOL WINAPI ShowWindow(HWND hwnd, int cmd) {
    Window* w = Checked(hwnd);
    if (!w) return FALSE;
    if (cmd < SW_HIDE || cmd > SW_MAX) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    BOOL was_visible = (w->style & WS_VISIBLE) != 0;
    bool top = IsTopLevel(*w);
    if (cmd == SW_HIDE) {
        if (!was_visible) return FALSE;
        Send(hwnd, WM_SHOWWINDOW, FALSE, 0);
        if (!(w = Lookup(hwnd))) return was_visible;
        w->style &= ~DWORD(WS_VISIBLE);
        w->update = RECT{};
        if (top) {
            if (w->native) host::ShowNativeWindow(w->native, false);
            LeaveActivation(hwnd);
        } else {
            HWND f = FocusWindow();
            if (f && (f == hwnd || IsChild(hwnd, f))) SetFocus(w->parent);
            if (Window* p = Lookup(w->parent)) Invalidate(*p, &w->rect, true, false);
        }
        return was_visible;
    }
    switch (cmd) {
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
        w->style = (w->style | WS_MINIMIZE) & ~DWORD(WS_MAXIMIZE);
        break;
    case SW_MAXIMIZE:
        w->style = (w->style | WS_MAXIMIZE) & ~DWORD(WS_MINIMIZE);
        break;
    default:
        w->style &= ~DWORD(WS_MINIMIZE | WS_MAXIMIZE);
        break;
    }
    if (!was_visible) {
        Send(hwnd, WM_SHOWWINDOW, TRUE, 0);
        if (!(w = Lookup(hwnd))) return was_visible;
        w->style |= WS_VISIBLE;
        if (top) {
            if (!w->native)
                w->native = host::CreateNativeWindow(NativeDescFor(*w));
            else
                host::ShowNativeWindow(w->native, true);
        }
        Invalidate(*w, nullptr, true, true);
    }
    bool activate = top && cmd != SW_SHOWNOACTIVATE && cmd != SW_SHOWNA &&
                    cmd != SW_SHOWMINNOACTIVE && cmd != SW_MINIMIZE && cmd != SW_FORCEMINIMIZE &&
                    !(w->ex_style & WS_EX_NOACTIVATE);
    if (activate) Activate(hwnd, false, true);
    return was_visible;
}

extern "C" HWND WINAPI GetParent(HWND hwnd) {
    Window* w = Checked(hwnd);
    if (!w) return nullptr;
    if (w->style & WS_CHILD) return w->parent;
    // Win32 answers with the owner for an owned pop-up.
    return (w->style & WS_POPUP) ? w->owner : nullptr;
}

extern "C" HWND WINAPI GetAncestor(HWND hwnd, UINT flags) {
    Window* w = Checked(hwnd);
    if (!w) return nullptr;
    switch (flags) {
    case GA_PARENT:
        return (w->style & WS_CHILD) ? w->parent : nullptr;
    case GA_ROOT:
        return TopLevelOf(hwnd);
    case GA_ROOTOWNER: {
        HWND h = TopLevelOf(hwnd);
        while (Window* t = Lookup(h)) {
            if (!t->owner) break;
            h = t->owner;
        }
        return h;
    }
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

extern "C" HWND WINAPI GetWindow(HWND hwnd, UINT cmd) {
    Window* w = Checked(hwnd);
    if (!w) return nullptr;
    if (cmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
    if (cmd == GW_OWNER) return (w->style & WS_CHILD) ? nullptr : w->owner;
    Window* p = (w->style & WS_CHILD) ? Lookup(w->parent) : nullptr;
    const std::vector<HWND>& sib = p ? p->children : TopLevels();
    auto it = std::find(sib.begin(), sib.end(), hwnd);
    switch (cmd) {
    case GW_HWNDFIRST:
        return sib.empty() ? nullptr : sib.front();
    case GW_HWNDLAST:
        return sib.empty() ? nullptr : sib.back();
    case GW_HWNDNEXT:
        return (it == sib.end() || it + 1 == sib.end()) ? nullptr : *(it + 1);
    case GW_HWNDPREV:
        return (it == sib.end() || it == sib.begin()) ? nullptr : *(it - 1);
    default:
        SetLastError(ERROR_INVALID_GW_COMMAND);
        return nullptr;
    }
}

extern "C" int WINAPI GetDlgCtrlID(HWND hwnd) {
    Window* w = Checked(hwnd);
    if (!w) return 0;
    return (w->style & WS_CHILD) ? int(w->id) : 0;
}

extern "C" HWND WINAPI GetDlgItem(HWND parent, int id) {
    Window* p = Checked(parent);
    if (!p) return nullptr;
    for (HWND c : p->children)
        if (Window* cw = Lookup(c); cw && int(cw->id) == id) return c;
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

extern "C" HWND WINAPI FindWindowA(LPCSTR class_name, LPCSTR title) {
    WindowClass* cls = nullptr;
    if (class_name && !(cls = FindClass(class_name))) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    for (HWND t : TopLevels()) {
        Window* w = Lookup(t);
        if (!w || (cls && w->cls != cls)) continue;
        if (title && w->text != title) continue;
        return t;
    }
    return nullptr;
}
