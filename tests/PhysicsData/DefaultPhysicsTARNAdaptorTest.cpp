// The RULES-derived dependency data offered for what the PHYSICS data leaves out: which
// types get an OBJECT DEPENDENCY, which lists are offered against what PHYSICS already
// says, the per-path cache and the refused operations. (PhysicsData puts it behind a
// composite store: PhysicsDataTest sees the RULES fill in a type PHYSICS leaves out.)

#include <kel/exception/PhysicsException.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsdata/tools/DefaultPhysicsTARNAdaptor.h>
#include <kel/physicsutils/InternalTARNDatastore.h>

#include <functional>

#include "TestSupport.h"

namespace kel {
namespace {

// ROOT -> A -> B (named: essential p, optional q) and C (singleton with options x/y and
// children D, E).
const std::string kRules = test::tarn(R"(
RULES:
  PARAMETER: p { Parameter Type = String }
  PARAMETER: q { Parameter Type = Real }
  PARAMETER: r { Parameter Type = Integer }
  PARAMETER: s { Parameter Type = Integer }
  PARAMETER: kind { Parameter Type = String; Allowed String List = x, y }
  SINGLETON: ROOT { Optional Child List = A }
  SINGLETON: A { Optional Child List = B, C }
  OBJECT: B { Essential Parameter List = p; Optional Parameter List = q }
  SINGLETON: C
    Context Rule = kind
    Allowed Option List = x, y
    Essential Parameter List = kind
    CONTEXT: x { Optional Parameter List = r; Optional Child List = D }
    CONTEXT: y { Optional Parameter List = s; Essential Child List = E }
  END
  OBJECT: D {}
  OBJECT: E {}
END
)");

const std::string kB = "/PHYSICS/DEPENDENCIES/OBJECT DEPENDENCY:B";
const std::string kC = "/PHYSICS/DEPENDENCIES/OBJECT DEPENDENCY:C";

// Counts the reads of parameter values from it, one by one or a whole object at a time.
class CountingStore : public InternalTARNDatastore {
public:
    using InternalTARNDatastore::InternalTARNDatastore;
    mutable int valueReads = 0;

    std::string getParameterValue(const std::string& path, const std::string& name) const override {
        ++valueReads;
        return InternalTARNDatastore::getParameterValue(path, name);
    }

protected:
    bool visitParameters(std::string_view path, Visitor visitor, void* visit) const override {
        ++valueReads;
        return InternalTARNDatastore::visitParameters(path, visitor, visit);
    }
};

class DefaultPhysicsTARNAdaptorTest : public ::testing::Test {
protected:
    // An adaptor over PHYSICS text holding the given body of "/PHYSICS/DEPENDENCIES".
    DefaultPhysicsTARNAdaptor& adaptor(const std::string& dependencies = "") {
        m_physics = std::make_unique<InternalTARNDatastore>(
            "PHYSICS:\n DEPENDENCIES:\n" + dependencies + "\n END\nEND\n",
            InternalTARNDatastore::TEXT);
        m_adaptor = std::make_unique<DefaultPhysicsTARNAdaptor>(m_physics.get(), &m_rules);
        return *m_adaptor;
    }

    InternalTARNDatastore m_rulesDs{kRules, InternalTARNDatastore::TEXT};
    ModelRules m_rules{&m_rulesDs};
    std::unique_ptr<InternalTARNDatastore> m_physics;
    std::unique_ptr<DefaultPhysicsTARNAdaptor> m_adaptor;
};

TEST_F(DefaultPhysicsTARNAdaptorTest, OffersEveryTypeBelowTheTopLevel) {
    const auto& a = adaptor();
    EXPECT_EQ(a.getChildObjectNamesByType("/PHYSICS/DEPENDENCIES", "OBJECT DEPENDENCY"),
              (Strings{"B", "C", "D", "E"}));
    EXPECT_TRUE(a.getChildObjectNamesByType("/PHYSICS/DEPENDENCIES", "PARAMETER VALUES").empty());
    EXPECT_TRUE(a.getChildObjectNamesByType("/PHYSICS", "OBJECT DEPENDENCY").empty());
    EXPECT_TRUE(a.getChildObjectNamesByType(kB, "OBJECT DEPENDENCY").empty());
    EXPECT_TRUE(a.getParameterMap("/PHYSICS/DEPENDENCIES").empty());
    EXPECT_TRUE(a.getParameterMap(kB.substr(0, kB.size() - 2)).empty());  // not a dependency

    for (const std::string& path :
         {std::string("/PHYSICS/DEPENDENCIES"), kB, kC + "/OBJDEP CONTEXT:any"})
        EXPECT_TRUE(a.hasObject(path)) << path;
    for (const char* path : {"/PHYSICS/DEPENDENCIES/OBJECT DEPENDENCY:A",
                             "/PHYSICS/DEPENDENCIES/OBJECT DEPENDENCY:ROOT", "/PHYSICS",
                             "/PHYSICS/DEPENDENCIES/PARAMETER VALUES:p", "/OBJECT DEPENDENCY:B"})
        EXPECT_FALSE(a.hasObject(path)) << path;
}

// What PHYSICS already says about a type decides which RULES lists are still offered.
TEST_F(DefaultPhysicsTARNAdaptorTest, OffersTheRulesListsPhysicsDoesNotName) {
    const ParameterMap bLists =
        test::params("Ordered Required Parameter List = p; Ordered Optional Parameter List = q");
    const ParameterMap cOptions =
        test::params("Ordered Allowed Option List = x,y; Ordered Optional Parameter List = r,s");
    const std::string bInContexts =
        "B\n OBJDEP CONTEXT: all\n  Parent Context List = Default\n"
        "  Ordered Optional Parameter List = q\n END";
    const struct {
        std::string physics;
        std::string path;
        ParameterMap offered;
    } cases[] = {
        // Silent PHYSICS: every list; every allowed option, lists accumulated over all of them.
        {"", kB, bLists},
        {"", kC,
         test::params("Ordered Allowed Option List = x,y; Ordered Required Parameter List = kind; "
                      "Ordered Optional Parameter List = r,s; Ordered Required Child List = E; "
                      "Ordered Optional Child List = D")},
        {"B\n Ordered Optional Parameter List = q", kB,
         test::params("Ordered Required Parameter List = p")},
        // Knowing one name of a list is enough, whichever list PHYSICS names it in.
        {"B\n Ordered Required Parameter List = q, p", kB, {}},
        {"B\n Treat Remaining Parameters As Unused = yes", kB, {}},
        {"C\n Treat Remaining Children As Unused = true\n Ordered Required Parameter List = kind",
         kC, cOptions},
        // An unused list, even a partial one, suppresses every default; an empty one none.
        {"B\n Unused Parameter List = q", kB, {}},
        {"C\n Unused Child List = D", kC, {}},
        {"B\n Unused Parameter List =", kB, bLists},
        // The PHYSICS option order selects the options the lists are gathered over.
        {"C\n Ordered Allowed Option List = y", kC,
         test::params("Ordered Required Parameter List = kind; Ordered Optional Parameter List = "
                      "s; Ordered Required Child List = E")},
        // Without an option list, the options the data leaves unused are not offered.
        {"C\n Unused Allowed Option List = x", kC,
         test::params("Ordered Allowed Option List = y; Ordered Required Parameter List = kind; "
                      "Ordered Optional Parameter List = s; Ordered Required Child List = E")},
        // Coupled children repeat the optional children.
        {"C\n Couple Optional Children = true\n Ordered Required Parameter List = kind, r, s\n"
         " Ordered Allowed Option List = x, y",
         kC,
         test::params("Ordered Required Child List = E; Ordered Optional Child List = D; Coupled "
                      "Optional Child List = D")},
        // A type organised in contexts is offered lists only below them.
        {bInContexts, kB, {}},
        {bInContexts, kB + "/OBJDEP CONTEXT:all",
         test::params("Ordered Required Parameter List = p")},
    };
    for (const auto& c : cases) {
        const std::string text =
            c.physics.empty() ? "" : "OBJECT DEPENDENCY: " + c.physics + "\nEND";
        EXPECT_EQ(adaptor(text).getParameterMap(c.path), c.offered) << c.physics;
    }
    EXPECT_THROW(
        adaptor("OBJECT DEPENDENCY: C\n Ordered Allowed Option List = z\nEND").getParameterMap(kC),
        std::runtime_error);
}

TEST_F(DefaultPhysicsTARNAdaptorTest, MapsAreCachedPerPathButEmptyResultsAreNot) {
    CountingStore counting(
        "PHYSICS:\n DEPENDENCIES:\n  OBJECT DEPENDENCY: C\n   Unused Child List = D\n  END\n"
        " END\nEND\n",
        InternalTARNDatastore::TEXT);
    DefaultPhysicsTARNAdaptor a(&counting, &m_rules);

    EXPECT_TRUE(a.getParameterMap(kC).empty());
    int reads = counting.valueReads;
    EXPECT_TRUE(a.getParameterMap(kC).empty());
    EXPECT_GT(counting.valueReads, reads);

    const ParameterMap first = a.getParameterMap(kB);
    reads = counting.valueReads;
    EXPECT_EQ(a.getParameterMap(kB), first);
    EXPECT_EQ(DefaultPhysicsTARNAdaptor(a).getParameterMap(kB), first);  // a copy keeps the cache
    EXPECT_EQ(counting.valueReads, reads);
}

TEST_F(DefaultPhysicsTARNAdaptorTest, RefusesValueAndPathQuestions) {
    const auto& a = adaptor();
    EXPECT_FALSE(a.hasParameter(kB, "Ordered Required Parameter List"));
    EXPECT_FALSE(a.hasParameter("/PHYSICS/DEPENDENCIES", "x"));
    const std::pair<std::function<void()>, std::string> calls[] = {
        {[&] { a.getParameterValue(kB, "Ordered Required Parameter List"); }, "getParameterValue"},
        {[&] { a.getParameterValueAsList(kB, "x"); }, "getParameterValue"},
        {[&] { a.getChildObjectPathsByType("/PHYSICS/DEPENDENCIES", "X"); },
         "getChildObjectPathsByType"},
        {[&] { a.getChildObjectPaths("/PHYSICS/DEPENDENCIES"); }, "getChildObjectPaths"}};
    for (const auto& [call, operation] : calls)
        EXPECT_EQ(test::errorOf<PhysicsException>(call),
                  "PhysicsData::DefaultPhysicsTARNAdaptor - " + operation + " not implemented.");
}

TEST_F(DefaultPhysicsTARNAdaptorTest, RulesErrorsPropagate) {
    EXPECT_THROW(adaptor().getParameterMap("/PHYSICS/DEPENDENCIES/OBJECT DEPENDENCY:Nope"),
                 std::runtime_error);

    InternalTARNDatastore noRootDs("RULES:\n OBJECT: B\n END\nEND\n", InternalTARNDatastore::TEXT);
    ModelRules noRoot(&noRootDs);
    EXPECT_THROW(DefaultPhysicsTARNAdaptor(m_physics.get(), &noRoot), std::runtime_error);
}

}  // namespace
}  // namespace kel
