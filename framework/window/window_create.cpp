// WINDOWCREATE: the framework window, captioned or covering the screen.
#include "quorvel/window.h"

namespace quorvel {

namespace {

// A fixed-size pop-up with caption, system menu and minimise box.
constexpr DWORD kCaptionedStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN |
                                  WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// A pop-up with a thin border and no caption; it covers the whole screen.
constexpr DWORD kFullScreenStyle =
    WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER | WS_SYSMENU;
static_assert(kCaptionedStyle == 0x96CA0000u);
static_assert(kFullScreenStyle == 0x96880000u);

} // namespace

HWND WINDOWCREATE(const char* PCAPPLICATIONNAME) {
    DWORD style = kCaptionedStyle;
    if (FULLSCREEN) {
        // Full screen is a window at the desktop's own resolution; the
        // display mode is never changed.
        WIDTH = GetSystemMetrics(SM_CXSCREEN);
        HEIGHT = GetSystemMetrics(SM_CYSCREEN);
        style = kFullScreenStyle;
    }
    // WIDTH and HEIGHT are the outer size: a captioned window's client area
    // is smaller by its frame, and nothing adjusts for that. CW_USEDEFAULT
    // puts a top-level pop-up at the screen's corner.
    HWND window =
        CreateWindowExA(0, "GLWindow", PCAPPLICATIONNAME, style, CW_USEDEFAULT, CW_USEDEFAULT,
                        WIDTH, HEIGHT, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window != nullptr) {
        ShowWindow(window, SW_SHOWDEFAULT); // the show state the process started with
        UpdateWindow(window);
    }
    return window;
}

} // namespace quorvel
