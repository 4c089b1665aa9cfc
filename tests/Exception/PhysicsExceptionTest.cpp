#include <kel/exception/PhysicsException.h>

#include <gtest/gtest.h>

#include <stdexcept>

namespace kel {
namespace {

TEST(PhysicsExceptionTest, CaughtAsStdExceptionWithItsMessage) {
    const std::string message = "ObjDependDef::verifyParamAvail - bad \"key\"\nsecond line";
    try {
        throw PhysicsException(message);
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()), message);
        const auto* physics = dynamic_cast<const PhysicsException*>(&e);
        ASSERT_NE(physics, nullptr);
        const PhysicsException copy = *physics;  // copies keep the message
        EXPECT_EQ(copy.message(), message);
        EXPECT_STREQ(copy.what(), message.c_str());
    }
}

}  // namespace
}  // namespace kel
