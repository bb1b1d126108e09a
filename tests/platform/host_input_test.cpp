// Host input: synthetic events pushed through SDL's queue come back as
// host events with Win32's key codes, and the rest of the host's seams to
// the desktop behave headless.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "host/host.h"

namespace {

using namespace qv::host;

class HostInput : public ::testing::Test {
  protected:
    void SetUp() override {
        WindowDesc d;
        d.x = 100;
        d.y = 50;
        d.width = 64;
        d.height = 48;
        d.visible = false;
        win = CreateNativeWindow(d);
        ASSERT_NE(win, 0u);
        Event e;
        while (PollEvent(e)) {
        }
    }
    void TearDown() override { DestroyNativeWindow(win); }

    Event Next() {
        Event e;
        EXPECT_TRUE(PollEvent(e));
        return e;
    }
    WindowId win = 0;
};

TEST_F(HostInput, KeysComeBackWithVirtualKeyAndScanCode) {
    struct Case {
        int vk;
        int expect_vk;
        int scan;
    } cases[] = {
        {0x1B, 0x1B, 0x01},  // Escape
        {'A', 'A', 0x1E},    // a letter
        {'Z', 'Z', 0x2C},    //
        {'0', '0', 0x0B},    // a digit
        {0x0D, 0x0D, 0x1C},  // Return
        {0x20, 0x20, 0x39},  // Space
        {0x09, 0x09, 0x0F},  // Tab
        {0x08, 0x08, 0x0E},  // Backspace
        {0x73, 0x73, 0x3E},  // F4
        {0x7A, 0x7A, 0x57},  // F11
        {0x87, 0x87, 0x76},  // F24
        {0x25, 0x25, 0x14B}, // Left arrow, extended
        {0x28, 0x28, 0x150}, // Down arrow
        {0x2E, 0x2E, 0x153}, // Delete
        {0x24, 0x24, 0x147}, // Home
        {0x22, 0x22, 0x151}, // Page Down
        {0x10, 0x10, 0x2A},  // Shift: the left key
        {0xA1, 0x10, 0x36},  // right Shift arrives as VK_SHIFT
        {0xA3, 0x11, 0x11D}, // right Control
        {0xA4, 0x12, 0x38},  // left Alt
        {0xA5, 0x12, 0x138}, // right Alt
        {0x14, 0x14, 0x3A},  // Caps Lock
        {0x67, 0x67, 0x47},  // numpad 7
        {0x6B, 0x6B, 0x4E},  // numpad +
        {0x6F, 0x6F, 0x135}, // numpad /
        {0xBA, 0xBA, 0x27},  // ; (OEM 1)
        {0xBC, 0xBC, 0x33},  // ,
        {0xDE, 0xDE, 0x28},  // '
        {0xE2, 0xE2, 0x56},  // the key between left Shift and Z
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vk);
        InjectKey(win, c.vk, true, false);
        InjectKey(win, c.vk, false, false);
        Event down = Next(), up = Next();
        EXPECT_EQ(down.kind, EventKind::KeyDown);
        EXPECT_EQ(up.kind, EventKind::KeyUp);
        EXPECT_EQ(down.window, win);
        EXPECT_EQ(down.vk, c.expect_vk);
        EXPECT_EQ(up.vk, c.expect_vk);
        EXPECT_EQ(down.scancode, c.scan);
        EXPECT_FALSE(down.repeat);
    }
    InjectKey(win, 'Q', true, true);
    Event rep = Next();
    EXPECT_TRUE(rep.repeat);

    // A code no key produces, and a window that does not exist, give nothing.
    InjectKey(win, 0xFF, true, false);
    InjectKey(win + 1000, 'A', true, false);
    Event e;
    EXPECT_FALSE(PollEvent(e));
}

TEST_F(HostInput, MouseEventsKeepSignedClientPositions) {
    InjectMouseMove(win, -5, 7);
    InjectButton(win, kButtonRight, true, 3, 4);
    InjectButton(win, kButtonRight, false, 3, 4);
    Event move = Next(), down = Next(), up = Next();
    EXPECT_EQ(move.kind, EventKind::MouseMove);
    EXPECT_EQ(move.window, win);
    EXPECT_EQ(move.x, -5);
    EXPECT_EQ(move.y, 7);
    EXPECT_EQ(down.kind, EventKind::ButtonDown);
    EXPECT_EQ(down.button, int(kButtonRight));
    EXPECT_EQ(down.x, 3);
    EXPECT_EQ(up.kind, EventKind::ButtonUp);

    // Headless, the cursor is virtual and follows the pointer's events.
    if (!IsHeadless()) return;
    int x = 0, y = 0;
    GetCursorPos(x, y);
    EXPECT_EQ(x, 103);
    EXPECT_EQ(y, 54);
    SetCursorPos(-10, 5000);
    GetCursorPos(x, y);
    EXPECT_EQ(x, 0);
    int sw = 0, sh = 0;
    GetScreenSize(sw, sh);
    EXPECT_EQ(y, sh - 1);
}

TEST_F(HostInput, CaptureRoutesAnotherWindowsMouseEventsToTheCapturer) {
    WindowDesc d;
    d.x = 300;
    d.y = 60;
    d.width = 10;
    d.height = 10;
    d.visible = false;
    WindowId other = CreateNativeWindow(d);
    ASSERT_NE(other, 0u);

    CaptureMouse(win, true);
    InjectMouseMove(other, 2, 3); // screen (302, 63) is (202, 13) in win
    Event e = Next();
    EXPECT_EQ(e.window, win);
    EXPECT_EQ(e.x, 202);
    EXPECT_EQ(e.y, 13);
    CaptureMouse(win, false);
    InjectMouseMove(other, 2, 3);
    e = Next();
    EXPECT_EQ(e.window, other);
    EXPECT_EQ(e.x, 2);
    DestroyNativeWindow(other);
}

TEST_F(HostInput, WindowEventsAndClosedWindows) {
    InjectCloseRequest(win);
    InjectFocus(win, true);
    InjectFocus(win, false);
    EXPECT_EQ(Next().kind, EventKind::CloseRequest);
    EXPECT_EQ(Next().kind, EventKind::FocusGained);
    EXPECT_EQ(Next().kind, EventKind::FocusLost);

    // Events still queued for a window that has gone are dropped.
    WindowDesc d;
    d.visible = false;
    WindowId gone = CreateNativeWindow(d);
    InjectKey(gone, 'A', true, false);
    DestroyNativeWindow(gone);
    Event e;
    EXPECT_FALSE(PollEvent(e));
    EXPECT_FALSE(WaitEvent(e, 20));
    InjectKey(win, 'B', true, false);
    ASSERT_TRUE(WaitEvent(e, 1000));
    EXPECT_EQ(e.vk, 'B');
}

TEST(HostHeadless, NoNativeBoxAndRecordOnlyCursors) {
    ASSERT_TRUE(Start());
    if (!IsHeadless()) GTEST_SKIP() << "needs the offscreen driver";
    EXPECT_EQ(ShowMessageBox("c", "t", {{1, "OK"}}, 1, 1, BoxIcon::None), -1);
    CursorId arrow = CreateSystemCursor(SystemCursor::Arrow);
    EXPECT_NE(arrow, 0u);
    Image img;
    img.width = img.height = 2;
    img.rgba.assign(16, 255);
    CursorId pic = CreateImageCursor(img, 1, 1);
    EXPECT_NE(pic, 0u);
    EXPECT_NE(pic, arrow);
    img.rgba.resize(3); // too short for its size
    EXPECT_EQ(CreateImageCursor(img, 0, 0), 0u);
    SetCursor(pic);
    DestroyCursor(pic);
    DestroyCursor(arrow);
    int w = 0, h = 0;
    SetVirtualScreenSize(800, 600);
    GetScreenSize(w, h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    SetVirtualScreenSize(1920, 1080);
    uint32_t t0 = TickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_GE(TickCount() - t0, 15u);
}

} // namespace
