#include <kel/physicsdata/store/ContextVerifier.h>

#include <kel/physicsdata/dependency/ObjDependDef.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/InternalTARNDatastore.h>

#include "FakeCheckEngine.h"
#include "ObjDependDefTestData.h"
#include "TestSupport.h"

namespace kel {
namespace {

using Lines = std::vector<std::string>;

// FLOW, BOUNDARY, PATCH, PROBE, FLUID and MATERIAL are named types; SOLVER is a singleton,
// so it can never provide context. BOUNDARY sits at /FLOW/SOLVER/BOUNDARY.
const std::string kRules = test::tarn(R"(
RULES:
  PARAMETER: Mode { Parameter Type = String }
  PARAMETER: Kind { Parameter Type = String }
  PARAMETER: Scheme { Parameter Type = String }
  PARAMETER: Label { Parameter Type = String }
  PARAMETER: Size { Parameter Type = Real }
  PARAMETER: Names { Parameter Type = String List }
  SINGLETON: ROOT { Optional Child List = FLOW }
  OBJECT: FLOW { Optional Parameter List = Mode; Optional Child List = SOLVER, FLUID, MATERIAL }
  SINGLETON: SOLVER { Optional Child List = BOUNDARY }
  OBJECT: FLUID { Optional Parameter List = Names }
  OBJECT: MATERIAL {}
  OBJECT: BOUNDARY { Essential Parameter List = Kind
    Optional Parameter List = Size, Scheme, Label; Optional Child List = PATCH, PROBE }
  OBJECT: PATCH {}
  OBJECT: PROBE {}
END
)");

// Real engine products. Required contexts: Plain, ByPath, HasPatch, FixedNames none; InFlow FLOW;
// NeedsFluid, NotInFluid, BetaFluid, FluidNames, AllNames FLUID; NeedsMaterial MATERIAL;
// NeedsFluidAndMaterial FLOW, FLUID, MATERIAL; SelfBoundary BOUNDARY; InSolver SOLVER.
const std::string kPhysics = test::tarn(R"(
PHYSICS:
  CHECK DATA:
    CHECK: Plain { Type = Numeric Test; Parameter = Size; Operator = >; Value = 1 }
    CHECK: ByPath { Type = Parameter Value; Parameter = Mode; Value List = fast
      Object Path = /FLOW }
    CHECK: InFlow { Type = Parameter Value; Parameter = Mode; Value List = fast
      Object Type = FLOW }
    CHECK: NeedsFluid { Type = Parameter Value; Parameter = Names; Test = Set; Value List = x
      Object Type = FLUID }
    CHECK: HasPatch { Type = Child Exists; Object Type = PATCH }
    CHECK: NeedsMaterial { Type = Parameter Value; Parameter = Mode; Value List = solid
      Object Type = MATERIAL }
    CHECK: NeedsFluidAndMaterial { Type = All
      Check List = ByPath, InFlow, NeedsFluid, NeedsMaterial }
    CHECK: NotInFluid { Type = Not; Check List = NeedsFluid }
    CHECK: BetaFluid { Type = Beta; Message = fluid probes are new; Check = NeedsFluid }
    CHECK: SelfBoundary { Type = Numeric Test; Parameter = Size; Operator = <; Value = 5
      Object Type = BOUNDARY }
    CHECK: InSolver { Type = Parameter Value; Parameter = Scheme; Value List = implicit
      Object Type = SOLVER }
    LIST: FixedNames { Type = Fixed; Value List = a, b }
    LIST: FluidNames { Type = Parameter Values; Parameter = Names; Object Type = FLUID }
    LIST: AllNames { Type = Union; List Names = FixedNames, FluidNames }
  END
END
)");

const std::string kBoundaryPath = "/FLOW/SOLVER/BOUNDARY";

std::string unsatisfied(const std::string& types) {
    return " [ Unsatisfied context: " + types + " ]";
}

class ContextVerifierTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const InternalTARNDatastore ds(kRules, InternalTARNDatastore::TEXT);
        s_rules = std::make_unique<ModelRules>(&ds);
        s_source = std::make_unique<testing::ObjDependDefTestSource>(kPhysics);
    }
    static void TearDownTestSuite() {
        s_source.reset();
        s_rules.reset();
    }

    ContextVerifierTest() : m_verifier(s_rules->getNamedObjectTypes(), s_source.get()) {}

    // Definitions of keys written "Key = value; ...".
    static std::unique_ptr<ObjDependDef> objDef(const std::string& type, const char* keys) {
        return std::make_unique<ObjDependDef>(type, test::params(keys), s_rules.get(),
                                              s_source.get(), false);
    }
    static std::unique_ptr<ParamValueDef> valueDef(const std::string& name, const char* keys) {
        return std::make_unique<ParamValueDef>(name, "BOUNDARY", test::params(keys), s_rules.get(),
                                               s_source.get(), false);
    }

    // A BOUNDARY definition using checks and lists of every context kind.
    static std::unique_ptr<ObjDependDef> boundaryDef() {
        return objDef(
            "BOUNDARY",
            "Ordered Required Parameter List = Kind; "
            "Ordered Optional Parameter List = Size, Scheme; "
            "Parameter Check List = Size, (NotInFluid, BetaFluid), Scheme, (Plain, InSolver); "
            "Ordered Optional Child List = PROBE, PATCH; "
            "Child Check List = PROBE, (InFlow, NeedsFluidAndMaterial), "
            "PATCH, (SelfBoundary, NeedsFluid), PATCH, NeedsFluid; "
            "Child Name List = PROBE, FluidNames, PATCH, FixedNames");
    }

    static std::unique_ptr<ModelRules> s_rules;
    static std::unique_ptr<testing::ObjDependDefTestSource> s_source;
    ContextVerifier m_verifier;
};

std::unique_ptr<ModelRules> ContextVerifierTest::s_rules;
std::unique_ptr<testing::ObjDependDefTestSource> ContextVerifierTest::s_source;

TEST_F(ContextVerifierTest, DefinitionsWithoutChecksOrListsYieldNothing) {
    EXPECT_THAT(
        m_verifier.verifyObjDependChecks(kBoundaryPath + "/PATCH", objDef("PATCH", "").get()),
        IsEmpty());
    EXPECT_THAT(m_verifier.verifyParamValChecks(kBoundaryPath, valueDef("Scheme", "").get()),
                IsEmpty());
    EXPECT_THAT(m_verifier.verifyParamValChecks(
                    kBoundaryPath,
                    valueDef("Scheme", "Ordered Allowed String List = Upwind, Central").get()),
                IsEmpty());
}

TEST_F(ContextVerifierTest, ObjectDependencyWarningsInGroupAndSubjectOrder) {
    auto def = boundaryDef();
    // Path FLOW (named), SOLVER (singleton), BOUNDARY (named, the object itself): checks
    // needing FLOW or BOUNDARY are satisfied, those without context never warn. PATCH's
    // NeedsFluid is written twice and reported twice; a singleton type never counts.
    EXPECT_THAT(
        m_verifier.verifyObjDependChecks(kBoundaryPath, def.get()),
        ElementsAre(
            "Availability of child PATCH depends on CHECK NeedsFluid", unsatisfied("FLUID"),
            "Availability of child PATCH depends on CHECK NeedsFluid", unsatisfied("FLUID"),
            "Availability of child PROBE depends on CHECK NeedsFluidAndMaterial",
            unsatisfied("FLUID,MATERIAL"), "Availability of child PROBE depends on LIST FluidNames",
            unsatisfied("FLUID"), "Availability of parameter Scheme depends on CHECK InSolver",
            unsatisfied("SOLVER"), "Availability of parameter Size depends on CHECK NotInFluid",
            unsatisfied("FLUID"), "Availability of parameter Size depends on CHECK BetaFluid",
            unsatisfied("FLUID")));
}

TEST_F(ContextVerifierTest, AncestorsOfNamedTypesProvideContext) {
    auto def = boundaryDef();
    // The same definition evaluated below FLUID and MATERIAL: only the singleton remains.
    const ContextVerifier copy = m_verifier;
    EXPECT_THAT(copy.verifyObjDependChecks("/FLOW/FLUID/MATERIAL/SOLVER/BOUNDARY", def.get()),
                ElementsAre("Availability of parameter Scheme depends on CHECK InSolver",
                            unsatisfied("SOLVER")));

    // Without FLOW on the path the conjunction also lacks it, in ascending order; and
    // BOUNDARY no longer being the object, SelfBoundary warns too.
    const Lines lines = m_verifier.verifyObjDependChecks("/SOLVER/PATCH", def.get());
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[0], "Availability of child PATCH depends on CHECK SelfBoundary");
    EXPECT_EQ(lines[1], unsatisfied("BOUNDARY"));
    EXPECT_THAT(lines, ::testing::Contains(unsatisfied("FLOW,FLUID,MATERIAL")));
}

TEST_F(ContextVerifierTest, ParameterValueWarningsCoverAllowedValuesDefaultsAndOverrides) {
    auto def = valueDef("Scheme",
                        "Ordered Allowed String List = Upwind, Central, Implicit; "
                        "Allowed String List Checks = "
                        "Central, NeedsMaterial, Implicit, (SelfBoundary, HasPatch); "
                        "Default Value Check List = *FluidNames, InFlow, Upwind, NeedsFluid; "
                        "Value Override Check List = Central, NeedsFluidAndMaterial");
    // Checks in ascending name order, then lists.
    EXPECT_THAT(
        m_verifier.verifyParamValChecks(kBoundaryPath, def.get()),
        ElementsAre("Value of parameter Scheme depends on CHECK NeedsFluid", unsatisfied("FLUID"),
                    "Value of parameter Scheme depends on CHECK NeedsFluidAndMaterial",
                    unsatisfied("FLUID,MATERIAL"),
                    "Value of parameter Scheme depends on CHECK NeedsMaterial",
                    unsatisfied("MATERIAL"), "Value of parameter Scheme depends on LIST FluidNames",
                    unsatisfied("FLUID")));
    EXPECT_THAT(m_verifier.verifyParamValChecks("/FLOW/FLUID/MATERIAL/BOUNDARY", def.get()),
                IsEmpty());

    // List sources (a union inherits its members' context).
    auto label =
        valueDef("Label", "Value List Source = AllNames; Subset Value List Source = FixedNames");
    EXPECT_THAT(
        m_verifier.verifyParamValChecks(kBoundaryPath, label.get()),
        ElementsAre("Value of parameter Label depends on LIST AllNames", unsatisfied("FLUID")));
    EXPECT_THAT(m_verifier.verifyParamValChecks("/FLOW/FLUID/BOUNDARY", label.get()), IsEmpty());
}

TEST_F(ContextVerifierTest, NamesTheSourceDoesNotHoldPropagateItsError) {
    const testing::FakeSource empty;
    const ContextVerifier verifier(s_rules->getNamedObjectTypes(), &empty);
    EXPECT_THROW(verifier.verifyObjDependChecks(kBoundaryPath, boundaryDef().get()),
                 std::runtime_error);
    auto listOnly = valueDef("Label", "Value List Source = AllNames");
    EXPECT_THROW(verifier.verifyParamValChecks(kBoundaryPath, listOnly.get()), std::runtime_error);
    // Nothing to resolve, nothing thrown.
    EXPECT_THAT(verifier.verifyObjDependChecks(kBoundaryPath, objDef("PATCH", "").get()),
                IsEmpty());
}

}  // namespace
}  // namespace kel
