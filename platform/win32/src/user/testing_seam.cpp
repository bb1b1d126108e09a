// The user group's part of the test seam: message-box responder, virtual
// screen, and input injected through the host's own event path.
#include <win32/testing.h>

#include "user/message_box.h"
#include "user/user_state.h"
#include "user/window_internal.h"

namespace qv::testing {

namespace {
// Injected positions are the window's client coordinates; the host wants
// its native window's, which show the top-level client area.
bool NativeAndOffset(HWND window, host::WindowId& id, int& dx, int& dy) {
    id = user::NativeWindowOf(user::TopLevelOf(window));
    dx = dy = 0;
    if (!id) return false;
    return user::ClientOriginInTopLevel(window, dx, dy);
}
} // namespace

void SetMessageBoxResponder(MessageBoxResponder responder) {
    user::SetMessageBoxResponder(std::move(responder));
}

void SetVirtualScreenSize(int width, int height) {
    host::SetVirtualScreenSize(width, height);
}

void InjectKey(HWND window, UINT vk, bool down) {
    host::WindowId id;
    int dx, dy;
    // NULL: a key typed on the keyboard, taken by whichever window has the
    // keyboard when it arrives, as real keyboard input is.
    if (!window)
        host::InjectKey(0, int(vk), down, false);
    else if (NativeAndOffset(window, id, dx, dy))
        host::InjectKey(id, int(vk), down, false);
}

void InjectMouseMove(HWND window, int x, int y) {
    host::WindowId id;
    int dx, dy;
    if (NativeAndOffset(window, id, dx, dy)) host::InjectMouseMove(id, x + dx, y + dy);
}

void InjectButton(HWND window, int button, bool down, int x, int y) {
    host::WindowId id;
    int dx, dy;
    if (NativeAndOffset(window, id, dx, dy)) host::InjectButton(id, button, down, x + dx, y + dy);
}

void InjectCloseRequest(HWND window) {
    host::WindowId id;
    int dx, dy;
    if (NativeAndOffset(window, id, dx, dy)) host::InjectCloseRequest(id);
}

void InjectFocus(HWND window, bool gained) {
    host::WindowId id;
    int dx, dy;
    if (NativeAndOffset(window, id, dx, dy)) host::InjectFocus(id, gained);
}

void CapturePresented(bool on) {
    host::SetPresentCapture(on);
}

bool LastPresented(HWND window, PresentedImage& out) {
    host::WindowId id = user::NativeWindowOf(user::TopLevelOf(window));
    host::Image img;
    if (!id || !host::LastPresented(id, img)) return false;
    out.width = img.width;
    out.height = img.height;
    out.rgba = std::move(img.rgba);
    return true;
}

} // namespace qv::testing
