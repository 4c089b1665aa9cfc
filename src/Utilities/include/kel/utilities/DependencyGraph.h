#pragma once

#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace kel {

// A directed graph of named nodes, each depending on others (edges node -> dependency).
// Used to reject references to unknown names and cycles among checks and lists, and to
// find everything a node depends on transitively. Not thread-safe: getAllChildren fills
// a memo.
class DependencyGraph {
public:
    DependencyGraph();
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

    // Everything node depends on, directly or not (memoised; not including node itself
    // unless it lies on a cycle).
    const std::set<std::string>& getAllChildren(const std::string& node) const;

private:
    struct Node {
        std::vector<std::string> deps;
    };
    std::vector<std::string> m_order;
    std::unordered_map<std::string, Node> m_nodes;
    mutable std::unordered_map<std::string, std::set<std::string>> m_allChildren;
};

}  // namespace kel
