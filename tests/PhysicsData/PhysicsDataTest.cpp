// Building a PhysicsData from small RULES and PHYSICS texts: check engine wiring, the
// errors of construction, and the queries that split and validate paths.

#include <kel/physicsdata/physics/PhysicsData.h>

#include <kel/exception/PhysicsException.h>
#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/EvalContext.h>
#include <kel/physicschecks/GlobalCheck.h>
#include <kel/physicschecks/List.h>
#include <kel/physicschecks/PhysicsFunctionStore.h>
#include <kel/physicsdata/beta/BetaPhysicsManager.h>
#include <kel/physicsdata/dependency/CACursor.h>
#include <kel/physicsdata/dependency/ChildAvail.h>
#include <kel/physicsdata/dependency/ObjDependDef.h>
#include <kel/physicsdata/dependency/ParamAvail.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsdata/physics/CheckEngineSet.h>
#include <kel/physicsdata/physics/PhysicsDataOptions.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsdata/store/DependencyStore.h>
#include <kel/physicsutils/InternalTARNDatastore.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNModel.h>

#include "TestSupport.h"

namespace kel {
namespace {

// ROOT -> BOX (named, option Kind = Hot/Cold) -> LID; TOP is a second top-level type that
// the PHYSICS data never describes.
const std::string kRules = test::tarn(R"(
RULES:
  PARAMETER: Kind { Parameter Type = String; Allowed String List = Hot, Cold }
  PARAMETER: Size { Parameter Type = Real }
  PARAMETER: Enabled { Parameter Type = Logical }
  PARAMETER: Label { Parameter Type = String; Allowed String List = L1, L2 }
  SINGLETON: ROOT { Optional Child List = BOX, TOP }
  OBJECT: BOX { Context Rule = Kind; Allowed Option List = Hot, Cold
    Essential Parameter List = Kind, Size; Optional Parameter List = Enabled, Label
    Optional Child List = LID }
  OBJECT: LID { Optional Parameter List = Size }
  OBJECT: TOP { Optional Parameter List = Size }
END
)");

const std::string kDependencies = test::tarn(R"(
  DEPENDENCIES:
    OBJECT DEPENDENCY: BOX { Ordered Allowed Option List = Hot, Cold
      Ordered Required Parameter List = Kind, Size
      Ordered Optional Parameter List = Enabled, Label; Ordered Optional Child List = LID }
  END
)");

std::string physicsText(const std::string& checkData) {
    return "PHYSICS:\n  CHECK DATA:\n" + checkData + "  END\n" + kDependencies + "END\n";
}

const std::string kCheckData = test::tarn(R"(
    Global Check Root List = Sized, Labelled
    CHECK: IsHot { Type = Parameter Value; Parameter = Kind; Value List = Hot }
    CHECK: NotHot { Type = Not; Check List = IsHot }
    CHECK: LabelKnown { Type = Value In List; Parameter = Label; List = Labels }
    CHECK: HasSize { Type = Parameter Value; Parameter = Size; Test = Set }
    CHECK: HotBeta { Type = Beta; Message = Hot boxes are a beta feature.; Check = IsHot }
    CHECK: UsesBeta { Type = All; Check List = HotBeta, HasSize }
    LIST: Labels { Type = Union; List Names = FixedLabels }
    LIST: FixedLabels { Type = Fixed; Value List = L1, L2 }
    GLOBAL CHECK: Sized { Type = For Each Object; Object Type = BOX; Check = HasSize
      Message = A box needs a size }
)");

class PhysicsDataTest : public ::testing::Test {
protected:
    explicit PhysicsDataTest(const std::string& rules = kRules)
        : m_rulesDs(rules, InternalTARNDatastore::TEXT), m_rules(&m_rulesDs) {}

    std::unique_ptr<PhysicsData> build(const std::string& physics,
                                       BetaPhysicsManager* beta = nullptr) {
        m_physicsDs = std::make_unique<InternalTARNDatastore>(physics, InternalTARNDatastore::TEXT);
        return std::make_unique<PhysicsData>(m_physicsDs.get(), &m_rules, &m_functions, beta);
    }

    // The message of the exception that building throws, or "" when it builds.
    template <class E>
    std::string buildError(const std::string& physics) {
        return test::errorOf<E>([&] { build(physics); });
    }

    InternalTARNDatastore m_rulesDs;
    ModelRules m_rules;
    PhysicsFunctionStore m_functions;
    std::unique_ptr<InternalTARNDatastore> m_physicsDs;
};

TEST_F(PhysicsDataTest, BuildsAndWiresChecksListsAndGlobalChecks) {
    auto data = build(physicsText(kCheckData));
    EXPECT_EQ(data->getRules(), &m_rules);
    EXPECT_EQ(data->getCheckNames(),
              (Strings{"HasSize", "HotBeta", "IsHot", "LabelKnown", "NotHot", "UsesBeta"}));
    EXPECT_EQ(data->getListNames(), (Strings{"FixedLabels", "Labels"}));
    EXPECT_EQ(data->getGlobalCheckNames(), (Strings{"Sized"}));
    // Roots keep the written order and are not checked against the global check store.
    EXPECT_EQ(data->getPertinentGlobalCheckRoots(), (Strings{"Sized", "Labelled"}));

    EXPECT_EQ(data->getList("Nope", false), nullptr);
    EXPECT_THROW(data->getCheck("Nope", true), std::runtime_error);

    // References were resolved: the union list reaches the fixed list's values, and the
    // global check evaluates its check over a model.
    auto model = TARNModel::fromText("BOX: b1\n  Kind = Hot\nEND\nBOX: b2\n  Size = 1\nEND\n");
    EXPECT_THAT(data->getGlobalCheck("Sized", true)->evaluate(*model),
                ElementsAre(HasSubstr("A box needs a size")));

    // Without a beta manager a beta check is an ordinary check, and availability
    // questions get the plain check.
    EXPECT_EQ(data->getObjAvailCheck("UsesBeta", "LID", true), data->getCheck("UsesBeta", true));
    EXPECT_EQ(data->getParamAvailCheck("HotBeta", "Size", true), data->getCheck("HotBeta", true));
    EXPECT_EQ(data->getParamValAvailCheck("IsHot", "Kind", "Hot", true),
              data->getCheck("IsHot", true));
    EXPECT_EQ(data->getObjAvailCheck("Nope", "LID", false), nullptr);
    EXPECT_THROW(data->getParamAvailCheck("Nope", "Size", true), std::runtime_error);

    // The check engine set can outlive the physics data.
    std::shared_ptr<CheckEngineSet> engine = data->shareCheckEngineSet();
    Check* isHot = data->getCheck("IsHot", true);
    data.reset();
    EXPECT_EQ(engine->checks().get("IsHot", true), isHot);
    EXPECT_EQ(isHot->getName(), "IsHot");
}

TEST_F(PhysicsDataTest, RejectsNullInputs) {
    InternalTARNDatastore physics(physicsText(""), InternalTARNDatastore::TEXT);
    for (const auto& in : {std::pair<const TARNDatastore*, const ModelRules*>{nullptr, &m_rules},
                           {&physics, nullptr}}) {
        EXPECT_EQ(test::errorOf<PhysicsException>(
                      [&] { PhysicsData(in.first, in.second, &m_functions, nullptr); }),
                  "PhysicsData::PhysicsData - null input parameter.");
    }
    // The function store and the beta manager may be absent; empty check data still gives
    // the dependency store.
    const PhysicsData data(&physics, &m_rules, nullptr, nullptr);
    EXPECT_THAT(data.getCheckNames(), IsEmpty());
    EXPECT_THAT(data.getPertinentGlobalCheckRoots(), IsEmpty());
    EXPECT_NE(data.getObjDependDef("/BOX", true), nullptr);
}

// Errors of the check engine's products keep their text and gain the place of the item
// at fault: the key the message names, else the item, and the item's path.
TEST_F(PhysicsDataTest, CheckDataErrorsAreLocatedAtTheirItem) {
    const struct {
        const char* checkData;
        const char* message;
        const char* place;
    } rows[] = {
        {"CHECK: Untyped { Parameter = Kind }",
         "There is no Type field in the CHECK data of Untyped!",
         "<text>:3:1 /PHYSICS/CHECK DATA/CHECK:Untyped"},
        {"CHECK: Odd { Type = Parameter Value; Parameter = Kind; Value List = Hot; Test = Maybe }",
         "ParameterValueCheck::initialise - CHECK \"Odd\": key \"Test\" has unknown value "
         "\"Maybe\" (Equal, Not Equal, Set, Not Set).",
         "<text>:7:1 /PHYSICS/CHECK DATA/CHECK:Odd"},
        {"LIST: Odd { Type = Shuffled }", "Unknown List type: Shuffled",
         "<text>:4:1 /PHYSICS/CHECK DATA/LIST:Odd"},
        // A global check naming a check that does not exist fails while it resolves.
        {"GLOBAL CHECK: G { Type = For Each Object; Object Type = BOX; Check = Ghost; "
         "Message = m }",
         "Check of name Ghost not known.", "<text>:6:1 /PHYSICS/CHECK DATA/GLOBAL CHECK:G"},
        // Unknown names and cycles are found once every product exists, at no one item.
        {"CHECK: Known { Type = Value In List; Parameter = Label; List = Missing }\n"
         "CHECK: AlsoMissing { Type = Not; Check List = Ghost }",
         "PhysicsData::initialiseChecks - the following unrecognised objects are referenced "
         "in at least one existing CHECK or LIST: CHECK:Ghost,LIST:Missing",
         " "},
        {"CHECK: A { Type = Not; Check List = B }\n"
         "CHECK: B { Type = Value In List; Parameter = Label; List = L }\n"
         "LIST: L { Type = Parameter Values; Parameter = Label }\n"
         "LIST: U { Type = Union; List Names = U }",
         "PhysicsData::initialiseChecks - there are cyclic dependencies between the CHECK or LIST "
         "objects that have been defined. For example, the object \"LIST:U\" is in a cyclic "
         "subgraph.",
         " "},
    };
    for (const auto& row : rows) {
        const auto load = [&] { build(physicsText(test::tarn(row.checkData) + "\n")); };
        EXPECT_EQ(test::errorOf<PhysicsException>(load), row.message);
        EXPECT_EQ(test::placeOf<PhysicsException>(load), row.place) << row.message;
    }
}

TEST_F(PhysicsDataTest, DependencyErrorsAreLocatedAtTheirObject) {
    const std::string head = "PHYSICS:\n  CHECK DATA:\n  END\n  DEPENDENCIES:\n";
    const struct {
        const char* dependencies;
        const char* place;
    } rows[] = {
        // A list naming a parameter the type does not have.
        {"OBJECT DEPENDENCY: BOX { Ordered Allowed Option List = Hot, Cold\n"
         "Ordered Required Parameter List = Kind, Size, Ghost }",
         "<text>:5:1 /PHYSICS/DEPENDENCIES/OBJECT DEPENDENCY:BOX"},
        // A context child without its contexts: at the child.
        {"PARAMETER VALUES: Size\nPARAMVAL CONTEXT: one { Default Value = 1 }\nEND",
         "<text>:6:1 /PHYSICS/DEPENDENCIES/PARAMETER VALUES:Size/PARAMVAL CONTEXT:one"},
        {"PARAMETER VALUES: Label { Subset Allowed String List = L1 }",
         "<text>:5:1 /PHYSICS/DEPENDENCIES/PARAMETER VALUES:Label"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(test::placeOf<PhysicsException>(
                      [&] { build(head + test::tarn(row.dependencies) + "\n  END\nEND\n"); }),
                  row.place);
    }
}

TEST_F(PhysicsDataTest, PathQueriesSplitAtTheLastSlashAndValidPathsNeedBoth) {
    auto data = build(physicsText(kCheckData));
    const ObjDependDef* box = data->getObjDependDef("/BOX", true);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->getType(), "BOX");
    // LID has no data of its own; the RULES fill it in under /BOX.
    EXPECT_NE(data->getObjDependDef("/BOX/LID", false), nullptr);
    EXPECT_EQ(data->getObjDependDef("/TOP", false), nullptr);

    EXPECT_THROW(data->getObjDependDef("BOX", false), std::out_of_range);
    EXPECT_THROW(data->findEquivObjContexts("BOX"), std::out_of_range);
    EXPECT_THROW(data->findEquivParamContexts("Size"), std::out_of_range);

    EXPECT_THAT(data->findEquivObjContexts("/BOX"), ElementsAre("All Valid Contexts"));
    EXPECT_THAT(data->findEquivObjContexts("/TOP"), IsEmpty());

    EXPECT_EQ(data->getRequiredParams("/BOX:b1"), (Strings{"Kind", "Size"}));
    EXPECT_EQ(data->getOptionalParams("/BOX:b1"), (Strings{"Enabled", "Label"}));
    EXPECT_THAT(test::errorOf<PhysicsException>([&] { data->getRequiredParams("/TOP:t"); }),
                HasSubstr("no data to match requested context"));

    const ParamValueDef* size = data->getParamValueDef("/BOX", "Size", true);
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->getName(), "Size");
    EXPECT_EQ(data->getParamValueDef("/BOX", "Nope", false), nullptr);

    // Valid paths need both the RULES and the PHYSICS data.
    for (const char* path : {"/BOX:b1", "/BOX:b1/LID:l"})
        EXPECT_TRUE(data->isValidObjPath(path)) << path;
    // RULES reject an unnamed BOX (not a singleton), though PHYSICS data exists for BOX;
    // RULES accept TOP but the PHYSICS data has nothing for it.
    for (const char* path : {"/BOX", "/LID:l", "/TOP:t", "nopath"})
        EXPECT_FALSE(data->isValidObjPath(path)) << path;
    for (const char* path : {"/BOX:b1/Size", "/BOX:b1/Kind"})
        EXPECT_TRUE(data->isValidParamPath(path)) << path;
    for (const char* path : {"/BOX:b1/Nope", "/BOX/Size", "/LID:l/Size", "Size"})
        EXPECT_FALSE(data->isValidParamPath(path)) << path;
}

TEST_F(PhysicsDataTest, VerifyAdaptorAnswersFromTheRules) {
    const PhysicsData::DataVerifyAdaptor verify(&m_rules);
    EXPECT_EQ(verify.verifyParamValue("BOX", "Enabled", "yes"), 0);
    EXPECT_EQ(verify.verifyParamValue("BOX", "Enabled", "maybe"), 1);
    // The context rule parameter takes the type's allowed options.
    EXPECT_EQ(verify.verifyParamValue("BOX", "Kind", "Cold"), 0);
    EXPECT_EQ(verify.verifyParamValue("BOX", "Kind", "Warm"), 1);
    EXPECT_EQ(verify.verifyParamValue("BOX", "Label", "L2"), 0);
    EXPECT_EQ(verify.verifyParamValue("BOX", "Label", "L3"), 1);
    EXPECT_EQ(verify.verifyParamValue("BOX", "Size", "anything"), 2);

    // Check data is verified through the adaptor while it is built.
    EXPECT_THAT(buildError<std::runtime_error>(physicsText(test::tarn(R"(
    CHECK: BadValue { Type = Parameter Value; Object Type = BOX; Parameter = Kind
      Value List = Warm }
)"))),
                HasSubstr("Warm"));
}

// Data as authors write it, loaded with validation on: parameters, children and options
// whose names hold blanks, named in check lists (read without blanks) and offered as allowed
// values; and a context-rule type at the top whose data leaves its options to the RULES.
using Params = std::map<std::string, std::string>;

// ROOT -> HEATER (top level; "Analysis Kind" picks "Steady State" or "Transient"; a time
// step and probe points only when transient) -> SENSOR UNIT ("Reading" picks "On Demand" or
// "Always"), PROBE POINT. TWIN is not in any model: its names collide once blanks are removed.
const std::string kBlankRules = test::tarn(R"(
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

const std::string kBlankChecks = test::tarn(R"(
  CHECK DATA:
    CHECK: IsHot { Type = Constant; Value = true }
    CHECK: IsCold { Type = Constant; Value = false }
  END
)");

class BlankNamesAndTopLevelOptionsTest : public PhysicsDataTest {
protected:
    BlankNamesAndTopLevelOptionsTest() : PhysicsDataTest(kBlankRules) {}

    // PhysicsData over the checks and one OBJECT DEPENDENCY of HEATER with these keys
    // ("Key = value; ..."), and the further dependency objects given (test::tarn text).
    PhysicsData& load(const std::string& heaterKeys, const std::string& more = "") {
        m_physicsDs = std::make_unique<InternalTARNDatastore>(
            test::tarn("PHYSICS:\n" + kBlankChecks +
                       "  DEPENDENCIES:\n    OBJECT DEPENDENCY: HEATER {" + heaterKeys + "}\n" +
                       more + "  END\nEND\n"),
            InternalTARNDatastore::TEXT);
        m_data = std::make_unique<PhysicsData>(m_physicsDs.get(), &m_rules, &m_functions, nullptr,
                                               PhysicsDataOptions{true});
        return *m_data;
    }

    std::string failure(const std::string& heaterKeys) {
        return test::errorOf<PhysicsException>([&] { load(heaterKeys); });
    }

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
