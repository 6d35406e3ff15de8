// Prints the run's figures when the program ends and fails it on any breach.
#include <gtest/gtest.h>
#include "robust_support.h"
#include <cstdio>

namespace {
class FiguresReport : public ::testing::Environment {
  public:
    void TearDown() override {
        const RobustnessFigures& f = Figures();
        std::printf("\n== Robustness figures ==\n"
                    "fault matrix cases:   %d\n"
                    "calls fuzzed:         %lld\n"
                    "invariants checked:   %lld\n"
                    "files fuzzed:         %d\n"
                    "crashes:              %d\n"
                    "leaked references:    %d\n"
                    "longest wait:         %lu ms against a time-out of %lu ms\n"
                    "waits over time-out:  %d\n",
                    f.matrixCases, f.callsFuzzed, f.invariantsChecked, f.filesFuzzed, f.crashes,
                    f.leakedReferences, f.longestWaitMs, f.longestWaitLimitMs, f.waitsOverLimit);
        std::fflush(stdout);
        EXPECT_EQ(f.crashes, 0);
        EXPECT_EQ(f.leakedReferences, 0);
        EXPECT_EQ(f.waitsOverLimit, 0);
    }
};
const auto* const figuresReport = ::testing::AddGlobalTestEnvironment(new FiguresReport);
} // namespace
