// Native windows. Every one is made able to carry a GL surface, so any
// window of the layer can get a rendering context later.
#include "host/host_state.h"

namespace qv::host {
namespace detail {

namespace {

SDL_Window* MakeSdlWindow(const WindowDesc& d, int format) {
    ApplyPixelFormat(format);
    Uint32 flags = SDL_WINDOW_OPENGL | (d.visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN);
    // Full screen is a borderless window covering the screen: the display
    // mode is never changed.
    if (!d.decorated) flags |= SDL_WINDOW_BORDERLESS;
    int w = d.width > 0 ? d.width : 1;
    int h = d.height > 0 ? d.height : 1;
    return SDL_CreateWindow(d.title_utf8.c_str(), d.x, d.y, w, h, flags);
}

void Forget(NativeWindow& w) {
    if (!w.sdl) return;
    S().by_sdl_id.erase(SDL_GetWindowID(w.sdl));
    SDL_DestroyWindow(w.sdl);
    w.sdl = nullptr;
}

} // namespace

bool RemakeNativeWindow(NativeWindow& w, int format) {
    if (w.pixel_format == format) return true;
    if (w.used_by_gl) return false;
    SDL_Window* fresh = MakeSdlWindow(w.desc, format);
    if (!fresh) return false;
    Forget(w);
    w.sdl = fresh;
    w.pixel_format = format;
    S().by_sdl_id[SDL_GetWindowID(fresh)] = w.id;
    return true;
}

void ReleaseClosedWindows() {
    auto& s = S();
    for (auto it = s.windows.begin(); it != s.windows.end();) {
        NativeWindow& w = *it->second;
        if (w.closed && s.current_window != w.id) {
            for (auto& [cid, c] : s.contexts)
                if (c.last_window == w.id) c.last_window = 0;
            Forget(w);
            it = s.windows.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace detail

using detail::S;

WindowId CreateNativeWindow(const WindowDesc& desc) {
    if (!Start()) return 0;
    auto& s = S();
    auto w = std::make_unique<detail::NativeWindow>();
    w->desc = desc;
    w->sdl = detail::MakeSdlWindow(desc, 1);
    if (!w->sdl) return 0;
    w->id = s.next_window++;
    s.by_sdl_id[SDL_GetWindowID(w->sdl)] = w->id;
    WindowId id = w->id;
    s.windows[id] = std::move(w);
    return id;
}

void DestroyNativeWindow(WindowId id) {
    auto& s = S();
    detail::NativeWindow* w = detail::FindWindow(id);
    if (!w) return;
    w->closed = true;
    if (s.capture_window == id) CaptureMouse(id, false);
    // A context still current on the window may go on drawing and swapping
    // until the program lets it go: hide the window now, free it then.
    if (w->sdl && s.current_window == id) SDL_HideWindow(w->sdl);
    detail::ReleaseClosedWindows();
}

void SetNativeTitle(WindowId id, const std::string& title_utf8) {
    detail::NativeWindow* w = detail::FindWindow(id);
    if (!w) return;
    w->desc.title_utf8 = title_utf8;
    SDL_SetWindowTitle(w->sdl, title_utf8.c_str());
}

void SetNativeBounds(WindowId id, int x, int y, int width, int height) {
    detail::NativeWindow* w = detail::FindWindow(id);
    if (!w) return;
    if (width < 1) width = 1;
    if (height < 1) height = 1;
    w->desc.x = x;
    w->desc.y = y;
    w->desc.width = width;
    w->desc.height = height;
    SDL_SetWindowPosition(w->sdl, x, y);
    int old_w = 0, old_h = 0;
    SDL_GetWindowSize(w->sdl, &old_w, &old_h);
    if (old_w == width && old_h == height) return;
    SDL_SetWindowSize(w->sdl, width, height);
    // Headless, a window's GL surface keeps the size it was made with, so
    // the window is made again at the new size and a context current on it
    // moves over to the new one.
    if (S().headless && w->used_by_gl) {
        SDL_Window* fresh = detail::MakeSdlWindow(w->desc, w->pixel_format);
        if (!fresh) return;
        if (S().current_window == id) {
            auto cur = S().contexts.find(S().current_context);
            if (cur == S().contexts.end() || SDL_GL_MakeCurrent(fresh, cur->second.sdl) != 0) {
                SDL_DestroyWindow(fresh);
                return;
            }
        }
        detail::Forget(*w);
        w->sdl = fresh;
        S().by_sdl_id[SDL_GetWindowID(fresh)] = id;
    }
}

void ShowNativeWindow(WindowId id, bool show) {
    detail::NativeWindow* w = detail::FindWindow(id);
    if (!w) return;
    w->desc.visible = show;
    if (show)
        SDL_ShowWindow(w->sdl);
    else
        SDL_HideWindow(w->sdl);
}

void RaiseNativeWindow(WindowId id) {
    detail::NativeWindow* w = detail::FindWindow(id);
    if (w) SDL_RaiseWindow(w->sdl);
}

size_t LiveNativeWindows() {
    size_t n = 0;
    for (auto& [id, w] : S().windows)
        if (!w->closed) ++n;
    return n;
}

} // namespace qv::host
