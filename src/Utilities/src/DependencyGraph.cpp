#include <kel/utilities/DependencyGraph.h>

#include <algorithm>
#include <cstddef>
#include <unordered_set>
#include <utility>

namespace kel {

namespace {

const std::vector<std::string> s_noDeps;
const std::set<std::string> s_noChildren;

// Beyond this many edges, duplicate detection uses a hash set instead of a linear scan.
constexpr std::size_t kLinearDedupLimit = 16;

}  // namespace

DependencyGraph::DependencyGraph() = default;
DependencyGraph::~DependencyGraph() = default;
DependencyGraph::DependencyGraph(DependencyGraph&& other) = default;
DependencyGraph& DependencyGraph::operator=(DependencyGraph&& other) = default;

DependencyGraph::DependencyGraph(const DependencyGraph& other)
    : m_names(other.m_names),
      m_nodeOf(other.m_nodeOf),
      m_order(other.m_order),
      m_deps(other.m_deps),
      m_children(other.m_children),
      m_allChildren(other.m_allChildren) {
    // The index views the names; a copy views its own.
    m_ids.reserve(m_names.size());
    for (std::size_t id = 0; id < m_names.size(); ++id)
        m_ids.emplace(m_names[id], id);
}

DependencyGraph& DependencyGraph::operator=(const DependencyGraph& other) {
    if (this != &other) *this = DependencyGraph(other);
    return *this;
}

std::size_t DependencyGraph::idOf(const std::string& name) {
    const auto found = m_ids.find(name);
    if (found != m_ids.end()) return found->second;
    const std::size_t id = m_names.size();
    m_names.push_back(name);
    try {
        m_ids.emplace(m_names.back(), id);
        m_nodeOf.push_back(npos);
    } catch (...) {
        m_ids.erase(m_names.back());
        m_names.pop_back();
        throw;
    }
    return id;
}

std::size_t DependencyGraph::findId(std::string_view name) const {
    const auto found = m_ids.find(name);
    return found == m_ids.end() ? npos : found->second;
}

void DependencyGraph::addDependency(const std::string& node, const std::vector<std::string>& deps) {
    const std::size_t id = idOf(node);
    std::size_t place = m_nodeOf[id];
    if (place == npos) {
        place = m_order.size();
        m_deps.emplace_back();
        try {
            m_order.push_back(id);
        } catch (...) {
            m_deps.pop_back();
            throw;
        }
        m_nodeOf[id] = place;
    }
    if (deps.empty()) return;
    m_allChildren.clear();
    m_children.erase(place);

    std::vector<std::size_t>& existing = m_deps[place];
    if (existing.size() + deps.size() <= kLinearDedupLimit) {
        for (const auto& dep : deps) {
            const std::size_t depId = idOf(dep);
            if (std::find(existing.begin(), existing.end(), depId) == existing.end())
                existing.push_back(depId);
        }
        return;
    }
    std::unordered_set<std::size_t> seen(existing.begin(), existing.end());
    existing.reserve(existing.size() + deps.size());
    for (const auto& dep : deps) {
        const std::size_t depId = idOf(dep);
        if (seen.insert(depId).second) existing.push_back(depId);
    }
}

bool DependencyGraph::areNodeNamesKnown(const std::vector<std::string>& known,
                                        std::vector<std::string>& unknown) const {
    unknown.clear();
    std::vector<bool> isKnown(m_names.size(), false);
    for (const auto& name : known) {
        const std::size_t id = findId(name);
        if (id != npos) isKnown[id] = true;
    }
    std::vector<bool> listed(m_names.size(), false);
    std::vector<std::string_view> missing;
    for (const auto& deps : m_deps) {
        for (std::size_t dep : deps) {
            if (isKnown[dep] || listed[dep]) continue;
            listed[dep] = true;
            missing.push_back(m_names[dep]);
        }
    }
    std::sort(missing.begin(), missing.end());
    unknown.assign(missing.begin(), missing.end());
    return unknown.empty();
}

bool DependencyGraph::isAcyclic(std::string& node) const {
    // An iterative depth-first search: an edge to a node still on the search path closes a
    // cycle through that node. A name with no dependencies of its own cannot be on a cycle.
    const std::size_t count = m_order.size();
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
            const auto& out = m_deps[top.node];
            if (top.nextEdge == out.size()) {
                mark[top.node] = Mark::Done;
                stack.pop_back();
                continue;
            }
            const std::size_t next = m_nodeOf[out[top.nextEdge++]];
            if (next == npos) continue;
            if (mark[next] == Mark::OnPath) {
                node = m_names[m_order[next]];
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
    const std::size_t count = m_order.size();
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
            const auto& out = m_deps[top.node];
            if (top.nextEdge < out.size()) {
                const std::size_t next = m_nodeOf[out[top.nextEdge++]];
                if (next != npos && depth[next] == 0) stack.push_back({next, 0});
                continue;
            }
            // Dependencies that are not nodes are leaves of depth 1.
            std::size_t deepest = 0;
            for (std::size_t dep : out) {
                const std::size_t place = m_nodeOf[dep];
                deepest = std::max(deepest, place == npos ? 1 : depth[place]);
            }
            depth[top.node] = deepest + 1;
            stack.pop_back();
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (depth[i] > limit) {
            node = m_names[m_order[i]];
            return false;
        }
    }
    return true;
}

std::vector<std::string> DependencyGraph::getNamesDependingOn(
    const std::set<std::string>& targets) const {
    // One traversal of the reversed edges, starting from the nodes that name a target.
    std::vector<bool> isTarget(m_names.size(), false);
    for (const auto& target : targets) {
        const std::size_t id = findId(target);
        if (id != npos) isTarget[id] = true;
    }
    // The dependents of node n are users[start[n]] up to users[start[n + 1]].
    const std::size_t count = m_order.size();
    std::vector<std::size_t> start(count + 1, 0);
    for (const auto& deps : m_deps)
        for (std::size_t dep : deps)
            if (m_nodeOf[dep] != npos) ++start[m_nodeOf[dep] + 1];
    for (std::size_t n = 0; n < count; ++n)
        start[n + 1] += start[n];
    std::vector<std::size_t> users(start[count]);
    std::vector<std::size_t> filled(start.begin(), start.end() - 1);
    std::vector<bool> marked(count, false);
    std::vector<std::size_t> pending;
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t dep : m_deps[i]) {
            if (isTarget[dep] && !marked[i]) {
                marked[i] = true;
                pending.push_back(i);
            }
            const std::size_t place = m_nodeOf[dep];
            if (place != npos) users[filled[place]++] = i;
        }
    }
    while (!pending.empty()) {
        const std::size_t next = pending.back();
        pending.pop_back();
        for (std::size_t at = start[next]; at < start[next + 1]; ++at) {
            const std::size_t user = users[at];
            if (!marked[user]) {
                marked[user] = true;
                pending.push_back(user);
            }
        }
    }
    std::vector<std::string> names;
    for (std::size_t i = 0; i < count; ++i)
        if (marked[i]) names.push_back(m_names[m_order[i]]);
    return names;
}

std::vector<std::string> DependencyGraph::getNamesWithDependencies() const {
    std::vector<std::string> names;
    names.reserve(m_order.size());
    for (std::size_t id : m_order)
        names.push_back(m_names[id]);
    return names;
}

const std::vector<std::string>& DependencyGraph::getChildren(const std::string& node) const {
    const std::size_t id = findId(node);
    if (id == npos || m_nodeOf[id] == npos) return s_noDeps;
    const std::size_t place = m_nodeOf[id];
    const auto [memo, added] = m_children.try_emplace(place);
    if (added) {
        for (std::size_t dep : m_deps[place])
            memo->second.push_back(m_names[dep]);
    }
    return memo->second;
}

const std::set<std::string>& DependencyGraph::getAllChildren(const std::string& node) const {
    if (auto memo = m_allChildren.find(node); memo != m_allChildren.end()) return memo->second;
    const std::size_t id = findId(node);
    if (id == npos || m_nodeOf[id] == npos) return s_noChildren;

    // Everything reached from node's dependencies, by an iterative search.
    std::set<std::string> closure;
    std::vector<bool> reached(m_names.size(), false);
    std::vector<std::size_t> pending{id};
    while (!pending.empty()) {
        const std::size_t place = m_nodeOf[pending.back()];
        pending.pop_back();
        if (place == npos) continue;
        for (std::size_t dep : m_deps[place]) {
            if (reached[dep]) continue;
            reached[dep] = true;
            closure.insert(m_names[dep]);
            pending.push_back(dep);
        }
    }
    return m_allChildren.emplace(node, std::move(closure)).first->second;
}

}  // namespace kel
