#include <kel/utilities/StringUtilities.h>

#include <charconv>
#include <cmath>
#include <limits>

#include "TestSupport.h"

namespace kel {
namespace {

using S = StringUtilities;

TEST(StringUtilitiesSplitTest, SplitValueKeepsParenthesisedGroupsAndEmptyItems) {
    EXPECT_THAT(S::splitValue(" a , (b, c) ,, d ", ','), ElementsAre("a", "(b, c)", "", "d"));
    EXPECT_THAT(S::splitValue("f((x,y),z), w", ','), ElementsAre("f((x,y),z)", "w"));
    EXPECT_THAT(S::splitValue("a,", ','), ElementsAre("a", ""));
    EXPECT_THAT(S::splitValue("", ','), IsEmpty());
    EXPECT_THAT(S::splitValue("a;b", ';'), ElementsAre("a", "b"));
    // An unbalanced ')' does not swallow later separators.
    EXPECT_THAT(S::splitValue("a),b", ','), ElementsAre("a)", "b"));
}

TEST(StringUtilitiesSplitTest, SplitValueNoEmptyDropsEmptyItems) {
    EXPECT_THAT(S::splitValueNoEmpty("(a,b),c"), ElementsAre("(a,b)", "c"));
    EXPECT_THAT(S::splitValueNoEmpty(" , x,,\t(y , z) ,\n"), ElementsAre("x", "(y , z)"));
    EXPECT_THAT(S::splitValueNoEmpty("   "), IsEmpty());
    EXPECT_THAT(S::splitValueNoEmpty(""), IsEmpty());
}

TEST(StringUtilitiesSplitTest, VectorAndSetSplitPlainlyAndTrim) {
    EXPECT_THAT(S::stringToVector(" b , a,,(c, d) ", ','), ElementsAre("b", "a", "(c", "d)"));
    EXPECT_THAT(S::stringToSet("b, a ,b,", ','), ElementsAre("a", "b"));
    EXPECT_THAT(S::stringToVector("", ','), IsEmpty());
    EXPECT_THAT(S::stringToVector("x\ny\n", '\n'), ElementsAre("x", "y"));
}

TEST(StringUtilitiesSplitTest, JoinTrimAndWhitespace) {
    EXPECT_EQ(S::vectorToString({"a", "b c", ""}, ','), "a,b c,");
    EXPECT_EQ(S::vectorToString({}, ','), "");
    EXPECT_EQ(S::vectorToString({"x", "y"}, '\n'), "x\ny");
    EXPECT_EQ(S::trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(S::trim(" \t "), "");
    EXPECT_EQ(S::removeWhitespace(" a b\tc\r\nd "), "abcd");
}

TEST(StringUtilitiesLogicalTest, RecognisesLogicalWordsInAnyCase) {
    for (const char* word : {"true", "TRUE", "Yes", "on", "T", "y", "1", " True "}) {
        bool logical = false;
        EXPECT_TRUE(S::isTrue(word, &logical)) << word;
        EXPECT_TRUE(logical) << word;
        EXPECT_TRUE(S::stringToBool(word)) << word;
    }
    for (const char* word : {"false", "No", "OFF", "f", "N", "0"}) {
        bool logical = false;
        EXPECT_FALSE(S::isTrue(word, &logical)) << word;
        EXPECT_TRUE(logical) << word;
        EXPECT_FALSE(S::stringToBool(word)) << word;
    }
    for (const char* word : {"", "maybe", "2", "truee", "yess", "o"}) {
        bool logical = true;
        EXPECT_FALSE(S::isTrue(word, &logical)) << word;
        EXPECT_FALSE(logical) << word;
        EXPECT_FALSE(S::stringToBool(word)) << word;
    }
    EXPECT_TRUE(S::isTrue("yes"));  // the flag pointer is optional
}

TEST(StringUtilitiesNumberTest, ValueAsFloatSeparatesUnits) {
    std::string number, units;
    EXPECT_EQ(S::valueAsFloat("1.5 [m s^-1]", number, units), std::make_pair(1.5f, true));
    EXPECT_EQ(number, "1.5");
    EXPECT_EQ(units, "m s^-1");

    EXPECT_EQ(S::valueAsFloat("  -2e3  ", number, units), std::make_pair(-2000.0f, true));
    EXPECT_EQ(number, "-2e3");
    EXPECT_EQ(units, "");

    EXPECT_EQ(S::valueAsFloat("+.25[K]", number, units), std::make_pair(0.25f, true));
    EXPECT_EQ(number, "+.25");
    EXPECT_EQ(units, "K");

    EXPECT_EQ(S::valueAsFloat("0 [ ]", number, units), std::make_pair(0.0f, true));
    EXPECT_EQ(units, "");
}

TEST(StringUtilitiesNumberTest, ValueAsFloatRejectsBadText) {
    for (const char* text :
         {"", "  ", "abc", "1.5x", "1.5 m", "1.5 [m] x", "1.5 [m", "[m]", "1 2", "+-1", "++1",
          "1e99", "1.5 [a]b]", "1,5", "nan", "NaN [K]", "inf", "-infinity", "1e39"}) {
        std::string number = "stale", units = "stale";
        EXPECT_EQ(S::valueAsFloat(text, number, units), std::make_pair(0.0f, false)) << text;
        EXPECT_EQ(number, "") << text;
        EXPECT_EQ(units, "") << text;
    }
}

TEST(StringUtilitiesNumberTest, ValueAsDoubleIsExactToTwoToThe53AndFiniteOnly) {
    std::string number, units;
    EXPECT_EQ(S::valueAsDouble("16777217 [m]", number, units), std::make_pair(16777217.0, true));
    EXPECT_EQ(units, "m");
    EXPECT_EQ(S::valueAsDouble("9007199254740992", number, units),
              std::make_pair(9007199254740992.0, true));
    EXPECT_EQ(S::valueAsDouble("0.10000000001", number, units).first, 0.10000000001);
    EXPECT_EQ(S::valueAsDouble("1e39", number, units), std::make_pair(1e39, true));
    for (const char* text : {"nan", "-nan", "inf", "+inf", "1e400", "-1e400", "x"})
        EXPECT_EQ(S::valueAsDouble(text, number, units), std::make_pair(0.0, false)) << text;
}

float readBack(const std::string& text) {
    float value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_EQ(result.ptr, text.data() + text.size()) << text;
    return value;
}

TEST(StringUtilitiesNumberTest, FloatTextIsShortestAndRoundTrips) {
    EXPECT_EQ(S::floatAndUnitsToString(0.1f, ""), "0.1");
    EXPECT_EQ(S::floatAndUnitsToString(1e-7f, ""), "1e-07");
    EXPECT_EQ(S::floatAndUnitsToString(3.4e38f, ""), "3.4e+38");
    EXPECT_EQ(S::floatAndUnitsToString(1.5f, "m s^-1"), "1.5 [m s^-1]");
    EXPECT_EQ(S::floatAndUnitsToString(-2.0f, "K"), "-2 [K]");
    EXPECT_EQ(S::floatAndUnitsToString(0.0f, ""), "0");

    for (float value : {0.1f, 1e-7f, 3.4e38f, 1.0f / 3.0f, 123456.789f, -0.3f, 16777217.0f,
                        std::numeric_limits<float>::min(), std::numeric_limits<float>::max(),
                        std::numeric_limits<float>::denorm_min()}) {
        const std::string text = S::floatAndUnitsToString(value, "");
        EXPECT_EQ(readBack(text), value) << text;
        // Through valueAsFloat as well, with units attached.
        std::string number, units;
        const auto parsed = S::valueAsFloat(S::floatAndUnitsToString(value, "Pa"), number, units);
        EXPECT_TRUE(parsed.second) << text;
        EXPECT_EQ(parsed.first, value) << text;
        EXPECT_EQ(units, "Pa");
    }
}

TEST(StringUtilitiesMiscTest, SplitsObjectTypeAndNameAtFirstColon) {
    EXPECT_EQ(S::splitObjectTypeAndName("CHECK:a"),
              std::make_pair(std::string("CHECK"), std::string("a")));
    EXPECT_EQ(S::splitObjectTypeAndName("LIST:a:b"),
              std::make_pair(std::string("LIST"), std::string("a:b")));
    EXPECT_EQ(S::splitObjectTypeAndName("FLOW"),
              std::make_pair(std::string("FLOW"), std::string()));
    EXPECT_EQ(S::splitObjectTypeAndName(":x"), std::make_pair(std::string(), std::string("x")));
    EXPECT_EQ(S::toString(-42), "-42");
}

}  // namespace
}  // namespace kel
