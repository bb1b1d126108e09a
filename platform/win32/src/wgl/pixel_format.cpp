// Pixel formats: the ones the host can really give, the closest of them to
// a request, and the format of each window (fixed once set, as in Win32).
#include <climits>
#include <cstring>
#include <map>

#include "common/fault.h"
#include "host/host.h"
#include "user/window_internal.h"
#include "wgl/wgl_internal.h"

namespace qv::wgl {

namespace {

// Keyed by window handle; handles are never reused while a stale one could
// still be presented, and entries of windows that are gone are dropped.
std::map<HWND, int>& Formats() {
    static std::map<HWND, int> formats;
    return formats;
}

void ForgetDeadWindows() {
    int w, h;
    for (auto it = Formats().begin(); it != Formats().end();)
        it = user::ClientSize(it->first, w, h) ? std::next(it) : Formats().erase(it);
}

int FormatCount() {
    return int(host::PixelFormats().size());
}

PIXELFORMATDESCRIPTOR Describe(const host::PixelFormat& f) {
    PIXELFORMATDESCRIPTOR d;
    std::memset(&d, 0, sizeof d);
    d.nSize = sizeof d;
    d.nVersion = 1;
    d.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | (f.double_buffer ? PFD_DOUBLEBUFFER : 0);
    d.iPixelType = PFD_TYPE_RGBA;
    // Win32 counts the colour bits without alpha.
    d.cColorBits = BYTE(f.red_bits + f.green_bits + f.blue_bits);
    d.cRedBits = BYTE(f.red_bits);
    d.cRedShift = BYTE(f.red_shift);
    d.cGreenBits = BYTE(f.green_bits);
    d.cGreenShift = BYTE(f.green_shift);
    d.cBlueBits = BYTE(f.blue_bits);
    d.cBlueShift = BYTE(f.blue_shift);
    d.cAlphaBits = BYTE(f.alpha_bits);
    d.cAlphaShift = BYTE(f.alpha_shift);
    d.cAccumBits = BYTE(f.accum_bits);
    d.cDepthBits = BYTE(f.depth_bits);
    d.cStencilBits = BYTE(f.stencil_bits);
    d.iLayerType = PFD_MAIN_PLANE;
    return d;
}

// How far a format is from what was asked for. Having less than asked
// weighs more than having more; buffering that differs outweighs all sizes.
long Distance(const PIXELFORMATDESCRIPTOR& want, const PIXELFORMATDESCRIPTOR& have) {
    auto cost = [](int asked, int got) {
        return got < asked ? 2L * (asked - got) : long(got - asked);
    };
    long d = 0;
    if (!(want.dwFlags & PFD_DOUBLEBUFFER_DONTCARE) &&
        bool(want.dwFlags & PFD_DOUBLEBUFFER) != bool(have.dwFlags & PFD_DOUBLEBUFFER))
        d += 100000;
    d += cost(want.cColorBits, have.cColorBits);
    d += cost(want.cAlphaBits, have.cAlphaBits);
    if (!(want.dwFlags & PFD_DEPTH_DONTCARE)) d += cost(want.cDepthBits, have.cDepthBits);
    d += cost(want.cStencilBits, have.cStencilBits);
    d += cost(want.cAccumBits, have.cAccumBits);
    d += cost(want.cAuxBuffers, have.cAuxBuffers);
    return d;
}

} // namespace

HWND LiveWindowOf(HDC dc) {
    gdi::DeviceContext* d = gdi::LookupDC(dc);
    if (!d || d->kind != gdi::DCKind::Window || !d->window) return nullptr;
    int w, h;
    return user::ClientSize(d->window, w, h) ? d->window : nullptr;
}

int WindowPixelFormat(HWND window) {
    auto it = Formats().find(window);
    return it == Formats().end() ? 0 : it->second;
}

} // namespace qv::wgl

using namespace qv;

extern "C" int WINAPI ChoosePixelFormat(HDC hdc, const PIXELFORMATDESCRIPTOR* ppfd) {
    if (ppfd) wgl::RecordRequest(*ppfd);
    if (ShouldFail("ChoosePixelFormat")) return 0;
    if (!ppfd || !gdi::LookupDC(hdc)) return 0;
    // What no format of ours can be: colour-index pixels, drawing into bitmaps.
    if (ppfd->iPixelType != PFD_TYPE_RGBA || (ppfd->dwFlags & PFD_DRAW_TO_BITMAP)) return 0;
    int best = 0;
    long best_distance = LONG_MAX;
    for (int i = 1; i <= wgl::FormatCount(); ++i) {
        long d = wgl::Distance(*ppfd, wgl::Describe(host::PixelFormats()[size_t(i) - 1]));
        if (d < best_distance) {
            best = i;
            best_distance = d;
        }
    }
    return best;
}

extern "C" int WINAPI DescribePixelFormat(HDC hdc, int iPixelFormat, UINT nBytes,
                                          LPPIXELFORMATDESCRIPTOR ppfd) {
    if (!gdi::LookupDC(hdc)) return 0;
    const int count = wgl::FormatCount();
    if (!ppfd) return count;
    if (iPixelFormat < 1 || iPixelFormat > count) return 0;
    PIXELFORMATDESCRIPTOR d = wgl::Describe(host::PixelFormats()[size_t(iPixelFormat) - 1]);
    std::memcpy(ppfd, &d, nBytes < sizeof d ? nBytes : sizeof d);
    return count;
}

extern "C" BOOL WINAPI SetPixelFormat(HDC hdc, int format, const PIXELFORMATDESCRIPTOR* ppfd) {
    (void)ppfd; // Win32 too takes the format from its index alone
    HWND window = wgl::LiveWindowOf(hdc);
    if (!window || format < 1 || format > wgl::FormatCount()) return FALSE;
    wgl::ForgetDeadWindows();
    int& current = wgl::Formats()[window];
    if (current != 0) return current == format ? TRUE : FALSE;
    current = format;
    return TRUE;
}

extern "C" int WINAPI GetPixelFormat(HDC hdc) {
    HWND window = wgl::LiveWindowOf(hdc);
    return window ? wgl::WindowPixelFormat(window) : 0;
}
