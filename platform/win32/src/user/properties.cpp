// Window properties: named handles attached to a window. Names are atoms,
// so a string and its atom name the same property, without regard to case.
#include "user/user_state.h"

using namespace qv::user;

namespace {
Property* Find(Window& w, ATOM atom) {
    for (Property& p : w.props)
        if (p.atom == atom) return &p;
    return nullptr;
}
} // namespace

extern "C" BOOL WINAPI SetPropA(HWND hwnd, LPCSTR name, HANDLE data) {
    Window* w = Checked(hwnd);
    if (!w) return FALSE;
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (Property* p = Find(*w, FindAtom(name))) {
        p->data = data;
        return TRUE;
    }
    bool by_string = !IS_INTRESOURCE(name);
    ATOM atom = by_string ? AddAtom(name) : ATOM(reinterpret_cast<uintptr_t>(name));
    if (atom == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    w->props.push_back({atom, data, by_string});
    return TRUE;
}

extern "C" HANDLE WINAPI GetPropA(HWND hwnd, LPCSTR name) {
    Window* w = Checked(hwnd);
    if (!w || !name) return nullptr;
    ATOM atom = FindAtom(name);
    Property* p = atom ? Find(*w, atom) : nullptr;
    return p ? p->data : nullptr;
}

extern "C" HANDLE WINAPI RemovePropA(HWND hwnd, LPCSTR name) {
    Window* w = Checked(hwnd);
    if (!w || !name) return nullptr;
    ATOM atom = FindAtom(name);
    for (auto it = w->props.begin(); atom && it != w->props.end(); ++it)
        if (it->atom == atom) {
            HANDLE data = it->data;
            if (it->owns_atom) DeleteAtom(atom);
            w->props.erase(it);
            return data;
        }
    return nullptr;
}
