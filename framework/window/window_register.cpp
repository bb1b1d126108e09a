// WINDOWREGISTER: the framework's two window classes, "GLWindow" for its
// main window and "IMAGEBUTTON" for the image buttons.
#include "quorvel/window.h"

namespace quorvel {

namespace {

constexpr const char* kMainClass = "GLWindow";

// The system cursor each cursor kind stands for. FILECURSOR (7) is not here:
// it loads a file instead.
LPCSTR SystemCursorOfKind(int32_t kind) {
    switch (kind) {
    case ARROW:
        return IDC_ARROW;
    case IBEAM:
        return IDC_IBEAM;
    case WAIT:
        return IDC_WAIT;
    case CROSS:
        return IDC_CROSS;
    case UPARROW:
        return IDC_UPARROW;
    case SIZE:
        return IDC_SIZE;
    case SIZENWSE:
        return IDC_SIZENWSE;
    case SIZENESW:
        return IDC_SIZENESW;
    case SIZEWE:
        return IDC_SIZEWE;
    case SIZENS:
        return IDC_SIZENS;
    case SIZEALL:
        return IDC_SIZEALL;
    case NOCURSOR:
        return IDC_NO;
    case HAND:
        return IDC_HAND;
    case APPSTARTING:
        return IDC_APPSTARTING;
    case HELP:
        return IDC_HELP;
    }
    return nullptr;
}

// A missing or unreadable file, or no file name at all, gives no cursor.
HCURSOR CursorFromFile(const char* file) {
    if (file == nullptr || file[0] == '\0') return nullptr;
    return LoadCursorFromFileA(file);
}

HCURSOR ClassCursor() {
    if (SETTYPECURSOR == FILECURSOR) return CursorFromFile(CURSORFILE);
    LPCSTR id = SystemCursorOfKind(SETTYPECURSOR);
    // An unknown kind selects no cursor: the class gets none.
    return id != nullptr ? LoadCursorA(nullptr, id) : nullptr;
}

HICON ClassIcon() {
    switch (SETTYPEICON) {
    case GENERIC:
        return LoadIconA(nullptr, IDI_APPLICATION);
    // The cursor-file loader serves for icons too: the handle it returns
    // does as the class icon.
    case FILEICON:
        return CursorFromFile(ICONFILE);
    }
    return nullptr;
}

// Registered only when it does not exist yet, so that a second
// WINDOWREGISTER leaves the first registration alone. Its result never
// changes WINDOWREGISTER's: without the class, only image buttons fail.
void RegisterImageButtonClass() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (GetClassInfoExA(nullptr, SZHOVERCLASS, &WINDOWCLASSEX) != 0) return;
    WINDOWCLASSEX = WNDCLASSEXA{};
    WINDOWCLASSEX.cbSize = sizeof(WNDCLASSEXA);
    WINDOWCLASSEX.lpszClassName = SZHOVERCLASS;
    WINDOWCLASSEX.style = 0; // double clicks arrive as plain presses
    WINDOWCLASSEX.lpfnWndProc = HOVERBUTTONHANDLER;
    WINDOWCLASSEX.cbClsExtra = 0;
    WINDOWCLASSEX.cbWndExtra = 0;
    WINDOWCLASSEX.hInstance = instance;
    WINDOWCLASSEX.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    WINDOWCLASSEX.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    WINDOWCLASSEX.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    // The pictures cover the button: nothing is erased behind them.
    WINDOWCLASSEX.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    WINDOWCLASSEX.lpszMenuName = nullptr;
    RegisterClassExA(&WINDOWCLASSEX);
}

} // namespace

bool WINDOWREGISTER() {
    WNDCLASSA main_class{};
    main_class.style = CS_VREDRAW | CS_HREDRAW;
    main_class.lpfnWndProc = GLWNDPROC;
    main_class.cbClsExtra = 0;
    main_class.cbWndExtra = 0;
    main_class.hInstance = GetModuleHandleA(nullptr);
    main_class.hIcon = ClassIcon();
    main_class.hCursor = ClassCursor();
    main_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    main_class.lpszMenuName = nullptr;
    main_class.lpszClassName = kMainClass;
    // Only the atom's 16 bits say whether it worked; an existing class gives 0.
    bool registered = RegisterClassA(&main_class) != 0;
    RegisterImageButtonClass();
    return registered;
}

} // namespace quorvel
