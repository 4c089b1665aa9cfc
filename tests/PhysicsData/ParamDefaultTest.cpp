#include <kel/physicsdata/dependency/ParamDefault.h>
#include <kel/physicsdata/dependency/ParamValueOverride.h>

#include <memory>
#include <stdexcept>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <kel/exception/PhysicsException.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/ParamAllowedValues.h>
#include <kel/physicsutils/TARNContext.h>

#include "BoundaryModelFixture.h"
#include "TestSupport.h"

namespace kel {
namespace {

using ::testing::ElementsAre;

// BOUNDARY's context rule selects per-option RULES defaults for Regime (they differ) and
// for Scheme (they agree); Iterations and Names have global defaults.
const std::string kRules = test::tarn(R"(
RULES:
  SINGLETON: ROOT { Optional Child List = FLOW }
  PARAMETER: Names { Parameter Type = String List; Default = a, b }
  PARAMETER: Iterations { Parameter Type = Integer; Default = 100 }
  PARAMETER: Label { Parameter Type = String }
  PARAMETER: Regime { Parameter Type = String }
  PARAMETER: Scheme { Parameter Type = String }
  PARAMETER: Kind { Parameter Type = String }
  SINGLETON: FLOW { Optional Child List = BOUNDARY
    Optional Parameter List = Label, Names, Iterations }
  OBJECT: BOUNDARY
    Context Rule = Kind
    Allowed Option List = Inlet, Outlet, Wall
    Optional Parameter List = Label
    CONTEXT: Inlet
      Optional Parameter List = Regime, Scheme
      PARAMETER: Regime { Default = Subsonic }
      PARAMETER: Scheme { Default = Upwind }
    END
    CONTEXT: Outlet
      Optional Parameter List = Regime, Scheme
      PARAMETER: Regime { Default = Supersonic }
      PARAMETER: Scheme { Default = Upwind }
    END
    CONTEXT: Wall
      Optional Parameter List = Scheme
      PARAMETER: Scheme { Default = Upwind }
    END
  END
END
)");

class ParamDefaultTest : public testing::BoundaryModelFixture {
protected:
    ParamDefaultTest() : BoundaryModelFixture(kRules) {}

    // Made from keys written "Key = value; ...".
    std::unique_ptr<ParamDefault> makeDefault(const std::string& name, const std::string& type,
                                              const char* keys) {
        return std::make_unique<ParamDefault>(name, type, test::params(keys), &m_rules, &m_source);
    }
    std::unique_ptr<ParamValueOverride> makeOverride(const std::string& name,
                                                     const std::string& type, const char* keys) {
        return std::make_unique<ParamValueOverride>(name, type, test::params(keys), &m_rules,
                                                    &m_source);
    }
    std::string eval(const ParamDefault& def, const std::string& path, const std::string& name) {
        return def.evaluate(&m_rules, TARNContext(path), &m_eval, name);
    }
    std::string eval(const ParamDefault& def, const std::string& path, const std::string& name,
                     const ParamAllowedValues& allowed) {
        return def.evaluate(&m_rules, TARNContext(path), &m_eval, name, allowed);
    }
};

TEST_F(ParamDefaultTest, NoDefaultFallsBackToFirstAllowedValueUnlessBlankAsked) {
    auto def = makeDefault("Label", "FLOW", "");
    EXPECT_FALSE(def->isDefined());
    EXPECT_FALSE(def->isFixed());
    EXPECT_EQ(def->getFixedValue(), "");
    EXPECT_TRUE(def->getCheckedValues().empty());
    EXPECT_EQ(eval(*def, "/FLOW", "Label"), "");
    ParamAllowedValues allowed({"x", "y"});
    EXPECT_EQ(eval(*def, "/FLOW", "Label", allowed), "x");

    auto blank = makeDefault("Label", "FLOW", "Fallback To Blank Default = yes");
    EXPECT_EQ(eval(*blank, "/FLOW", "Label", allowed), "");
    auto notBlank = makeDefault("Label", "FLOW", "Fallback To Blank Default = no");
    EXPECT_EQ(eval(*notBlank, "/FLOW", "Label", allowed), "x");
}

TEST_F(ParamDefaultTest, WrittenOrRulesDefaultIsFixed) {
    auto written = makeDefault("Label", "FLOW", "Default Value = hello");
    EXPECT_TRUE(written->isDefined());
    EXPECT_TRUE(written->isFixed());
    EXPECT_EQ(written->getFixedValue(), "hello");
    EXPECT_EQ(eval(*written, "/FLOW", "Label"), "hello");

    auto fromRules = makeDefault("Iterations", "FLOW", "");
    EXPECT_TRUE(fromRules->isFixed());
    EXPECT_EQ(eval(*fromRules, "/FLOW", "Iterations"), "100");
    // Options that agree give a plain fixed default.
    auto agreed = makeDefault("Scheme", "BOUNDARY", "");
    EXPECT_EQ(agreed->getFixedValue(), "Upwind");
}

TEST_F(ParamDefaultTest, CheckedCandidatesWinInOrderBeforeTheWrittenDefault) {
    m_source.addCheck("no", false);
    m_source.addCheck("yes", true);
    m_source.addCheck("also", true);
    auto def = makeDefault("Label", "FLOW",
                           "Default Value = plain; Default Value Check List = first, no, second, "
                           "(yes, also), third, yes");
    EXPECT_FALSE(def->isFixed());
    EXPECT_EQ(eval(*def, "/FLOW", "Label"), "second");
    EXPECT_THAT(def->getAllFixedValues(), ElementsAre("first", "second", "third", "plain"));
    EXPECT_THAT(def->getReferencedCheckNames(), ElementsAre("also", "no", "yes"));
    ASSERT_EQ(def->getCheckedValues().size(), 4u);
    EXPECT_THAT(def->getCheckedValues()[1].checks, ElementsAre("yes", "also"));

    auto onlyFailing =
        makeDefault("Label", "FLOW", "Default Value = plain; Default Value Check List = first, no");
    EXPECT_EQ(eval(*onlyFailing, "/FLOW", "Label"), "plain");
}

TEST_F(ParamDefaultTest, ContextRuleDefaultFollowsTheObjectsOption) {
    auto def = makeDefault("Regime", "BOUNDARY", "");
    EXPECT_TRUE(def->isDefined());
    EXPECT_FALSE(def->isFixed());
    EXPECT_EQ(eval(*def, "/FLOW/BOUNDARY:in", "Regime"), "Subsonic");
    EXPECT_EQ(eval(*def, "/FLOW/BOUNDARY:out", "Regime"), "Supersonic");
    EXPECT_EQ(eval(*def, "/FLOW/BOUNDARY:wall", "Regime"), "");
    EXPECT_EQ(eval(*def, "/FLOW/BOUNDARY:bare", "Regime"), "");
    EXPECT_THROW(def->evaluate(&m_rules, TARNContext("/FLOW/BOUNDARY:in"), nullptr, "Regime"),
                 std::invalid_argument);
    // With allowed values the option's default is filtered like any other.
    EXPECT_EQ(eval(*def, "/FLOW/BOUNDARY:out", "Regime", ParamAllowedValues({"Subsonic"})),
              "Subsonic");

    // A check list whose candidates do not apply falls back to the option's default.
    m_source.addCheck("no", false);
    auto checked = makeDefault("Regime", "BOUNDARY", "Default Value Check List = Hyper, no");
    EXPECT_EQ(eval(*checked, "/FLOW/BOUNDARY:in", "Regime"), "Subsonic");
    EXPECT_THAT(checked->getAllFixedValues(), ElementsAre("Hyper"));
}

TEST_F(ParamDefaultTest, SeveralValuesAreReducedForSingleValuedParameters) {
    m_source.addCheck("yes", true);
    m_source.addList("two", {"first one", "second"});
    m_source.addList("grouped", {"(a,b)", "c"});
    m_source.addFunction("fn", "from function");
    const char* fromList = "Default Value Check List = *two, yes";

    auto single = makeDefault("Label", "FLOW", fromList);
    EXPECT_EQ(eval(*single, "/FLOW", "Label"), "firstone");
    EXPECT_THAT(single->getReferencedListNames(), ElementsAre("two"));
    auto list = makeDefault("Names", "FLOW", fromList);
    EXPECT_EQ(eval(*list, "/FLOW", "Names"), "first one,second");
    auto grouped = makeDefault("Label", "FLOW", "Default Value Check List = *grouped, yes");
    EXPECT_EQ(eval(*grouped, "/FLOW", "Label"), "(a,b)");

    auto function = makeDefault("Label", "FLOW", "Default Value Check List = *fn, ()");
    EXPECT_EQ(eval(*function, "/FLOW", "Label"), "from function");
    EXPECT_TRUE(function->getReferencedListNames().empty());
}

TEST_F(ParamDefaultTest, AllowedValuesFilterTheDefault) {
    ParamAllowedValues allowed({"b", "c"});
    // List type: the RULES default "a, b" keeps only its allowed items.
    auto list = makeDefault("Names", "FLOW", "");
    EXPECT_EQ(eval(*list, "/FLOW", "Names", allowed), "b");
    // Single value: a default that is not allowed gives way to the first allowed value.
    auto single = makeDefault("Label", "FLOW", "Default Value = z");
    EXPECT_EQ(eval(*single, "/FLOW", "Label", allowed), "b");
    auto blank =
        makeDefault("Label", "FLOW", "Default Value = z; Fallback To Blank Default = true");
    EXPECT_EQ(eval(*blank, "/FLOW", "Label", allowed), "");
}

TEST_F(ParamDefaultTest, CheckListErrorsAndUnknownNamesPropagate) {
    EXPECT_THROW(makeDefault("Label", "FLOW", "Default Value Check List = a, b, c"),
                 PhysicsException);
    EXPECT_THROW(makeDefault("Label", "FLOW", "Default Value Check List = a, missing"),
                 std::runtime_error);
    EXPECT_THROW(makeOverride("Label", "FLOW", "Value Override Check List = a, (b"),
                 PhysicsException);
}

TEST_F(ParamDefaultTest, OverrideAppliesOnlyWithASurvivingValue) {
    auto none = makeOverride("Label", "FLOW", "");
    EXPECT_FALSE(none->isDefined());
    EXPECT_EQ(none->evaluate(&m_rules, TARNContext("/FLOW"), &m_eval, "Label"),
              std::make_pair(false, std::string()));

    m_source.addCheck("no", false);
    m_source.addCheck("yes", true);
    m_source.addList("vals", {"p", "q"});
    auto over = makeOverride("Label", "FLOW", "Value Override Check List = x, no, y, yes");
    EXPECT_TRUE(over->isDefined());
    TARNContext flow("/FLOW");
    EXPECT_EQ(over->evaluate(&m_rules, flow, &m_eval, "Label"),
              std::make_pair(true, std::string("y")));
    EXPECT_EQ(over->evaluate(&m_rules, flow, &m_eval, "Label", ParamAllowedValues({"y"})),
              std::make_pair(true, std::string("y")));
    EXPECT_EQ(over->evaluate(&m_rules, flow, &m_eval, "Label", ParamAllowedValues({"x"})),
              std::make_pair(false, std::string()));
    EXPECT_THAT(over->getReferencedCheckNames(), ElementsAre("no", "yes"));

    auto listOver = makeOverride("Names", "FLOW", "Value Override Check List = *vals, yes");
    EXPECT_EQ(listOver->evaluate(&m_rules, flow, &m_eval, "Names", ParamAllowedValues({"q", "p"})),
              std::make_pair(true, std::string("p,q")));
    EXPECT_THAT(listOver->getReferencedListNames(), ElementsAre("vals"));
    ParamValueOverride copy = *listOver;
    EXPECT_EQ(copy.getCheckedValues(), listOver->getCheckedValues());
}

}  // namespace
}  // namespace kel
