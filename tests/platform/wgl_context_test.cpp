// WGL over the host: the pixel format a request gets, contexts that are
// not current until made current, drawing read back, presenting, and the
// answers to bad handles.
#include <windows.h>
#include <win32/testing.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>

#include "host/host.h"
#include "user/window_internal.h"

namespace {

LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, m, wp, lp);
}

// The framework's request: every count set to the same BITS value.
PIXELFORMATDESCRIPTOR Request(int bits, DWORD flags = 0x1067) {
    PIXELFORMATDESCRIPTOR p;
    std::memset(&p, 0, sizeof p);
    p.nSize = 40;
    p.nVersion = 1;
    p.dwFlags = flags;
    p.iPixelType = PFD_TYPE_RGBA;
    p.cColorBits = p.cAlphaBits = p.cAccumBits = p.cDepthBits = p.cStencilBits = p.cAuxBuffers =
        BYTE(bits);
    p.iLayerType = 1;
    return p;
}

class Wgl : public ::testing::Test {
  protected:
    void SetUp() override {
        qv::testing::ClearFailures();
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "WglTest";
        RegisterClassA(&wc); // may exist from an earlier test in this process
        before = qv::testing::CountLiveObjects();
        hwnd = CreateWindowExA(0, "WglTest", "wgl", WS_POPUP | WS_VISIBLE, 0, 0, 32, 24, nullptr,
                               nullptr, wc.hInstance, nullptr);
        ASSERT_NE(hwnd, nullptr);
        dc = GetDC(hwnd);
        ASSERT_NE(dc, nullptr);
    }
    void TearDown() override {
        wglMakeCurrent(nullptr, nullptr);
        if (rc) wglDeleteContext(rc);
        ReleaseDC(hwnd, dc);
        DestroyWindow(hwnd);
        qv::testing::ClearFailures();
        qv::testing::SetPresentHook({});
        EXPECT_EQ(qv::testing::CountLiveObjects(), before);
    }
    // Sets the format the framework's 32-bit request gets and makes a context.
    void MakeContext() {
        PIXELFORMATDESCRIPTOR p = Request(32);
        int f = ChoosePixelFormat(dc, &p);
        ASSERT_NE(f, 0);
        ASSERT_TRUE(SetPixelFormat(dc, f, &p));
        rc = wglCreateContext(dc);
        ASSERT_NE(rc, nullptr);
    }

    qv::testing::LiveObjects before;
    HWND hwnd = nullptr;
    HDC dc = nullptr;
    HGLRC rc = nullptr;
};

TEST_F(Wgl, RequestsGetTheClosestFormat) {
    struct Case {
        const char* what;
        PIXELFORMATDESCRIPTOR request;
        bool double_buffer;
        int alpha, depth, stencil;
    } cases[] = {
        {"32 in every count", Request(32), true, 8, 24, 8},
        {"16 in every count", Request(16), true, 8, 24, 8},
        {"single-buffered", Request(24, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL), false, 8, 24, 8},
        {"no alpha, no stencil wanted",
         [] {
             PIXELFORMATDESCRIPTOR p =
                 Request(0, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER);
             p.cColorBits = 24;
             p.cDepthBits = 24;
             return p;
         }(),
         true, 0, 24, 8},
        {"colour only",
         [] {
             PIXELFORMATDESCRIPTOR p =
                 Request(0, PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER);
             p.cColorBits = 24;
             p.cAlphaBits = 8;
             return p;
         }(),
         true, 8, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int f = ChoosePixelFormat(dc, &c.request);
        ASSERT_GT(f, 0);
        PIXELFORMATDESCRIPTOR got;
        int count = DescribePixelFormat(dc, f, sizeof got, &got);
        ASSERT_GE(count, f);
        EXPECT_EQ(got.nSize, sizeof got);
        EXPECT_EQ(got.iPixelType, PFD_TYPE_RGBA);
        EXPECT_EQ(got.cColorBits, 24);
        EXPECT_TRUE(got.dwFlags & PFD_SUPPORT_OPENGL);
        EXPECT_TRUE(got.dwFlags & PFD_DRAW_TO_WINDOW);
        EXPECT_EQ(bool(got.dwFlags & PFD_DOUBLEBUFFER), c.double_buffer);
        EXPECT_EQ(got.cAlphaBits, c.alpha);
        EXPECT_EQ(got.cDepthBits, c.depth);
        EXPECT_EQ(got.cStencilBits, c.stencil);
        PIXELFORMATDESCRIPTOR seen;
        ASSERT_TRUE(qv::testing::LastPixelFormatRequest(seen));
        EXPECT_EQ(std::memcmp(&seen, &c.request, sizeof seen), 0);
    }

    // Nothing of ours has colour-index pixels; a forced failure answers 0
    // but the request is still seen.
    PIXELFORMATDESCRIPTOR index = Request(8);
    index.iPixelType = PFD_TYPE_COLORINDEX;
    EXPECT_EQ(ChoosePixelFormat(dc, &index), 0);
    PIXELFORMATDESCRIPTOR p16 = Request(16);
    qv::testing::FailCall("ChoosePixelFormat");
    EXPECT_EQ(ChoosePixelFormat(dc, &p16), 0);
    PIXELFORMATDESCRIPTOR seen;
    ASSERT_TRUE(qv::testing::LastPixelFormatRequest(seen));
    EXPECT_EQ(seen.cDepthBits, 16);
    EXPECT_NE(ChoosePixelFormat(dc, &p16), 0); // only the next call failed
}

TEST_F(Wgl, DescribeAnswersLikeWin32) {
    PIXELFORMATDESCRIPTOR d;
    int count = DescribePixelFormat(dc, 1, sizeof d, nullptr);
    EXPECT_EQ(count, int(qv::host::PixelFormats().size()));
    EXPECT_EQ(DescribePixelFormat(dc, 0, sizeof d, &d), 0);
    EXPECT_EQ(DescribePixelFormat(dc, count + 1, sizeof d, &d), 0);
    // A short buffer gets only what fits.
    std::memset(&d, 0xAB, sizeof d);
    EXPECT_EQ(DescribePixelFormat(dc, 1, 4, &d), count);
    EXPECT_EQ(d.nSize, sizeof d);
    EXPECT_EQ(d.dwFlags, 0xABABABABu);
}

TEST_F(Wgl, APixelFormatIsSetOnceAndContextsNeedIt) {
    EXPECT_EQ(GetPixelFormat(dc), 0);
    EXPECT_EQ(wglCreateContext(dc), nullptr); // no format yet
    EXPECT_FALSE(SetPixelFormat(dc, 0, nullptr));
    EXPECT_FALSE(SetPixelFormat(dc, 999, nullptr));
    ASSERT_TRUE(SetPixelFormat(dc, 2, nullptr));
    EXPECT_TRUE(SetPixelFormat(dc, 2, nullptr));
    EXPECT_FALSE(SetPixelFormat(dc, 1, nullptr));
    // The format belongs to the window, whatever DC asks.
    HDC other = GetDC(hwnd);
    EXPECT_EQ(GetPixelFormat(other), 2);
    ReleaseDC(hwnd, other);

    qv::testing::FailCall("wglCreateContext");
    EXPECT_EQ(wglCreateContext(dc), nullptr);
    rc = wglCreateContext(dc);
    EXPECT_NE(rc, nullptr);
}

TEST_F(Wgl, ContextClearsToAColourReadBack) {
    MakeContext();
    // Made, but not current until asked.
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_EQ(glGetString(GL_VERSION), nullptr);
    ASSERT_TRUE(wglMakeCurrent(dc, rc));
    EXPECT_EQ(wglGetCurrentContext(), rc);
    EXPECT_EQ(wglGetCurrentDC(), dc);
    EXPECT_NE(wglGetProcAddress("glGenBuffers"), nullptr);

    glClearColor(1.0f, 0.5f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    uint8_t px[4] = {};
    glReadPixels(3, 3, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    EXPECT_EQ(px[0], 255);
    EXPECT_NEAR(px[1], 128, 1);
    EXPECT_EQ(px[2], 0);

    int hooked = 0;
    HWND hooked_window = nullptr;
    qv::testing::SetPresentHook([&](HWND w) {
        ++hooked;
        hooked_window = w;
    });
    qv::host::SetPresentCapture(true);
    EXPECT_TRUE(SwapBuffers(dc));
    qv::host::SetPresentCapture(false);
    EXPECT_EQ(hooked, 1);
    EXPECT_EQ(hooked_window, hwnd);
    qv::host::Image img;
    ASSERT_TRUE(qv::host::LastPresented(qv::user::NativeWindowOf(hwnd), img));
    int cw = 0, ch = 0;
    ASSERT_TRUE(qv::user::ClientSize(hwnd, cw, ch));
    EXPECT_EQ(img.width, cw);
    EXPECT_EQ(img.height, ch);
    ASSERT_FALSE(img.rgba.empty());
    EXPECT_EQ(img.rgba[0], 255);
    EXPECT_EQ(img.rgba[2], 0);

    // Deleting the current context lets it go first.
    EXPECT_TRUE(wglDeleteContext(rc));
    rc = nullptr;
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_EQ(wglGetCurrentDC(), nullptr);
    EXPECT_EQ(glGetString(GL_VERSION), nullptr);
}

TEST_F(Wgl, BadHandlesFailLikeWin32) {
    MakeContext();
    ASSERT_TRUE(wglMakeCurrent(dc, rc));
    HDC stale_dc = GetDC(hwnd);
    ASSERT_EQ(ReleaseDC(hwnd, stale_dc), 1);
    EXPECT_EQ(ReleaseDC(hwnd, stale_dc), 0);
    HDC foreign_dc = reinterpret_cast<HDC>(hwnd); // a window handle, not a DC
    HGLRC foreign_rc = reinterpret_cast<HGLRC>(dc);
    PIXELFORMATDESCRIPTOR p = Request(32), d;

    for (HDC bad : {HDC(nullptr), stale_dc, foreign_dc}) {
        SCOPED_TRACE(reinterpret_cast<uintptr_t>(bad));
        EXPECT_EQ(ChoosePixelFormat(bad, &p), 0);
        EXPECT_EQ(DescribePixelFormat(bad, 1, sizeof d, &d), 0);
        EXPECT_FALSE(SetPixelFormat(bad, 1, &p));
        EXPECT_EQ(GetPixelFormat(bad), 0);
        EXPECT_EQ(wglCreateContext(bad), nullptr);
        EXPECT_FALSE(SwapBuffers(bad));
        EXPECT_EQ(ReleaseDC(hwnd, bad), 0);
    }
    EXPECT_EQ(ChoosePixelFormat(dc, nullptr), 0);
    // Still current: none of that touched the context.
    EXPECT_EQ(wglGetCurrentContext(), rc);

    EXPECT_FALSE(wglDeleteContext(nullptr));
    EXPECT_FALSE(wglDeleteContext(foreign_rc));
    HGLRC doomed = wglCreateContext(dc);
    ASSERT_NE(doomed, nullptr);
    EXPECT_TRUE(wglDeleteContext(doomed));
    EXPECT_FALSE(wglDeleteContext(doomed));
    // A failed wglMakeCurrent leaves nothing current, as on Win32.
    EXPECT_FALSE(wglMakeCurrent(dc, doomed));
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    ASSERT_TRUE(wglMakeCurrent(dc, rc));
    EXPECT_FALSE(wglMakeCurrent(stale_dc, rc));
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_EQ(ReleaseDC(nullptr, dc), 0); // not the DC's window
}

TEST_F(Wgl, TheScreenDCHasNoPixelFormat) {
    HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    PIXELFORMATDESCRIPTOR p = Request(32);
    EXPECT_GT(ChoosePixelFormat(screen, &p), 0);
    EXPECT_FALSE(SetPixelFormat(screen, 1, &p));
    EXPECT_EQ(wglCreateContext(screen), nullptr);
    EXPECT_FALSE(SwapBuffers(screen));
    EXPECT_EQ(ReleaseDC(hwnd, screen), 0);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 0);
}

TEST_F(Wgl, WindowDestroyedWhileItsContextIsCurrent) {
    MakeContext();
    ASSERT_TRUE(wglMakeCurrent(dc, rc));
    ASSERT_TRUE(DestroyWindow(hwnd));
    // The frame in flight still draws; presenting it fails quietly.
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_FALSE(SwapBuffers(dc));
    EXPECT_EQ(GetPixelFormat(dc), 0);
    // Then the program's own teardown, on handles now stale.
    EXPECT_TRUE(wglMakeCurrent(dc, nullptr));
    EXPECT_TRUE(wglDeleteContext(rc));
    rc = nullptr;
    EXPECT_EQ(ReleaseDC(hwnd, dc), 0);
    EXPECT_FALSE(DestroyWindow(hwnd));
    EXPECT_EQ(qv::host::LiveGLContexts(), 0u);
}

} // namespace
