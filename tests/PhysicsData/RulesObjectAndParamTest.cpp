// RULES object types (context rule and options, per-option lists, the accumulation over
// option sets and its cache, the errors of inconsistent object definitions) and RULES
// parameter definitions.

#include <kel/physicsdata/rules/RulesObject.h>
#include <kel/physicsdata/rules/RulesParam.h>
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

TEST_F(RulesObjectTest, ContextRuleOptionsAndExtraRules) {
    ExtraDef extra;
    extra.stringRules = {"Label", "Absent"};
    extra.listRules = {"Aliases"};
    extra.boolRules = {"Hidden", "Broken"};
    RulesObject t = make("/RULES/OBJECT:T", false, extra);
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

    // The extra rules of the object itself.
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

TEST_F(RulesObjectTest, AccumulationMakesEssentialWinIsCachedAndRefusesUnknownOptions) {
    RulesObject t = make("/RULES/OBJECT:T");
    EXPECT_EQ(t.getEssentialParamsAll(), (Strings{"crp", "p"}));
    EXPECT_EQ(t.getOptionalParamsAll(), (Strings{"o", "d", "q", "r"}));
    EXPECT_EQ(t.getEssentialChildrenAll(), (Strings{"E", "D"}));
    EXPECT_EQ(t.getOptionalChildrenAll(), Strings{"C"});
    EXPECT_EQ(t.getChildrenAll(), (Strings{"E", "D", "C"}));
    EXPECT_EQ(t.getParamsAll(), (Strings{"crp", "p", "o", "d", "q", "r"}));

    EXPECT_EQ(t.getOptionalChildren(Strings{"a"}), (Strings{"C", "D"}));
    EXPECT_EQ(t.getEssentialParams(Strings{}), Strings{"crp"});

    // The accumulation is cached per option set.
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

    RulesObject n = make("/RULES/OBJECT:N");
    EXPECT_EQ(test::errorOf<std::runtime_error>([&] { t.getEssentialChildren(std::string("zz")); }),
              "RulesObject::findData - unrecognised value of \"Context Rule\" parameter (value = "
              "zz) in object T.");
    EXPECT_THROW(t.hasOptionalParam("p", "zz"), std::runtime_error);
    EXPECT_THROW(t.getEssentialChildren(Strings{"zz"}), std::runtime_error);
    EXPECT_THROW(n.getOptionalChildren(std::string("a")), std::runtime_error);
}

// Lists longer than a few names: each name once, in first-appearance order over the options,
// and a name essential under one option is not optional under another.
TEST(RulesObjectLongListsTest, AccumulationOfLongLists) {
    const auto names = [](const char* stem, int from, int to) {
        Strings items;
        for (int i = from; i <= to; ++i)
            items.push_back(stem + std::to_string(i));
        return items;
    };
    const auto join = [](const Strings& items) {
        std::string text;
        for (const auto& item : items)
            text += (text.empty() ? "" : ", ") + item;
        return text;
    };
    const InternalTARNDatastore ds(
        "RULES:\n OBJECT: L\n  Allowed Option List = x, y\n  Optional Parameter List = " +
            join(names("p", 1, 20)) + "\n  CONTEXT: x\n   Essential Parameter List = p5, " +
            join(names("q", 1, 18)) +
            "\n  END\n  CONTEXT: y\n   Optional Parameter List = q3, r1\n  END\n END\nEND\n",
        InternalTARNDatastore::TEXT);
    const RulesObject l(ds, "/RULES/OBJECT:L", false, {});
    Strings essential{"p5"};
    for (const auto& q : names("q", 1, 18))
        essential.push_back(q);
    Strings optional = names("p", 1, 20);
    optional.erase(optional.begin() + 4);
    optional.push_back("r1");
    EXPECT_EQ(l.getEssentialParamsAll(), essential);
    EXPECT_EQ(l.getOptionalParamsAll(), optional);
    EXPECT_EQ(l.getOptionalParams(Strings{"y", "x"}), optional);
    Strings ofY = names("p", 1, 20);
    ofY.insert(ofY.end(), {"q3", "r1"});
    EXPECT_EQ(l.getOptionalParams(Strings{"y"}), ofY);
    EXPECT_EQ(l.getEssentialParams(Strings{"y", "y"}), Strings{});
}

// A context rule without options and a CONTEXT of an option not allowed are pinned by the
// tool's tests (tests/tool/rules).
TEST(RulesObjectErrorsTest, InconsistentObjectDefinitions) {
    // An object or CONTEXT names an option, parameter or child once, though one name may be
    // both a child and a parameter; repeated children are reported first: {keys, message}.
    const std::string in = "RulesObject::initData - in RULES object /RULES/OBJECT:A";
    const std::pair<const char*, std::string> cases[] = {
        {"Optional Parameter List = p, q, p",
         in + ", \"p\" is named in \"Optional Parameter List\" and again in \"Optional Parameter "
              "List\"."},
        {"Essential Parameter List = p\nDefault Parameter List = p",
         in + ", \"p\" is named in \"Essential Parameter List\" and again in \"Default Parameter "
              "List\"."},
        {"Allowed Option List = a\nCONTEXT: a { Optional Child List = C, C }",
         in + "/CONTEXT:a, \"C\" is named in \"Optional Child List\" and again in \"Optional "
              "Child List\"."},
        {"Optional Child List = p, q\nOptional Parameter List = q, p", ""},
        {"Optional Parameter List = p, p\nOptional Child List = C, C",
         in + ", \"C\" is named in \"Optional Child List\" and again in \"Optional Child "
              "List\"."},
    };
    for (const auto& [keys, message] : cases) {
        const std::string text =
            test::tarn(std::string("RULES:\nOBJECT: A\n") + keys + "\nEND\nEND");
        EXPECT_EQ(errorOf(text, "/RULES/OBJECT:A"), message) << keys;
    }
    // Long lists are checked another way, to the same first repeat.
    std::string items;
    for (int i = 0; i < 20; ++i)
        items.append("q").append(std::to_string(i)).append(", ");
    std::string text("RULES:\nOBJECT: A\nOptional Child List = ");
    text.append(items).append("q3, q5\nEND\nEND");
    EXPECT_EQ(errorOf(test::tarn(text), "/RULES/OBJECT:A"),
              in + ", \"q3\" is named in \"Optional Child List\" and again in \"Optional "
                   "Child List\".");
}

// RULES parameter definitions: scoped lookup of keys (context -> object -> global), the
// type, unit and scope errors, and the extra rules read for a host.
const std::string kParamRules = test::tarn(R"(
RULES:
  PARAMETER: p { Parameter Type = Real; Description = global p; Default = 1.0 [m]
    Lower Bound = 0 [m]; Allowed String List = a, b; Quantity Type = Length; Tag = from global
    Flag = yes }
  PARAMETER: q { Parameter Type = String; Empty Tag =; Bad Flag = maybe }
  OBJECT: A
    Optional Parameter List = p
    Allowed Option List = c
    PARAMETER: p { Default = 2.0 [m]; Allowed String List = x }
    CONTEXT: c
      PARAMETER: p { Ignore Global Definition = true; Upper Bound = 9 [m] }
    END
  END
  OBJECT: B
    Optional Parameter List = p
    PARAMETER: p { Ignore Global Definition = true; Parameter Type = String }
  END
END
)");

std::string paramErrorOf(const std::string& text, const std::string& name, const std::string& path,
                         const ExtraDef& extra = {}) {
    InternalTARNDatastore ds(text, InternalTARNDatastore::TEXT);
    return test::errorOf<std::runtime_error>([&] { RulesParam(ds, name, path, extra); });
}

// "type|default|lower|upper|description|allowed strings", "|alone" when the definition
// ignores the outer scopes.
std::string describe(const RulesParam& p) {
    std::string text = TARNParam::typeStringFromType(p.getType()) + "|" + p.getDefault() + "|" +
                       p.getLowerBound() + "|" + p.getUpperBound() + "|" + p.getDescription() + "|";
    for (const std::string& s : p.getAllowedStringList())
        text += s + ",";
    return text + (p.ignoresOuterScope() ? "|alone" : "");
}

TEST(RulesParamTest, LocalDefinitionsInheritFromOuterScopes) {
    InternalTARNDatastore ds(kParamRules, InternalTARNDatastore::TEXT);
    const RulesParam global(ds, "p", "/RULES/PARAMETER:p", {});
    EXPECT_EQ(global.getName(), "p");
    EXPECT_EQ(describe(global), "Real|1.0 [m]|0 [m]||global p|a,b,");
    EXPECT_TRUE(global.hasDefaultValue());
    EXPECT_EQ(global.hasBounds(), std::make_pair(true, false));
    // Object level: own default and allowed strings, the rest from the global definition.
    EXPECT_EQ(describe(RulesParam(ds, "p", "/RULES/OBJECT:A/PARAMETER:p", {})),
              "Real|2.0 [m]|0 [m]||global p|x,");
    // Context level: ignoring the global definition has no effect there.
    const RulesParam contextLevel(ds, "p", "/RULES/OBJECT:A/CONTEXT:c/PARAMETER:p", {});
    EXPECT_EQ(describe(contextLevel), "Real|2.0 [m]|0 [m]|9 [m]|global p|x,");
    EXPECT_EQ(contextLevel.hasBounds(), std::make_pair(true, true));
    // Object level ignoring the global definition sees nothing of it.
    const RulesParam isolated(ds, "p", "/RULES/OBJECT:B/PARAMETER:p", {});
    EXPECT_EQ(describe(isolated), "String||||||alone");
    EXPECT_FALSE(isolated.hasDefaultValue() || RulesParam().hasDefaultValue());
    EXPECT_EQ(RulesParam().getType(), TARNParam::Unknown);
}

TEST(RulesParamTest, OuterParameterPathWalksContextObjectGlobal) {
    // {ignoring the global definition, path, outer path or "none"}; other spellings of a
    // path come out in the plain one.
    const std::tuple<bool, const char*, const char*> cases[] = {
        {false, "/RULES/OBJECT:A/CONTEXT:c/PARAMETER:p", "/RULES/OBJECT:A/PARAMETER:p"},
        {true, "/RULES/OBJECT:A/CONTEXT:c/PARAMETER:p", "/RULES/OBJECT:A/PARAMETER:p"},
        {false, "/RULES/SINGLETON:S/PARAMETER:p", "/RULES/PARAMETER:p"},
        {true, "/RULES/OBJECT:A/PARAMETER:p", "none"},
        {false, "/RULES/PARAMETER:p", "none"},
        {false, "/RULES/OBJECT:A", "none"},
        {false, "RULES//OBJECT:A/CONTEXT:/PARAMETER:p/", "/RULES/OBJECT:A/PARAMETER:p"},
        {false, "RULES//PARAMETER:p", "none"},
    };
    for (const auto& [ignoreGlobal, path, outer] : cases)
        EXPECT_EQ(RulesParam::outerParameterPath(ignoreGlobal, path).value_or("none"), outer)
            << path;
}

TEST(RulesParamTest, TypeErrors) {
    EXPECT_EQ(paramErrorOf(kParamRules, "p", "/RULES/OBJECT:A/PARAMETER:z"),
              "Parameter p has not been assigned a type in the RULES data.");
    // Ignoring the global definition loses its type.
    std::string untyped = kParamRules;
    untyped.erase(untyped.find("Parameter Type = String\n", untyped.find("OBJECT: B")), 24);
    EXPECT_EQ(paramErrorOf(untyped, "p", "/RULES/OBJECT:B/PARAMETER:p"),
              "Parameter p has not been assigned a type in the RULES data.");
    // A type given at CONTEXT scope is refused: pinned by the tool's tests (tests/tool/rules).
}

TEST(RulesParamTest, RealValuesWithQuantityTypeNeedUnits) {
    // {type, quantity type, default}: only a Real number without units is refused.
    // (A bound without its unit: pinned by the tool's tests, tests/tool/rules.)
    const std::vector<std::vector<std::string>> cases = {
        {"Real", "Length", "2.0"},        {"Real", "Length", "2.0 [m]"},
        {"Real", "Dimensionless", "2.0"}, {"Real", "Expression", "2.0"},
        {"Real", "Length", "2*x"},  // an expression
        {"Real List", "Length", "2.0"},
    };
    for (const auto& c : cases) {
        const std::string text = "RULES:\n PARAMETER: p\n  Parameter Type = " + c[0] +
                                 "\n  Quantity Type = " + c[1] + "\n  Default = " + c[2] +
                                 "\nEND\nEND\n";
        EXPECT_EQ(paramErrorOf(text, "p", "/RULES/PARAMETER:p"),
                  &c == &cases[0] ? "RulesObject::initData - in RULES object /RULES/PARAMETER:p, a "
                                    "parameter, Default, is defined without a unit but has a "
                                    "quantity type set to Length."
                                  : "")
            << text;
    }
}

TEST(RulesParamTest, ExtraRulesFollowTheScopedLookup) {
    InternalTARNDatastore ds(kParamRules, InternalTARNDatastore::TEXT);
    ExtraDef extra;
    extra.stringRules = {"Tag", "Empty Tag", "Quantity Type"};
    extra.listRules = {"Allowed String List", "Missing List"};
    extra.boolRules = {"Flag", "Bad Flag"};

    RulesParam local(ds, "p", "/RULES/OBJECT:A/PARAMETER:p", extra);
    std::string tag = "stale";
    EXPECT_TRUE(local.getExtraRule("Tag", tag));
    EXPECT_EQ(tag, "from global");
    std::vector<std::string> list{"stale"};
    EXPECT_TRUE(local.getExtraRule("Allowed String List", list));
    EXPECT_EQ(list, std::vector<std::string>{"x"});
    EXPECT_FALSE(local.getExtraRule("Missing List", list));
    EXPECT_TRUE(list.empty());
    bool flag = false;
    EXPECT_TRUE(local.getExtraRule("Flag", flag));
    EXPECT_TRUE(flag);
    EXPECT_FALSE(local.getExtraRule("Not Asked For", tag));
    EXPECT_EQ(tag, "");

    RulesParam isolated(ds, "p", "/RULES/OBJECT:B/PARAMETER:p", extra);
    EXPECT_FALSE(isolated.getExtraRule("Tag", tag));

    RulesParam q(ds, "q", "/RULES/PARAMETER:q", extra);
    EXPECT_TRUE(q.getExtraRule("Empty Tag", tag));
    EXPECT_EQ(tag, "");
    flag = true;
    EXPECT_FALSE(q.getExtraRule("Bad Flag", flag));
    EXPECT_FALSE(flag);

    RulesParam copy(q);
    EXPECT_TRUE(copy.getExtraRule("Empty Tag", tag));
    copy = local;
    EXPECT_EQ(copy.getDefault(), "2.0 [m]");
}

}  // namespace
}  // namespace kel
