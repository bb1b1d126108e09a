// Cursors. The offscreen driver has no pointer to show, so there a cursor
// is only a record: the layer's handles work the same with and without a
// display.
#include <map>

#include "host/host_state.h"

namespace qv::host {

namespace {

std::map<CursorId, SDL_Cursor*>& Cursors() {
    static std::map<CursorId, SDL_Cursor*> cursors;
    return cursors;
}

CursorId Keep(SDL_Cursor* c) {
    CursorId id = detail::S().next_cursor++;
    Cursors()[id] = c;
    return id;
}

SDL_SystemCursor SdlKind(SystemCursor kind) {
    switch (kind) {
    case SystemCursor::Arrow:
        return SDL_SYSTEM_CURSOR_ARROW;
    case SystemCursor::IBeam:
        return SDL_SYSTEM_CURSOR_IBEAM;
    case SystemCursor::Wait:
        return SDL_SYSTEM_CURSOR_WAIT;
    case SystemCursor::Cross:
        return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case SystemCursor::UpArrow:
        return SDL_SYSTEM_CURSOR_ARROW; // SDL has none of its own
    case SystemCursor::SizeAll:
        return SDL_SYSTEM_CURSOR_SIZEALL;
    case SystemCursor::SizeNWSE:
        return SDL_SYSTEM_CURSOR_SIZENWSE;
    case SystemCursor::SizeNESW:
        return SDL_SYSTEM_CURSOR_SIZENESW;
    case SystemCursor::SizeWE:
        return SDL_SYSTEM_CURSOR_SIZEWE;
    case SystemCursor::SizeNS:
        return SDL_SYSTEM_CURSOR_SIZENS;
    case SystemCursor::No:
        return SDL_SYSTEM_CURSOR_NO;
    case SystemCursor::Hand:
        return SDL_SYSTEM_CURSOR_HAND;
    case SystemCursor::AppStarting:
        return SDL_SYSTEM_CURSOR_WAITARROW;
    case SystemCursor::Help:
        return SDL_SYSTEM_CURSOR_ARROW;
    }
    return SDL_SYSTEM_CURSOR_ARROW;
}

} // namespace

CursorId CreateSystemCursor(SystemCursor kind) {
    if (!Start()) return 0;
    SDL_Cursor* c = detail::S().headless ? nullptr : SDL_CreateSystemCursor(SdlKind(kind));
    return Keep(c);
}

CursorId CreateImageCursor(const Image& image, int hot_x, int hot_y) {
    if (!Start() || image.width <= 0 || image.height <= 0 ||
        image.rgba.size() < size_t(image.width) * size_t(image.height) * 4)
        return 0;
    if (hot_x < 0 || hot_x >= image.width) hot_x = 0;
    if (hot_y < 0 || hot_y >= image.height) hot_y = 0;
    SDL_Cursor* c = nullptr;
    if (!detail::S().headless) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint8_t*>(image.rgba.data()), image.width, image.height, 32, image.width * 4,
            SDL_PIXELFORMAT_RGBA32);
        if (!surface) return 0;
        c = SDL_CreateColorCursor(surface, hot_x, hot_y);
        SDL_FreeSurface(surface);
        if (!c) return 0;
    }
    return Keep(c);
}

void DestroyCursor(CursorId id) {
    auto it = Cursors().find(id);
    if (it == Cursors().end()) return;
    if (it->second) SDL_FreeCursor(it->second);
    Cursors().erase(it);
}

void SetCursor(CursorId id) {
    if (!Start() || detail::S().headless) return;
    if (id == 0) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    auto it = Cursors().find(id);
    if (it == Cursors().end()) return;
    if (it->second) SDL_SetCursor(it->second);
    SDL_ShowCursor(SDL_ENABLE);
}

} // namespace qv::host
