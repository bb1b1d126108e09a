// The run-time checks the framework's declared ranges rely on: a failed
// check prints its message and ends the process with its own status.
#include <quorvel.h>

#include <gtest/gtest.h>

#include <climits>

using namespace quorvel;

TEST(CheckedArray, IndexesWithinTheRangeReachTheirOwnElement) {
    Array<int32_t, 1, 3> a{};
    a[1] = 10;
    a[3] = 30;
    EXPECT_EQ(a.data()[0], 10);
    EXPECT_EQ(a.data()[2], 30);
    EXPECT_EQ(a.size(), 3u);

    Array<int32_t, -2, 2> b{};
    b[-2] = 7;
    EXPECT_EQ(b.data()[0], 7);
}

TEST(CheckedArrayDeathTest, IndexOutsideTheRangeIsARangeCheckError) {
    static Array<int32_t, 0, 500> keys{};
    static Array<int32_t, 1, 20> items{};
    const struct {
        const char* what;
        void (*access)();
    } cases[] = {
        {"one past the top", [] { keys[501] = 1; }},
        {"below the bottom", [] { keys[-1] = 1; }},
        {"zero below a range from 1", [] { items[0] = 1; }},
        {"read past the top", [] { (void)items[21]; }},
        {"an index far outside 32 bits", [] { keys[int64_t(1) << 40] = 1; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EXIT(c.access(), testing::ExitedWithCode(201), "Range check error");
    }
}

TEST(CheckedNarrowDeathTest, ValueOutsideTheNarrowerTypeIsARangeCheckError) {
    EXPECT_EQ(CheckedNarrow<uint8_t>(255), 255);
    EXPECT_EQ(CheckedNarrow<uint8_t>(0), 0);
    EXPECT_EXIT(CheckedNarrow<uint8_t>(256), testing::ExitedWithCode(201), "Range check error");
    EXPECT_EXIT(CheckedNarrow<uint8_t>(-1), testing::ExitedWithCode(201), "Range check error");
    EXPECT_EXIT(CheckedRange(11, 0, 10), testing::ExitedWithCode(201), "Range check error");
}

TEST(CheckedArithmeticDeathTest, OverflowIsAnArithmeticOverflowError) {
    EXPECT_EQ(CheckedAdd(INT32_MAX - 1, 1), INT32_MAX);
    EXPECT_EQ(CheckedSub(INT32_MIN + 1, 1), INT32_MIN);
    EXPECT_EXIT(CheckedAdd<int32_t>(INT32_MAX, 1), testing::ExitedWithCode(215),
                "Arithmetic overflow");
    EXPECT_EXIT(CheckedSub<int32_t>(INT32_MIN, 1), testing::ExitedWithCode(215),
                "Arithmetic overflow");
    EXPECT_EXIT(CheckedMul<int32_t>(65536, 65536), testing::ExitedWithCode(215),
                "Arithmetic overflow");
    EXPECT_EXIT(CheckedSub<uint32_t>(0u, 1u), testing::ExitedWithCode(215), "Arithmetic overflow");
}

TEST(RunTimeErrorDeathTest, ReadPastEndOfFileHasItsOwnMessageAndStatus) {
    EXPECT_EXIT(RaiseRunTimeError(RunTimeError::ReadPastEndOfFile), testing::ExitedWithCode(100),
                "Read past end of file");
}
