#include <kel/utilities/OperationTimer.h>

#include <cstdlib>

#include "TestSupport.h"

namespace kel {
namespace {

using ::testing::ContainsRegex;
using ::testing::Not;

TEST(OperationTimerTest, PrintsSectionsOnlyWhenTimingIsRequested) {
    ::unsetenv("KEL_PHYSICS_TIMING");
    testing::internal::CaptureStderr();
    {
        OperationTimer timer("quiet");
        timer.enterSection("phase");
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    ::setenv("KEL_PHYSICS_TIMING", "", 1);  // existing, even when empty, enables it
    testing::internal::CaptureStderr();
    {
        OperationTimer timer("load");
        timer.enterSection("read");
        timer.enterSection("build");
    }
    const std::string out = testing::internal::GetCapturedStderr();
    ::unsetenv("KEL_PHYSICS_TIMING");
    EXPECT_THAT(out, ContainsRegex("load: read: [0-9.]+ ms\nload: build: [0-9.]+ ms\n"
                                   "load: total: [0-9.]+ ms\n"));
    EXPECT_THAT(out, Not(HasSubstr("quiet")));
}

}  // namespace
}  // namespace kel
