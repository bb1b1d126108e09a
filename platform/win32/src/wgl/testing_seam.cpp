// The test seam's view of WGL: the last pixel-format request and a hook
// called after every frame presented.
#include <win32/testing.h>

#include <memory>

#include "wgl/wgl_internal.h"

namespace qv {

namespace {
bool have_request = false;
PIXELFORMATDESCRIPTOR last_request;
// Shared, so that a swap can keep the hook alive while it runs (the hook may
// replace itself) without copying it: a frame allocates nothing.
std::shared_ptr<const testing::PresentHook>& Hook() {
    static std::shared_ptr<const testing::PresentHook> hook;
    return hook;
}
} // namespace

namespace wgl {
void RecordRequest(const PIXELFORMATDESCRIPTOR& request) {
    last_request = request;
    have_request = true;
}
void NotifyPresented(HWND window) {
    if (std::shared_ptr<const testing::PresentHook> hook = Hook()) (*hook)(window);
}
} // namespace wgl

namespace testing {
bool LastPixelFormatRequest(PIXELFORMATDESCRIPTOR& out) {
    if (!have_request) return false;
    out = last_request;
    return true;
}
void SetPresentHook(PresentHook hook) {
    Hook() = hook ? std::make_shared<const PresentHook>(std::move(hook)) : nullptr;
}
} // namespace testing

} // namespace qv
