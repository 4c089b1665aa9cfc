#include <kel/physicsutils/TARNModel.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <utility>

#include <kel/exception/PhysicsException.h>
#include <kel/physicsutils/PathUtils.h>
#include <kel/physicsutils/TARNReader.h>

namespace kel {

namespace {

const std::string s_emptyString;
constexpr std::uint32_t kRoot = 0;
constexpr std::uint32_t kNone = UINT32_MAX;

// A line and column in the model's source; line 0 when the item was made by an edit.
struct Loc {
    std::uint32_t line = 0;
    std::uint32_t column = 0;
};

// Whether path is written as the model writes paths: "/TYPE" or "/TYPE:name" components
// (an unnamed object never as TYPE:TYPE), none empty, no trailing '/'.
bool isCanonical(std::string_view path) {
    std::size_t pos = 0;
    while (pos < path.size()) {
        if (path[pos] != '/') return false;
        std::size_t end = path.find('/', pos + 1);
        if (end == std::string_view::npos) end = path.size();
        const std::string_view component = path.substr(pos + 1, end - pos - 1);
        const std::size_t colon = component.find(':');
        if (component.empty() || (colon != std::string_view::npos &&
                                  (colon + 1 == component.size() ||
                                   component.substr(colon + 1) == component.substr(0, colon))))
            return false;
        pos = end;
    }
    return true;
}

}  // namespace

struct TARNModel::Impl {
    struct Param {
        std::string key;
        std::string value;
        Loc loc;
    };

    struct Node {
        std::uint32_t parent = kNone;
        std::string type;
        std::string name;                     // empty when unnamed
        std::vector<std::uint32_t> children;  // model order
        std::vector<Param> params;            // model order
        Loc loc;
        std::uint32_t place = 0;  // in the parent's children
        // Where among the children the next look-up under this node is tried first: just
        // after the child found last. A walk of the tree asks for siblings in order, and
        // one comparison is cheaper than a probe of the index, whose memory is cold.
        mutable std::uint32_t nextChild = 0;

        Param* findParam(std::string_view key) {
            for (Param& param : params)
                if (param.key == key) return &param;
            return nullptr;
        }
        const Param* findParam(std::string_view key) const {
            return const_cast<Node*>(this)->findParam(key);
        }
        void setParam(std::string_view key, std::string_view value, Loc loc) {
            if (Param* param = findParam(key)) {
                param->value.assign(value);
                param->loc = loc;
            } else {
                params.push_back({std::string(key), std::string(value), loc});
            }
        }
    };

    // A node's place in the tree: its parent and its own type and name. The views point
    // into the node's own strings, which do not move while the node lives.
    struct Key {
        std::uint32_t parent;
        std::string_view type;
        std::string_view name;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& key) const noexcept {
            std::size_t h = std::hash<std::string_view>{}(key.type);
            h ^= std::hash<std::string_view>{}(key.name) + 0x9e3779b97f4a7c15ull + (h << 6) +
                 (h >> 2);
            h ^= key.parent + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
            return h;
        }
    };

    std::vector<std::unique_ptr<Node>> nodes;  // by id; null once removed
    std::vector<std::uint32_t> freeIds;
    std::unordered_map<Key, std::uint32_t, KeyHash> index;
    std::string source;  // names the text the model was read from

    Impl() { nodes.push_back(std::make_unique<Node>()); }

    // The last few paths found: queries ask one object many times in a row (each of its
    // parameters, each check reading it), and comparing a path is cheaper than hashing each
    // of its components. Cleared whenever a node is removed, as ids are reused.
    struct Recent {
        std::string path;
        std::uint32_t id = kNone;
    };
    static constexpr std::size_t kRecent = 4;
    mutable std::array<Recent, kRecent> recent;
    mutable std::size_t nextRecent = 0;

    // The nodes along the last path walked: for each component found, where it ends in
    // that path and its node. A walk of a path sharing a leading part with it (the next
    // object of a walk of the tree, a child after its parent) starts from the deepest node
    // of that part, so it probes once per new component instead of once per component.
    // Cleared with the recent paths.
    struct Step {
        std::size_t end;
        std::uint32_t id;
    };
    mutable std::string walkedPath;
    mutable std::vector<Step> walkedSteps;

    void forgetRecent() {
        for (Recent& entry : recent)
            entry.id = kNone;
        walkedPath.clear();
        walkedSteps.clear();
    }

    // The node at path (in any form PathUtils::nextComponent reads), or kNone.
    std::uint32_t find(std::string_view path) const {
        for (const Recent& entry : recent)
            if (entry.id != kNone && entry.path == path) return entry.id;
        const std::uint32_t id = walk(path);
        if (id != kNone) {
            Recent& entry = recent[nextRecent];
            nextRecent = (nextRecent + 1) % kRecent;
            entry.path.assign(path);
            entry.id = id;
        }
        return id;
    }

    std::uint32_t walk(std::string_view path) const {
        // The deepest step of the last walk whose text is a leading part of path that ends
        // where a component of path ends: the components up to there are the same.
        std::size_t kept = walkedSteps.size();
        while (kept > 0) {
            const std::size_t end = walkedSteps[kept - 1].end;
            if (end <= path.size() && (end == path.size() || path[end] == '/') &&
                path.compare(0, end, walkedPath, 0, end) == 0)
                break;
            --kept;
        }
        // An object above the last one walked (a check reading an enclosing object) is
        // answered without forgetting the deeper nodes, which the next walk likely needs.
        if (kept > 0 && walkedSteps[kept - 1].end == path.size()) return walkedSteps[kept - 1].id;
        walkedSteps.resize(kept);
        std::uint32_t id = kept == 0 ? kRoot : walkedSteps.back().id;
        std::size_t pos = kept == 0 ? 0 : walkedSteps.back().end;
        walkedPath.assign(path);
        std::string_view type;
        std::string_view name;
        while (PathUtils::nextComponent(path, pos, type, name)) {
            id = child(id, type, name);
            if (id == kNone) return kNone;
            walkedSteps.push_back({std::min(pos - 1, path.size()), id});
        }
        return id;
    }

    // The child of parent with that type and name, or kNone.
    std::uint32_t child(std::uint32_t parent, std::string_view type, std::string_view name) const {
        const Node& node = *nodes[parent];
        // The child after the one found last, then that one again (nextChild - 1 wraps past
        // every place when nextChild is 0).
        for (const std::uint32_t at : {node.nextChild, node.nextChild - 1}) {
            if (at >= node.children.size()) continue;
            const std::uint32_t candidate = node.children[at];
            if (nodes[candidate]->type == type && nodes[candidate]->name == name) {
                node.nextChild = at + 1;
                return candidate;
            }
        }
        auto it = index.find({parent, type, name});
        if (it == index.end()) return kNone;
        // A look-up of an earlier child (a check reading another object) leaves the walk's
        // place alone; one of the first child starts a new walk.
        const std::uint32_t place = nodes[it->second]->place;
        if (place == 0 || place >= node.nextChild) node.nextChild = place + 1;
        return it->second;
    }

    Node* node(std::string_view path) {
        const std::uint32_t id = find(path);
        return id == kNone ? nullptr : nodes[id].get();
    }
    const Node* node(std::string_view path) const { return const_cast<Impl*>(this)->node(path); }

    // The child of parent with that type and name, added (last) when absent.
    std::uint32_t openChild(std::uint32_t parent, std::string_view type, std::string_view name,
                            Loc loc) {
        auto it = index.find({parent, type, name});
        if (it != index.end()) return it->second;
        std::uint32_t id;
        if (freeIds.empty()) {
            id = static_cast<std::uint32_t>(nodes.size());
            nodes.emplace_back();
        } else {
            id = freeIds.back();
            freeIds.pop_back();
        }
        auto child = std::make_unique<Node>();
        child->parent = parent;
        child->type.assign(type);
        child->name.assign(name);
        child->loc = loc;
        child->place = static_cast<std::uint32_t>(nodes[parent]->children.size());
        index.emplace(Key{parent, child->type, child->name}, id);
        nodes[id] = std::move(child);
        nodes[parent]->children.push_back(id);
        return id;
    }

    // The canonical full path of a node.
    std::string pathOf(std::uint32_t id) const {
        std::vector<std::uint32_t> chain;
        for (; id != kRoot; id = nodes[id]->parent)
            chain.push_back(id);
        std::string path;
        for (auto it = chain.rbegin(); it != chain.rend(); ++it)
            appendComponent(path, *nodes[*it]);
        return path;
    }

    static void appendComponent(std::string& path, const Node& node) {
        PathUtils::appendComponent(path, node.type, node.name);
    }

    SourceLocation location(Loc loc) const {
        return loc.line == 0 ? SourceLocation() : SourceLocation(source, loc.line, loc.column);
    }

    // Receives the reader's events; the open objects are kept as a stack of node ids.
    class Builder : public TARNReader::Sink {
    public:
        explicit Builder(Impl& impl) : m_impl(impl) { m_open.push_back(kRoot); }

        void beginObject(std::string_view type, std::string_view name,
                         TARNReader::Position at) override {
            m_open.push_back(m_impl.openChild(m_open.back(), type, name, {at.line, at.column}));
        }
        void parameter(std::string_view key, std::string_view value,
                       TARNReader::Position at) override {
            m_impl.nodes[m_open.back()]->setParam(key, value, {at.line, at.column});
        }
        void endObject() override {
            if (m_open.size() > 1) m_open.pop_back();
        }

    private:
        Impl& m_impl;
        std::vector<std::uint32_t> m_open;
    };
};

TARNModel::TARNModel() : m_impl(std::make_unique<Impl>()) {}

TARNModel::~TARNModel() = default;

std::unique_ptr<TARNModel> TARNModel::fromText(std::string_view text, const std::string& source) {
    auto model = std::make_unique<TARNModel>();
    model->m_impl->source = source;
    Impl::Builder builder(*model->m_impl);
    TARNReader::read(text, source, builder);
    return model;
}

std::unique_ptr<TARNModel> TARNModel::fromFile(const std::string& fileName) {
    return fromText(TARNReader::loadFile(fileName), fileName);
}

bool TARNModel::hasObject(const std::string& path) const {
    return m_impl->find(path) != kNone;
}

std::vector<std::string> TARNModel::getChildObjectNames(const std::string& path,
                                                        const std::string& type) const {
    std::vector<std::string> names;
    if (const Impl::Node* node = m_impl->node(path)) {
        for (std::uint32_t id : node->children) {
            const Impl::Node& child = *m_impl->nodes[id];
            if (child.type == type) names.push_back(child.name);
        }
    }
    return names;
}

void TARNModel::forEachObjectPath(const std::function<bool(const std::string&)>& visit) const {
    struct Frame {
        std::uint32_t id;
        std::size_t next;        // the next child to visit
        std::size_t pathLength;  // of the node's own path
    };
    std::string path;
    std::vector<Frame> stack{{kRoot, 0, 0}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const Impl::Node& node = *m_impl->nodes[frame.id];
        if (frame.next == node.children.size()) {
            stack.pop_back();
            continue;
        }
        const std::uint32_t child = node.children[frame.next++];
        path.resize(frame.pathLength);
        Impl::appendComponent(path, *m_impl->nodes[child]);
        if (visit(path)) return;
        stack.push_back({child, 0, path.size()});
    }
}

std::vector<std::string> TARNModel::getChildObjectPaths(const std::string& path) const {
    std::vector<std::string> paths;
    const std::uint32_t id = m_impl->find(path);
    if (id == kNone) return paths;
    // A path asked as the model writes it is its own prefix.
    const bool canonical = isCanonical(path);
    const std::string written = canonical ? std::string() : m_impl->pathOf(id);
    const std::string& prefix = canonical ? path : written;
    const Impl::Node& node = *m_impl->nodes[id];
    paths.reserve(node.children.size());
    for (std::uint32_t childId : node.children) {
        const Impl::Node& child = *m_impl->nodes[childId];
        std::string& childPath = paths.emplace_back();
        childPath.reserve(prefix.size() + child.type.size() + child.name.size() + 2);
        childPath = prefix;
        Impl::appendComponent(childPath, child);
    }
    return paths;
}

void TARNModel::forEachParameter(
    const std::string& path,
    const std::function<void(const std::string&, const std::string&)>& visit) const {
    if (const Impl::Node* node = m_impl->node(path)) {
        for (const Impl::Param& param : node->params)
            visit(param.key, param.value);
    }
}

void TARNModel::forEachChild(
    const std::string& path,
    const std::function<void(std::string_view, std::string_view)>& visit) const {
    if (const Impl::Node* node = m_impl->node(path)) {
        for (std::uint32_t id : node->children) {
            const Impl::Node& child = *m_impl->nodes[id];
            visit(child.type, child.name);
        }
    }
}

bool TARNModel::hasParameter(const std::string& path, const std::string& name) const {
    const Impl::Node* node = m_impl->node(path);
    return node && node->findParam(name);
}

std::vector<std::string> TARNModel::getParameterNames(const std::string& path) const {
    std::vector<std::string> names;
    if (const Impl::Node* node = m_impl->node(path)) {
        names.reserve(node->params.size());
        for (const Impl::Param& param : node->params)
            names.push_back(param.key);
    }
    return names;
}

const std::string& TARNModel::getParameterValue(const std::string& path,
                                                const std::string& name) const {
    const Impl::Node* node = m_impl->node(path);
    const Impl::Param* param = node ? node->findParam(name) : nullptr;
    return param ? param->value : s_emptyString;
}

void TARNModel::setParameterValue(const std::string& path, const std::string& name,
                                  const std::string& value) {
    Impl::Node* node = m_impl->node(path);
    if (!node) {
        throw PhysicsException("TARNModel::setParameterValue - object " + path + " does not exist");
    }
    node->setParam(name, value, Loc{});
    bumpRevision();
}

bool TARNModel::removeParameter(const std::string& path, const std::string& name) {
    Impl::Node* node = m_impl->node(path);
    if (!node) return false;
    auto it = std::find_if(node->params.begin(), node->params.end(),
                           [&](const Impl::Param& param) { return param.key == name; });
    if (it == node->params.end()) return false;
    node->params.erase(it);
    bumpRevision();
    return true;
}

void TARNModel::addObject(const std::string& path) {
    if (m_impl->find(path) != kNone) return;
    const std::string::size_type slash = path.rfind('/');
    const std::string component = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string::size_type colon = component.find(':');
    std::string type = component.substr(0, colon);
    std::string name = colon == std::string::npos ? std::string() : component.substr(colon + 1);
    if (slash == std::string::npos || type.empty()) {
        throw PhysicsException("TARNModel::addObject - " + path +
                               " is not an object path (/TYPE or /TYPE:name components)");
    }
    if (colon != std::string::npos && (name.empty() || name == type)) {
        throw PhysicsException("TARNModel::addObject - " + path +
                               ": an unnamed object is written /" + type);
    }
    const std::uint32_t parent = m_impl->find(std::string_view(path).substr(0, slash));
    if (parent == kNone) {
        throw PhysicsException("TARNModel::addObject - parent of " + path + " does not exist");
    }
    m_impl->openChild(parent, type, name, Loc{});
    bumpRevision();
}

bool TARNModel::removeObject(const std::string& path) {
    const std::uint32_t id = m_impl->find(path);
    if (id == kNone || id == kRoot) return false;  // the root always exists

    m_impl->forgetRecent();
    // Detach from the parent, then free the subtree without recursion.
    std::vector<std::uint32_t>& siblings = m_impl->nodes[m_impl->nodes[id]->parent]->children;
    siblings.erase(siblings.begin() + m_impl->nodes[id]->place);
    for (std::size_t i = m_impl->nodes[id]->place; i < siblings.size(); ++i)
        m_impl->nodes[siblings[i]]->place = static_cast<std::uint32_t>(i);
    std::vector<std::uint32_t> pending{id};
    while (!pending.empty()) {
        const std::uint32_t next = pending.back();
        pending.pop_back();
        std::unique_ptr<Impl::Node> node = std::move(m_impl->nodes[next]);
        m_impl->index.erase({node->parent, node->type, node->name});
        m_impl->freeIds.push_back(next);
        pending.insert(pending.end(), node->children.begin(), node->children.end());
    }
    bumpRevision();
    return true;
}

SourceLocation TARNModel::objectLocation(const std::string& path) const {
    const std::uint32_t id = m_impl->find(path);
    return id == kNone ? SourceLocation() : m_impl->location(m_impl->nodes[id]->loc);
}

SourceLocation TARNModel::parameterLocation(const std::string& path,
                                            const std::string& name) const {
    const Impl::Node* node = m_impl->node(path);
    const Impl::Param* param = node ? node->findParam(name) : nullptr;
    return param ? m_impl->location(param->loc) : SourceLocation();
}

}  // namespace kel
