#include "host/key_map.h"

#include <array>

namespace qv::host::keys {

namespace {

// Win32's virtual-key codes used below.
enum : int {
    kBack = 0x08,
    kTab = 0x09,
    kClear = 0x0C,
    kReturn = 0x0D,
    kShift = 0x10,
    kControl = 0x11,
    kMenu = 0x12,
    kPause = 0x13,
    kCapital = 0x14,
    kEscape = 0x1B,
    kSpace = 0x20,
    kPrior = 0x21,
    kNext = 0x22,
    kEnd = 0x23,
    kHome = 0x24,
    kLeft = 0x25,
    kUp = 0x26,
    kRight = 0x27,
    kDown = 0x28,
    kSnapshot = 0x2C,
    kInsert = 0x2D,
    kDelete = 0x2E,
    kHelp = 0x2F,
    kLWin = 0x5B,
    kRWin = 0x5C,
    kApps = 0x5D,
    kNumpad0 = 0x60,
    kMultiply = 0x6A,
    kAdd = 0x6B,
    kSeparator = 0x6C,
    kSubtract = 0x6D,
    kDecimal = 0x6E,
    kDivide = 0x6F,
    kF1 = 0x70,
    kF13 = 0x7C,
    kNumLock = 0x90,
    kScroll = 0x91,
    kLShift = 0xA0,
    kRShift = 0xA1,
    kLControl = 0xA2,
    kRControl = 0xA3,
    kLMenu = 0xA4,
    kRMenu = 0xA5,
    kOem1 = 0xBA,
    kOemPlus = 0xBB,
    kOemComma = 0xBC,
    kOemMinus = 0xBD,
    kOemPeriod = 0xBE,
    kOem2 = 0xBF,
    kOem3 = 0xC0,
    kOem4 = 0xDB,
    kOem5 = 0xDC,
    kOem6 = 0xDD,
    kOem7 = 0xDE,
    kOem102 = 0xE2,
};

struct Key {
    SDL_Scancode scancode;
    int vk;
    int scan; // set-1 make code, 0x100 for the E0 prefix
};

// Position-named keys. Letters, digits and the OEM keys are here for their
// scan codes and as the fallback when their character is not ASCII.
constexpr Key kKeys[] = {
    {SDL_SCANCODE_A, 'A', 0x1E},
    {SDL_SCANCODE_B, 'B', 0x30},
    {SDL_SCANCODE_C, 'C', 0x2E},
    {SDL_SCANCODE_D, 'D', 0x20},
    {SDL_SCANCODE_E, 'E', 0x12},
    {SDL_SCANCODE_F, 'F', 0x21},
    {SDL_SCANCODE_G, 'G', 0x22},
    {SDL_SCANCODE_H, 'H', 0x23},
    {SDL_SCANCODE_I, 'I', 0x17},
    {SDL_SCANCODE_J, 'J', 0x24},
    {SDL_SCANCODE_K, 'K', 0x25},
    {SDL_SCANCODE_L, 'L', 0x26},
    {SDL_SCANCODE_M, 'M', 0x32},
    {SDL_SCANCODE_N, 'N', 0x31},
    {SDL_SCANCODE_O, 'O', 0x18},
    {SDL_SCANCODE_P, 'P', 0x19},
    {SDL_SCANCODE_Q, 'Q', 0x10},
    {SDL_SCANCODE_R, 'R', 0x13},
    {SDL_SCANCODE_S, 'S', 0x1F},
    {SDL_SCANCODE_T, 'T', 0x14},
    {SDL_SCANCODE_U, 'U', 0x16},
    {SDL_SCANCODE_V, 'V', 0x2F},
    {SDL_SCANCODE_W, 'W', 0x11},
    {SDL_SCANCODE_X, 'X', 0x2D},
    {SDL_SCANCODE_Y, 'Y', 0x15},
    {SDL_SCANCODE_Z, 'Z', 0x2C},
    {SDL_SCANCODE_1, '1', 0x02},
    {SDL_SCANCODE_2, '2', 0x03},
    {SDL_SCANCODE_3, '3', 0x04},
    {SDL_SCANCODE_4, '4', 0x05},
    {SDL_SCANCODE_5, '5', 0x06},
    {SDL_SCANCODE_6, '6', 0x07},
    {SDL_SCANCODE_7, '7', 0x08},
    {SDL_SCANCODE_8, '8', 0x09},
    {SDL_SCANCODE_9, '9', 0x0A},
    {SDL_SCANCODE_0, '0', 0x0B},
    {SDL_SCANCODE_RETURN, kReturn, 0x1C},
    {SDL_SCANCODE_ESCAPE, kEscape, 0x01},
    {SDL_SCANCODE_BACKSPACE, kBack, 0x0E},
    {SDL_SCANCODE_TAB, kTab, 0x0F},
    {SDL_SCANCODE_SPACE, kSpace, 0x39},
    {SDL_SCANCODE_MINUS, kOemMinus, 0x0C},
    {SDL_SCANCODE_EQUALS, kOemPlus, 0x0D},
    {SDL_SCANCODE_LEFTBRACKET, kOem4, 0x1A},
    {SDL_SCANCODE_RIGHTBRACKET, kOem6, 0x1B},
    {SDL_SCANCODE_BACKSLASH, kOem5, 0x2B},
    {SDL_SCANCODE_NONUSHASH, kOem5, 0x2B},
    {SDL_SCANCODE_SEMICOLON, kOem1, 0x27},
    {SDL_SCANCODE_APOSTROPHE, kOem7, 0x28},
    {SDL_SCANCODE_GRAVE, kOem3, 0x29},
    {SDL_SCANCODE_COMMA, kOemComma, 0x33},
    {SDL_SCANCODE_PERIOD, kOemPeriod, 0x34},
    {SDL_SCANCODE_SLASH, kOem2, 0x35},
    {SDL_SCANCODE_NONUSBACKSLASH, kOem102, 0x56},
    {SDL_SCANCODE_CAPSLOCK, kCapital, 0x3A},
    {SDL_SCANCODE_F1, kF1 + 0, 0x3B},
    {SDL_SCANCODE_F2, kF1 + 1, 0x3C},
    {SDL_SCANCODE_F3, kF1 + 2, 0x3D},
    {SDL_SCANCODE_F4, kF1 + 3, 0x3E},
    {SDL_SCANCODE_F5, kF1 + 4, 0x3F},
    {SDL_SCANCODE_F6, kF1 + 5, 0x40},
    {SDL_SCANCODE_F7, kF1 + 6, 0x41},
    {SDL_SCANCODE_F8, kF1 + 7, 0x42},
    {SDL_SCANCODE_F9, kF1 + 8, 0x43},
    {SDL_SCANCODE_F10, kF1 + 9, 0x44},
    {SDL_SCANCODE_F11, kF1 + 10, 0x57},
    {SDL_SCANCODE_F12, kF1 + 11, 0x58},
    {SDL_SCANCODE_F13, kF13 + 0, 0x64},
    {SDL_SCANCODE_F14, kF13 + 1, 0x65},
    {SDL_SCANCODE_F15, kF13 + 2, 0x66},
    {SDL_SCANCODE_F16, kF13 + 3, 0x67},
    {SDL_SCANCODE_F17, kF13 + 4, 0x68},
    {SDL_SCANCODE_F18, kF13 + 5, 0x69},
    {SDL_SCANCODE_F19, kF13 + 6, 0x6A},
    {SDL_SCANCODE_F20, kF13 + 7, 0x6B},
    {SDL_SCANCODE_F21, kF13 + 8, 0x6C},
    {SDL_SCANCODE_F22, kF13 + 9, 0x6D},
    {SDL_SCANCODE_F23, kF13 + 10, 0x6E},
    {SDL_SCANCODE_F24, kF13 + 11, 0x76},
    {SDL_SCANCODE_PRINTSCREEN, kSnapshot, 0x137},
    {SDL_SCANCODE_SCROLLLOCK, kScroll, 0x46},
    {SDL_SCANCODE_PAUSE, kPause, 0x45},
    {SDL_SCANCODE_INSERT, kInsert, 0x152},
    {SDL_SCANCODE_HOME, kHome, 0x147},
    {SDL_SCANCODE_PAGEUP, kPrior, 0x149},
    {SDL_SCANCODE_DELETE, kDelete, 0x153},
    {SDL_SCANCODE_END, kEnd, 0x14F},
    {SDL_SCANCODE_PAGEDOWN, kNext, 0x151},
    {SDL_SCANCODE_RIGHT, kRight, 0x14D},
    {SDL_SCANCODE_LEFT, kLeft, 0x14B},
    {SDL_SCANCODE_DOWN, kDown, 0x150},
    {SDL_SCANCODE_UP, kUp, 0x148},
    {SDL_SCANCODE_NUMLOCKCLEAR, kNumLock, 0x145},
    {SDL_SCANCODE_KP_DIVIDE, kDivide, 0x135},
    {SDL_SCANCODE_KP_MULTIPLY, kMultiply, 0x37},
    {SDL_SCANCODE_KP_MINUS, kSubtract, 0x4A},
    {SDL_SCANCODE_KP_PLUS, kAdd, 0x4E},
    {SDL_SCANCODE_KP_ENTER, kReturn, 0x11C},
    {SDL_SCANCODE_KP_1, kNumpad0 + 1, 0x4F},
    {SDL_SCANCODE_KP_2, kNumpad0 + 2, 0x50},
    {SDL_SCANCODE_KP_3, kNumpad0 + 3, 0x51},
    {SDL_SCANCODE_KP_4, kNumpad0 + 4, 0x4B},
    {SDL_SCANCODE_KP_5, kNumpad0 + 5, 0x4C},
    {SDL_SCANCODE_KP_6, kNumpad0 + 6, 0x4D},
    {SDL_SCANCODE_KP_7, kNumpad0 + 7, 0x47},
    {SDL_SCANCODE_KP_8, kNumpad0 + 8, 0x48},
    {SDL_SCANCODE_KP_9, kNumpad0 + 9, 0x49},
    {SDL_SCANCODE_KP_0, kNumpad0 + 0, 0x52},
    {SDL_SCANCODE_KP_PERIOD, kDecimal, 0x53},
    {SDL_SCANCODE_KP_COMMA, kSeparator, 0x7E},
    {SDL_SCANCODE_KP_EQUALS, kOemPlus, 0x59},
    {SDL_SCANCODE_CLEAR, kClear, 0x4C},
    {SDL_SCANCODE_HELP, kHelp, 0x63},
    {SDL_SCANCODE_APPLICATION, kApps, 0x15D},
    {SDL_SCANCODE_LCTRL, kControl, 0x1D},
    {SDL_SCANCODE_LSHIFT, kShift, 0x2A},
    {SDL_SCANCODE_LALT, kMenu, 0x38},
    {SDL_SCANCODE_LGUI, kLWin, 0x15B},
    {SDL_SCANCODE_RCTRL, kControl, 0x11D},
    {SDL_SCANCODE_RSHIFT, kShift, 0x36},
    {SDL_SCANCODE_RALT, kMenu, 0x138},
    {SDL_SCANCODE_RGUI, kRWin, 0x15C},
};

const Key* ByScancode(SDL_Scancode sc) {
    static const auto index = [] {
        std::array<const Key*, SDL_NUM_SCANCODES> a{};
        for (const Key& k : kKeys)
            if (!a[k.scancode]) a[k.scancode] = &k;
        return a;
    }();
    return sc > SDL_SCANCODE_UNKNOWN && sc < SDL_NUM_SCANCODES ? index[sc] : nullptr;
}

// The OEM keys by the ASCII character they type.
int VirtualKeyOfCharacter(SDL_Keycode k) {
    if (k >= 'a' && k <= 'z') return int(k - 'a' + 'A');
    if (k >= '0' && k <= '9') return int(k);
    switch (k) {
    case ';':
        return kOem1;
    case '=':
        return kOemPlus;
    case ',':
        return kOemComma;
    case '-':
        return kOemMinus;
    case '.':
        return kOemPeriod;
    case '/':
        return kOem2;
    case '`':
        return kOem3;
    case '[':
        return kOem4;
    case '\\':
        return kOem5;
    case ']':
        return kOem6;
    case '\'':
        return kOem7;
    default:
        return 0;
    }
}

bool IsCharacterKey(SDL_Scancode sc) {
    return (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_0) ||
           (sc >= SDL_SCANCODE_MINUS && sc <= SDL_SCANCODE_SLASH) ||
           sc == SDL_SCANCODE_NONUSBACKSLASH;
}

} // namespace

int VirtualKey(SDL_Scancode scancode, SDL_Keycode keycode) {
    if (IsCharacterKey(scancode)) {
        if (int vk = VirtualKeyOfCharacter(keycode)) return vk;
    }
    const Key* k = ByScancode(scancode);
    return k ? k->vk : 0;
}

int ScanCode(SDL_Scancode scancode) {
    const Key* k = ByScancode(scancode);
    return k ? k->scan : 0;
}

bool KeyOfVirtualKey(int vk, SDL_Scancode& scancode, SDL_Keycode& keycode) {
    switch (vk) { // the sided codes name one key each
    case kLShift:
        scancode = SDL_SCANCODE_LSHIFT;
        break;
    case kRShift:
        scancode = SDL_SCANCODE_RSHIFT;
        break;
    case kLControl:
        scancode = SDL_SCANCODE_LCTRL;
        break;
    case kRControl:
        scancode = SDL_SCANCODE_RCTRL;
        break;
    case kLMenu:
        scancode = SDL_SCANCODE_LALT;
        break;
    case kRMenu:
        scancode = SDL_SCANCODE_RALT;
        break;
    default: {
        const Key* found = nullptr;
        for (const Key& k : kKeys)
            if (k.vk == vk) {
                found = &k;
                break;
            }
        if (!found) return false;
        scancode = found->scancode;
    }
    }
    keycode = SDL_SCANCODE_TO_KEYCODE(scancode);
    // The US layout's characters, so that VirtualKey reads the same code back.
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        keycode = SDL_Keycode('a' + (scancode - SDL_SCANCODE_A));
    else if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        keycode = SDL_Keycode('1' + (scancode - SDL_SCANCODE_1));
    else if (scancode == SDL_SCANCODE_0)
        keycode = '0';
    else {
        static const struct {
            SDL_Scancode sc;
            char ch;
        } kPunct[] = {{SDL_SCANCODE_MINUS, '-'},       {SDL_SCANCODE_EQUALS, '='},
                      {SDL_SCANCODE_LEFTBRACKET, '['}, {SDL_SCANCODE_RIGHTBRACKET, ']'},
                      {SDL_SCANCODE_BACKSLASH, '\\'},  {SDL_SCANCODE_SEMICOLON, ';'},
                      {SDL_SCANCODE_APOSTROPHE, '\''}, {SDL_SCANCODE_GRAVE, '`'},
                      {SDL_SCANCODE_COMMA, ','},       {SDL_SCANCODE_PERIOD, '.'},
                      {SDL_SCANCODE_SLASH, '/'},       {SDL_SCANCODE_RETURN, '\r'},
                      {SDL_SCANCODE_ESCAPE, '\x1b'},   {SDL_SCANCODE_BACKSPACE, '\b'},
                      {SDL_SCANCODE_TAB, '\t'},        {SDL_SCANCODE_SPACE, ' '}};
        for (const auto& p : kPunct)
            if (p.sc == scancode) keycode = SDL_Keycode(p.ch);
    }
    return true;
}

} // namespace qv::host::keys
