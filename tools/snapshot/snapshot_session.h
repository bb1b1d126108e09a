// One headless run of the demo's real entry, driven the way a user would
// drive it: the question answered, a number of frames let through, then
// Escape. What the window presented last is kept. Shared by the snapshot
// tool and by the tests of its picture, so that both see the same run.
#pragma once

#include <windows.h>
#include <win32/testing.h>

#include <cstdlib>
#include <string>

namespace snapshot {

struct Session {
    bool answer_yes = false;
    int frames = 3;                          // at least 1
    int screen_width = 0, screen_height = 0; // 0: the host's default
};

struct Outcome {
    int status = 0;        // what the entry returned
    int presented = 0;     // frames the demo presented
    bool captured = false; // image holds the last presented frame
    qv::testing::PresentedImage image;
};

// Must run before anything touches the layer: the host picks its video
// driver once, on first use.
inline void ForceHeadless() {
    setenv("QUORVEL_VIDEO", "offscreen", 1);
}

// Runs `entry` (the demo's RunIsometricDemo) once under the session.
template <typename Entry> Outcome Run(const Session& session, Entry&& entry) {
    ForceHeadless();
    Outcome outcome;
    if (session.screen_width > 0 && session.screen_height > 0)
        qv::testing::SetVirtualScreenSize(session.screen_width, session.screen_height);

    // Escape goes in after the frame before the last: the loop takes one
    // message per frame, so the last frame takes the key, still draws and
    // swaps, and the loop ends there. A one-frame session types Escape on the
    // keyboard as it answers the question, so that the new window finds the
    // key waiting when its first frame pumps.
    const int escape_after = session.frames - 1;

    // The question gets the chosen answer; any other box (a creation error)
    // is acknowledged, so that the program can end as it means to.
    const int answer = session.answer_yes ? IDYES : IDNO;
    qv::testing::SetMessageBoxResponder(
        [answer, escape_after](HWND, const std::string&, const std::string&, UINT type) {
            if ((type & MB_TYPEMASK) != MB_YESNO) return IDOK;
            if (escape_after == 0) qv::testing::InjectKey(nullptr, VK_ESCAPE, true);
            return answer;
        });

    qv::testing::CapturePresented(true);
    qv::testing::SetPresentHook([&outcome, escape_after](HWND window) {
        ++outcome.presented;
        if (outcome.presented == escape_after) qv::testing::InjectKey(window, VK_ESCAPE, true);
        outcome.captured = qv::testing::LastPresented(window, outcome.image);
    });

    outcome.status = entry();

    qv::testing::SetPresentHook({});
    qv::testing::CapturePresented(false);
    qv::testing::SetMessageBoxResponder({});
    return outcome;
}

} // namespace snapshot
