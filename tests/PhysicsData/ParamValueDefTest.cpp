#include <kel/physicsdata/dependency/ParamValueDef.h>

#include <kel/exception/KELAssertImpl.h>
#include <kel/exception/PhysicsException.h>
#include <kel/physicschecks/EvalContext.h>
#include <kel/physicsdata/dependency/BoundsData.h>
#include <kel/physicsdata/dependency/CheckListSplitter.h>
#include <kel/physicsdata/dependency/CheckedDefaultList.h>
#include <kel/physicsdata/dependency/IndexedCheckListSplitter.h>
#include <kel/physicsdata/dependency/ParamDefault.h>
#include <kel/physicsdata/dependency/ParamValueOverride.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/ParamAllowedValues.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNModel.h>
#include "FakeCheckEngine.h"

#include "BoundaryModelFixture.h"
#include "TestSupport.h"

namespace kel {
namespace {

// FLOW holds plain (global) parameters; Iterations and Names have global defaults.
// BOUNDARY's context rule "Kind" selects per-option RULES data: Temperature bounds differ
// (Wall), Pressure bounds agree, Velocity's quantity type differs, Heat Flux has a quantity
// type in Inlet only, Regime's allowed strings and defaults differ, Scheme's defaults agree.
const std::string kRules = test::tarn(R"(
RULES:
  PARAMETER: Mode { Parameter Type = String }
  PARAMETER: Regime { Parameter Type = String }
  PARAMETER: Kind { Parameter Type = String }
  PARAMETER: Gravity { Parameter Type = Logical }
  PARAMETER: Heat Flux { Parameter Type = Real }
  SINGLETON: ROOT { Optional Child List = FLOW }
  PARAMETER: Scheme { Parameter Type = String
    Allowed String List = Upwind, Central, High Resolution }
  PARAMETER: Iterations { Parameter Type = Integer; Lower Bound = 1; Upper Bound = 1000
    Default = 100 }
  PARAMETER: Names { Parameter Type = String List; Default = a, b }
  PARAMETER: Label { Parameter Type = String }
  PARAMETER: Relaxation { Parameter Type = Real; Lower Bound = 0 }
  PARAMETER: Temperature { Parameter Type = Real; Quantity Type = Temperature }
  PARAMETER: Pressure { Parameter Type = Real; Quantity Type = Pressure }
  PARAMETER: Velocity { Parameter Type = Real; Quantity Type = Velocity }
  SINGLETON: FLOW { Optional Child List = BOUNDARY
    Optional Parameter List = Scheme, Mode, Iterations, Gravity, Relaxation, Label, Names }
  OBJECT: BOUNDARY
    Context Rule = Kind
    Allowed Option List = Inlet, Outlet, Wall
    Optional Parameter List = Label
    CONTEXT: Inlet
      Optional Parameter List = Temperature, Pressure, Velocity, Heat Flux, Regime, Scheme
      PARAMETER: Temperature { Lower Bound = 0 [K]; Upper Bound = 500 [K] }
      PARAMETER: Pressure { Lower Bound = 0 [Pa] }
      PARAMETER: Heat Flux { Quantity Type = Heat Flux }
      PARAMETER: Regime { Allowed String List = Subsonic, Supersonic; Default = Subsonic }
      PARAMETER: Scheme { Default = Upwind }
    END
    CONTEXT: Outlet
      Optional Parameter List = Temperature, Pressure, Velocity, Regime, Scheme
      PARAMETER: Temperature { Lower Bound = 0 [K]; Upper Bound = 500 [K] }
      PARAMETER: Pressure { Lower Bound = 0 [Pa] }
      PARAMETER: Velocity { Quantity Type = Mass Flux }
      PARAMETER: Regime { Allowed String List = Subsonic; Default = Supersonic }
      PARAMETER: Scheme { Default = Upwind }
    END
    CONTEXT: Wall
      Optional Parameter List = Temperature, Pressure, Scheme
      PARAMETER: Temperature { Lower Bound = 200 [K] }
      PARAMETER: Pressure { Lower Bound = 0 [Pa] }
      PARAMETER: Scheme { Default = Upwind }
    END
  END
END
)");

ModelRules::ExtraRulesDef quantityRules() {
    ModelRules::ExtraRulesDef extra;
    extra.paramRules.stringRules = {"Quantity Type"};
    return extra;
}

class ParamValueDefTest : public testing::BoundaryModelFixture {
protected:
    ParamValueDefTest() : BoundaryModelFixture(kRules, quantityRules()) {
        m_source.addCheck("yes", true);
        m_source.addCheck("no", false);
    }

    // The definition of a PARAMETER VALUES entry whose keys are written "Key = value; ...".
    std::unique_ptr<ParamValueDef> make(const std::string& name, const std::string& type,
                                        const char* keys = "") {
        return std::make_unique<ParamValueDef>(name, type, test::params(keys), &m_rules, &m_source,
                                               false);
    }
    std::string error(const std::string& name, const std::string& type, const char* keys) {
        return test::errorOf<PhysicsException>([&] { make(name, type, keys); });
    }
    ParamAllowedValues allowed(const ParamValueDef& def, const std::string& path) {
        return def.evaluateAllowedValues(&m_rules, TARNContext(path), &m_eval);
    }
    std::pair<std::string, std::string> bounds(const ParamValueDef& def, const std::string& path) {
        return def.evaluateBounds(&m_rules, TARNContext(path), &m_eval);
    }
    // The visiting forms give the accessors' names, in their order.
    static void expectVisitsMatchAccessors(const ParamValueDef& def) {
        std::vector<std::string> checks, lists;
        def.forEachReferencedCheckName([&](const std::string& name) { checks.push_back(name); });
        def.forEachReferencedListName([&](const std::string& name) { lists.push_back(name); });
        EXPECT_EQ(checks, def.getReferencedCheckNames());
        EXPECT_EQ(lists, def.getReferencedListNames());
    }
};

using Sides = std::pair<std::string, std::string>;
using namespace std::string_literals;

TEST_F(ParamValueDefTest, TypeComesFromTheEntryOrTheRules) {
    EXPECT_EQ(error("Nonsense", "FLOW", "Ordered Allowed String List = a"),
              "ParamValueDef::initialise - attempt to create a parameter Nonsense which is not "
              "defined in RULES.");

    auto asInteger = make("Mode", "FLOW", "Parameter Type = Integer");
    EXPECT_EQ(asInteger->getType(), TARNParam::Integer);
    EXPECT_FALSE(asInteger->isRestricted());
    EXPECT_FALSE(asInteger->hasBounds());
    EXPECT_EQ(asInteger->getFixedBounds(), Sides("", ""));

    auto logical = make("Gravity", "FLOW");
    EXPECT_EQ(logical->getType(), TARNParam::Logical);
    EXPECT_FALSE(logical->isRestricted());
    EXPECT_EQ(error("Mode", "FLOW", "Parameter Type = Colour"),
              "ParamValueDef::initialise - Internal error : unknown type");

    bool value = false;
    logical->stringToBool("yes", value);
    EXPECT_TRUE(value);
    EXPECT_THROW(logical->stringToBool("maybe", value), PhysicsException);
}

TEST_F(ParamValueDefTest, RulesAllowedStringsBecomeTheFixedList) {
    auto plain = make("Scheme", "FLOW");
    EXPECT_TRUE(plain->isRestricted());
    EXPECT_FALSE(plain->isRestrictedDynamic());
    EXPECT_THAT(plain->getAllAllowedValues(), ElementsAre("Upwind", "Central", "High Resolution"));
    EXPECT_THAT(allowed(*plain, "/FLOW").getValues(),
                ElementsAre("Upwind", "Central", "High Resolution"));

    auto guarded = make("Scheme", "FLOW", "Allowed String List Checks = Central, no");
    EXPECT_THAT(allowed(*guarded, "/FLOW").getValues(), ElementsAre("Upwind", "High Resolution"));
    EXPECT_THAT(guarded->getReferencedCheckNames(), ElementsAre("no"));
    expectVisitsMatchAccessors(*guarded);
    EXPECT_TRUE(guarded->hasAllowedValueChecks() && !plain->hasAllowedValueChecks());
    const TARNContext flow("/FLOW");
    EXPECT_TRUE(plain->allowsValue(flow, &m_eval, "Central"));
    EXPECT_FALSE(plain->allowsValue(flow, &m_eval, "Bogus"));
    EXPECT_FALSE(guarded->allowsValue(flow, &m_eval, "Central"));
    EXPECT_TRUE(guarded->allowsValue(flow, &m_eval, "Upwind"));

    // A written list is limited to the RULES strings.
    auto written = make("Scheme", "FLOW", "Ordered Allowed String List = Central, Bogus, Upwind");
    EXPECT_THAT(allowed(*written, "/FLOW").getValues(), ElementsAre("Central", "Upwind"));
    EXPECT_THAT(written->getAllAllowedValues(), ElementsAre("Central", "Bogus", "Upwind"));
    EXPECT_FALSE(written->allowsValue(flow, &m_eval, "Bogus"));
    EXPECT_TRUE(written->allowsValue(flow, &m_eval, "Upwind"));
    auto subset = make("Scheme", "FLOW",
                       "Ordered Allowed String List = Central, Bogus, Upwind; Subset Allowed "
                       "String List = Bogus, Upwind");
    EXPECT_THAT(allowed(*subset, "/FLOW").getValues(), ElementsAre("Central", "Upwind"));
    EXPECT_THAT(allowed(*subset, "/FLOW").getSubset(), ElementsAre("Upwind"));

    auto free = make("Mode", "FLOW");
    EXPECT_FALSE(free->isRestricted());
    EXPECT_FALSE(allowed(*free, "/FLOW").isRestricted());
}

TEST_F(ParamValueDefTest, FixedListWithChecksAndSubset) {
    auto def = make("Mode", "FLOW",
                    "Ordered Allowed String List = Steady, Transient, Pseudo; Allowed String List "
                    "Checks = Transient, yes, Pseudo, (yes, no); Subset Allowed String List = "
                    "Transient, Steady; Unused Allowed String List = Frozen; Available With No "
                    "Allowed Values = true; Complete List Required = yes");
    EXPECT_TRUE(def->hasSubsetAllowedValueList() && def->hasAllowedValueChecks());
    EXPECT_FALSE(def->isRestrictedDynamic());
    auto values = allowed(*def, "/FLOW");
    EXPECT_THAT(values.getValues(), ElementsAre("Steady", "Transient"));
    EXPECT_THAT(values.getSubset(), ElementsAre("Steady", "Transient"));
    EXPECT_THAT(def->getCheckNamesForAllowedValue("Pseudo"), ElementsAre("yes", "no"));
    EXPECT_THAT(def->getCheckNamesForAllowedValue("Other"), IsEmpty());
    EXPECT_TRUE(def->isAllowedValueInSubset("Steady"));
    EXPECT_FALSE(def->isAllowedValueInSubset("Pseudo"));
    EXPECT_THAT(def->getUnusedAllowedValues(), ElementsAre("Frozen"));
    EXPECT_TRUE(def->isAvailableWithNoAllowedValues());
    EXPECT_TRUE(def->isCompleteListRequired());
    EXPECT_THAT(def->getReferencedCheckNames(), ElementsAre("no", "yes"));
}

TEST_F(ParamValueDefTest, ListSourcesGiveDynamicValues) {
    m_source.addList("all modes", {"A", "B", "C"});
    m_source.addList("some modes", {"C", "X"});
    auto def = make("Mode", "FLOW",
                    "Value List Source = all modes; Subset Value List Source = some modes");
    EXPECT_TRUE(def->isRestrictedDynamic());
    EXPECT_TRUE(def->hasSubsetAllowedValueList());
    EXPECT_EQ(def->getValueListSourceName(), "all modes");
    EXPECT_EQ(def->getSubsetValueListSourceName(), "some modes");
    auto values = allowed(*def, "/FLOW");
    EXPECT_THAT(values.getValues(), ElementsAre("A", "B", "C"));
    EXPECT_THAT(values.getSubset(), ElementsAre("C"));
    EXPECT_THAT(def->getReferencedListNames(), ElementsAre("all modes", "some modes"));
    expectVisitsMatchAccessors(*def);

    auto rulesLimited = make("Scheme", "FLOW", "Value List Source = all modes");
    EXPECT_FALSE(rulesLimited->hasSubsetAllowedValueList());
    EXPECT_THAT(allowed(*rulesLimited, "/FLOW").getValues(), IsEmpty());
    EXPECT_THROW(make("Mode", "FLOW", "Value List Source = missing"), std::runtime_error);
}

// allowsValue answers for one value what the allowed list says, running only that value's
// checks.
TEST_F(ParamValueDefTest, AllowsValueAsTheAllowedListSays) {
    m_source.addList("all modes", {"A", "B", "C"});
    m_source.addList("some modes", {"C", "X"});
    std::vector<std::pair<std::unique_ptr<ParamValueDef>, const char*>> asked;
    for (const auto& [name, keys] : std::vector<std::pair<const char*, const char*>>{
             {"Scheme", ""},
             {"Scheme", "Allowed String List Checks = Central, no"},
             {"Scheme", "Ordered Allowed String List = Central, Bogus"},
             {"Mode", ""},
             {"Mode",
              "Ordered Allowed String List = A, B, C; Allowed String List Checks = A, no, "
              "B, (yes, no); Subset Allowed String List = B"},
             {"Mode", "Value List Source = all modes"},
             {"Mode", "Value List Source = all modes; Subset Value List Source = some modes"},
             {"Scheme", "Value List Source = all modes"}})
        asked.emplace_back(make(name, "FLOW", keys), "/FLOW");
    for (const char* path : {"/FLOW/BOUNDARY:in", "/FLOW/BOUNDARY:out", "/FLOW/BOUNDARY:wall"})
        asked.emplace_back(make("Regime", "BOUNDARY"), path);
    for (const auto& [def, path] : asked) {
        const ParamAllowedValues all = allowed(*def, path);
        for (const char* value :
             {"Upwind", "Central", "Bogus", "A", "B", "C", "X", "Subsonic", "Supersonic", ""}) {
            EXPECT_EQ(def->allowsValue(TARNContext(path), &m_eval, value),
                      all.isAllowed(value, true))
                << def->getName() << " at " << path << ": " << value;
        }
    }
}

TEST_F(ParamValueDefTest, StringEntryErrors) {
    m_source.addList("modes", {"A"});
    const std::string tail = " in the the data for the \"PARAMETER VALUES\" object Mode";
    EXPECT_EQ(error("Mode", "FLOW", "Ordered Allowed String List = A; Value List Source = modes"),
              "ParamValueDef::initString - an allowed string list and a list source are both "
              "defined" +
                  tail);
    EXPECT_EQ(error("Mode", "FLOW", "Subset Value List Source = modes"),
              "ParamValueDef::initString - a subset list source has been defined, without a list "
              "source," +
                  tail);
    EXPECT_EQ(error("Mode", "FLOW", "Subset Allowed String List ="),
              "ParamValueDef::initString - parameter \"Subset Allowed String List\" defined "
              "without there being a \"Ordered Allowed String List\" parameter" +
                  tail);
    EXPECT_EQ(error("Mode", "FLOW", "Value List Source = modes; Unused Allowed String List = B"),
              "ParamValueDef::initString - parameter \"Unused Allowed String List\" defined for "
              "an incompatible \"PARAMETER VALUES\" object Mode");
    EXPECT_EQ(error("Mode", "FLOW", "Complete List Required =; Default Value Check List ="),
              "ParamValueDef::initString - parameter \"Complete List Required\" defined with "
              "there being a \"Default Value Check List\" parameter" +
                  tail +
                  ". The two parameters are incompatiable. Please remove one of the parameters.");
    EXPECT_EQ(error("Mode", "FLOW",
                    "Ordered Allowed String List = A, B; Allowed String List Checks = Z, yes, A, "
                    "yes, C, no"),
              "ParamValueDef::initAllowedString - the values \"C,Z\" in the \"Allowed String "
              "List Checks\" parameter of the \"PARAMETER VALUES\" object named \"Mode\" do not "
              "exist in the \"Ordered Allowed String List\" parameter of the same object");
    EXPECT_EQ(error("Mode", "FLOW",
                    "Ordered Allowed String List = A, B; Subset Allowed String List = B, Q"),
              "ParamValueDef::initAllowedString - the values \"Q\" in the \"Subset Allowed "
              "String List\" parameter of the \"PARAMETER VALUES\" object named \"Mode\" do not "
              "exist in the \"Ordered Allowed String List \"parameter of the same object");
    EXPECT_THROW(make("Mode", "FLOW",
                      "Ordered Allowed String List = A; Allowed String List Checks = A, unknown"),
                 std::runtime_error);
}

TEST_F(ParamValueDefTest, RulesAllowedStringsPerOption) {
    auto def = make("Regime", "BOUNDARY");
    EXPECT_THAT(def->getAllAllowedValues(), ElementsAre("Subsonic", "Supersonic"));
    EXPECT_THAT(allowed(*def, "/FLOW/BOUNDARY:in").getValues(),
                ElementsAre("Subsonic", "Supersonic"));
    EXPECT_THAT(allowed(*def, "/FLOW/BOUNDARY:out").getValues(), ElementsAre("Subsonic"));
    // No RULES strings under Wall, and none chosen without an option: nothing is removed.
    EXPECT_THAT(allowed(*def, "/FLOW/BOUNDARY:wall").getValues(),
                ElementsAre("Subsonic", "Supersonic"));
    EXPECT_THAT(allowed(*def, "/FLOW/BOUNDARY:bare").getValues(),
                ElementsAre("Subsonic", "Supersonic"));
    EXPECT_EQ(def->evaluateDefault(&m_rules, TARNContext("/FLOW/BOUNDARY:out"), &m_eval,
                                   allowed(*def, "/FLOW/BOUNDARY:out")),
              "Subsonic");

    // An option the type does not allow, as a user may type it into the model, is a
    // data fault of the model: nothing is removed and no assertion fires.
    std::string failed;
    auto previous = KELAssertImpl::setHandler(
        [&failed](const char* condition, const char*, int) { failed = condition; });
    m_model->setParameterValue("/FLOW/BOUNDARY:bare", "Kind", "Bogus");
    EXPECT_THAT(allowed(*def, "/FLOW/BOUNDARY:bare").getValues(),
                ElementsAre("Subsonic", "Supersonic"));
    KELAssertImpl::setHandler(previous);
    EXPECT_EQ(failed, "");
}

TEST_F(ParamValueDefTest, BoundsFixedCollapsedOrPerOption) {
    auto iterations = make("Iterations", "FLOW");
    EXPECT_TRUE(iterations->hasBounds());
    EXPECT_FALSE(iterations->hasVariableBounds());
    EXPECT_TRUE(iterations->hasFullyConstrainedBounds());
    EXPECT_EQ(bounds(*iterations, "/FLOW"), Sides("1", "1000"));

    auto relaxation = make("Relaxation", "FLOW");
    EXPECT_EQ(relaxation->getFixedBounds(), Sides("0", "4.2535293e+37"));
    EXPECT_FALSE(relaxation->hasFullyConstrainedBounds());
    EXPECT_FALSE(relaxation->hasQuantity());

    auto pressure = make("Pressure", "BOUNDARY");
    EXPECT_FALSE(pressure->hasVariableBounds());
    EXPECT_EQ(bounds(*pressure, "/FLOW/BOUNDARY:bare"), Sides("0 [Pa]", "4.2535293e+37"));

    auto temperature = make("Temperature", "BOUNDARY");
    EXPECT_TRUE(temperature->hasBounds());
    EXPECT_TRUE(temperature->hasVariableBounds());
    EXPECT_FALSE(temperature->hasFullyConstrainedBounds());
    EXPECT_EQ(bounds(*temperature, "/FLOW/BOUNDARY:in"), Sides("0 [K]", "500 [K]"));
    EXPECT_EQ(bounds(*temperature, "/FLOW/BOUNDARY:wall"), Sides("200 [K]", "4.2535293e+37"));
    EXPECT_EQ(bounds(*temperature, "/FLOW/BOUNDARY:bare"), Sides("", ""));

    // An integer reading of a real bound fails with the bounds message.
    EXPECT_EQ(error("Temperature", "BOUNDARY", "Parameter Type = Integer"),
              "Invalid integer bound in \"PARAMETER VALUE\" data for Temperature");
}

TEST_F(ParamValueDefTest, QuantityTypeAcrossOptions) {
    EXPECT_EQ(make("Temperature", "BOUNDARY")->getQuantityType(), "Temperature");
    auto velocity = make("Velocity", "BOUNDARY");
    EXPECT_TRUE(velocity->hasQuantity());
    EXPECT_EQ(velocity->getQuantityType(), "__CONTEXT_Dependent__");
    EXPECT_EQ(error("Heat Flux", "BOUNDARY", ""),
              "Quantity Type is missing in RULES for parameter Heat Flux in object BOUNDARY in "
              "CONTEXT:Outlet");
}

TEST_F(ParamValueDefTest, DefaultsAndOverridesAreHandedOver) {
    m_source.addList("names", {"n1"});
    auto def = make("Mode", "FLOW",
                    "Ordered Allowed String List = A, B; Default Value = B; Value Override Check "
                    "List = A, yes, *names, no");
    EXPECT_TRUE(def->hasDefault());
    EXPECT_TRUE(def->hasFixedDefault());
    EXPECT_EQ(def->getFixedDefault(), "B");
    EXPECT_TRUE(def->hasValueOverride());
    ASSERT_EQ(def->getCheckedOverrides().size(), 2u);
    EXPECT_EQ(def->getCheckedOverrides()[1].type, CheckedValue::ListName);
    EXPECT_EQ(def->getCheckedDefaults().size(), 1u);
    TARNContext flow("/FLOW");
    auto values = def->evaluateAllowedValues(&m_rules, flow, &m_eval);
    EXPECT_EQ(def->evaluateDefault(&m_rules, flow, &m_eval), "B");
    EXPECT_EQ(def->evaluateDefault(&m_rules, flow, &m_eval, values), "B");
    EXPECT_EQ(def->evaluateValueOverride(&m_rules, flow, &m_eval, values),
              std::make_pair(true, "A"s));
    EXPECT_EQ(def->evaluateValueOverride(&m_rules, flow, &m_eval, ParamAllowedValues({"B"})),
              std::make_pair(false, ""s));
    EXPECT_THAT(def->getReferencedCheckNames(), ElementsAre("no", "yes"));
    EXPECT_THAT(def->getReferencedListNames(), ElementsAre("names"));
    expectVisitsMatchAccessors(*def);
}

// A name met in the allowed values, the defaults and the overrides is visited once, in
// ascending order, also when there are more names than a definition usually has.
TEST_F(ParamValueDefTest, ReferencedNamesVisitedOnceAscending) {
    for (const char* name : {"c1", "c2", "c3", "c4", "c5", "c6", "c7", "c8", "c9"})
        m_source.addCheck(name, true);
    m_source.addList("names", {"A"});
    m_source.addList("others", {"B"});
    auto def =
        make("Mode", "FLOW",
             "Ordered Allowed String List = A, B; Allowed String List Checks = A, c9, B, "
             "(c3, yes); Default Value Check List = B, (c2, c9), *others, c1; Value Override "
             "Check List = A, (c8, c7, c6, c5, c4), *names, yes, *others, no");
    EXPECT_THAT(def->getReferencedCheckNames(),
                ElementsAre("c1", "c2", "c3", "c4", "c5", "c6", "c7", "c8", "c9", "no", "yes"));
    EXPECT_THAT(def->getReferencedListNames(), ElementsAre("names", "others"));
    expectVisitsMatchAccessors(*def);
    expectVisitsMatchAccessors(*make("Mode", "FLOW"));
}

TEST_F(ParamValueDefTest, ModelDependentAnswersNeedAnEvaluationContext) {
    TARNContext inlet("/FLOW/BOUNDARY:in");
    // Answers fixed at construction need no model.
    EXPECT_EQ(make("Iterations", "FLOW")->evaluateBounds(&m_rules, inlet, nullptr),
              Sides("1", "1000"));
    EXPECT_THAT(make("Scheme", "FLOW")->evaluateAllowedValues(&m_rules, inlet, nullptr).getValues(),
                ElementsAre("Upwind", "Central", "High Resolution"));
    // Answers chosen by the object's context rule value do.
    EXPECT_THROW(make("Temperature", "BOUNDARY")->evaluateBounds(&m_rules, inlet, nullptr),
                 std::invalid_argument);
    EXPECT_THROW(make("Regime", "BOUNDARY")->evaluateAllowedValues(&m_rules, inlet, nullptr),
                 std::invalid_argument);
}

// ParamDefault and ParamValueOverride: the default and override parts of a definition.
class ParamDefaultTest : public ParamValueDefTest {
protected:
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
    // The default at path, filtered by the allowed values when they are given.
    std::string eval(const ParamDefault& def, const std::string& path, const std::string& name,
                     const ParamAllowedValues* allowed = nullptr) {
        const TARNContext context(path);
        return allowed ? def.evaluate(&m_rules, context, &m_eval, name, *allowed)
                       : def.evaluate(&m_rules, context, &m_eval, name);
    }
};

// Each entry's default at /FLOW on its own and among the allowed values b, c: written, RULES or
// checked candidates, and the fallbacks when none applies.
TEST_F(ParamDefaultTest, DefaultsAndTheirFallbacks) {
    m_source.addCheck("also", true);
    m_source.addList("two", {"first one", "second"});
    m_source.addList("grouped", {"(a,b)", "c"});
    m_source.addFunction("fn", "from function");
    const ParamAllowedValues bc({"b", "c"});
    const struct {
        const char* name;
        const char* keys;
        bool fixed;
        const char* alone;
        const char* amongAllowed;
    } rows[] = {
        // No default: the first allowed value, unless a blank is asked for.
        {"Label", "", false, "", "b"},
        {"Label", "Fallback To Blank Default = yes", false, "", ""},
        {"Label", "Fallback To Blank Default = no", false, "", "b"},
        // A default that is not allowed gives way to the first allowed value (or a blank);
        // a list default keeps only its allowed items.
        {"Label", "Default Value = z", true, "z", "b"},
        {"Label", "Default Value = z; Fallback To Blank Default = true", true, "z", ""},
        {"Iterations", "", true, "100", "b"},
        {"Names", "", true, "a, b", "b"},
        // Checked candidates win in order before the written default.
        {"Label",
         "Default Value = plain; Default Value Check List = first, no, second, (yes, also), "
         "third, yes",
         false, "second", "b"},
        {"Label", "Default Value = plain; Default Value Check List = first, no", false, "plain",
         "b"},
        // Several values are joined for a list and reduced to one for a single value.
        {"Label", "Default Value Check List = *two, yes", false, "firstone", "b"},
        {"Names", "Default Value Check List = *two, yes", false, "first one,second", "b"},
        {"Label", "Default Value Check List = *grouped, yes", false, "(a,b)", "c"},
        {"Label", "Default Value Check List = *fn, ()", false, "from function", "b"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.keys);
        const auto def = makeDefault(row.name, "FLOW", row.keys);
        EXPECT_EQ(def->isFixed(), row.fixed);
        EXPECT_EQ(eval(*def, "/FLOW", row.name), row.alone);
        EXPECT_EQ(eval(*def, "/FLOW", row.name, &bc), row.amongAllowed);
    }
    const auto none = makeDefault("Label", "FLOW", "");
    EXPECT_FALSE(none->isDefined());
    EXPECT_TRUE(none->getCheckedValues().empty());
    // Options that agree give a plain fixed default.
    EXPECT_EQ(makeDefault("Scheme", "BOUNDARY", "")->getFixedValue(), "Upwind");

    const auto checked = makeDefault("Label", "FLOW", rows[7].keys);
    EXPECT_THAT(checked->getAllFixedValues(), ElementsAre("first", "second", "third", "plain"));
    EXPECT_THAT(checked->getReferencedCheckNames(), ElementsAre("also", "no", "yes"));
    ASSERT_EQ(checked->getCheckedValues().size(), 4u);
    EXPECT_THAT(checked->getCheckedValues()[1].checks, ElementsAre("yes", "also"));
    EXPECT_THAT(makeDefault("Label", "FLOW", rows[9].keys)->getReferencedListNames(),
                ElementsAre("two"));

    // Errors of the check lists and unknown names propagate.
    EXPECT_THROW(makeDefault("Label", "FLOW", "Default Value Check List = a, b, c"),
                 PhysicsException);
    EXPECT_THROW(makeDefault("Label", "FLOW", "Default Value Check List = a, missing"),
                 std::runtime_error);
    EXPECT_THROW(makeOverride("Label", "FLOW", "Value Override Check List = a, (b"),
                 PhysicsException);
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
    const ParamAllowedValues subsonic({"Subsonic"});
    EXPECT_EQ(eval(*def, "/FLOW/BOUNDARY:out", "Regime", &subsonic), "Subsonic");

    // A check list whose candidates do not apply falls back to the option's default.
    auto checked = makeDefault("Regime", "BOUNDARY", "Default Value Check List = Hyper, no");
    EXPECT_EQ(eval(*checked, "/FLOW/BOUNDARY:in", "Regime"), "Subsonic");
    EXPECT_THAT(checked->getAllFixedValues(), ElementsAre("Hyper"));
}

TEST_F(ParamDefaultTest, OverrideAppliesOnlyWithASurvivingValue) {
    const TARNContext flow("/FLOW");
    const auto none = makeOverride("Label", "FLOW", "");
    EXPECT_FALSE(none->isDefined());
    EXPECT_EQ(none->evaluate(&m_rules, flow, &m_eval, "Label"), std::make_pair(false, ""s));

    m_source.addList("vals", {"p", "q"});
    const auto over = makeOverride("Label", "FLOW", "Value Override Check List = x, no, y, yes");
    EXPECT_TRUE(over->isDefined());
    EXPECT_EQ(over->evaluate(&m_rules, flow, &m_eval, "Label"), std::make_pair(true, "y"s));
    EXPECT_EQ(over->evaluate(&m_rules, flow, &m_eval, "Label", ParamAllowedValues({"y"})),
              std::make_pair(true, "y"s));
    EXPECT_EQ(over->evaluate(&m_rules, flow, &m_eval, "Label", ParamAllowedValues({"x"})),
              std::make_pair(false, ""s));
    EXPECT_THAT(over->getReferencedCheckNames(), ElementsAre("no", "yes"));

    const auto listOver = makeOverride("Names", "FLOW", "Value Override Check List = *vals, yes");
    EXPECT_EQ(listOver->evaluate(&m_rules, flow, &m_eval, "Names", ParamAllowedValues({"q", "p"})),
              std::make_pair(true, "p,q"s));
    EXPECT_THAT(listOver->getReferencedListNames(), ElementsAre("vals"));
    ParamValueOverride copy = *listOver;
    EXPECT_EQ(copy.getCheckedValues(), listOver->getCheckedValues());
}

// BoundsData: the bounds of a PARAMETER VALUES entry, normalised and compared as text.

std::string messageOf(BoundsData::Type type, const Sides& sides) {
    return test::errorOf<PhysicsException>([&] { BoundsData("Pressure", type, sides); });
}

// A side not given takes the open limit of its kind; nothing given is undefined.
TEST(BoundsDataTest, SidesNotGivenTakeTheOpenLimits) {
    using B = BoundsData;
    const struct {
        B::Type type;
        Sides given;
        Sides value;
    } rows[] = {
        {B::Undefined, {"", ""}, {"", ""}},
        {B::Integer, {"", ""}, {"", ""}},
        {B::Real, {"", ""}, {"", ""}},
        {B::Integer, {"5", ""}, {"5", "2147483647"}},
        {B::Integer, {"", " -3 "}, {"-2147483648", "-3"}},
        {B::Integer, {"3", "3"}, {"3", "3"}},
        {B::Real, {"", "-1"}, {"-4.2535293e+37", "-1"}},
        {B::Real, {"0.5 [Pa]", ""}, {"0.5 [Pa]", "4.2535293e+37"}},
        // Different units are not compared, so lower 1 above upper 0 is accepted.
        {B::Real, {"1 [bar]", "0 [Pa]"}, {"1 [bar]", "0 [Pa]"}},
    };
    for (const auto& row : rows) {
        const BoundsData bounds("p", row.type, row.given);
        const std::pair<bool, bool> given(!row.given.first.empty(), !row.given.second.empty());
        EXPECT_EQ(bounds.value(), row.value) << row.given.first << "," << row.given.second;
        EXPECT_EQ(bounds.defined(), given);
        EXPECT_EQ(bounds.undefined(), !given.first && !given.second);
    }
    EXPECT_TRUE(BoundsData().undefined() && BoundsData().value().first.empty());
    // An undefined kind stays undefined even when sides are given.
    EXPECT_TRUE(BoundsData("p", BoundsData::Undefined, {"1", "2"}).undefined());
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

// Check lists: their syntax, and the checked default lists the definitions evaluate.
using testing::FakeSource;

// Owns the strings a CheckedListData refers to.
struct ListText {
    std::string list;
    std::string key = "Default Value Check List";
    std::string parameter = "";
    std::string object = "";
    std::string heading = "";

    CheckedListData data() const { return {key, list, parameter, object, heading}; }
};

std::string splitterError(const ListText& t) {
    return test::errorOf<PhysicsException>([&t] { IndexedCheckListSplitter splitter(t.data()); });
}

// Names pair with one check, a parenthesised group or "()"; the splitter gathers the checks of
// a repeated name.
TEST(CheckListSyntaxTest, PairsNamesWithTheirChecks) {
    const ListText empty{""};
    EXPECT_EQ(IndexedCheckListSplitter(empty.data()).getNumberOfNames(), 0u);
    EXPECT_TRUE(CheckListSplitter(empty.data()).getNamesWithChecks().empty());

    const ListText t{"x, (c1, c2), y, (), x, c3, z, single"};
    const IndexedCheckListSplitter items(t.data());
    ASSERT_EQ(items.getNumberOfNames(), 4u);
    EXPECT_EQ(items.getName(0) + items.getName(1) + items.getName(2) + items.getName(3), "xyxz");
    EXPECT_EQ(items.getChecks(0), (Strings{"c1", "c2"}));
    EXPECT_TRUE(items.getChecks(1).empty());
    EXPECT_EQ(items.getChecks(3), Strings{"single"});
    EXPECT_EQ(test::errorOf<PhysicsException>([&items] { items.getName(4); }),
              "Index out of range.");
    EXPECT_EQ(test::errorOf<PhysicsException>([&items] { items.getChecks(99); }),
              "Index out of range.");

    const CheckListSplitter splitter(t.data());
    EXPECT_EQ(splitter.getNamesWithChecks(), (Strings{"x", "y", "z"}));
    EXPECT_EQ(splitter.getChecksForName("x"), (Strings{"c1", "c2", "c3"}));
    EXPECT_TRUE(splitter.getChecksForName("y").empty());
    EXPECT_TRUE(splitter.getChecksForName("absent").empty());
}

TEST(CheckListSyntaxTest, ErrorsCarryTheContextBlock) {
    ListText full{"a, b, c"};
    full.key = "Child Check List";
    full.object = "FLOW";
    full.parameter = "Option";
    full.heading = "Child availability check list data error.";
    EXPECT_EQ(splitterError(full),
              "The check list string [a, b, c] contains an odd number of entries and is "
              "therefore invalid.\n"
              "Child availability check list data error.\n"
              "Data parameter: Child Check List\n"
              "Value applies to model object: FLOW\n"
              "Value applies to model parameter: Option\n");
    EXPECT_THROW(CheckListSplitter(full.data()), PhysicsException);

    // Only the non-empty lines appear; no line break before the block.
    ListText partial{"a, (b"};
    partial.parameter = "Location";
    EXPECT_EQ(splitterError(partial),
              "The check string (b is invalidly parenthesised.Data parameter: Default Value Check "
              "List\nValue applies to model parameter: Location\n");
    partial.key.clear();
    partial.parameter.clear();
    partial.list = "a, b)";
    EXPECT_EQ(splitterError(partial), "The check string b) is invalidly parenthesised.");
}

class CheckedDefaultListTest : public ::testing::Test {
protected:
    CheckedDefaultList build(const std::string& list) {
        const ListText t{list};
        return CheckedDefaultList(t.data(), &source);
    }
    std::string evaluate(const CheckedDefaultList& list,
                         const ParamAllowedValues* allowed = nullptr) {
        return list.evaluate(nullptr, context, &evalContext, "Speed", allowed);
    }

    FakeSource source;
    TARNModel model;
    EvalContext evalContext{model};
    TARNContext context{"/FLOW:main/INLET:in1"};
};

TEST_F(CheckedDefaultListTest, ReadsStarBackslashStarAndLiteralNames) {
    source.addCheck("ok", true);
    source.addList("abc", {"l1", "l2"});
    source.addList("", {"unnamed"});
    const CheckedDefaultList list = build("\\*abc, ok, *abc, (), *, (), \\, (), plain, ()");
    const std::vector<CheckedValue> values = list.getCheckedValues();
    ASSERT_EQ(values.size(), 5u);
    EXPECT_EQ(values[0], (CheckedValue{"*abc", CheckedValue::PlainValue, {"ok"}}));
    EXPECT_EQ(values[1], (CheckedValue{"abc", CheckedValue::ListName, {}}));
    EXPECT_EQ(values[2], (CheckedValue{"", CheckedValue::ListName, {}}));
    EXPECT_EQ(values[3], (CheckedValue{"\\", CheckedValue::PlainValue, {}}));
    EXPECT_EQ(values[4], (CheckedValue{"plain", CheckedValue::PlainValue, {}}));
    EXPECT_EQ(list.getAllFixedValues(), (Strings{"*abc", "\\", "plain"}));
    EXPECT_EQ(list.getReferencedListNames(), (std::set<std::string>{"", "abc"}));
    EXPECT_EQ(list.getReferencedCheckNames(), std::set<std::string>{"ok"});
    EXPECT_EQ(evaluate(list), "*abc");
}

TEST_F(CheckedDefaultListTest, FunctionIsPreferredOverListOfTheSameName) {
    source.addList("both", {"from list"});
    testing::FakeFunc* func = source.addFunction("both", "from function");
    const CheckedDefaultList list = build("*both, ()");
    EXPECT_EQ(list.getCheckedValues()[0].type, CheckedValue::RHSFunction);
    EXPECT_TRUE(list.getReferencedListNames().empty());

    const ParamAllowedValues allowed;
    EXPECT_EQ(evaluate(list, &allowed), "from function");
    EXPECT_EQ(func->last.path, "/FLOW:main/INLET:in1");
    EXPECT_EQ(func->last.param, "Speed");
    EXPECT_EQ(func->last.model, &model);
    EXPECT_EQ(func->last.allowed, &allowed);
    EXPECT_THROW(list.evaluate(nullptr, context, nullptr, "Speed", nullptr), std::invalid_argument);
}

TEST_F(CheckedDefaultListTest, FirstEntryThatPassesAndGivesAValueWins) {
    testing::FakeCheck* pass = source.addCheck("pass", true);
    testing::FakeCheck* fail = source.addCheck("fail", false);
    testing::FakeCheck* unreached = source.addCheck("unreached", true);
    source.addList("nothing", {});
    source.addList("two", {"a", "b"});
    source.addFunction("blank", "");

    // Failing checks skip an entry without evaluating its later checks.
    const CheckedDefaultList guarded = build("1, (pass, fail, unreached), 2, pass, 3, ()");
    EXPECT_EQ(evaluate(guarded), "2");
    EXPECT_EQ(unreached->evaluations, 0);
    EXPECT_EQ(fail->evaluations, 1);
    EXPECT_EQ(pass->evaluations, 2);

    // A list or function that yields nothing lets the next entry apply.
    EXPECT_EQ(evaluate(build("*nothing, pass, *blank, (), fallback, pass")), "fallback");
    EXPECT_EQ(evaluate(build("*two, pass, other, ()")), "a,b");

    // Fallback values come last.
    CheckedDefaultList withFallback = build("first, fail");
    withFallback.addFallbackValue("last");
    EXPECT_EQ(evaluate(withFallback), "last");

    EXPECT_EQ(evaluate(build("x, fail")), "");
    EXPECT_EQ(evaluate(CheckedDefaultList()), "");
    EXPECT_TRUE(CheckedDefaultList().isEmpty());

    // A fixed value is one literal entry, whatever its checks, or a fallback alone.
    EXPECT_TRUE(build("5 [m s^-1], fail").isFixedValue());
    EXPECT_EQ(build("5 [m s^-1], fail").getFixedValue(), "5 [m s^-1]");
    CheckedDefaultList fallbackOnly;
    fallbackOnly.addFallbackValue("0");
    EXPECT_TRUE(fallbackOnly.isFixedValue());
    EXPECT_FALSE(build("*two, ()").isFixedValue());
    EXPECT_FALSE(build("a, (), b, ()").isFixedValue());
}

}  // namespace
}  // namespace kel
