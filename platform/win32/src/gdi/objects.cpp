#include "gdi/objects.h"

#include <cstdlib>
#include <cstring>

#include "gdi/dc_table.h"

namespace qv::gdi {

void Bitmap::Free::operator()(uint8_t* p) const {
    std::free(p);
}

Region::Region() {
    pixman_region32_init(&rgn);
}
Region::~Region() {
    pixman_region32_fini(&rgn);
}

HandleTable<Bitmap>& Bitmaps() {
    static HandleTable<Bitmap> table(HandleKind::Bitmap);
    return table;
}
HandleTable<Palette>& Palettes() {
    static HandleTable<Palette> table(HandleKind::Palette);
    return table;
}
HandleTable<Region>& Regions() {
    static HandleTable<Region> table(HandleKind::Region);
    return table;
}
HandleTable<Brush>& Brushes() {
    static HandleTable<Brush> table(HandleKind::Brush);
    return table;
}
HandleTable<Pen>& Pens() {
    static HandleTable<Pen> table(HandleKind::Pen);
    return table;
}
HandleTable<Font>& Fonts() {
    static HandleTable<Font> table(HandleKind::Font);
    return table;
}

uint64_t DibStride(uint64_t width, unsigned bpp) {
    if (width > uint64_t(kMaxDimension) * 4 || bpp > 32) return 0;
    return (width * bpp + 31) / 32 * 4;
}

bool AllocateBits(Bitmap& bm) {
    if (bm.width <= 0 || bm.height <= 0 || bm.width > kMaxDimension || bm.height > kMaxDimension)
        return false;
    if (uint64_t(bm.width) * uint64_t(bm.height) > kMaxPixels) return false;
    uint64_t stride = DibStride(uint64_t(bm.width), unsigned(bm.bpp));
    if (stride == 0) return false;
    bm.stride = size_t(stride);
    void* p = std::calloc(bm.Bytes(), 1);
    if (!p) return false;
    bm.bits.reset(static_cast<uint8_t*>(p));
    return true;
}

HBITMAP AddBitmap(std::unique_ptr<Bitmap> bm) {
    return HandleFrom<HBITMAP>(Bitmaps().Add(std::move(bm)));
}

// ---- stock objects -----------------------------------------------------------

namespace {

constexpr int kSysColors = 31;

// The system colours of the default desktop scheme.
constexpr COLORREF kSysColorValues[kSysColors] = {
    RGB(200, 200, 200), // COLOR_SCROLLBAR
    RGB(0, 0, 0),       // COLOR_BACKGROUND
    RGB(153, 180, 209), // COLOR_ACTIVECAPTION
    RGB(191, 205, 219), // COLOR_INACTIVECAPTION
    RGB(240, 240, 240), // COLOR_MENU
    RGB(255, 255, 255), // COLOR_WINDOW
    RGB(100, 100, 100), // COLOR_WINDOWFRAME
    RGB(0, 0, 0),       // COLOR_MENUTEXT
    RGB(0, 0, 0),       // COLOR_WINDOWTEXT
    RGB(0, 0, 0),       // COLOR_CAPTIONTEXT
    RGB(180, 180, 180), // COLOR_ACTIVEBORDER
    RGB(244, 247, 252), // COLOR_INACTIVEBORDER
    RGB(171, 171, 171), // COLOR_APPWORKSPACE
    RGB(0, 120, 215),   // COLOR_HIGHLIGHT
    RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
    RGB(240, 240, 240), // COLOR_BTNFACE
    RGB(160, 160, 160), // COLOR_BTNSHADOW
    RGB(109, 109, 109), // COLOR_GRAYTEXT
    RGB(0, 0, 0),       // COLOR_BTNTEXT
    RGB(0, 0, 0),       // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
    RGB(105, 105, 105), // COLOR_3DDKSHADOW
    RGB(227, 227, 227), // COLOR_3DLIGHT
    RGB(0, 0, 0),       // COLOR_INFOTEXT
    RGB(255, 255, 225), // COLOR_INFOBK
    RGB(0, 0, 0),       // (unused)
    RGB(0, 102, 204),   // COLOR_HOTLIGHT
    RGB(185, 209, 234), // COLOR_GRADIENTACTIVECAPTION
    RGB(215, 228, 242), // COLOR_GRADIENTINACTIVECAPTION
    RGB(0, 120, 215),   // COLOR_MENUHILIGHT
    RGB(240, 240, 240), // COLOR_MENUBAR
};

struct StockSet {
    HGDIOBJ objects[20] = {};
    HBITMAP bitmap = nullptr;
    HBRUSH sys_brushes[kSysColors] = {};
};

HBRUSH MakeBrush(UINT style, COLORREF color) {
    auto b = std::make_unique<Brush>();
    b->log.lbStyle = style;
    b->log.lbColor = color;
    b->stock = true;
    return HandleFrom<HBRUSH>(Brushes().Add(std::move(b)));
}

HPEN MakePen(UINT style, COLORREF color) {
    auto p = std::make_unique<Pen>();
    p->log.lopnStyle = style;
    p->log.lopnWidth.x = 1;
    p->log.lopnColor = color;
    p->stock = true;
    return HandleFrom<HPEN>(Pens().Add(std::move(p)));
}

// Fonts are placeholders: text is drawn by the controls themselves, but
// programs select and query the stock fonts.
HFONT MakeFont(LONG height, BYTE pitch, const char* face) {
    auto f = std::make_unique<Font>();
    f->log.lfHeight = height;
    f->log.lfWeight = 400;
    f->log.lfPitchAndFamily = pitch;
    std::strncpy(f->log.lfFaceName, face, LF_FACESIZE - 1);
    f->stock = true;
    return HandleFrom<HFONT>(Fonts().Add(std::move(f)));
}

// The 20 colours every palette device reserves; DEFAULT_PALETTE holds them.
constexpr PALETTEENTRY kStaticColors[20] = {
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
    {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
    {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
    {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
    {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
};

StockSet MakeStock() {
    StockSet s;
    s.objects[WHITE_BRUSH] = MakeBrush(BS_SOLID, RGB(255, 255, 255));
    s.objects[LTGRAY_BRUSH] = MakeBrush(BS_SOLID, RGB(192, 192, 192));
    s.objects[GRAY_BRUSH] = MakeBrush(BS_SOLID, RGB(128, 128, 128));
    s.objects[DKGRAY_BRUSH] = MakeBrush(BS_SOLID, RGB(64, 64, 64));
    s.objects[BLACK_BRUSH] = MakeBrush(BS_SOLID, RGB(0, 0, 0));
    s.objects[NULL_BRUSH] = MakeBrush(BS_NULL, 0);
    s.objects[WHITE_PEN] = MakePen(PS_SOLID, RGB(255, 255, 255));
    s.objects[BLACK_PEN] = MakePen(PS_SOLID, RGB(0, 0, 0));
    s.objects[NULL_PEN] = MakePen(PS_NULL, 0);
    s.objects[OEM_FIXED_FONT] = MakeFont(12, 1, "Terminal");
    s.objects[ANSI_FIXED_FONT] = MakeFont(12, 1, "Courier");
    s.objects[ANSI_VAR_FONT] = MakeFont(12, 2, "MS Sans Serif");
    s.objects[SYSTEM_FONT] = MakeFont(16, 2, "System");
    s.objects[DEVICE_DEFAULT_FONT] = MakeFont(16, 2, "System");
    s.objects[SYSTEM_FIXED_FONT] = MakeFont(16, 1, "Fixedsys");
    s.objects[DEFAULT_GUI_FONT] = MakeFont(-11, 2, "MS Shell Dlg");
    s.objects[DC_BRUSH] = MakeBrush(BS_SOLID, RGB(255, 255, 255));
    s.objects[DC_PEN] = MakePen(PS_SOLID, RGB(0, 0, 0));

    auto pal = std::make_unique<Palette>();
    pal->entries.assign(std::begin(kStaticColors), std::end(kStaticColors));
    pal->stock = true;
    s.objects[DEFAULT_PALETTE] = HandleFrom<HPALETTE>(Palettes().Add(std::move(pal)));

    auto bm = std::make_unique<Bitmap>();
    bm->width = bm->height = 1;
    bm->bpp = 1;
    bm->top_down = true;
    bm->stock = true;
    bm->colors = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    AllocateBits(*bm);
    s.bitmap = AddBitmap(std::move(bm));

    for (int i = 0; i < kSysColors; ++i)
        s.sys_brushes[i] = MakeBrush(BS_SOLID, kSysColorValues[i]);
    return s;
}

StockSet& Stocks() {
    static StockSet set = MakeStock();
    return set;
}

// Made before main so the stock objects are part of every live count.
[[maybe_unused]] const bool kStockReady = (Stocks(), true);

bool IsStock(HGDIOBJ h) {
    switch (handle_bits::KindOf(HandleValue(h))) {
    case HandleKind::Bitmap: {
        Bitmap* b = LookupBitmap(h);
        return b && b->stock;
    }
    case HandleKind::Palette: {
        Palette* p = LookupPalette(h);
        return p && p->stock;
    }
    case HandleKind::Brush: {
        Brush* b = LookupBrush(h);
        return b && b->stock;
    }
    case HandleKind::Pen: {
        Pen* p = Pens().Get(HandleValue(h));
        return p && p->stock;
    }
    case HandleKind::Font: {
        Font* f = Fonts().Get(HandleValue(h));
        return f && f->stock;
    }
    default:
        return false;
    }
}

template <typename T> int CopyOut(const T& value, int c, LPVOID pv) {
    if (!pv) return int(sizeof(T));
    if (c < int(sizeof(T))) return 0;
    std::memcpy(pv, &value, sizeof(T));
    return int(sizeof(T));
}

BITMAP DescribeBitmap(const Bitmap& b) {
    BITMAP bm{};
    bm.bmType = 0;
    bm.bmWidth = b.width;
    bm.bmHeight = b.height;
    // A DIB section reports its own 4-byte rows; other bitmaps the 2-byte
    // rounding Win32 gives device bitmaps.
    bm.bmWidthBytes = b.dib ? LONG(b.stride) : LONG((uint64_t(b.width) * b.bpp + 15) / 16 * 2);
    bm.bmPlanes = 1;
    bm.bmBitsPixel = WORD(b.bpp);
    bm.bmBits = b.dib ? b.bits.get() : nullptr;
    return bm;
}

} // namespace

HGDIOBJ Stock(int index) {
    if (index < 0 || index >= 20) return nullptr;
    return Stocks().objects[index];
}

HBITMAP StockBitmap() {
    return Stocks().bitmap;
}

HBRUSH SysColorBrush(int index) {
    if (index < 0 || index >= kSysColors || index == 25) return nullptr;
    return Stocks().sys_brushes[index];
}

bool IsSelected(HGDIOBJ h) {
    bool found = false;
    DCs().ForEach([&](uintptr_t, const DeviceContext& dc) {
        if (dc.bitmap == h || dc.palette == h || dc.brush == h || dc.pen == h || dc.font == h)
            found = true;
    });
    return found;
}

} // namespace qv::gdi

using namespace qv;
using namespace qv::gdi;

extern "C" {

HGDIOBJ WINAPI GetStockObject(int i) {
    return Stock(i);
}

DWORD WINAPI GetSysColor(int nIndex) {
    if (nIndex < 0 || nIndex >= kSysColors) return 0;
    return kSysColorValues[nIndex];
}

HBRUSH WINAPI GetSysColorBrush(int nIndex) {
    return SysColorBrush(nIndex);
}

HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* plbrush) {
    if (!plbrush) return nullptr;
    if (plbrush->lbStyle != BS_SOLID && plbrush->lbStyle != BS_NULL) return nullptr;
    auto b = std::make_unique<Brush>();
    b->log = *plbrush;
    b->log.lbHatch = 0;
    if (b->log.lbStyle == BS_NULL) b->log.lbColor = 0;
    return HandleFrom<HBRUSH>(Brushes().Add(std::move(b)));
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    LOGBRUSH lb{BS_SOLID, color & 0x00FFFFFF, 0};
    return CreateBrushIndirect(&lb);
}

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv) {
    if (pv && c < 0) return 0;
    switch (handle_bits::KindOf(HandleValue(h))) {
    case HandleKind::Bitmap: {
        const Bitmap* b = LookupBitmap(h);
        if (!b) return 0;
        BITMAP bm = DescribeBitmap(*b);
        if (b->dib && (!pv || c >= int(sizeof(DIBSECTION)))) {
            DIBSECTION ds{};
            ds.dsBm = bm;
            ds.dsBmih = b->info;
            if (b->bpp == 16 || b->bpp == 32)
                for (int i = 0; i < 3; ++i)
                    ds.dsBitfields[i] = b->masks[i];
            return CopyOut(ds, c, pv);
        }
        return CopyOut(bm, c, pv);
    }
    case HandleKind::Palette: {
        const Palette* p = LookupPalette(h);
        if (!p) return 0;
        return CopyOut(WORD(p->entries.size()), c, pv);
    }
    case HandleKind::Brush: {
        const Brush* b = LookupBrush(h);
        return b ? CopyOut(b->log, c, pv) : 0;
    }
    case HandleKind::Pen: {
        const Pen* p = Pens().Get(HandleValue(h));
        return p ? CopyOut(p->log, c, pv) : 0;
    }
    case HandleKind::Font: {
        const Font* f = Fonts().Get(HandleValue(h));
        return f ? CopyOut(f->log, c, pv) : 0;
    }
    default: // regions and DCs have no description
        return 0;
    }
}

DWORD WINAPI GetObjectType(HGDIOBJ h) {
    uintptr_t v = HandleValue(h);
    switch (handle_bits::KindOf(v)) {
    case HandleKind::Bitmap:
        return LookupBitmap(h) ? OBJ_BITMAP : 0;
    case HandleKind::Palette:
        return LookupPalette(h) ? OBJ_PAL : 0;
    case HandleKind::Region:
        return LookupRegion(h) ? OBJ_REGION : 0;
    case HandleKind::Brush:
        return LookupBrush(h) ? OBJ_BRUSH : 0;
    case HandleKind::Pen:
        return Pens().Get(v) ? OBJ_PEN : 0;
    case HandleKind::Font:
        return Fonts().Get(v) ? OBJ_FONT : 0;
    case HandleKind::DC: {
        const DeviceContext* dc = LookupDC(HandleFrom<HDC>(v));
        if (!dc) return 0;
        return dc->kind == DCKind::Memory ? OBJ_MEMDC : OBJ_DC;
    }
    default:
        return 0;
    }
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
    uintptr_t v = HandleValue(ho);
    if (IsStock(ho)) return TRUE;
    // An object still selected into a DC stays: the DC would otherwise draw
    // with freed memory. Regions are never selected (clip regions are copies).
    switch (handle_bits::KindOf(v)) {
    case HandleKind::Bitmap:
        if (!LookupBitmap(ho) || IsSelected(ho)) return FALSE;
        return Bitmaps().Remove(v) != nullptr;
    case HandleKind::Palette:
        if (!LookupPalette(ho) || IsSelected(ho)) return FALSE;
        return Palettes().Remove(v) != nullptr;
    case HandleKind::Region:
        return Regions().Remove(v) != nullptr;
    case HandleKind::Brush:
        if (!LookupBrush(ho) || IsSelected(ho)) return FALSE;
        return Brushes().Remove(v) != nullptr;
    case HandleKind::Pen:
        if (!Pens().Get(v) || IsSelected(ho)) return FALSE;
        return Pens().Remove(v) != nullptr;
    case HandleKind::Font:
        if (!Fonts().Get(v) || IsSelected(ho)) return FALSE;
        return Fonts().Remove(v) != nullptr;
    default:
        return FALSE;
    }
}

} // extern "C"
