// The test seam's view of WGL: the last pixel-format request and a hook
// called after every frame presented.
#include <win32/testing.h>

#include "wgl/wgl_internal.h"

namespace qv {

namespace {
bool have_request = false;
PIXELFORMATDESCRIPTOR last_request;
testing::PresentHook& Hook() {
    static testing::PresentHook hook;
    return hook;
}
} // namespace

namespace wgl {
void RecordRequest(const PIXELFORMATDESCRIPTOR& request) {
    last_request = request;
    have_request = true;
}
void NotifyPresented(HWND window) {
    // A copy, so that a hook may replace itself.
    if (testing::PresentHook hook = Hook()) hook(window);
}
} // namespace wgl

namespace testing {
bool LastPixelFormatRequest(PIXELFORMATDESCRIPTOR& out) {
    if (!have_request) return false;
    out = last_request;
    return true;
}
void SetPresentHook(PresentHook hook) {
    Hook() = std::move(hook);
}
} // namespace testing

} // namespace qv
