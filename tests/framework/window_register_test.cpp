// The framework's window classes: "GLWindow" with the cursor and icon the
// settings chose, and "IMAGEBUTTON" registered once, after it.
#include <quorvel.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace quorvel;

namespace {

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

WNDCLASSA MainClass() {
    WNDCLASSA info{};
    EXPECT_TRUE(GetClassInfoA(Instance(), "GLWindow", &info));
    return info;
}

// Registers "GLWindow" with the given settings and reads its record back;
// the class is removed again so that the next case registers afresh.
WNDCLASSA RegisteredWith(int32_t cursor_kind, const char* cursor_file, int32_t icon_kind,
                         const char* icon_file) {
    OGLWINDOWSETTING(cursor_kind, cursor_file, icon_kind, icon_file);
    EXPECT_TRUE(WINDOWREGISTER());
    WNDCLASSA info = MainClass();
    UnregisterClassA("GLWindow", Instance());
    return info;
}

// A 32 by 32 cursor file of our own: one image, 32 bits a pixel, with its
// AND mask, hot spot (3, 4).
void WriteCursorFile(const std::string& path) {
    std::vector<uint8_t> f;
    auto u16 = [&](uint32_t v) {
        f.push_back(uint8_t(v));
        f.push_back(uint8_t(v >> 8));
    };
    auto u32 = [&](uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    const uint32_t pixels = 32 * 32 * 4, mask = 32 * 4;
    const uint32_t image = 40 + pixels + mask;
    u16(0), u16(2), u16(1); // cursor file, one image
    f.push_back(32), f.push_back(32), f.push_back(0), f.push_back(0);
    u16(3), u16(4), u32(image), u32(6 + 16);            // hot spot, size, offset
    u32(40), u32(32), u32(64), u16(1), u16(32), u32(0); // header: XOR and AND halves
    u32(pixels + mask), u32(0), u32(0), u32(0), u32(0);
    for (uint32_t i = 0; i < 32 * 32; ++i)
        u32(0xFF2080C0);
    for (uint32_t i = 0; i < mask; ++i)
        f.push_back(0);
    FILE* out = std::fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(f.data(), 1, f.size(), out);
    std::fclose(out);
}

// Each test starts without the framework's classes, so that the tests also
// run one after another in a single process.
class WindowRegister : public testing::Test {
  protected:
    void TearDown() override {
        UnregisterClassA("GLWindow", Instance());
        UnregisterClassA(SZHOVERCLASS, Instance());
    }
};

} // namespace

TEST_F(WindowRegister, MainClassRecord) {
    OGLWINDOWSETTING(ARROW, "", GENERIC, "");
    ASSERT_TRUE(WINDOWREGISTER());
    const WNDCLASSA info = MainClass();
    EXPECT_EQ(info.style, UINT(CS_VREDRAW | CS_HREDRAW));
    EXPECT_EQ(info.lpfnWndProc, &GLWNDPROC);
    EXPECT_EQ(info.cbClsExtra, 0);
    EXPECT_EQ(info.cbWndExtra, 0);
    EXPECT_EQ(info.hInstance, Instance());
    EXPECT_EQ(info.hbrBackground, GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(info.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(info.hIcon, LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_EQ(info.lpszMenuName, nullptr);

    // Registered once per process: a second attempt reports failure.
    EXPECT_FALSE(WINDOWREGISTER());
}

TEST_F(WindowRegister, EachCursorKindGivesItsSystemCursorAndAnUnknownKindNone) {
    const struct {
        int32_t kind;
        LPCSTR id; // nullptr: no cursor
    } cases[] = {
        {ARROW, IDC_ARROW},
        {IBEAM, IDC_IBEAM},
        {WAIT, IDC_WAIT},
        {CROSS, IDC_CROSS},
        {UPARROW, IDC_UPARROW},
        {quorvel::SIZE, IDC_SIZE},
        {SIZENWSE, IDC_SIZENWSE},
        {SIZENESW, IDC_SIZENESW},
        {SIZEWE, IDC_SIZEWE},
        {SIZENS, IDC_SIZENS},
        {SIZEALL, IDC_SIZEALL},
        {NOCURSOR, IDC_NO},
        {HAND, IDC_HAND},
        {APPSTARTING, IDC_APPSTARTING},
        {HELP, IDC_HELP},
        {0, nullptr},
        {17, nullptr},
        {-1, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("cursor kind " + std::to_string(c.kind));
        const WNDCLASSA info = RegisteredWith(c.kind, "", GENERIC, "");
        if (c.id == nullptr) {
            EXPECT_EQ(info.hCursor, nullptr);
        } else {
            EXPECT_NE(info.hCursor, nullptr);
            EXPECT_EQ(info.hCursor, LoadCursorA(nullptr, c.id));
        }
    }
}

TEST_F(WindowRegister, IconKinds) {
    EXPECT_EQ(RegisteredWith(ARROW, "", GENERIC, "").hIcon, LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
    for (int32_t kind : {0, 3, -5}) {
        SCOPED_TRACE("icon kind " + std::to_string(kind));
        EXPECT_EQ(RegisteredWith(ARROW, "", kind, "").hIcon, nullptr);
    }
}

TEST_F(WindowRegister, FileKindsLoadTheNamedFileWhenTheClassIsRegistered) {
    static char cursor_file[] = "window_register_test.cur";
    std::remove(cursor_file);

    // Missing files, an empty name and no name at all are ignored.
    EXPECT_EQ(RegisteredWith(FILECURSOR, cursor_file, FILEICON, cursor_file).hCursor, nullptr);
    EXPECT_EQ(RegisteredWith(FILECURSOR, cursor_file, FILEICON, cursor_file).hIcon, nullptr);
    EXPECT_EQ(RegisteredWith(FILECURSOR, "", FILEICON, "").hCursor, nullptr);
    EXPECT_EQ(RegisteredWith(FILECURSOR, nullptr, FILEICON, nullptr).hIcon, nullptr);

    // The settings hold the name only; the file written after them but
    // before the registration is the one that counts.
    OGLWINDOWSETTING(FILECURSOR, cursor_file, FILEICON, cursor_file);
    WriteCursorFile(cursor_file);
    ASSERT_NE(LoadCursorFromFileA(cursor_file), nullptr) << "the layer cannot read the file";
    ASSERT_TRUE(WINDOWREGISTER());
    const WNDCLASSA info = MainClass();
    EXPECT_NE(info.hCursor, nullptr);
    EXPECT_NE(info.hIcon, nullptr);
    EXPECT_NE(info.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    std::remove(cursor_file);
}

TEST_F(WindowRegister, ImageButtonClassRecord) {
    ASSERT_TRUE(WINDOWREGISTER());
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetClassInfoExA(Instance(), "IMAGEBUTTON", &info));
    EXPECT_EQ(info.style, 0u);
    EXPECT_EQ(info.lpfnWndProc, &HOVERBUTTONHANDLER);
    EXPECT_EQ(info.cbClsExtra, 0);
    EXPECT_EQ(info.cbWndExtra, 0);
    EXPECT_EQ(info.hInstance, Instance());
    EXPECT_EQ(info.hIcon, LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_EQ(info.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(info.hbrBackground, GetStockObject(NULL_BRUSH));
    EXPECT_EQ(info.lpszMenuName, nullptr);

    EXPECT_EQ(WINDOWCLASSEX.cbSize, sizeof(WNDCLASSEXA));
    EXPECT_STREQ(WINDOWCLASSEX.lpszClassName, "IMAGEBUTTON");
    EXPECT_EQ(WINDOWCLASSEX.lpfnWndProc, &HOVERBUTTONHANDLER);
    EXPECT_EQ(WINDOWCLASSEX.hIconSm, LoadIconA(nullptr, IDI_APPLICATION));
    EXPECT_EQ(WINDOWCLASSEX.hbrBackground, GetStockObject(NULL_BRUSH));

    // Until the button's behaviour is in, a button is a plain child window.
    HWND parent = CreateWindowExA(0, "GLWindow", "parent", WS_POPUP, 0, 0, 200, 100, nullptr,
                                  nullptr, Instance(), nullptr);
    HWND button = CreateWindowExA(0, SZHOVERCLASS, "", WS_CHILD | WS_VISIBLE, 10, 30, 40, 20,
                                  parent, HMENU(uintptr_t(7)), Instance(), nullptr);
    EXPECT_NE(button, nullptr);
    DestroyWindow(parent);
}

TEST_F(WindowRegister, AnExistingImageButtonClassIsLeftAlone) {
    WNDCLASSEXA mine{};
    mine.cbSize = sizeof mine;
    mine.lpfnWndProc = DefWindowProcA;
    mine.hInstance = Instance();
    mine.lpszClassName = "IMAGEBUTTON";
    ASSERT_NE(RegisterClassExA(&mine), 0);

    EXPECT_TRUE(WINDOWREGISTER());
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetClassInfoExA(Instance(), "IMAGEBUTTON", &info));
    EXPECT_EQ(info.lpfnWndProc, &DefWindowProcA);
    // The record holds what the lookup found.
    EXPECT_EQ(WINDOWCLASSEX.lpfnWndProc, &DefWindowProcA);
}

TEST_F(WindowRegister, AFailedImageButtonRegistrationDoesNotFailTheMainClass) {
    qv::testing::FailCall("RegisterClassExA");
    EXPECT_TRUE(WINDOWREGISTER());
    WNDCLASSEXA info{};
    info.cbSize = sizeof info;
    EXPECT_FALSE(GetClassInfoExA(Instance(), "IMAGEBUTTON", &info));
}
