// The utilities: string handling, the dependency graph and the operation timer.

#include <kel/utilities/DependencyGraph.h>
#include <kel/utilities/OperationTimer.h>
#include <kel/utilities/StringUtilities.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <memory>

#include "TestSupport.h"

namespace kel {
namespace {

using S = StringUtilities;
using ::testing::AnyOf;
using ::testing::ContainsRegex;
using ::testing::Not;

TEST(StringUtilitiesSplitTest, SplitJoinAndTrim) {
    // splitValue keeps parenthesised groups and empty items.
    EXPECT_THAT(S::splitValue(" a , (b, c) ,, d ", ','), ElementsAre("a", "(b, c)", "", "d"));
    EXPECT_THAT(S::splitValue("f((x,y),z), w", ','), ElementsAre("f((x,y),z)", "w"));
    EXPECT_THAT(S::splitValue("a,", ','), ElementsAre("a", ""));
    EXPECT_THAT(S::splitValue("", ','), IsEmpty());
    EXPECT_THAT(S::splitValue("a;b", ';'), ElementsAre("a", "b"));
    // An unbalanced ')' does not swallow later separators.
    EXPECT_THAT(S::splitValue("a),b", ','), ElementsAre("a)", "b"));
    EXPECT_THAT(S::splitValueNoEmpty(" , x,,\t(y , z) ,\n"), ElementsAre("x", "(y , z)"));
    EXPECT_THAT(S::splitValueNoEmpty("   "), IsEmpty());

    // Vectors and sets split plainly and trim.
    EXPECT_THAT(S::stringToVector(" b , a,,(c, d) ", ','), ElementsAre("b", "a", "(c", "d)"));
    EXPECT_THAT(S::stringToSet("b, a ,b,", ','), ElementsAre("a", "b"));
    EXPECT_THAT(S::stringToVector("", ','), IsEmpty());
    EXPECT_EQ(S::vectorToString({"a", "b c", ""}, ','), "a,b c,");
    EXPECT_EQ(S::vectorToString({}, ','), "");
    EXPECT_EQ(S::trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(S::trim(" \t "), "");
    EXPECT_EQ(S::removeWhitespace(" a b\tc\r\nd "), "abcd");

    // Object type and name split at the first colon.
    const auto split = [](const std::string& text) {
        const auto [type, name] = S::splitObjectTypeAndName(text);
        return type + "|" + name;
    };
    EXPECT_EQ(split("CHECK:a") + " " + split("LIST:a:b"), "CHECK|a LIST|a:b");
    EXPECT_EQ(split("FLOW") + " " + split(":x"), "FLOW| |x");
    EXPECT_EQ(S::toString(-42), "-42");
}

TEST(StringUtilitiesLogicalTest, RecognisesLogicalWordsInAnyCase) {
    // Per group: whether the words are true, and whether they are logical words at all.
    const std::tuple<std::vector<const char*>, bool, bool> groups[] = {
        {{"true", "TRUE", "Yes", "on", "T", "y", "1", " True "}, true, true},
        {{"false", "No", "OFF", "f", "N", "0"}, false, true},
        {{"", "maybe", "2", "truee", "yess", "o"}, false, false},
    };
    for (const auto& [words, truth, isLogical] : groups) {
        for (const char* word : words) {
            bool logical = !isLogical;
            EXPECT_EQ(S::isTrue(word, &logical), truth) << word;
            EXPECT_EQ(logical, isLogical) << word;
            EXPECT_EQ(S::stringToBool(word), truth) << word;
        }
    }
    EXPECT_TRUE(S::isTrue("yes"));  // the flag pointer is optional
}

TEST(StringUtilitiesNumberTest, ValueAsFloatSeparatesUnits) {
    std::string number, units;
    EXPECT_EQ(S::valueAsFloat("1.5 [m s^-1]", number, units), std::make_pair(1.5f, true));
    EXPECT_EQ(number + "|" + units, "1.5|m s^-1");
    EXPECT_EQ(S::valueAsFloat("  -2e3  ", number, units), std::make_pair(-2000.0f, true));
    EXPECT_EQ(number + "|" + units, "-2e3|");
    EXPECT_EQ(S::valueAsFloat("+.25[K]", number, units), std::make_pair(0.25f, true));
    EXPECT_EQ(number + "|" + units, "+.25|K");

    EXPECT_EQ(S::valueAsFloat("0 [ ]", number, units), std::make_pair(0.0f, true));
    EXPECT_EQ(units, "");
}

TEST(StringUtilitiesNumberTest, ValueAsFloatRejectsBadText) {
    for (const char* text :
         {"", "  ", "abc", "1.5x", "1.5 m", "1.5 [m] x", "1.5 [m", "[m]", "1 2", "+-1", "++1",
          "1e99", "1.5 [a]b]", "1,5", "nan", "NaN [K]", "inf", "-infinity", "1e39"}) {
        std::string number = "stale", units = "stale";
        EXPECT_EQ(S::valueAsFloat(text, number, units), std::make_pair(0.0f, false)) << text;
        EXPECT_EQ(number + units, "") << text;
    }
}

TEST(StringUtilitiesNumberTest, ValueAsDoubleIsExactToTwoToThe53AndFiniteOnly) {
    std::string number, units;
    EXPECT_EQ(S::valueAsDouble("16777217 [m]", number, units), std::make_pair(16777217.0, true));
    EXPECT_EQ(units, "m");
    EXPECT_EQ(S::valueAsDouble("9007199254740992", number, units),
              std::make_pair(9007199254740992.0, true));
    EXPECT_EQ(S::valueAsDouble("0.10000000001", number, units).first, 0.10000000001);
    EXPECT_EQ(S::valueAsDouble("1e39", number, units), std::make_pair(1e39, true));
    for (const char* text : {"nan", "-nan", "inf", "+inf", "1e400", "-1e400", "x"})
        EXPECT_EQ(S::valueAsDouble(text, number, units), std::make_pair(0.0, false)) << text;
}

TEST(StringUtilitiesNumberTest, FloatTextIsShortestAndRoundTrips) {
    EXPECT_EQ(S::floatAndUnitsToString(0.1f, ""), "0.1");
    EXPECT_EQ(S::floatAndUnitsToString(1e-7f, ""), "1e-07");
    EXPECT_EQ(S::floatAndUnitsToString(3.4e38f, ""), "3.4e+38");
    EXPECT_EQ(S::floatAndUnitsToString(1.5f, "m s^-1"), "1.5 [m s^-1]");
    EXPECT_EQ(S::floatAndUnitsToString(-2.0f, "K"), "-2 [K]");
    EXPECT_EQ(S::floatAndUnitsToString(0.0f, ""), "0");

    for (float value : {0.1f, 1e-7f, 3.4e38f, 1.0f / 3.0f, 123456.789f, -0.3f, 16777217.0f,
                        std::numeric_limits<float>::min(), std::numeric_limits<float>::max(),
                        std::numeric_limits<float>::denorm_min()}) {
        const std::string text = S::floatAndUnitsToString(value, "");
        float back = 0;
        const auto read = std::from_chars(text.data(), text.data() + text.size(), back);
        EXPECT_EQ(read.ptr, text.data() + text.size()) << text;
        EXPECT_EQ(back, value) << text;
        // Through valueAsFloat as well, with units attached.
        std::string number, units;
        const auto parsed = S::valueAsFloat(S::floatAndUnitsToString(value, "Pa"), number, units);
        EXPECT_TRUE(parsed.second) << text;
        EXPECT_EQ(parsed.first, value) << text;
        EXPECT_EQ(units, "Pa");
    }
}

// DependencyGraph: the CHECK and LIST dependencies, walked without recursion.

std::string name(int i) {
    return "CHECK:" + std::to_string(i);
}

// A graph of the given edges, added in order.
DependencyGraph graphOf(const std::vector<std::pair<std::string, Strings>>& edges) {
    DependencyGraph graph;
    for (const auto& [node, deps] : edges)
        graph.addDependency(node, deps);
    return graph;
}

TEST(DependencyGraphTest, KeepsInsertionOrderAndDeduplicatesEdges) {
    DependencyGraph graph = graphOf({{"b", {"x", "y", "x"}}, {"a", {}}, {"b", {"y", "z"}}});
    EXPECT_THAT(graph.getNamesWithDependencies(), ElementsAre("b", "a"));
    EXPECT_THAT(graph.getChildren("b"), ElementsAre("x", "y", "z"));
    EXPECT_THAT(graph.getChildren("a"), IsEmpty());
    EXPECT_THAT(graph.getChildren("unknown"), IsEmpty());

    // Many edges at once take the hashed path; duplicates still collapse.
    Strings deps;
    for (int i = 0; i < 40; ++i)
        deps.push_back(name(i % 20));
    graph.addDependency("big", deps);
    EXPECT_EQ(graph.getChildren("big").size(), 20u);
}

TEST(DependencyGraphTest, ReportsUnknownNamesSortedOnce) {
    const DependencyGraph graph = graphOf({{"CHECK:a", {"LIST:z", "CHECK:b", "CHECK:missing"}},
                                           {"CHECK:b", {"CHECK:missing", "LIST:gone"}}});
    Strings unknown{"stale"};
    EXPECT_FALSE(graph.areNodeNamesKnown({"CHECK:a", "CHECK:b", "LIST:z"}, unknown));
    EXPECT_THAT(unknown, ElementsAre("CHECK:missing", "LIST:gone"));

    EXPECT_TRUE(
        graph.areNodeNamesKnown({"CHECK:b", "CHECK:missing", "LIST:gone", "LIST:z"}, unknown));
    EXPECT_THAT(unknown, IsEmpty());
}

TEST(DependencyGraphTest, DetectsCycles) {
    std::string node;
    EXPECT_TRUE(DependencyGraph().isAcyclic(node));
    EXPECT_FALSE(graphOf({{"a", {"b"}}, {"s", {"s"}}}).isAcyclic(node));
    EXPECT_EQ(node, "s");
    // Diamond with a shared leaf: no cycle although "d" is reached twice.
    EXPECT_TRUE(
        graphOf({{"a", {"b", "c"}}, {"b", {"d"}}, {"c", {"d"}}, {"d", {"leaf"}}}).isAcyclic(node));
    // Reported at a node of the cycle, not at one leading into it.
    EXPECT_FALSE(graphOf({{"entry", {"x", "tail"}}, {"x", {"y"}}, {"y", {"x"}}}).isAcyclic(node));
    EXPECT_THAT(node, AnyOf("x", "y"));
    // An edge added after a question is seen by the next one.
    DependencyGraph growing = graphOf({{"a", {"b"}}, {"b", {"c"}}});
    EXPECT_TRUE(growing.isAcyclic(node));
    growing.addDependency("c", {"a"});
    EXPECT_FALSE(growing.isAcyclic(node));
}

TEST(DependencyGraphTest, AllChildrenAreTransitiveAndIncludeCycles) {
    DependencyGraph graph =
        graphOf({{"a", {"b", "c"}}, {"b", {"d"}}, {"c", {"d", "e"}}, {"d", {"leaf"}}});
    EXPECT_THAT(graph.getAllChildren("a"), ElementsAre("b", "c", "d", "e", "leaf"));
    EXPECT_THAT(graph.getAllChildren("c"), ElementsAre("d", "e", "leaf"));
    EXPECT_THAT(graph.getAllChildren("leaf"), IsEmpty());
    EXPECT_THAT(graph.getAllChildren("nowhere"), IsEmpty());
    // Memoised answers stay the same on repeat.
    EXPECT_EQ(&graph.getAllChildren("a"), &graph.getAllChildren("a"));
    // New edges are taken into account.
    graph.addDependency("e", {"f"});
    EXPECT_THAT(graph.getAllChildren("a"), ElementsAre("b", "c", "d", "e", "f", "leaf"));

    const DependencyGraph cyclic = graphOf({{"top", {"p"}},
                                            {"p", {"q"}},
                                            {"q", {"r", "out"}},
                                            {"r", {"p"}},
                                            {"self", {"self", "out"}}});
    for (const char* node : {"q", "top", "r"})
        EXPECT_THAT(cyclic.getAllChildren(node), ElementsAre("out", "p", "q", "r")) << node;
    EXPECT_THAT(cyclic.getAllChildren("self"), ElementsAre("out", "self"));
}

TEST(DependencyGraphTest, DependentsAndDepthOverTheWholeGraph) {
    DependencyGraph graph = graphOf({{"top", {"mid", "side"}},
                                     {"mid", {"beta"}},
                                     {"side", {"leaf"}},
                                     {"beta", {}},
                                     {"other", {"leaf"}}});
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

TEST(DependencyGraphTest, CopiesStandAlone) {
    // Names long enough not to fit in a string object, so that a copy sharing the
    // original's storage would read freed memory.
    const std::string a = "CHECK:a name longer than any short string";
    const std::string b = "LIST:another name longer than any short string";
    auto original = std::make_unique<DependencyGraph>(graphOf({{a, {b}}, {b, {}}}));
    DependencyGraph copy(*original);
    DependencyGraph assigned;
    assigned = *original;
    original.reset();
    for (DependencyGraph* graph : {&copy, &assigned}) {
        EXPECT_THAT(graph->getNamesWithDependencies(), ElementsAre(a, b));
        EXPECT_THAT(graph->getChildren(a), ElementsAre(b));
        graph->addDependency(b, {a});
        std::string node;
        EXPECT_FALSE(graph->isAcyclic(node));
    }
}

TEST(DependencyGraphTest, LongChainIsLinear) {
    // Quadratic work or memory here would take minutes and gigabytes, recursion would
    // overflow the stack.
    constexpr int length = 200000;
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

    // Closed at the end: the cycle is found, and reported at one of its nodes.
    graph.addDependency(name(length - 1), {name(0)});
    EXPECT_FALSE(graph.isAcyclic(node));
    EXPECT_EQ(node.rfind("CHECK:", 0), 0u) << node;
}

// OperationTimer: section timings written when asked for.

TEST(OperationTimerTest, PrintsSectionsOnlyWhenTimingIsRequested) {
    ::unsetenv("KEL_PHYSICS_TIMING");
    testing::internal::CaptureStderr();
    {
        OperationTimer timer("quiet");
        timer.enterSection("phase");
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    ::setenv("KEL_PHYSICS_TIMING", "", 1);  // existing, even when empty, enables it
    testing::internal::CaptureStderr();
    {
        OperationTimer timer("load");
        timer.enterSection("read");
        timer.enterSection("build");
    }
    const std::string out = testing::internal::GetCapturedStderr();
    ::unsetenv("KEL_PHYSICS_TIMING");
    EXPECT_THAT(out, ContainsRegex("load: read: [0-9.]+ ms\nload: build: [0-9.]+ ms\n"
                                   "load: total: [0-9.]+ ms\n"));
    EXPECT_THAT(out, Not(HasSubstr("quiet")));
}

}  // namespace
}  // namespace kel
