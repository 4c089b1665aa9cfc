#pragma once

#include <cstddef>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kel {

// A directed graph of named nodes, each depending on others (edges node -> dependency).
// Used to reject references to unknown names and cycles among checks and lists, to bound
// how deeply they nest, and to find what depends on what. Every whole-graph question is
// answered by one iterative traversal, in time linear in nodes plus edges, whatever the
// shape. Not thread-safe: getChildren and getAllChildren fill memos.
class DependencyGraph {
public:
    DependencyGraph();
    DependencyGraph(const DependencyGraph& other);
    DependencyGraph(DependencyGraph&& other);
    DependencyGraph& operator=(const DependencyGraph& other);
    DependencyGraph& operator=(DependencyGraph&& other);
    ~DependencyGraph();

    // Records that node depends on each of deps. Calling it with no deps still records
    // the node. Repeated edges are kept once.
    void addDependency(const std::string& node, const std::vector<std::string>& deps);

    // True when every node named as a dependency is among known; otherwise fills unknown
    // with the unknown names (sorted, once each) and gives false.
    bool areNodeNamesKnown(const std::vector<std::string>& known,
                           std::vector<std::string>& unknown) const;

    // True when there is no cycle; otherwise sets node to one node on a cycle.
    bool isAcyclic(std::string& node) const;

    // Every node added with addDependency, in first-insertion order.
    std::vector<std::string> getNamesWithDependencies() const;

    // The direct dependencies of node, in insertion order (empty when unknown).
    const std::vector<std::string>& getChildren(const std::string& node) const;

    // Everything node depends on, directly or not (not including node itself unless it
    // lies on a cycle). Costs one traversal of what node reaches; the answer is memoised
    // for node alone, so asking for every node of a long chain is quadratic: whole-graph
    // questions use getNamesDependingOn instead.
    const std::set<std::string>& getAllChildren(const std::string& node) const;

    // Every node that depends, directly or not, on at least one of targets, in
    // first-insertion order. A target is listed only when it depends on a target itself.
    std::vector<std::string> getNamesDependingOn(const std::set<std::string>& targets) const;

    // The nesting depth of a node: 1 for a node (or a name) with no dependencies, else
    // 1 + the largest depth of its dependencies. True when no node is deeper than limit;
    // otherwise sets node to the first node in insertion order that is. The graph must be
    // acyclic (isAcyclic).
    bool isDepthWithin(std::size_t limit, std::string& node) const;

private:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // The number of name (its place in m_names), adding it when new.
    std::size_t idOf(std::string_view name);
    // The number of name, or npos when neither a node nor a dependency has that name.
    std::size_t findId(std::string_view name) const;
    // The slot of m_index that holds name (of that hash), or the free slot where it goes.
    std::size_t slotOf(std::string_view name, std::size_t hash) const;
    // Adds name, which is not there yet and has that hash, and gives its number.
    std::size_t addName(std::string_view name, std::size_t hash);

    // Every name met, node or dependency, once, by number, as views of characters held in
    // blocks of m_text; m_index finds a number by name (open addressing: number + 1 in a
    // slot, 0 in a free one).
    std::vector<std::string_view> m_names;
    std::vector<std::size_t> m_hashes;
    std::vector<std::unique_ptr<char[]>> m_text;
    char* m_textNext = nullptr;  // where the last block has room
    std::size_t m_textLeft = 0;  // how much
    std::vector<std::size_t> m_index;
    // For every name, its place among the nodes (in insertion order), or npos.
    std::vector<std::size_t> m_nodeOf;
    // The name of every node, and the names it depends on, by place among the nodes.
    std::vector<std::size_t> m_order;
    std::vector<std::vector<std::size_t>> m_deps;
    // getChildren's answers, as names, by node place; dropped when the node gains edges.
    mutable std::unordered_map<std::size_t, std::vector<std::string>> m_children;
    mutable std::unordered_map<std::string, std::set<std::string>> m_allChildren;
};

}  // namespace kel
