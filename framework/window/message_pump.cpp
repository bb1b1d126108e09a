// SETGLMSG: the frame loop's message pump. It looks before it takes, so an
// empty queue costs one look and the loop never waits for input, and it
// takes one message per call, so a burst is worked off while drawing goes on.
#include "quorvel/window.h"

namespace quorvel {

void SETGLMSG() {
    if (!PeekMessageA(&MSG_, nullptr, 0, 0, PM_NOREMOVE)) return;
    GetMessageA(&MSG_, nullptr, 0, 0);
    // A quit message is dispatched like any other and does nothing: the
    // frame loop ends through ACTIVE alone.
    TranslateMessage(&MSG_);
    DispatchMessageA(&MSG_);
}

} // namespace quorvel
