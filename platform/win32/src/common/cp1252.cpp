#include "common/cp1252.h"

namespace qv {

namespace {
// 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr uint16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}
} // namespace

uint32_t Cp1252ToCodePoint(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHigh[byte - 0x80] : byte;
}

int CodePointToCp1252(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return int(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp) return 0x80 + i;
    return -1;
}

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        AppendUtf8(out, Cp1252ToCodePoint(static_cast<unsigned char>(c)));
    return out;
}

std::string Utf8ToCp1252(std::string_view text, char replacement) {
    std::string out;
    size_t i = 0, n = text.size();
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    while (i < n) {
        unsigned char b = byte(i);
        uint32_t cp;
        size_t len;
        if (b < 0x80) {
            cp = b, len = 1;
        } else if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F, len = 2;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F, len = 3;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07, len = 4;
        } else {
            out += replacement;
            ++i;
            continue;
        }
        bool ok = i + len <= n;
        for (size_t k = 1; ok && k < len; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (byte(i + k) & 0x3F);
        }
        // Overlong forms and surrogates are malformed, not characters.
        static constexpr uint32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (ok && (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
        if (!ok) {
            out += replacement;
            ++i;
            while (i < n && (byte(i) & 0xC0) == 0x80)
                ++i;
            continue;
        }
        int c = CodePointToCp1252(cp);
        out += c < 0 ? replacement : char(c);
        i += len;
    }
    return out;
}

} // namespace qv
