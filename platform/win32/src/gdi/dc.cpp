// Memory DCs and the objects selected into any DC.
#include <windows.h>

#include "common/fault.h"
#include "gdi/dc_table.h"
#include "gdi/objects.h"

using namespace qv;
using namespace qv::gdi;

namespace {

// What a DC holds where its field is still NULL: the stock defaults.
HGDIOBJ Current(const DeviceContext& dc, HandleKind kind) {
    switch (kind) {
    case HandleKind::Bitmap:
        return dc.bitmap ? HGDIOBJ(dc.bitmap) : HGDIOBJ(StockBitmap());
    case HandleKind::Palette:
        return dc.palette ? HGDIOBJ(dc.palette) : Stock(DEFAULT_PALETTE);
    case HandleKind::Brush:
        return dc.brush ? HGDIOBJ(dc.brush) : Stock(WHITE_BRUSH);
    case HandleKind::Pen:
        return dc.pen ? HGDIOBJ(dc.pen) : Stock(BLACK_PEN);
    case HandleKind::Font:
        return dc.font ? HGDIOBJ(dc.font) : Stock(SYSTEM_FONT);
    default:
        return nullptr;
    }
}

// The DC, if any, that holds the bitmap.
bool SelectedElsewhere(HBITMAP bmp, HDC self) {
    bool found = false;
    DCs().ForEach([&](uintptr_t h, const DeviceContext& dc) {
        if (dc.bitmap == bmp && HandleFrom<HDC>(h) != self) found = true;
    });
    return found;
}

} // namespace

extern "C" {

HDC WINAPI CreateCompatibleDC(HDC hdc) {
    if (hdc && !LookupDC(hdc)) return nullptr;
    if (ShouldFail("CreateCompatibleDC")) return nullptr;
    DeviceContext dc;
    dc.kind = DCKind::Memory;
    return AddDC(dc);
}

BOOL WINAPI DeleteDC(HDC hdc) {
    DeviceContext* dc = LookupDC(hdc);
    // DCs of windows and of the screen go back through ReleaseDC/EndPaint.
    if (!dc || dc->kind != DCKind::Memory) return FALSE;
    return RemoveDC(hdc);
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
    DeviceContext* dc = LookupDC(hdc);
    if (!dc || !h) return nullptr;
    const HandleKind kind = handle_bits::KindOf(HandleValue(h));
    switch (kind) {
    case HandleKind::Bitmap: {
        Bitmap* bm = LookupBitmap(h);
        // Only memory DCs draw into bitmaps, and a bitmap is in one DC at a
        // time (the stock bitmap may sit in any number).
        if (!bm || dc->kind != DCKind::Memory) return nullptr;
        HBITMAP hb = static_cast<HBITMAP>(h);
        if (!bm->stock && SelectedElsewhere(hb, hdc)) return nullptr;
        HGDIOBJ old = Current(*dc, kind);
        dc->bitmap = bm->stock ? nullptr : hb;
        return old;
    }
    case HandleKind::Brush: {
        if (!LookupBrush(h)) return nullptr;
        HGDIOBJ old = Current(*dc, kind);
        dc->brush = static_cast<HBRUSH>(h);
        return old;
    }
    case HandleKind::Pen: {
        if (!Pens().Get(HandleValue(h))) return nullptr;
        HGDIOBJ old = Current(*dc, kind);
        dc->pen = static_cast<HPEN>(h);
        return old;
    }
    case HandleKind::Font: {
        if (!Fonts().Get(HandleValue(h))) return nullptr;
        HGDIOBJ old = Current(*dc, kind);
        dc->font = static_cast<HFONT>(h);
        return old;
    }
    case HandleKind::Region:
        // Clip regions are not kept: a region selected for clipping is
        // refused as an error rather than silently ignored.
        return LookupRegion(h) ? HGDI_ERROR : nullptr;
    default: // palettes go through SelectPalette, as in Win32
        return nullptr;
    }
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type) {
    DeviceContext* dc = LookupDC(hdc);
    if (!dc) return nullptr;
    switch (type) {
    case OBJ_BITMAP:
        // Only memory DCs hold bitmaps.
        return dc->kind == DCKind::Memory ? Current(*dc, HandleKind::Bitmap) : nullptr;
    case OBJ_PAL:
        return Current(*dc, HandleKind::Palette);
    case OBJ_BRUSH:
        return Current(*dc, HandleKind::Brush);
    case OBJ_PEN:
        return Current(*dc, HandleKind::Pen);
    case OBJ_FONT:
        return Current(*dc, HandleKind::Font);
    default:
        return nullptr;
    }
}

} // extern "C"
