#include <kel/exception/KELAssertImpl.h>
#include <kel/exception/PhysicsException.h>

#include "TestSupport.h"

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
    EXPECT_THAT(failures[1].file, ::testing::EndsWith("ExceptionTest.cpp"));
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

// PhysicsException: a std::exception with its message, place and object path.
TEST(PhysicsExceptionTest, CarriesItsMessagePlaceAndObjectPath) {
    const std::string message = "ObjDependDef::verifyParamAvail - bad \"key\"\nsecond line";
    const PhysicsException plain(message);
    EXPECT_EQ(test::errorOf([&] { throw plain; }), message);  // caught as a std::exception
    EXPECT_EQ(plain.message(), message);
    EXPECT_TRUE(plain.location().empty());
    EXPECT_EQ(plain.objectPath(), "");

    PhysicsException placed("X::op - bad", SourceLocation("rules.tarn", 12, 5));
    placed.setObjectPath("/RULES/OBJECT:A");
    const PhysicsException copy = placed;
    EXPECT_STREQ(copy.what(), "X::op - bad");
    EXPECT_EQ(test::placeOf<PhysicsException>([&] { throw copy; }),
              "rules.tarn:12:5 /RULES/OBJECT:A");

    EXPECT_EQ(SourceLocation("f", 3).toString(), "f:3");
    EXPECT_EQ(SourceLocation().toString(), "");
    EXPECT_NE(SourceLocation("f", 3, 1), SourceLocation("f", 3, 2));
}

}  // namespace
}  // namespace kel
