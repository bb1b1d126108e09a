// HOVERBUTTONHANDLER: the window procedure of the "IMAGEBUTTON" class.
//
// The class is registered with the main window class (window_register.cpp).
// Until the button's own behaviour (pictures, hover tracking, click) lives
// here, every message gets the platform's default processing, so a button
// created now is an ordinary, empty child window.
#include "quorvel/window.h"

namespace quorvel {

LRESULT CALLBACK HOVERBUTTONHANDLER(HWND WND, UINT IMSG, WPARAM WPARAM_, LPARAM LPARAM_) {
    return DefWindowProcA(WND, IMSG, WPARAM_, LPARAM_);
}

} // namespace quorvel
