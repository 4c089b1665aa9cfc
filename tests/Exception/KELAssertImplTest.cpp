#include <kel/exception/KELAssertImpl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kel {
namespace {

struct Failure {
    std::string condition;
    std::string file;
    int line;
};

TEST(KELAssertImplTest, HandlerCapturesFailuresAndExecutionContinues) {
    std::vector<Failure> failures;
    auto previous = KELAssertImpl::setHandler([&](const char* c, const char* f, int l) {
        failures.push_back({c, f, l});
    });
    EXPECT_FALSE(previous);  // default handler is the empty one

    int reached = 0;
    KEL_ASSERT_AT(1 + 1 == 3, "src/PhysicsData/src/Example.cpp", 42);
    ++reached;
    KEL_ASSERT(reached == 1);  // holds: not reported
    const int line = __LINE__ + 1;
    KEL_ASSERT(reached == 2);
    ++reached;

    EXPECT_EQ(reached, 2);
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].condition, "1 + 1 == 3");
    EXPECT_EQ(failures[0].file, "src/PhysicsData/src/Example.cpp");
    EXPECT_EQ(failures[0].line, 42);
    EXPECT_EQ(failures[1].condition, "reached == 2");
    EXPECT_THAT(failures[1].file, ::testing::EndsWith("KELAssertImplTest.cpp"));
    EXPECT_EQ(failures[1].line, line);

    // Restoring the default writes one line to standard error instead, and in sanitizer
    // and fuzz builds stops the process there.
    EXPECT_TRUE(KELAssertImpl::setHandler({}));
    if (KELAssertImpl::abortsOnFailure()) {
        EXPECT_DEATH(KELAssertImpl::assertFail("x > 0", "File.cpp", 7), "x > 0 \\(File.cpp:7\\)");
        return;
    }
    testing::internal::CaptureStderr();
    KELAssertImpl::assertFail("x > 0", "File.cpp", 7);
    const std::string out = testing::internal::GetCapturedStderr();
    EXPECT_THAT(out, ::testing::HasSubstr("x > 0"));
    EXPECT_THAT(out, ::testing::HasSubstr("File.cpp:7"));
    EXPECT_EQ(out.find('\n'), out.size() - 1);
    EXPECT_EQ(failures.size(), 2u);
}

}  // namespace
}  // namespace kel
