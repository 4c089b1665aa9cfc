#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <kel/physicsdata/dependency/AvailData.h>
#include <kel/physicsdata/dependency/ChildAvail.h>
#include <kel/physicsdata/dependency/ParamAvail.h>
#include <kel/physicsutils/TARNContext.h>

#include "FakeCheckEngine.h"

namespace kel {

// Builds records the way their owning definition does.
struct AvailRecordTestAccess {
    static ParamAvail param(const std::string& name, bool required, bool contextRule) {
        return ParamAvail(name, required, contextRule);
    }
    static ChildAvail child(const std::string& type, bool singleton, bool required, bool coupled,
                            bool relaxed) {
        return ChildAvail(type, singleton, required, coupled, relaxed);
    }
    template <class Record>
    static void addCheck(Record& record, Check* check) {
        record.addAvailCheck(check);
    }
    static void setLists(ChildAvail& record, List* allowed, List* defaults) {
        record.setAllowedNameList(allowed);
        record.setDefaultNameList(defaults);
    }
};

namespace {

using testing::FakeCheck;
using testing::FakeList;
using Access = AvailRecordTestAccess;

TEST(AvailDataTest, StoresOnlyTheFieldsOfItsKind) {
    const AvailData obj(AvailData::OBJ_AVAIL, "c", "WALL");
    const AvailData value(AvailData::PARAM_VAL_AVAIL, "c", "Option", "Wall");
    EXPECT_EQ(obj.childType + obj.paramName + obj.paramValue, "WALL");
    EXPECT_EQ(value.childType + value.paramName + "=" + value.paramValue, "Option=Wall");
    // The same subject under another kind is a different question.
    EXPECT_FALSE(obj == AvailData(AvailData::PARAM_AVAIL, "c", "WALL"));
    EXPECT_TRUE(value == AvailData(AvailData::PARAM_VAL_AVAIL, "c", "Option", "Wall"));
}

TEST(AvailDataTest, OrdersByCheckNameThenKindThenSubject) {
    const AvailData objB(AvailData::OBJ_AVAIL, "b", "Z");
    const AvailData paramA(AvailData::PARAM_AVAIL, "a", "Z");
    const AvailData objA(AvailData::OBJ_AVAIL, "a", "Z");
    const AvailData valEmpty(AvailData::PARAM_VAL_AVAIL, "a", "P", "");
    const AvailData valX(AvailData::PARAM_VAL_AVAIL, "a", "P", "x");

    // The check name decides regardless of kind.
    EXPECT_TRUE(paramA < objB);
    EXPECT_FALSE(objB < paramA);
    // Same check name: object before parameter before parameter value.
    EXPECT_TRUE(objA < paramA);
    EXPECT_TRUE(paramA < valEmpty);
    // Same parameter: the empty value is less and the two are different questions.
    EXPECT_TRUE(valEmpty < valX);
    EXPECT_FALSE(valX < valEmpty);
    EXPECT_FALSE(valEmpty == valX);
    EXPECT_FALSE(valX < valX);
    // A byte-wise prefix is less.
    EXPECT_TRUE(AvailData(AvailData::OBJ_AVAIL, "c", "AB") <
                AvailData(AvailData::OBJ_AVAIL, "c", "ABC"));

    // Usable as a map key: one entry per distinct question, in that order.
    std::map<AvailData, int> keys{{valX, 5}, {objB, 1}, {valEmpty, 4}, {paramA, 3}, {objA, 2}};
    keys[AvailData(AvailData::OBJ_AVAIL, "a", "Z")] = 2;
    std::vector<int> order;
    for (const auto& entry : keys)
        order.push_back(entry.second);
    EXPECT_EQ(order, (std::vector<int>{2, 3, 4, 5, 1}));
}

TEST(ParamAvailTest, ChecksAreALazyConjunction) {
    const TARNContext context("/FLOW:f/DOMAIN:d");
    FakeCheck pass1("p1", true);
    FakeCheck fail("f", false);
    FakeCheck pass2("p2", true);

    ParamAvail none = Access::param("Location", true, false);
    EXPECT_TRUE(none.evaluate(context, nullptr));

    ParamAvail record = Access::param("Location", true, false);
    Access::addCheck(record, &pass1);
    Access::addCheck(record, &fail);
    Access::addCheck(record, &pass2);
    EXPECT_FALSE(record.evaluate(context, nullptr));
    EXPECT_EQ(pass1.evaluations, 1);
    EXPECT_EQ(fail.evaluations, 1);
    EXPECT_EQ(pass2.evaluations, 0);

    ParamAvail passing = Access::param("Location", true, false);
    Access::addCheck(passing, &pass1);
    Access::addCheck(passing, &pass2);
    Access::addCheck(passing, &pass1);
    EXPECT_TRUE(passing.evaluate(context, nullptr));
    EXPECT_EQ(passing.getReferencedCheckNames(), (std::vector<std::string>{"p1", "p2", "p1"}));
    EXPECT_TRUE(passing.getReferencedListNames().empty());
}

TEST(ChildAvailTest, CouplingFollowsRequiredAndNameRestriction) {
    FakeList names("names", {"a"});
    EXPECT_TRUE(Access::child("WALL", false, true, false, false).isCoupled());
    EXPECT_FALSE(Access::child("WALL", false, false, false, false).isCoupled());
    EXPECT_TRUE(Access::child("WALL", false, false, true, false).isCoupled());

    ChildAvail restricted = Access::child("WALL", true, false, false, true);
    Access::setLists(restricted, &names, nullptr);
    EXPECT_TRUE(restricted.isCoupled());
    EXPECT_TRUE(restricted.areNamesRestricted());
    EXPECT_FALSE(restricted.anyDefaultNames());
}

TEST(ChildAvailTest, EvaluatesChecksAndNameLists) {
    const TARNContext context("/FLOW:f");
    FakeCheck fail("f", false);
    FakeCheck later("later", true);
    FakeList allowed("allowed", {"in", "out"});
    FakeList defaults("defaults", {"main"});

    ChildAvail free = Access::child("INLET", false, true, false, false);
    EXPECT_TRUE(free.evaluate(context, nullptr));
    std::vector<std::string> names{"kept"};
    free.evaluateAllowedNames(context, nullptr, names);
    free.evaluateDefaultNames(context, nullptr, names);
    EXPECT_EQ(names, std::vector<std::string>{"kept"});
    EXPECT_TRUE(free.getReferencedListNames().empty());

    ChildAvail record = Access::child("INLET", false, false, false, false);
    Access::addCheck(record, &fail);
    Access::addCheck(record, &later);
    Access::setLists(record, &allowed, &defaults);
    EXPECT_FALSE(record.evaluate(context, nullptr));
    EXPECT_EQ(later.evaluations, 0);
    record.evaluateAllowedNames(context, nullptr, names);
    EXPECT_EQ(names, (std::vector<std::string>{"in", "out"}));  // replaced, not appended
    record.evaluateDefaultNames(context, nullptr, names);
    EXPECT_EQ(names, std::vector<std::string>{"main"});
    EXPECT_EQ(record.getReferencedCheckNames(), (std::vector<std::string>{"f", "later"}));
    EXPECT_EQ(record.getReferencedListNames(), (std::vector<std::string>{"allowed", "defaults"}));
}

}  // namespace
}  // namespace kel
