

#include <kel/exception/KELAssertImpl.h>
#include <kel/exception/PhysicsException.h>
#include <kel/physicschecks/EvalContext.h>
#include <kel/physicsdata/dependency/CheckListSplitter.h>
#include <kel/physicsdata/dependency/CheckedDefaultList.h>
#include <kel/physicsdata/dependency/IndexedCheckListSplitter.h>
#include <kel/physicsutils/ParamAllowedValues.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNModel.h>

#include "FakeCheckEngine.h"
#include "ObjDependDefTestData.h"
#include "TestSupport.h"

namespace kel {
namespace {

using testing::FakeSource;

// Owns the strings a CheckedListData refers to.
struct ListText {
    std::string key = "Default Value Check List";
    std::string list;
    std::string parameter;
    std::string object;
    std::string heading;

    CheckedListData data() const { return {key, list, parameter, object, heading}; }
};

ListText text(std::string list) {
    ListText t;
    t.list = std::move(list);
    return t;
}

template <class Action>
std::string errorOf(Action action) {
    return test::errorOf<PhysicsException>(action);
}

std::string messageOf(const ListText& t) {
    return errorOf([&t] { IndexedCheckListSplitter splitter(t.data()); });
}

TEST(CheckListSyntaxTest, PairsNamesWithSingleGroupedOrNoChecks) {
    const ListText empty = text("");
    EXPECT_EQ(IndexedCheckListSplitter(empty.data()).getNumberOfNames(), 0u);
    EXPECT_TRUE(CheckListSplitter(empty.data()).getNamesWithChecks().empty());

    const ListText t = text("a, (b, c), d, (), e, single");
    const IndexedCheckListSplitter items(t.data());
    ASSERT_EQ(items.getNumberOfNames(), 3u);
    EXPECT_EQ(items.getName(0) + items.getName(1) + items.getName(2), "ade");
    EXPECT_EQ(items.getChecks(0), (Strings{"b", "c"}));
    EXPECT_TRUE(items.getChecks(1).empty());
    EXPECT_EQ(items.getChecks(2), Strings{"single"});
    EXPECT_EQ(errorOf([&items] { items.getName(3); }), "Index out of range.");
    EXPECT_EQ(errorOf([&items] { items.getChecks(99); }), "Index out of range.");
}

TEST(CheckListSyntaxTest, SplitterGroupsRepeatedNames) {
    const ListText t = text("x, c1, y, c2, x, (c3, c1), z, ()");
    const CheckListSplitter splitter(t.data());
    EXPECT_EQ(splitter.getNamesWithChecks(), (Strings{"x", "y", "z"}));
    EXPECT_EQ(splitter.getChecksForName("x"), (Strings{"c1", "c3", "c1"}));
    EXPECT_EQ(splitter.getChecksForName("y"), Strings{"c2"});
    EXPECT_TRUE(splitter.getChecksForName("z").empty());
    EXPECT_TRUE(splitter.getChecksForName("absent").empty());
    EXPECT_EQ(IndexedCheckListSplitter(t.data()).getName(2), "x");
}

TEST(CheckListSyntaxTest, ErrorsCarryTheContextBlock) {
    ListText full = text("a, b, c");
    full.key = "Child Check List";
    full.object = "FLOW";
    full.parameter = "Option";
    full.heading = "Child availability check list data error.";
    EXPECT_EQ(messageOf(full),
              "The check list string [a, b, c] contains an odd number of entries and is "
              "therefore invalid.\n"
              "Child availability check list data error.\n"
              "Data parameter: Child Check List\n"
              "Value applies to model object: FLOW\n"
              "Value applies to model parameter: Option\n");
    EXPECT_THROW(CheckListSplitter(full.data()), PhysicsException);

    // Only the non-empty lines appear; no line break before the block.
    ListText partial = text("a, (b");
    partial.parameter = "Location";
    EXPECT_EQ(messageOf(partial),
              "The check string (b is invalidly parenthesised.Data parameter: Default Value Check "
              "List\nValue applies to model parameter: Location\n");
    partial.key.clear();
    partial.parameter.clear();
    partial.list = "a, b)";
    EXPECT_EQ(messageOf(partial), "The check string b) is invalidly parenthesised.");
}

class CheckedDefaultListTest : public ::testing::Test {
protected:
    CheckedDefaultList build(const std::string& list) {
        const ListText t = text(list);
        return CheckedDefaultList(t.data(), &source);
    }
    std::string evaluate(const CheckedDefaultList& list,
                         const ParamAllowedValues* allowed = nullptr) {
        return list.evaluate(nullptr, context, &evalContext, "Speed", allowed);
    }

    FakeSource source;
    TARNModel model;
    EvalContext evalContext{model};
    TARNContext context{"/FLOW:main/INLET:in1"};
};

TEST_F(CheckedDefaultListTest, ReadsStarBackslashStarAndLiteralNames) {
    source.addCheck("ok", true);
    source.addList("abc", {"l1", "l2"});
    source.addList("", {"unnamed"});
    const CheckedDefaultList list = build("\\*abc, ok, *abc, (), *, (), \\, (), plain, ()");
    const std::vector<CheckedValue> values = list.getCheckedValues();
    ASSERT_EQ(values.size(), 5u);
    EXPECT_EQ(values[0], (CheckedValue{"*abc", CheckedValue::PlainValue, {"ok"}}));
    EXPECT_EQ(values[1], (CheckedValue{"abc", CheckedValue::ListName, {}}));
    EXPECT_EQ(values[2], (CheckedValue{"", CheckedValue::ListName, {}}));
    EXPECT_EQ(values[3], (CheckedValue{"\\", CheckedValue::PlainValue, {}}));
    EXPECT_EQ(values[4], (CheckedValue{"plain", CheckedValue::PlainValue, {}}));
    EXPECT_EQ(list.getAllFixedValues(), (Strings{"*abc", "\\", "plain"}));
    EXPECT_EQ(list.getReferencedListNames(), (std::set<std::string>{"", "abc"}));
    EXPECT_EQ(list.getReferencedCheckNames(), std::set<std::string>{"ok"});
    EXPECT_EQ(evaluate(list), "*abc");
}

TEST_F(CheckedDefaultListTest, FunctionIsPreferredOverListOfTheSameName) {
    source.addList("both", {"from list"});
    testing::FakeFunc* func = source.addFunction("both", "from function");
    const CheckedDefaultList list = build("*both, ()");
    EXPECT_EQ(list.getCheckedValues()[0].type, CheckedValue::RHSFunction);
    EXPECT_TRUE(list.getReferencedListNames().empty());

    const ParamAllowedValues allowed;
    EXPECT_EQ(evaluate(list, &allowed), "from function");
    EXPECT_EQ(func->last.path, "/FLOW:main/INLET:in1");
    EXPECT_EQ(func->last.param, "Speed");
    EXPECT_EQ(func->last.model, &model);
    EXPECT_EQ(func->last.allowed, &allowed);
    EXPECT_THROW(list.evaluate(nullptr, context, nullptr, "Speed", nullptr), std::invalid_argument);
}

TEST_F(CheckedDefaultListTest, UnknownNamesAreReportedBySource) {
    source.addCheck("ok", true);
    EXPECT_THROW(build("*missing, ok"), std::runtime_error);
    EXPECT_THROW(build("1.0, (ok, missing)"), std::runtime_error);
    EXPECT_THROW(build("1.0, ok, 2.0"), PhysicsException);
}

TEST_F(CheckedDefaultListTest, FirstEntryThatPassesAndGivesAValueWins) {
    testing::FakeCheck* pass = source.addCheck("pass", true);
    testing::FakeCheck* fail = source.addCheck("fail", false);
    testing::FakeCheck* unreached = source.addCheck("unreached", true);
    source.addList("nothing", {});
    source.addList("two", {"a", "b"});
    source.addFunction("blank", "");

    // Failing checks skip an entry without evaluating its later checks.
    const CheckedDefaultList guarded = build("1, (pass, fail, unreached), 2, pass, 3, ()");
    EXPECT_EQ(evaluate(guarded), "2");
    EXPECT_EQ(unreached->evaluations, 0);
    EXPECT_EQ(fail->evaluations, 1);
    EXPECT_EQ(pass->evaluations, 2);

    // A list or function that yields nothing lets the next entry apply.
    EXPECT_EQ(evaluate(build("*nothing, pass, *blank, (), fallback, pass")), "fallback");
    EXPECT_EQ(evaluate(build("*two, pass, other, ()")), "a,b");

    // Fallback values come last.
    CheckedDefaultList withFallback = build("first, fail");
    withFallback.addFallbackValue("last");
    EXPECT_EQ(evaluate(withFallback), "last");

    EXPECT_EQ(evaluate(build("x, fail")), "");
    EXPECT_EQ(evaluate(CheckedDefaultList()), "");
    EXPECT_TRUE(CheckedDefaultList().isEmpty());
}

TEST_F(CheckedDefaultListTest, FixedValueIsOneLiteralEntry) {
    source.addCheck("guard", false);
    source.addList("names", {"n"});
    const CheckedDefaultList guarded = build("5 [m s^-1], guard");
    EXPECT_TRUE(guarded.isFixedValue());
    EXPECT_EQ(guarded.getFixedValue(), "5 [m s^-1]");

    CheckedDefaultList fallbackOnly;
    fallbackOnly.addFallbackValue("0");
    EXPECT_TRUE(fallbackOnly.isFixedValue());
    EXPECT_FALSE(build("*names, ()").isFixedValue());
    EXPECT_FALSE(build("a, (), b, ()").isFixedValue());

    std::string failed;
    auto previous = KELAssertImpl::setHandler(
        [&failed](const char* condition, const char*, int) { failed = condition; });
    EXPECT_EQ(build("a, (), b, ()").getFixedValue(), "");
    KELAssertImpl::setHandler(previous);
    EXPECT_EQ(failed, "isFixedValue()");
}

TEST(CheckedDefaultListEngineTest, FollowsModelEditsWithRealChecksAndFunctions) {
    const testing::ObjDependDefTestSource source(test::tarn(R"(
PHYSICS:
  CHECK DATA:
    CHECK: isWall { Type = Parameter Value; Parameter = Option; Value List = Wall }
  END
END
)"));
    const ListText t = text("*Object Name, isWall, 0.0, ()");
    const CheckedDefaultList list(t.data(), &source);

    std::unique_ptr<TARNModel> model =
        TARNModel::fromText("FLOW: main\n  INLET: in1\n    Option = Wall\n  END\nEND\n");
    EvalContext evalContext(*model);
    const TARNContext context("/FLOW:main/INLET:in1");
    EXPECT_EQ(list.evaluate(nullptr, context, &evalContext, "Label", nullptr), "in1");

    model->setParameterValue("/FLOW:main/INLET:in1", "Option", "Open");
    EXPECT_EQ(list.evaluate(nullptr, context, &evalContext, "Label", nullptr), "0.0");
}

}  // namespace
}  // namespace kel
