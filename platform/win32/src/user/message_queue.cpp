// The thread's message queue. Retrieval order: posted messages (FIFO), then
// input, then WM_QUIT once asked for and nothing matching is posted, then
// WM_PAINT for windows whose update region is not empty. Sent messages go
// straight to the window procedure: everything runs on one thread.
#include <deque>

#include "user/user_state.h"

namespace qv::user {

namespace {

constexpr size_t kMaxPosted = 10000;
constexpr size_t kMaxInput = 10000;
// A queue filter of -1 selects the messages posted to no window.
HWND const kThreadOnly = reinterpret_cast<HWND>(intptr_t(-1));

struct Queue {
    std::deque<MSG> posted;
    std::deque<InputMessage> input;
    bool quit = false;
    int quit_code = 0;
    DWORD last_time = 0;
    POINT last_pos{};
    // The key message last taken, with the text typed with it.
    MSG last_key{};
    std::string last_key_chars;
};

Queue& Q() {
    static Queue q;
    return q;
}

bool WindowMatches(HWND filter, HWND hwnd) {
    if (filter == nullptr) return true;
    if (filter == kThreadOnly) return hwnd == nullptr;
    return hwnd == filter || IsChild(filter, hwnd);
}

bool RangeMatches(UINT lo, UINT hi, UINT msg) {
    if (lo == 0 && hi == 0) return true;
    // Win32 reads a reversed range as everything outside it.
    if (lo > hi) return msg >= lo || msg <= hi;
    return msg >= lo && msg <= hi;
}

MSG Stamp(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    int x = 0, y = 0;
    host::GetCursorPos(x, y);
    return MSG{hwnd, msg, wp, lp, host::TickCount(), POINT{x, y}};
}

bool IsKeyMessage(UINT m) {
    return m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP;
}

// Takes the next message passing the filter; false when there is none.
bool Take(MSG& out, HWND filter, UINT lo, UINT hi, bool remove) {
    PumpHostEvents();
    Queue& q = Q();
    for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
        if (!WindowMatches(filter, it->hwnd) || !RangeMatches(lo, hi, it->message)) continue;
        out = *it;
        if (remove) q.posted.erase(it);
        return true;
    }
    for (auto it = q.input.begin(); it != q.input.end(); ++it) {
        if (!WindowMatches(filter, it->msg.hwnd) || !RangeMatches(lo, hi, it->msg.message))
            continue;
        out = it->msg;
        if (remove) {
            std::string chars = std::move(it->chars);
            q.input.erase(it);
            if (IsKeyMessage(out.message)) {
                q.last_key = out;
                q.last_key_chars = std::move(chars);
            }
            NoteRetrieved(out);
        }
        return true;
    }
    // WM_QUIT passes every filter, so a filtered loop still ends.
    if (q.quit) {
        out = Stamp(nullptr, WM_QUIT, WPARAM(q.quit_code), 0);
        if (remove) q.quit = false;
        return true;
    }
    if (RangeMatches(lo, hi, WM_PAINT) && filter != kThreadOnly) {
        if (HWND h = FindPaintWindow(filter)) {
            out = Stamp(h, WM_PAINT, 0, 0);
            return true;
        }
    }
    return false;
}

bool FilterValid(HWND filter) {
    return filter == nullptr || filter == kThreadOnly || Lookup(filter) != nullptr;
}

} // namespace

void PushInput(InputMessage m) {
    Queue& q = Q();
    if (m.msg.message == WM_MOUSEMOVE && !q.input.empty()) {
        MSG& last = q.input.back().msg;
        if (last.message == WM_MOUSEMOVE && last.hwnd == m.msg.hwnd) {
            last = m.msg;
            return;
        }
    }
    // A flood of input beyond what any program reads loses its newest part.
    if (q.input.size() >= kMaxInput) return;
    q.input.push_back(std::move(m));
}

InputMessage* LastInput() {
    Queue& q = Q();
    return q.input.empty() ? nullptr : &q.input.back();
}

bool HasQueuedInput(HWND hwnd, UINT message, WPARAM wp) {
    for (const InputMessage& m : Q().input)
        if (m.msg.hwnd == hwnd && m.msg.message == message && m.msg.wParam == wp) return true;
    return false;
}

bool AttachedChars(const MSG& msg, std::string& out) {
    const Queue& q = Q();
    const MSG& k = q.last_key;
    if (q.last_key_chars.empty() || k.hwnd != msg.hwnd || k.message != msg.message ||
        k.wParam != msg.wParam || k.lParam != msg.lParam || k.time != msg.time)
        return false;
    out = q.last_key_chars;
    return true;
}

bool PostInternal(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Queue& q = Q();
    if (q.posted.size() >= kMaxPosted) return false;
    q.posted.push_back(Stamp(hwnd, msg, wp, lp));
    return true;
}

void PurgeQueueFor(HWND hwnd) {
    Queue& q = Q();
    std::erase_if(q.posted, [&](const MSG& m) { return m.hwnd == hwnd; });
    std::erase_if(q.input, [&](const InputMessage& m) { return m.msg.hwnd == hwnd; });
}

LRESULT Send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* w = Lookup(hwnd);
    if (!w) return 0;
    WNDPROC proc = w->proc ? w->proc : DefWindowProcA;
    return proc(hwnd, msg, wp, lp);
}

} // namespace qv::user

using namespace qv::user;

extern "C" BOOL WINAPI PeekMessageA(LPMSG out, HWND filter, UINT lo, UINT hi, UINT flags) {
    if (!out) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    if (!FilterValid(filter)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    MSG m;
    if (!Take(m, filter, lo, hi, (flags & PM_REMOVE) != 0)) return FALSE;
    *out = m;
    Q().last_time = m.time;
    Q().last_pos = m.pt;
    return TRUE;
}

extern "C" BOOL WINAPI GetMessageA(LPMSG out, HWND filter, UINT lo, UINT hi) {
    if (!out) {
        SetLastError(ERROR_NOACCESS);
        return -1;
    }
    for (;;) {
        // The filter window may go while we wait (a sent message destroyed it).
        if (!FilterValid(filter)) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return -1;
        }
        MSG m;
        if (Take(m, filter, lo, hi, true)) {
            *out = m;
            Q().last_time = m.time;
            Q().last_pos = m.pt;
            return m.message != WM_QUIT;
        }
        WaitForHostEvent(100);
    }
}

extern "C" BOOL WINAPI WaitMessage(void) {
    for (;;) {
        MSG m;
        if (Take(m, nullptr, 0, 0, false)) return TRUE;
        WaitForHostEvent(100);
    }
}

extern "C" BOOL WINAPI PostMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (hwnd == HWND_BROADCAST) {
        for (HWND t : std::vector<HWND>(TopLevels()))
            PostInternal(t, msg, wp, lp);
        return TRUE;
    }
    if (hwnd != nullptr && !Checked(hwnd)) return FALSE;
    if (!PostInternal(hwnd, msg, wp, lp)) {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return FALSE;
    }
    return TRUE;
}

extern "C" BOOL WINAPI PostThreadMessageA(DWORD thread, UINT msg, WPARAM wp, LPARAM lp) {
    if (thread != GetCurrentThreadId()) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    return PostMessageA(nullptr, msg, wp, lp);
}

extern "C" LRESULT WINAPI SendMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (hwnd == HWND_BROADCAST) {
        for (HWND t : std::vector<HWND>(TopLevels()))
            Send(t, msg, wp, lp);
        return 0;
    }
    if (!Checked(hwnd)) return 0;
    return Send(hwnd, msg, wp, lp);
}

extern "C" void WINAPI PostQuitMessage(int code) {
    Q().quit = true;
    Q().quit_code = code;
}

extern "C" LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (!msg || msg->hwnd == nullptr) return 0;
    // A message whose window went away is dropped here.
    if (!Checked(msg->hwnd)) return 0;
    return Send(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

extern "C" LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (!proc) return 0;
    return proc(hwnd, msg, wp, lp);
}

extern "C" DWORD WINAPI GetMessageTime(void) {
    return Q().last_time;
}

extern "C" DWORD WINAPI GetMessagePos(void) {
    return DWORD(MAKELONG(Q().last_pos.x, Q().last_pos.y));
}

extern "C" BOOL WINAPI InSendMessage(void) {
    return FALSE;
}
