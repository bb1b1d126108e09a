// Host input through the host's own event path (the test seam injects SDL
// events): key messages with Win32's lParam bits, characters, system keys,
// mouse messages with MK_ flags and signed positions, close requests,
// activation, focus and capture.
#include <windows.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<MSG> g_seen;

LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    g_seen.push_back(MSG{h, m, wp, lp, 0, {}});
    return DefWindowProcA(h, m, wp, lp);
}

class Input : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = "InputTest";
        RegisterClassA(&wc);
        // A captioned window: its client area starts at (103, 119).
        win_ = CreateWindowExA(0, "InputTest", "in", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100,
                               300, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(win_);
        Pump();
        g_seen.clear();
    }
    void TearDown() override {
        if (IsWindow(win_)) DestroyWindow(win_);
        Pump();
    }
    // Takes and dispatches everything queued; returns what was taken.
    std::vector<MSG> Pump() {
        std::vector<MSG> got;
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_PAINT) {
                ValidateRect(m.hwnd, nullptr);
                continue;
            }
            got.push_back(m);
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        return got;
    }
    static std::vector<UINT> Ids(const std::vector<MSG>& v) {
        std::vector<UINT> out;
        for (const MSG& m : v)
            out.push_back(m.message);
        return out;
    }
    HWND win_ = nullptr;
};

TEST_F(Input, KeysCarryWin32LParamBitsAndBecomeCharacters) {
    qv::testing::InjectKey(win_, 'A', true);
    qv::testing::InjectKey(win_, 'A', true); // held: a repeat
    qv::testing::InjectKey(win_, 'A', false);
    std::vector<MSG> got = Pump();
    std::vector<MSG> keys, chars;
    for (const MSG& m : got)
        (m.message == WM_CHAR ? chars : keys).push_back(m);
    ASSERT_EQ(Ids(keys), (std::vector<UINT>{WM_KEYDOWN, WM_KEYDOWN, WM_KEYUP}));
    struct Want {
        bool previous, transition;
    } want[] = {{false, false}, {true, false}, {true, true}};
    for (int i = 0; i < 3; ++i) {
        DWORD lp = DWORD(keys[i].lParam);
        EXPECT_EQ(keys[i].hwnd, win_);
        EXPECT_EQ(keys[i].wParam, WPARAM('A'));
        EXPECT_EQ(lp & 0xFFFF, 1u) << i;          // repeat count
        EXPECT_EQ((lp >> 16) & 0xFF, 0x1Eu) << i; // scan code of A
        EXPECT_EQ(bool(lp & (1u << 30)), want[i].previous) << i;
        EXPECT_EQ(bool(lp & (1u << 31)), want[i].transition) << i;
    }
    ASSERT_EQ(chars.size(), 2u);
    EXPECT_EQ(chars[0].wParam, WPARAM('a'));
}

TEST_F(Input, ShiftGivesCapitalsAndGetKeyStateFollowsTheMessagesTaken) {
    qv::testing::InjectKey(win_, VK_SHIFT, true);
    qv::testing::InjectKey(win_, '1', true);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    EXPECT_EQ(m.wParam, WPARAM(VK_SHIFT));
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetAsyncKeyState('1'), 0);
    EXPECT_GE(GetKeyState('1'), 0); // not taken yet
    std::vector<MSG> got = Pump();
    bool bang = false;
    for (const MSG& c : got)
        bang = bang || (c.message == WM_CHAR && c.wParam == '!');
    EXPECT_TRUE(bang);
    qv::testing::InjectKey(win_, '1', false);
    qv::testing::InjectKey(win_, VK_SHIFT, false);
    Pump();
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

TEST_F(Input, EscapeIsAPlainKeyAndAltF4ClosesTheWindow) {
    qv::testing::InjectKey(win_, VK_ESCAPE, true);
    qv::testing::InjectKey(win_, VK_ESCAPE, false);
    std::vector<MSG> got = Pump();
    ASSERT_GE(got.size(), 2u);
    EXPECT_EQ(got[0].message, UINT(WM_KEYDOWN));
    EXPECT_EQ(got[0].wParam, WPARAM(VK_ESCAPE));
    EXPECT_TRUE(IsWindow(win_));

    qv::testing::InjectKey(win_, VK_MENU, true);
    qv::testing::InjectKey(win_, VK_F4, true);
    got = Pump();
    ASSERT_EQ(Ids(got), (std::vector<UINT>{WM_SYSKEYDOWN, WM_SYSKEYDOWN}));
    EXPECT_EQ(got[0].wParam, WPARAM(VK_MENU));
    EXPECT_EQ(got[1].wParam, WPARAM(VK_F4));
    EXPECT_TRUE(got[1].lParam & (1 << 29)); // Alt held
    EXPECT_FALSE(IsWindow(win_));
    bool close_seen = false;
    for (const MSG& s : g_seen)
        close_seen = close_seen || (s.message == WM_SYSCOMMAND && s.wParam == SC_CLOSE);
    EXPECT_TRUE(close_seen);
    qv::testing::InjectKey(nullptr, VK_F4, false);
    qv::testing::InjectKey(nullptr, VK_MENU, false);
    Pump();
}

TEST_F(Input, MouseMovesCoalesceAndButtonsCarryFlags) {
    qv::testing::InjectMouseMove(win_, 1, 1);
    qv::testing::InjectMouseMove(win_, 2, 2);
    qv::testing::InjectMouseMove(win_, 30, 40);
    qv::testing::InjectButton(win_, 1, true, 30, 40);
    qv::testing::InjectMouseMove(win_, 31, 41);
    qv::testing::InjectButton(win_, 3, true, 31, 41);
    qv::testing::InjectButton(win_, 1, false, 31, 41);
    qv::testing::InjectButton(win_, 3, false, 31, 41);
    std::vector<MSG> got = Pump();
    std::vector<UINT> want = {WM_MOUSEMOVE,   WM_LBUTTONDOWN, WM_MOUSEMOVE,
                              WM_RBUTTONDOWN, WM_LBUTTONUP,   WM_RBUTTONUP};
    ASSERT_EQ(Ids(got), want);
    EXPECT_EQ(GET_X_LPARAM(got[0].lParam), 30);
    EXPECT_EQ(GET_Y_LPARAM(got[0].lParam), 40);
    WPARAM flags[] = {0, MK_LBUTTON, MK_LBUTTON, MK_LBUTTON | MK_RBUTTON, MK_RBUTTON, 0};
    for (size_t i = 0; i < want.size(); ++i)
        EXPECT_EQ(got[i].wParam, flags[i]) << i;
    POINT p{31, 41};
    ClientToScreen(win_, &p);
    EXPECT_EQ(got[4].pt.x, p.x);
    EXPECT_EQ(got[4].pt.y, p.y);
    // The right release asked for a context menu at the screen position.
    bool menu = false;
    for (const MSG& s : g_seen)
        if (s.message == WM_CONTEXTMENU)
            menu = GET_X_LPARAM(s.lParam) == p.x && GET_Y_LPARAM(s.lParam) == p.y;
    EXPECT_TRUE(menu);
}

TEST_F(Input, CapturedMouseLeftOfTheClientAreaArrivesNegative) {
    EXPECT_EQ(SetCapture(win_), nullptr);
    EXPECT_EQ(GetCapture(), win_);
    qv::testing::InjectMouseMove(win_, -7, 5);
    std::vector<MSG> got = Pump();
    ASSERT_EQ(Ids(got), (std::vector<UINT>{WM_MOUSEMOVE}));
    EXPECT_EQ(LOWORD(got[0].lParam), 0xFFF9);
    EXPECT_EQ(GET_X_LPARAM(got[0].lParam), -7);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    bool changed = false;
    for (const MSG& s : g_seen)
        changed = changed || s.message == WM_CAPTURECHANGED;
    EXPECT_TRUE(changed);
}

TEST_F(Input, MouseGoesToTheChildUnderThePointerInItsOwnCoordinates) {
    HWND child = CreateWindowExA(0, "InputTest", "", WS_CHILD | WS_VISIBLE, 50, 60, 40, 30, win_,
                                 reinterpret_cast<HMENU>(9), nullptr, nullptr);
    ASSERT_TRUE(child);
    Pump();
    qv::testing::InjectButton(win_, 1, true, 55, 65);
    qv::testing::InjectButton(win_, 1, false, 10, 10);
    std::vector<MSG> got = Pump();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].hwnd, child);
    EXPECT_EQ(GET_X_LPARAM(got[0].lParam), 5);
    EXPECT_EQ(GET_Y_LPARAM(got[0].lParam), 5);
    EXPECT_EQ(got[1].hwnd, win_);
    EXPECT_EQ(GetDlgCtrlID(child), 9);
}

TEST_F(Input, CloseButtonArrivesAsScCloseAndDestroysByDefault) {
    qv::testing::InjectCloseRequest(win_);
    std::vector<MSG> got = Pump();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].message, UINT(WM_SYSCOMMAND));
    EXPECT_EQ(got[0].wParam, WPARAM(SC_CLOSE));
    EXPECT_FALSE(IsWindow(win_));
}

TEST_F(Input, ShowingMakesForegroundAndFocusEventsActivate) {
    EXPECT_EQ(GetForegroundWindow(), win_);
    EXPECT_EQ(GetFocus(), win_);
    HWND other = CreateWindowExA(0, "InputTest", "b", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    EXPECT_EQ(GetForegroundWindow(), other);
    std::vector<UINT> to_first;
    for (const MSG& s : g_seen)
        if (s.hwnd == win_) to_first.push_back(s.message);
    EXPECT_EQ(to_first, (std::vector<UINT>{WM_KILLFOCUS, WM_NCACTIVATE, WM_ACTIVATE}));
    g_seen.clear();
    qv::testing::InjectFocus(win_, true);
    Pump();
    EXPECT_EQ(GetForegroundWindow(), win_);
    EXPECT_EQ(GetFocus(), win_);
    bool activated = false, focused = false;
    for (const MSG& s : g_seen) {
        if (s.hwnd != win_) continue;
        activated = activated || (s.message == WM_ACTIVATE && LOWORD(s.wParam) == WA_ACTIVE);
        focused = focused || s.message == WM_SETFOCUS;
    }
    EXPECT_TRUE(activated && focused);
    qv::testing::InjectFocus(win_, false);
    Pump();
    EXPECT_EQ(GetForegroundWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    // Destroying the foreground window hands the foreground on.
    SetForegroundWindow(win_);
    DestroyWindow(win_);
    EXPECT_EQ(GetForegroundWindow(), other);
    DestroyWindow(other);
    EXPECT_EQ(GetForegroundWindow(), nullptr);
}

TEST_F(Input, SetFocusMovesBetweenChildrenWithKillAndSetFocus) {
    HWND a = CreateWindowExA(0, "InputTest", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, win_,
                             reinterpret_cast<HMENU>(1), nullptr, nullptr);
    HWND b = CreateWindowExA(0, "InputTest", "", WS_CHILD | WS_VISIBLE, 20, 0, 10, 10, win_,
                             reinterpret_cast<HMENU>(2), nullptr, nullptr);
    EXPECT_EQ(SetFocus(a), win_);
    g_seen.clear();
    EXPECT_EQ(SetFocus(b), a);
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[0].hwnd, a);
    EXPECT_EQ(g_seen[0].message, UINT(WM_KILLFOCUS));
    EXPECT_EQ(g_seen[1].hwnd, b);
    EXPECT_EQ(g_seen[1].message, UINT(WM_SETFOCUS));
    // Keys go to the focus window.
    qv::testing::InjectKey(win_, 'Z', true);
    qv::testing::InjectKey(win_, 'Z', false);
    std::vector<MSG> got = Pump();
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got[0].hwnd, b);
    // Its destruction gives the focus back to the parent.
    DestroyWindow(b);
    EXPECT_EQ(GetFocus(), win_);
}

} // namespace
