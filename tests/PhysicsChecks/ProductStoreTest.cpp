// Creating products by type in the stores, their messages, and the validation each
// catalogue product does while it is initialised.

#include <ostream>

#include <kel/physicschecks/EvalCache.h>
#include <kel/physicschecks/ProductTypeInfo.h>
#include <kel/physicsutils/TARNModel.h>

#include "CheckEngineHarness.h"

namespace kel {
namespace {

using ::testing::AllOf;

TEST(ProductKindTest, SpellsEachKindInThreeStyles) {
    EXPECT_EQ(Check::productKind().kind(IDStyle::Upper), "CHECK");
    EXPECT_EQ(List::productKind().kind(IDStyle::Lower), "list");
    EXPECT_EQ(GlobalCheck::productKind().kind(IDStyle::Title), "Global Check");
    EXPECT_EQ(GlobalCheck::productKind().kind(IDStyle::Lower), "global check");
}

TEST(ProductStoreTest, CreatesByTypeAndReportsTheStoreErrors) {
    test::Engine engine;
    Check* check = engine.check("c", "Type = Constant; Value = true");
    EXPECT_EQ(engine.checks.get("c", true), check);
    EXPECT_EQ(check->getName(), "c");
    EXPECT_EQ(engine.checks.get("other", false), nullptr);

    EXPECT_THAT([&] { engine.check("c", "Type = Constant; Value = true"); },
                ThrowsMessage<std::runtime_error>(
                    StrEq("A CHECK named \"c\" already exists in the store.")));
    EXPECT_THAT(
        [&] { engine.list("l", "Value List = a"); },
        ThrowsMessage<std::runtime_error>(StrEq("There is no Type field in the LIST data of l!")));
    EXPECT_THAT([&] { engine.global("g", "Type = Sometimes"); },
                ThrowsMessage<std::runtime_error>(StrEq("Unknown Global Check type: Sometimes")));
    EXPECT_THAT([&] { engine.checks.get("nope", true); },
                ThrowsMessage<std::runtime_error>(StrEq("Check of name nope not known.")));
    EXPECT_THAT([&] { engine.getList("nope", true); },
                ThrowsMessage<std::runtime_error>(StrEq("List of name nope not known.")));
    // A product that fails to initialise does not enter the store.
    EXPECT_THROW(engine.check("bad", "Type = Constant; Value = maybe"), std::runtime_error);
    EXPECT_EQ(engine.checks.get("bad", false), nullptr);
    EXPECT_EQ(engine.checks.size(), 1u);
}

TEST(ProductStoreTest, ResolvingAnUnknownNameFails) {
    test::Engine engine;
    engine.check("all", "Type = All; Check List = missing");
    EXPECT_THAT([&] { engine.resolve(); },
                ThrowsMessage<std::runtime_error>(StrEq("Check of name missing not known.")));
}

// A singleton type is refused only where it would be the context of a parameter read.
TEST(ProductStoreTest, SingletonTypesAreAcceptedWhereNoContextIsNeeded) {
    test::FakeRules rules;
    test::Engine engine(&rules);
    EXPECT_NO_THROW(engine.check("child", "Type = Child Exists; Object Type = CONTROL"));
    EXPECT_NO_THROW(engine.list("names", "Type = Object Names; Object Type = CONTROL"));
    EXPECT_NO_THROW(engine.check("fixed",
                                 "Type = Parameter Value; Parameter = Precision; Object Path = "
                                 "/CONTROL; Value List = Double"));
}

// Each case: the product data and two pieces its error message must contain.
struct BadData {
    std::string kind;
    const char* data;
    std::string key;
    std::string detail;
};

// Names the case in test listings: the product kind, its Type and the key at fault.
void PrintTo(const BadData& data, std::ostream* out) {
    *out << data.kind << " {" << data.data << "}: " << data.key << " (" << data.detail << ")";
}

class InitialiseErrorTest : public ::testing::TestWithParam<BadData> {};

TEST_P(InitialiseErrorTest, NamesTheProductAndTheKey) {
    test::FakeRules rules;
    rules.forbiddenParams = {{"DOMAIN", "Pressure"}};
    rules.badValues = {"Plasma"};
    rules.paramTypes = {{"Domain Type", TARNParam::String}};
    test::Engine engine(&rules);
    const BadData& data = GetParam();
    auto create = [&] {
        if (data.kind == "LIST")
            engine.list("broken", data.data);
        else if (data.kind == "GLOBAL CHECK")
            engine.global("broken", data.data);
        else
            engine.check("broken", data.data);
    };
    EXPECT_THAT(create, ThrowsMessage<std::runtime_error>(
                            AllOf(HasSubstr(data.kind + " \"broken\""),
                                  HasSubstr("key \"" + data.key + "\""), HasSubstr(data.detail))));
}

const BadData kBadData[] = {
    {"CHECK", "Type = Parameter Value; Value List = x", "Parameter", "missing"},
    {"CHECK", "Type = Parameter Value; Parameter = P; Object Type = NOWHERE; Value List = x",
     "Object Type", "unknown object type \"NOWHERE\""},
    // Only named types can be context.
    {"LIST", "Type = Parameter Values; Parameter = Precision; Object Type = CONTROL", "Object Type",
     "singleton object type \"CONTROL\""},
    {"CHECK", "Type = Parameter Value; Parameter = Pressure; Object Type = DOMAIN; Value List = 1",
     "Parameter", "not allowed"},
    {"CHECK",
     "Type = Parameter Value; Parameter = Domain Type; Object Type = DOMAIN; Value List "
     "= Fluid, Plasma",
     "Value List", "\"Plasma\""},
    {"CHECK", "Type = Parameter Value; Parameter = P; Test = Like", "Test", "\"Like\""},
    {"CHECK", "Type = Parameter Value; Parameter = P; Object Path = /BAD/PATH; Test = Set",
     "Object Path", "unknown object path"},
    {"CHECK", "Type = Numeric Test; Parameter = T; Operator = =~; Value = 1", "Operator", "\"=~\""},
    {"CHECK", "Type = Numeric Test; Parameter = T; Operator = <; Value = warm", "Value",
     "\"warm\", which is not a finite number"},
    {"CHECK", "Type = Numeric Test; Parameter = T; Operator = <; Value = nan", "Value",
     "not a finite number"},
    {"CHECK", "Type = Numeric Test; Parameter = T; Operator = <; Value = -inf", "Value",
     "not a finite number"},
    {"CHECK", "Type = Numeric Test; Parameter = T; Operator = <; Value = 1e400", "Value",
     "not a finite number"},
    {"CHECK",
     "Type = Numeric Test; Parameter = Domain Type; Object Type = DOMAIN; Operator = <; "
     "Value = 1",
     "Parameter", "not numeric"},
    {"CHECK", "Type = Child Exists; Object Type = GHOST", "Object Type", "unknown"},
    {"CHECK", "Type = Child Exists; Object Type = FLUID; Minimum Count = -2", "Minimum Count",
     "not a count"},
    {"CHECK", "Type = Not; Check List = a, b", "Check List", "exactly 1"},
    {"CHECK", "Type = All; Check List =  , ", "Check List", "empty"},
    {"CHECK", "Type = Value In List; Parameter = P", "List", "missing"},
    {"CHECK", "Type = Beta", "Message", "missing"},
    {"LIST", "Type = Object Names; Object Type = FLUID; Scope = Galaxy", "Scope", "\"Galaxy\""},
    {"LIST", "Type = Union", "List Names", "missing"},
    {"GLOBAL CHECK", "Type = For Each Object; Object Type = FLUID; Check = c", "Message",
     "missing"}};

INSTANTIATE_TEST_SUITE_P(Catalogue, InitialiseErrorTest, ::testing::ValuesIn(kBadData));

// The result memo keeps one answer per (product, path) through growth and overwrites, and
// forgets them all when the model changes.
TEST(EvalCacheTest, KeepsOneResultPerProductAndPathUntilTheModelChanges) {
    auto model = TARNModel::fromText("A: a\n  x = 1\nEND\n");
    EvalCache cache(*model);
    const int products[2] = {};
    const auto path = [](int i) { return "/A:a/B:" + std::string(i % 7, 'b') + std::to_string(i); };
    for (int i = 0; i < 3000; ++i) {
        cache.store(&products[0], path(i), i % 3 == 0);
        cache.store(&products[1], path(i), true);
    }
    cache.store(&products[0], "", true);
    cache.store(&products[0], path(3), false);  // overwrites
    EXPECT_EQ(cache.size(), 6001u);
    for (int i = 0; i < 3000; ++i) {
        ASSERT_EQ(cache.lookup(&products[0], path(i)), i % 3 == 0 && i != 3) << i;
        ASSERT_EQ(cache.lookup(&products[1], path(i)), true) << i;
    }
    EXPECT_EQ(cache.lookup(&products[0], ""), true);
    EXPECT_EQ(cache.lookup(&products[1], ""), std::nullopt);
    EXPECT_EQ(cache.lookup(&products[0], "/A:a/B:x"), std::nullopt);

    cache.enable(false);
    EXPECT_EQ(cache.lookup(&products[1], path(5)), std::nullopt);
    cache.enable(true);
    model->setParameterValue("/A:a", "x", "2");
    EXPECT_EQ(cache.lookup(&products[1], path(5)), std::nullopt);
    EXPECT_EQ(cache.size(), 0u);
    cache.store(&products[1], path(5), false);
    EXPECT_EQ(cache.lookup(&products[1], path(5)), false);
}

}  // namespace
}  // namespace kel
