// NULL, stale and foreign handles to every call of the user group fail as
// Win32 fails, touch no other window or queued message, and leak nothing;
// messages to a window being destroyed.
#include <windows.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

LRESULT CALLBACK Plain(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(h, m, wp, lp);
}

HWND MakeWindow(const char* title = "w") {
    return CreateWindowExA(0, "BadInput", title, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                           nullptr, nullptr, nullptr);
}

struct Call {
    const char* name;
    std::function<bool(HWND)> fails; // true when the call answered with failure
};

std::vector<Call> Calls() {
    static RECT r{0, 0, 1, 1};
    static char buf[16];
    static MSG msg;
    static PAINTSTRUCT ps;
    return {
        {"DestroyWindow", [](HWND h) { return !DestroyWindow(h); }},
        {"IsWindow", [](HWND h) { return !IsWindow(h); }},
        {"IsWindowVisible", [](HWND h) { return !IsWindowVisible(h); }},
        {"ShowWindow", [](HWND h) { return !ShowWindow(h, SW_SHOW); }},
        {"UpdateWindow", [](HWND h) { return !UpdateWindow(h); }},
        {"GetWindowRect", [](HWND h) { return !GetWindowRect(h, &r); }},
        {"GetClientRect", [](HWND h) { return !GetClientRect(h, &r); }},
        {"ClientToScreen",
         [](HWND h) {
             POINT p{};
             return !ClientToScreen(h, &p);
         }},
        {"ScreenToClient",
         [](HWND h) {
             POINT p{};
             return !ScreenToClient(h, &p);
         }},
        {"MoveWindow", [](HWND h) { return !MoveWindow(h, 0, 0, 5, 5, TRUE); }},
        {"SetWindowPos", [](HWND h) { return !SetWindowPos(h, nullptr, 0, 0, 5, 5, 0); }},
        {"GetParent", [](HWND h) { return GetParent(h) == nullptr; }},
        {"GetDlgCtrlID", [](HWND h) { return GetDlgCtrlID(h) == 0; }},
        {"SetWindowTextA", [](HWND h) { return !SetWindowTextA(h, "x"); }},
        {"GetWindowTextA",
         [](HWND h) {
             buf[0] = 'z';
             return GetWindowTextA(h, buf, 16) == 0 && buf[0] == 0;
         }},
        {"GetWindowTextLengthA", [](HWND h) { return GetWindowTextLengthA(h) == 0; }},
        {"SetPropA", [](HWND h) { return !SetPropA(h, "p", &buf); }},
        {"GetPropA", [](HWND h) { return GetPropA(h, "p") == nullptr; }},
        {"RemovePropA", [](HWND h) { return RemovePropA(h, "p") == nullptr; }},
        {"GetWindowLongPtrA", [](HWND h) { return GetWindowLongPtrA(h, GWL_STYLE) == 0; }},
        {"SetWindowLongPtrA", [](HWND h) { return SetWindowLongPtrA(h, GWLP_USERDATA, 5) == 0; }},
        {"GetClassNameA", [](HWND h) { return GetClassNameA(h, buf, 16) == 0; }},
        {"PostMessageA", [](HWND h) { return !PostMessageA(h, WM_USER, 0, 0); }},
        {"SendMessageA", [](HWND h) { return SendMessageA(h, WM_SETTEXT, 0, LPARAM("x")) == 0; }},
        {"PeekMessageA", [](HWND h) { return !PeekMessageA(&msg, h, 0, 0, PM_NOREMOVE); }},
        {"GetMessageA", [](HWND h) { return GetMessageA(&msg, h, 0, 0) == -1; }},
        {"DispatchMessageA",
         [](HWND h) {
             MSG m{h, WM_SETTEXT, 0, LPARAM("x"), 0, {}};
             return DispatchMessageA(&m) == 0;
         }},
        {"DefWindowProcA", [](HWND h) { return DefWindowProcA(h, WM_NCCREATE, 0, 0) == 0; }},
        {"BeginPaint", [](HWND h) { return BeginPaint(h, &ps) == nullptr; }},
        {"InvalidateRect", [](HWND h) { return !InvalidateRect(h, nullptr, TRUE); }},
        {"ValidateRect", [](HWND h) { return !ValidateRect(h, nullptr); }},
        {"GetUpdateRect", [](HWND h) { return !GetUpdateRect(h, &r, FALSE); }},
        {"SetCapture", [](HWND h) { return SetCapture(h) == nullptr && GetCapture() == nullptr; }},
        {"SetForegroundWindow", [](HWND h) { return !SetForegroundWindow(h); }},
        {"SetFocus", [](HWND h) { return SetFocus(h) == nullptr; }},
        {"EnableWindow",
         [](HWND h) {
             return !EnableWindow(h, FALSE) && GetLastError() == ERROR_INVALID_WINDOW_HANDLE;
         }},
        {"MessageBoxA", [](HWND h) { return MessageBoxA(h, "t", "c", MB_OK) == 0; }},
        {"CreateWindowExA parent",
         [](HWND h) {
             return CreateWindowExA(0, "BadInput", "", WS_CHILD, 0, 0, 1, 1, h, nullptr, nullptr,
                                    nullptr) == nullptr;
         }},
    };
}

class BadInput : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Plain;
        wc.lpszClassName = "BadInput";
        RegisterClassA(&wc);
        qv::testing::SetMessageBoxResponder(
            [](HWND, const std::string&, const std::string&, UINT) { return IDOK; });
    }
    void TearDown() override { qv::testing::SetMessageBoxResponder({}); }
};

TEST_F(BadInput, NullStaleAndForeignHandlesFailEveryCall) {
    HWND stale = MakeWindow();
    DestroyWindow(stale);
    HDC dc_handle = nullptr;
    {
        HWND w = MakeWindow();
        PAINTSTRUCT ps;
        dc_handle = BeginPaint(w, &ps); // a live handle of another kind
        EndPaint(w, &ps);
        DestroyWindow(w);
    }
    HCURSOR cursor = LoadCursorA(nullptr, IDC_ARROW);
    struct Bad {
        const char* kind;
        HWND hwnd;
    } bads[] = {
        {"stale", stale},
        {"a cursor's handle", reinterpret_cast<HWND>(cursor)},
        {"a DC's handle", reinterpret_cast<HWND>(dc_handle)},
        {"garbage", reinterpret_cast<HWND>(uintptr_t(0xDEADBEEFCAFEull))},
        {"slot out of range", reinterpret_cast<HWND>(uintptr_t(0x1001FFFF))},
    };
    HWND keep = MakeWindow("kept");
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE))
        if (m.message == WM_PAINT) ValidateRect(m.hwnd, nullptr);
    PostMessageA(keep, WM_USER + 5, 55, 0);
    SetPropA(keep, "p", &m);
    auto before = qv::testing::CountLiveObjects();
    for (const Bad& b : bads)
        for (const Call& c : Calls()) {
            SetLastError(0);
            EXPECT_TRUE(c.fails(b.hwnd)) << c.name << " with " << b.kind;
        }
    // NULL is a valid argument for some calls (the thread's queue, no
    // owner, no capture); for the rest it fails.
    const char* null_ok[] = {"PostMessageA", "PeekMessageA",          "GetMessageA",
                             "MessageBoxA",  "InvalidateRect",        "ValidateRect",
                             "SetFocus",     "CreateWindowExA parent"};
    for (const Call& c : Calls()) {
        bool ok = false;
        for (const char* n : null_ok)
            ok = ok || std::string(n) == c.name;
        if (ok) continue;
        EXPECT_TRUE(c.fails(nullptr)) << c.name << " with NULL";
    }
    EXPECT_EQ(qv::testing::CountLiveObjects(), before);
    char text[16];
    GetWindowTextA(keep, text, sizeof text);
    EXPECT_STREQ(text, "kept");
    EXPECT_EQ(GetPropA(keep, "p"), &m);
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER, WM_USER + 100, PM_REMOVE));
    EXPECT_EQ(m.wParam, 55u);
    DestroyWindow(keep);
}

HWND g_other;
bool g_send_ok, g_post_ok, g_valid_inside;

LRESULT CALLBACK Dying(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_USER) return 42;
    if (m == WM_DESTROY) {
        g_valid_inside = IsWindow(h);
        g_send_ok = SendMessageA(h, WM_USER, 0, 0) == 42;
        g_post_ok = PostMessageA(h, WM_USER + 1, 0, 0);
        DestroyWindow(h); // again, while the first destruction runs
        PostMessageA(g_other, WM_USER + 2, 0, 0);
    }
    return DefWindowProcA(h, m, wp, lp);
}

TEST_F(BadInput, MessagesToAWindowBeingDestroyed) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Dying;
    wc.lpszClassName = "Dying";
    RegisterClassA(&wc);
    auto before = qv::testing::CountLiveObjects();
    g_other = MakeWindow();
    HWND h =
        CreateWindowExA(0, "Dying", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(h);
    EXPECT_TRUE(DestroyWindow(h));
    EXPECT_TRUE(g_valid_inside);
    EXPECT_TRUE(g_send_ok);
    EXPECT_TRUE(g_post_ok);
    EXPECT_FALSE(IsWindow(h));
    // The message posted to the dying window went with it; the other stays.
    std::vector<UINT> got;
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_USER, WM_USER + 10, PM_REMOVE))
        got.push_back(m.message);
    EXPECT_EQ(got, std::vector<UINT>{WM_USER + 2});
    DestroyWindow(g_other);
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
    EXPECT_EQ(qv::testing::CountLiveObjects(), before);
}

TEST_F(BadInput, NullPointersWhereWin32RejectsThem) {
    HWND w = MakeWindow();
    EXPECT_FALSE(GetWindowRect(w, nullptr));
    EXPECT_FALSE(GetClientRect(w, nullptr));
    EXPECT_FALSE(PeekMessageA(nullptr, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetMessageA(nullptr, nullptr, 0, 0), -1);
    EXPECT_EQ(DispatchMessageA(nullptr), 0);
    EXPECT_FALSE(TranslateMessage(nullptr));
    EXPECT_EQ(BeginPaint(w, nullptr), nullptr);
    EXPECT_TRUE(EndPaint(w, nullptr));
    EXPECT_FALSE(GetCursorPos(nullptr));
    EXPECT_FALSE(GetClassInfoExA(nullptr, "BadInput", nullptr));
    EXPECT_FALSE(GetClassInfoExA(nullptr, nullptr, nullptr));
    EXPECT_EQ(GetWindowTextA(w, nullptr, 10), 0);
    EXPECT_EQ(
        CreateWindowExA(0, nullptr, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    EXPECT_FALSE(UnregisterClassA(nullptr, nullptr));
    EXPECT_FALSE(AdjustWindowRect(nullptr, WS_CAPTION, FALSE));
    // A NULL title is an empty one.
    HWND untitled = CreateWindowExA(0, "BadInput", nullptr, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                    nullptr, nullptr);
    ASSERT_TRUE(untitled);
    EXPECT_EQ(GetWindowTextLengthA(untitled), 0);
    DestroyWindow(untitled);
    DestroyWindow(w);
}

} // namespace
