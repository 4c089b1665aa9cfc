// RULES parameter definitions: scoped lookup of keys (context -> object -> global), the
// type, unit and scope errors, and the extra rules read for a host.

#include <kel/physicsdata/rules/RulesParam.h>
#include <kel/physicsutils/InternalTARNDatastore.h>

#include "TestSupport.h"

namespace kel {
namespace {

const std::string kRules = test::tarn(R"(
RULES:
  PARAMETER: p { Parameter Type = Real; Description = global p; Default = 1.0 [m]
    Lower Bound = 0 [m]; Allowed String List = a, b; Quantity Type = Length; Tag = from global
    Flag = yes }
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

ExtraDef extraRules() {
    ExtraDef extra;
    extra.stringRules = {"Tag", "Empty Tag", "Quantity Type"};
    extra.listRules = {"Allowed String List", "Missing List"};
    extra.boolRules = {"Flag", "Bad Flag"};
    return extra;
}

std::string errorOf(const std::string& text, const std::string& name, const std::string& path,
                    const ExtraDef& extra = {}) {
    InternalTARNDatastore ds(text, InternalTARNDatastore::TEXT);
    return test::errorOf<std::runtime_error>([&] { RulesParam(ds, name, path, extra); });
}

TEST(RulesParamTest, GlobalDefinitionReadsEveryKey) {
    InternalTARNDatastore ds(kRules, InternalTARNDatastore::TEXT);
    RulesParam p(ds, "p", "/RULES/PARAMETER:p", {});
    EXPECT_EQ(p.getName(), "p");
    EXPECT_EQ(p.getType(), TARNParam::Real);
    EXPECT_EQ(p.getDescription(), "global p");
    EXPECT_EQ(p.getDefault(), "1.0 [m]");
    EXPECT_TRUE(p.hasDefaultValue());
    EXPECT_EQ(p.hasBounds(), std::make_pair(true, false));
    EXPECT_EQ(p.getAllowedStringList(), (std::vector<std::string>{"a", "b"}));
    EXPECT_FALSE(p.ignoresOuterScope());

    RulesParam empty;
    EXPECT_EQ(empty.getType(), TARNParam::Unknown);
    EXPECT_FALSE(empty.hasDefaultValue());
}

TEST(RulesParamTest, LocalDefinitionsInheritFromOuterScopes) {
    InternalTARNDatastore ds(kRules, InternalTARNDatastore::TEXT);
    // Object level: own default and allowed strings, the rest from the global definition.
    RulesParam objectLevel(ds, "p", "/RULES/OBJECT:A/PARAMETER:p", {});
    EXPECT_EQ(objectLevel.getType(), TARNParam::Real);
    EXPECT_EQ(objectLevel.getDefault(), "2.0 [m]");
    EXPECT_EQ(objectLevel.getLowerBound(), "0 [m]");
    EXPECT_EQ(objectLevel.getDescription(), "global p");
    EXPECT_EQ(objectLevel.getAllowedStringList(), std::vector<std::string>{"x"});

    // Context level: ignoring the global definition has no effect there.
    RulesParam contextLevel(ds, "p", "/RULES/OBJECT:A/CONTEXT:c/PARAMETER:p", {});
    EXPECT_FALSE(contextLevel.ignoresOuterScope());
    EXPECT_EQ(contextLevel.getDefault(), "2.0 [m]");
    EXPECT_EQ(contextLevel.getUpperBound(), "9 [m]");
    EXPECT_EQ(contextLevel.getDescription(), "global p");
    EXPECT_EQ(contextLevel.hasBounds(), std::make_pair(true, true));

    // Object level ignoring the global definition sees nothing of it.
    RulesParam isolated(ds, "p", "/RULES/OBJECT:B/PARAMETER:p", {});
    EXPECT_TRUE(isolated.ignoresOuterScope());
    EXPECT_EQ(isolated.getType(), TARNParam::String);
    EXPECT_EQ(isolated.getDescription(), "");
    EXPECT_FALSE(isolated.hasDefaultValue());
    EXPECT_TRUE(isolated.getAllowedStringList().empty());
}

TEST(RulesParamTest, OuterParameterPathWalksContextObjectGlobal) {
    EXPECT_EQ(RulesParam::outerParameterPath(false, "/RULES/OBJECT:A/CONTEXT:c/PARAMETER:p"),
              "/RULES/OBJECT:A/PARAMETER:p");
    EXPECT_EQ(RulesParam::outerParameterPath(true, "/RULES/OBJECT:A/CONTEXT:c/PARAMETER:p"),
              "/RULES/OBJECT:A/PARAMETER:p");
    EXPECT_EQ(RulesParam::outerParameterPath(false, "/RULES/SINGLETON:S/PARAMETER:p"),
              "/RULES/PARAMETER:p");
    EXPECT_FALSE(RulesParam::outerParameterPath(true, "/RULES/OBJECT:A/PARAMETER:p"));
    EXPECT_FALSE(RulesParam::outerParameterPath(false, "/RULES/PARAMETER:p"));
    EXPECT_FALSE(RulesParam::outerParameterPath(false, "/RULES/OBJECT:A"));
}

TEST(RulesParamTest, TypeErrors) {
    EXPECT_EQ(errorOf(kRules, "p", "/RULES/OBJECT:A/PARAMETER:q"),
              "Parameter p has not been assigned a type in the RULES data.");
    // Ignoring the global definition loses its type.
    EXPECT_EQ(errorOf(test::tarn(R"(
RULES:
  PARAMETER: p { Parameter Type = Real }
  OBJECT: A
    PARAMETER: p { Ignore Global Definition = true; Default = 3 }
  END
END
)"),
                      "p", "/RULES/OBJECT:A/PARAMETER:p"),
              "Parameter p has not been assigned a type in the RULES data.");
    // A type given at CONTEXT scope is refused: pinned by the tool's tests (tests/tool/rules).
}

TEST(RulesParamTest, RealValuesWithQuantityTypeNeedUnits) {
    auto rules = [](const std::string& type, const std::string& quantity, const std::string& key,
                    const std::string& value) {
        return "RULES:\n PARAMETER: p\n  Parameter Type = " + type +
               "\n  Quantity Type = " + quantity + "\n  " + key + " = " + value + "\nEND\nEND\n";
    };
    const std::string unitless =
        "RulesObject::initData - in RULES object /RULES/PARAMETER:p, a "
        "parameter, ";
    const std::string length = ", is defined without a unit but has a quantity type set to Length.";
    // {type, quantity type, key, value, message}; only a number without units is refused.
    const std::vector<std::vector<std::string>> cases = {
        {"Real", "Length", "Default", "2.0", unitless + "Default" + length},
        {"Real", "Length", "Upper Bound", "5", unitless + "Upper Bound" + length},
        {"Real", "Length", "Default", "2.0 [m]", ""},
        {"Real", "Dimensionless", "Default", "2.0", ""},
        {"Real", "Expression", "Default", "2.0", ""},
        {"Real", "Length", "Default", "2*x", ""},  // an expression
        {"Real List", "Length", "Default", "2.0", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(errorOf(rules(c[0], c[1], c[2], c[3]), "p", "/RULES/PARAMETER:p"), c[4])
            << c[0] << " " << c[1] << " " << c[2] << " " << c[3];
}

TEST(RulesParamTest, ExtraRulesFollowTheScopedLookup) {
    const std::string text = std::string(kRules).insert(
        std::string(kRules).find("  OBJECT: A"),
        "  PARAMETER: q\n    Parameter Type = String\n    Empty Tag =\n    Bad Flag = maybe\n"
        "  END\n");
    InternalTARNDatastore ds(text, InternalTARNDatastore::TEXT);
    const ExtraDef extra = extraRules();

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
