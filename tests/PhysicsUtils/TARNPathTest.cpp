#include <kel/physicsutils/TARNPath.h>

#include <kel/physicsutils/PathUtils.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNParam.h>

#include "TestSupport.h"

namespace kel {
namespace {

// "type:name" of every component, then the full and the type path.
std::string describe(const TARNPath& path) {
    std::string text;
    for (std::size_t i = 0; i < path.size(); ++i)
        text += path.getType(i) + ":" + path.getName(i) + " ";
    return text + path.getFullPath() + " " + path.getTypePath();
}

TEST(TARNPathTest, ParsesComponentsWithBlanksAndSingletons) {
    // The name starts after the first ':'.
    TARNPath path("/FLOW:main flow/SOLVER/DOMAIN:d: 1");
    EXPECT_EQ(path.numComponent(), 3u);
    EXPECT_EQ(describe(path),
              "FLOW:main flow SOLVER: DOMAIN:d: 1 "
              "/FLOW:main flow/SOLVER/DOMAIN:d: 1 /FLOW/SOLVER/DOMAIN");
    EXPECT_EQ(path.getLastType() + "|" + path.getLastName(), "DOMAIN|d: 1");
}

TEST(TARNPathTest, CanonicalForms) {
    EXPECT_TRUE(TARNPath("").empty());
    EXPECT_TRUE(TARNPath("/").empty());
    EXPECT_EQ(TARNPath("").getFullPath() + TARNPath("").getLastType(), "");
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
    EXPECT_EQ(path.getFullPath() + " " + path.getTypePath(), "/A:a/B:b/E:e 1/F/G /A/B/E/F/G");

    TARNPath empty;
    empty.pop_back();
    EXPECT_TRUE(empty.empty());
}

// A context made in place of another, deeper or shallower one, or of itself, is the one the
// constructor makes.
TEST(TARNPathTest, ContextsMadeAgainInPlace) {
    const TARNContext parent("/A:a/B:b");
    TARNContext reused("/X:x/Y:y/Z:z/W");
    for (const auto& [type, name] : {std::pair{"C", "c 1"}, {"D", "D"}, {"E", ""}}) {
        reused.assignChild(parent, type, name);
        const TARNContext made(parent, type, name);
        EXPECT_EQ(reused.getPath(), made.getPath());
        EXPECT_EQ(reused.getFullPath() + " " + reused.getTypePath(),
                  made.getFullPath() + " " + made.getTypePath());
    }
    EXPECT_EQ(reused.getFullPath(), "/A:a/B:b/E");
    TARNContext self("/A:a");
    self.assignChild(self, "B", "b");
    EXPECT_EQ(self.getFullPath() + " " + self.getTypePath(), "/A:a/B:b /A/B");
    TARNContext shallow("/Q");
    shallow.assignChild(TARNContext("/A:a/B:b/C:c"), "D", "d");
    EXPECT_EQ(describe(shallow.getPath()), "A:a B:b C:c D:d /A:a/B:b/C:c/D:d /A/B/C/D");
}

TEST(PathUtilsTest, TypeFromNormalisedPath) {
    EXPECT_EQ(PathUtils::typeFromNormalisedPath("/A/B C") + PathUtils::typeFromNormalisedPath(""),
              "B C");
    EXPECT_EQ(PathUtils::typeFromNormalisedPath("/A"), "A");
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
    EXPECT_TRUE(P::isListType(P::LogicalList) && P::isRealType(P::RealList) &&
                P::isIntegerType(P::IntegerList) && P::isLogicalType(P::Logical) &&
                P::isStringType(P::StringList));
    EXPECT_FALSE(P::isListType(P::Unknown) || P::isRealType(P::Integer) ||
                 P::isStringType(P::Unknown));
}

TEST(TARNParamTest, ValueConversions) {
    EXPECT_EQ(TARNParam::valueAsInt(" 42 "), std::make_pair(42, true));
    EXPECT_EQ(TARNParam::valueAsInt("-7"), std::make_pair(-7, true));
    EXPECT_EQ(TARNParam::valueAsInt("+7"), std::make_pair(7, true));
    EXPECT_EQ(TARNParam::valueAsInt("-2147483648"), std::make_pair(-2147483647 - 1, true));
    for (const char* bad : {"4x", "1.5", "", "+-1", "2147483648"})
        EXPECT_FALSE(TARNParam::valueAsInt(bad).second) << bad;
    EXPECT_EQ(TARNParam::valueAsBool("Yes"), std::make_pair(true, true));
    EXPECT_EQ(TARNParam::valueAsBool(" off "), std::make_pair(false, true));
    EXPECT_EQ(TARNParam::valueAsBool("maybe"), std::make_pair(false, false));

    std::string number, units;
    EXPECT_EQ(TARNParam::valueAsFloat("1.5 [m s^-1]", number, units), std::make_pair(1.5f, true));
    EXPECT_EQ(units, "m s^-1");
}

}  // namespace
}  // namespace kel
