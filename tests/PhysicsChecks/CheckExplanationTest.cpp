// Check::explain: the same result as evaluate, with the deciding leaf check, its kind, the
// parameters it read and what it wanted, through All, Any and Not.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <kel/physicschecks/CheckExplanation.h>
#include <kel/physicschecks/EvalContext.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNModel.h>

#include "CheckEngineHarness.h"

namespace kel {
namespace {

TEST(CheckExplanationTest, NamesTheDecidingLeafWithWhatItReadAndWanted) {
    test::Engine engine;
    engine.check("steady",
                 "Type = Parameter Value; Parameter = Analysis Type; Object Type = FLOW; Value "
                 "List = Steady");
    engine.check("tagged", "Type = Parameter Value; Parameter = Tags; Test = Set");
    engine.check("warm", "Type = Numeric Test; Parameter = Temperature; Operator = >; Value = 300");
    engine.check("hasFluid", "Type = Child Exists; Object Type = FLUID");
    engine.check("hasControl", "Type = Object Exists; Object Type = CONTROL");
    engine.check("no", "Type = Constant; Value = false");
    engine.list("types", "Type = Fixed; Value List = Solid");
    engine.check("listed", "Type = Value In List; Parameter = Domain Type; List = types");
    engine.check("all", "Type = All; Check List = steady, warm, hasFluid");
    engine.check("any", "Type = Any; Check List = no, tagged");
    engine.check("notSteady", "Type = Not; Check List = steady");
    engine.resolve();

    const auto model = TARNModel::fromText(
        "FLOW: f\n  Analysis Type = Steady\n  DOMAIN: d\n    Domain Type = Fluid\n"
        "    Temperature = 280 [K]\n  END\nEND\n");
    EvalContext eval(*model);
    const TARNContext domain("/FLOW:f/DOMAIN:d");

    struct Case {
        const char* check;
        bool result;
        CheckExplanation why;
    };
    const Case cases[] = {
        {"steady",
         true,
         {"steady",
          "Parameter Value",
          {{"Analysis Type", "Steady"}},
          "Analysis Type one of Steady"}},
        {"tagged", false, {"tagged", "Parameter Value", {{"Tags", ""}}, "Tags set"}},
        {"warm",
         false,
         {"warm", "Numeric Test", {{"Temperature", "280 [K]"}}, "Temperature > 300"}},
        {"hasFluid", false, {"hasFluid", "Child Exists", {}, "at least 1 FLUID child"}},
        {"hasControl", false, {"hasControl", "Object Exists", {}, "an object of type CONTROL"}},
        {"listed",
         false,
         {"listed", "Value In List", {{"Domain Type", "Fluid"}}, "Domain Type in LIST types"}},
        // All: the first check that fails; Any: the last that failed; Not: its leaf, negated.
        {"all", false, {"warm", "Numeric Test", {{"Temperature", "280 [K]"}}, "Temperature > 300"}},
        {"any", false, {"tagged", "Parameter Value", {{"Tags", ""}}, "Tags set"}},
        {"notSteady",
         false,
         {"steady",
          "Parameter Value",
          {{"Analysis Type", "Steady"}},
          "not (Analysis Type one of Steady)"}},
        {"no", false, {"no", "Constant", {}, "false"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.check);
        Check* check = engine.getCheck(c.check, true);
        CheckExplanation why;
        EXPECT_EQ(check->explain(domain, &eval, why), c.result);
        EXPECT_EQ(check->evaluate(domain, &eval), c.result);
        EXPECT_EQ(why.check, c.why.check);
        EXPECT_EQ(why.kind, c.why.kind);
        EXPECT_EQ(why.values, c.why.values);
        EXPECT_EQ(why.wanted, c.why.wanted);
    }
}

// Two checks per level, each combining both of the level below: 2^depth paths through the
// checks. Explaining must cost once per check, not once per path.
TEST(CheckExplanationTest, SharedChecksAreExplainedOncePerQuery) {
    constexpr int kDepth = 90;
    // Appending to a named string: GCC 12 falsely flags "A" + std::to_string(i) when optimising.
    const auto named = [](char prefix, int level) {
        std::string name(1, prefix);
        name += std::to_string(level);
        return name;
    };
    test::Engine engine;
    engine.check(named('A', kDepth), "Type = Constant; Value = true");
    engine.check(named('B', kDepth), "Type = Constant; Value = false");
    for (int level = kDepth - 1; level >= 0; --level) {
        std::string list = named('A', level + 1);
        list += ", ";
        list += named('B', level + 1);
        engine.check(named('A', level), ("Type = Any; Check List = " + list).c_str());
        engine.check(named('B', level), ("Type = All; Check List = " + list).c_str());
    }
    engine.resolve();
    const auto model = TARNModel::fromText("FLOW: f\nEND\n");
    EvalContext eval(*model);
    const TARNContext flow("/FLOW:f");
    for (const char* top : {"A0", "B0"}) {
        SCOPED_TRACE(top);
        CheckExplanation why;
        Check* check = engine.getCheck(top, true);
        EXPECT_EQ(check->explain(flow, &eval, why), check->evaluate(flow, &eval));
        EXPECT_EQ(why.kind, "Constant");
    }
}

}  // namespace
}  // namespace kel
