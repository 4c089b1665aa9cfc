#include <kel/physicsdata/store/DependencyStore.h>

#include <kel/exception/PhysicsException.h>
#include <kel/physicsdata/dependency/ObjDependDef.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsdata/physics/PhysicsDataOptions.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsdata/store/ContextVerifier.h>
#include <kel/physicsdata/store/ParentContextHolder.h>
#include <kel/physicsutils/InternalTARNDatastore.h>
#include "FakeCheckEngine.h"

#include "ObjDependDefTestData.h"
#include "TestSupport.h"

namespace kel {
namespace {

// MATERIAL sits under FLOW and under DOMAIN and owns a local Temperature; BOUNDARY has the
// context rule Kind, with an option that holds a blank.
const std::string kRules = test::tarn(R"(
RULES:
  PARAMETER: Kind { Parameter Type = String }
  PARAMETER: Colour { Parameter Type = String }
  PARAMETER: Size { Parameter Type = Real }
  PARAMETER: Temperature { Parameter Type = Real }
  SINGLETON: ROOT { Optional Child List = FLOW }
  SINGLETON: FLOW { Optional Child List = DOMAIN, MATERIAL; Optional Parameter List = Size }
  OBJECT: DOMAIN { Optional Child List = BOUNDARY, MATERIAL
    Optional Parameter List = Size, Colour }
  OBJECT: MATERIAL
    Optional Parameter List = Colour, Temperature
    PARAMETER: Temperature { Lower Bound = 0 }
  END
  OBJECT: BOUNDARY
    Context Rule = Kind
    Allowed Option List = Inlet, Wall, Free Slip
    Essential Parameter List = Kind
    CONTEXT: Inlet { Optional Parameter List = Temperature }
    CONTEXT: Wall { Optional Parameter List = Colour }
  END
END
)");

// InDomain reads Size from the enclosing DOMAIN, so it needs DOMAIN on the object's path.
const std::string kChecks = test::tarn(R"(
PHYSICS:
  CHECK DATA:
    CHECK: IsBig { Type = Numeric Test; Parameter = Size; Operator = >; Value = 10 }
    CHECK: InDomain { Type = Numeric Test; Parameter = Size; Object Type = DOMAIN; Operator = >
      Value = 1 }
    LIST: Colours { Type = Fixed; Value List = red, blue }
    LIST: Names { Type = Fixed; Value List = b1 }
  END
END
)");

const std::string kFlow = test::tarn(R"(
    OBJECT DEPENDENCY: FLOW { Ordered Optional Child List = DOMAIN, MATERIAL
      Ordered Optional Parameter List = Size }
)");
const std::string kDomain = test::tarn(R"(
    OBJECT DEPENDENCY: DOMAIN { Ordered Optional Parameter List = Size, Colour
      Parameter Check List = Colour, IsBig; Ordered Optional Child List = BOUNDARY, MATERIAL
      Child Name List = BOUNDARY, Names }
)");
const std::string kMaterial = test::tarn(R"(
    OBJECT DEPENDENCY: MATERIAL
      OBJDEP CONTEXT: top { Parent Context List = /FLOW; Ordered Optional Parameter List = Colour }
      OBJDEP CONTEXT: rest { Parent Context List = Default
        Ordered Optional Parameter List = Colour, Temperature
        Parameter Check List = Temperature, InDomain }
    END
)");
const std::string kBoundary = test::tarn(R"(
    OBJECT DEPENDENCY: BOUNDARY { Ordered Allowed Option List = Inlet, Wall; Default Option = Wall
      Ordered Required Parameter List = Kind
      Ordered Optional Parameter List = Temperature, Colour }
)");
const std::string kColour = test::tarn(R"(
    PARAMETER VALUES: Colour { Parameter Type = String; Value List Source = Colours }
)");

std::string physics(const std::string& dependencies) {
    std::string text = kChecks;
    return text + "PHYSICS:\n  DEPENDENCIES:\n" + dependencies + "  END\nEND\n";
}

std::string fullData() {
    return std::string(kFlow) + kDomain + kMaterial + kBoundary + kColour;
}

class DependencyStoreTest : public ::testing::Test {
protected:
    std::unique_ptr<DependencyStore> build(const std::string& dependencies) {
        const std::string text = physics(dependencies);
        m_source = std::make_unique<testing::ObjDependDefTestSource>(text);
        const InternalTARNDatastore ds(text, InternalTARNDatastore::TEXT);
        if (m_fromEnvironment)
            return std::make_unique<DependencyStore>(&ds, &m_rules, m_source.get());
        return std::make_unique<DependencyStore>(&ds, &m_rules, m_source.get(), m_options);
    }
    std::string error(const std::string& dependencies) {
        return test::errorOf([&] { build(dependencies); });
    }

    InternalTARNDatastore m_rulesDs{kRules, InternalTARNDatastore::TEXT};
    ModelRules m_rules{&m_rulesDs};
    std::unique_ptr<testing::ObjDependDefTestSource> m_source;
    PhysicsDataOptions m_options;
    bool m_fromEnvironment = false;  // switches read from the environment, not m_options
};

TEST_F(DependencyStoreTest, FindsDefinitionsByParentContext) {
    auto store = build(fullData());
    const ObjDependDef* flow = store->getObjDependDef("", "FLOW", true);
    EXPECT_EQ(flow->getType(), "FLOW");
    const ObjDependDef* top = store->getObjDependDef("/FLOW", "MATERIAL", true);
    const ObjDependDef* nested = store->getObjDependDef("/FLOW/DOMAIN", "MATERIAL", true);
    EXPECT_NE(top, nested);
    EXPECT_THAT(top->getOrderedParamNames(), ElementsAre("Colour"));
    EXPECT_THAT(nested->getOrderedParamNames(), ElementsAre("Colour", "Temperature"));

    EXPECT_THAT(store->findEquivObjContexts("", "FLOW"), ElementsAre("All Valid Contexts"));
    EXPECT_THAT(store->findEquivObjContexts("/FLOW", "MATERIAL"), ElementsAre("/FLOW"));
    EXPECT_THAT(store->findEquivObjContexts("/FLOW/DOMAIN", "MATERIAL"), ElementsAre("Default"));

    EXPECT_EQ(store->getObjDependDef("/FLOW", "BOUNDARY", false), nullptr);
    EXPECT_THAT([&] { store->getObjDependDef("/FLOW", "BOUNDARY", true); },
                ThrowsMessage<PhysicsException>(
                    StrEq("DependencyStore::getObjDependDef - no data to match requested context "
                          "(/FLOW) for object (BOUNDARY)")));
    EXPECT_THAT(store->findEquivObjContexts("/FLOW", "BOUNDARY"), IsEmpty());

    // The checks and lists the definitions name replace what the sets held.
    std::set<std::string> checks{"stale"};
    std::set<std::string> lists{"stale"};
    store->getRefdCheckAndListNames(&checks, &lists);
    EXPECT_THAT(checks, ElementsAre("InDomain", "IsBig"));
    EXPECT_THAT(lists, ElementsAre("Colours", "Names"));
    store->getRefdCheckAndListNames(nullptr, &lists);
    EXPECT_THAT(lists, ElementsAre("Colours", "Names"));
    // The visiting form names the same ones (each at least once); an unset visitor is skipped.
    std::set<std::string> visitedChecks;
    std::set<std::string> visitedLists;
    store->forEachRefdCheckAndListName([&](const std::string& name) { visitedChecks.insert(name); },
                                       [&](const std::string& name) { visitedLists.insert(name); });
    EXPECT_EQ(visitedChecks, checks);
    EXPECT_EQ(visitedLists, lists);
    visitedLists.clear();
    store->forEachRefdCheckAndListName(nullptr,
                                       [&](const std::string& name) { visitedLists.insert(name); });
    EXPECT_EQ(visitedLists, lists);

    // Parameter definitions split by local RULES definition. Colour has no local RULES definition
    // anywhere: one definition serves every owner.
    const ParamValueDef* colour = store->getParamValueDef("/FLOW/DOMAIN", "Colour", true);
    EXPECT_EQ(colour->getValueListSourceName(), "Colours");
    EXPECT_EQ(store->getParamValueDef("/FLOW/MATERIAL", "Colour", true), colour);
    EXPECT_EQ(store->getParamValueDef("/FLOW/DOMAIN/BOUNDARY", "Colour", true), colour);
    EXPECT_THAT(store->findEquivParamContexts("/FLOW/MATERIAL", "Colour"),
                ElementsAre("All Valid Contexts"));

    // Temperature is local to MATERIAL: its two contexts share one definition, BOUNDARY
    // gets another. No PARAMETER VALUES data: both are built from RULES alone.
    const ParamValueDef* material = store->getParamValueDef("/FLOW/MATERIAL", "Temperature", true);
    EXPECT_EQ(store->getParamValueDef("/FLOW/DOMAIN/MATERIAL", "Temperature", true), material);
    EXPECT_NE(store->getParamValueDef("/FLOW/DOMAIN/BOUNDARY", "Temperature", true), material);
    EXPECT_EQ(material->getFixedBounds().first, "0");
    EXPECT_THAT(store->findEquivParamContexts("/FLOW/MATERIAL", "Temperature"),
                ElementsAre("/FLOW/DOMAIN/MATERIAL", "/FLOW/MATERIAL"));

    EXPECT_EQ(store->getParamValueDef("/FLOW", "Colour", false), nullptr);
    EXPECT_THAT([&] { store->getParamValueDef("/FLOW", "Colour", true); },
                ThrowsMessage<PhysicsException>(
                    StrEq("DependencyStore::getParamValueDef - no data to match requested context "
                          "(/FLOW) for parameter named Colour.")));
    EXPECT_THAT(store->findEquivParamContexts("/FLOW", "Colour"), IsEmpty());

    // The context rule parameter gets a String definition of the options used.
    const ParamValueDef* kind = store->getParamValueDef("/FLOW/DOMAIN/BOUNDARY", "Kind", true);
    EXPECT_EQ(kind->getType(), TARNParam::String);
    EXPECT_THAT(kind->getAllAllowedValues(), ElementsAre("Inlet", "Wall"));
    EXPECT_EQ(kind->getFixedDefault(), "Wall");
}

TEST_F(DependencyStoreTest, InvalidContextsRemoveDefinitions) {
    // DOMAIN leaves MATERIAL unused: no MATERIAL may exist under /FLOW/DOMAIN. The object's
    // own invalid contexts and a PARAMETER VALUES object's work the same way.
    const std::string domain = test::tarn(R"(
    OBJECT DEPENDENCY: DOMAIN { Ordered Optional Parameter List = Size, Colour
      Ordered Optional Child List = BOUNDARY; Unused Child List = MATERIAL }
    PARAMETER VALUES: Colour { Invalid Parent Context List = /FLOW/MATERIAL
      Parameter Type = String }
)");
    auto store = build(std::string(kFlow) + domain + kMaterial + kBoundary);
    EXPECT_NE(store->getObjDependDef("/FLOW", "MATERIAL", false), nullptr);
    EXPECT_EQ(store->getObjDependDef("/FLOW/DOMAIN", "MATERIAL", false), nullptr);
    EXPECT_EQ(store->getParamValueDef("/FLOW/MATERIAL", "Colour", false), nullptr);
    EXPECT_NE(store->getParamValueDef("/FLOW/DOMAIN/MATERIAL", "Colour", false), nullptr);
}

TEST_F(DependencyStoreTest, ParserErrors) {
    const std::string twice = test::tarn(R"(
    OBJECT DEPENDENCY: MATERIAL
      OBJDEP CONTEXT: one { Parent Context List = /FLOW }
      OBJDEP CONTEXT: two { Parent Context List = /FLOW }
    END
)");
    EXPECT_EQ(error(twice),
              "ObjDependParser : onContextData - failed to add ObjDependDef object type MATERIAL "
              "to store.");

    const std::string paramTwice = test::tarn(R"(
    PARAMETER VALUES: Colour
      PARAMVAL CONTEXT: one { Parent Context List = /FLOW/DOMAIN }
      PARAMVAL CONTEXT: two { Parent Context List = /FLOW/DOMAIN, /FLOW/MATERIAL }
    END
)");
    EXPECT_EQ(error(paramTwice),
              "ParamValParser : addParam - failed to add ParamValueDef object named Colour to "
              "store.");
}

class DependencyStoreValidationTest : public DependencyStoreTest {
protected:
    DependencyStoreValidationTest() { m_options.validate = true; }
};

TEST_F(DependencyStoreValidationTest, MissingChildDefinitionsAreCollected) {
    const std::string noBoundary = std::string(kFlow) + kDomain + kMaterial + kColour;
    EXPECT_EQ(error(noBoundary),
              "DependencyStore::Impl::checkConsistency - there are inconsistencies in the "
              "dependency data in the PHYSICS file. The following errors were detected:\n\n"
              "The object type \"DOMAIN\" is recoverable from the ObjDependDef store with parent "
              "context /FLOW, but the child object \"BOUNDARY\" that it references is not "
              "recoverable from the ObjDependDef store with parent context /FLOW/DOMAIN.");
    // Located at the first OBJECT DEPENDENCY at fault, the header of DOMAIN (line 35).
    EXPECT_EQ(test::placeOf<PhysicsException>([&] { build(noBoundary); }),
              "<text>:35:5 /PHYSICS/DEPENDENCIES/OBJECT DEPENDENCY:DOMAIN");
}

TEST_F(DependencyStoreValidationTest, MissingParameterDefinitionFailsAtOnce) {
    // Colour is defined for DOMAIN only, but MATERIAL and BOUNDARY use it as well.
    const std::string domainOnly = test::tarn(R"(
    PARAMETER VALUES: Colour
      PARAMVAL CONTEXT: here { Parent Context List = /FLOW/DOMAIN; Parameter Type = String }
    END
)");
    EXPECT_EQ(error(std::string(kFlow) + kDomain + kMaterial + kBoundary + domainOnly),
              "DependencyStore::getObjDependDef - cannot retrieve parameter values for parameter "
              "Colour under object path /FLOW/DOMAIN/BOUNDARY");
}

TEST_F(DependencyStoreValidationTest, UnusedPhysicsReport) {
    const std::string colour = test::tarn(R"(
    PARAMETER VALUES: Colour { Parameter Type = String; Ordered Allowed String List = red, blue
      Unused Allowed String List = green }
)");
    const std::string data = std::string(kFlow) + kDomain + kMaterial + kBoundary + colour;
    // The environment switches: without validation the dump switch does nothing.
    m_fromEnvironment = true;
    const test::EnvGuard dump{DependencyStore::s_dumpUnusedEnv, true};
    {
        const test::EnvGuard off{DependencyStore::s_validateDataEnv, false};
        ::testing::internal::CaptureStdout();
        build(data);
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    }
    const test::EnvGuard on{DependencyStore::s_validateDataEnv, true};
    ::testing::internal::CaptureStdout();
    build(data);
    const std::string out = ::testing::internal::GetCapturedStdout();
    // FLOW leaves nothing unused: not even its header is written.
    EXPECT_EQ(out,
              "UNUSED PHYSICS: DOMAIN parent ctxt (/FLOW)\n"
              "UNUSED PHYSICS:     Param Colour -- Unused allowed values : green\n\n"
              "UNUSED PHYSICS: BOUNDARY parent ctxt (/FLOW/DOMAIN)\n"
              "UNUSED PHYSICS:     Unused allowed options : Free Slip\n"
              "UNUSED PHYSICS:     Param Colour -- Unused allowed values : green\n\n"
              "UNUSED PHYSICS: MATERIAL parent ctxt (/FLOW/DOMAIN)\n"
              "UNUSED PHYSICS:     Param Colour -- Unused allowed values : green\n\n"
              "UNUSED PHYSICS: MATERIAL parent ctxt (/FLOW)\n"
              "UNUSED PHYSICS:     Unused parameters : Temperature\n"
              "UNUSED PHYSICS:     Param Colour -- Unused allowed values : green\n\n");
}

// "prefix" followed by n, built by appending: GCC 12 falsely flags "literal" +
// std::to_string(n) as overlapping copies when optimising.
std::string numbered(const char* prefix, int n) {
    std::string text(prefix);
    text += std::to_string(n);
    return text;
}

// Dependencies for the ladder of test::ladderRules, whose bottom of n levels has 2^(n-1)
// parent type paths, far more than can be listed: all must be filed and found by pattern.
// Context-free data for every type except the bottom A, which has its own data on the
// all-A path and "Default" data elsewhere; p has its own values on one zigzag path.
std::string ladderDependencies(int levels, const std::string& allA, const std::string& zigzag) {
    std::string text;
    for (int i = 1; i <= levels; ++i) {
        for (const char* t : {"A", "B"}) {
            text += "OBJECT DEPENDENCY: ";
            text += numbered(t, i);
            if (i == levels && *t == 'A') {
                text += "\nOBJDEP CONTEXT: all a { Parent Context List = ";
                text += allA;
                text +=
                    " }\nOBJDEP CONTEXT: rest { Parent Context List = Default; "
                    "Ordered Optional Parameter List = p }\nEND\n";
                continue;
            }
            text += " { Ordered Optional Parameter List = p";
            if (i < levels) {
                text += "; Ordered Optional Child List = ";
                text += numbered("A", i + 1);
                text += numbered(", B", i + 1);
            }
            text += " }\n";
        }
    }
    text += "PARAMETER VALUES: p\nPARAMVAL CONTEXT: zigzag { Parent Context List = ";
    text += zigzag;
    text +=
        "; Ordered Allowed String List = z }\nPARAMVAL CONTEXT: rest { "
        "Parent Context List = Default; Ordered Allowed String List = x, y }\nEND\n";
    return test::tarn(text);
}

// "/X1/Y2/X3..." over levels first..last, alternating from the given letter when zigzag.
std::string ladderPath(int last, bool zigzag) {
    std::string path;
    for (int i = 1; i <= last; ++i)
        path += numbered(zigzag && i % 2 == 0 ? "/B" : "/A", i);
    return path;
}

// The ladder's RULES and dependencies loaded into a store, validated.
struct Ladder {
    explicit Ladder(int levels)
        : rulesDs(test::ladderRules(levels), InternalTARNDatastore::TEXT),
          allA(ladderPath(levels - 1, false)),
          zigzag(ladderPath(levels - 1, true)),
          text(physics(ladderDependencies(levels, allA, zigzag))),
          source(text),
          ds(text, InternalTARNDatastore::TEXT),
          store(&ds, &rules, &source, PhysicsDataOptions{true}) {}

    InternalTARNDatastore rulesDs;
    ModelRules rules{&rulesDs};
    std::string allA, zigzag, text;
    testing::ObjDependDefTestSource source;
    InternalTARNDatastore ds;
    DependencyStore store;
};

TEST(DependencyStoreLadderTest, FilesAndFindsDefinitionsByPatternInLinearTime) {
    for (const int levels : {12, 24, 40}) {
        SCOPED_TRACE(levels);
        const Ladder ladder(levels);
        const DependencyStore& store = ladder.store;
        const std::string bottom = numbered("A", levels);
        const std::string& allA = ladder.allA;
        const std::string& zigzag = ladder.zigzag;

        const ObjDependDef* own = store.getObjDependDef(allA, bottom, true);
        const ObjDependDef* rest = store.getObjDependDef(zigzag, bottom, true);
        EXPECT_NE(own, rest);
        EXPECT_THAT(own->getOrderedParamNames(), IsEmpty());
        EXPECT_THAT(rest->getOrderedParamNames(), ElementsAre("p"));
        EXPECT_EQ(
            store.getObjDependDef(ladderPath(levels - 2, true).append(numbered("/A", levels - 1)),
                                  bottom, false),
            rest);
        // Not parent type paths of the bottom type: a level skipped, a repeated level.
        EXPECT_EQ(store.getObjDependDef(ladderPath(levels - 2, true), bottom, false), nullptr);
        EXPECT_EQ(store.getObjDependDef(zigzag + "/A1", bottom, false), nullptr);

        // p's contexts are the type paths of its owners.
        const ParamValueDef* zig = store.getParamValueDef(zigzag, "p", true);
        const ParamValueDef* other = store.getParamValueDef(zigzag + "/" + bottom, "p", true);
        EXPECT_NE(zig, other);
        EXPECT_EQ(store.getParamValueDef(allA, "p", true), other);
        EXPECT_EQ(store.getParamValueDef(allA + "/C", "p", false), nullptr);
        // Every type's own definition, the bottom A's second one; p's two.
        EXPECT_EQ(store.countObjDependDefs(), static_cast<std::size_t>(2 * levels + 1));
        EXPECT_EQ(store.countParamValueDefs(), 2u);
        if (levels > 12) continue;

        // Few enough levels to list: the bottom's 2048 paths, filed by pattern, all match.
        std::size_t restCount = 0;
        for (const std::string& context : ladder.rules.enumerateParentTypePaths(bottom, false)) {
            const ObjDependDef* def = store.getObjDependDef(context, bottom, true);
            restCount += def == rest;
            EXPECT_EQ(def == rest, context != allA) << context;
        }
        EXPECT_EQ(restCount, 2047u);
        EXPECT_THAT(store.findEquivObjContexts(allA, bottom), ElementsAre(allA));
        EXPECT_THAT(store.findEquivObjContexts(zigzag, bottom), ElementsAre("Default"));
    }
}

// ParentContextHolder, the filing the store does per definition kind.

// A definition stand-in that counts live instances, to see when the holder frees it.
struct Item {
    explicit Item(int* live) : m_live(live) { ++*m_live; }
    ~Item() { --*m_live; }
    int* m_live;
};

class ParentContextHolderTest : public ::testing::Test {
protected:
    std::shared_ptr<Item> item() { return std::make_shared<Item>(&m_live); }

    int m_live = 0;
    ParentContextHolder<Item> m_holder{true};
};

TEST_F(ParentContextHolderTest, FilesOneItemUnderEveryContextAndKeepsTheFirstOnAClash) {
    // An empty context list files nothing and does not make the item a default yet.
    auto first = item();
    EXPECT_TRUE(m_holder.addItem("B", {}, first, true));
    EXPECT_THAT(m_holder.getDistinctItems(), IsEmpty());
    EXPECT_TRUE(m_holder.addItem("B", {"/A", "/C"}, first, true));
    EXPECT_EQ(m_holder.find("/A", "B"), first.get());
    EXPECT_EQ(m_holder.find("/C", "B"), first.get());
    EXPECT_EQ(m_holder.find("/A", "X"), nullptr);

    // The clashing key keeps the old item; the new key is still filed.
    auto second = item();
    EXPECT_FALSE(m_holder.addItem("B", {"/C", "/D"}, second, false));
    EXPECT_EQ(m_holder.find("/C", "B"), first.get());
    EXPECT_EQ(m_holder.find("/D", "B"), second.get());
    EXPECT_EQ(m_holder.getDistinctItems().size(), 2u);

    // An item is a default once.
    EXPECT_THAT([&] { m_holder.addItem("B", {"/E"}, first, true); },
                ThrowsMessage<PhysicsException>(
                    StrEq("Failed to add item B to the default context set in the "
                          "ParentContextHolder (does this mean we have two default contexts?)")));
}

TEST_F(ParentContextHolderTest, InvalidContextsHideItemsThenRationaliseDropsThem) {
    m_holder.addItem("B", {"/A", "/C"}, item(), false);
    m_holder.addItem("B", {"/X"}, item(), false);
    m_holder.insertInvalidContexts("B", {"/C", "/X"});
    EXPECT_EQ(m_live, 2);

    EXPECT_NE(m_holder.find("/A", "B"), nullptr);
    EXPECT_EQ(m_holder.find("/C", "B"), nullptr);
    EXPECT_EQ(m_holder.find("/X", "B"), nullptr);

    m_holder.rationalise();
    EXPECT_TRUE(m_holder.isRationalised());
    EXPECT_NE(m_holder.find("/A", "B"), nullptr);
    EXPECT_EQ(m_holder.find("/C", "B"), nullptr);
    // The item that lost its only key is gone; the shared one lives on.
    EXPECT_EQ(m_live, 1);
    EXPECT_EQ(m_holder.getDistinctItems().size(), 1u);

    m_holder.rationalise();  // a second call changes nothing
    EXPECT_EQ(m_live, 1);
    EXPECT_THAT([&] { m_holder.addItem("B", {"/Z"}, item(), false); },
                ThrowsMessage<PhysicsException>(StrEq(
                    "ParentContextHolder::addItem - internal error: called after rationalise()")));
}

// ContextVerifier: warnings for checks and lists whose required context an object path cannot give.

// FLOW, BOUNDARY, PATCH, PROBE, FLUID and MATERIAL are named types; SOLVER is a singleton,
// so it can never provide context. BOUNDARY sits at /FLOW/SOLVER/BOUNDARY.
const std::string kVerifierRules = test::tarn(R"(
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
const std::string kVerifierPhysics = test::tarn(R"(
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
    // Definitions of keys written "Key = value; ...".
    std::unique_ptr<ObjDependDef> objDef(const std::string& type, const char* keys) {
        return std::make_unique<ObjDependDef>(type, test::params(keys), &m_rules, &m_source, false);
    }
    std::unique_ptr<ParamValueDef> valueDef(const std::string& name, const char* keys) {
        return std::make_unique<ParamValueDef>(name, "BOUNDARY", test::params(keys), &m_rules,
                                               &m_source, false);
    }

    // A BOUNDARY definition using checks and lists of every context kind.
    std::unique_ptr<ObjDependDef> boundaryDef() {
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

    InternalTARNDatastore m_rulesDs{kVerifierRules, InternalTARNDatastore::TEXT};
    ModelRules m_rules{&m_rulesDs};
    testing::ObjDependDefTestSource m_source{kVerifierPhysics};
    ContextVerifier m_verifier{m_rules.getNamedObjectTypes(), &m_source};
};

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

    // Ancestors of named types provide context: below FLUID and MATERIAL only the singleton
    // remains (asked of a copy).
    const ContextVerifier copy = m_verifier;
    EXPECT_THAT(copy.verifyObjDependChecks("/FLOW/FLUID/MATERIAL/SOLVER/BOUNDARY", def.get()),
                ElementsAre("Availability of parameter Scheme depends on CHECK InSolver",
                            unsatisfied("SOLVER")));

    // Without FLOW on the path the conjunction also lacks it, in ascending order; and
    // BOUNDARY no longer being the object, SelfBoundary warns too.
    const Strings lines = m_verifier.verifyObjDependChecks("/SOLVER/PATCH", def.get());
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[0], "Availability of child PATCH depends on CHECK SelfBoundary");
    EXPECT_EQ(lines[1], unsatisfied("BOUNDARY"));
    EXPECT_THAT(lines, ::testing::Contains(unsatisfied("FLOW,FLUID,MATERIAL")));
}

TEST_F(ContextVerifierTest, ParameterValueWarningsAndSourceErrors) {
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

    // Names the source does not hold propagate its error.
    const testing::FakeSource empty;
    const ContextVerifier verifier(m_rules.getNamedObjectTypes(), &empty);
    EXPECT_THROW(verifier.verifyObjDependChecks(kBoundaryPath, boundaryDef().get()),
                 std::runtime_error);
    EXPECT_THROW(verifier.verifyParamValChecks(kBoundaryPath, label.get()), std::runtime_error);
    // Nothing to resolve, nothing thrown.
    EXPECT_THAT(verifier.verifyObjDependChecks(kBoundaryPath, objDef("PATCH", "").get()),
                IsEmpty());
}

}  // namespace
}  // namespace kel
