// LoadImageA for bitmaps from files. Cursors and icons are loaded by the
// user group (LoadCursorFromFileA); resources are not supported here, as the
// layer has no resource section.
#include <windows.h>

#include "gdi/bmp_decode.h"

using namespace qv;
using namespace qv::gdi;

extern "C" HANDLE WINAPI LoadImageA(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy,
                                    UINT fuLoad) {
    (void)hInst; // a file name needs no module
    if (type != IMAGE_BITMAP || !(fuLoad & LR_LOADFROMFILE) || !name || IS_INTRESOURCE(name))
        return nullptr;
    int first_index = -1;
    auto bm = LoadBmpFile(name, &first_index);
    if (!bm) return nullptr;
    // Stretching on load is not offered: a requested size other than the
    // file's own (0 keeps it) fails rather than handing back another size.
    if ((cx != 0 && cx != bm->width) || (cy != 0 && cy != bm->height)) return nullptr;
    if ((fuLoad & LR_LOADTRANSPARENT) && first_index >= 0 &&
        size_t(first_index) < bm->colors.size()) {
        // Only pictures with a colour table change: the entry the first
        // pixel uses takes the window colour.
        COLORREF c = GetSysColor(COLOR_WINDOW);
        bm->colors[size_t(first_index)] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
    }
    return AddBitmap(std::move(bm));
}
