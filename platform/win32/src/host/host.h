// The host: the one seam between the layer and the operating system.
// Native windows, OpenGL contexts and buffer swaps, input events, the
// native message box, cursors, the screen and the global cursor position.
// Only src/host/ includes SDL; everything above speaks through this header,
// in the host's own neutral terms (no Win32 handles, no SDL types).
//
// Coordinates are screen pixels; a native window is described by its client
// rectangle (the layer draws no frame of its own on a real display: the
// window manager does, and the layer's frame metrics are its own model).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv::host {

// ---- start-up -------------------------------------------------------------

// Starts the host on first use: SDL's X11 or Wayland driver when a display is
// reachable, otherwise (or when QUORVEL_VIDEO=offscreen) the offscreen driver
// with a virtual screen. Never a console driver. False when nothing works.
bool Start();
bool IsHeadless(); // offscreen driver in use (starts the host if needed)

// ---- screen and cursor ----------------------------------------------------

void GetScreenSize(int& width, int& height);
void SetVirtualScreenSize(int width, int height); // offscreen only
void GetCursorPos(int& x, int& y);                // screen coordinates
void SetCursorPos(int x, int y);

// ---- native windows -------------------------------------------------------

using WindowId = uint32_t; // 0 is none

struct WindowDesc {
    std::string title_utf8;
    int x = 0, y = 0, width = 1, height = 1; // client rectangle on the screen
    bool decorated = true;                   // false: borderless
    bool visible = true;
};

WindowId CreateNativeWindow(const WindowDesc& desc);
// Releases the native window as soon as no GL context uses it any more: a
// window closed while its context is current keeps drawing harmlessly.
void DestroyNativeWindow(WindowId id);
void SetNativeTitle(WindowId id, const std::string& title_utf8);
void SetNativeBounds(WindowId id, int x, int y, int width, int height);
void ShowNativeWindow(WindowId id, bool show);
void RaiseNativeWindow(WindowId id);
size_t LiveNativeWindows();

// ---- input ----------------------------------------------------------------

enum class EventKind {
    None,
    KeyDown,      // vk, scancode, repeat
    KeyUp,        // vk, scancode
    Text,         // text_utf8 (not needed by Win32 key messages; informative)
    MouseMove,    // x, y client coordinates of window (may be negative)
    ButtonDown,   // button, x, y
    ButtonUp,     // button, x, y
    Wheel,        // wheel (+120 per notch away from the user), x, y
    CloseRequest, // the window manager's close button
    FocusGained,
    FocusLost,
    Exposed,
    Quit, // the whole session asked to quit (window manager, signal)
};

enum MouseButton {
    kButtonLeft = 1,
    kButtonMiddle = 2,
    kButtonRight = 3,
    kButtonX1 = 4,
    kButtonX2 = 5
};

struct Event {
    EventKind kind = EventKind::None;
    WindowId window = 0;
    uint32_t time_ms = 0;
    // Win32 virtual-key code (the host maps its keys). Either Shift, Control
    // or Alt key comes as VK_SHIFT, VK_CONTROL or VK_MENU, as WM_KEYDOWN
    // carries them; the scan code tells left from right.
    int vk = 0;
    int scancode = 0; // PC set-1 scan code (bit 8 set for extended keys)
    bool repeat = false;
    int x = 0, y = 0;
    int button = 0;
    int wheel = 0;
    std::string text_utf8;
};

// Takes the next host event without waiting; false when there is none.
bool PollEvent(Event& out);
// Waits up to timeout_ms (negative: for ever) for an event.
bool WaitEvent(Event& out, int timeout_ms);

// Test seam: these push synthetic native events into the host's own queue,
// so they take exactly the path that real input takes. InjectKey accepts the
// sided VK_LSHIFT... codes too; a code no key of a US keyboard produces is
// ignored.
void InjectKey(WindowId id, int vk, bool down, bool repeat);
void InjectMouseMove(WindowId id, int x, int y);
void InjectButton(WindowId id, int button, bool down, int x, int y);
void InjectCloseRequest(WindowId id);
void InjectFocus(WindowId id, bool gained);

// While on, mouse events keep coming to the window when the pointer leaves it
// (Win32's SetCapture); positions outside come as negative or large values.
void CaptureMouse(WindowId id, bool on);

uint32_t TickCount(); // milliseconds since the host started

// ---- OpenGL ---------------------------------------------------------------

struct PixelFormat {
    int color_bits = 0, red_bits = 0, green_bits = 0, blue_bits = 0, alpha_bits = 0;
    int red_shift = 0, green_shift = 0, blue_shift = 0, alpha_shift = 0;
    int depth_bits = 0, stencil_bits = 0, accum_bits = 0;
    bool double_buffer = true;
};

// The formats the host can really give, numbered from 1 like Win32's.
const std::vector<PixelFormat>& PixelFormats();

using ContextId = uint32_t; // 0 is none

// A compatibility-profile context for the window in the given format; it is
// not made current.
ContextId CreateGLContext(WindowId window, int pixel_format);
// Makes the context current for drawing into the window; (0, 0) releases.
bool MakeCurrent(WindowId window, ContextId context);
bool DeleteGLContext(ContextId context);
// Presents the back buffer. Also keeps a copy of what was presented when
// capture is on (see SetPresentCapture), then composites child surfaces.
bool SwapWindow(WindowId window);
size_t LiveGLContexts();
// An OpenGL entry point of the current context's implementation, or NULL.
void* GLProcAddress(const char* name);

// ---- presentation read-back (test seam, snapshot tool) --------------------

// Top row first, 4 bytes a pixel in R, G, B, A order.
struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
};
void SetPresentCapture(bool on);
bool LastPresented(WindowId window, Image& out);

// ---- message box ----------------------------------------------------------

struct BoxButton {
    int id;            // the Win32 result the button stands for (IDOK...)
    std::string label; // UTF-8
};
enum class BoxIcon { None, Error, Question, Warning, Information };

// Shows the native modal box; returns the chosen button's id, or -1 when no
// native box can be shown (no display). Return picks default_id, Escape
// picks escape_id.
int ShowMessageBox(const std::string& caption_utf8, const std::string& text_utf8,
                   const std::vector<BoxButton>& buttons, int default_id, int escape_id,
                   BoxIcon icon);

// ---- cursors --------------------------------------------------------------

using CursorId = uint32_t; // 0 is none

enum class SystemCursor {
    Arrow,
    IBeam,
    Wait,
    Cross,
    UpArrow,
    SizeAll,
    SizeNWSE,
    SizeNESW,
    SizeWE,
    SizeNS,
    No,
    Hand,
    AppStarting,
    Help,
};
CursorId CreateSystemCursor(SystemCursor kind);
// From an image: top row first, R, G, B, A bytes.
CursorId CreateImageCursor(const Image& image, int hot_x, int hot_y);
void DestroyCursor(CursorId id);
void SetCursor(CursorId id); // 0 hides the cursor

} // namespace qv::host
