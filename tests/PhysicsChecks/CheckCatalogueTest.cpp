// The catalogue's checks and lists, evaluated against a small model, and their explanations.

#include <iterator>

#include <kel/physicschecks/EvalContext.h>
#include <kel/physicschecks/ParamRHSFunc.h>
#include <kel/physicsutils/ParamAllowedValues.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNModel.h>

#include <kel/physicschecks/CheckExplanation.h>
#include <kel/physicschecks/DefaultProductCreator.h>

#include "CheckEngineHarness.h"

namespace kel {
namespace {

const std::string kModel = test::tarn(R"(
FLOW: main
  Analysis Type = Steady
  DOMAIN: hot
    Domain Type = Fluid
    Temperature = 350 [K]
    FLUID: water { Pressure = 2.5 [bar] }
    FLUID: air {}
    BOUNDARY: inlet { Boundary Type = Inlet; Enabled = Yes }
  END
  DOMAIN: block { Domain Type = Solid; Tags = a, b, c }
END
CONTROL: { Precision = Double }
)");

const std::string kHot = "/FLOW:main/DOMAIN:hot";
const std::string kBlock = "/FLOW:main/DOMAIN:block";

class CatalogueTest : public ::testing::Test {
protected:
    CatalogueTest() : model(TARNModel::fromText(kModel)), eval(*model) {}

    bool pass(Check* check, const std::string& path) {
        return check->evaluate(TARNContext(path), &eval);
    }
    std::vector<std::string> values(List* list, const std::string& path) {
        return list->evaluate(TARNContext(path), &eval);
    }

    test::Engine engine;
    std::unique_ptr<TARNModel> model;
    EvalContext eval;
};

// Appending to a named string sidesteps a false -Wrestrict of GCC 12 on
// "literal" + std::to_string(i) in optimised builds.
std::string indexed(const char* prefix, std::size_t i) {
    std::string name(prefix);
    name += std::to_string(i);
    return name;
}

TEST_F(CatalogueTest, ChecksOverTheModel) {
    const std::string inlet = kHot + "/BOUNDARY:inlet";
    const std::string water = kHot + "/FLUID:water";
    const std::string fluid = "Type = Parameter Value; Parameter = Domain Type; Value List = Fluid";
    const std::string numeric = "Type = Numeric Test; Parameter = Temperature; Operator = ";
    // {check data, object path, passes}
    const std::tuple<std::string, std::string, bool> cases[] = {
        // Parameter Value compares as asked.
        {fluid + ", Porous", kHot, true},
        {fluid + ", Porous", kBlock, false},
        {fluid + ", Porous", "/FLOW:main/DOMAIN:missing", false},
        {fluid + "; Test = Not Equal", kHot, false},
        {fluid + "; Test = Not Equal", kBlock, true},
        {"Type = Parameter Value; Parameter = Tags; Test = Set", kBlock, true},
        {"Type = Parameter Value; Parameter = Tags; Test = Not Set", kBlock, false},
        {"Type = Parameter Value; Parameter = Tags; Test = Not Set", kHot, true},
        // Logical words compare by meaning.
        {"Type = Parameter Value; Parameter = Enabled; Value List = true", inlet, true},
        // Object Type reads the nearest ancestor, the object itself included.
        {fluid + "; Object Type = DOMAIN", water, true},
        {fluid + "; Object Type = DOMAIN", kHot, true},
        {fluid + "; Object Type = DOMAIN", "/FLOW:main", false},
        {"Type = Parameter Value; Parameter = Analysis Type; Value List = Steady; "
         "Object Type = FLOW",
         inlet, true},
        // Object Path reads a fixed object.
        {"Type = Parameter Value; Parameter = Precision; Value List = Double; "
         "Object Path = /CONTROL",
         kBlock, true},
        // Numeric Test ignores units; text that is not a number, or none, passes nothing.
        {numeric + "> ; Value = 300", kHot, true},
        {numeric + ">= ; Value = 350 [C]", kHot, true},
        {numeric + "< ; Value = 350", kHot, false},
        {numeric + "<= ; Value = 350", kHot, true},
        {numeric + "== ; Value = 350", kHot, true},
        {numeric + "!= ; Value = 350", kHot, false},
        {numeric + "< ; Value = 1e9", kBlock, false},
        {"Type = Numeric Test; Parameter = Domain Type; Operator = ==; Value = 0", kHot, false},
        // Child Exists counts the object's children; Object Exists looks at the model.
        {"Type = Child Exists; Object Type = FLUID", kHot, true},
        {"Type = Child Exists; Object Type = FLUID", kBlock, false},
        {"Type = Child Exists; Object Type = FLUID; Minimum Count = 3", kHot, false},
        {"Type = Object Exists; Object Type = BOUNDARY", "/CONTROL", true},
        {"Type = Object Exists; Object Type = SOLVER", "/CONTROL", false},
        // All, Any and Not combine the checks they name; Constant reads logical words.
        {"Type = All; Check List = yes, no", "/CONTROL", false},
        {"Type = Any; Check List = no, yes", "/CONTROL", true},
        {"Type = Not; Check List = all", "/CONTROL", true},
        {"Type = Any; Check List = no, ctx", water, true},
        // Value In List looks the value up in the LIST.
        {"Type = Value In List; Parameter = Domain Type; List = solidTypes", kBlock, true},
        {"Type = Value In List; Parameter = Domain Type; List = solidTypes", kHot, false},
        {"Type = Value In List; Parameter = Domain Type; List = ctxList; Object Type = DOMAIN",
         kBlock, false},
    };
    engine.check("yes", "Type = Constant; Value = Yes");
    engine.check("no", "Type = Constant; Value = off");
    engine.check("all", "Type = All; Check List = yes, no");
    engine.check("ctx", (fluid + "; Object Type = DOMAIN").c_str());
    engine.list("solidTypes", "Type = Fixed; Value List = Solid, Shell");
    engine.list("ctxList", "Type = Parameter Values; Parameter = Tags; Object Type = FLOW");
    for (std::size_t i = 0; i < std::size(cases); ++i)
        engine.check(indexed("c", i), std::get<0>(cases[i]).c_str());
    engine.resolve();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& [data, path, passes] = cases[i];
        EXPECT_EQ(pass(engine.getCheck(indexed("c", i), true), path), passes)
            << data << " at " << path;
    }

    // The required context: each Object Type, also of the checks and lists named; an
    // Object Path adds none. Names depended on in the order written.
    const auto context = [&](std::size_t i) {
        return engine.getCheck(indexed("c", i), true)->getRequiredContext();
    };
    EXPECT_EQ(context(9), std::set<std::string>{"DOMAIN"});
    EXPECT_TRUE(context(13).empty());
    EXPECT_EQ(context(30), std::set<std::string>{"DOMAIN"});
    EXPECT_EQ(context(33), (std::set<std::string>{"DOMAIN", "FLOW"}));
    EXPECT_THAT(engine.getCheck("c27", true)->getCheckNamesDependOn(), ElementsAre("yes", "no"));
    EXPECT_THAT(engine.getCheck("c31", true)->getListNamesDependOn(), ElementsAre("solidTypes"));
}

TEST_F(CatalogueTest, NumericTestComparesExactly) {
    // {model value, operator, value, passes}: whole numbers compare as 64-bit integers,
    // others in double precision, and a value that is not a finite number passes no
    // comparison.
    const std::tuple<const char*, const char*, const char*, bool> cases[] = {
        {"16777217", "==", "16777216", false},
        {"16777217", ">", "16777216", true},
        {"0.10000000001", ">", "0.1", true},
        {"9007199254740993", "!=", "9007199254740992", true},
        {"9223372036854775807", ">", "9223372036854775806", true},
        {"3", "<", "3.5", true},
        {"-3", ">", "-3.5", true},
        {"2", "==", "2.0 [m]", true},
        {"1e39", ">", "1e38", true},
        {"nan", "!=", "0", false},
        {"inf", ">", "0", false},
        {"1e400", ">", "0", false},
    };
    std::string text;
    for (std::size_t i = 0; i < std::size(cases); ++i)
        text += indexed("X: x", i) + "\n  X = " + std::get<0>(cases[i]) + "\nEND\n";
    auto numbers = TARNModel::fromText(text);
    EvalContext numberEval(*numbers);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& [modelValue, op, value, passes] = cases[i];
        const std::string data = std::string("Type = Numeric Test; Parameter = X; Operator = ") +
                                 op + "; Value = " + value;
        Check* check = engine.check(indexed("n", i), data.c_str());
        EXPECT_EQ(check->evaluate(TARNContext(indexed("/X:x", i)), &numberEval), passes)
            << modelValue << " " << op << " " << value;
    }
}

// A passing check that counts its evaluations, created by type as the catalogue's are.
struct CountingCheck : testing::FakeCheck {
    CountingCheck() : FakeCheck("counted", true) {}
};

TEST_F(CatalogueTest, AllStopsAtTheFirstFailure) {
    engine.checkFactory.registerCreator(
        "Counting", std::make_unique<DefaultProductCreator<Check, CountingCheck>>());
    auto* counted = dynamic_cast<CountingCheck*>(engine.check("counted", "Type = Counting"));
    engine.check("yes", "Type = Constant; Value = true");
    engine.check("no", "Type = Constant; Value = false");
    Check* lazy = engine.check("lazy", "Type = All; Check List = yes, no, counted");
    Check* eager = engine.check("eager", "Type = All; Check List = yes, counted");
    engine.resolve();

    ASSERT_NE(counted, nullptr);
    EXPECT_FALSE(pass(lazy, "/CONTROL"));
    EXPECT_EQ(counted->evaluations, 0);
    EXPECT_TRUE(pass(eager, "/CONTROL"));
    EXPECT_TRUE(pass(eager, "/CONTROL"));
    EXPECT_EQ(counted->evaluations, 2);  // a foreign check is never answered from the cache
}

TEST_F(CatalogueTest, ListsGiveTheirValues) {
    List* fixed = engine.list("fixed", "Type = Fixed; Value List = x, (a,b), , y");
    List* allFluids = engine.list("fluids", "Type = Object Names; Object Type = FLUID");
    List* children =
        engine.list("children", "Type = Object Names; Object Type = FLUID; Scope = Children");
    List* siblings =
        engine.list("siblings", "Type = Object Names; Object Type = DOMAIN; Scope = Siblings");
    List* tags = engine.list("tags", "Type = Parameter Values; Parameter = Tags");
    List* both = engine.list("both", "Type = Union; List Names = fluids, fixed, tags, fixed");
    engine.resolve();

    EXPECT_THAT(values(fixed, kHot), ElementsAre("x", "(a,b)", "y"));
    EXPECT_THAT(values(allFluids, kBlock), ElementsAre("water", "air"));
    EXPECT_THAT(values(children, kHot), ElementsAre("water", "air"));
    EXPECT_THAT(values(children, kBlock), IsEmpty());
    EXPECT_THAT(values(siblings, kHot), ElementsAre("block"));
    EXPECT_THAT(values(tags, kBlock), ElementsAre("a", "b", "c"));
    EXPECT_THAT(values(both, kBlock),
                ElementsAre("water", "air", "x", "(a,b)", "y", "a", "b", "c"));
    EXPECT_THAT(both->getListNamesDependOn(), ElementsAre("fluids", "fixed", "tags", "fixed"));
}

TEST_F(CatalogueTest, BuiltInFunctions) {
    const ParamRHSFunc* objectName = engine.getParamRHSFunction("Object Name", false);
    const ParamRHSFunc* firstAllowed = engine.getParamRHSFunction("First Allowed Value", false);
    ASSERT_NE(objectName, nullptr);
    ASSERT_NE(firstAllowed, nullptr);
    const std::string param = "Domain Type";
    ParamAllowedValues allowed(std::vector<std::string>{"Fluid", "Solid"});
    EXPECT_EQ(objectName->evaluate({nullptr, model.get(), kHot, param, nullptr}), "hot");
    EXPECT_EQ(firstAllowed->evaluate({nullptr, model.get(), kHot, param, &allowed}), "Fluid");
    EXPECT_EQ(firstAllowed->evaluate({nullptr, model.get(), kHot, param, nullptr}), "");
}

TEST_F(CatalogueTest, CachedResultsAreDroppedAfterAnEdit) {
    Check* fluid = engine.check(
        "fluid", "Type = Parameter Value; Parameter = Domain Type; Value List = Fluid");
    EXPECT_FALSE(pass(fluid, kBlock));
    EXPECT_EQ(eval.getCache()->size(), 1u);
    model->setParameterValue(kBlock, "Domain Type", "Fluid");
    EXPECT_TRUE(pass(fluid, kBlock));

    // An edit made while the cache is off still invalidates what it held before.
    eval.getCache()->enable(false);
    model->setParameterValue(kBlock, "Domain Type", "Solid");
    EXPECT_FALSE(pass(fluid, kBlock));
    eval.getCache()->enable(true);
    EXPECT_FALSE(pass(fluid, kBlock));
}

// Check::explain: the same result as evaluate, with the deciding leaf check, its kind, the
// parameters it read and what it wanted, through All, Any and Not.
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

    // "check|kind|parameter=value,...|wanted"
    const auto text = [](const CheckExplanation& why) {
        std::string values;
        for (const auto& [name, value] : why.values)
            values += name + "=" + value + ",";
        return why.check + "|" + why.kind + "|" + values + "|" + why.wanted;
    };
    const std::pair<const char*, const char*> cases[] = {
        {"steady", "steady|Parameter Value|Analysis Type=Steady,|Analysis Type one of Steady"},
        {"tagged", "tagged|Parameter Value|Tags=,|Tags set"},
        {"warm", "warm|Numeric Test|Temperature=280 [K],|Temperature > 300"},
        {"hasFluid", "hasFluid|Child Exists||at least 1 FLUID child"},
        {"hasControl", "hasControl|Object Exists||an object of type CONTROL"},
        {"listed", "listed|Value In List|Domain Type=Fluid,|Domain Type in LIST types"},
        // All: the first check that fails; Any: the last that failed; Not: its leaf, negated.
        {"all", "warm|Numeric Test|Temperature=280 [K],|Temperature > 300"},
        {"any", "tagged|Parameter Value|Tags=,|Tags set"},
        {"notSteady",
         "steady|Parameter Value|Analysis Type=Steady,|not (Analysis Type one of Steady)"},
        {"no", "no|Constant||false"},
    };
    for (const auto& [name, expected] : cases) {
        SCOPED_TRACE(name);
        Check* check = engine.getCheck(name, true);
        CheckExplanation why;
        // Only "steady" passes.
        EXPECT_EQ(check->explain(domain, &eval, why), name == std::string("steady"));
        EXPECT_EQ(check->evaluate(domain, &eval), name == std::string("steady"));
        EXPECT_EQ(text(why), expected);
    }
}

// Two checks per level, each combining both of the level below: 2^depth paths through the
// checks. Explaining must cost once per check, not once per path.
TEST(CheckExplanationTest, SharedChecksAreExplainedOncePerQuery) {
    constexpr int kDepth = 90;
    test::Engine engine;
    engine.check(indexed("A", kDepth), "Type = Constant; Value = true");
    engine.check(indexed("B", kDepth), "Type = Constant; Value = false");
    for (int level = kDepth - 1; level >= 0; --level) {
        std::string list = indexed("A", level + 1);
        list += ", ";
        list += indexed("B", level + 1);
        engine.check(indexed("A", level), ("Type = Any; Check List = " + list).c_str());
        engine.check(indexed("B", level), ("Type = All; Check List = " + list).c_str());
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
