// GLWNDPROC: the window's life in ACTIVE, the keyboard in SETKEY, the mouse
// in the drag, depth and mouse-look globals, and the application's hooks.
#include <quorvel.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <string>

using namespace quorvel;

namespace {

// One framework window per process, made by the first test that needs it,
// so that the tests also run together in one process.
class WindowProc : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (HWINDOW == nullptr) {
            OGLWINDOWSETTING(ARROW, "", GENERIC, "");
            ASSERT_TRUE(CREATEOGLWINDOW("procedure", 800, 600, 32, false));
        }
    }
    void SetUp() override {
        ASSERT_TRUE(IsWindow(HWINDOW));
        ACTIVE = true;
        MSPEED = 0;
        MOUSEFREE = false;
        SHOWMENUBAR = false;
        CREATEMOUSEMENU = nullptr;
        GETINPUTCOMMAND = nullptr;
        XROT = YROT = XROT2 = YROT2 = DEPTH = DEPTH2 = 0;
        XCOORD = YCOORD = ZCOORD = SETMX = SETMY = SETOMX = SETOMY = 0;
        LEFTMOUSEDOWN = LEFTMOUSEDOWN2 = RIGHTMOUSEDOWN = RIGHTMOUSEDOWN2 = false;
        MPOS = POINT{};
        for (int32_t& key : SETKEY)
            key = 0;
        Drain();
        SetForegroundWindow(HWINDOW);
    }
    static void Drain() {
        MSG m;
        for (int i = 0; i < 1000 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i)
            DispatchMessageA(&m);
    }
    static LRESULT Send(UINT message, WPARAM wparam, LPARAM lparam) {
        return SendMessageA(HWINDOW, message, wparam, lparam);
    }
    static LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
    static POINT Cursor() {
        POINT p{};
        GetCursorPos(&p);
        return p;
    }
};

int menu_calls = 0;
void CountMenu() {
    ++menu_calls;
}

struct CommandSeen {
    int calls = 0;
    HWND window = nullptr;
    UINT message = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
} command;
LRESULT CALLBACK RecordCommand(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    command = {command.calls + 1, window, message, wparam, lparam};
    return 42;
}

} // namespace

TEST_F(WindowProc, EscapeEndsTheLoopButLeavesTheWindowAndTheKeyTable) {
    EXPECT_EQ(Send(WM_KEYDOWN, VK_ESCAPE, 0), 0);
    EXPECT_FALSE(ACTIVE);
    EXPECT_TRUE(IsWindow(HWINDOW));
    EXPECT_EQ(SETKEY[VK_ESCAPE], 0);
    MSG quit{};
    ASSERT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 0u);

    // Releasing it afterwards is an ordinary key release.
    MOUSEFREE = true;
    SETKEY[VK_ESCAPE] = -1;
    Send(WM_KEYUP, VK_ESCAPE, 0);
    EXPECT_EQ(SETKEY[VK_ESCAPE], 0);
    EXPECT_FALSE(MOUSEFREE);
}

TEST_F(WindowProc, KeysSetAndClearTheirEntryAndAnyReleaseEndsMouseLook) {
    const struct {
        UINT message;
        WPARAM key;
        int32_t entry;
        bool mousefree_after;
    } steps[] = {
        {WM_KEYDOWN, 'A', -1, true},    {WM_KEYDOWN, VK_F1, -1, true}, {WM_KEYDOWN, 'A', -1, true},
        {WM_KEYUP, 'A', 0, false},      {WM_KEYDOWN, 255, -1, false},  {WM_KEYUP, VK_F1, 0, false},
        {WM_KEYUP, VK_SPACE, 0, false},
    };
    MOUSEFREE = true;
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(s.message == WM_KEYDOWN ? "down " : "up ") +
                     std::to_string(s.key));
        Send(s.message, s.key, 0);
        EXPECT_EQ(SETKEY[int64_t(s.key)], s.entry);
        EXPECT_EQ(MOUSEFREE, s.mousefree_after);
        EXPECT_TRUE(ACTIVE);
    }
    EXPECT_EQ(SETKEY['B'], 0);
}

TEST_F(WindowProc, DragsTurnTheAnglesAndDepthsByTheMouseSpeed) {
    // expected angles and depths are for MSPEED 1; at 0 none of them moves,
    // while the coordinates and button flags follow the mouse all the same.
    struct Step {
        const char* what;
        UINT message;
        int x, y;
        float xrot, yrot, depth;
        int32_t xcoord, ycoord, zcoord, setmx, setmy;
        bool left, right, captured;
    };
    const Step steps[] = {
        {"left press", WM_LBUTTONDOWN, 10, 20, 0, 0, 0, 10, 20, 0, 10, 20, true, false, true},
        {"move right by 5", WM_MOUSEMOVE, 15, 20, 0, 2.5f, 0, 15, 20, 0, 10, 20, true, false, true},
        {"move down by 3", WM_MOUSEMOVE, 15, 23, 1.5f, 2.5f, 0, 15, 23, 0, 10, 20, true, false,
         true},
        // Captured, left of the client area: a small negative x.
        {"move out to the left", WM_MOUSEMOVE, -5, 23, 1.5f, -7.5f, 0, -5, 23, 0, 10, 20, true,
         false, true},
        {"move out above", WM_MOUSEMOVE, -5, -7, -13.5f, -7.5f, 0, -5, -7, 0, 10, 20, true, false,
         true},
        {"left release", WM_LBUTTONUP, 30, 40, -13.5f, -7.5f, 0, 0, 0, 0, 0, 0, false, false,
         false},
        {"move without a button", WM_MOUSEMOVE, 50, 60, -13.5f, -7.5f, 0, 0, 0, 0, 0, 0, false,
         false, false},
        {"right press", WM_RBUTTONDOWN, 0, 100, -13.5f, -7.5f, 0, 0, 0, 100, 0, 0, false, true,
         true},
        {"move down by 20", WM_MOUSEMOVE, 0, 120, -13.5f, -7.5f, -2.0f, 0, 0, 120, 0, 0, false,
         true, true},
        {"move up by 5", WM_MOUSEMOVE, 0, 115, -13.5f, -7.5f, -1.5f, 0, 0, 115, 0, 0, false, true,
         true},
        {"right release", WM_RBUTTONUP, 0, 115, -13.5f, -7.5f, -1.5f, 0, 0, 115, 0, 0, false, false,
         false},
    };
    for (int32_t speed : {1, 0}) {
        SetUp();
        MSPEED = speed;
        for (const Step& s : steps) {
            SCOPED_TRACE(std::string(s.what) + " at MSPEED " + std::to_string(speed));
            Send(s.message, 0, At(s.x, s.y));
            EXPECT_FLOAT_EQ(XROT, s.xrot * speed);
            EXPECT_FLOAT_EQ(YROT, s.yrot * speed);
            EXPECT_FLOAT_EQ(XROT2, XROT);
            EXPECT_FLOAT_EQ(YROT2, YROT);
            EXPECT_FLOAT_EQ(DEPTH, s.depth * speed);
            EXPECT_FLOAT_EQ(DEPTH2, DEPTH);
            EXPECT_EQ(XCOORD, s.xcoord);
            EXPECT_EQ(YCOORD, s.ycoord);
            EXPECT_EQ(ZCOORD, s.zcoord);
            EXPECT_EQ(SETMX, s.setmx);
            EXPECT_EQ(SETMY, s.setmy);
            if (s.message == WM_MOUSEMOVE) {
                EXPECT_EQ(SETOMX, s.x);
                EXPECT_EQ(SETOMY, s.y);
            }
            EXPECT_EQ(LEFTMOUSEDOWN, s.left);
            EXPECT_EQ(LEFTMOUSEDOWN2, s.left);
            EXPECT_EQ(RIGHTMOUSEDOWN, s.right);
            EXPECT_EQ(RIGHTMOUSEDOWN2, s.right);
            EXPECT_EQ(GetCapture() == HWINDOW, s.captured);
        }
    }
}

TEST_F(WindowProc, ARightDragIsIgnoredInMouseLook) {
    MSPEED = 1;
    Send(WM_RBUTTONDOWN, MK_RBUTTON, At(0, 100));
    MOUSEFREE = true;
    Send(WM_MOUSEMOVE, MK_RBUTTON, At(0, 150));
    EXPECT_FLOAT_EQ(DEPTH, 0);
    EXPECT_FLOAT_EQ(DEPTH2, 0);
    EXPECT_EQ(ZCOORD, 100);
    EXPECT_TRUE(RIGHTMOUSEDOWN);
}

TEST_F(WindowProc, MouseLookTurnsByTheDistanceFromTheCentreAndClampsAt60) {
    ASSERT_EQ(GetForegroundWindow(), HWINDOW);
    MOUSEFREE = true;
    MSPEED = 1;
    // The centre is (WIDTH / 2, HEIGHT / 2) on the screen: (400, 300).
    SetCursorPos(400, 600); // 300 below
    Send(WM_MOUSEMOVE, 0, At(1, 1));
    EXPECT_FLOAT_EQ(YROT, 3.0f);
    EXPECT_FLOAT_EQ(YROT2, 3.0f);
    EXPECT_FLOAT_EQ(XROT, 0);
    EXPECT_EQ(MPOS.x, 400);
    EXPECT_EQ(MPOS.y, 600);
    EXPECT_EQ(Cursor().x, 400);
    EXPECT_EQ(Cursor().y, 300);

    SetCursorPos(650, 300); // 250 to the right
    Send(WM_MOUSEMOVE, 0, At(1, 1));
    EXPECT_FLOAT_EQ(XROT, 2.5f);
    EXPECT_FLOAT_EQ(XROT2, 2.5f);
    EXPECT_FLOAT_EQ(YROT, 3.0f);

    for (int i = 0; i < 30; ++i) {
        SetCursorPos(400, 700);
        Send(WM_MOUSEMOVE, 0, At(1, 1));
        EXPECT_LE(YROT, 60.0f);
        EXPECT_EQ(Cursor().y, 300);
    }
    EXPECT_FLOAT_EQ(YROT, 60.0f);
    EXPECT_FLOAT_EQ(YROT2, 60.0f);
    for (int i = 0; i < 60; ++i) {
        SetCursorPos(400, 0);
        Send(WM_MOUSEMOVE, 0, At(1, 1));
    }
    EXPECT_FLOAT_EQ(YROT, -60.0f);
    EXPECT_FLOAT_EQ(YROT2, -60.0f);
    // The left-drag axes are not clamped: only mouse look limits YROT.
    EXPECT_FLOAT_EQ(XROT, 2.5f);
}

TEST_F(WindowProc, MouseLookIsSkippedWhileAnotherWindowIsInTheForeground) {
    HWND other = CreateWindowExA(0, "GLWindow", "other", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    ASSERT_EQ(GetForegroundWindow(), other);
    MOUSEFREE = true;
    MSPEED = 1;
    SetCursorPos(400, 600);
    Send(WM_MOUSEMOVE, 0, At(1, 1));
    EXPECT_FLOAT_EQ(YROT, 0);
    EXPECT_EQ(MPOS.y, 0);
    EXPECT_EQ(Cursor().y, 600);
    EXPECT_EQ(SETOMX, 1);
    // "other" shares the class, so its destruction clears ACTIVE too.
    DestroyWindow(other);
}

TEST_F(WindowProc, CommandsGoToTheHookOnlyWithTheMenuBarAndAlwaysAnswerZero) {
    const struct {
        bool menubar, hook;
        int calls;
    } cases[] = {{false, false, 0}, {false, true, 0}, {true, false, 0}, {true, true, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("menu bar ") + (c.menubar ? "on" : "off") + ", hook " +
                     (c.hook ? "on" : "off"));
        SHOWMENUBAR = c.menubar;
        GETINPUTCOMMAND = c.hook ? RecordCommand : nullptr;
        command = {};
        EXPECT_EQ(Send(WM_COMMAND, MAKEWPARAM(1234, 0), 0x55), 0);
        EXPECT_EQ(command.calls, c.calls);
        if (c.calls == 1) {
            EXPECT_EQ(command.window, HWINDOW);
            EXPECT_EQ(command.message, UINT(WM_COMMAND));
            EXPECT_EQ(command.wparam, WPARAM(1234));
            EXPECT_EQ(command.lparam, LPARAM(0x55));
        }
    }
}

TEST_F(WindowProc, ContextMenuHookOnlyWithTheMenuBar) {
    const struct {
        bool menubar, hook;
        int calls;
    } cases[] = {{false, false, 0}, {false, true, 0}, {true, false, 0}, {true, true, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("menu bar ") + (c.menubar ? "on" : "off") + ", hook " +
                     (c.hook ? "on" : "off"));
        SHOWMENUBAR = c.menubar;
        CREATEMOUSEMENU = c.hook ? CountMenu : nullptr;
        menu_calls = 0;
        Send(WM_CONTEXTMENU, WPARAM(HWINDOW), At(5, 5));
        EXPECT_EQ(menu_calls, c.calls);
        // A right-button release becomes a context-menu request by default.
        menu_calls = 0;
        Send(WM_RBUTTONUP, 0, At(5, 5));
        EXPECT_EQ(menu_calls, c.calls);
    }
}

TEST_F(WindowProc, AClosedWindowClearsActive) {
    Send(WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(HWINDOW));
    EXPECT_FALSE(ACTIVE);
}
