// Window classes: registered once per name (compared without regard to
// case), named by their string or their atom, and kept while any window of
// the class lives.
#include <cstring>

#include "common/fault.h"
#include "user/user_state.h"

namespace qv::user {

namespace {
std::vector<std::unique_ptr<WindowClass>>& Classes() {
    static std::vector<std::unique_ptr<WindowClass>> classes;
    return classes;
}

// Win32 rejects extra-byte counts it cannot reserve.
constexpr int kMaxExtraBytes = 40000;

bool InstanceMatches(const WindowClass& c, HINSTANCE instance) {
    return instance == nullptr || instance == c.instance || c.instance == nullptr;
}

ATOM Register(const WNDCLASSEXA& wc) {
    if (wc.lpszClassName == nullptr || wc.lpfnWndProc == nullptr || wc.cbClsExtra < 0 ||
        wc.cbWndExtra < 0 || wc.cbClsExtra > kMaxExtraBytes || wc.cbWndExtra > kMaxExtraBytes ||
        (!IS_INTRESOURCE(wc.lpszClassName) && wc.lpszClassName[0] == '\0')) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (FindClass(wc.lpszClassName)) {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    ATOM atom = AddAtom(wc.lpszClassName);
    if (atom == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto c = std::make_unique<WindowClass>();
    c->atom = atom;
    AtomName(atom, c->name);
    c->style = wc.style;
    c->proc = wc.lpfnWndProc;
    c->cls_extra = wc.cbClsExtra;
    c->wnd_extra = wc.cbWndExtra;
    c->extra.assign(size_t(wc.cbClsExtra), 0);
    c->instance = wc.hInstance;
    c->icon = wc.hIcon;
    c->icon_small = wc.hIconSm;
    c->cursor = wc.hCursor;
    c->background = wc.hbrBackground;
    if (wc.lpszMenuName && !IS_INTRESOURCE(wc.lpszMenuName)) c->menu_name = wc.lpszMenuName;
    Classes().push_back(std::move(c));
    return atom;
}

void Fill(const WindowClass& c, WNDCLASSEXA& out) {
    UINT size = out.cbSize; // Win32 leaves cbSize as the caller set it
    std::memset(&out, 0, sizeof out);
    out.cbSize = size;
    out.style = c.style;
    out.lpfnWndProc = c.proc;
    out.cbClsExtra = c.cls_extra;
    out.cbWndExtra = c.wnd_extra;
    out.hInstance = c.instance;
    out.hIcon = c.icon;
    out.hIconSm = c.icon_small;
    out.hCursor = c.cursor;
    out.hbrBackground = c.background;
    out.lpszMenuName = c.menu_name.empty() ? nullptr : c.menu_name.c_str();
    out.lpszClassName = c.name.c_str();
}
} // namespace

WindowClass* FindClass(LPCSTR name_or_atom) {
    ATOM atom = FindAtom(name_or_atom);
    if (atom == 0) return nullptr;
    for (auto& c : Classes())
        if (c->atom == atom) return c.get();
    return nullptr;
}

} // namespace qv::user

using namespace qv::user;

extern "C" ATOM WINAPI RegisterClassA(const WNDCLASSA* wc) {
    if (qv::ShouldFail("RegisterClassA")) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    if (wc == nullptr) {
        SetLastError(ERROR_NOACCESS);
        return 0;
    }
    WNDCLASSEXA ex{};
    ex.cbSize = sizeof ex;
    ex.style = wc->style;
    ex.lpfnWndProc = wc->lpfnWndProc;
    ex.cbClsExtra = wc->cbClsExtra;
    ex.cbWndExtra = wc->cbWndExtra;
    ex.hInstance = wc->hInstance;
    ex.hIcon = wc->hIcon;
    ex.hCursor = wc->hCursor;
    ex.hbrBackground = wc->hbrBackground;
    ex.lpszMenuName = wc->lpszMenuName;
    ex.lpszClassName = wc->lpszClassName;
    return Register(ex);
}

extern "C" ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc) {
    if (qv::ShouldFail("RegisterClassExA")) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
    if (wc == nullptr) {
        SetLastError(ERROR_NOACCESS);
        return 0;
    }
    if (wc->cbSize != sizeof(WNDCLASSEXA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Register(*wc);
}

extern "C" BOOL WINAPI GetClassInfoExA(HINSTANCE instance, LPCSTR name, LPWNDCLASSEXA out) {
    if (out == nullptr || name == nullptr) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    WindowClass* c = FindClass(name);
    if (c == nullptr || !InstanceMatches(*c, instance)) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    Fill(*c, *out);
    // Win32 answers with the class atom.
    return BOOL(c->atom);
}

extern "C" BOOL WINAPI GetClassInfoA(HINSTANCE instance, LPCSTR name, LPWNDCLASSA out) {
    if (out == nullptr) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    WNDCLASSEXA ex{};
    ex.cbSize = sizeof ex;
    BOOL atom = GetClassInfoExA(instance, name, &ex);
    if (!atom) return FALSE;
    out->style = ex.style;
    out->lpfnWndProc = ex.lpfnWndProc;
    out->cbClsExtra = ex.cbClsExtra;
    out->cbWndExtra = ex.cbWndExtra;
    out->hInstance = ex.hInstance;
    out->hIcon = ex.hIcon;
    out->hCursor = ex.hCursor;
    out->hbrBackground = ex.hbrBackground;
    out->lpszMenuName = ex.lpszMenuName;
    out->lpszClassName = ex.lpszClassName;
    return atom;
}

extern "C" BOOL WINAPI UnregisterClassA(LPCSTR name, HINSTANCE instance) {
    WindowClass* c = name ? FindClass(name) : nullptr;
    if (c == nullptr || !InstanceMatches(*c, instance)) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (c->windows > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    auto& all = Classes();
    for (auto it = all.begin(); it != all.end(); ++it)
        if (it->get() == c) {
            DeleteAtom(c->atom);
            all.erase(it);
            break;
        }
    return TRUE;
}

extern "C" int WINAPI GetClassNameA(HWND hwnd, LPSTR out, int size) {
    Window* w = Checked(hwnd);
    if (!w) return 0;
    if (out == nullptr || size <= 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::string& name = w->cls->name;
    size_t n = name.size() < size_t(size) ? name.size() : size_t(size) - 1;
    std::memcpy(out, name.data(), n);
    out[n] = '\0';
    return int(n);
}

extern "C" ULONG_PTR WINAPI GetClassLongPtrA(HWND hwnd, int index) {
    Window* w = Checked(hwnd);
    if (!w) return 0;
    WindowClass& c = *w->cls;
    if (index >= 0) {
        if (size_t(index) + sizeof(ULONG_PTR) > c.extra.size()) {
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
        }
        ULONG_PTR v;
        std::memcpy(&v, c.extra.data() + index, sizeof v);
        return v;
    }
    switch (index) {
    case GCL_STYLE:
        return c.style;
    case GCLP_WNDPROC:
        return reinterpret_cast<ULONG_PTR>(c.proc);
    case GCL_CBCLSEXTRA:
        return ULONG_PTR(c.cls_extra);
    case GCL_CBWNDEXTRA:
        return ULONG_PTR(c.wnd_extra);
    case GCLP_HMODULE:
        return reinterpret_cast<ULONG_PTR>(c.instance);
    case GCLP_HICON:
        return reinterpret_cast<ULONG_PTR>(c.icon);
    case GCLP_HICONSM:
        return reinterpret_cast<ULONG_PTR>(c.icon_small);
    case GCLP_HCURSOR:
        return reinterpret_cast<ULONG_PTR>(c.cursor);
    case GCLP_HBRBACKGROUND:
        return reinterpret_cast<ULONG_PTR>(c.background);
    case GCW_ATOM:
        return c.atom;
    default:
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
}

extern "C" ULONG_PTR WINAPI SetClassLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    Window* w = Checked(hwnd);
    if (!w) return 0;
    WindowClass& c = *w->cls;
    ULONG_PTR old = GetClassLongPtrA(hwnd, index);
    if (index >= 0) {
        if (size_t(index) + sizeof(ULONG_PTR) > c.extra.size()) return 0;
        std::memcpy(c.extra.data() + index, &value, sizeof value);
        return old;
    }
    switch (index) {
    case GCL_STYLE:
        c.style = UINT(value);
        break;
    case GCLP_WNDPROC:
        if (value == 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        c.proc = reinterpret_cast<WNDPROC>(value);
        break;
    case GCLP_HICON:
        c.icon = reinterpret_cast<HICON>(value);
        break;
    case GCLP_HICONSM:
        c.icon_small = reinterpret_cast<HICON>(value);
        break;
    case GCLP_HCURSOR:
        c.cursor = reinterpret_cast<HCURSOR>(value);
        break;
    case GCLP_HBRBACKGROUND:
        c.background = reinterpret_cast<HBRUSH>(value);
        break;
    case GCLP_HMODULE:
        c.instance = reinterpret_cast<HINSTANCE>(value);
        break;
    default:
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    return old;
}
