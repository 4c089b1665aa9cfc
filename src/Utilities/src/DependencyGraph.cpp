#include <kel/utilities/DependencyGraph.h>

#include <algorithm>
#include <cstddef>
#include <limits>
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

bool DependencyGraph::isAcyclic(std::string& node) const {
    // Number the nodes, then run an iterative depth-first search: an edge to a node still
    // on the search path closes a cycle through that node.
    const std::size_t count = m_order.size();
    std::unordered_map<std::string_view, std::size_t> index;
    index.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        index.emplace(m_order[i], i);

    std::vector<std::vector<std::size_t>> edges(count);
    for (std::size_t i = 0; i < count; ++i) {
        for (const auto& dep : m_nodes.at(m_order[i]).deps) {
            // A name with no dependencies of its own cannot be on a cycle.
            if (auto found = index.find(dep); found != index.end()) {
                edges[i].push_back(found->second);
            }
        }
    }

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

    // Iterative Tarjan search over the nodes reachable from node that have no memo yet.
    // Strongly connected components come out dependencies first, so each component's
    // closure is its members (when it is a cycle) plus the closures of the components it
    // points to, which are already memoised. All members of a component share it.
    constexpr std::size_t kUnvisited = std::numeric_limits<std::size_t>::max();
    struct Visit {
        std::size_t index = kUnvisited;
        std::size_t low = 0;
        bool onStack = false;
    };
    std::unordered_map<std::string_view, Visit> visits;
    struct Frame {
        const std::string* name;
        const std::vector<std::string>* deps;
        std::size_t nextEdge;
    };
    std::vector<Frame> callStack;
    std::vector<const std::string*> componentStack;
    std::size_t counter = 0;

    auto enter = [&](const std::string& name) {
        Visit& v = visits[name];
        v.index = v.low = counter++;
        v.onStack = true;
        componentStack.push_back(&name);
        callStack.push_back({&name, &getChildren(name), 0});
    };

    auto closeComponent = [&](const std::string& root) {
        std::vector<const std::string*> members;
        const std::string* member = nullptr;
        do {
            member = componentStack.back();
            componentStack.pop_back();
            visits[*member].onStack = false;
            members.push_back(member);
        } while (member != &root);

        std::set<std::string> closure;
        bool cyclic = members.size() > 1;
        for (const std::string* m : members) {
            for (const auto& dep : getChildren(*m)) {
                if (dep == *m) cyclic = true;
                closure.insert(dep);
                if (auto memo = m_allChildren.find(dep); memo != m_allChildren.end()) {
                    closure.insert(memo->second.begin(), memo->second.end());
                }
            }
        }
        if (cyclic) {
            for (const std::string* m : members)
                closure.insert(*m);
        }
        for (std::size_t i = 1; i < members.size(); ++i)
            m_allChildren[*members[i]] = closure;
        m_allChildren[*members[0]] = std::move(closure);
    };

    enter(m_nodes.find(node)->first);
    while (!callStack.empty()) {
        Frame& top = callStack.back();
        if (top.nextEdge < top.deps->size()) {
            const std::string& dep = (*top.deps)[top.nextEdge++];
            if (m_allChildren.count(dep)) continue;
            auto found = m_nodes.find(dep);
            if (found == m_nodes.end()) continue;  // a leaf: nothing below it
            auto visit = visits.find(dep);
            if (visit == visits.end()) {
                enter(found->first);
            } else if (visit->second.onStack) {
                Visit& self = visits[*top.name];
                self.low = std::min(self.low, visit->second.index);
            }
            continue;
        }
        const std::string& name = *top.name;
        const Visit self = visits[name];
        callStack.pop_back();
        if (!callStack.empty()) {
            Visit& parent = visits[*callStack.back().name];
            parent.low = std::min(parent.low, self.low);
        }
        if (self.low == self.index) closeComponent(name);
    }
    return m_allChildren.at(node);
}

}  // namespace kel
