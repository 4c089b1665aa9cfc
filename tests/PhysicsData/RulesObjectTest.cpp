// RULES object types: context rule and options, per-option lists, the accumulation over
// option sets and its cache, and the errors of inconsistent object definitions.

#include <kel/physicsdata/rules/RulesObject.h>
#include <kel/physicsutils/CompositeTARNDatastore.h>
#include <kel/physicsutils/InternalTARNDatastore.h>

#include "TestSupport.h"

namespace kel {
namespace {

const std::string kRules = test::tarn(R"(
RULES:
  OBJECT: T
    Allowed Option List = a, b
    Essential Child List = RULES, E
    Optional Child List = C, RULES
    Essential Parameter List = crp
    Optional Parameter List = o
    Default Parameter List = d
    Allowed Parent List = P1, P2
    Label = tee
    Aliases = t1, t2
    Hidden = on
    Broken = perhaps
    CONTEXT: a { Essential Parameter List = p; Optional Parameter List = q
      Optional Child List = C, D }
    CONTEXT: b { Optional Parameter List = p, r; Essential Child List = D }
  END
  SINGLETON: S { Context Rule = Mode; Allowed Option List = x }
  OBJECT: N { Optional Child List = C }
END
)");

class RulesObjectTest : public ::testing::Test {
protected:
    RulesObject make(const std::string& path, bool singleton = false, const ExtraDef& extra = {}) {
        return RulesObject(m_ds, path, singleton, extra);
    }
    InternalTARNDatastore m_ds{kRules, InternalTARNDatastore::TEXT};
};

std::string errorOf(const std::string& text, const std::string& path) {
    InternalTARNDatastore ds(text, InternalTARNDatastore::TEXT);
    return test::errorOf<std::runtime_error>([&] { RulesObject(ds, path, false, {}); });
}

TEST_F(RulesObjectTest, ContextRuleAndOptions) {
    RulesObject t = make("/RULES/OBJECT:T");
    EXPECT_EQ(t.getName(), "T");
    EXPECT_FALSE(t.isSingleton());
    EXPECT_EQ(t.getContextRuleParam(), "Option");
    EXPECT_EQ(t.getAllowedOptions(), (Strings{"a", "b"}));
    EXPECT_TRUE(t.hasAllowedOption("b"));
    EXPECT_FALSE(t.hasAllowedOption(""));

    RulesObject s = make("/RULES/SINGLETON:S", true);
    EXPECT_TRUE(s.isSingleton());
    EXPECT_EQ(s.getContextRuleParam(), "Mode");

    RulesObject n = make("/RULES/OBJECT:N");
    EXPECT_EQ(n.getContextRuleParam(), "");
    EXPECT_TRUE(n.getAllowedOptions().empty());
    EXPECT_EQ(n.getOptionalChildrenAll(), Strings{"C"});
}

TEST_F(RulesObjectTest, ListsPerOptionFollowTheObjectLevel) {
    // Read in place from the store's text, and through a store that does not keep its text.
    const CompositeTARNDatastore composite(&m_ds, false);
    for (const TARNDatastore* store : {static_cast<const TARNDatastore*>(&m_ds),
                                       static_cast<const TARNDatastore*>(&composite)}) {
        RulesObject t(*store, "/RULES/OBJECT:T", false, {});
        EXPECT_EQ(t.getEssentialChildren(""), Strings{"E"});  // "RULES" dropped
        EXPECT_EQ(t.getOptionalChildren(""), Strings{"C"});
        EXPECT_EQ(t.getOptionalParams(""), (Strings{"o", "d"}));
        EXPECT_EQ(t.getEssentialParams("a"), (Strings{"crp", "p"}));
        EXPECT_EQ(t.getOptionalParams("a"), (Strings{"o", "d", "q"}));
        // A context repeating an object-level child lists it twice.
        EXPECT_EQ(t.getOptionalChildren("a"), (Strings{"C", "C", "D"}));
        EXPECT_EQ(t.getEssentialChildren("b"), (Strings{"E", "D"}));

        EXPECT_TRUE(t.hasEssentialParam("p", "a"));
        EXPECT_FALSE(t.hasEssentialParam("p", "b"));
        EXPECT_TRUE(t.hasOptionalParam("p", "b"));
        EXPECT_TRUE(t.hasOptionalChild("D", "a"));
        EXPECT_FALSE(t.hasEssentialChild("D", ""));
        EXPECT_TRUE(t.isAllowedChildAll("D"));
        EXPECT_FALSE(t.isAllowedChildAll("RULES"));
        EXPECT_TRUE(t.isAllowedParamAll("r"));
        EXPECT_FALSE(t.isAllowedParamAll("z"));
    }
}

TEST_F(RulesObjectTest, AccumulationMakesEssentialWinAndListsEachNameOnce) {
    RulesObject t = make("/RULES/OBJECT:T");
    EXPECT_EQ(t.getEssentialParamsAll(), (Strings{"crp", "p"}));
    EXPECT_EQ(t.getOptionalParamsAll(), (Strings{"o", "d", "q", "r"}));
    EXPECT_EQ(t.getEssentialChildrenAll(), (Strings{"E", "D"}));
    EXPECT_EQ(t.getOptionalChildrenAll(), Strings{"C"});
    EXPECT_EQ(t.getChildrenAll(), (Strings{"E", "D", "C"}));
    EXPECT_EQ(t.getParamsAll(), (Strings{"crp", "p", "o", "d", "q", "r"}));

    EXPECT_EQ(t.getOptionalChildren(Strings{"a"}), (Strings{"C", "D"}));
    EXPECT_EQ(t.getEssentialParams(Strings{}), Strings{"crp"});
}

TEST_F(RulesObjectTest, AccumulationCacheIsReusedForAReorderedSet) {
    RulesObject t = make("/RULES/OBJECT:T");
    EXPECT_EQ(t.getOptionalParams(Strings{"b", "a"}), (Strings{"o", "d", "r", "q"}));
    // Same set in another order: the lists built in the order b, a are returned.
    const Strings& reordered = t.getOptionalParams(Strings{"a", "b"});
    EXPECT_EQ(reordered, (Strings{"o", "d", "r", "q"}));
    EXPECT_EQ(&reordered, &t.getOptionalParams(Strings{"b", "a"}));
    // A different set rebuilds.
    EXPECT_EQ(t.getOptionalParams(Strings{"a"}), (Strings{"o", "d", "q"}));
    EXPECT_EQ(t.getOptionalParams(Strings{"a", "b"}), (Strings{"o", "d", "q", "r"}));
    // An unrecognised option leaves the cache usable.
    EXPECT_THROW(t.getOptionalParams(Strings{"a", "zz"}), std::runtime_error);
    EXPECT_EQ(t.getOptionalParams(Strings{"b", "a"}), (Strings{"o", "d", "q", "r"}));

    RulesObject copy(t);
    EXPECT_EQ(copy.getEssentialParams(Strings{"a", "b"}), (Strings{"crp", "p"}));
}

TEST_F(RulesObjectTest, UnrecognisedOptions) {
    RulesObject t = make("/RULES/OBJECT:T");
    RulesObject n = make("/RULES/OBJECT:N");
    EXPECT_EQ(test::errorOf<std::runtime_error>([&] { t.getEssentialChildren(std::string("zz")); }),
              "RulesObject::findData - unrecognised value of \"Context Rule\" parameter (value = "
              "zz) in object T.");
    EXPECT_THROW(t.hasOptionalParam("p", "zz"), std::runtime_error);
    EXPECT_THROW(t.getEssentialChildren(Strings{"zz"}), std::runtime_error);
    EXPECT_THROW(n.getOptionalChildren(std::string("a")), std::runtime_error);
}

TEST_F(RulesObjectTest, ExtraRulesOfTheObjectItself) {
    ExtraDef extra;
    extra.stringRules = {"Label", "Absent"};
    extra.listRules = {"Aliases"};
    extra.boolRules = {"Hidden", "Broken"};
    RulesObject t = make("/RULES/OBJECT:T", false, extra);
    std::string label;
    EXPECT_TRUE(t.getExtraRule("Label", label));
    EXPECT_EQ(label, "tee");
    EXPECT_FALSE(t.getExtraRule("Absent", label));
    Strings aliases;
    EXPECT_TRUE(t.getExtraRule("Aliases", aliases));
    EXPECT_EQ(aliases, (Strings{"t1", "t2"}));
    bool flag = false;
    EXPECT_TRUE(t.getExtraRule("Hidden", flag));
    EXPECT_TRUE(flag);
    EXPECT_FALSE(t.getExtraRule("Broken", flag));
}

// A context rule without options and a CONTEXT of an option not allowed are pinned by the
// tool's tests (tests/tool/rules).
TEST(RulesObjectErrorsTest, InconsistentObjectDefinitions) {
    // An object or CONTEXT names an option, parameter or child once.
    struct Repeat {
        const char* lists;
        const char* message;
    };
    for (const Repeat& r : {
             Repeat{"  Optional Parameter List = p, q, p\n",
                    "\"p\" is named in \"Optional Parameter List\" and again in \"Optional "
                    "Parameter List\"."},
             Repeat{"  Essential Parameter List = p\n  Default Parameter List = p\n",
                    "\"p\" is named in \"Essential Parameter List\" and again in \"Default "
                    "Parameter List\"."},
             Repeat{"  Essential Child List = C\n  Optional Child List = C\n",
                    "\"C\" is named in \"Essential Child List\" and again in \"Optional Child "
                    "List\"."},
             Repeat{"  Allowed Option List = a, a\n",
                    "\"a\" is named in \"Allowed Option List\" and again in \"Allowed Option "
                    "List\"."},
             Repeat{"  Allowed Option List = a\n  CONTEXT: a\n   Optional Child List = C, C\n  "
                    "END\n",
                    "\"C\" is named in \"Optional Child List\" and again in \"Optional Child "
                    "List\"."},
         }) {
        EXPECT_EQ(
            errorOf(std::string("RULES:\n OBJECT: A\n") + r.lists + " END\nEND\n",
                    "/RULES/OBJECT:A"),
            std::string("RulesObject::initData - in RULES object /RULES/OBJECT:A") +
                (std::string(r.lists).find("CONTEXT") != std::string::npos ? "/CONTEXT:a" : "") +
                ", " + r.message)
            << r.lists;
    }
}

}  // namespace
}  // namespace kel
