// Global memory: moveable and fixed blocks, locking, reallocation that
// moves and keeps the contents, forced failures and bad handles.
#include <windows.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <cstring>

namespace {

class GlobalMemory : public ::testing::Test {
  protected:
    void SetUp() override { before_ = qv::testing::CountLiveObjects(); }
    void TearDown() override {
        qv::testing::ClearFailures();
        EXPECT_EQ(qv::testing::CountLiveObjects(), before_);
    }
    qv::testing::LiveObjects before_;
};

void Fill(void* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        static_cast<uint8_t*>(p)[i] = uint8_t(i * 31 + 7);
}
bool Holds(const void* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (static_cast<const uint8_t*>(p)[i] != uint8_t(i * 31 + 7)) return false;
    return true;
}

TEST_F(GlobalMemory, MoveableBlockKeepsItsContentsWhenItMoves) {
    HGLOBAL h = GlobalAlloc(GHND, 1632);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(qv::testing::CountLiveObjects().globals, before_.globals + 1);
    EXPECT_EQ(GlobalSize(h), 1632u);
    auto* p = static_cast<uint8_t*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 1632; ++i)
        ASSERT_EQ(p[i], 0) << i; // GMEM_ZEROINIT
    EXPECT_EQ(GlobalHandle(p), h);
    Fill(p, 1632);
    EXPECT_FALSE(GlobalUnlock(h)); // unlocked now
    EXPECT_EQ(GetLastError(), DWORD(NO_ERROR));

    for (SIZE_T size : {SIZE_T(3232), SIZE_T(4832), SIZE_T(100)}) {
        SCOPED_TRACE(size);
        void* old = GlobalLock(h);
        GlobalUnlock(h);
        ASSERT_EQ(GlobalReAlloc(h, size, GMEM_MOVEABLE), h); // the handle stays
        EXPECT_EQ(GlobalSize(h), size);
        void* now = GlobalLock(h);
        EXPECT_NE(now, old); // the memory really moved
        EXPECT_TRUE(Holds(now, std::min<size_t>(size, 1632)));
        if (size > 1632) Fill(now, 1632);
        GlobalUnlock(h);
    }
    EXPECT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(GlobalLock(h), nullptr); // stale
    EXPECT_EQ(GlobalSize(h), 0u);
    EXPECT_EQ(GlobalFree(h), h); // failure gives the handle back
}

TEST_F(GlobalMemory, LockCountsAndLockedReallocation) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 16);
    ASSERT_NE(h, nullptr);
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_LOCKED));
    void* p = GlobalLock(h);
    EXPECT_EQ(GlobalLock(h), p);
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 2u);
    // Locked, a block may grow only when it is allowed to move.
    EXPECT_EQ(GlobalReAlloc(h, 64, 0), nullptr);
    EXPECT_EQ(GlobalSize(h), 16u);
    EXPECT_TRUE(GlobalUnlock(h));
    EXPECT_FALSE(GlobalUnlock(h));
    // Growing with GMEM_ZEROINIT zeroes the new bytes.
    Fill(GlobalLock(h), 16);
    GlobalUnlock(h);
    ASSERT_EQ(GlobalReAlloc(h, 64, GMEM_MOVEABLE | GMEM_ZEROINIT), h);
    auto* q = static_cast<uint8_t*>(GlobalLock(h));
    EXPECT_TRUE(Holds(q, 16));
    for (int i = 16; i < 64; ++i)
        EXPECT_EQ(q[i], 0) << i;
    GlobalUnlock(h);
    // Down to nothing: discarded, no memory to lock, but still a handle.
    ASSERT_EQ(GlobalReAlloc(h, 0, GMEM_MOVEABLE), h);
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_TRUE(GlobalFlags(h) & GMEM_DISCARDED);
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST_F(GlobalMemory, FixedBlocksAreTheirOwnAddress) {
    HGLOBAL h = GlobalAlloc(GPTR, 40);
    ASSERT_NE(h, nullptr);
    auto* p = static_cast<uint8_t*>(h);
    for (int i = 0; i < 40; ++i)
        ASSERT_EQ(p[i], 0);
    EXPECT_EQ(GlobalLock(h), h);
    EXPECT_EQ(GlobalHandle(h), h);
    EXPECT_EQ(GlobalSize(h), 40u);
    Fill(p, 40);
    EXPECT_EQ(GlobalReAlloc(h, 80, 0), nullptr); // cannot grow in place
    EXPECT_EQ(GlobalReAlloc(h, 20, 0), h);       // shrinking stays
    EXPECT_EQ(GlobalSize(h), 20u);
    HGLOBAL moved = GlobalReAlloc(h, 80, GMEM_MOVEABLE);
    ASSERT_NE(moved, nullptr);
    EXPECT_NE(moved, h);
    EXPECT_TRUE(Holds(moved, 20));
    EXPECT_EQ(GlobalSize(h), 0u); // the old address is no block any more
    EXPECT_EQ(GlobalSize(moved), 80u);
    EXPECT_EQ(GlobalFree(moved), nullptr);

    HGLOBAL empty = GlobalAlloc(GMEM_FIXED, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(GlobalSize(empty), 0u);
    EXPECT_EQ(GlobalFree(empty), nullptr);
}

TEST_F(GlobalMemory, FailuresAndBadHandles) {
    qv::testing::FailCall("GlobalAlloc");
    EXPECT_EQ(GlobalAlloc(GHND, 10), nullptr);
    HGLOBAL h = GlobalAlloc(GHND, 10);
    ASSERT_NE(h, nullptr);
    Fill(GlobalLock(h), 10);
    GlobalUnlock(h);
    qv::testing::FailCall("GlobalReAlloc");
    EXPECT_EQ(GlobalReAlloc(h, 100, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalSize(h), 10u); // a failed reallocation leaves the block as it was
    EXPECT_TRUE(Holds(GlobalLock(h), 10));
    GlobalUnlock(h);
    EXPECT_EQ(GlobalAlloc(GHND, SIZE_T(1) << 40), nullptr); // refused, not attempted
    EXPECT_EQ(GlobalReAlloc(h, SIZE_T(1) << 40, GMEM_MOVEABLE), nullptr);
    EXPECT_EQ(GlobalFree(h), nullptr);

    int on_stack = 0;
    HGLOBAL bogus[] = {nullptr, h, &on_stack, reinterpret_cast<HGLOBAL>(uintptr_t(0x90001234))};
    for (HGLOBAL b : bogus) {
        EXPECT_EQ(GlobalLock(b), nullptr);
        EXPECT_FALSE(GlobalUnlock(b));
        EXPECT_EQ(GlobalSize(b), 0u);
        EXPECT_EQ(GlobalReAlloc(b, 10, GMEM_MOVEABLE), nullptr);
        EXPECT_EQ(GlobalFlags(b), UINT(GMEM_INVALID_HANDLE));
        if (b) {
            EXPECT_EQ(GlobalFree(b), b);
        }
    }
    EXPECT_EQ(GlobalHandle(&on_stack), nullptr);
}

} // namespace
