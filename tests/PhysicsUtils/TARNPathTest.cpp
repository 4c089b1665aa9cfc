#include <kel/physicsutils/TARNPath.h>

#include <gtest/gtest.h>

#include <string>

#include <kel/physicsutils/PathUtils.h>
#include <kel/physicsutils/TARNParam.h>

namespace kel {
namespace {

TEST(TARNPathTest, ParsesComponentsWithBlanksAndSingletons) {
    TARNPath path("/FLOW:main flow/SOLVER/DOMAIN:d: 1");
    ASSERT_EQ(path.size(), 3u);
    EXPECT_EQ(path.numComponent(), 3u);
    EXPECT_EQ(path.getType(0), "FLOW");
    EXPECT_EQ(path.getName(0), "main flow");
    EXPECT_EQ(path.getType(1), "SOLVER");
    EXPECT_EQ(path.getName(1), "");
    // The name starts after the first ':'.
    EXPECT_EQ(path.getLastType(), "DOMAIN");
    EXPECT_EQ(path.getLastName(), "d: 1");
    EXPECT_EQ(path.getFullPath(), "/FLOW:main flow/SOLVER/DOMAIN:d: 1");
    EXPECT_EQ(path.getTypePath(), "/FLOW/SOLVER/DOMAIN");
}

TEST(TARNPathTest, CanonicalForms) {
    EXPECT_TRUE(TARNPath("").empty());
    EXPECT_TRUE(TARNPath("/").empty());
    EXPECT_EQ(TARNPath("").getFullPath(), "");
    EXPECT_EQ(TARNPath("").getLastType(), "");
    EXPECT_EQ(TARNPath("A:a/B/").getFullPath(), "/A:a/B");
    // A name equal to the type, or empty, is an unnamed component.
    EXPECT_EQ(TARNPath("/A:A/B:").getFullPath(), "/A/B");
    EXPECT_EQ(TARNPath("/A:a/B"), TARNPath("A:a//B"));
    EXPECT_NE(TARNPath("/A:a/B"), TARNPath("/A/B"));
}

TEST(TARNPathTest, SubPathsAndEditing) {
    TARNPath path("/A:a/B:b/A:c/D");
    EXPECT_EQ(path.getSubPathByType("A").getFullPath(), "/A:a/B:b/A:c");
    EXPECT_EQ(path.getSubPathByType("B").getFullPath(), "/A:a/B:b");
    EXPECT_TRUE(path.getSubPathByType("Q").empty());

    path.pop_back();
    path.pop_back();
    EXPECT_EQ(path.getFullPath(), "/A:a/B:b");
    path.push_back("E", "e 1");
    path.push_back("F");
    path.push_back("G", "G");
    EXPECT_EQ(path.getFullPath(), "/A:a/B:b/E:e 1/F/G");
    EXPECT_EQ(path.getTypePath(), "/A/B/E/F/G");

    TARNPath empty;
    empty.pop_back();
    EXPECT_TRUE(empty.empty());
}

TEST(PathUtilsTest, TypeFromNormalisedPath) {
    EXPECT_EQ(PathUtils::typeFromNormalisedPath("/A/B C"), "B C");
    EXPECT_EQ(PathUtils::typeFromNormalisedPath("/A"), "A");
    EXPECT_EQ(PathUtils::typeFromNormalisedPath(""), "");
    EXPECT_EQ(PathUtils::typeFromNormalisedPath("/A:a/B:b"), "B");
}

TEST(TARNParamTest, TypeWordsRoundTrip) {
    for (int i = 0; i <= 8; ++i) {
        auto type = static_cast<TARNParam::Type>(i);
        EXPECT_EQ(TARNParam::typeFromString(TARNParam::typeStringFromType(type)), type);
    }
    EXPECT_EQ(TARNParam::typeFromString("real list"), TARNParam::RealList);
    EXPECT_EQ(TARNParam::typeFromString(" LOGICAL "), TARNParam::Logical);
    EXPECT_EQ(TARNParam::typeFromString("Float"), TARNParam::Unknown);
    EXPECT_EQ(TARNParam::typeStringFromType(TARNParam::Unknown), "Unknown");
    EXPECT_EQ(TARNParam::typeStringFromType(static_cast<TARNParam::Type>(42)), "Unknown");
}

TEST(TARNParamTest, TypePredicates) {
    using P = TARNParam;
    EXPECT_TRUE(P::isListType(P::LogicalList));
    EXPECT_FALSE(P::isListType(P::Unknown));
    EXPECT_TRUE(P::isRealType(P::RealList));
    EXPECT_FALSE(P::isRealType(P::Integer));
    EXPECT_TRUE(P::isIntegerType(P::IntegerList));
    EXPECT_TRUE(P::isLogicalType(P::Logical));
    EXPECT_TRUE(P::isStringType(P::StringList));
    EXPECT_FALSE(P::isStringType(P::Unknown));
}

TEST(TARNParamTest, ValueConversions) {
    EXPECT_EQ(TARNParam::valueAsInt(" 42 "), std::make_pair(42, true));
    EXPECT_EQ(TARNParam::valueAsInt("-7"), std::make_pair(-7, true));
    EXPECT_EQ(TARNParam::valueAsInt("+7"), std::make_pair(7, true));
    EXPECT_FALSE(TARNParam::valueAsInt("4x").second);
    EXPECT_FALSE(TARNParam::valueAsInt("1.5").second);
    EXPECT_FALSE(TARNParam::valueAsInt("").second);
    EXPECT_FALSE(TARNParam::valueAsInt("+-1").second);
    EXPECT_FALSE(TARNParam::valueAsInt("2147483648").second);
    EXPECT_EQ(TARNParam::valueAsInt("-2147483648"), std::make_pair(-2147483647 - 1, true));

    EXPECT_EQ(TARNParam::valueAsBool("Yes"), std::make_pair(true, true));
    EXPECT_EQ(TARNParam::valueAsBool(" off "), std::make_pair(false, true));
    EXPECT_EQ(TARNParam::valueAsBool("maybe"), std::make_pair(false, false));

    std::string number, units;
    auto [value, ok] = TARNParam::valueAsFloat("1.5 [m s^-1]", number, units);
    EXPECT_TRUE(ok);
    EXPECT_FLOAT_EQ(value, 1.5f);
    EXPECT_EQ(units, "m s^-1");
}

}  // namespace
}  // namespace kel
