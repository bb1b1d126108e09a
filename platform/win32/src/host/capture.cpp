// Mouse capture: while a window holds it, the pointer's events keep coming
// to it when the pointer leaves it, as with Win32's SetCapture.
#include "host/host_state.h"

namespace qv::host {

void CaptureMouse(WindowId id, bool on) {
    auto& s = detail::S();
    if (on) {
        if (!detail::FindWindow(id)) return;
        s.capture_window = id;
        // Not every driver can capture (the offscreen one cannot); the
        // routing of events to the captured window does not depend on it.
        SDL_CaptureMouse(SDL_TRUE);
    } else if (s.capture_window) {
        s.capture_window = 0;
        SDL_CaptureMouse(SDL_FALSE);
    }
}

} // namespace qv::host
