// What the files of src/wgl/ share: the pixel format each window was
// given, and the test seam's record of requests and presented frames.
#pragma once

#include <windows.h>

#include "gdi/dc_table.h"

namespace qv::wgl {

// The window a DC draws into, when it is a window DC whose window still
// exists; NULL otherwise.
HWND LiveWindowOf(HDC dc);
// The format SetPixelFormat gave the window; 0 when none was set.
int WindowPixelFormat(HWND window);

void RecordRequest(const PIXELFORMATDESCRIPTOR& request);
void NotifyPresented(HWND window);

} // namespace qv::wgl
