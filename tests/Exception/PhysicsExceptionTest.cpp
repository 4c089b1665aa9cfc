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

TEST(PhysicsExceptionTest, CarriesLocationAndObjectPathBesideTheMessage) {
    const PhysicsException plain("X::op - bad");
    EXPECT_TRUE(plain.location().empty());
    EXPECT_EQ(plain.objectPath(), "");

    try {
        try {
            throw PhysicsException("X::op - bad", SourceLocation("rules.tarn", 12, 5));
        } catch (PhysicsException& e) {
            e.setObjectPath("/RULES/OBJECT:A");
            throw;
        }
    } catch (const PhysicsException& e) {
        EXPECT_STREQ(e.what(), "X::op - bad");
        EXPECT_EQ(e.location().toString(), "rules.tarn:12:5");
        EXPECT_EQ(e.objectPath(), "/RULES/OBJECT:A");
    }

    EXPECT_EQ(SourceLocation("f", 3).toString(), "f:3");
    EXPECT_EQ(SourceLocation().toString(), "");
    EXPECT_NE(SourceLocation("f", 3, 1), SourceLocation("f", 3, 2));
}

}  // namespace
}  // namespace kel
