#include <kel/utilities/DependencyGraph.h>

#include "TestSupport.h"

namespace kel {
namespace {

using ::testing::AnyOf;

std::string name(int i) {
    return "CHECK:" + std::to_string(i);
}

TEST(DependencyGraphTest, KeepsInsertionOrderAndDeduplicatesEdges) {
    DependencyGraph graph;
    graph.addDependency("b", {"x", "y", "x"});
    graph.addDependency("a", {});
    graph.addDependency("b", {"y", "z"});
    EXPECT_THAT(graph.getNamesWithDependencies(), ElementsAre("b", "a"));
    EXPECT_THAT(graph.getChildren("b"), ElementsAre("x", "y", "z"));
    EXPECT_THAT(graph.getChildren("a"), IsEmpty());
    EXPECT_THAT(graph.getChildren("unknown"), IsEmpty());

    // Many edges at once take the hashed path; duplicates still collapse.
    std::vector<std::string> deps;
    for (int i = 0; i < 40; ++i)
        deps.push_back(name(i % 20));
    graph.addDependency("big", deps);
    EXPECT_EQ(graph.getChildren("big").size(), 20u);
}

TEST(DependencyGraphTest, ReportsUnknownNamesSortedOnce) {
    DependencyGraph graph;
    graph.addDependency("CHECK:a", {"LIST:z", "CHECK:b", "CHECK:missing"});
    graph.addDependency("CHECK:b", {"CHECK:missing", "LIST:gone"});
    std::vector<std::string> unknown{"stale"};
    EXPECT_FALSE(graph.areNodeNamesKnown({"CHECK:a", "CHECK:b", "LIST:z"}, unknown));
    EXPECT_THAT(unknown, ElementsAre("CHECK:missing", "LIST:gone"));

    EXPECT_TRUE(
        graph.areNodeNamesKnown({"CHECK:b", "CHECK:missing", "LIST:gone", "LIST:z"}, unknown));
    EXPECT_THAT(unknown, IsEmpty());
}

TEST(DependencyGraphTest, DetectsCycles) {
    std::string node;
    {
        DependencyGraph empty;
        EXPECT_TRUE(empty.isAcyclic(node));
    }
    {
        DependencyGraph selfLoop;
        selfLoop.addDependency("a", {"b"});
        selfLoop.addDependency("s", {"s"});
        EXPECT_FALSE(selfLoop.isAcyclic(node));
        EXPECT_EQ(node, "s");
    }
    {
        // Diamond with a shared leaf: no cycle although "d" is reached twice.
        DependencyGraph diamond;
        diamond.addDependency("a", {"b", "c"});
        diamond.addDependency("b", {"d"});
        diamond.addDependency("c", {"d"});
        diamond.addDependency("d", {"leaf"});
        EXPECT_TRUE(diamond.isAcyclic(node));
    }
    {
        // A long chain closed at the end, deep enough to break a recursive search;
        // an acyclic tail hangs off it.
        constexpr int length = 200000;
        DependencyGraph chain;
        chain.addDependency("entry", {name(0), "tail"});
        for (int i = 0; i + 1 < length; ++i)
            chain.addDependency(name(i), {name(i + 1)});
        chain.addDependency(name(length - 1), {name(0)});
        EXPECT_FALSE(chain.isAcyclic(node));
        EXPECT_EQ(node.rfind("CHECK:", 0), 0u) << node;
        EXPECT_NE(node, "entry");
    }
    {
        DependencyGraph twoNode;
        twoNode.addDependency("x", {"y"});
        twoNode.addDependency("y", {"x"});
        EXPECT_FALSE(twoNode.isAcyclic(node));
        EXPECT_THAT(node, AnyOf("x", "y"));
    }
}

TEST(DependencyGraphTest, AllChildrenAreTransitive) {
    DependencyGraph graph;
    graph.addDependency("a", {"b", "c"});
    graph.addDependency("b", {"d"});
    graph.addDependency("c", {"d", "e"});
    graph.addDependency("d", {"leaf"});
    EXPECT_THAT(graph.getAllChildren("a"), ElementsAre("b", "c", "d", "e", "leaf"));
    EXPECT_THAT(graph.getAllChildren("c"), ElementsAre("d", "e", "leaf"));
    EXPECT_THAT(graph.getAllChildren("leaf"), IsEmpty());
    EXPECT_THAT(graph.getAllChildren("nowhere"), IsEmpty());
    // Memoised answers stay the same on repeat.
    EXPECT_EQ(&graph.getAllChildren("a"), &graph.getAllChildren("a"));

    // New edges are taken into account.
    graph.addDependency("e", {"f"});
    EXPECT_THAT(graph.getAllChildren("a"), ElementsAre("b", "c", "d", "e", "f", "leaf"));
}

TEST(DependencyGraphTest, AllChildrenThroughCyclesIncludeTheCycle) {
    DependencyGraph graph;
    graph.addDependency("top", {"p"});
    graph.addDependency("p", {"q"});
    graph.addDependency("q", {"r", "out"});
    graph.addDependency("r", {"p"});
    graph.addDependency("self", {"self", "out"});
    EXPECT_THAT(graph.getAllChildren("q"), ElementsAre("out", "p", "q", "r"));
    EXPECT_THAT(graph.getAllChildren("top"), ElementsAre("out", "p", "q", "r"));
    EXPECT_THAT(graph.getAllChildren("r"), ElementsAre("out", "p", "q", "r"));
    EXPECT_THAT(graph.getAllChildren("self"), ElementsAre("out", "self"));
}

TEST(DependencyGraphTest, DependentsAndDepthOverTheWholeGraph) {
    DependencyGraph graph;
    graph.addDependency("top", {"mid", "side"});
    graph.addDependency("mid", {"beta"});
    graph.addDependency("side", {"leaf"});
    graph.addDependency("beta", {});
    graph.addDependency("other", {"leaf"});
    // Found through a node and through a name that is not a node; a target is listed
    // only when it depends on one.
    EXPECT_THAT(graph.getNamesDependingOn({"beta"}), ElementsAre("top", "mid"));
    EXPECT_THAT(graph.getNamesDependingOn({"leaf", "beta"}),
                ElementsAre("top", "mid", "side", "other"));
    EXPECT_THAT(graph.getNamesDependingOn({"nowhere"}), IsEmpty());

    // top -> side -> leaf is three levels; a name with nothing below it is one.
    std::string node;
    EXPECT_TRUE(graph.isDepthWithin(3, node));
    EXPECT_FALSE(graph.isDepthWithin(2, node));
    EXPECT_EQ(node, "top");
    graph.addDependency("other", {"top"});
    EXPECT_FALSE(graph.isDepthWithin(3, node));
    EXPECT_EQ(node, "other");
    EXPECT_FALSE(graph.isDepthWithin(2, node));
    EXPECT_EQ(node, "top");  // first in insertion order, though "other" is deeper
    EXPECT_TRUE(DependencyGraph().isDepthWithin(0, node));
}

TEST(DependencyGraphTest, LongChainIsLinear) {
    // Quadratic work or memory here would take minutes and gigabytes.
    constexpr int length = 20000;
    DependencyGraph graph;
    for (int i = 0; i + 1 < length; ++i)
        graph.addDependency(name(i), {name(i + 1)});
    graph.addDependency(name(length - 1), {"LIST:end"});
    std::string node;
    EXPECT_TRUE(graph.isAcyclic(node));
    EXPECT_FALSE(graph.isDepthWithin(length, node));
    EXPECT_EQ(node, name(0));
    EXPECT_TRUE(graph.isDepthWithin(length + 1, node));
    EXPECT_EQ(graph.getNamesDependingOn({name(length - 1)}).size(),
              static_cast<std::size_t>(length - 1));
    EXPECT_EQ(graph.getAllChildren(name(0)).size(), static_cast<std::size_t>(length));
    EXPECT_THAT(graph.getAllChildren(name(length - 2)), ElementsAre(name(length - 1), "LIST:end"));
}

}  // namespace
}  // namespace kel
