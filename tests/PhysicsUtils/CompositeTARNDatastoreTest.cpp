#include <kel/physicsutils/CompositeTARNDatastore.h>

#include <kel/exception/PhysicsException.h>
#include <kel/physicsutils/InternalTARNDatastore.h>

#include "DatastoreWalk.h"
#include "TestSupport.h"

namespace kel {
namespace {

using ::testing::Pair;

// A store that only answers the questions a composite may ask of it: it reports a fixed
// set of objects and parameters, and fails the test on any other call.
class StrictStore : public TARNDatastore {
public:
    bool hasObject(const std::string& path) const override { return path == "/A"; }
    bool hasParameter(const std::string& path, const std::string& name) const override {
        return path == "/A" && name == "Strict";
    }
    std::string getParameterValue(const std::string& path, const std::string& name) const override {
        if (!hasParameter(path, name)) throw std::logic_error("value asked of a store without it");
        return "strict";
    }
    std::vector<std::string> getParameterValueAsList(const std::string&,
                                                     const std::string&) const override {
        throw std::logic_error("getParameterValueAsList called");
    }
    ParameterMap getParameterMap(const std::string& path) const override {
        // A map for an object it does not hold, as an adaptor offering defaults may give.
        if (path == "/Z") return ParameterMap{{"Offered", "default"}};
        return path == "/A" ? ParameterMap{{"Strict", "strict"}} : ParameterMap{};
    }
    std::vector<std::string> getChildObjectNamesByType(const std::string& path,
                                                       const std::string& type) const override {
        if (path == "/A" && type == "C") return {"s", "x"};
        return {};
    }
    std::vector<std::string> getChildObjectPathsByType(const std::string&,
                                                       const std::string&) const override {
        throw std::logic_error("getChildObjectPathsByType called");
    }
    std::vector<std::string> getChildObjectPaths(const std::string&) const override {
        throw PhysicsException("StrictStore::getChildObjectPaths - not supported");
    }
};

class CompositeTARNDatastoreTest : public ::testing::Test {
protected:
    InternalTARNDatastore m_base{
        "A:\n  K = base\n  B = only base\n  C: x\n  END\n  C:\n  END\nEND\n",
        InternalTARNDatastore::TEXT};
    InternalTARNDatastore m_other{
        "A:\n  K = other\n  O = only other\n  C: y\n  END\n  C: x\n  END\nEND\nZ:\nEND\n",
        InternalTARNDatastore::TEXT};
};

TEST_F(CompositeTARNDatastoreTest, BaseWinsUnlessOtherWinsOverTheUnion) {
    CompositeTARNDatastore composite(&m_base, false);
    ASSERT_TRUE(composite.compose(&m_other, false, nullptr));
    EXPECT_EQ(composite.getParameterValue("/A", "K"), "base");
    EXPECT_EQ(composite.getParameterValue("/A", "O"), "only other");
    EXPECT_THAT(composite.getParameterMap("/A"),
                ElementsAre(Pair("B", "only base"), Pair("K", "base"), Pair("O", "only other")));
    EXPECT_TRUE(composite.hasObject("/Z"));
    EXPECT_TRUE(composite.hasObject("/A/C:y"));
    EXPECT_FALSE(composite.hasObject("/Q"));
    EXPECT_TRUE(composite.hasParameter("/A", "O"));
    EXPECT_FALSE(composite.hasParameter("/A", "Q"));
    EXPECT_EQ(composite.getParameterValue("/A", "Q"), "");
    EXPECT_THAT(composite.getChildObjectNamesByType("/A", "C"), ElementsAre("x", "", "y"));
    EXPECT_THAT(composite.getChildObjectPathsByType("/A", "C"),
                ElementsAre("/A/C:x", "/A/C", "/A/C:y"));
    EXPECT_THAT(composite.getChildObjectPathsByType("", "A"), ElementsAre("/A"));
    EXPECT_THAT(composite.getChildObjectPaths(""), ElementsAre("/A", "/Z"));
    EXPECT_THAT(composite.getChildObjectPaths("/A"), ElementsAre("/A/C:x", "/A/C", "/A/C:y"));

    // The visiting reads see the same merged answers.
    std::vector<std::string> seen;
    EXPECT_TRUE(composite.forEachParameter("/A", [&](auto key, auto value) {
        seen.push_back(std::string(key) + "=" + std::string(value));
    }));
    EXPECT_TRUE(composite.forEachChild("/A", [&](auto type, auto name) {
        seen.push_back(std::string(type) + ":" + std::string(name));
    }));
    EXPECT_FALSE(composite.forEachParameter("/Q", [&](auto, auto) { FAIL(); }));
    EXPECT_THAT(seen, ElementsAre("B=only base", "K=base", "O=only other", "C:x", "C:", "C:y"));

    // A walk by handles (the path-based default) sees the same, with each location from
    // the store that answers.
    EXPECT_EQ(walked(composite, ""),
              " A:@1{B=only base@3;K=base@2;O=only other@3;}[C:x;C:;C:y;]"
              " C:x@4{}[] C:@6{}[] C:y@4{}[] Z:@9{}[]");
    EXPECT_EQ(walked(composite, "/Q"), "absent");

    CompositeTARNDatastore otherFirst(&m_base, false);
    ASSERT_TRUE(otherFirst.compose(&m_other, true, nullptr));
    EXPECT_EQ(otherFirst.getParameterValue("/A", "K"), "other");
    EXPECT_EQ(otherFirst.getParameterValue("/A", "B"), "only base");
    EXPECT_THAT(otherFirst.getParameterValueAsList("/A", "K"), ElementsAre("other"));
    EXPECT_THAT(otherFirst.getParameterMap("/A"),
                ElementsAre(Pair("B", "only base"), Pair("K", "other"), Pair("O", "only other")));
}

TEST_F(CompositeTARNDatastoreTest, AsksComponentsOnlyWhatTheyCanAnswer) {
    StrictStore strict;
    CompositeTARNDatastore composite(&m_base, false);
    ASSERT_TRUE(composite.compose(&strict, true, nullptr));
    // The strict store throws when asked for a value it lacks, for lists, or for paths.
    EXPECT_EQ(composite.getParameterValue("/A", "K"), "base");
    EXPECT_EQ(composite.getParameterValue("/A", "Strict"), "strict");
    EXPECT_THAT(composite.getParameterValueAsList("/A", "B"), ElementsAre("only base"));
    EXPECT_THAT(composite.getParameterValueAsList("/A", "Strict"), ElementsAre("strict"));
    EXPECT_THAT(composite.getChildObjectPathsByType("/A", "C"),
                ElementsAre("/A/C:s", "/A/C:x", "/A/C"));
    // Only stores that hold the object contribute to its map.
    EXPECT_THAT(composite.getParameterMap("/Z"), IsEmpty());
    // Its PhysicsException from getChildObjectPaths leaves it out of that answer.
    EXPECT_THAT(composite.getChildObjectPaths("/A"), ElementsAre("/A/C:x", "/A/C"));

    // Locations come from the store that answers; the strict one knows none.
    ASSERT_TRUE(composite.compose(&m_other, true, nullptr));
    EXPECT_EQ(composite.parameterLocation("/A", "K").toString(), "<text>:2:3");  // other's K
    EXPECT_EQ(composite.parameterLocation("/A", "B").toString(), "<text>:3:3");  // base's B
    EXPECT_TRUE(composite.parameterLocation("/A", "Strict").empty());
    EXPECT_EQ(composite.objectLocation("/A/C").toString(), "<text>:6:3");
    EXPECT_EQ(composite.objectLocation("/Z").toString(), "<text>:9:1");
    EXPECT_TRUE(composite.objectLocation("/Q").empty());
}

TEST_F(CompositeTARNDatastoreTest, RefusesNullAndOwnsBaseWhenAsked) {
    CompositeTARNDatastore composite(
        new InternalTARNDatastore("P:\n  V = 1\nEND\n", InternalTARNDatastore::TEXT), true);
    std::vector<std::string> messages;
    EXPECT_FALSE(composite.compose(nullptr, false, &messages));
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_FALSE(composite.compose(nullptr, true, nullptr));
    EXPECT_EQ(composite.getParameterValue("/P", "V"), "1");

    CompositeTARNDatastore empty(nullptr, false);
    EXPECT_FALSE(empty.hasObject("/P"));
    EXPECT_THAT(empty.getChildObjectPaths(""), IsEmpty());
}

}  // namespace
}  // namespace kel
