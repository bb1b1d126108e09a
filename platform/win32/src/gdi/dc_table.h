// Device contexts. One table for every kind of DC: a window's DC (GetDC),
// memory DCs (CreateCompatibleDC) and the screen DC (GetDC(NULL)). The GDI
// selects objects into them; WGL keeps the window's pixel format on them.
#pragma once

#include <windows.h>

#include "common/handle_table.h"

namespace qv::gdi {

enum class DCKind { Window, Memory, Screen };

struct DeviceContext {
    DCKind kind = DCKind::Memory;
    HWND window = nullptr; // Window DCs: the window they draw into

    // Objects selected into the DC; NULL where the DC still holds its
    // default (stock) object. Memory DCs start with a 1 by 1 monochrome
    // bitmap selected, like Win32's.
    HBITMAP bitmap = nullptr;
    HPALETTE palette = nullptr;
    HBRUSH brush = nullptr;
    HPEN pen = nullptr;
    HFONT font = nullptr;
    HRGN clip = nullptr;
};

HandleTable<DeviceContext>& DCs();

inline DeviceContext* LookupDC(HDC dc) {
    return DCs().Get(HandleValue(dc));
}
HDC AddDC(const DeviceContext& dc);
// Removes the DC from the table; the caller releases what was selected.
bool RemoveDC(HDC dc);

} // namespace qv::gdi
