// The user group's own state: window classes, windows, the message queue's
// view of them, activation and focus. Shared by the files of src/user/ only.
// Everything runs on the application's one thread; nothing is locked.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/handle_table.h"
#include "host/host.h"
#include "user/window_internal.h"

namespace qv::user {

struct WindowClass {
    ATOM atom = 0;
    std::string name; // as registered; compared without regard to case
    UINT style = 0;
    WNDPROC proc = nullptr;
    int cls_extra = 0, wnd_extra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr, icon_small = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    std::string menu_name;
    std::vector<uint8_t> extra;
    int windows = 0; // live windows of the class: it cannot go while > 0
};

struct Property {
    ATOM atom = 0; // every name becomes an atom, as Win32 does
    HANDLE data = nullptr;
    bool owns_atom = false; // named by a string: the atom's reference is ours
};

struct Window {
    HWND self = nullptr;
    WindowClass* cls = nullptr;
    DWORD style = 0, ex_style = 0;
    WNDPROC proc = nullptr;
    LONG_PTR user_data = 0;
    LONG_PTR id = 0; // child windows: the control id given as hMenu
    HMENU menu = nullptr;
    HINSTANCE instance = nullptr;
    HWND parent = nullptr;      // child windows only
    HWND owner = nullptr;       // top-level windows only
    std::vector<HWND> children; // top of the z-order first
    // The outer rectangle, in the parent's client coordinates for a child
    // and in screen coordinates for a top-level window.
    RECT rect{};
    // The client rectangle in the same coordinates as rect; fixed when the
    // window is placed (a later style change does not move the frame).
    RECT client{};
    std::string text; // Windows-1252
    std::vector<Property> props;
    std::vector<uint8_t> extra;
    RECT update{}; // bounding box of the update region, client coordinates
    bool update_erase = false;
    bool destroying = false; // WM_DESTROY sent, WM_NCDESTROY not yet
    bool created = false;    // WM_NCCREATE accepted
    host::WindowId native = 0;
};

HandleTable<Window>& Windows();
// Top-level windows, top of the z-order first.
std::vector<HWND>& TopLevels();
inline Window* Lookup(HWND hwnd) {
    return Windows().Get(HandleValue(hwnd));
}
// Like Lookup, but sets ERROR_INVALID_WINDOW_HANDLE on failure.
Window* Checked(HWND hwnd);

// ---- classes -------------------------------------------------------------
WindowClass* FindClass(LPCSTR name_or_atom);

// ---- atoms (one table for class names and property names) ----------------
ATOM AddAtom(const char* name);          // counts references
ATOM FindAtom(const char* name_or_atom); // 0 when unknown
bool AtomName(ATOM atom, std::string& out);
void DeleteAtom(ATOM atom);

// ---- geometry ------------------------------------------------------------
// The client area's offsets from the outer rectangle for a style.
RECT FrameInsets(DWORD style, DWORD ex_style);
// Client origin of the window in screen coordinates.
POINT ClientOriginOnScreen(const Window& w);
bool IsShown(const Window& w); // WS_VISIBLE on the window and all its ancestors
// The deepest visible, enabled child of top at the client point (in top's
// client coordinates); top itself when none.
HWND ChildAt(HWND top, POINT client_pt);

// ---- native windows ------------------------------------------------------
host::WindowDesc NativeDescFor(const Window& w);
void SyncNativeBounds(Window& w);

// ---- messages ------------------------------------------------------------
LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Input messages wait in their own queue, behind posted messages.
struct InputMessage {
    MSG msg{};
    std::string chars; // Windows-1252 text the host typed with a key press
};
void PushInput(InputMessage m); // consecutive mouse moves to one window coalesce
InputMessage* LastInput();      // the newest queued input message, or NULL
bool HasQueuedInput(HWND hwnd, UINT message, WPARAM wp);
// The characters the host typed with the key message last taken from the
// queue, when msg is that message.
bool AttachedChars(const MSG& msg, std::string& out);
// Posts for TranslateMessage and the layer's own use; false when full.
bool PostInternal(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Waits up to timeout_ms for one host event and takes it in.
void WaitForHostEvent(int timeout_ms);
// Drops every queued message for the window (it is being destroyed).
void PurgeQueueFor(HWND hwnd);
void ResetInputStateFor(HWND hwnd);

// ---- painting --------------------------------------------------------------
void Invalidate(Window& w, const RECT* r, bool erase, bool children);
bool HasUpdate(const Window& w);
// A window needing WM_PAINT that passes the filter, or NULL.
HWND FindPaintWindow(HWND filter);
void PaintNow(HWND hwnd); // UpdateWindow's work, recursive

// ---- activation and focus ----------------------------------------------------
void Activate(HWND top, bool from_click, bool raise);
void Deactivate(HWND top);
// The top-level window stops being shown (hidden or destroyed): activation
// passes to its owner or to the next shown top-level window.
void LeaveActivation(HWND top);
// The window is going away: move capture, focus and activation off it.
void ForgetWindow(HWND hwnd);
HWND ActiveWindow();
HWND FocusWindow();
HWND CaptureWindow();

// ---- input -----------------------------------------------------------------
// Takes every waiting host event into the input queue.
void PumpHostEvents();
// Marks which keys are down for GetKeyState when the message is taken.
void NoteRetrieved(const MSG& msg);
void ConvertHostEvent(const host::Event& ev);
UINT MouseKeyFlags();

// ---- cursors -------------------------------------------------------------
host::CursorId HostCursorOf(HCURSOR cursor);

} // namespace qv::user
