#include <kel/exception/PhysicsException.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNModel.h>

#include "TestSupport.h"

using namespace kel;

namespace {

const std::string s_model = test::tarn(R"(
FLOW: main
  Solver = coupled
  DOMAIN: d1
    Material = steel
    BOUNDARY: inlet { Boundary Type = INLET }
    FLUID: { Option = air }
    BOUNDARY: outlet {}
  END
  DOMAIN: d2 {}
END
FLOW: main { Solver = segregated; Time = 1 [s] }
)");

using Pairs = std::vector<std::pair<std::string, std::string>>;

// The parameters and the children the model visits: through its own walks, or through the
// defaults of ModelTARN (base), which a model without walks of its own gets.
Pairs parametersOf(const TARNModel& model, const std::string& path, bool base) {
    Pairs found;
    const auto visit = [&](const std::string& name, const std::string& value) {
        EXPECT_EQ(&value, &model.getParameterValue(path, name));
        found.emplace_back(name, value);
    };
    if (base) {
        model.ModelTARN::forEachParameter(path, visit);
    } else {
        model.forEachParameter(path, visit);
    }
    return found;
}

Pairs childrenOf(const TARNModel& model, const std::string& path, bool base = false) {
    Pairs found;
    const auto visit = [&](std::string_view type, std::string_view name) {
        found.emplace_back(type, name);
    };
    if (base) {
        model.ModelTARN::forEachChild(path, visit);
    } else {
        model.forEachChild(path, visit);
    }
    return found;
}

}  // namespace

TEST(TARNModelTest, ReadsObjectsParametersAndOrder) {
    auto model = TARNModel::fromText(s_model);
    EXPECT_TRUE(model->hasObject(""));
    EXPECT_TRUE(model->hasObject("/FLOW:main/DOMAIN:d1/FLUID"));
    EXPECT_FALSE(model->hasObject("/FLOW:main/DOMAIN:d3"));

    EXPECT_THAT(model->getChildObjectPaths(""), ElementsAre("/FLOW:main"));
    EXPECT_THAT(model->getChildObjectNames("/FLOW:main/DOMAIN:d1", "BOUNDARY"),
                ElementsAre("inlet", "outlet"));
    EXPECT_THAT(model->getChildObjectNames("/FLOW:main", "DOMAIN"), ElementsAre("d1", "d2"));

    // A reopened object merges; a key set again keeps its first position, later value.
    EXPECT_THAT(model->getParameterNames("/FLOW:main"), ElementsAre("Solver", "Time"));
    EXPECT_EQ(model->getParameterValue("/FLOW:main", "Solver"), "segregated");

    EXPECT_TRUE(model->hasParameter("/FLOW:main", "Time"));
    EXPECT_FALSE(model->hasParameter("/FLOW:main", "Material"));
    EXPECT_EQ(&model->getParameterValue("/FLOW:main", "x"), &model->getParameterValue("/a", "b"));
    EXPECT_EQ(model->getRevision(), 0u);

    // Every object path in model order, until the visitor asks to stop.
    std::vector<std::string> seen;
    model->forEachObjectPath([&](const std::string& path) {
        seen.push_back(path);
        return path.ends_with("outlet");
    });
    EXPECT_THAT(
        seen,
        ElementsAre("/FLOW:main", "/FLOW:main/DOMAIN:d1", "/FLOW:main/DOMAIN:d1/BOUNDARY:inlet",
                    "/FLOW:main/DOMAIN:d1/FLUID", "/FLOW:main/DOMAIN:d1/BOUNDARY:outlet"));

    EXPECT_THROW(TARNModel::fromText("A: a\n  x = 1\n"), PhysicsException);
    EXPECT_THROW(TARNModel::fromFile("/nonexistent/dir/model.tarn"), PhysicsException);
}

TEST(TARNModelTest, ParameterEditsBumpTheRevision) {
    auto model = TARNModel::fromText(s_model);
    const std::string path = "/FLOW:main/DOMAIN:d2";

    model->setParameterValue(path, "Material", "copper");
    EXPECT_EQ(model->getRevision(), 1u);
    model->setParameterValue(path, "Phase", "solid");
    model->setParameterValue(path, "Material", "steel");
    EXPECT_EQ(model->getRevision(), 3u);
    EXPECT_THAT(model->getParameterNames(path), ElementsAre("Material", "Phase"));
    EXPECT_EQ(model->getParameterValue(path, "Material"), "steel");

    EXPECT_TRUE(model->removeParameter(path, "Material"));
    EXPECT_FALSE(model->removeParameter(path, "Material"));
    EXPECT_THAT(model->getParameterNames(path), ElementsAre("Phase"));
    EXPECT_EQ(model->getRevision(), 4u);

    EXPECT_THROW(model->setParameterValue("/nowhere", "a", "b"), PhysicsException);
    EXPECT_EQ(model->getRevision(), 4u);
}

TEST(TARNModelTest, AddObjectNeedsItsParent) {
    TARNModel model;
    model.addObject("/FLOW:f");
    model.addObject("/FLOW:f/SOLVER");
    model.addObject("/FLOW:f/SOLVER");  // already there: nothing changes
    EXPECT_EQ(model.getRevision(), 2u);
    EXPECT_THAT(model.getChildObjectPaths("/FLOW:f"), ElementsAre("/FLOW:f/SOLVER"));
    EXPECT_THAT(model.getChildObjectNames("/FLOW:f", "SOLVER"), ElementsAre(""));

    EXPECT_EQ(test::errorOf<PhysicsException>([&] { model.addObject("/A:x/B:y"); }),
              "TARNModel::addObject - parent of /A:x/B:y does not exist");
    EXPECT_THROW(model.addObject("FLOW"), PhysicsException);
    EXPECT_THROW(model.addObject("/FLOW:f/B:B"), PhysicsException);
    EXPECT_EQ(model.getRevision(), 2u);
}

TEST(TARNModelTest, RemoveObjectRemovesTheSubtree) {
    auto model = TARNModel::fromText(s_model);
    // Asked just before removal, so that a remembered look-up would answer for a freed node.
    EXPECT_TRUE(model->hasParameter("/FLOW:main/DOMAIN:d1/BOUNDARY:inlet", "Boundary Type"));
    EXPECT_TRUE(model->removeObject("/FLOW:main/DOMAIN:d1"));
    EXPECT_FALSE(model->hasObject("/FLOW:main/DOMAIN:d1/BOUNDARY:inlet"));
    // The freed nodes are reused for new objects; old paths still find nothing.
    model->addObject("/FLOW:main/DOMAIN:d2/BOUNDARY:x");
    EXPECT_FALSE(model->hasParameter("/FLOW:main/DOMAIN:d1/BOUNDARY:inlet", "Boundary Type"));
    EXPECT_TRUE(model->removeObject("/FLOW:main/DOMAIN:d2/BOUNDARY:x"));
    EXPECT_EQ(model->getRevision(), 3u);
    EXPECT_FALSE(model->hasObject("/FLOW:main/DOMAIN:d1"));
    EXPECT_FALSE(model->hasParameter("/FLOW:main/DOMAIN:d1/FLUID", "Option"));
    EXPECT_THAT(model->getChildObjectNames("/FLOW:main", "DOMAIN"), ElementsAre("d2"));

    EXPECT_FALSE(model->removeObject("/FLOW:main/DOMAIN:d1"));
    EXPECT_FALSE(model->removeObject(""));
    EXPECT_EQ(model->getRevision(), 3u);

    // The same path can be built again, empty.
    model->addObject("/FLOW:main/DOMAIN:d1");
    EXPECT_THAT(model->getChildObjectPaths("/FLOW:main/DOMAIN:d1"), IsEmpty());
    EXPECT_THAT(model->getChildObjectNames("/FLOW:main", "DOMAIN"), ElementsAre("d2", "d1"));
}

// Child paths come out as the model writes paths, whichever form the parent was asked in.
TEST(TARNModelTest, ChildPathsAreCanonicalWhateverTheFormAsked) {
    auto model = TARNModel::fromText(s_model);
    const std::string d1 = "/FLOW:main/DOMAIN:d1";
    const std::vector<std::string> d1Children = {d1 + "/BOUNDARY:inlet", d1 + "/FLUID",
                                                 d1 + "/BOUNDARY:outlet"};
    const std::pair<std::string, std::vector<std::string>> rows[] = {
        {d1, d1Children},
        {d1 + "/", d1Children},
        {"FLOW:main//DOMAIN:d1", d1Children},
        {"/FLOW:main:main/DOMAIN:d1", {}},
        {"/", {"/FLOW:main"}},
        {"/FLOW:FLOW", {}},
    };
    for (const auto& [asked, children] : rows)
        EXPECT_EQ(model->getChildObjectPaths(asked), children) << asked;
    model->addObject("/FLOW:main/DOMAIN:d1/FLUID/GAS");
    EXPECT_THAT(model->getChildObjectPaths(d1 + "/FLUID:FLUID"), ElementsAre(d1 + "/FLUID/GAS"));
    EXPECT_THAT(model->getChildObjectPaths(d1 + "/FLUID:"), ElementsAre(d1 + "/FLUID/GAS"));
}

TEST(TARNModelTest, RemembersWhereItemsWereReadUntilEdited) {
    auto model = TARNModel::fromText(s_model, "model.tarn");
    EXPECT_EQ(model->objectLocation("/FLOW:main/DOMAIN:d1/FLUID").toString(), "model.tarn:9:5");
    EXPECT_EQ(model->parameterLocation("/FLOW:main", "Solver").toString(), "model.tarn:19:1");
    EXPECT_TRUE(model->objectLocation("/FLOW:none").empty());
    EXPECT_TRUE(model->parameterLocation("/FLOW:main", "None").empty());

    model->setParameterValue("/FLOW:main", "Solver", "coupled");
    model->addObject("/FLOW:main/DOMAIN:d3");
    EXPECT_TRUE(model->parameterLocation("/FLOW:main", "Solver").empty());
    EXPECT_TRUE(model->objectLocation("/FLOW:main/DOMAIN:d3").empty());
}

TEST(TARNModelTest, DeepModelIsReadQueriedAndEditedByPathLength) {
    const int depth = 100000;
    std::string text, path;
    for (int i = 0; i < depth; ++i) {
        text += "N: n\n";
        path += "/N:n";
    }
    text += "K = deep\n";
    for (int i = 0; i < depth; ++i)
        text += "END\n";
    auto model = TARNModel::fromText(text);
    EXPECT_TRUE(model->hasObject(path));
    EXPECT_EQ(model->getParameterValue(path, "K"), "deep");
    const std::string parent = path.substr(0, path.size() - 4);
    EXPECT_THAT(model->getChildObjectPaths(parent), ElementsAre(path));
    EXPECT_THAT(model->getChildObjectNames(parent, "N"), ElementsAre("n"));

    model->addObject(path + "/M");
    EXPECT_TRUE(model->hasObject(path + "/M"));
    EXPECT_TRUE(model->removeObject("/N:n/N:n"));
    EXPECT_FALSE(model->hasObject(path));
    EXPECT_TRUE(model->hasObject("/N:n"));
}

TEST(TARNModelTest, WalksParametersAndChildrenInModelOrder) {
    auto model = TARNModel::fromText(s_model);
    for (const bool base : {false, true}) {
        EXPECT_EQ(parametersOf(*model, "/FLOW:main", base),
                  (Pairs{{"Solver", "segregated"}, {"Time", "1 [s]"}}));
        EXPECT_EQ(childrenOf(*model, "/FLOW:main/DOMAIN:d1", base),
                  (Pairs{{"BOUNDARY", "inlet"}, {"FLUID", ""}, {"BOUNDARY", "outlet"}}));
        EXPECT_EQ(childrenOf(*model, "", base), (Pairs{{"FLOW", "main"}}));
        EXPECT_THAT(parametersOf(*model, "/FLOW:main/DOMAIN:d3", base), IsEmpty());
        EXPECT_THAT(childrenOf(*model, "/FLOW:main/DOMAIN:d3", base), IsEmpty());
    }
}

TEST(TARNModelTest, FindsSiblingsInAnyOrderAcrossRemovals) {
    auto model = TARNModel::fromText("A: a\nEND\nA: b\nEND\nA: c\nEND\nA: d\nEND\n");
    const auto names = [&](std::initializer_list<const char*> order) {
        std::string found;
        for (const char* name : order) {
            const std::string path = std::string("/A:") + name;
            if (model->hasObject(path)) found += name;
            model->setParameterValue(path, "P", name);  // throws when absent
        }
        return found;
    };
    EXPECT_EQ(names({"a", "b", "c", "d"}), "abcd");
    EXPECT_EQ(names({"d", "a", "c", "b", "a", "b"}), "dacbab");
    EXPECT_TRUE(model->removeObject("/A:b"));
    EXPECT_EQ(names({"a", "c", "d"}), "acd");
    EXPECT_THROW(names({"b"}), PhysicsException);
    model->addObject("/A:b");
    EXPECT_EQ(names({"a", "c", "d", "b", "c"}), "acdbc");
    EXPECT_TRUE(model->removeObject("/A:a"));
    EXPECT_EQ(names({"c", "d", "b"}), "cdb");
    EXPECT_EQ(childrenOf(*model, ""), (Pairs{{"A", "c"}, {"A", "d"}, {"A", "b"}}));
    // Deeper paths sharing a leading part with the last one asked.
    model->addObject("/A:c/B:x");
    model->addObject("/A:d/B:x");
    EXPECT_TRUE(model->hasObject("/A:c/B:x"));
    EXPECT_TRUE(model->hasObject("/A:d/B:x"));
    EXPECT_FALSE(model->hasObject("/A:cc/B:x"));
    EXPECT_TRUE(model->hasObject("//A:d//B:x/"));
    EXPECT_FALSE(model->hasObject("/A:b/B:x"));
}

TEST(TARNContextTest, WorksOutPathsTypeAndName) {
    const TARNContext context("/FLOW:main/DOMAIN:d1/FLUID");
    EXPECT_EQ(context.getFullPath(), "/FLOW:main/DOMAIN:d1/FLUID");
    EXPECT_EQ(context.getTypePath(), "/FLOW/DOMAIN/FLUID");
    EXPECT_EQ(context.getObjectType(), "FLUID");
    EXPECT_EQ(context.getObjectName(), "");

    EXPECT_EQ(TARNContext(TARNPath("/FLOW:main/DOMAIN:d1")).getObjectName(), "d1");

    // A child's context built on its parent's is the one read from its path.
    const auto same = [](const TARNContext& built, const TARNContext& read) {
        EXPECT_EQ(built.getPath(), read.getPath());
        EXPECT_EQ(built.getFullPath(), read.getFullPath());
        EXPECT_EQ(built.getTypePath(), read.getTypePath());
    };
    same(TARNContext(context, "BOUNDARY", "in"),
         TARNContext("/FLOW:main/DOMAIN:d1/FLUID/BOUNDARY:in"));
    same(TARNContext(context, "GAS", ""), TARNContext("/FLOW:main/DOMAIN:d1/FLUID/GAS"));
    same(TARNContext(context, "GAS", "GAS"), TARNContext("/FLOW:main/DOMAIN:d1/FLUID/GAS"));
    same(TARNContext(TARNContext(""), "FLOW", "main"), TARNContext("/FLOW:main"));
}
