// Software surfaces of windows: where GDI drawing into a window's DC lands
// (child windows such as image buttons and the status bar are the layer's
// own surfaces). The user group sizes a window's surface when its client
// area changes and drops it when the window goes; the compositor reads it.
// A window without a surface discards what is drawn into its DCs.
#pragma once

#include <windows.h>

#include "gdi/objects.h"

namespace qv::gdi {

// The window's surface (32 bits, top row first), or nullptr.
Bitmap* WindowSurface(HWND window);
// Makes or resizes the surface, keeping what fits; a size of 0 drops it.
// False when the size is refused (too large).
bool ResizeWindowSurface(HWND window, int width, int height);
void DropWindowSurface(HWND window);

} // namespace qv::gdi
