// The layer's test seam: for tests and tools only, never for applications.
// It lets a test answer message boxes, size the virtual screen, inject host
// input through the same path real input takes, read back what a window
// last presented, make chosen platform calls fail, and count live objects.
#ifndef QUORVEL_WIN32_TESTING_H
#define QUORVEL_WIN32_TESTING_H

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qv::testing {

// ---- forced failures --------------------------------------------------------
// The named call ("ChoosePixelFormat", "RegisterClassA", "CreateWindowExA",
// "wglCreateContext", ...) fails its next `times` calls (-1: every call) the
// way Win32 fails it.
void FailCall(const char* function, int times = 1);
void ClearFailures();

// ---- live objects -------------------------------------------------------------
struct LiveObjects {
    size_t windows = 0, dcs = 0, bitmaps = 0, palettes = 0, regions = 0, brushes = 0, cursors = 0,
           gl_contexts = 0, globals = 0;
    bool operator==(const LiveObjects&) const = default;
};
LiveObjects CountLiveObjects();

// ---- message boxes ------------------------------------------------------------
// A responder answers every MessageBoxA in place of the user; an empty one
// restores the normal behaviour.
using MessageBoxResponder =
    std::function<int(HWND owner, const std::string& text, const std::string& caption, UINT type)>;
void SetMessageBoxResponder(MessageBoxResponder responder);

// ---- screen -------------------------------------------------------------------
void SetVirtualScreenSize(int width, int height); // offscreen host only

// ---- input (through the host's own event path) ----------------------------------
// A NULL window types the key on the keyboard: the window that has the
// keyboard focus when the key arrives takes it.
void InjectKey(HWND window, UINT vk, bool down);
void InjectMouseMove(HWND window, int client_x, int client_y);
void InjectButton(HWND window, int button /* 1 left, 2 middle, 3 right */, bool down, int client_x,
                  int client_y);
void InjectCloseRequest(HWND window);
void InjectFocus(HWND window, bool gained);

// ---- presentation ---------------------------------------------------------------
struct PresentedImage {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba; // top row first, R, G, B, A
};
// Keep a copy of each presented frame (off by default: it costs a read-back).
void CapturePresented(bool on);
bool LastPresented(HWND window, PresentedImage& out);
// Called after every SwapBuffers that presented a frame (empty: none).
using PresentHook = std::function<void(HWND window)>;
void SetPresentHook(PresentHook hook);

// ---- pixel formats ----------------------------------------------------------------
// The last request given to ChoosePixelFormat; false when there was none.
bool LastPixelFormatRequest(PIXELFORMATDESCRIPTOR& out);

// ---- GDI (owned by the GDI group; add its seam declarations here) ------------
// Called by ExtCreateRegion with the rectangles of every RGNDATA it accepts,
// before it builds the region (empty: none). Lets a test see the batches a
// region was built from.
using RegionBatchHook = std::function<void(DWORD count, const RECT* rects)>;
void SetRegionBatchHook(RegionBatchHook hook);

} // namespace qv::testing

#endif
