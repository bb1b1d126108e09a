// A snapshot session lets the demo draw exactly the frames asked for, one
// included: the loop takes one message a frame, so Escape has to be waiting
// when the last frame pumps, and for a single frame that is before the
// window has presented anything.
#include <gtest/gtest.h>

#include "demo.h"
#include "../../tools/snapshot/snapshot_session.h"

namespace {

class SnapshotFrames : public ::testing::TestWithParam<int> {};

TEST_P(SnapshotFrames, DrawsExactlyTheFramesAskedFor) {
    snapshot::Session session;
    session.frames = GetParam();
    snapshot::Outcome outcome = snapshot::Run(session, RunIsometricDemo);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.presented, GetParam());
    EXPECT_TRUE(outcome.captured);
}

INSTANTIATE_TEST_SUITE_P(Counts, SnapshotFrames, ::testing::Values(1, 2, 5));

} // namespace
