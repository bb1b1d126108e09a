// The demo's entry run end to end, headless, exactly as the binary runs it:
// the question, the window it selects, the frame loop and the way it ends.
// Each run happens in a child process (the framework opens one window per
// process), which reports what it saw on standard error.
#include "demo.h"

#include <quorvel.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

using namespace quorvel;

namespace {

struct Observed {
    int questions = 0;
    bool question_ok = false;
    bool window_before_question = false;
    int frames = 0;
    int inactive_frames = 0; // frames presented after ACTIVE was cleared
    RECT rect{};
    bool fullscreen = false;
    bool same_picture = true;
    double fp = 0;
};
Observed seen;

// Runs the entry with the question answered by `answer` and `on_frame`
// called after every presented frame; exits with the entry's status after
// printing what was observed.
[[noreturn]] void RunDemo(int answer, std::function<void(int frame)> on_frame) {
    qv::testing::SetVirtualScreenSize(1920, 1080);
    qv::testing::SetMessageBoxResponder(
        [answer](HWND owner, const std::string& text, const std::string& caption, UINT type) {
            ++seen.questions;
            seen.question_ok = owner == nullptr && text == "Settare lo schermo intero?  " &&
                               caption == "Video!" && type == (MB_YESNO | MB_ICONQUESTION);
            seen.window_before_question = qv::testing::CountLiveObjects().windows != 0;
            return answer;
        });
    qv::testing::SetPresentHook([on_frame](HWND window) {
        if (window != HWINDOW) return;
        ++seen.frames;
        if (seen.frames == 1) {
            GetWindowRect(HWINDOW, &seen.rect);
            seen.fullscreen = FULLSCREEN;
        }
        if (!ACTIVE) ++seen.inactive_frames;
        // Give up rather than hang if nothing ends the loop.
        if (seen.frames > 2000) std::_Exit(99);
        on_frame(seen.frames);
    });
    const int status = RunIsometricDemo();
    const auto live = qv::testing::CountLiveObjects();
    std::fprintf(stderr,
                 "questions=%d question_ok=%d window_before=%d fullscreen=%d "
                 "rect=%d,%d,%d,%d inactive_frames=%d windows=%zu contexts=%zu dcs=%zu "
                 "same_picture=%d fp=%g status=%d\n",
                 seen.questions, seen.question_ok, seen.window_before_question, seen.fullscreen,
                 int(seen.rect.left), int(seen.rect.top), int(seen.rect.right),
                 int(seen.rect.bottom), seen.inactive_frames, live.windows, live.gl_contexts,
                 live.dcs, seen.same_picture, seen.fp, status);
    std::fflush(stderr);
    std::exit(status);
}

void PressEscapeAt(int frame, int when) {
    if (frame == when) qv::testing::InjectKey(HWINDOW, VK_ESCAPE, true);
}

const char* kCleanEnd = "inactive_frames=1 windows=0 contexts=0 dcs=0 .*status=0";

} // namespace

TEST(EntryDeathTest, TheAnswerSelectsTheWindow) {
    const struct {
        const char* what;
        int answer;
        const char* window;
    } cases[] = {
        {"No", IDNO, "fullscreen=0 rect=0,0,800,600"},
        {"Yes", IDYES, "fullscreen=1 rect=0,0,1920,1080"},
        {"a failed box", 0, "fullscreen=1 rect=0,0,1920,1080"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EXIT(RunDemo(c.answer, [](int frame) { PressEscapeAt(frame, 3); }),
                    testing::ExitedWithCode(0),
                    std::string("questions=1 question_ok=1 window_before=0 ") + c.window + " .*" +
                        kCleanEnd);
    }
}

TEST(EntryDeathTest, EscapeEndsTheLoopAfterTheCurrentFrameWithStatusZero) {
    // Escape clears ACTIVE inside the frame's pump; that frame is still drawn
    // and presented, and it is the last one.
    EXPECT_EXIT(RunDemo(IDNO,
                        [](int frame) {
                            PressEscapeAt(frame, 5);
                            if (frame == 1) {
                                // Floating-point exceptions stay masked.
                                volatile double zero = 0;
                                seen.fp = 1 / zero;
                            }
                        }),
                testing::ExitedWithCode(0),
                "inactive_frames=1 windows=0 contexts=0 dcs=0 same_picture=1 fp=inf status=0");
}

TEST(EntryDeathTest, ACloseRequestEndsTheProgramTheSameWay) {
    // The frame that handles the close still draws and swaps against the
    // destroyed window; the teardown then works on stale handles.
    EXPECT_EXIT(RunDemo(IDNO,
                        [](int frame) {
                            if (frame == 3) qv::testing::InjectCloseRequest(HWINDOW);
                        }),
                testing::ExitedWithCode(0), "windows=0 contexts=0 dcs=0 .*status=0");
}

TEST(EntryDeathTest, OtherKeysAndTheMouseChangeNothingOnScreen) {
    static qv::testing::PresentedImage first;
    EXPECT_EXIT(
        {
            qv::testing::CapturePresented(true);
            RunDemo(IDNO, [](int frame) {
                HWND w = HWINDOW;
                if (frame == 2 && !qv::testing::LastPresented(w, first)) seen.same_picture = false;
                if (frame == 3) {
                    qv::testing::InjectKey(w, 'A', true);
                    qv::testing::InjectKey(w, VK_SPACE, true);
                    qv::testing::InjectMouseMove(w, 100, 100);
                    qv::testing::InjectButton(w, 1, true, 100, 100);
                    qv::testing::InjectMouseMove(w, 300, 200);
                    qv::testing::InjectButton(w, 1, false, 300, 200);
                    qv::testing::InjectButton(w, 3, true, 300, 200);
                    qv::testing::InjectMouseMove(w, 320, 260);
                    qv::testing::InjectButton(w, 3, false, 320, 260);
                    qv::testing::InjectKey(w, 'A', false);
                    qv::testing::InjectKey(w, VK_SPACE, false);
                }
                if (frame >= 4 && frame <= 40) {
                    qv::testing::PresentedImage now;
                    if (!qv::testing::LastPresented(w, now) || now.rgba != first.rgba)
                        seen.same_picture = false;
                    if (!ACTIVE) seen.same_picture = false;
                }
                PressEscapeAt(frame, 40);
            });
        },
        testing::ExitedWithCode(0), std::string("same_picture=1 fp=0 status=0"));
}
