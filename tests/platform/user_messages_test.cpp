// The message queue and default processing: order, filters, limits, sends
// from inside window procedures, and what DefWindowProcA does.
#include <windows.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Seen {
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};
std::vector<Seen> g_seen;
LRESULT (*g_hook)(HWND, UINT, WPARAM, LPARAM, bool&) = nullptr;

LRESULT CALLBACK RecordingProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    g_seen.push_back({h, m, wp, lp});
    if (g_hook) {
        bool handled = false;
        LRESULT r = g_hook(h, m, wp, lp, handled);
        if (handled) return r;
    }
    return DefWindowProcA(h, m, wp, lp);
}

std::vector<UINT> Messages(HWND h) {
    std::vector<UINT> out;
    for (const Seen& s : g_seen)
        if (s.hwnd == h) out.push_back(s.msg);
    return out;
}

bool Saw(HWND h, UINT m) {
    for (const Seen& s : g_seen)
        if (s.hwnd == h && s.msg == m) return true;
    return false;
}

class Messages_ : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "QueueTest";
        RegisterClassA(&wc);
        before_ = qv::testing::CountLiveObjects();
        g_seen.clear();
        g_hook = nullptr;
    }
    void TearDown() override {
        for (HWND h : made_)
            if (IsWindow(h)) DestroyWindow(h);
        Drain();
        g_hook = nullptr;
        EXPECT_EQ(qv::testing::CountLiveObjects(), before_);
    }
    HWND Make(DWORD style = WS_POPUP, HWND parent = nullptr, int id = 0) {
        HWND h = CreateWindowExA(0, "QueueTest", "t", style, 10, 20, 200, 100, parent,
                                 reinterpret_cast<HMENU>(intptr_t(id)), GetModuleHandleA(nullptr),
                                 nullptr);
        made_.push_back(h);
        return h;
    }
    // Takes everything queued, WM_QUIT included; paints validate.
    static void Drain() {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_PAINT) ValidateRect(m.hwnd, nullptr);
        }
    }
    std::vector<HWND> made_;
    qv::testing::LiveObjects before_;
};

TEST_F(Messages_, PostedMessagesComeInOrderThenQuitThenPaint) {
    HWND a = Make(WS_POPUP | WS_VISIBLE);
    ASSERT_TRUE(a);
    PostQuitMessage(3);
    PostMessageA(a, WM_USER + 1, 1, 0);
    PostMessageA(nullptr, WM_USER + 2, 2, 0);
    PostMessageA(a, WM_USER + 3, 3, 0);
    std::vector<UINT> order;
    MSG m;
    for (int i = 0; i < 5 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE); ++i) {
        order.push_back(m.message);
        if (m.message == WM_QUIT) {
            EXPECT_EQ(m.wParam, 3u);
        }
        if (m.message == WM_PAINT) {
            EXPECT_EQ(m.hwnd, a);
            // WM_PAINT stays until the window is validated.
            MSG again;
            EXPECT_TRUE(PeekMessageA(&again, nullptr, 0, 0, PM_REMOVE));
            EXPECT_EQ(again.message, UINT(WM_PAINT));
            ValidateRect(a, nullptr);
        }
    }
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_QUIT, WM_PAINT}));
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Messages_, GetMessageReturnsZeroForQuitAndMinusOneForABadWindow) {
    HWND a = Make();
    PostMessageA(a, WM_USER, 0, 0);
    PostQuitMessage(7);
    MSG m;
    EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
    EXPECT_EQ(m.message, UINT(WM_USER));
    EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), FALSE);
    EXPECT_EQ(m.message, UINT(WM_QUIT));
    EXPECT_EQ(m.wParam, 7u);
    HWND stale = Make();
    DestroyWindow(stale);
    EXPECT_EQ(GetMessageA(&m, stale, 0, 0), -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(Messages_, PeekFiltersByWindowAndRangeAndNoRemoveKeepsTheMessage) {
    HWND a = Make(), b = Make();
    HWND child = Make(WS_CHILD, a, 5);
    PostMessageA(a, WM_USER + 1, 0, 0);
    PostMessageA(b, WM_USER + 2, 0, 0);
    PostMessageA(child, WM_USER + 3, 0, 0);
    PostMessageA(nullptr, WM_USER + 4, 0, 0);
    MSG m;
    struct Case {
        HWND filter;
        UINT lo, hi;
        UINT want;
    } cases[] = {
        {b, 0, 0, WM_USER + 2},
        {nullptr, WM_USER + 3, WM_USER + 4, WM_USER + 3},
        {reinterpret_cast<HWND>(intptr_t(-1)), 0, 0, WM_USER + 4},
        {a, WM_USER + 3, WM_USER + 3, WM_USER + 3}, // a child's message passes its parent's filter
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(PeekMessageA(&m, c.filter, c.lo, c.hi, PM_NOREMOVE)) << c.want;
        EXPECT_EQ(m.message, c.want);
    }
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, UINT(WM_USER + 1)); // nothing was taken by the peeks
}

TEST_F(Messages_, PostingStopsAtTheLimitAndLosesNothing) {
    HWND a = Make();
    int posted = 0;
    while (PostMessageA(a, WM_USER, WPARAM(posted), 0))
        ++posted;
    EXPECT_EQ(posted, 10000);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_QUOTA));
    MSG m;
    for (int i = 0; i < posted; ++i) {
        ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
        ASSERT_EQ(m.wParam, WPARAM(i));
    }
    EXPECT_TRUE(PostMessageA(a, WM_USER, 0, 0));
}

TEST_F(Messages_, MessagesForADestroyedWindowAreDroppedSafely) {
    HWND a = Make(), b = Make();
    PostMessageA(a, WM_USER + 1, 0, 0);
    PostMessageA(b, WM_USER + 2, 0, 0);
    MSG stale{a, WM_USER + 9, 0, 0, 0, {}};
    DestroyWindow(a);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, UINT(WM_USER + 2));
    g_seen.clear();
    EXPECT_EQ(DispatchMessageA(&stale), 0);
    EXPECT_TRUE(g_seen.empty());
}

TEST_F(Messages_, SendIsSynchronousAndReentrant) {
    HWND a = Make();
    g_hook = [](HWND h, UINT m, WPARAM wp, LPARAM, bool& handled) -> LRESULT {
        if (m != WM_USER) return 0;
        handled = true;
        return wp == 0 ? 1 : wp * SendMessageA(h, WM_USER, wp - 1, 0);
    };
    EXPECT_EQ(SendMessageA(a, WM_USER, 5, 0), 120);
    EXPECT_EQ(SendMessageA(reinterpret_cast<HWND>(intptr_t(0x12345)), WM_USER, 1, 0), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(Messages_, CreationAndDestructionMessagesInsideTheCalls) {
    HWND a = Make();
    EXPECT_EQ(Messages(a), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
    HWND c1 = Make(WS_CHILD, a, 1), c2 = Make(WS_CHILD, c1, 2);
    g_seen.clear();
    DestroyWindow(a);
    std::vector<std::pair<HWND, UINT>> got;
    for (const Seen& s : g_seen)
        if (s.msg == WM_DESTROY || s.msg == WM_NCDESTROY) got.push_back({s.hwnd, s.msg});
    std::vector<std::pair<HWND, UINT>> want = {{a, WM_DESTROY},    {c1, WM_DESTROY},
                                               {c2, WM_DESTROY},   {c2, WM_NCDESTROY},
                                               {c1, WM_NCDESTROY}, {a, WM_NCDESTROY}};
    EXPECT_EQ(got, want);
    EXPECT_FALSE(IsWindow(a) || IsWindow(c1) || IsWindow(c2));
}

TEST_F(Messages_, CreateFailsWhenTheProcedureRefuses) {
    struct Case {
        UINT msg;
        LRESULT answer;
        bool destroy_seen;
    } cases[] = {{WM_NCCREATE, FALSE, false}, {WM_CREATE, -1, true}};
    for (const Case& c : cases) {
        static UINT refuse;
        static LRESULT answer;
        refuse = c.msg, answer = c.answer;
        g_hook = [](HWND, UINT m, WPARAM, LPARAM, bool& handled) -> LRESULT {
            handled = m == refuse;
            return answer;
        };
        g_seen.clear();
        HWND h = CreateWindowExA(0, "QueueTest", "x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
        EXPECT_EQ(h, nullptr);
        ASSERT_FALSE(g_seen.empty());
        HWND made = g_seen.front().hwnd;
        EXPECT_FALSE(IsWindow(made));
        EXPECT_EQ(Saw(made, WM_DESTROY), c.destroy_seen);
        EXPECT_TRUE(Saw(made, WM_NCDESTROY));
    }
}

struct DefCase {
    const char* name;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
    UINT then_seen; // the message default processing sends on
    bool destroyed;
};

TEST_F(Messages_, DefaultProcessing) {
    const DefCase cases[] = {
        {"close destroys", WM_CLOSE, 0, 0, WM_DESTROY, true},
        {"SC_CLOSE sends WM_CLOSE", WM_SYSCOMMAND, SC_CLOSE, 0, WM_CLOSE, true},
        {"Alt+F4 becomes SC_CLOSE", WM_SYSKEYDOWN, VK_F4, LPARAM(1) << 29, WM_SYSCOMMAND, true},
        {"F4 without Alt does nothing", WM_SYSKEYDOWN, VK_F4, 0, 0, false},
        {"right release asks for a menu", WM_RBUTTONUP, 0, MAKELPARAM(5, 6), WM_CONTEXTMENU, false},
    };
    for (const DefCase& c : cases) {
        HWND a = Make();
        g_seen.clear();
        EXPECT_EQ(SendMessageA(a, c.msg, c.wp, c.lp), 0) << c.name;
        if (c.then_seen) {
            EXPECT_TRUE(Saw(a, c.then_seen)) << c.name;
        } else {
            EXPECT_EQ(g_seen.size(), 1u) << c.name;
        }
        EXPECT_EQ(!IsWindow(a), c.destroyed) << c.name;
    }
    HWND a = Make();
    g_seen.clear();
    SendMessageA(a, WM_RBUTTONUP, 0, MAKELPARAM(5, 6));
    // The window is at (10, 20) with no frame: its client origin is there too.
    ASSERT_EQ(g_seen.size(), 2u);
    EXPECT_EQ(g_seen[1].wp, reinterpret_cast<WPARAM>(a));
    EXPECT_EQ(GET_X_LPARAM(g_seen[1].lp), 15);
    EXPECT_EQ(GET_Y_LPARAM(g_seen[1].lp), 26);
    EXPECT_EQ(DefWindowProcA(a, WM_USER + 77, 1, 2), 0);
}

TEST_F(Messages_, PaintIsSynthesisedUntilValidatedAndUpdateWindowSendsAtOnce) {
    HWND a = Make(WS_POPUP | WS_VISIBLE);
    Drain();
    RECT r{1, 2, 30, 40};
    InvalidateRect(a, &r, FALSE);
    RECT u;
    EXPECT_TRUE(GetUpdateRect(a, &u, FALSE));
    EXPECT_TRUE(EqualRect(&u, &r));
    g_seen.clear();
    EXPECT_TRUE(UpdateWindow(a)); // default WM_PAINT handling validates
    EXPECT_EQ(Messages(a), (std::vector<UINT>{WM_PAINT}));
    EXPECT_FALSE(GetUpdateRect(a, &u, FALSE));
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(UpdateWindow(nullptr));
}

TEST_F(Messages_, BeginPaintReportsTheUpdateAreaAndErases) {
    HWND a = Make(WS_POPUP | WS_VISIBLE);
    Drain();
    RECT r{0, 0, 50, 10};
    InvalidateRect(a, &r, TRUE);
    g_seen.clear();
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(a, &ps);
    ASSERT_TRUE(dc);
    EXPECT_TRUE(EqualRect(&ps.rcPaint, &r));
    EXPECT_TRUE(Saw(a, WM_ERASEBKGND));
    EXPECT_TRUE(ps.fErase); // the default processing did not erase
    EXPECT_TRUE(EndPaint(a, &ps));
    RECT u;
    EXPECT_FALSE(GetUpdateRect(a, &u, FALSE));
}

TEST_F(Messages_, TranslateMessagePostsCharacters) {
    HWND a = Make();
    MSG key{a, WM_KEYDOWN, 'Q', 0x00100001, 0, {}};
    EXPECT_TRUE(TranslateMessage(&key));
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, UINT(WM_CHAR));
    EXPECT_EQ(m.wParam, WPARAM('q'));
    EXPECT_EQ(m.lParam, key.lParam);
    MSG other{a, WM_USER, 0, 0, 0, {}};
    EXPECT_FALSE(TranslateMessage(&other));
    MSG up{a, WM_KEYUP, 'Q', 0, 0, {}};
    EXPECT_TRUE(TranslateMessage(&up));
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

} // namespace
