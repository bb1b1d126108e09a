// A window's device context (GetDC) and the screen's (GetDC(NULL)). Each
// call gives a DC of its own that ReleaseDC gives back.
#include <vector>

#include "gdi/dc_table.h"
#include "user/window_internal.h"

namespace qv::gdi {

namespace {

bool WindowAlive(HWND window) {
    int w, h;
    return user::ClientSize(window, w, h);
}

// Win32 frees the DCs of a window when the window goes; ours go at the next
// GetDC, so the live-object counts come back to where they were.
void DropDCsOfDeadWindows() {
    std::vector<uintptr_t> dead;
    DCs().ForEach([&](uintptr_t handle, const DeviceContext& dc) {
        if (dc.kind == DCKind::Window && !WindowAlive(dc.window)) dead.push_back(handle);
    });
    for (uintptr_t h : dead)
        DCs().Remove(h);
}

} // namespace

} // namespace qv::gdi

using namespace qv;

extern "C" HDC WINAPI GetDC(HWND hWnd) {
    gdi::DropDCsOfDeadWindows();
    gdi::DeviceContext dc;
    if (!hWnd) {
        dc.kind = gdi::DCKind::Screen;
    } else {
        if (!gdi::WindowAlive(hWnd)) return nullptr;
        dc.kind = gdi::DCKind::Window;
        dc.window = hWnd;
    }
    return gdi::AddDC(dc);
}

extern "C" int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
    gdi::DeviceContext* dc = gdi::LookupDC(hDC);
    if (!dc) return 0;
    switch (dc->kind) {
    case gdi::DCKind::Screen:
        if (hWnd) return 0;
        gdi::RemoveDC(hDC);
        return 1;
    case gdi::DCKind::Window:
        if (dc->window != hWnd) return 0;
        // A window that has gone took its DC with it: the handle goes too,
        // but the call fails as it does on a destroyed window.
        {
            bool alive = gdi::WindowAlive(hWnd);
            gdi::RemoveDC(hDC);
            return alive ? 1 : 0;
        }
    case gdi::DCKind::Memory:
        return 0; // those go through DeleteDC
    }
    return 0;
}
