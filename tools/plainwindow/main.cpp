// A plain window of the layer: captioned, 800 by 600, titled in
// Windows-1252, cleared to one colour every frame with OpenGL. Escape or
// closing the window ends it with status 0.
#include <windows.h>

#include <GL/gl.h>

#include <cstdio>
#include <cstring>

namespace {

bool running = true;

// "Quorvel: è una finestra semplice" in Windows-1252 (0xE8 is è).
const char kTitle[] = "Quorvel: \xE8 una finestra semplice";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_KEYDOWN:
        if (wparam == VK_ESCAPE) {
            DestroyWindow(window);
            return 0;
        }
        break;
    case WM_DESTROY:
        running = false;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

int Fail(const char* what) {
    std::fprintf(stderr, "quorvel-plainwindow: %s failed\n", what);
    return 1;
}

} // namespace

int main() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = "QuorvelPlainWindow";
    if (!RegisterClassA(&wc)) return Fail("RegisterClassA");

    const DWORD style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION |
                        WS_SYSMENU | WS_MINIMIZEBOX;
    HWND window = CreateWindowExA(0, wc.lpszClassName, kTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  800, 600, nullptr, nullptr, instance, nullptr);
    if (!window) return Fail("CreateWindowExA");
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    HDC dc = GetDC(window);
    PIXELFORMATDESCRIPTOR pfd;
    std::memset(&pfd, 0, sizeof pfd);
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 24;
    int format = ChoosePixelFormat(dc, &pfd);
    if (!format || !SetPixelFormat(dc, format, &pfd)) return Fail("the pixel format");
    HGLRC rc = wglCreateContext(dc);
    if (!rc || !wglMakeCurrent(dc, rc)) return Fail("the rendering context");

    RECT client;
    GetClientRect(window, &client);
    glViewport(0, 0, client.right, client.bottom);
    bool announced = false;
    while (running) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) running = false;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        glClearColor(0.125f, 0.375f, 0.625f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        if (SwapBuffers(dc) && !announced) {
            // Scripts driving the window wait for this line.
            std::printf("quorvel-plainwindow: first frame presented\n");
            std::fflush(stdout);
            announced = true;
        }
        Sleep(10);
    }

    wglMakeCurrent(dc, nullptr);
    wglDeleteContext(rc);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    return 0;
}
