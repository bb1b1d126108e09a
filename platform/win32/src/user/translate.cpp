// TranslateMessage: key presses become WM_CHAR (WM_SYSCHAR with Alt). The
// characters the host typed with the key are used when there are any, so
// every keyboard layout works; otherwise the key code and the shift state
// give the character of a standard keyboard. All characters are
// Windows-1252.
#include "user/user_state.h"

using namespace qv::user;

namespace {

bool Down(int vk) {
    return GetKeyState(vk) < 0;
}

// The character for a key on a standard keyboard, or -1.
int CharacterOf(int vk) {
    bool shift = Down(VK_SHIFT), ctrl = Down(VK_CONTROL), alt = Down(VK_MENU);
    bool caps = (GetKeyState(VK_CAPITAL) & 1) != 0;
    if (ctrl && alt) return -1;
    if (ctrl) {
        if (vk >= 'A' && vk <= 'Z') return vk - 'A' + 1;
        switch (vk) {
        case VK_OEM_4:
            return 0x1B;
        case VK_OEM_5:
            return 0x1C;
        case VK_OEM_6:
            return 0x1D;
        case VK_RETURN:
            return '\n';
        case VK_BACK:
            return 0x7F;
        case VK_ESCAPE:
            return 0x1B;
        case VK_SPACE:
            return ' ';
        case VK_CANCEL:
            return 0x03;
        default:
            return -1;
        }
    }
    if (vk >= 'A' && vk <= 'Z') return (shift != caps) ? vk : vk - 'A' + 'a';
    if (vk >= '0' && vk <= '9') return shift ? ")!@#$%^&*("[vk - '0'] : vk;
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return '0' + vk - VK_NUMPAD0;
    static const struct {
        int vk;
        char plain, shifted;
    } keys[] = {
        {VK_SPACE, ' ', ' '},      {VK_RETURN, '\r', '\r'},  {VK_BACK, '\b', '\b'},
        {VK_TAB, '\t', '\t'},      {VK_ESCAPE, 0x1B, 0x1B},  {VK_OEM_1, ';', ':'},
        {VK_OEM_PLUS, '=', '+'},   {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'},
        {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},     {VK_OEM_3, '`', '~'},
        {VK_OEM_4, '[', '{'},      {VK_OEM_5, '\\', '|'},    {VK_OEM_6, ']', '}'},
        {VK_OEM_7, '\'', '"'},     {VK_OEM_102, '\\', '|'},  {VK_MULTIPLY, '*', '*'},
        {VK_ADD, '+', '+'},        {VK_SUBTRACT, '-', '-'},  {VK_DECIMAL, '.', '.'},
        {VK_DIVIDE, '/', '/'},
    };
    for (const auto& k : keys)
        if (k.vk == vk) return static_cast<unsigned char>(shift ? k.shifted : k.plain);
    return -1;
}

} // namespace

extern "C" BOOL WINAPI TranslateMessage(const MSG* msg) {
    if (!msg) return FALSE;
    UINT m = msg->message;
    if (m != WM_KEYDOWN && m != WM_KEYUP && m != WM_SYSKEYDOWN && m != WM_SYSKEYUP) return FALSE;
    if (m == WM_KEYUP || m == WM_SYSKEYUP) return TRUE;
    if (!Lookup(msg->hwnd)) return TRUE;
    UINT char_msg = m == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    std::string typed;
    // Control characters come from the key code: hosts type no text for
    // them. Ctrl with Alt is AltGr, whose characters the host does type.
    bool control_only = Down(VK_CONTROL) && !Down(VK_MENU);
    if (!control_only && AttachedChars(*msg, typed)) {
        for (char c : typed)
            PostInternal(msg->hwnd, char_msg, WPARAM(static_cast<unsigned char>(c)), msg->lParam);
        return TRUE;
    }
    int c = CharacterOf(int(msg->wParam));
    if (c >= 0) PostInternal(msg->hwnd, char_msg, WPARAM(c), msg->lParam);
    return TRUE;
}
