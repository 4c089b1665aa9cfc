// The model rules facade: construction phases (local parameters, allowed-parent
// reconciliation, valid parents, parameter owners), parameter queries through scopes,
// parent type paths, path validity, extra rules and the parent-context adaptor (whose path
// questions the dependency store's parsers ask).

#include <cstdint>
#include <tuple>

#include <kel/exception/KELAssertImpl.h>
#include <kel/exception/PhysicsException.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsdata/rules/ModelRulesParCtxtRules.h>
#include <kel/physicsdata/rules/RulesParam.h>
#include <kel/physicsutils/ExtraRules.h>
#include <kel/physicsutils/InternalTARNDatastore.h>
#include <kel/physicsutils/TARNPath.h>

#include "TestSupport.h"

namespace kel {
namespace {

// ROOT -> A (singleton) -> B (named, options a/b) -> C; D declares B as its parent;
// E is reachable from A and from B.
const std::string kRules = test::tarn(R"(
RULES:
  PARAMETER: p { Parameter Type = String; Allowed String List = g1, g2; Default = g1
    Tag = global tag; Flag = true }
  PARAMETER: mode { Parameter Type = String; Allowed String List = a, b }
  PARAMETER: n { Parameter Type = Integer; Lower Bound = 0; Upper Bound = 10 }
  PARAMETER: s { Parameter Type = String }
  SINGLETON: ROOT { Essential Child List = A }
  SINGLETON: A { Optional Child List = B, E; Optional Parameter List = n }
  OBJECT: B
    Context Rule = mode
    Allowed Option List = a, b
    Essential Parameter List = mode
    Optional Parameter List = s
    Optional Child List = E
    Label = bee
    PARAMETER: s { Ignore Global Definition = true; Parameter Type = String List; Tag = local tag }
    CONTEXT: a
      Essential Parameter List = p
      Essential Child List = C
      PARAMETER: p { Allowed String List = x; Default = x }
    END
    CONTEXT: b
      Optional Parameter List = p
      PARAMETER: p { Allowed String List = y }
    END
  END
  OBJECT: C { Optional Parameter List = p }
  OBJECT: D { Allowed Parent List = B; Optional Parameter List = p }
  OBJECT: E { Allowed Parent List = A; Optional Parameter List = n }
END
)");

class ModelRulesTest : public ::testing::Test {
protected:
    ModelRulesTest() {
        ModelRules::ExtraRulesDef extra;
        extra.paramRules.stringRules = {"Tag"};
        extra.paramRules.boolRules = {"Flag"};
        extra.objectRules.stringRules = {"Label"};
        extra.objectRules.boolRules = {"Flag"};
        m_rules = std::make_unique<ModelRules>(&m_ds, extra);
    }
    InternalTARNDatastore m_ds{kRules, InternalTARNDatastore::TEXT};
    std::unique_ptr<ModelRules> m_rules;
};

using test::errorOf;

// Types, parameter names, and allowed parents that become implied optional children.
TEST_F(ModelRulesTest, TypesParameterNamesAndAllowedParents) {
    EXPECT_EQ(m_rules->getAllObjectTypes(), (Strings{"A", "B", "C", "D", "E"}));
    EXPECT_EQ(m_rules->getNamedObjectTypes(), (Strings{"B", "C", "D", "E"}));
    EXPECT_EQ(m_rules->getSingletonTypes(), (Strings{"A", "ROOT"}));
    EXPECT_TRUE(m_rules->isValidType("ROOT") && !m_rules->isValidType("Z"));
    EXPECT_EQ(m_rules->getParamNames(), (Strings{"mode", "n", "p", "s"}));
    EXPECT_TRUE(m_rules->isValidParamName("s") && !m_rules->isValidParamName("zz"));
    EXPECT_EQ(m_rules->getValidOptionForObject("B"), "a");
    EXPECT_EQ(m_rules->getValidOptionForObject("C"), "");
    EXPECT_TRUE(m_rules->isAllowedOption("B", "b"));
    EXPECT_THROW(m_rules->isSingleton("Z"), std::runtime_error);  // message: tests/tool/rules

    // D is unknown to B, so it becomes an object-level optional child of B.
    EXPECT_EQ(m_rules->getOptionalChildrenAll("B"), (Strings{"E", "D"}));
    EXPECT_EQ(m_rules->getOptionalChildren("B", ""), (Strings{"E", "D"}));
    EXPECT_EQ(m_rules->getOptionalChildren("B", "a"), Strings{"E"});
    EXPECT_TRUE(m_rules->isAllowedChildAll("B", "D"));
    // E is already an object-level child of A: unchanged.
    EXPECT_EQ(m_rules->getOptionalChildren("A", ""), (Strings{"B", "E"}));

    EXPECT_EQ(m_rules->getAllowedParents("E"), (Strings{"A", "B"}));
    EXPECT_EQ(m_rules->getAllowedParents("C"), Strings{"B"});
    EXPECT_TRUE(m_rules->isAllowedParent("D", "B") && !m_rules->isAllowedParent("D", "A"));
    EXPECT_TRUE(m_rules->isAllowedChild("B", "C", "a") && !m_rules->isAllowedChild("B", "C", "b"));
    EXPECT_EQ(m_rules->getChildrenAll("B"), (Strings{"C", "E", "D"}));
}

// A type or global parameter defined again replaces the earlier definition, whichever
// kind (OBJECT, SINGLETON) either is.
TEST(ModelRulesDefinitionsTest, RepeatedDefinitionsReplaceEarlierOnes) {
    const InternalTARNDatastore ds(test::tarn(R"(
RULES:
  PARAMETER: p { Parameter Type = String }
  PARAMETER: q { Parameter Type = String }
  PARAMETER: q { Parameter Type = Integer }
  SINGLETON: ROOT { Optional Child List = X, Y }
  OBJECT: X { Optional Parameter List = p }
  OBJECT: Y { Optional Parameter List = p }
  OBJECT: Y { Optional Parameter List = q }
  SINGLETON: X { Essential Parameter List = q }
END
)"),
                                   InternalTARNDatastore::TEXT);
    const ModelRules rules(&ds);
    EXPECT_EQ(rules.getAllObjectTypes(), (Strings{"X", "Y"}));
    EXPECT_EQ(rules.getSingletonTypes(), (Strings{"ROOT", "X"}));
    EXPECT_EQ(rules.getEssentialParamsAll("X"), Strings{"q"});
    EXPECT_EQ(rules.getOptionalParamsAll("Y"), Strings{"q"});
    EXPECT_EQ(rules.getAllowedParamParents("q"), (Strings{"X", "Y"}));
    EXPECT_TRUE(rules.getAllowedParamParents("p").empty());
    EXPECT_EQ(rules.getParamType("", "q"), TARNParam::Integer);
}

// The messages of inconsistent RULES are pinned by the tool's tests (tests/tool/rules), which
// build the same model from such files.
TEST(ModelRulesErrorsTest, ErrorsAreLocatedAtTheirItem) {
    EXPECT_THROW(ModelRules(nullptr), std::runtime_error);
    const struct {
        const char* rules;
        const char* place;
    } rows[] = {
        {"  PARAMETER: p { Description = untyped }", "<text>:2:3 /RULES/PARAMETER:p"},
        // A local definition of a parameter the type does not offer.
        {"  PARAMETER: p { Parameter Type = Real }\n  OBJECT: A\n    PARAMETER: p {}\n  END",
         "<text>:6:5 /RULES/OBJECT:A/PARAMETER:p"},
        // A name repeated in the lists: at the key that repeats it.
        {"  OBJECT: A { Optional Child List = B; Essential Child List = B }\n  OBJECT: B {}",
         "<text>:4:1 /RULES/OBJECT:A"},
        // An undefined allowed parent: at the list that names it.
        {"  SINGLETON: A { Description = a; Allowed Parent List = Ghost }",
         "<text>:4:1 /RULES/SINGLETON:A"},
    };
    for (const auto& row : rows) {
        const InternalTARNDatastore ds(test::tarn("RULES:\n" + std::string(row.rules) + "\nEND\n"),
                                       InternalTARNDatastore::TEXT);
        EXPECT_EQ(test::placeOf<PhysicsException>([&] { ModelRules rules(&ds); }), row.place);
    }
}

TEST_F(ModelRulesTest, ParameterPropertiesFollowScopes) {
    EXPECT_EQ(m_rules->getDefault("B", "a", "p"), "x");   // context level
    EXPECT_EQ(m_rules->getDefault("B", "b", "p"), "g1");  // global, through the context
    EXPECT_EQ(m_rules->getAllowedStringList("B", "b", "p"), Strings{"y"});
    EXPECT_EQ(m_rules->getAllowedStringList("C", "", "p"), (Strings{"g1", "g2"}));
    EXPECT_EQ(m_rules->getParamType("B", "s"), TARNParam::StringList);
    EXPECT_EQ(m_rules->getParamType("C", "p"), TARNParam::String);
    EXPECT_EQ(m_rules->hasBounds("A", "", "n"), std::make_pair(true, true));
    EXPECT_EQ(m_rules->getUpperBound("E", "", "n"), "10");
    EXPECT_TRUE(m_rules->hasDefaultValue("C", "", "p") && !m_rules->hasDefaultValue("A", "", "n"));
    // The context rule parameter may be asked about at object level.
    EXPECT_EQ(m_rules->getAllowedStringList("B", "", "mode"), (Strings{"a", "b"}));
    // An object type that does not exist reaches the global definition.
    EXPECT_EQ(m_rules->getDefault("", "", "p"), "g1");

    EXPECT_EQ(errorOf([&] { m_rules->getDefault("B", "", "p"); }),
              "ModelRulesImpl::getParam - empty context rule value trying to recover parameter "
              "info for p in object B: p");
    EXPECT_EQ(errorOf([&] { m_rules->getDefault("C", "", "zz"); }),
              "ModelRulesImpl::getParam - param not found in object C: zz");
    EXPECT_EQ(errorOf([&] { m_rules->getDefault("B", "a", "zz"); }),
              "ModelRulesImpl::getParam - param not found in object B (context = a): zz");
}

TEST_F(ModelRulesTest, LocalParametersAndPossibleAllowedStrings) {
    EXPECT_TRUE(m_rules->isLocalRulesParam("B", "p"));  // context level only
    EXPECT_TRUE(m_rules->isLocalRulesParam("B", "s"));
    EXPECT_FALSE(m_rules->isLocalRulesParam("C", "p"));
    EXPECT_EQ(errorOf([&] { m_rules->isLocalRulesParam("C", "zz"); }),
              "ModelRulesImpl::isLocalRulesParam invalid object type or parameter name: C/zz");
    EXPECT_THROW(m_rules->isLocalRulesParam("Z", "p"), std::runtime_error);

    // Restricted per option: the union of the options' strings. No option restricts s:
    // anything goes. Not local: the global list.
    EXPECT_TRUE(m_rules->isPossibleAllowedString("B", "p", "x"));
    EXPECT_TRUE(m_rules->isPossibleAllowedString("B", "p", "y"));
    EXPECT_FALSE(m_rules->isPossibleAllowedString("B", "p", "g1"));
    EXPECT_TRUE(m_rules->isPossibleAllowedString("B", "s", "anything"));
    EXPECT_TRUE(m_rules->isPossibleAllowedString("C", "p", "g2"));
    EXPECT_FALSE(m_rules->isPossibleAllowedString("C", "p", "x"));
    EXPECT_TRUE(m_rules->isPossibleAllowedString("A", "n", "7"));
}

TEST_F(ModelRulesTest, ParentTypePaths) {
    EXPECT_EQ(m_rules->enumerateParentTypePaths("B", true), Strings{"/A"});
    EXPECT_EQ(m_rules->enumerateParentTypePaths("A", false), Strings{""});
    EXPECT_EQ(m_rules->enumerateParentTypePaths("C", true), Strings{"/A/B:name"});
    EXPECT_EQ(m_rules->enumerateParentTypePaths("E", false), (Strings{"/A", "/A/B"}));
    EXPECT_EQ(m_rules->enumerateParentTypePaths("E", true), (Strings{"/A", "/A/B:name"}));
    EXPECT_TRUE(m_rules->enumerateParentTypePaths("ROOT", false).empty());

    EXPECT_EQ(m_rules->getAllowedParamParents("p"), (Strings{"B", "C", "D"}));
    EXPECT_EQ(m_rules->enumerateParentTypePathsForParam("p"),
              (Strings{"/A/B", "/A/B/C", "/A/B/D"}));
    EXPECT_EQ(m_rules->enumerateParentTypePathsForParam("n"), (Strings{"/A", "/A/B/E", "/A/E"}));
    EXPECT_TRUE(m_rules->enumerateParentTypePathsForParam("zz").empty());
    for (const char* param : {"p", "n"})
        EXPECT_EQ(m_rules->firstParentTypePathForParam(param),
                  m_rules->enumerateParentTypePathsForParam(param).front());
    EXPECT_EQ(m_rules->firstParentTypePathForParam("zz"), "");

    // The kept list is the enumeration, before and after either is asked for, and stays in
    // place.
    const Strings& pathsOfE = m_rules->getParentTypePaths("E");
    EXPECT_EQ(pathsOfE, m_rules->enumerateParentTypePaths("E", false));
    EXPECT_EQ(&pathsOfE, &m_rules->getParentTypePaths("E"));
    EXPECT_EQ(m_rules->enumerateParentTypePathsForParam("p"),
              (Strings{"/A/B", "/A/B/C", "/A/B/D"}));
    EXPECT_THROW(m_rules->getParentTypePaths("Z"), std::runtime_error);

    // Counting and matching agree with the lists.
    for (const std::string& type : m_rules->getAllObjectTypes()) {
        const Strings paths = m_rules->enumerateParentTypePaths(type, false);
        EXPECT_EQ(m_rules->countParentTypePaths(type), paths.size()) << type;
        for (const std::string& path : paths)
            EXPECT_TRUE(m_rules->isParentTypePath(path, type)) << type << " " << path;
    }
    EXPECT_EQ(m_rules->countParentTypePathsForParam("p"), 3u);
    EXPECT_TRUE(m_rules->isParamTypePath("/A/B/D", "p"));
    for (const char* path : {"/A/B/E", "/A", "/A/B/D/", "A/B", "/A/D"})
        EXPECT_FALSE(m_rules->isParamTypePath(path, "p")) << path;
    for (const char* context : {"/B", "/A/A", "/A/B/C", "/ROOT/A", "A"})
        EXPECT_FALSE(m_rules->isParentTypePath(context, "E")) << context;
}

TEST(ModelRulesPathsTest, LaddersAreCountedAndMatchedWithoutListing) {
    const InternalTARNDatastore ds(test::ladderRules(40), InternalTARNDatastore::TEXT);
    const ModelRules rules(&ds, {});
    EXPECT_EQ(rules.countParentTypePaths("A40"), std::uint64_t(1) << 39);
    EXPECT_EQ(rules.countParentTypePathsForParam("p"), (std::uint64_t(1) << 41) - 2);
    EXPECT_EQ(rules.enumerateParentTypePaths("B5", true).size(), 16u);
    EXPECT_TRUE(rules.isParentTypePath("/A1/B2/A3", "B4"));
    EXPECT_FALSE(rules.isParentTypePath("/A1/A3", "B4"));
    EXPECT_TRUE(rules.isParamTypePath("/B1/B2", "p"));
    EXPECT_EQ(errorOf([&] { rules.enumerateParentTypePaths("A40", false); }),
              "ModelRulesImpl::enumerateParentTypePaths - object type A40 has 549755813888 "
              "parent type paths, more than the 100000 that can be listed.");
    EXPECT_EQ(errorOf([&] { rules.getParentTypePaths("A40"); }),
              "ModelRulesImpl::enumerateParentTypePaths - object type A40 has 549755813888 "
              "parent type paths, more than the 100000 that can be listed.");
    EXPECT_NE(errorOf([&] {
                  rules.enumerateParentTypePathsForParam("p");
              }).find("parameter p has 2199023255550 parent type paths"),
              std::string::npos);
    EXPECT_NE(errorOf([&] {
                  rules.firstParentTypePathForParam("p");
              }).find("parameter p has 2199023255550 parent type paths"),
              std::string::npos);
}

TEST(ModelRulesPathsTest, CyclesAreWalkedOnceAndEveryParameterPathOnce) {
    // L and M are children of each other and of ROOT; P is allowed in both.
    InternalTARNDatastore ds(test::tarn(R"(
RULES:
  SINGLETON: ROOT { Optional Child List = L, M }
  OBJECT: L { Optional Child List = M; Optional Parameter List = q }
  OBJECT: M
    Allowed Option List = x
    Optional Child List = L
    Optional Parameter List = q
    CONTEXT: x { Optional Parameter List = q }
  END
  PARAMETER: q { Parameter Type = String }
END
)"),
                             InternalTARNDatastore::TEXT);
    ModelRules rules(&ds, {});
    EXPECT_EQ(rules.enumerateParentTypePaths("L", false), (Strings{"/M", ""}));
    EXPECT_EQ(rules.enumerateParentTypePaths("L", true), (Strings{"/M:name", ""}));
    EXPECT_EQ(rules.countParentTypePaths("L"), 2u);
    EXPECT_EQ(rules.countParentTypePathsForParam("q"), 4u);
    EXPECT_TRUE(rules.isParentTypePath("/M", "L"));
    EXPECT_FALSE(rules.isParentTypePath("/M/L", "L") || rules.isParentTypePath("/L/M", "L"));

    // M names q at the object level and again in its option: one parent path each.
    std::vector<std::string> failures;
    auto previous = KELAssertImpl::setHandler(
        [&](const char* c, const char*, int) { failures.emplace_back(c); });
    EXPECT_EQ(rules.enumerateParentTypePathsForParam("q"), (Strings{"/L", "/L/M", "/M", "/M/L"}));
    KELAssertImpl::setHandler(previous);
    EXPECT_TRUE(failures.empty());
}

TEST_F(ModelRulesTest, ExtraRuleLookups) {
    const ExtraRules* extra = m_rules->getExtraRules();
    ASSERT_NE(extra, nullptr);
    // Through a context-level definition that does not set it: the global value.
    EXPECT_EQ(extra->getParamStringRule("B", "a", "p", "Tag"), "global tag");
    EXPECT_EQ(extra->getParamBoolRule("C", "", "p", "Flag"), std::make_pair(true, true));
    // A local definition ignoring the global one keeps only its own.
    EXPECT_EQ(extra->getParamStringRule("B", "a", "s", "Tag"), "local tag");
    EXPECT_EQ(extra->getParamBoolRule("B", "a", "s", "Flag"), std::make_pair(false, false));
    EXPECT_TRUE(extra->getParamListRule("C", "", "p", "Tag").empty());
    EXPECT_EQ(extra->getObjectStringRule("B", "Label"), "bee");
    EXPECT_EQ(extra->getObjectStringRule("C", "Label"), "");
    EXPECT_EQ(extra->getObjectBoolRule("B", "Flag"), std::make_pair(false, false));
    EXPECT_THROW(extra->getObjectListRule("Z", "Label"), std::runtime_error);
    EXPECT_THROW(extra->getParamStringRule("B", "", "p", "Tag"), std::runtime_error);
}

// Paths name each object after the first (a singleton may go unnamed) under a parent the
// RULES allow; the hierarchy alone, as the parent-context adaptor forwards it, ignores names.
TEST_F(ModelRulesTest, PathAndHierarchyValidity) {
    for (const char* path : {"/A/B:b1", "/A/B:b1/C:c"})
        EXPECT_TRUE(m_rules->isValidPath(TARNPath(path))) << path;
    // ROOT is not B's parent; unnamed, not a singleton; a name equal to the type.
    for (const char* path : {"/B:b1", "", "/A/B", "/A/B:B", "/A/Z:z", "/A/C:c"})
        EXPECT_FALSE(m_rules->isValidPath(TARNPath(path))) << path;

    const ModelRulesParCtxtRules adaptor(m_rules.get());
    EXPECT_TRUE(adaptor.isValidType("C") && !adaptor.isValidType("p"));
    EXPECT_TRUE(adaptor.isValidParamName("p") && !adaptor.isValidParamName("C"));
    for (const char* path : {"", "/A/B", "/B:x/C"})
        EXPECT_TRUE(adaptor.isValidHierarchy(TARNPath(path))) << path;
    for (const char* path : {"/A/C", "/Z"})
        EXPECT_FALSE(adaptor.isValidHierarchy(TARNPath(path))) << path;
}

}  // namespace
}  // namespace kel
