// The host's own state, shared by the files of src/host/ only. Everything
// runs on the application's one thread, so there are no locks.
#pragma once

#include <SDL2/SDL.h>

#include <cstdint>
#include <map>
#include <memory>

#include "host/host.h"

namespace qv::host::detail {

struct NativeWindow {
    WindowId id = 0;
    SDL_Window* sdl = nullptr;
    WindowDesc desc;
    // The format the native surface was made for. A GL surface's format is
    // fixed when the native window is made, so a context in another format
    // needs the window made again (only possible before any context used it).
    int pixel_format = 1;
    bool used_by_gl = false;
    // DestroyNativeWindow was called, but a context was still current on the
    // window: it stays (hidden) until nothing draws into it any more.
    bool closed = false;
    bool has_presented = false;
    Image presented;
};

struct Context {
    ContextId id = 0;
    SDL_GLContext sdl = nullptr;
    int pixel_format = 1;
    WindowId last_window = 0; // the window it was last current on
};

struct State {
    bool started = false;
    bool ok = false;
    bool headless = true;
    int screen_w = 1920, screen_h = 1080;
    int cursor_x = 0, cursor_y = 0;
    uint32_t next_window = 1, next_context = 1, next_cursor = 1;
    std::map<WindowId, std::unique_ptr<NativeWindow>> windows;
    std::map<uint32_t, WindowId> by_sdl_id; // SDL's window id -> ours
    std::map<ContextId, Context> contexts;
    WindowId current_window = 0;
    ContextId current_context = 0;
    WindowId capture_window = 0;
    bool present_capture = false;
};

State& S();
NativeWindow* FindWindow(WindowId id); // NULL for unknown or closed ones
NativeWindow* FindWindowEvenClosed(WindowId id);
WindowId WindowOfSdl(uint32_t sdl_window_id);

// Sets SDL's GL attributes for one of PixelFormats() (1-based).
void ApplyPixelFormat(int format);
// Makes the native window again for another pixel format (no context may
// have used it yet). False when SDL cannot.
bool RemakeNativeWindow(NativeWindow& w, int format);
// Frees windows whose release was deferred and that nothing draws into now.
void ReleaseClosedWindows();

} // namespace qv::host::detail
