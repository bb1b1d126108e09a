// Window classes, geometry and the frame model, metrics, window values,
// text and properties.
#include <windows.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

LRESULT CALLBACK Plain(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(h, m, wp, lp);
}

HWND Make(DWORD style, int x, int y, int w, int h, HWND parent = nullptr, DWORD ex = 0) {
    return CreateWindowExA(ex, "WinTest", "title", style, x, y, w, h, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

class Windows : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = Plain;
        wc.cbWndExtra = 16;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "WinTest";
        atom_ = RegisterClassExA(&wc);
        before_ = qv::testing::CountLiveObjects();
    }
    void TearDown() override {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
            if (m.message == WM_PAINT) ValidateRect(m.hwnd, nullptr);
        EXPECT_EQ(qv::testing::CountLiveObjects(), before_);
    }
    ATOM atom_ = 0;
    qv::testing::LiveObjects before_;
};

TEST_F(Windows, ClassesAreNamedWithoutCaseAndByAtomAndRegisterOnce) {
    ASSERT_NE(atom_, 0);
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    EXPECT_EQ(GetClassInfoExA(nullptr, "wintest", &info), BOOL(atom_));
    EXPECT_EQ(info.lpfnWndProc, &Plain);
    EXPECT_EQ(info.cbWndExtra, 16);
    EXPECT_STREQ(info.lpszClassName, "WinTest");
    EXPECT_TRUE(GetClassInfoExA(GetModuleHandleA(nullptr), MAKEINTATOM(atom_), &info));

    WNDCLASSA again{};
    again.lpfnWndProc = Plain;
    again.lpszClassName = "WINTEST";
    EXPECT_EQ(RegisterClassA(&again), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));

    HWND h = CreateWindowExA(0, MAKEINTATOM(atom_), "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_TRUE(h);
    EXPECT_FALSE(UnregisterClassA("WinTest", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_HAS_WINDOWS));
    DestroyWindow(h);

    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));

    WNDCLASSA temp{};
    temp.lpfnWndProc = Plain;
    temp.lpszClassName = "Temporary";
    ASSERT_TRUE(RegisterClassA(&temp));
    EXPECT_TRUE(UnregisterClassA("TEMPORARY", nullptr));
    EXPECT_FALSE(GetClassInfoExA(nullptr, "Temporary", &info));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_DOES_NOT_EXIST));
    EXPECT_TRUE(RegisterClassA(&temp)); // the name is free again
    EXPECT_TRUE(UnregisterClassA("Temporary", nullptr));
}

TEST_F(Windows, RegistrationRejectsIncompleteClassesAndForcedFailures) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Plain;
    wc.lpszClassName = "Bad";
    WNDCLASSEXA no_size = wc, no_proc = wc, no_name = wc, negative = wc;
    no_size.cbSize = 0;
    no_proc.lpfnWndProc = nullptr;
    no_name.lpszClassName = nullptr;
    negative.cbWndExtra = -1;
    for (const WNDCLASSEXA* c : {&no_size, &no_proc, &no_name, &negative}) {
        EXPECT_EQ(RegisterClassExA(c), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    EXPECT_EQ(RegisterClassExA(nullptr), 0);
    EXPECT_EQ(RegisterClassA(nullptr), 0);
    qv::testing::FailCall("RegisterClassA");
    WNDCLASSA a{};
    a.lpfnWndProc = Plain;
    a.lpszClassName = "Bad";
    EXPECT_EQ(RegisterClassA(&a), 0);
    ATOM ok = RegisterClassA(&a); // only the next call failed
    EXPECT_NE(ok, 0);
    UnregisterClassA("Bad", nullptr);
    qv::testing::FailCall("CreateWindowExA");
    EXPECT_EQ(Make(WS_POPUP, 0, 0, 5, 5), nullptr);
}

struct FrameCase {
    const char* name;
    DWORD style;
    RECT client; // relative to the outer corner
};

TEST_F(Windows, FrameModelAndAdjustWindowRectAgree) {
    const FrameCase cases[] = {
        {"captioned", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, {3, 19, 797, 597}},
        {"the framework's captioned style", 0x96CA0000u & ~DWORD(WS_VISIBLE), {3, 19, 797, 597}},
        {"border only", WS_POPUP | WS_BORDER | WS_SYSMENU, {1, 1, 799, 599}},
        {"no frame", WS_POPUP, {0, 0, 800, 600}},
        {"overlapped gets a caption", WS_OVERLAPPED, {3, 19, 797, 597}},
    };
    for (const FrameCase& c : cases) {
        HWND h = Make(c.style, 40, 50, 800, 600);
        ASSERT_TRUE(h) << c.name;
        RECT wr, cr;
        GetWindowRect(h, &wr);
        GetClientRect(h, &cr);
        EXPECT_EQ(wr.left, 40) << c.name;
        EXPECT_EQ(wr.right - wr.left, 800) << c.name;
        EXPECT_EQ(cr.right, c.client.right - c.client.left) << c.name;
        EXPECT_EQ(cr.bottom, c.client.bottom - c.client.top) << c.name;
        POINT origin{0, 0};
        ClientToScreen(h, &origin);
        EXPECT_EQ(origin.x, 40 + c.client.left) << c.name;
        EXPECT_EQ(origin.y, 50 + c.client.top) << c.name;
        RECT adj = cr;
        AdjustWindowRect(&adj, DWORD(GetWindowLongPtrA(h, GWL_STYLE)), FALSE);
        EXPECT_EQ(adj.right - adj.left, 800) << c.name;
        EXPECT_EQ(adj.bottom - adj.top, 600) << c.name;
        DestroyWindow(h);
    }
    EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFIXEDFRAME), 19);
    EXPECT_EQ(GetSystemMetrics(SM_CXFIXEDFRAME), 3);
    EXPECT_EQ(GetSystemMetrics(SM_CXBORDER), 1);
}

TEST_F(Windows, ScreenSizeAndDefaultPositions) {
    qv::testing::SetVirtualScreenSize(1920, 1080);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1080);
    HWND pop = Make(WS_POPUP | WS_BORDER, CW_USEDEFAULT, CW_USEDEFAULT, 1920, 1080);
    RECT r;
    GetWindowRect(pop, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 1920);
    DestroyWindow(pop);
    qv::testing::SetVirtualScreenSize(640, 480);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    qv::testing::SetVirtualScreenSize(1920, 1080);
}

TEST_F(Windows, ChildrenLiveInTheParentsClientCoordinates) {
    HWND top = Make(WS_POPUP | WS_CAPTION, 100, 100, 300, 200);
    HWND child = Make(WS_CHILD | WS_BORDER, 10, 20, 50, 40, top);
    ASSERT_TRUE(child);
    EXPECT_EQ(GetParent(child), top);
    EXPECT_EQ(GetParent(top), nullptr);
    EXPECT_TRUE(IsChild(top, child));
    RECT r;
    GetWindowRect(child, &r);
    EXPECT_EQ(r.left, 100 + 3 + 10);
    EXPECT_EQ(r.top, 100 + 19 + 20);
    POINT p{0, 0};
    ClientToScreen(child, &p);
    EXPECT_EQ(p.x, r.left + 1);
    ScreenToClient(top, &p);
    EXPECT_EQ(p.x, 11);
    EXPECT_TRUE(MoveWindow(child, 0, 0, 20, 10, TRUE));
    GetClientRect(child, &r);
    EXPECT_EQ(r.right, 18);
    EXPECT_EQ(r.bottom, 8);
    // A child needs a parent.
    EXPECT_EQ(Make(WS_CHILD, 0, 0, 1, 1), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_TLW_WITH_WSCHILD));
    DestroyWindow(top);
    EXPECT_FALSE(IsWindow(child));
}

TEST_F(Windows, WindowValuesTextAndExtraBytes) {
    HWND h = Make(WS_POPUP, 0, 0, 10, 10);
    EXPECT_EQ(SetWindowLongPtrA(h, GWLP_USERDATA, 1234), 0);
    EXPECT_EQ(GetWindowLongPtrA(h, GWLP_USERDATA), 1234);
    EXPECT_EQ(GetWindowLongPtrA(h, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&Plain));
    EXPECT_EQ(DWORD(GetWindowLongPtrA(h, GWL_STYLE)), DWORD(WS_POPUP));
    SetWindowLongPtrA(h, 8, LONG_PTR(0x1122334455667788));
    EXPECT_EQ(GetWindowLongPtrA(h, 8), LONG_PTR(0x1122334455667788));
    EXPECT_EQ(GetWindowLongPtrA(h, 9), 0); // past the 16 extra bytes
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));
    EXPECT_EQ(GetWindowLongPtrA(h, -99), 0);

    char buf[64];
    EXPECT_EQ(GetWindowTextA(h, buf, sizeof buf), 5);
    EXPECT_STREQ(buf, "title");
    EXPECT_TRUE(SetWindowTextA(h, "Caff\xE8 lungo"));
    EXPECT_EQ(GetWindowTextLengthA(h), 11);
    EXPECT_EQ(GetWindowTextA(h, buf, 5), 4); // truncated and terminated
    EXPECT_STREQ(buf, "Caff");
    EXPECT_TRUE(SetWindowTextA(h, nullptr));
    EXPECT_EQ(GetWindowTextLengthA(h), 0);
    DestroyWindow(h);
}

TEST_F(Windows, PropertiesIgnoreCaseAndAcceptAtoms) {
    HWND h = Make(WS_POPUP, 0, 0, 10, 10);
    HANDLE v1 = reinterpret_cast<HANDLE>(uintptr_t(0x10)),
           v2 = reinterpret_cast<HANDLE>(uintptr_t(0x20));
    EXPECT_TRUE(SetPropA(h, "Button.State", v1));
    EXPECT_EQ(GetPropA(h, "BUTTON.STATE"), v1);
    ATOM a = GlobalFindAtomA("button.state");
    ASSERT_NE(a, 0);
    EXPECT_EQ(GetPropA(h, MAKEINTATOM(a)), v1);
    EXPECT_TRUE(SetPropA(h, "button.state", v2)); // the same property
    EXPECT_EQ(GetPropA(h, "Button.State"), v2);
    EXPECT_EQ(GetPropA(h, "other"), nullptr);
    EXPECT_EQ(RemovePropA(h, "Button.state"), v2);
    EXPECT_EQ(GetPropA(h, "Button.State"), nullptr);
    EXPECT_EQ(RemovePropA(h, "Button.State"), nullptr);
    EXPECT_FALSE(SetPropA(h, nullptr, v1));
    SetPropA(h, "left behind", v1); // goes with the window
    DestroyWindow(h);
    EXPECT_EQ(GetPropA(h, "left behind"), nullptr);
}

TEST_F(Windows, ShowHideAndVisibility) {
    HWND h = Make(WS_POPUP, 0, 0, 10, 10);
    HWND c = Make(WS_CHILD | WS_VISIBLE, 0, 0, 5, 5, h);
    EXPECT_FALSE(IsWindowVisible(h));
    EXPECT_FALSE(IsWindowVisible(c)); // its parent is hidden
    EXPECT_FALSE(ShowWindow(h, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(c));
    EXPECT_EQ(GetForegroundWindow(), h);
    EXPECT_TRUE(ShowWindow(h, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(h));
    EXPECT_NE(GetForegroundWindow(), h);
    DestroyWindow(h);
}

TEST_F(Windows, RectangleHelpers) {
    RECT a, b, r;
    SetRect(&a, 0, 0, 10, 10);
    SetRect(&b, 5, 5, 20, 20);
    EXPECT_TRUE(IntersectRect(&r, &a, &b));
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.right, 10);
    EXPECT_TRUE(UnionRect(&r, &a, &b));
    EXPECT_EQ(r.right, 20);
    RECT far{30, 30, 40, 40};
    EXPECT_FALSE(IntersectRect(&r, &a, &far));
    EXPECT_TRUE(IsRectEmpty(&r));
    EXPECT_TRUE(PtInRect(&a, POINT{0, 0}));
    EXPECT_FALSE(PtInRect(&a, POINT{10, 5})); // right edge excluded
    OffsetRect(&a, 2, 3);
    InflateRect(&a, 1, 1);
    RECT want{1, 2, 13, 14};
    EXPECT_TRUE(EqualRect(&a, &want));
    CopyRect(&r, &a);
    EXPECT_TRUE(EqualRect(&r, &a));
    SetRectEmpty(&r);
    EXPECT_TRUE(IsRectEmpty(&r));
    EXPECT_FALSE(SetRect(nullptr, 0, 0, 1, 1));
}

} // namespace
