#include "gdi/dc_table.h"

#include <memory>

namespace qv::gdi {

HandleTable<DeviceContext>& DCs() {
    static HandleTable<DeviceContext> table(HandleKind::DC);
    return table;
}

HDC AddDC(const DeviceContext& dc) {
    return HandleFrom<HDC>(DCs().Add(std::make_unique<DeviceContext>(dc)));
}

bool RemoveDC(HDC dc) {
    return DCs().Remove(HandleValue(dc)) != nullptr;
}

} // namespace qv::gdi
