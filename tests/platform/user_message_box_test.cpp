// MessageBoxA without a display: the responder, the headless answers, the
// terminal prompt, the text on standard error in UTF-8, forced failure.
#include <windows.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

class MessageBox_ : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_stdin_ = dup(STDIN_FILENO);
        qv::testing::SetMessageBoxResponder({});
    }
    void TearDown() override {
        dup2(saved_stdin_, STDIN_FILENO);
        close(saved_stdin_);
        qv::testing::SetMessageBoxResponder({});
    }
    static void StdinFrom(int fd) {
        dup2(fd, STDIN_FILENO);
        close(fd);
        clearerr(stdin);
    }
    int saved_stdin_ = -1;
};

TEST_F(MessageBox_, TheResponderAnswersFirst) {
    std::string text, caption;
    UINT type = 0;
    qv::testing::SetMessageBoxResponder(
        [&](HWND, const std::string& t, const std::string& c, UINT u) {
            text = t, caption = c, type = u;
            return IDYES;
        });
    EXPECT_EQ(
        MessageBoxA(nullptr, "Settare lo schermo intero?  ", "Video!", MB_YESNO | MB_ICONQUESTION),
        IDYES);
    EXPECT_EQ(text, "Settare lo schermo intero?  ");
    EXPECT_EQ(caption, "Video!");
    EXPECT_EQ(type, UINT(0x24));
    MessageBoxA(nullptr, nullptr, nullptr, MB_OK);
    EXPECT_EQ(caption, "Error"); // Win32's caption when none is given
    EXPECT_EQ(text, "");
}

TEST_F(MessageBox_, HeadlessAnswersAndTheTextOnStandardError) {
    StdinFrom(open("/dev/null", O_RDONLY));
    struct Case {
        UINT type;
        int answer;
    } cases[] = {
        {MB_OK, IDOK},          {MB_OKCANCEL, IDCANCEL},    {MB_YESNO | MB_ICONQUESTION, IDNO},
        {MB_YESNOCANCEL, IDNO}, {MB_RETRYCANCEL, IDCANCEL}, {MB_YESNO | MB_DEFBUTTON1, IDNO},
    };
    for (const Case& c : cases) {
        ::testing::internal::CaptureStderr();
        int got = MessageBoxA(nullptr, "la rispettiva applicazione non \xE8 stata inizilizata!",
                              "Error", c.type);
        std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(got, c.answer) << c.type;
        EXPECT_NE(err.find("Error"), std::string::npos);
        EXPECT_NE(err.find("non \xC3\xA8 stata"), std::string::npos) << err; // UTF-8
    }
}

TEST_F(MessageBox_, ATerminalIsAsked) {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    StdinFrom(slave);
    struct Case {
        const char* typed;
        UINT type;
        int answer;
    } cases[] = {
        {"n\n", MB_YESNO, IDNO},
        {"Y\n", MB_YESNO, IDYES},
        {"\n", MB_YESNO, IDYES},                // Return: the default button
        {"\n", MB_YESNO | MB_DEFBUTTON2, IDNO}, // ...as the type chooses it
        {"x\nc\n", MB_OKCANCEL, IDCANCEL},      // asked again after an unknown answer
    };
    for (const Case& c : cases) {
        ASSERT_EQ(write(master, c.typed, strlen(c.typed)), ssize_t(strlen(c.typed)));
        ::testing::internal::CaptureStderr();
        int got = MessageBoxA(nullptr, "question", "caption", c.type);
        ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(got, c.answer) << c.typed;
    }
    close(master);
}

TEST_F(MessageBox_, FailsWhenForcedOrGivenABadOwner) {
    qv::testing::SetMessageBoxResponder(
        [](HWND, const std::string&, const std::string&, UINT) { return IDOK; });
    qv::testing::FailCall("MessageBoxA");
    EXPECT_EQ(MessageBoxA(nullptr, "x", "y", MB_OK), 0);
    EXPECT_EQ(MessageBoxA(nullptr, "x", "y", MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(reinterpret_cast<HWND>(uintptr_t(0x10000123)), "x", "y", MB_OK), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

} // namespace
