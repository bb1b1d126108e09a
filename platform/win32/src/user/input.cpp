// Host input becomes Win32 input messages: key messages with Win32's lParam
// bits, mouse messages for the window under the pointer (or the capture),
// close requests, activation and exposure. Also the key state tables of
// GetKeyState (as of the last message taken) and GetAsyncKeyState (now).
#include <cstdlib>
#include <cstring>

#include "common/cp1252.h"
#include "user/user_state.h"

namespace qv::user {

namespace {

constexpr BYTE kDown = 0x80, kToggled = 0x01;

struct KeyState {
    BYTE async[256] = {};
    BYTE sync[256] = {};
    bool pressed_since_query[256] = {};
    // True right after a key press came in: the host's text for it follows.
    bool expect_text = false;
    struct Click {
        HWND hwnd = nullptr;
        UINT message = 0;
        DWORD time = 0;
        POINT pt{};
    } last_click;
};

KeyState& K() {
    static KeyState k;
    return k;
}

// Set-1 scan codes for keys the host did not give one for; bit 8 marks the
// extended keys.
int DefaultScanCode(int vk) {
    static const struct {
        int vk, scan;
    } table[] = {
        {VK_ESCAPE, 0x01},   {'1', 0x02},         {'2', 0x03},          {'3', 0x04},
        {'4', 0x05},         {'5', 0x06},         {'6', 0x07},          {'7', 0x08},
        {'8', 0x09},         {'9', 0x0A},         {'0', 0x0B},          {VK_OEM_MINUS, 0x0C},
        {VK_OEM_PLUS, 0x0D}, {VK_BACK, 0x0E},     {VK_TAB, 0x0F},       {'Q', 0x10},
        {'W', 0x11},         {'E', 0x12},         {'R', 0x13},          {'T', 0x14},
        {'Y', 0x15},         {'U', 0x16},         {'I', 0x17},          {'O', 0x18},
        {'P', 0x19},         {VK_OEM_4, 0x1A},    {VK_OEM_6, 0x1B},     {VK_RETURN, 0x1C},
        {VK_CONTROL, 0x1D},  {'A', 0x1E},         {'S', 0x1F},          {'D', 0x20},
        {'F', 0x21},         {'G', 0x22},         {'H', 0x23},          {'J', 0x24},
        {'K', 0x25},         {'L', 0x26},         {VK_OEM_1, 0x27},     {VK_OEM_7, 0x28},
        {VK_OEM_3, 0x29},    {VK_SHIFT, 0x2A},    {VK_OEM_5, 0x2B},     {'Z', 0x2C},
        {'X', 0x2D},         {'C', 0x2E},         {'V', 0x2F},          {'B', 0x30},
        {'N', 0x31},         {'M', 0x32},         {VK_OEM_COMMA, 0x33}, {VK_OEM_PERIOD, 0x34},
        {VK_OEM_2, 0x35},    {VK_MULTIPLY, 0x37}, {VK_MENU, 0x38},      {VK_SPACE, 0x39},
        {VK_CAPITAL, 0x3A},  {VK_F1, 0x3B},       {VK_F2, 0x3C},        {VK_F3, 0x3D},
        {VK_F4, 0x3E},       {VK_F5, 0x3F},       {VK_F6, 0x40},        {VK_F7, 0x41},
        {VK_F8, 0x42},       {VK_F9, 0x43},       {VK_F10, 0x44},       {VK_NUMLOCK, 0x45},
        {VK_SCROLL, 0x46},   {VK_NUMPAD7, 0x47},  {VK_NUMPAD8, 0x48},   {VK_NUMPAD9, 0x49},
        {VK_SUBTRACT, 0x4A}, {VK_NUMPAD4, 0x4B},  {VK_NUMPAD5, 0x4C},   {VK_NUMPAD6, 0x4D},
        {VK_ADD, 0x4E},      {VK_NUMPAD1, 0x4F},  {VK_NUMPAD2, 0x50},   {VK_NUMPAD3, 0x51},
        {VK_NUMPAD0, 0x52},  {VK_DECIMAL, 0x53},  {VK_OEM_102, 0x56},   {VK_F11, 0x57},
        {VK_F12, 0x58},      {VK_HOME, 0x147},    {VK_UP, 0x148},       {VK_PRIOR, 0x149},
        {VK_LEFT, 0x14B},    {VK_RIGHT, 0x14D},   {VK_END, 0x14F},      {VK_DOWN, 0x150},
        {VK_NEXT, 0x151},    {VK_INSERT, 0x152},  {VK_DELETE, 0x153},   {VK_DIVIDE, 0x135},
        {VK_LWIN, 0x15B},    {VK_RWIN, 0x15C},    {VK_APPS, 0x15D},     {VK_SNAPSHOT, 0x137},
        {VK_PAUSE, 0x45},
    };
    for (const auto& e : table)
        if (e.vk == vk) return e.scan;
    return 0;
}

// Win32 key messages carry the generic modifier codes; the side shows in
// the scan code and the extended bit. Both the generic and the sided code
// are tracked for GetKeyState.
struct KeyCodes {
    int generic;
    int sided; // 0 when the key has no sides
};

KeyCodes Normalise(int vk, int scancode) {
    bool ext = (scancode & 0x100) != 0;
    switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT:
        return {VK_SHIFT, vk};
    case VK_LCONTROL:
    case VK_RCONTROL:
        return {VK_CONTROL, vk};
    case VK_LMENU:
    case VK_RMENU:
        return {VK_MENU, vk};
    case VK_SHIFT:
        return {VK_SHIFT, (scancode & 0xFF) == 0x36 ? VK_RSHIFT : VK_LSHIFT};
    case VK_CONTROL:
        return {VK_CONTROL, ext ? VK_RCONTROL : VK_LCONTROL};
    case VK_MENU:
        return {VK_MENU, ext ? VK_RMENU : VK_LMENU};
    default:
        return {vk, 0};
    }
}

void SetKey(BYTE* table, int vk, bool down) {
    if (vk <= 0 || vk > 255) return;
    if (down) {
        if (!(table[vk] & kDown)) table[vk] ^= kToggled;
        table[vk] |= kDown;
    } else {
        table[vk] &= ~kDown;
    }
}

// The generic modifier stays down while either side is.
void SetModifier(BYTE* table, KeyCodes codes, bool down) {
    if (codes.sided) {
        SetKey(table, codes.sided, down);
        int other = codes.sided ^ 1; // VK_LSHIFT 0xA0 <-> VK_RSHIFT 0xA1, ...
        bool any = down || (table[other] & kDown);
        if (any && !(table[codes.generic] & kDown)) SetKey(table, codes.generic, true);
        if (!any) SetKey(table, codes.generic, false);
    } else {
        SetKey(table, codes.generic, down);
    }
    if (down && codes.generic > 0 && codes.generic < 256)
        K().pressed_since_query[codes.generic] = true;
}

bool AsyncDown(int vk) {
    return (K().async[vk] & kDown) != 0;
}

HWND KeyTarget(HWND top) {
    HWND f = FocusWindow();
    if (f && (f == top || TopLevelOf(f) == top)) return f;
    return top;
}

POINT ToScreen(HWND top, int x, int y) {
    Window* w = Lookup(top);
    POINT o = w ? ClientOriginOnScreen(*w) : POINT{0, 0};
    return {o.x + x, o.y + y};
}

LPARAM PackPoint(int x, int y) {
    return LPARAM(DWORD(WORD(int16_t(x))) | (DWORD(WORD(int16_t(y))) << 16));
}

// The window a mouse event at a client point of top belongs to, and the
// point in that window's client coordinates.
HWND MouseTarget(HWND top, int x, int y, POINT& client) {
    POINT screen = ToScreen(top, x, y);
    HWND target = CaptureWindow();
    if (!target) target = ChildAt(top, POINT{x, y});
    Window* w = Lookup(target);
    if (!w || (w->style & WS_DISABLED)) return nullptr;
    POINT o = ClientOriginOnScreen(*w);
    client = {screen.x - o.x, screen.y - o.y};
    return target;
}

void QueueInput(HWND hwnd, UINT message, WPARAM wp, LPARAM lp, uint32_t time, POINT screen) {
    InputMessage m;
    m.msg = MSG{hwnd, message, wp, lp, time ? DWORD(time) : host::TickCount(), screen};
    PushInput(std::move(m));
}

POINT CursorNow() {
    int x = 0, y = 0;
    host::GetCursorPos(x, y);
    return {x, y};
}

void KeyEvent(const host::Event& ev, HWND top, bool down) {
    KeyCodes codes = Normalise(ev.vk, ev.scancode);
    int vk = codes.generic;
    if (vk <= 0 || vk > 255) return;
    int scan = ev.scancode ? ev.scancode : DefaultScanCode(vk);
    if (!ev.scancode && (codes.sided == VK_RCONTROL || codes.sided == VK_RMENU)) scan |= 0x100;
    if (!ev.scancode && codes.sided == VK_RSHIFT) scan = 0x36;
    bool was_down = AsyncDown(vk);
    bool alt_before = AsyncDown(VK_MENU);
    SetModifier(K().async, codes, down);
    bool alt = AsyncDown(VK_MENU), ctrl = AsyncDown(VK_CONTROL);
    // Alt combinations (and F10) are system keys; with Ctrl they are not.
    bool sys = ((down ? alt : alt_before) && !ctrl) || vk == VK_F10;
    DWORD lp = 1u | (DWORD(scan & 0xFF) << 16);
    if (scan & 0x100) lp |= 1u << 24;
    if (alt) lp |= 1u << 29;
    if (down ? (was_down || ev.repeat) : true) lp |= 1u << 30;
    if (!down) lp |= 1u << 31;
    UINT message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    QueueInput(KeyTarget(top), message, WPARAM(vk), LPARAM(lp), ev.time_ms, CursorNow());
    K().expect_text = down;
}

void TextEvent(const host::Event& ev, HWND top) {
    std::string chars = Utf8ToCp1252(ev.text_utf8);
    if (chars.empty()) return;
    if (K().expect_text) {
        // The text belongs to the key press just queued; TranslateMessage
        // turns it into characters. If that press was taken already, its
        // characters came from the key code instead.
        InputMessage* last = LastInput();
        if (last && (last->msg.message == WM_KEYDOWN || last->msg.message == WM_SYSKEYDOWN) &&
            last->chars.empty())
            last->chars = chars;
        return;
    }
    // Text with no key press (composed input): characters as they are.
    HWND target = KeyTarget(top);
    for (char c : chars)
        QueueInput(target, WM_CHAR, WPARAM(static_cast<unsigned char>(c)), 1, ev.time_ms,
                   CursorNow());
}

void MouseMoveEvent(const host::Event& ev, HWND top) {
    POINT client;
    HWND target = MouseTarget(top, ev.x, ev.y, client);
    if (!target) return;
    QueueInput(target, WM_MOUSEMOVE, MouseKeyFlags(), PackPoint(client.x, client.y), ev.time_ms,
               ToScreen(top, ev.x, ev.y));
}

void ButtonEvent(const host::Event& ev, HWND top, bool down) {
    static const struct {
        int vk;
        UINT down, up, dbl;
    } buttons[] = {
        {0, 0, 0, 0},
        {VK_LBUTTON, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK},
        {VK_MBUTTON, WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK},
        {VK_RBUTTON, WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK},
        {VK_XBUTTON1, WM_XBUTTONDOWN, WM_XBUTTONUP, WM_XBUTTONDBLCLK},
        {VK_XBUTTON2, WM_XBUTTONDOWN, WM_XBUTTONUP, WM_XBUTTONDBLCLK},
    };
    if (ev.button < 1 || ev.button > 5) return;
    const auto& b = buttons[ev.button];
    SetModifier(K().async, KeyCodes{b.vk, 0}, down);
    // A click on an inactive window activates it, as on a desktop.
    if (down && ActiveWindow() != top) Activate(top, true, false);
    POINT client;
    HWND target = MouseTarget(top, ev.x, ev.y, client);
    if (!target) return;
    UINT message = down ? b.down : b.up;
    DWORD time = ev.time_ms ? ev.time_ms : host::TickCount();
    POINT screen = ToScreen(top, ev.x, ev.y);
    if (down) {
        auto& last = K().last_click;
        Window* w = Lookup(target);
        bool dbl = w && (w->cls->style & CS_DBLCLKS) && last.hwnd == target &&
                   last.message == message && time - last.time <= GetDoubleClickTime() &&
                   std::abs(screen.x - last.pt.x) <= 2 && std::abs(screen.y - last.pt.y) <= 2;
        if (dbl) {
            message = b.dbl;
            last = {};
        } else {
            last = {target, message, time, screen};
        }
    }
    WPARAM wp = MouseKeyFlags();
    if (ev.button >= 4) wp |= WPARAM(ev.button == 4 ? XBUTTON1 : XBUTTON2) << 16;
    QueueInput(target, message, wp, PackPoint(client.x, client.y), time, screen);
}

void WheelEvent(const host::Event& ev, HWND top) {
    POINT screen = ToScreen(top, ev.x, ev.y);
    WPARAM wp = MouseKeyFlags() | (WPARAM(WORD(int16_t(ev.wheel))) << 16);
    QueueInput(KeyTarget(top), WM_MOUSEWHEEL, wp, PackPoint(screen.x, screen.y), ev.time_ms,
               screen);
}

void CloseEvent(HWND top) {
    if (HasQueuedInput(top, WM_SYSCOMMAND, SC_CLOSE)) return;
    POINT c = CursorNow();
    QueueInput(top, WM_SYSCOMMAND, SC_CLOSE, PackPoint(c.x, c.y), 0, c);
}

} // namespace

void ConvertHostEvent(const host::Event& ev) {
    if (ev.kind != host::EventKind::Text) K().expect_text = false;
    if (ev.kind == host::EventKind::Quit) {
        // The session asks to end: every shown window is asked to close.
        for (HWND t : std::vector<HWND>(TopLevels()))
            if (Window* w = Lookup(t); w && IsShown(*w)) CloseEvent(t);
        return;
    }
    HWND top = WindowOfNative(ev.window);
    if (!top && (ev.kind == host::EventKind::KeyDown || ev.kind == host::EventKind::KeyUp ||
                 ev.kind == host::EventKind::Text))
        top = ActiveWindow();
    if (!top) {
        // Keep the key state true even when no window is there to be told.
        if (ev.kind == host::EventKind::KeyUp)
            SetModifier(K().async, Normalise(ev.vk, ev.scancode), false);
        return;
    }
    switch (ev.kind) {
    case host::EventKind::KeyDown:
        KeyEvent(ev, top, true);
        break;
    case host::EventKind::KeyUp:
        KeyEvent(ev, top, false);
        break;
    case host::EventKind::Text:
        TextEvent(ev, top);
        break;
    case host::EventKind::MouseMove:
        MouseMoveEvent(ev, top);
        break;
    case host::EventKind::ButtonDown:
        ButtonEvent(ev, top, true);
        break;
    case host::EventKind::ButtonUp:
        ButtonEvent(ev, top, false);
        break;
    case host::EventKind::Wheel:
        WheelEvent(ev, top);
        break;
    case host::EventKind::CloseRequest:
        CloseEvent(top);
        break;
    case host::EventKind::FocusGained:
        if (Window* w = Lookup(top); w && IsShown(*w)) Activate(top, false, false);
        break;
    case host::EventKind::FocusLost:
        if (ActiveWindow() == top) Deactivate(top);
        break;
    case host::EventKind::Exposed:
        if (Window* w = Lookup(top)) Invalidate(*w, nullptr, true, true);
        break;
    default:
        break;
    }
}

void PumpHostEvents() {
    host::Event ev;
    while (host::PollEvent(ev))
        ConvertHostEvent(ev);
}

void WaitForHostEvent(int timeout_ms) {
    host::Event ev;
    if (host::WaitEvent(ev, timeout_ms)) ConvertHostEvent(ev);
}

void NoteRetrieved(const MSG& msg) {
    BYTE* sync = K().sync;
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        int scan = int((msg.lParam >> 16) & 0x1FF);
        bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
        SetModifier(sync, Normalise(int(msg.wParam), scan), down);
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        SetKey(sync, VK_LBUTTON, true);
        break;
    case WM_LBUTTONUP:
        SetKey(sync, VK_LBUTTON, false);
        break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        SetKey(sync, VK_RBUTTON, true);
        break;
    case WM_RBUTTONUP:
        SetKey(sync, VK_RBUTTON, false);
        break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        SetKey(sync, VK_MBUTTON, true);
        break;
    case WM_MBUTTONUP:
        SetKey(sync, VK_MBUTTON, false);
        break;
    case WM_XBUTTONDOWN:
    case WM_XBUTTONDBLCLK:
    case WM_XBUTTONUP:
        SetKey(sync, HIWORD(msg.wParam) == XBUTTON1 ? VK_XBUTTON1 : VK_XBUTTON2,
               msg.message != WM_XBUTTONUP);
        break;
    case WM_MOUSEMOVE:
        // No capture: the pointer is over the window, which may set its cursor.
        if (!CaptureWindow())
            Send(msg.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(msg.hwnd),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        break;
    default:
        break;
    }
}

UINT MouseKeyFlags() {
    UINT f = 0;
    if (AsyncDown(VK_LBUTTON)) f |= MK_LBUTTON;
    if (AsyncDown(VK_RBUTTON)) f |= MK_RBUTTON;
    if (AsyncDown(VK_MBUTTON)) f |= MK_MBUTTON;
    if (AsyncDown(VK_XBUTTON1)) f |= MK_XBUTTON1;
    if (AsyncDown(VK_XBUTTON2)) f |= MK_XBUTTON2;
    if (AsyncDown(VK_SHIFT)) f |= MK_SHIFT;
    if (AsyncDown(VK_CONTROL)) f |= MK_CONTROL;
    return f;
}

void ResetInputStateFor(HWND hwnd) {
    if (K().last_click.hwnd == hwnd) K().last_click = {};
}

} // namespace qv::user

using namespace qv::user;

extern "C" SHORT WINAPI GetKeyState(int vk) {
    if (vk < 0 || vk > 255) return 0;
    BYTE s = K().sync[vk];
    return SHORT(((s & kDown) ? 0xFF80 : 0) | (s & kToggled));
}

extern "C" SHORT WINAPI GetAsyncKeyState(int vk) {
    if (vk < 0 || vk > 255) return 0;
    PumpHostEvents();
    bool since = K().pressed_since_query[vk];
    K().pressed_since_query[vk] = false;
    return SHORT(((K().async[vk] & kDown) ? 0x8000 : 0) | (since ? 1 : 0));
}

extern "C" BOOL WINAPI GetKeyboardState(PBYTE out) {
    if (!out) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    std::memcpy(out, K().sync, 256);
    return TRUE;
}

extern "C" UINT WINAPI GetDoubleClickTime(void) {
    return 500;
}

extern "C" BOOL WINAPI GetCursorPos(LPPOINT pt) {
    if (!pt) {
        SetLastError(ERROR_NOACCESS);
        return FALSE;
    }
    int x = 0, y = 0;
    qv::host::GetCursorPos(x, y);
    pt->x = x;
    pt->y = y;
    return TRUE;
}

extern "C" BOOL WINAPI SetCursorPos(int x, int y) {
    qv::host::SetCursorPos(x, y);
    return TRUE;
}
