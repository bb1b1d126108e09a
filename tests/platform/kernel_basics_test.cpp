// Module handle, tick count, sleeping, the last error, Windows-1252 text.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/cp1252.h"

namespace {

TEST(Kernel, ModuleHandleIsTheProgramsFixedInstance) {
    HMODULE self = GetModuleHandleA(nullptr);
    ASSERT_NE(self, nullptr);
    EXPECT_EQ(GetModuleHandleA(nullptr), self);
    EXPECT_EQ(GetModuleHandleA("platform_kernel_basics_test"), self);
    EXPECT_EQ(GetModuleHandleA("PLATFORM_KERNEL_BASICS_TEST.EXE"), self);
    SetLastError(0);
    EXPECT_EQ(GetModuleHandleA("user32.dll"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    char path[4096];
    EXPECT_GT(GetModuleFileNameA(nullptr, path, sizeof path), 0u);
    EXPECT_NE(std::string(path).find("platform_kernel_basics_test"), std::string::npos);
}

TEST(Kernel, TickCountAdvancesAcrossASleep) {
    DWORD t0 = GetTickCount();
    Sleep(30);
    DWORD t1 = GetTickCount();
    EXPECT_GE(t1 - t0, 25u);
    EXPECT_LT(t1 - t0, 5000u);
    Sleep(0);
}

TEST(Kernel, LastErrorIsKeptUntilSetAgain) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    EXPECT_EQ(GetLastError(), 1410u);
    EXPECT_EQ(GetLastError(), 1410u);
    SetLastError(0);
    EXPECT_EQ(GetLastError(), 0u);
}

TEST(Kernel, Windows1252RoundTripsEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += char(b);
    EXPECT_EQ(qv::Utf8ToCp1252(qv::Cp1252ToUtf8(all)), all);
    struct Case {
        const char* cp1252;
        const char* utf8;
    } cases[] = {
        {"\xE8", "\xC3\xA8"},     // è
        {"\x80", "\xE2\x82\xAC"}, // €
        {"\x9C", "\xC5\x93"},     // œ
        {"\xA0", "\xC2\xA0"},     // no-break space
        {"Video!", "Video!"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(qv::Cp1252ToUtf8(c.cp1252), c.utf8) << c.cp1252;
        EXPECT_EQ(qv::Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
    }
    struct Bad {
        const char* utf8;
        const char* want;
    } bad[] = {
        {"\xE4\xB8\xAD", "?"},   // no Windows-1252 byte for it
        {"a\xC3", "a?"},         // cut short
        {"\xC0\xAF", "?"},       // overlong
        {"\xED\xA0\x80x", "?x"}, // a surrogate
        {"\xFF\xFE", "??"},
    };
    for (const Bad& b : bad)
        EXPECT_EQ(qv::Utf8ToCp1252(b.utf8), b.want) << b.utf8;
}

} // namespace
