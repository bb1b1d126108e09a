// Windows-1252 <-> UTF-8. The layer's A functions take Windows-1252 text;
// the host speaks UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// Every byte maps to a character; the five bytes Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) pass through as the C1 controls
// of the same number, so no text is ever lost.
std::string Cp1252ToUtf8(std::string_view text);

// Characters without a Windows-1252 byte become `replacement`; malformed
// UTF-8 sequences become one replacement each.
std::string Utf8ToCp1252(std::string_view text, char replacement = '?');

// The Windows-1252 byte for a code point, or -1.
int CodePointToCp1252(uint32_t code_point);
uint32_t Cp1252ToCodePoint(unsigned char byte);

} // namespace qv
