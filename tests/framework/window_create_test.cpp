// The framework window's creation and teardown: the globals before and
// after, the two window modes, the pixel-format request, the window classes,
// the fatal creation errors and closing a window that is still drawn to.
#include <quorvel.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace quorvel;

namespace {

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}
RECT ClientRect(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return r;
}

// Message boxes answered in place of the user, each one also printed on
// standard error so that a death test can match what the box said.
void AnswerBoxesOnStderr() {
    qv::testing::SetMessageBoxResponder([](HWND owner, const std::string& text,
                                           const std::string& caption, UINT type) {
        std::string shown;
        for (unsigned char c : text) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            shown += c < 0x80 ? std::string(1, char(c)) : std::string(hex);
        }
        std::fprintf(
            stderr, "[box owner=%d caption=%s type=%u window=%d current=%d] %s\n", owner != nullptr,
            caption.c_str(), type, HWINDOW != nullptr && IsWindow(HWINDOW) != 0,
            wglGetCurrentContext() != nullptr && wglGetCurrentContext() == RCWINDOW, shown.c_str());
        std::fflush(stderr);
        return IDOK;
    });
}

// A window of the main class made without CREATEOGLWINDOW, so that one
// process can try several requests: register once, then create and tear down.
HWND PlainFrameworkWindow() {
    static bool registered = WINDOWREGISTER();
    EXPECT_TRUE(registered);
    FULLSCREEN = false;
    WIDTH = 320;
    HEIGHT = 240;
    return WINDOWCREATE("request");
}

} // namespace

TEST(WindowState, EveryHandleIsZeroAndNothingIsActiveBeforeCreation) {
    EXPECT_EQ(HWINDOW, nullptr);
    EXPECT_EQ(DCWINDOW, nullptr);
    EXPECT_EQ(RCWINDOW, nullptr);
    EXPECT_EQ(HSTATUS, nullptr);
    EXPECT_EQ(AWND, nullptr);
    EXPECT_EQ(OBJNULL, 0u);
    EXPECT_FALSE(ACTIVE);
    EXPECT_FALSE(FULLSCREEN);
    EXPECT_FALSE(SHOWMENUBAR);
    EXPECT_FALSE(SHOWSTATUSBAR);
    EXPECT_EQ(CREATEMENUBAR, nullptr);
    EXPECT_EQ(CREATEMOUSEMENU, nullptr);
    EXPECT_EQ(GETINPUTCOMMAND, nullptr);
    EXPECT_EQ(WIDTH, 0);
    EXPECT_EQ(HEIGHT, 0);
    EXPECT_EQ(BITS, 0);
    EXPECT_EQ(PIXEL_FORMAT_FLAGS, 0);
    EXPECT_EQ(MSPEED, 0);
    EXPECT_FALSE(MOUSEFREE);
    EXPECT_EQ(CURSORFILE, nullptr);
    EXPECT_EQ(ICONFILE, nullptr);
    for (int32_t key : SETKEY)
        EXPECT_EQ(key, 0);
    EXPECT_EQ(QUORVELVERSION, "1.0");
    EXPECT_EQ(BMPTYPE, "");
}

TEST(WindowSettings, WithoutMouseLookNeitherTheClockNorTheCursorIsTouched) {
    SetCursorPos(5, 7);
    WIDTH = 800;
    HEIGHT = 600;
    static const char cursor_file[] = "pointer.cur";
    static const char icon_file[] = "program.cur";
    OGLWINDOWSETTING(FILECURSOR, cursor_file, FILEICON, icon_file);

    EXPECT_EQ(START, 0u);
    POINT p{};
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.y, 7);
    EXPECT_TRUE(FOGONOFF);
    EXPECT_EQ(SETTYPECURSOR, FILECURSOR);
    EXPECT_EQ(SETTYPEICON, FILEICON);
    // Held by reference, not copied: the files are read at registration.
    EXPECT_EQ(CURSORFILE, cursor_file);
    EXPECT_EQ(ICONFILE, icon_file);
    // No rendering context yet: the display-list reservation is harmless.
    EXPECT_EQ(OBJNULL, 0u);
}

TEST(WindowSettings, MouseLookTakesTheClockAndCentresTheCursor) {
    MOUSEFREE = true;
    WIDTH = 801; // odd sizes: the centre is an integer quotient
    HEIGHT = 601;
    SetCursorPos(5, 7);
    const DWORD before = GetTickCount();
    OGLWINDOWSETTING(ARROW, "", GENERIC, "");
    const DWORD after = GetTickCount();

    EXPECT_GE(START, before);
    EXPECT_LE(START, after);
    POINT p{};
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 400);
    EXPECT_EQ(p.y, 300);
}

TEST(CreateWindow, CaptionedWindowKeepsTheRequestedOuterSizeAndHasACurrentContext) {
    OGLWINDOWSETTING(ARROW, "", GENERIC, "");
    ASSERT_TRUE(CREATEOGLWINDOW("captioned", 800, 600, 32, false));

    EXPECT_EQ(WIDTH, 800);
    EXPECT_EQ(HEIGHT, 600);
    EXPECT_EQ(BITS, 32);
    EXPECT_FALSE(FULLSCREEN);
    ASSERT_NE(HWINDOW, nullptr);
    const RECT outer = WindowRect(HWINDOW);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.top, 0);
    EXPECT_EQ(outer.right, 800);
    EXPECT_EQ(outer.bottom, 600);
    // The caption and the border take their share: no adjustment is made.
    const RECT client = ClientRect(HWINDOW);
    EXPECT_LT(client.right, 800);
    EXPECT_LT(client.bottom, 600);
    EXPECT_GT(client.right, 700);
    EXPECT_GT(client.bottom, 500);
    EXPECT_EQ(DWORD(GetWindowLongA(HWINDOW, GWL_STYLE)), 0x96CA0000u);
    char title[64] = {};
    GetWindowTextA(HWINDOW, title, sizeof title);
    EXPECT_STREQ(title, "captioned");
    EXPECT_TRUE(IsWindowVisible(HWINDOW));
    EXPECT_TRUE(ACTIVE);

    ASSERT_NE(DCWINDOW, nullptr);
    ASSERT_NE(RCWINDOW, nullptr);
    EXPECT_EQ(wglGetCurrentContext(), RCWINDOW);
    EXPECT_EQ(wglGetCurrentDC(), DCWINDOW);
    // The window has a double-buffered RGBA format and its context draws.
    PIXELFORMATDESCRIPTOR format{};
    ASSERT_NE(DescribePixelFormat(DCWINDOW, GetPixelFormat(DCWINDOW), sizeof format, &format), 0);
    EXPECT_TRUE(format.dwFlags & PFD_DOUBLEBUFFER);
    EXPECT_EQ(format.iPixelType, PFD_TYPE_RGBA);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(1, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[1], 255);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    // With a context, the settings' empty list is a real display list.
    OGLWINDOWSETTING(ARROW, "", GENERIC, "");
    EXPECT_NE(OBJNULL, 0u);
    EXPECT_TRUE(glIsList(OBJNULL));
}

TEST(CreateWindow, FullScreenCoversTheVirtualScreenAtItsOwnResolution) {
    qv::testing::SetVirtualScreenSize(1920, 1080);
    ASSERT_TRUE(CREATEOGLWINDOW("full", 800, 600, 32, true));

    EXPECT_EQ(WIDTH, 1920);
    EXPECT_EQ(HEIGHT, 1080);
    const RECT outer = WindowRect(HWINDOW);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.top, 0);
    EXPECT_EQ(outer.right, 1920);
    EXPECT_EQ(outer.bottom, 1080);
    EXPECT_EQ(DWORD(GetWindowLongA(HWINDOW, GWL_STYLE)), 0x96880000u);
    // A window, not a display mode: the screen keeps its size.
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
    EXPECT_EQ(wglGetCurrentContext(), RCWINDOW);
}

TEST(CreateWindow, FullScreenFollowsWhateverTheScreenIs) {
    const struct { int width, height; } screens[] = {{1920, 1080}, {1024, 768}, {2560, 1440}};
    for (const auto& s : screens) {
        SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height));
        qv::testing::SetVirtualScreenSize(s.width, s.height);
        static bool registered = WINDOWREGISTER();
        ASSERT_TRUE(registered);
        FULLSCREEN = true;
        WIDTH = 800;
        HEIGHT = 600;
        HWND window = WINDOWCREATE("full");
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(WIDTH, s.width);
        EXPECT_EQ(HEIGHT, s.height);
        const RECT outer = WindowRect(window);
        EXPECT_EQ(outer.left, 0);
        EXPECT_EQ(outer.top, 0);
        EXPECT_EQ(outer.right, s.width);
        EXPECT_EQ(outer.bottom, s.height);
        DestroyWindow(window);
    }
}

TEST(WindowInit, PixelFormatRequestPutsBitsIntoEveryCountAndAddsTheApplicationsFlags) {
    const struct {
        int32_t bits, flags;
        DWORD expected_flags;
    } cases[] = {
        {32, 0, 0x1067},
        {16, 0, 0x1067},
        {32, QUORVEL_ACCELERATION, 0x3067},
        {24, PFD_SUPPORT_DIRECTDRAW, 0x3067},
        {0, 0, 0x1067},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("BITS " + std::to_string(c.bits) + " flags " + std::to_string(c.flags));
        HWND window = PlainFrameworkWindow();
        ASSERT_NE(window, nullptr);
        BITS = c.bits;
        PIXEL_FORMAT_FLAGS = c.flags;
        const bool made = WINDOWINIT(window);

        PIXELFORMATDESCRIPTOR r{};
        ASSERT_TRUE(qv::testing::LastPixelFormatRequest(r));
        EXPECT_EQ(r.nSize, 40);
        EXPECT_EQ(r.nVersion, 1);
        EXPECT_EQ(r.dwFlags, c.expected_flags);
        EXPECT_EQ(r.iPixelType, PFD_TYPE_RGBA);
        const BYTE b = BYTE(c.bits);
        EXPECT_EQ(r.cColorBits, b);
        EXPECT_EQ(r.cAlphaBits, b);
        EXPECT_EQ(r.cAccumBits, b);
        EXPECT_EQ(r.cDepthBits, b);
        EXPECT_EQ(r.cStencilBits, b);
        EXPECT_EQ(r.cAuxBuffers, b);
        EXPECT_EQ(r.iLayerType, 1);
        const BYTE zeros[] = {r.cRedBits,       r.cRedShift,       r.cGreenBits,
                              r.cGreenShift,    r.cBlueBits,       r.cBlueShift,
                              r.cAlphaShift,    r.cAccumRedBits,   r.cAccumGreenBits,
                              r.cAccumBlueBits, r.cAccumAlphaBits, r.bReserved};
        for (BYTE z : zeros)
            EXPECT_EQ(z, 0);
        EXPECT_EQ(r.dwLayerMask, 0u);
        EXPECT_EQ(r.dwVisibleMask, 0u);
        EXPECT_EQ(r.dwDamageMask, 0u);
        // The platform picks the closest format it has for any such request.
        EXPECT_TRUE(made);
        EXPECT_EQ(wglGetCurrentContext(), RCWINDOW);

        HWINDOW = window;
        DELETEOGLWINDOW();
    }
}

TEST(WindowInit, AFailedStepDoesNotStopTheOnesAfterIt) {
    // A context current beforehand shows whether WINDOWINIT still reached
    // wglMakeCurrent: afterwards its own context (or none) is current.
    HWND first = PlainFrameworkWindow();
    ASSERT_TRUE(WINDOWINIT(first));
    const HGLRC earlier = RCWINDOW;
    ASSERT_EQ(wglGetCurrentContext(), earlier);

    // No pixel format: still a context attempt and a make-current.
    HWND second = PlainFrameworkWindow();
    qv::testing::FailCall("ChoosePixelFormat");
    EXPECT_FALSE(WINDOWINIT(second));
    EXPECT_NE(DCWINDOW, nullptr);
    EXPECT_NE(wglGetCurrentContext(), earlier);
    EXPECT_EQ(wglGetCurrentContext(), RCWINDOW);

    // No context: the pixel format was set before the context was tried.
    HWND third = PlainFrameworkWindow();
    qv::testing::FailCall("wglCreateContext");
    EXPECT_FALSE(WINDOWINIT(third));
    EXPECT_EQ(RCWINDOW, nullptr);
    EXPECT_NE(GetPixelFormat(DCWINDOW), 0);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);

    wglDeleteContext(earlier);
    for (HWND w : {first, second, third})
        DestroyWindow(w);
}

TEST(WindowInitDeathTest, BitsOutsideAByteIsARangeCheckError) {
    for (int32_t bits : {256, 1000, -1}) {
        SCOPED_TRACE(bits);
        EXPECT_EXIT(CREATEOGLWINDOW("bits", 800, 600, bits, false), testing::ExitedWithCode(201),
                    "Range check error");
    }
}

TEST(CreateWindowDeathTest, EachCreationFailureShowsItsMessageAndEndsWithStatusOne) {
    const struct {
        const char* call;
        const char* message; // as printed: bytes above 0x7F escaped
    } cases[] = {
        {"RegisterClassA", "Errore di registro per la rispettiva applicazione!"},
        {"CreateWindowExA", "Impossibile creare la finestra per la rispettiva applicazione!"},
        {"ChoosePixelFormat", "la rispettiva applicazione non \\\\xE8 stata inizilizata!"},
        {"wglCreateContext", "la rispettiva applicazione non \\\\xE8 stata inizilizata!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.call);
        EXPECT_EXIT(
            {
                AnswerBoxesOnStderr();
                qv::testing::FailCall(c.call);
                CREATEOGLWINDOW("failing", 800, 600, 32, false);
                std::fprintf(stderr, "CREATEOGLWINDOW came back\n");
                std::exit(0);
            },
            testing::ExitedWithCode(1),
            std::string("\\[box owner=0 caption=Error type=0 .*\\] ") + c.message);
    }
}

TEST(CreateWindowDeathTest, InitialisationFailureIsReportedOnlyAfterEveryStepRan) {
    // The window is on screen and the (new) context current when the box
    // appears: the sequence went on past the failed pixel-format choice.
    EXPECT_EXIT(
        {
            AnswerBoxesOnStderr();
            qv::testing::FailCall("ChoosePixelFormat");
            CREATEOGLWINDOW("failing", 800, 600, 32, false);
        },
        testing::ExitedWithCode(1), "\\[box owner=0 caption=Error type=0 window=1 current=.\\]");
}

TEST(CreateWindowDeathTest, ASecondWindowEndsWithTheRegistrationMessage) {
    EXPECT_EXIT(
        {
            AnswerBoxesOnStderr();
            if (!CREATEOGLWINDOW("first", 800, 600, 32, false)) std::exit(3);
            CREATEOGLWINDOW("second", 800, 600, 32, false);
            std::exit(0);
        },
        testing::ExitedWithCode(1),
        "caption=Error type=0 window=1 current=1\\] Errore di registro per la rispettiva "
        "applicazione!");
}

TEST(DeleteWindow, ReleasesEverythingAndLeavesTheHandlesAsTheyWere) {
    const auto before = qv::testing::CountLiveObjects();
    ASSERT_TRUE(CREATEOGLWINDOW("deleted", 800, 600, 32, false));
    const HWND window = HWINDOW;
    const HDC dc = DCWINDOW;
    const HGLRC rc = RCWINDOW;
    DELETEOGLWINDOW();

    EXPECT_FALSE(ACTIVE);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_EQ(HWINDOW, window);
    EXPECT_EQ(DCWINDOW, dc);
    EXPECT_EQ(RCWINDOW, rc);
    const auto after = qv::testing::CountLiveObjects();
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(after.dcs, before.dcs);
    EXPECT_EQ(after.gl_contexts, before.gl_contexts);
    // The classes stay registered.
    WNDCLASSA info{};
    EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "GLWindow", &info));
}

TEST(DeleteWindow, AWindowTheUserClosedIsStillDrawnToAndThenDeletedHarmlessly) {
    const auto before = qv::testing::CountLiveObjects();
    ASSERT_TRUE(CREATEOGLWINDOW("closed", 800, 600, 32, false));
    qv::testing::InjectCloseRequest(HWINDOW);
    for (int i = 0; i < 100 && IsWindow(HWINDOW); ++i)
        SETGLMSG();
    ASSERT_FALSE(IsWindow(HWINDOW));
    EXPECT_FALSE(ACTIVE);

    // The frame loop finishes its frame against the closed window.
    glClear(GL_COLOR_BUFFER_BIT);
    glBegin(GL_TRIANGLES);
    glVertex2f(0, 0);
    glVertex2f(1, 0);
    glVertex2f(0, 1);
    glEnd();
    SwapBuffers(DCWINDOW);
    DELETEOGLWINDOW();
    DELETEOGLWINDOW(); // stale handles all round: nothing happens

    const auto after = qv::testing::CountLiveObjects();
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(after.dcs, before.dcs);
    EXPECT_EQ(after.gl_contexts, before.gl_contexts);
}
