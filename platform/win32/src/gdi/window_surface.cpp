#include "gdi/window_surface.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

namespace qv::gdi {

namespace {
std::map<HWND, std::unique_ptr<Bitmap>>& Surfaces() {
    static std::map<HWND, std::unique_ptr<Bitmap>> surfaces;
    return surfaces;
}
} // namespace

Bitmap* WindowSurface(HWND window) {
    auto it = Surfaces().find(window);
    return it == Surfaces().end() ? nullptr : it->second.get();
}

bool ResizeWindowSurface(HWND window, int width, int height) {
    if (width <= 0 || height <= 0) {
        DropWindowSurface(window);
        return true;
    }
    auto bm = std::make_unique<Bitmap>();
    bm->width = width;
    bm->height = height;
    bm->bpp = 32;
    bm->top_down = true;
    bm->masks[0] = 0x00FF0000, bm->masks[1] = 0x0000FF00, bm->masks[2] = 0x000000FF;
    if (!AllocateBits(*bm)) return false;
    if (const Bitmap* old = WindowSurface(window)) {
        const int w = std::min(old->width, width), h = std::min(old->height, height);
        for (int y = 0; y < h; ++y)
            std::memcpy(bm->Row(y), old->Row(y), size_t(w) * 4);
    }
    Surfaces()[window] = std::move(bm);
    return true;
}

void DropWindowSurface(HWND window) {
    Surfaces().erase(window);
}

} // namespace qv::gdi
