// Data as authors write it, loaded with validation on: parameters, children and options
// whose names hold blanks, named in check lists (read without blanks) and offered as allowed
// values; and a context-rule type at the top whose data leaves its options to the RULES.

#include <kel/exception/PhysicsException.h>
#include <kel/physicschecks/EvalContext.h>
#include <kel/physicschecks/PhysicsFunctionStore.h>
#include <kel/physicsdata/dependency/CACursor.h>
#include <kel/physicsdata/dependency/ChildAvail.h>
#include <kel/physicsdata/dependency/ObjDependDef.h>
#include <kel/physicsdata/dependency/ParamAvail.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/physics/PhysicsDataOptions.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/InternalTARNDatastore.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNModel.h>

#include "TestSupport.h"

namespace kel {
namespace {

using Params = std::map<std::string, std::string>;

// ROOT -> HEATER (top level; "Analysis Kind" picks "Steady State" or "Transient"; a time
// step and probe points only when transient) -> SENSOR UNIT ("Reading" picks "On Demand" or
// "Always"), PROBE POINT. TWIN is not in any model: its names collide once blanks are removed.
const std::string kRules = test::tarn(R"(
RULES:
  PARAMETER: Heat Flux { Parameter Type = Real }
  PARAMETER: HeatFlux { Parameter Type = Real }
  PARAMETER: Time Step { Parameter Type = Real }
  PARAMETER: Reading { Parameter Type = String }
  PARAMETER: Analysis Kind { Parameter Type = String
    Allowed String List = Steady State, Transient }
  SINGLETON: ROOT { Optional Child List = HEATER }
  OBJECT: HEATER
    Context Rule = Analysis Kind
    Allowed Option List = Steady State, Transient
    Essential Parameter List = Analysis Kind, Heat Flux
    Optional Child List = SENSOR UNIT
    CONTEXT: Transient { Essential Parameter List = Time Step; Optional Child List = PROBE POINT }
  END
  OBJECT: TWIN { Optional Parameter List = Heat Flux, HeatFlux
    Optional Child List = SENSOR UNIT, SENSORUNIT }
  OBJECT: SENSOR UNIT { Context Rule = Reading; Allowed Option List = On Demand, Always
    Optional Parameter List = Reading }
  OBJECT: SENSORUNIT {}
  OBJECT: PROBE POINT {}
END
)");

const std::string kChecks = test::tarn(R"(
  CHECK DATA:
    CHECK: IsHot { Type = Constant; Value = true }
    CHECK: IsCold { Type = Constant; Value = false }
  END
)");

class BlankNamesAndTopLevelOptionsTest : public ::testing::Test {
protected:
    BlankNamesAndTopLevelOptionsTest()
        : m_rulesDs(kRules, InternalTARNDatastore::TEXT), m_rules(&m_rulesDs) {}

    // PhysicsData over the checks and one OBJECT DEPENDENCY of HEATER with these keys
    // ("Key = value; ..."), and the further dependency objects given (test::tarn text).
    PhysicsData& load(const std::string& heaterKeys, const std::string& more = "") {
        m_physicsDs = std::make_unique<InternalTARNDatastore>(
            test::tarn("PHYSICS:\n" + kChecks + "  DEPENDENCIES:\n    OBJECT DEPENDENCY: HEATER {" +
                       heaterKeys + "}\n" + more + "  END\nEND\n"),
            InternalTARNDatastore::TEXT);
        m_data = std::make_unique<PhysicsData>(m_physicsDs.get(), &m_rules, &m_functions, nullptr,
                                               PhysicsDataOptions{true});
        return *m_data;
    }

    std::string failure(const std::string& heaterKeys) {
        return test::errorOf<PhysicsException>([&] { load(heaterKeys); });
    }

    InternalTARNDatastore m_rulesDs;
    ModelRules m_rules;
    PhysicsFunctionStore m_functions;
    std::unique_ptr<InternalTARNDatastore> m_physicsDs;
    std::unique_ptr<PhysicsData> m_data;
};

TEST_F(BlankNamesAndTopLevelOptionsTest, CheckListsNameParametersChildrenAndOptionsWithBlanks) {
    PhysicsData& data = load(R"(
      Ordered Allowed Option List = Steady State, Transient
      Default Option Check List = Steady State, IsCold, Transient, ()
      Allowed Option Check List = Steady State, IsHot
      Ordered Required Parameter List = Analysis Kind, Heat Flux, Time Step
      Parameter Check List = Heat Flux, IsHot, Time  Step, IsCold
      Ordered Optional Child List = SENSOR UNIT, PROBE POINT
      Child Check List = SENSOR UNIT, IsHot, PROBEPOINT, (IsHot, IsCold))");
    const ObjDependDef* def = data.getObjDependDef("/HEATER", true);
    EXPECT_THAT(def->paramAvailByName("Heat Flux")->getReferencedCheckNames(),
                ElementsAre("IsHot"));
    EXPECT_THAT(def->paramAvailByName("Time Step")->getReferencedCheckNames(),
                ElementsAre("IsCold"));
    EXPECT_THAT(def->childAvailByType("SENSOR UNIT")->getReferencedCheckNames(),
                ElementsAre("IsHot"));
    EXPECT_THAT(def->childAvailByType("PROBE POINT")->getReferencedCheckNames(),
                ElementsAre("IsHot", "IsCold"));

    // The context rule parameter offers exactly the RULES options, blanks kept, each under
    // its checks, and defaults to the first option whose checks pass.
    const ParamValueDef* kind = data.getParamValueDef("/HEATER", "Analysis Kind", true);
    EXPECT_THAT(kind->getAllAllowedValues(), ElementsAre("Steady State", "Transient"));
    EXPECT_THAT(kind->getCheckNamesForAllowedValue("Steady State"), ElementsAre("IsHot"));
    auto model = TARNModel::fromText("HEATER: h\n  Analysis Kind = Transient\nEND\n");
    EvalContext eval(*model);
    const TARNContext heater("/HEATER:h");
    const ParamAllowedValues allowed = kind->evaluateAllowedValues(&m_rules, heater, &eval);
    EXPECT_THAT(allowed.getValues(), ElementsAre("Steady State", "Transient"));
    EXPECT_EQ(kind->evaluateDefault(&m_rules, heater, &eval, allowed), "Transient");

    // A default option written without its blank stands for the option.
    EXPECT_EQ(load("Ordered Allowed Option List = Transient, Steady State; "
                   "Default Option = SteadyState; "
                   "Ordered Required Parameter List = Analysis Kind, Heat Flux, Time Step")
                  .getParamValueDef("/HEATER", "Analysis Kind", true)
                  ->evaluateDefault(&m_rules, heater, &eval, allowed),
              "Steady State");
}

TEST_F(BlankNamesAndTopLevelOptionsTest, NamesThatMatchNothingOrCollideAreLoadErrors) {
    const std::string required =
        "Ordered Allowed Option List = Steady State, Transient; "
        "Ordered Required Parameter List = Analysis Kind, Heat Flux, "
        "Time Step; ";
    EXPECT_EQ(failure(required + "Parameter Check List = Heat Flow, IsHot"),
              "ObjDependDef::findParamAvail - in data for object type HEATER, the referenced "
              "parameter HeatFlow does not exist in the 'ordered' lists");
    EXPECT_THAT(failure(required + "Child Check List = SENSOR UNIT, IsHot"),
                HasSubstr("the child object SENSORUNIT referenced in the check list does not "
                          "exist in the 'ordered' lists"));
    EXPECT_THAT(failure(required + "Allowed Option Check List = Steady, IsHot"),
                HasSubstr("the option value \"Steady\" that appears in the \"Allowed Option "
                          "Check List\" parameter is not recognised."));

    auto twin = [this](const Params& params) {
        return test::errorOf<PhysicsException>(
            [&] { ObjDependDef("TWIN", params, &m_rules, nullptr, false); });
    };
    EXPECT_EQ(twin({{"Ordered Optional Parameter List", "Heat Flux, HeatFlux"}}),
              "ObjDependDef::initParamAvailChecks - in data for object type TWIN, the parameters "
              "\"Heat Flux\" and \"HeatFlux\" are the same once blanks are removed, so check "
              "lists cannot tell them apart.");
    EXPECT_EQ(twin({{"Ordered Optional Child List", "SENSORUNIT, SENSOR UNIT"}}),
              "ObjDependDef::initChildAvailChecks - in data for object type \"TWIN\", the child "
              "objects \"SENSORUNIT\" and \"SENSOR UNIT\" are the same once blanks are removed, "
              "so check lists cannot tell them apart.");
    EXPECT_EQ(twin({{"Ordered Optional Parameter List", "Heat Flux, Heat Flux"}}), "");
}

// Without "Ordered Allowed Option List" a definition covers the RULES options its unused
// list leaves, at the top of the model (HEATER) as below it (SENSOR UNIT).
TEST_F(BlankNamesAndTopLevelOptionsTest, TopLevelTypeTakesItsOptionsFromTheRules) {
    PhysicsData& data = load(
        "Ordered Required Parameter List = Analysis Kind, Heat Flux, Time Step; "
        "Ordered Optional Child List = PROBE POINT");
    const ObjDependDef* def = data.getObjDependDef("/HEATER", true);
    EXPECT_EQ(def->getContextRuleInfo()->orderedAllowedOptionList, "Steady State,Transient");
    EXPECT_THAT(def->getUnusedAllowedOptionList(), IsEmpty());
    CACursor cursor;
    EXPECT_FALSE(def->firstChildAvail(cursor, "Steady State").second);
    EXPECT_TRUE(def->firstChildAvail(cursor, "Transient").second);
    EXPECT_THAT(data.getParamValueDef("/HEATER", "Analysis Kind", true)->getAllAllowedValues(),
                ElementsAre("Steady State", "Transient"));

    PhysicsData& partly = load(
        "Unused Allowed Option List = Transient; "
        "Ordered Required Parameter List = Analysis Kind, Heat Flux; "
        "Ordered Optional Child List = SENSOR UNIT",
        "OBJECT DEPENDENCY: SENSOR UNIT { Unused Allowed Option List = On Demand }\n");
    const auto steadyOnly = partly.getObjDependDef("/HEATER", true);
    EXPECT_EQ(steadyOnly->getContextRuleInfo()->orderedAllowedOptionList, "Steady State");
    EXPECT_THAT(steadyOnly->getUnusedAllowedOptionList(), ElementsAre("Transient"));
    EXPECT_THAT(
        partly.getParamValueDef("/HEATER/SENSOR UNIT", "Reading", true)->getAllAllowedValues(),
        ElementsAre("Always"));
}

}  // namespace
}  // namespace kel
