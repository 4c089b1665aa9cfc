#include <kel/physicsutils/InternalTARNDatastore.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <ostream>
#include <unordered_map>
#include <utility>

#include <kel/exception/PhysicsException.h>
#include <kel/physicsutils/TARNReader.h>
#include <kel/utilities/StringUtilities.h>

namespace kel {

namespace {

// Holds the text of keys, values, types and names for the life of a store, so that
// reading allocates per block rather than per string. Views it hands out never move.
class TextArena {
public:
    std::string_view store(std::string_view text) {
        if (text.empty()) return {};
        if (text.size() > m_left) {
            std::size_t size = std::max(kBlockSize, text.size());
            m_blocks.push_back(std::make_unique_for_overwrite<char[]>(size));
            m_next = m_blocks.back().get();
            m_left = size;
        }
        char* out = m_next;
        std::memcpy(out, text.data(), text.size());
        m_next += text.size();
        m_left -= text.size();
        return {out, text.size()};
    }

private:
    static constexpr std::size_t kBlockSize = 64 * 1024;
    std::vector<std::unique_ptr<char[]>> m_blocks;
    char* m_next = nullptr;
    std::size_t m_left = 0;
};

struct ViewHash {
    std::size_t operator()(std::string_view s) const noexcept {
        return std::hash<std::string_view>{}(s);
    }
};

// One object. Parameters are kept in first-appearance order; most objects have a few, which
// a linear search finds fastest, so a hash index is only built once an object grows large.
struct Object {
    static constexpr std::size_t kIndexThreshold = 16;
    using Index = std::unordered_map<std::string_view, std::uint32_t, ViewHash>;

    const Object* parent = nullptr;  // null for the root
    std::string_view type;
    std::string_view name;
    std::vector<std::pair<std::string_view, std::string_view>> params;
    std::unique_ptr<Index> paramIndex;
    std::vector<const Object*> children;

    // Index of the parameter, or params.size() when absent.
    std::size_t findParam(std::string_view key) const {
        if (paramIndex) {
            auto it = paramIndex->find(key);
            return it == paramIndex->end() ? params.size() : it->second;
        }
        std::size_t i = 0;
        while (i < params.size() && params[i].first != key)
            ++i;
        return i;
    }

    const std::string_view* findValue(std::string_view key) const {
        std::size_t i = findParam(key);
        return i == params.size() ? nullptr : &params[i].second;
    }

    void setValue(std::string_view key, std::string_view value, TextArena& arena) {
        std::size_t i = findParam(key);
        if (i < params.size()) {
            if (params[i].second != value) params[i].second = arena.store(value);
            return;
        }
        if (params.empty()) params.reserve(4);
        params.emplace_back(arena.store(key), arena.store(value));
        if (paramIndex) {
            paramIndex->emplace(params.back().first, static_cast<std::uint32_t>(i));
        } else if (params.size() > kIndexThreshold) {
            paramIndex = std::make_unique<Index>();
            paramIndex->reserve(params.size() * 2);
            for (std::size_t j = 0; j < params.size(); ++j)
                paramIndex->emplace(params[j].first, static_cast<std::uint32_t>(j));
        }
    }
};

// Objects by their place in the tree: the key of an object is its parent and its own
// component (type and name), so a full path is found with one probe per component and the
// memory used does not grow with nesting depth. Open addressing over (hash, object) slots;
// probes compare the cached hash before touching an object.
class ObjectIndex {
public:
    static std::size_t hash(const Object* parent, std::string_view type, std::string_view name) {
        std::size_t h = ViewHash{}(type);
        h ^= ViewHash{}(name) + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
        h ^= std::hash<const void*>{}(parent) + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
        return h;
    }

    Object* find(const Object* parent, std::string_view type, std::string_view name,
                 std::size_t h) const {
        if (m_slots.empty()) return nullptr;
        for (std::size_t i = h & m_mask;; i = (i + 1) & m_mask) {
            const Slot& slot = m_slots[i];
            if (!slot.object) return nullptr;
            if (slot.hash == h && slot.object->parent == parent && slot.object->type == type &&
                slot.object->name == name)
                return slot.object;
        }
    }

    // The object's key must not be present yet.
    void insert(Object* object, std::size_t h) {
        if (2 * (m_count + 1) > m_slots.size()) grow();
        place({h, object});
        ++m_count;
    }

private:
    struct Slot {
        std::size_t hash = 0;
        Object* object = nullptr;
    };

    void place(Slot slot) {
        std::size_t i = slot.hash & m_mask;
        while (m_slots[i].object)
            i = (i + 1) & m_mask;
        m_slots[i] = slot;
    }

    void grow() {
        std::vector<Slot> old(std::max<std::size_t>(64, 2 * m_slots.size()));
        old.swap(m_slots);
        m_mask = m_slots.size() - 1;
        for (const Slot& slot : old)
            if (slot.object) place(slot);
    }

    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
    std::size_t m_count = 0;
};

}  // namespace

struct InternalTARNDatastore::Impl : public TARNReader::Sink {
    TextArena arena;
    Object root;
    std::deque<Object> storage;  // every object but the root; addresses are stable
    ObjectIndex objects;
    std::vector<Object*> openStack;  // used while reading

    // The object at path, or null. Accepts the forms TARNPath does: "" or "/" for the root,
    // "/A:A" or "/A:" for "/A", a missing leading or a trailing '/'.
    const Object* find(std::string_view path) const {
        const Object* object = &root;
        std::size_t pos = 0;
        while (object && pos < path.size()) {
            std::size_t slash = path.find('/', pos);
            if (slash == std::string_view::npos) slash = path.size();
            std::string_view component = path.substr(pos, slash - pos);
            pos = slash + 1;
            if (component.empty()) continue;
            std::size_t colon = component.find(':');
            std::string_view type = component.substr(0, colon);
            std::string_view name;
            if (colon != std::string_view::npos) name = component.substr(colon + 1);
            if (name == type) name = {};
            object = objects.find(object, type, name, ObjectIndex::hash(object, type, name));
        }
        return object;
    }

    // The canonical full path of an object.
    static std::string pathOf(const Object* object) {
        std::vector<const Object*> chain;
        for (; object && object->parent; object = object->parent)
            chain.push_back(object);
        std::string path;
        for (auto it = chain.rbegin(); it != chain.rend(); ++it)
            appendComponent(path, **it);
        return path;
    }

    static void appendComponent(std::string& path, const Object& object) {
        path += '/';
        path += object.type;
        if (!object.name.empty()) {
            path += ':';
            path += object.name;
        }
    }

    void read(const std::string& source, InputMode mode) {
        openStack.assign(1, &root);
        if (mode == TEXT)
            TARNReader::read(source, "<text>", *this);
        else if (mode == FILE)
            TARNReader::readFile(source, *this);
        else
            throw PhysicsException("InternalTARNDatastore - unsupported input mode " +
                                   std::to_string(static_cast<int>(mode)));
        openStack.clear();
    }

    void beginObject(const std::string&, std::string_view type, std::string_view name,
                     int) override {
        Object* parent = openStack.back();
        const std::size_t h = ObjectIndex::hash(parent, type, name);
        Object* object = objects.find(parent, type, name, h);
        if (!object) {
            object = &storage.emplace_back();
            object->parent = parent;
            object->type = arena.store(type);
            object->name = arena.store(name);
            objects.insert(object, h);
            parent->children.push_back(object);
        }
        openStack.push_back(object);
    }

    void parameter(const std::string&, std::string_view key, std::string_view value, int) override {
        openStack.back()->setValue(key, value, arena);
    }

    void endObject(const std::string&) override { openStack.pop_back(); }
};

InternalTARNDatastore::InternalTARNDatastore(const std::string& source, InputMode mode,
                                             const std::vector<std::string>& arguments)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->read(source, mode);
    for (const std::string& file : arguments)
        m_impl->read(file, FILE);
}

InternalTARNDatastore::~InternalTARNDatastore() = default;

void InternalTARNDatastore::merge(const std::string& source, InputMode mode) {
    m_impl->read(source, mode);
}

bool InternalTARNDatastore::hasObject(const std::string& path) const {
    return m_impl->find(path) != nullptr;
}

bool InternalTARNDatastore::hasParameter(const std::string& path, const std::string& name) const {
    const Object* object = m_impl->find(path);
    return object && object->findValue(name);
}

std::string InternalTARNDatastore::getParameterValue(const std::string& path,
                                                     const std::string& name) const {
    const Object* object = m_impl->find(path);
    const std::string_view* value = object ? object->findValue(name) : nullptr;
    return value ? std::string(*value) : std::string();
}

std::vector<std::string> InternalTARNDatastore::getParameterValueAsList(
    const std::string& path, const std::string& name) const {
    const Object* object = m_impl->find(path);
    const std::string_view* value = object ? object->findValue(name) : nullptr;
    if (!value) return {};
    return StringUtilities::stringToVector(*value, ',');
}

ParameterMap InternalTARNDatastore::getParameterMap(const std::string& path) const {
    ParameterMap map;
    if (const Object* object = m_impl->find(path))
        for (const auto& [key, value] : object->params)
            map.emplace(key, value);
    return map;
}

std::vector<std::string> InternalTARNDatastore::getParameterNames(const std::string& path) const {
    std::vector<std::string> names;
    if (const Object* object = m_impl->find(path)) {
        names.reserve(object->params.size());
        for (const auto& param : object->params)
            names.emplace_back(param.first);
    }
    return names;
}

std::vector<std::string> InternalTARNDatastore::getChildObjectNamesByType(
    const std::string& path, const std::string& type) const {
    std::vector<std::string> names;
    if (const Object* object = m_impl->find(path))
        for (const Object* child : object->children)
            if (child->type == type) names.emplace_back(child->name);
    return names;
}

std::vector<std::string> InternalTARNDatastore::getChildObjectPathsByType(
    const std::string& path, const std::string& type) const {
    std::vector<std::string> paths;
    if (const Object* object = m_impl->find(path)) {
        const std::string prefix = Impl::pathOf(object);
        for (const Object* child : object->children) {
            if (child->type != type) continue;
            paths.push_back(prefix);
            Impl::appendComponent(paths.back(), *child);
        }
    }
    return paths;
}

std::vector<std::string> InternalTARNDatastore::getChildObjectPaths(const std::string& path) const {
    std::vector<std::string> paths;
    if (const Object* object = m_impl->find(path)) {
        const std::string prefix = Impl::pathOf(object);
        paths.reserve(object->children.size());
        for (const Object* child : object->children) {
            paths.push_back(prefix);
            Impl::appendComponent(paths.back(), *child);
        }
    }
    return paths;
}

namespace {

// Ends a written line. A line ending in a backslash would continue on the next one, so it
// gets a second backslash and continues onto an empty line, which reads back as written.
void endLine(std::string& text) {
    if (text.back() == '\\') text += "\\\n";
    text += '\n';
}

}  // namespace

void InternalTARNDatastore::write(std::ostream& out) const {
    // Depth-first without recursion, so arbitrarily deep stores are written too. The text is
    // gathered in memory and written once.
    std::string text;
    struct Frame {
        const Object* object;
        std::size_t next;  // index of the next child to visit
    };
    std::vector<Frame> stack{{&m_impl->root, 0}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const std::size_t depth = stack.size() - 1;  // the root's children have depth 1
        if (frame.next == frame.object->children.size()) {
            if (depth > 0) {
                text.append(2 * (depth - 1), ' ');
                text += "END\n";
            }
            stack.pop_back();
            continue;
        }
        const Object* child = frame.object->children[frame.next++];
        text.append(2 * depth, ' ');
        text += child->type;
        text += ':';
        if (!child->name.empty()) {
            text += ' ';
            text += child->name;
        }
        endLine(text);
        for (const auto& [key, value] : child->params) {
            text.append(2 * depth + 2, ' ');
            text += key;
            text += value.empty() ? " =" : " = ";
            text += value;
            endLine(text);
        }
        stack.push_back({child, 0});
    }
    // A leading byte-order mark is dropped when read, so one that belongs to the first
    // type is protected by another.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.insert(0, "\xEF\xBB\xBF");
    out << text;
}

}  // namespace kel
