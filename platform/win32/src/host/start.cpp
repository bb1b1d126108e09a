// Start-up of the host: which SDL video driver, the screen, the cursor
// position and the tick count.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/host_state.h"

namespace qv::host {
namespace detail {

State& S() {
    static State state;
    return state;
}

namespace {

// Tries one driver by name. SDL is asked for exactly this driver, so it never
// falls back on its own to a console driver such as KMS/DRM.
bool TryDriver(const char* name) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, name);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        const char* got = SDL_GetCurrentVideoDriver();
        if (got && std::strcmp(got, name) == 0) return true;
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    return false;
}

void Shutdown() {
    State& s = S();
    if (!s.ok) return;
    if (s.current_context) SDL_GL_MakeCurrent(nullptr, nullptr);
    s.current_context = 0;
    s.current_window = 0;
    for (auto& [id, c] : s.contexts)
        SDL_GL_DeleteContext(c.sdl);
    s.contexts.clear();
    for (auto& [id, w] : s.windows)
        if (w->sdl) SDL_DestroyWindow(w->sdl);
    s.windows.clear();
    s.by_sdl_id.clear();
    // SDL itself stays: quitting it would unload the GL drivers, and what
    // they keep to the end could no longer be told apart from our own leaks.
    s.ok = false;
}

} // namespace

NativeWindow* FindWindowEvenClosed(WindowId id) {
    auto it = S().windows.find(id);
    return it == S().windows.end() ? nullptr : it->second.get();
}

NativeWindow* FindWindow(WindowId id) {
    NativeWindow* w = FindWindowEvenClosed(id);
    return w && !w->closed ? w : nullptr;
}

WindowId WindowOfSdl(uint32_t sdl_window_id) {
    auto it = S().by_sdl_id.find(sdl_window_id);
    return it == S().by_sdl_id.end() ? 0 : it->second;
}

} // namespace detail

using detail::S;

bool Start() {
    auto& s = S();
    if (s.started) return s.ok;
    s.started = true;

    // A Win32 program ends on Ctrl+C like any console program, and closing
    // its last window is the program's business, not a quit request.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");

    const char* want = std::getenv("QUORVEL_VIDEO");
    std::string wanted = want ? want : "";
    std::vector<const char*> order;
    if (wanted == "x11" || wanted == "wayland") {
        order.push_back(wanted == "x11" ? "x11" : "wayland");
    } else if (wanted != "offscreen") {
        const char* wl = std::getenv("WAYLAND_DISPLAY");
        const char* x = std::getenv("DISPLAY");
        if (wl && *wl) order.push_back("wayland");
        if (x && *x) order.push_back("x11");
    }
    order.push_back("offscreen");

    for (const char* name : order) {
        if (detail::TryDriver(name)) {
            s.ok = true;
            s.headless = std::strcmp(name, "offscreen") == 0;
            break;
        }
    }
    if (!s.ok) {
        std::fprintf(stderr, "quorvel: no video driver could be started: %s\n", SDL_GetError());
        return false;
    }
    // Loaded once for the whole run: otherwise SDL loads and unloads the GL
    // drivers with the first and last GL window, which is slow and leaves
    // the sanitizers' leak reports pointing into unloaded code.
    if (SDL_GL_LoadLibrary(nullptr) != 0)
        std::fprintf(stderr, "quorvel: no OpenGL library: %s\n", SDL_GetError());
    if (s.headless) {
        s.cursor_x = s.screen_w / 2;
        s.cursor_y = s.screen_h / 2;
    }
    std::atexit(detail::Shutdown);
    return true;
}

bool IsHeadless() {
    Start();
    return S().headless;
}

void GetScreenSize(int& width, int& height) {
    auto& s = S();
    if (Start() && !s.headless) {
        SDL_DisplayMode mode;
        if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
            width = mode.w;
            height = mode.h;
            return;
        }
    }
    width = s.screen_w;
    height = s.screen_h;
}

void SetVirtualScreenSize(int width, int height) {
    if (width <= 0 || height <= 0) return;
    auto& s = S();
    s.screen_w = width;
    s.screen_h = height;
}

void GetCursorPos(int& x, int& y) {
    auto& s = S();
    if (Start() && !s.headless) {
        SDL_GetGlobalMouseState(&x, &y);
        return;
    }
    x = s.cursor_x;
    y = s.cursor_y;
}

void SetCursorPos(int x, int y) {
    auto& s = S();
    if (Start() && !s.headless) {
        SDL_WarpMouseGlobal(x, y);
        return;
    }
    // Win32 keeps the cursor on the screen.
    s.cursor_x = x < 0 ? 0 : (x >= s.screen_w ? s.screen_w - 1 : x);
    s.cursor_y = y < 0 ? 0 : (y >= s.screen_h ? s.screen_h - 1 : y);
}

uint32_t TickCount() {
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    return uint32_t(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

} // namespace qv::host
