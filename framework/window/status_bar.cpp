// CREATESTATUSBAR: the status bar along the bottom of the framework window.
//
// Until the status bar is built here, no bar is made: the result is 0, which
// every caller already treats as "no status bar" (HSTATUS 0, repaints of it
// do nothing).
#include "quorvel/window.h"

namespace quorvel {

HWND CREATESTATUSBAR(HWND PARENT) {
    (void)PARENT;
    return nullptr;
}

} // namespace quorvel
