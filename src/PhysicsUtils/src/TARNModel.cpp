#include <kel/physicsutils/TARNModel.h>

#include <algorithm>
#include <unordered_map>
#include <utility>

#include <kel/exception/PhysicsException.h>
#include <kel/physicsutils/TARNReader.h>

namespace kel {

namespace {

const std::string s_emptyString;

// The root is addressed as "" or "/".
const std::string& rootOrPath(const std::string& path) {
    static const std::string s_root;
    return path == "/" ? s_root : path;
}

}  // namespace

struct TARNModel::Impl {
    struct Node {
        std::string type;
        std::string name;                                         // empty when unnamed
        std::vector<std::string> children;                        // full paths, model order
        std::vector<std::pair<std::string, std::string>> params;  // model order

        std::string* findParam(std::string_view key) {
            for (auto& [k, v] : params) {
                if (k == key) return &v;
            }
            return nullptr;
        }
        const std::string* findParam(std::string_view key) const {
            return const_cast<Node*>(this)->findParam(key);
        }
        void setParam(std::string_view key, std::string_view value) {
            if (std::string* v = findParam(key)) {
                v->assign(value);
            } else {
                params.emplace_back(std::string(key), std::string(value));
            }
        }
    };

    // Node-based: pointers to nodes stay valid while other nodes come and go.
    std::unordered_map<std::string, Node> nodes;

    Impl() { nodes.emplace(std::string(), Node()); }

    Node* find(const std::string& path) {
        auto it = nodes.find(rootOrPath(path));
        return it == nodes.end() ? nullptr : &it->second;
    }
    const Node* find(const std::string& path) const { return const_cast<Impl*>(this)->find(path); }

    // Adds a child node under parent unless the path is already known.
    Node& openChild(Node& parent, const std::string& path, std::string_view type,
                    std::string_view name) {
        auto [it, added] = nodes.try_emplace(path);
        if (added) {
            it->second.type.assign(type);
            it->second.name.assign(name);
            parent.children.push_back(path);
        }
        return it->second;
    }

    // Receives the reader's events; the open objects are kept as a stack of nodes.
    class Builder : public TARNReader::Sink {
    public:
        explicit Builder(Impl& impl) : m_impl(impl) { m_open.push_back(&impl.nodes.at("")); }

        void beginObject(const std::string& path, std::string_view type, std::string_view name,
                         int) override {
            m_open.push_back(&m_impl.openChild(*m_open.back(), path, type, name));
        }
        void parameter(const std::string&, std::string_view key, std::string_view value,
                       int) override {
            m_open.back()->setParam(key, value);
        }
        void endObject(const std::string&) override {
            if (m_open.size() > 1) m_open.pop_back();
        }

    private:
        Impl& m_impl;
        std::vector<Node*> m_open;
    };
};

TARNModel::TARNModel() : m_impl(std::make_unique<Impl>()) {}

TARNModel::~TARNModel() = default;

std::unique_ptr<TARNModel> TARNModel::fromText(std::string_view text, const std::string& source) {
    auto model = std::make_unique<TARNModel>();
    // Typical models hold an object per few lines; sizing the index up front saves rehashing.
    model->m_impl->nodes.reserve(text.size() / 128);
    Impl::Builder builder(*model->m_impl);
    TARNReader::read(text, source, builder);
    return model;
}

std::unique_ptr<TARNModel> TARNModel::fromFile(const std::string& fileName) {
    auto model = std::make_unique<TARNModel>();
    Impl::Builder builder(*model->m_impl);
    TARNReader::readFile(fileName, builder);
    return model;
}

bool TARNModel::hasObject(const std::string& path) const {
    return m_impl->find(path) != nullptr;
}

std::vector<std::string> TARNModel::getChildObjectNames(const std::string& path,
                                                        const std::string& type) const {
    std::vector<std::string> names;
    if (const Impl::Node* node = m_impl->find(path)) {
        for (const std::string& childPath : node->children) {
            const Impl::Node& child = m_impl->nodes.at(childPath);
            if (child.type == type) names.push_back(child.name);
        }
    }
    return names;
}

std::vector<std::string> TARNModel::getChildObjectPaths(const std::string& path) const {
    const Impl::Node* node = m_impl->find(path);
    return node ? node->children : std::vector<std::string>();
}

bool TARNModel::hasParameter(const std::string& path, const std::string& name) const {
    const Impl::Node* node = m_impl->find(path);
    return node && node->findParam(name);
}

std::vector<std::string> TARNModel::getParameterNames(const std::string& path) const {
    std::vector<std::string> names;
    if (const Impl::Node* node = m_impl->find(path)) {
        names.reserve(node->params.size());
        for (const auto& param : node->params)
            names.push_back(param.first);
    }
    return names;
}

const std::string& TARNModel::getParameterValue(const std::string& path,
                                                const std::string& name) const {
    const Impl::Node* node = m_impl->find(path);
    const std::string* value = node ? node->findParam(name) : nullptr;
    return value ? *value : s_emptyString;
}

void TARNModel::setParameterValue(const std::string& path, const std::string& name,
                                  const std::string& value) {
    Impl::Node* node = m_impl->find(path);
    if (!node) {
        throw PhysicsException("TARNModel::setParameterValue - object " + path + " does not exist");
    }
    node->setParam(name, value);
    bumpRevision();
}

bool TARNModel::removeParameter(const std::string& path, const std::string& name) {
    Impl::Node* node = m_impl->find(path);
    if (!node) return false;
    auto it = std::find_if(node->params.begin(), node->params.end(),
                           [&](const auto& param) { return param.first == name; });
    if (it == node->params.end()) return false;
    node->params.erase(it);
    bumpRevision();
    return true;
}

void TARNModel::addObject(const std::string& path) {
    if (m_impl->find(path)) return;
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
    Impl::Node* parent = m_impl->find(path.substr(0, slash));
    if (!parent) {
        throw PhysicsException("TARNModel::addObject - parent of " + path + " does not exist");
    }
    m_impl->openChild(*parent, path, type, name);
    bumpRevision();
}

bool TARNModel::removeObject(const std::string& path) {
    const std::string& key = rootOrPath(path);
    if (key.empty()) return false;  // the root always exists
    auto it = m_impl->nodes.find(key);
    if (it == m_impl->nodes.end()) return false;

    // Detach from the parent, then erase the subtree without recursion.
    Impl::Node& parent = m_impl->nodes.at(key.substr(0, key.rfind('/')));
    std::erase(parent.children, key);
    std::vector<std::string> pending{key};
    while (!pending.empty()) {
        auto node = m_impl->nodes.extract(pending.back());
        pending.pop_back();
        for (std::string& child : node.mapped().children)
            pending.push_back(std::move(child));
    }
    bumpRevision();
    return true;
}

}  // namespace kel
