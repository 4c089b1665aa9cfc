// Checking RULES and PHYSICS data with a diagnostics collector: every kind of problem is
// reported with its code and the line of the item at fault, independent problems are
// reported together, and valid data gives no diagnostic and a usable PhysicsData.

#include <kel/physicsdata/physics/DataChecker.h>

#include <kel/physicsdata/physics/Diagnostics.h>
#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsutils/InternalTARNDatastore.h>

#include "TestSupport.h"

namespace kel {
namespace {

const std::string kRules = test::tarn(R"(RULES:
  PARAMETER: Kind { Parameter Type = String; Allowed String List = Hot, Cold }
  PARAMETER: Size { Parameter Type = Real; Lower Bound = 0; Upper Bound = 10 }
  PARAMETER: Label { Parameter Type = String; Allowed String List = L1, L2 }
  SINGLETON: ROOT { Optional Child List = BOX }
  OBJECT: BOX { Context Rule = Kind; Allowed Option List = Hot, Cold
    Essential Parameter List = Kind, Size; Optional Parameter List = Label
    Optional Child List = LID }
  OBJECT: LID { Optional Parameter List = Size }
END
)");

const std::string kPhysics = test::tarn(R"(PHYSICS:
  CHECK DATA:
    CHECK: IsHot { Type = Parameter Value; Parameter = Kind; Value List = Hot }
    CHECK: LabelKnown { Type = Value In List; Parameter = Label; List = Labels }
    CHECK: LidSized { Type = Parameter Value; Object Type = LID; Parameter = Size; Test = Set }
    LIST: Labels { Type = Fixed; Value List = L1, L2 }
  END
  DEPENDENCIES:
    OBJECT DEPENDENCY: BOX { Ordered Allowed Option List = Hot, Cold
      Ordered Required Parameter List = Kind, Size; Ordered Optional Parameter List = Label
      Parameter Check List = Label, LabelKnown; Ordered Optional Child List = LID }
    OBJECT DEPENDENCY: LID { Ordered Optional Parameter List = Size
      Parameter Check List = Size, LidSized }
    PARAMETER VALUES: Size { Default Value = 1 }
    PARAMETER VALUES: Label { Ordered Allowed String List = L1, L2
      Allowed String List Checks = L2, IsHot }
  END
END
)");

// text with the first occurrence of `from` replaced by `to` (which must exist).
std::string edit(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// The 1-based line of text on which `needle` first occurs.
unsigned lineOf(const std::string& text, const std::string& needle) {
    const auto at = text.find(needle);
    EXPECT_NE(at, std::string::npos) << needle;
    return 1 + static_cast<unsigned>(std::count(text.begin(), text.begin() + at, '\n'));
}

struct Checked {
    Diagnostics diagnostics;
    bool valid = false;
    bool physicsBuilt = false;
};

Checked check(const std::string& rules, const std::string& physics) {
    InternalTARNDatastore rulesData(rules, InternalTARNDatastore::TEXT);
    InternalTARNDatastore physicsData(physics, InternalTARNDatastore::TEXT);
    Checked result;
    DataChecker checker;
    result.valid = checker.check(rulesData, physicsData, result.diagnostics);
    result.physicsBuilt = checker.physics() != nullptr;
    return result;
}

std::string dump(const Diagnostics& diagnostics) {
    std::string text;
    for (const auto& d : diagnostics.all())
        text += std::to_string(d.location.line()) + ": " + d.severityName() + ": " + d.message +
                " [" + d.code + "]\n";
    return text;
}

struct ProblemCase {
    const char* name;
    bool inRules;      // the edit applies to the RULES text, else to the PHYSICS text
    const char* from;  // text replaced ...
    const char* to;    // ... by this
    bool isError;
    const char* code;
    const char* lineOf;  // the reported line is the first one holding this text
    const char* message;
};

class DataCheckerProblemTest : public ::testing::TestWithParam<ProblemCase> {};

TEST_P(DataCheckerProblemTest, IsReportedWithCodeAndLine) {
    const ProblemCase& c = GetParam();
    const std::string rules = c.inRules ? edit(kRules, c.from, c.to) : kRules;
    const std::string physics = c.inRules ? kPhysics : edit(kPhysics, c.from, c.to);
    const Checked result = check(rules, physics);
    const unsigned line = lineOf(c.inRules ? rules : physics, c.lineOf);
    bool found = false;
    for (const auto& d : result.diagnostics.all())
        found |= d.code == c.code && d.isError() == c.isError && d.location.line() == line &&
                 d.message.find(c.message) != std::string::npos;
    EXPECT_TRUE(found) << "expected line " << line << "\n" << dump(result.diagnostics);
    EXPECT_FALSE(c.isError && result.valid);  // an error leaves the data invalid
}

// The tool's check tests (tests/tool/check_query_tests.cmake) pin, on the example data,
// unknown CHECK types, unknown LIST references, OBJECT DEPENDENCY errors and keys,
// insufficient context, RULES given as PHYSICS and several problems reported together.
const ProblemCase kProblems[] = {
    // Errors the load finds, located at the item at fault.
    {"RulesTypeMissing", true, "Parameter Type = String\nAllowed String List = L1",
     "    Allowed String List = L1", true, "rules", "PARAMETER: Label",
     "has not been assigned a type"},
    {"CyclicCheck", false, "Type = Parameter Value\nParameter = Kind",
     "Type = Not\n      Check List = IsHot\n      Parameter = Kind", true, "cyclic-reference",
     "Check List = IsHot", "\"CHECK:IsHot\" is in a cyclic"},
    {"ParameterValues", false, "Ordered Allowed String List = L1, L2",
     "Subset Value List Source = Labels", true, "parameter-values", "PARAMETER VALUES: Label",
     "subset list source"},
    // Warnings about what the load accepts silently.
    {"RulesKey", true, "Optional Parameter List = Label", "Optional Paramter List = Label", false,
     "unknown-key", "Optional Paramter List", "did you mean 'Optional Parameter List'?"},
    // Keys told apart only by their middle, or shorter than eight characters.
    {"RulesKeyMiddle", true, "Optional Parameter List = Label", "Optional ParXmeter List = Label",
     false, "unknown-key", "Optional ParXmeter List", "did you mean 'Optional Parameter List'?"},
    {"RulesShortKey", true, "Upper Bound = 10", "Upper Bound = 10\n    Defualt = 5", false,
     "unknown-key", "Defualt = 5", "unknown key 'Defualt'"},
    {"ParameterValuesKey", false, "Default Value = 1", "Default Valeu = 1", false, "unknown-key",
     "Default Valeu", "did you mean 'Default Value'?"},
    {"CheckKey", false, "Value List = Hot", "Value Lst = Hot", false, "unknown-key", "Value Lst",
     "did you mean 'Value List'?"},
    {"ListKey", false, "Value List = L1, L2", "Value Lists = L1, L2", false, "unknown-key",
     "Value Lists", "did you mean 'Value List'?"},
    {"ChildType", true, "Optional Child List = LID", "Optional Child List = LIDS", false,
     "unknown-type", "LIDS", "did you mean 'LID'?"},
    {"ParentType", true, "Optional Parameter List = Size\n",
     "Optional Parameter List = Size\n    Allowed Parent List = BOXX\n", false, "unknown-type",
     "BOXX", "did you mean 'BOX'?"},
    {"ObjectDependencyType", false, "OBJECT DEPENDENCY: LID", "OBJECT DEPENDENCY: LIDD", false,
     "unknown-type", "LIDD", "did you mean 'LID'?"},
    {"RulesDefaultType", true, "Upper Bound = 10", "Upper Bound = 10\n    Default = big", false,
     "bad-default", "Default = big", "is not a real number"},
    {"RulesDefaultBounds", true, "Upper Bound = 10", "Upper Bound = 10\n    Default = 11", false,
     "bad-default", "Default = 11", "above the upper bound '10'"},
    // Past the bound by less than single precision can tell apart.
    {"RulesDefaultBoundsExact", true, "Upper Bound = 10",
     "Upper Bound = 16777216\n    Default = 16777217", false, "bad-default", "Default = 16777217",
     "above the upper bound '16777216'"},
    {"RulesDefaultAllowed", true, "Allowed String List = L1, L2",
     "Allowed String List = L1, L2\n    Default = L3", false, "bad-default", "Default = L3",
     "not among the allowed values"},
    {"PhysicsDefaultBounds", false, "Default Value = 1", "Default Value = -1", false, "bad-value",
     "Default Value = -1", "below the lower bound '0'"},
    {"PhysicsOverrideAllowed", false, "Ordered Allowed String List = L1, L2",
     "Ordered Allowed String List = L1, L2\n      Value Override Check List = L4, IsHot", false,
     "bad-value", "Value Override", "'L4' is not among the allowed values"},
    {"ExcludedAllowedValue", false, "Ordered Allowed String List = L1, L2",
     "Ordered Allowed String List = L1, L2, L3", false, "excluded-value",
     "Ordered Allowed String List = L1, L2, L3", "'L3'"},
    {"UnusedCheck", false, "    LIST: Labels",
     "    CHECK: Orphan\n      Type = Constant\n      Value = true\n    END\n"
     "    LIST: Labels",
     false, "unused", "CHECK: Orphan", "CHECK 'Orphan' is not used"}};

INSTANTIATE_TEST_SUITE_P(Kinds, DataCheckerProblemTest, ::testing::ValuesIn(kProblems),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DataCheckerTest, ValidDataGivesNoDiagnosticAndThePhysicsData) {
    const Checked result = check(kRules, kPhysics);
    EXPECT_TRUE(result.valid && result.physicsBuilt);
    EXPECT_TRUE(result.diagnostics.empty()) << dump(result.diagnostics);

    // Empty PHYSICS data is a warning.
    const Checked empty = check(kRules, "");
    ASSERT_EQ(empty.diagnostics.all().size(), 1u) << dump(empty.diagnostics);
    EXPECT_EQ(empty.diagnostics.all()[0].code, "empty-input");
    EXPECT_THAT(empty.diagnostics.all()[0].message, HasSubstr("PHYSICS data is empty"));
}

}  // namespace
}  // namespace kel
