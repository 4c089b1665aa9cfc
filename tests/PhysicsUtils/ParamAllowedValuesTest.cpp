#include <kel/physicsutils/ParamAllowedValues.h>

#include "TestSupport.h"

using namespace kel;

TEST(ParamAllowedValuesTest, UnrestrictedAllowsEverything) {
    const ParamAllowedValues any;
    EXPECT_FALSE(any.isRestricted());
    EXPECT_EQ(any.getFirstValue(), "");
    for (bool againstAll : {true, false}) {
        EXPECT_TRUE(any.isAllowed("anything", againstAll));
        EXPECT_EQ(any.firstFilteredValue(" b , a", againstAll), "b");
        EXPECT_EQ(any.filterValues("b, ,a ,c", againstAll), "b,a,c");
    }
}

TEST(ParamAllowedValuesTest, RestrictedWithoutSubset) {
    const ParamAllowedValues values({"Low", "High", "Medium"});
    EXPECT_EQ(values.getFirstValue(), "Low");
    for (bool againstAll : {true, false}) {
        EXPECT_TRUE(values.isAllowed("High", againstAll));
        EXPECT_FALSE(values.isAllowed("high", againstAll));
        EXPECT_EQ(values.firstFilteredValue("Off, Medium, Low", againstAll), "Medium");
        EXPECT_EQ(values.filterValues("Medium,Off, Low", againstAll), "Medium,Low");
        EXPECT_EQ(values.filterValues("Off", againstAll), "");
    }

    const ParamAllowedValues none{std::vector<std::string>()};
    EXPECT_TRUE(none.isRestricted());
    EXPECT_FALSE(none.isAllowed("x", true));
    EXPECT_EQ(none.getFirstValue(), "");
}

TEST(ParamAllowedValuesTest, SubsetIsLimitedToValuesAndSelectedByFlag) {
    const ParamAllowedValues values(Strings{"A", "B", "C"}, Strings{"C", "X", "A"});
    EXPECT_THAT(values.getSubset(), ElementsAre("C", "A"));
    EXPECT_EQ(values.getFirstValue(), "A");

    EXPECT_TRUE(values.isAllowed("B", true));
    EXPECT_FALSE(values.isAllowed("B", false));
    EXPECT_EQ(values.filterValues("B,C,X", true), "B,C");
    EXPECT_EQ(values.filterValues("B,C,X", false), "C");
    EXPECT_EQ(values.firstFilteredValue("B,C", true), "B");
    EXPECT_EQ(values.firstFilteredValue("B,C", false), "C");

    // A subset with nothing left behaves as no subset.
    const ParamAllowedValues emptied(Strings{"A", "B"}, Strings{"X"});
    EXPECT_FALSE(emptied.hasSubset());
    EXPECT_TRUE(emptied.isAllowed("B", false));
}

TEST(ParamAllowedValuesTest, RulesStringsLimitValuesAndSubset) {
    const std::set<std::string> rules{"A", "C", "D"};
    const ParamAllowedValues values({"B", "C", "A"}, rules);
    EXPECT_THAT(values.getValues(), ElementsAre("C", "A"));
    EXPECT_EQ(values.getFirstValue(), "C");
    EXPECT_FALSE(values.isAllowed("B", true));

    const ParamAllowedValues withSubset({"B", "C", "A"}, {"B", "A"}, rules);
    EXPECT_THAT(withSubset.getSubset(), ElementsAre("A"));
    EXPECT_EQ(withSubset.filterValues("A,B,C", false), "A");
    EXPECT_EQ(withSubset.filterValues("A,B,C", true), "A,C");

    // An empty RULES set does not restrict the given values.
    const ParamAllowedValues unlimited({"B", "A"}, std::set<std::string>());
    EXPECT_THAT(unlimited.getValues(), ElementsAre("B", "A"));

    // Value type: copies compare equal.
    const ParamAllowedValues copy = withSubset;
    EXPECT_EQ(copy, withSubset);
    EXPECT_FALSE(copy == values);
}
