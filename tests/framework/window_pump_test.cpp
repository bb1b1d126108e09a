// SETGLMSG: one message per call, never waiting.
#include <quorvel.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <chrono>

using namespace quorvel;

namespace {

class Pump : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (HWINDOW == nullptr) {
            OGLWINDOWSETTING(ARROW, "", GENERIC, "");
            ASSERT_TRUE(CREATEOGLWINDOW("pump", 800, 600, 32, false));
        }
    }
    void SetUp() override {
        // Whatever creation queued (paint, activation) is worked off first.
        for (int i = 0; i < 1000 && HasMessage(); ++i)
            SETGLMSG();
        ASSERT_FALSE(HasMessage());
    }
    static bool HasMessage() {
        MSG m;
        return PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE) != 0;
    }
};

} // namespace

TEST_F(Pump, AnEmptyQueueReturnsAtOnce) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 100; ++i)
        SETGLMSG();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::milliseconds(500));
    EXPECT_TRUE(ACTIVE);
}

TEST_F(Pump, EachCallTakesOneMessage) {
    const WPARAM keys[] = {'A', 'B', 'C'};
    for (WPARAM key : keys) {
        SETKEY[int64_t(key)] = -1;
        ASSERT_TRUE(PostMessageA(HWINDOW, WM_KEYUP, key, 0));
    }
    for (size_t call = 0; call < 3; ++call) {
        SETGLMSG();
        for (size_t k = 0; k < 3; ++k)
            EXPECT_EQ(SETKEY[int64_t(keys[k])], k <= call ? 0 : -1) << "after call " << call;
    }
    EXPECT_FALSE(HasMessage());
}

TEST_F(Pump, RealKeyPressesReachTheKeyTable) {
    qv::testing::InjectKey(HWINDOW, 'Q', true);
    for (int i = 0; i < 100 && SETKEY['Q'] == 0; ++i)
        SETGLMSG();
    EXPECT_EQ(SETKEY['Q'], -1);
    qv::testing::InjectKey(HWINDOW, 'Q', false);
    for (int i = 0; i < 100 && SETKEY['Q'] != 0; ++i)
        SETGLMSG();
    EXPECT_EQ(SETKEY['Q'], 0);
}

TEST_F(Pump, AQuitMessageIsTakenAndDoesNothing) {
    PostQuitMessage(0);
    SETGLMSG();
    EXPECT_EQ(MSG_.message, UINT(WM_QUIT));
    EXPECT_TRUE(ACTIVE);
    EXPECT_TRUE(IsWindow(HWINDOW));
    EXPECT_FALSE(HasMessage());
}
