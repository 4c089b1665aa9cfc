#include <kel/physicsdata/dependency/BoundsData.h>

#include <set>
#include <string>

#include <gtest/gtest.h>

#include <kel/exception/PhysicsException.h>

#include "TestSupport.h"

namespace kel {
namespace {

using Sides = std::pair<std::string, std::string>;

std::string messageOf(BoundsData::Type type, const Sides& sides) {
    return test::errorOf<PhysicsException>([&] { BoundsData("Pressure", type, sides); });
}

TEST(BoundsDataTest, NothingGivenIsUndefinedForEveryKind) {
    EXPECT_TRUE(BoundsData().undefined());
    EXPECT_TRUE(BoundsData().value().first.empty());
    for (auto type : {BoundsData::Undefined, BoundsData::Integer, BoundsData::Real}) {
        BoundsData bounds("p", type, {"", ""});
        EXPECT_TRUE(bounds.undefined());
        EXPECT_EQ(bounds.value(), Sides("", ""));
        EXPECT_EQ(bounds.defined(), std::make_pair(false, false));
    }
    // An undefined kind stays undefined even when sides are given.
    EXPECT_TRUE(BoundsData("p", BoundsData::Undefined, {"1", "2"}).undefined());
}

TEST(BoundsDataTest, IntegerSidesTakeTheOpenLimitsWhenNotGiven) {
    BoundsData lowerOnly("p", BoundsData::Integer, {"5", ""});
    EXPECT_FALSE(lowerOnly.undefined());
    EXPECT_EQ(lowerOnly.value(), Sides("5", "2147483647"));
    EXPECT_EQ(lowerOnly.defined(), std::make_pair(true, false));

    BoundsData upperOnly("p", BoundsData::Integer, {"", " -3 "});
    EXPECT_EQ(upperOnly.value(), Sides("-2147483648", "-3"));
    EXPECT_EQ(upperOnly.defined(), std::make_pair(false, true));

    EXPECT_EQ(BoundsData("p", BoundsData::Integer, {"3", "3"}).value(), Sides("3", "3"));
}

TEST(BoundsDataTest, RealSidesKeepUnitsAndUseTheOpenFloatValues) {
    BoundsData upperOnly("p", BoundsData::Real, {"", "-1"});
    EXPECT_EQ(upperOnly.value(), Sides("-4.2535293e+37", "-1"));
    EXPECT_EQ(upperOnly.defined(), std::make_pair(false, true));

    BoundsData lowerOnly("p", BoundsData::Real, {"0.5 [Pa]", ""});
    EXPECT_EQ(lowerOnly.value(), Sides("0.5 [Pa]", "4.2535293e+37"));

    // Different units are not compared, so lower 1 above upper 0 is accepted.
    BoundsData mixed("p", BoundsData::Real, {"1 [bar]", "0 [Pa]"});
    EXPECT_EQ(mixed.value(), Sides("1 [bar]", "0 [Pa]"));
}

TEST(BoundsDataTest, ErrorsNameTheParameter) {
    const std::string order = "Lower bound > upper bound in \"PARAMETER VALUES\" object Pressure";
    const std::string badInt = "Invalid integer bound in \"PARAMETER VALUE\" data for Pressure";
    const struct {
        BoundsData::Type type;
        Sides sides;
        std::string message;
    } cases[] = {
        {BoundsData::Integer, {"7", "3"}, order},
        {BoundsData::Integer, {"seven", ""}, badInt},
        {BoundsData::Integer, {"", "1.5"}, badInt},
        {BoundsData::Integer, {"", "4294967296"}, badInt},
        {BoundsData::Real, {"1", "0"}, order},
        {BoundsData::Real, {"1 [K]", "0 [K]"}, order},
        {BoundsData::Real,
         {"abc", ""},
         "Invalid float bound in \"PARAMETER VALUE\" data for Pressure"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(messageOf(c.type, c.sides), c.message) << c.sides.first << "," << c.sides.second;
}

TEST(BoundsDataTest, ComparisonUsesOnlyTheNormalisedText) {
    BoundsData asInteger("p", BoundsData::Integer, {"1", "2"});
    BoundsData asReal("p", BoundsData::Real, {"1", "2"});
    EXPECT_EQ(asInteger, asReal);
    EXPECT_FALSE(asInteger != asReal);

    BoundsData higherUpper("p", BoundsData::Integer, {"1", "3"});
    BoundsData higherLower("p", BoundsData::Integer, {"2", "2"});
    EXPECT_TRUE(asInteger < higherUpper);
    EXPECT_TRUE(higherUpper < higherLower);
    EXPECT_FALSE(higherLower < asInteger);

    std::set<BoundsData> distinct{asInteger, asReal, higherUpper};
    EXPECT_EQ(distinct.size(), 2u);
}

}  // namespace
}  // namespace kel
