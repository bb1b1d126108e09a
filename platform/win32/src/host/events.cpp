// Input: SDL's events in the host's own terms, and the test seam's
// synthetic input, which is pushed into SDL's queue so that it comes back
// through exactly the translation real input takes.
#include "host/host_state.h"
#include "host/key_map.h"

namespace qv::host {

using detail::S;

namespace {

Uint32 injected_buttons = 0; // the button mask of the injected pointer

void WindowOrigin(WindowId id, int& x, int& y) {
    x = y = 0;
    detail::NativeWindow* w = detail::FindWindow(id);
    if (!w) return;
    if (S().headless) {
        x = w->desc.x;
        y = w->desc.y;
    } else {
        SDL_GetWindowPosition(w->sdl, &x, &y);
    }
}

// Mouse events go to the window that holds the capture, in its client
// coordinates, wherever the pointer is.
void RouteMouse(Event& e) {
    auto& s = S();
    if (s.capture_window && e.window != s.capture_window && detail::FindWindow(s.capture_window)) {
        int ox, oy, cx, cy;
        WindowOrigin(e.window, ox, oy);
        WindowOrigin(s.capture_window, cx, cy);
        if (e.window == 0) { // no window under the pointer: x, y are global
            ox = oy = 0;
            SDL_GetGlobalMouseState(&e.x, &e.y);
        }
        e.x += ox - cx;
        e.y += oy - cy;
        e.window = s.capture_window;
    }
    if (s.headless && e.window) {
        int ox, oy;
        WindowOrigin(e.window, ox, oy);
        s.cursor_x = ox + e.x;
        s.cursor_y = oy + e.y;
    }
}

// False for events the layer has no use for and for those of windows that
// are gone (their release may have been deferred).
bool Translate(const SDL_Event& ev, Event& e) {
    e = Event{};
    e.time_ms = TickCount();
    auto window_of = [&](Uint32 sdl_id, bool allow_none) {
        if (sdl_id == 0) return allow_none;
        e.window = detail::WindowOfSdl(sdl_id);
        return e.window != 0 && detail::FindWindow(e.window) != nullptr;
    };
    switch (ev.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (!window_of(ev.key.windowID, true)) return false;
        e.kind = ev.type == SDL_KEYDOWN ? EventKind::KeyDown : EventKind::KeyUp;
        e.vk = keys::VirtualKey(ev.key.keysym.scancode, ev.key.keysym.sym);
        e.scancode = keys::ScanCode(ev.key.keysym.scancode);
        e.repeat = ev.key.repeat != 0;
        return e.vk != 0;
    case SDL_TEXTINPUT:
        if (!window_of(ev.text.windowID, true)) return false;
        e.kind = EventKind::Text;
        e.text_utf8 = ev.text.text;
        return true;
    case SDL_MOUSEMOTION:
        if (ev.motion.which == SDL_TOUCH_MOUSEID) return false;
        if (!window_of(ev.motion.windowID, true)) return false;
        e.kind = EventKind::MouseMove;
        e.x = ev.motion.x;
        e.y = ev.motion.y;
        RouteMouse(e);
        return e.window != 0;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (ev.button.which == SDL_TOUCH_MOUSEID) return false;
        if (!window_of(ev.button.windowID, true)) return false;
        e.kind = ev.type == SDL_MOUSEBUTTONDOWN ? EventKind::ButtonDown : EventKind::ButtonUp;
        e.button = ev.button.button;
        e.x = ev.button.x;
        e.y = ev.button.y;
        RouteMouse(e);
        return e.window != 0 && e.button >= kButtonLeft && e.button <= kButtonX2;
    case SDL_MOUSEWHEEL: {
        if (!window_of(ev.wheel.windowID, true)) return false;
        int notches = ev.wheel.y;
        if (ev.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
        if (notches == 0) return false;
        e.kind = EventKind::Wheel;
        e.wheel = notches * 120;
        e.x = ev.wheel.mouseX;
        e.y = ev.wheel.mouseY;
        RouteMouse(e);
        return e.window != 0;
    }
    case SDL_WINDOWEVENT:
        if (!window_of(ev.window.windowID, false)) return false;
        switch (ev.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
            e.kind = EventKind::CloseRequest;
            return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            e.kind = EventKind::FocusGained;
            return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            e.kind = EventKind::FocusLost;
            return true;
        case SDL_WINDOWEVENT_EXPOSED:
            e.kind = EventKind::Exposed;
            return true;
        case SDL_WINDOWEVENT_MOVED:
            // The window manager may place a window elsewhere than asked.
            if (auto* w = detail::FindWindow(e.window)) {
                w->desc.x = ev.window.data1;
                w->desc.y = ev.window.data2;
            }
            return false;
        default:
            return false;
        }
    case SDL_QUIT:
        e.kind = EventKind::Quit;
        return true;
    default:
        return false;
    }
}

Uint32 SdlIdOf(WindowId id) {
    detail::NativeWindow* w = detail::FindWindow(id);
    return w && w->sdl ? SDL_GetWindowID(w->sdl) : 0;
}

void Push(SDL_Event& ev) {
    ev.common.timestamp = SDL_GetTicks();
    SDL_PushEvent(&ev);
}

void PushWindowEvent(WindowId id, Uint8 what) {
    Uint32 sdl_id = SdlIdOf(id);
    if (!sdl_id) return;
    SDL_Event ev{};
    ev.type = SDL_WINDOWEVENT;
    ev.window.windowID = sdl_id;
    ev.window.event = what;
    Push(ev);
}

} // namespace

// SDL_PollEvent is not used: it ends a polling round at a sentinel that
// it queues behind the events it has pumped, so an event pushed after that
// (all the test seam's input) would be seen only one empty poll later, and
// Win32's PeekMessage must see it at once.
bool PollEvent(Event& out) {
    if (!Start()) return false;
    SDL_PumpEvents();
    SDL_Event ev;
    while (SDL_PeepEvents(&ev, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0)
        if (Translate(ev, out)) return true;
    return false;
}

bool WaitEvent(Event& out, int timeout_ms) {
    if (PollEvent(out)) return true;
    if (timeout_ms == 0 || !Start()) return false;
    const Uint64 deadline = SDL_GetTicks64() + Uint64(timeout_ms < 0 ? 0 : timeout_ms);
    for (;;) {
        int wait = -1;
        if (timeout_ms > 0) {
            Uint64 now = SDL_GetTicks64();
            if (now >= deadline) return false;
            wait = int(deadline - now);
        }
        SDL_Event ev;
        if (SDL_WaitEventTimeout(&ev, wait)) {
            if (Translate(ev, out)) return true;
        } else if (timeout_ms < 0) {
            return false; // SDL itself failed
        }
    }
}

void InjectKey(WindowId id, int vk, bool down, bool repeat) {
    SDL_Scancode sc;
    SDL_Keycode kc;
    if (!Start() || !keys::KeyOfVirtualKey(vk, sc, kc)) return;
    SDL_Event ev{};
    ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    ev.key.windowID = SdlIdOf(id);
    if (id && !ev.key.windowID) return;
    ev.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.key.repeat = down && repeat ? 1 : 0;
    ev.key.keysym.scancode = sc;
    ev.key.keysym.sym = kc;
    Push(ev);
}

void InjectMouseMove(WindowId id, int x, int y) {
    if (!Start()) return;
    Uint32 sdl_id = SdlIdOf(id);
    if (!sdl_id) return;
    SDL_Event ev{};
    ev.type = SDL_MOUSEMOTION;
    ev.motion.windowID = sdl_id;
    ev.motion.state = injected_buttons;
    ev.motion.x = x;
    ev.motion.y = y;
    Push(ev);
}

void InjectButton(WindowId id, int button, bool down, int x, int y) {
    if (!Start() || button < kButtonLeft || button > kButtonX2) return;
    Uint32 sdl_id = SdlIdOf(id);
    if (!sdl_id) return;
    if (down)
        injected_buttons |= SDL_BUTTON(button);
    else
        injected_buttons &= ~SDL_BUTTON(button);
    SDL_Event ev{};
    ev.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    ev.button.windowID = sdl_id;
    ev.button.button = Uint8(button);
    ev.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.button.clicks = 1;
    ev.button.x = x;
    ev.button.y = y;
    Push(ev);
}

void InjectCloseRequest(WindowId id) {
    if (Start()) PushWindowEvent(id, SDL_WINDOWEVENT_CLOSE);
}

void InjectFocus(WindowId id, bool gained) {
    if (Start())
        PushWindowEvent(id, gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST);
}

} // namespace qv::host
