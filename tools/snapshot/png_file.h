// Writing a picture as an 8-bit RGB PNG.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace snapshot {

// `rgba` holds width * height pixels, top row first, 4 bytes each; alpha is
// dropped, since a presented window shows no transparency. On failure
// returns false and sets `error`. The file is not closed.
bool WritePng(std::FILE* file, int width, int height, const std::vector<uint8_t>& rgba,
              std::string& error);

} // namespace snapshot
