// What the rest of the layer (WGL, GDI, common controls) may ask about
// windows. Implemented by src/user/.
#pragma once

#include <windows.h>

#include <vector>

#include "host/host.h"

namespace qv::user {

// The host window that shows the window's client area, or 0 (child windows
// and hidden top-level windows may have none yet).
host::WindowId NativeWindowOf(HWND window);
// The top-level window the window belongs to (itself when top-level).
HWND TopLevelOf(HWND window);
// The client area's size in pixels; false for a stale handle.
bool ClientSize(HWND window, int& width, int& height);
// The window for a host window id, or NULL.
HWND WindowOfNative(host::WindowId id);

// For compositing child surfaces over their top-level window:
// The window's client origin in its top-level window's client coordinates;
// false for a stale handle.
bool ClientOriginInTopLevel(HWND window, int& x, int& y);
// The window's visible children, bottom of the z-order first (the order to
// draw them in).
std::vector<HWND> VisibleChildren(HWND window);
// The window and all its ancestors have WS_VISIBLE.
bool IsShownWindow(HWND window);

} // namespace qv::user
