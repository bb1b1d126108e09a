// Reading .cur and .ico files: the ICONDIR, its entries, and the
// BMP-in-ICO images with their AND masks. PNG entries are refused.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/host.h"

namespace qv::user {

struct CursorImage {
    host::Image image; // top row first, R, G, B, A
    int hot_x = 0, hot_y = 0;
};

// False for anything that is not a well-formed cursor or icon file with a
// usable entry; never reads outside data.
bool ParseCursorFile(const uint8_t* data, size_t size, CursorImage& out);

} // namespace qv::user
