// The demo's real entry, headless: keys and mouse reach the framework's
// input state, yet no frame differs by a pixel from the first.
#include <gtest/gtest.h>

#include <windows.h>
#include <win32/testing.h>

#include <quorvel.h>

#include <functional>
#include <vector>

#include "demo.h"

namespace {

using namespace quorvel;
namespace t = qv::testing;

TEST(SceneInput, KeysAndMouseNeverChangeThePicture) {
    t::SetMessageBoxResponder(
        [](HWND, const std::string&, const std::string&, UINT) { return IDNO; });
    t::CapturePresented(true);

    // One input a frame: the loop takes one message per frame.
    const std::vector<std::function<void(HWND)>> inputs = {
        [](HWND w) { t::InjectKey(w, 'A', true); },
        [](HWND w) { t::InjectKey(w, 'A', false); },
        [](HWND w) { t::InjectKey(w, VK_LEFT, true); },
        [](HWND w) { t::InjectKey(w, VK_SPACE, true); },
        [](HWND w) { t::InjectKey(w, VK_SPACE, false); },
        [](HWND w) { t::InjectMouseMove(w, 400, 300); },
        [](HWND w) { t::InjectButton(w, 1, true, 400, 300); },
        [](HWND w) { t::InjectMouseMove(w, 460, 250); },
        [](HWND w) { t::InjectButton(w, 1, false, 460, 250); },
        [](HWND w) { t::InjectButton(w, 3, true, 100, 100); },
        [](HWND w) { t::InjectMouseMove(w, 120, 180); },
        [](HWND w) { t::InjectButton(w, 3, false, 120, 180); },
        [](HWND w) { t::InjectKey(w, VK_LEFT, false); },
    };

    int presented = 0, differing = 0;
    bool saw_key = false, saw_move = false;
    t::PresentedImage first, now;
    t::SetPresentHook([&](HWND window) {
        ++presented;
        saw_key |= SETKEY['A'] != 0;
        saw_move |= SETOMX == 400 && SETOMY == 300;
        if (presented == 1) {
            ASSERT_TRUE(t::LastPresented(window, first));
        } else {
            ASSERT_TRUE(t::LastPresented(window, now));
            differing += now.rgba != first.rgba;
        }
        const size_t next = size_t(presented) - 1;
        if (next < inputs.size()) inputs[next](window);
        // A few frames for the inputs to drain, then Escape.
        if (next == inputs.size() + 2) t::InjectKey(window, VK_ESCAPE, true);
        ASSERT_LT(presented, 200) << "Escape did not end the loop";
    });

    EXPECT_EQ(RunIsometricDemo(), 0);
    t::SetPresentHook({});
    t::CapturePresented(false);
    t::SetMessageBoxResponder({});

    EXPECT_TRUE(saw_key) << "the key never reached SETKEY";
    EXPECT_TRUE(saw_move) << "the mouse move never reached SETOMX, SETOMY";
    EXPECT_GE(presented, int(inputs.size()) + 3);
    EXPECT_EQ(differing, 0) << "of " << presented - 1 << " frames after the first";
    EXPECT_FALSE(first.rgba.empty());
}

} // namespace
