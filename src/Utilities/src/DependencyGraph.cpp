#include <kel/utilities/DependencyGraph.h>

#include <algorithm>
#include <cstddef>
#include <functional>
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
    : m_order(other.m_order),
      m_deps(other.m_deps),
      m_children(other.m_children),
      m_allChildren(other.m_allChildren) {
    // The names are copied into blocks of the copy's own, under the same numbers.
    m_names.reserve(other.m_names.size());
    m_hashes.reserve(other.m_names.size());
    for (std::size_t id = 0; id < other.m_names.size(); ++id)
        addName(other.m_names[id], other.m_hashes[id]);
    m_nodeOf = other.m_nodeOf;
}

DependencyGraph& DependencyGraph::operator=(const DependencyGraph& other) {
    if (this != &other) *this = DependencyGraph(other);
    return *this;
}

std::size_t DependencyGraph::slotOf(std::string_view name, std::size_t hash) const {
    const std::size_t mask = m_index.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        const std::size_t held = m_index[slot];
        if (held == 0) return slot;
        if (m_hashes[held - 1] == hash && m_names[held - 1] == name) return slot;
    }
}

std::size_t DependencyGraph::findId(std::string_view name) const {
    if (m_index.empty()) return npos;
    const std::size_t held = m_index[slotOf(name, std::hash<std::string_view>()(name))];
    return held == 0 ? npos : held - 1;
}

std::size_t DependencyGraph::idOf(std::string_view name) {
    const std::size_t hash = std::hash<std::string_view>()(name);
    if (!m_index.empty()) {
        const std::size_t held = m_index[slotOf(name, hash)];
        if (held != 0) return held - 1;
    }
    return addName(name, hash);
}

std::size_t DependencyGraph::addName(std::string_view name, std::size_t hash) {
    const std::size_t id = m_names.size();
    // At most three quarters of the slots in use.
    if (4 * (id + 1) > 3 * m_index.size()) {
        std::vector<std::size_t> index(std::max<std::size_t>(64, 2 * m_index.size()), 0);
        const std::size_t mask = index.size() - 1;
        for (std::size_t held = 0; held < id; ++held) {
            std::size_t slot = m_hashes[held] & mask;
            while (index[slot] != 0)
                slot = (slot + 1) & mask;
            index[slot] = held + 1;
        }
        m_index = std::move(index);
    }
    // A moved-from graph has no blocks, whatever its other members say.
    if (m_text.empty() || name.size() > m_textLeft) {
        constexpr std::size_t kBlock = 4096;
        const std::size_t size = std::max(kBlock, name.size());
        m_text.push_back(std::make_unique<char[]>(size));
        m_textNext = m_text.back().get();
        m_textLeft = size;
    }
    std::copy(name.begin(), name.end(), m_textNext);
    const std::string_view kept(m_textNext, name.size());
    m_names.push_back(kept);
    try {
        m_hashes.push_back(hash);
        m_nodeOf.push_back(npos);
    } catch (...) {
        m_hashes.resize(id);
        m_names.pop_back();
        throw;
    }
    m_textNext += name.size();
    m_textLeft -= name.size();
    m_index[slotOf(kept, hash)] = id + 1;
    return id;
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
        if (marked[i]) names.emplace_back(m_names[m_order[i]]);
    return names;
}

std::vector<std::string> DependencyGraph::getNamesWithDependencies() const {
    std::vector<std::string> names;
    names.reserve(m_order.size());
    for (std::size_t id : m_order)
        names.emplace_back(m_names[id]);
    return names;
}

const std::vector<std::string>& DependencyGraph::getChildren(const std::string& node) const {
    const std::size_t id = findId(node);
    if (id == npos || m_nodeOf[id] == npos) return s_noDeps;
    const std::size_t place = m_nodeOf[id];
    const auto [memo, added] = m_children.try_emplace(place);
    if (added) {
        try {
            for (std::size_t dep : m_deps[place])
                memo->second.emplace_back(m_names[dep]);
        } catch (...) {
            m_children.erase(memo);
            throw;
        }
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
            closure.emplace(m_names[dep]);
            pending.push_back(dep);
        }
    }
    return m_allChildren.emplace(node, std::move(closure)).first->second;
}

}  // namespace kel
