// Blue-green-red to red-green-blue, in place.
#include "quorvel/image.h"

namespace quorvel {

void SWAPRGB(void* DATA, int32_t SIZE) {
    auto* group = static_cast<uint8_t*>(DATA);
    // Plain 3-byte steps: row ends and fill bytes are the caller's concern.
    for (int32_t i = 0; i < SIZE; ++i, group += 3) {
        uint8_t first = group[0];
        group[0] = group[2];
        group[2] = first;
    }
}

} // namespace quorvel
