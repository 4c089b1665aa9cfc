#include <kel/utilities/DependencyGraph.h>

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <unordered_set>

namespace kel {

namespace {

const std::vector<std::string> s_noDeps;
const std::set<std::string> s_noChildren;

// Beyond this many edges, duplicate detection uses a hash set instead of a linear scan.
constexpr std::size_t kLinearDedupLimit = 16;

}  // namespace

DependencyGraph::DependencyGraph() = default;
DependencyGraph::~DependencyGraph() = default;

void DependencyGraph::addDependency(const std::string& node, const std::vector<std::string>& deps) {
    auto [it, inserted] = m_nodes.try_emplace(node);
    if (inserted) m_order.push_back(node);
    m_edgesBuilt = false;
    auto& existing = it->second.deps;
    if (!deps.empty()) m_allChildren.clear();

    if (existing.size() + deps.size() <= kLinearDedupLimit) {
        for (const auto& dep : deps) {
            if (std::find(existing.begin(), existing.end(), dep) == existing.end()) {
                existing.push_back(dep);
            }
        }
        return;
    }
    std::unordered_set<std::string_view> seen(existing.begin(), existing.end());
    existing.reserve(existing.size() + deps.size());
    for (const auto& dep : deps) {
        if (seen.insert(dep).second) existing.push_back(dep);
    }
}

bool DependencyGraph::areNodeNamesKnown(const std::vector<std::string>& known,
                                        std::vector<std::string>& unknown) const {
    unknown.clear();
    const std::unordered_set<std::string_view> knownSet(known.begin(), known.end());
    std::set<std::string_view> missing;
    for (const auto& entry : m_nodes) {
        for (const auto& dep : entry.second.deps) {
            if (!knownSet.count(dep)) missing.insert(dep);
        }
    }
    unknown.assign(missing.begin(), missing.end());
    return unknown.empty();
}

const std::vector<std::vector<std::size_t>>& DependencyGraph::numberedEdges() const {
    if (m_edgesBuilt) return m_edges;
    const std::size_t count = m_order.size();
    std::unordered_map<std::string_view, std::size_t> index;
    index.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        index.emplace(m_order[i], i);

    std::vector<std::vector<std::size_t>> edges(count);
    for (std::size_t i = 0; i < count; ++i) {
        for (const auto& dep : m_nodes.at(m_order[i]).deps) {
            if (auto found = index.find(dep); found != index.end()) {
                edges[i].push_back(found->second);
            }
        }
    }
    m_edges = std::move(edges);
    m_edgesBuilt = true;
    return m_edges;
}

bool DependencyGraph::isAcyclic(std::string& node) const {
    // An iterative depth-first search: an edge to a node still on the search path closes a
    // cycle through that node. A name with no dependencies of its own cannot be on a cycle.
    const std::vector<std::vector<std::size_t>>& edges = numberedEdges();
    const std::size_t count = edges.size();
    enum class Mark : unsigned char { New, OnPath, Done };
    std::vector<Mark> mark(count, Mark::New);
    struct Frame {
        std::size_t node;
        std::size_t nextEdge;
    };
    std::vector<Frame> stack;
    for (std::size_t root = 0; root < count; ++root) {
        if (mark[root] != Mark::New) continue;
        mark[root] = Mark::OnPath;
        stack.push_back({root, 0});
        while (!stack.empty()) {
            Frame& top = stack.back();
            if (top.nextEdge == edges[top.node].size()) {
                mark[top.node] = Mark::Done;
                stack.pop_back();
                continue;
            }
            const std::size_t next = edges[top.node][top.nextEdge++];
            if (mark[next] == Mark::OnPath) {
                node = m_order[next];
                return false;
            }
            if (mark[next] == Mark::New) {
                mark[next] = Mark::OnPath;
                stack.push_back({next, 0});
            }
        }
    }
    return true;
}

bool DependencyGraph::isDepthWithin(std::size_t limit, std::string& node) const {
    // Depths in post-order of an iterative depth-first search; 0 marks "not yet known".
    const std::vector<std::vector<std::size_t>>& edges = numberedEdges();
    const std::size_t count = edges.size();
    std::vector<std::size_t> depth(count, 0);
    struct Frame {
        std::size_t node;
        std::size_t nextEdge;
    };
    std::vector<Frame> stack;
    for (std::size_t root = 0; root < count; ++root) {
        if (depth[root] != 0) continue;
        stack.push_back({root, 0});
        while (!stack.empty()) {
            Frame& top = stack.back();
            const auto& out = edges[top.node];
            if (top.nextEdge < out.size()) {
                const std::size_t next = out[top.nextEdge++];
                if (depth[next] == 0) stack.push_back({next, 0});
                continue;
            }
            // Dependencies that are not nodes are leaves of depth 1.
            std::size_t deepest = m_nodes.at(m_order[top.node]).deps.size() > out.size() ? 1 : 0;
            for (std::size_t dep : out)
                deepest = std::max(deepest, depth[dep]);
            depth[top.node] = deepest + 1;
            stack.pop_back();
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (depth[i] > limit) {
            node = m_order[i];
            return false;
        }
    }
    return true;
}

std::vector<std::string> DependencyGraph::getNamesDependingOn(
    const std::set<std::string>& targets) const {
    // One traversal of the reversed edges, starting from the nodes that name a target.
    const std::vector<std::vector<std::size_t>>& edges = numberedEdges();
    const std::size_t count = edges.size();
    std::vector<std::vector<std::size_t>> dependents(count);
    for (std::size_t i = 0; i < count; ++i)
        for (std::size_t dep : edges[i])
            dependents[dep].push_back(i);

    std::vector<bool> marked(count, false);
    std::vector<std::size_t> pending;
    for (std::size_t i = 0; i < count; ++i) {
        const auto& deps = m_nodes.at(m_order[i]).deps;
        if (std::any_of(deps.begin(), deps.end(),
                        [&](const std::string& dep) { return targets.count(dep) != 0; })) {
            marked[i] = true;
            pending.push_back(i);
        }
    }
    while (!pending.empty()) {
        const std::size_t next = pending.back();
        pending.pop_back();
        for (std::size_t user : dependents[next]) {
            if (!marked[user]) {
                marked[user] = true;
                pending.push_back(user);
            }
        }
    }
    std::vector<std::string> names;
    for (std::size_t i = 0; i < count; ++i)
        if (marked[i]) names.push_back(m_order[i]);
    return names;
}

std::vector<std::string> DependencyGraph::getNamesWithDependencies() const {
    return m_order;
}

const std::vector<std::string>& DependencyGraph::getChildren(const std::string& node) const {
    const auto it = m_nodes.find(node);
    return it == m_nodes.end() ? s_noDeps : it->second.deps;
}

const std::set<std::string>& DependencyGraph::getAllChildren(const std::string& node) const {
    if (auto memo = m_allChildren.find(node); memo != m_allChildren.end()) return memo->second;
    if (m_nodes.find(node) == m_nodes.end()) return s_noChildren;

    // Everything reached from node's dependencies, by an iterative search.
    std::set<std::string> closure;
    std::vector<const std::string*> pending{&node};
    while (!pending.empty()) {
        const std::string* next = pending.back();
        pending.pop_back();
        for (const auto& dep : getChildren(*next)) {
            if (closure.insert(dep).second) pending.push_back(&dep);
        }
    }
    return m_allChildren.emplace(node, std::move(closure)).first->second;
}

}  // namespace kel
