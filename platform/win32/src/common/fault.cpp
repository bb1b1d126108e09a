#include "common/fault.h"
#include "common/handle_table.h"

#include <map>
#include <string>

#include <win32/testing.h>

namespace qv {

namespace {
std::map<std::string, int>& Pending() {
    static std::map<std::string, int> pending;
    return pending;
}
} // namespace

bool ShouldFail(const char* function) {
    auto& pending = Pending();
    if (pending.empty()) return false;
    auto it = pending.find(function);
    if (it == pending.end() || it->second == 0) return false;
    if (it->second > 0) --it->second;
    return true;
}

namespace testing {

void FailCall(const char* function, int times) { Pending()[function] = times; }
void ClearFailures() { Pending().clear(); }

LiveObjects CountLiveObjects() {
    LiveObjects n;
    n.windows = LiveObjectsOfKind(HandleKind::Window);
    n.dcs = LiveObjectsOfKind(HandleKind::DC);
    n.bitmaps = LiveObjectsOfKind(HandleKind::Bitmap);
    n.palettes = LiveObjectsOfKind(HandleKind::Palette);
    n.regions = LiveObjectsOfKind(HandleKind::Region);
    n.brushes = LiveObjectsOfKind(HandleKind::Brush);
    n.cursors = LiveObjectsOfKind(HandleKind::Cursor);
    n.gl_contexts = LiveObjectsOfKind(HandleKind::GLContext);
    n.globals = LiveObjectsOfKind(HandleKind::Global);
    return n;
}

} // namespace testing
} // namespace qv
