#include <kel/physicsutils/CompositeTARNDatastore.h>

#include <unordered_set>

#include <kel/exception/PhysicsException.h>
#include <kel/utilities/StringUtilities.h>

namespace kel {

namespace {

// Appends the items not yet seen, keeping first-appearance order.
void appendUnion(std::vector<std::string>& out, std::unordered_set<std::string>& seen,
                 std::vector<std::string> items) {
    for (std::string& item : items)
        if (seen.insert(item).second) out.push_back(std::move(item));
}

}  // namespace

CompositeTARNDatastore::CompositeTARNDatastore(const TARNDatastore* base, bool ownsBase)
    : m_base(base), m_ownsBase(ownsBase) {
    if (base) m_stores.push_back(base);
}

CompositeTARNDatastore::~CompositeTARNDatastore() {
    if (m_ownsBase) delete m_base;
}

bool CompositeTARNDatastore::compose(const TARNDatastore* other, bool otherWins,
                                     std::vector<std::string>* messages) {
    if (!other) {
        if (messages)
            messages->push_back("CompositeTARNDatastore::compose - a null datastore is refused");
        return false;
    }
    if (otherWins)
        m_stores.insert(m_stores.begin(), other);
    else
        m_stores.push_back(other);
    return true;
}

bool CompositeTARNDatastore::hasObject(const std::string& path) const {
    for (const TARNDatastore* store : m_stores)
        if (store->hasObject(path)) return true;
    return false;
}

bool CompositeTARNDatastore::hasParameter(const std::string& path, const std::string& name) const {
    for (const TARNDatastore* store : m_stores)
        if (store->hasParameter(path, name)) return true;
    return false;
}

std::string CompositeTARNDatastore::getParameterValue(const std::string& path,
                                                      const std::string& name) const {
    for (const TARNDatastore* store : m_stores)
        if (store->hasParameter(path, name)) return store->getParameterValue(path, name);
    return {};
}

std::vector<std::string> CompositeTARNDatastore::getParameterValueAsList(
    const std::string& path, const std::string& name) const {
    for (const TARNDatastore* store : m_stores)
        if (store->hasParameter(path, name))
            return StringUtilities::stringToVector(store->getParameterValue(path, name), ',');
    return {};
}

ParameterMap CompositeTARNDatastore::getParameterMap(const std::string& path) const {
    ParameterMap merged;
    // try_emplace keeps an existing key, so earlier (higher-precedence) stores win. A store
    // that does not hold the object visits nothing, whatever its map would say.
    for (const TARNDatastore* store : m_stores) {
        store->forEachParameter(path, [&](std::string_view key, std::string_view value) {
            merged.try_emplace(std::string(key), value);
        });
    }
    return merged;
}

std::vector<std::string> CompositeTARNDatastore::getChildObjectNamesByType(
    const std::string& path, const std::string& type) const {
    // Mostly one store at most has children of the type: its list is the answer as it is
    // (a store's child names of one type are distinct), and no set of seen names is needed.
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    for (const TARNDatastore* store : m_stores) {
        std::vector<std::string> more = store->getChildObjectNamesByType(path, type);
        if (more.empty()) continue;
        if (names.empty()) {
            names = std::move(more);
            continue;
        }
        if (seen.empty()) seen.insert(names.begin(), names.end());
        appendUnion(names, seen, std::move(more));
    }
    return names;
}

std::vector<std::string> CompositeTARNDatastore::getChildObjectPathsByType(
    const std::string& path, const std::string& type) const {
    const std::vector<std::string> names = getChildObjectNamesByType(path, type);
    std::vector<std::string> paths;
    if (names.empty()) return paths;
    std::string prefix = path == "/" ? std::string() : path;
    prefix += '/';
    prefix += type;
    paths.reserve(names.size());
    for (const std::string& name : names) {
        std::string& child = paths.emplace_back();
        child.reserve(prefix.size() + 1 + name.size());
        child.append(prefix);
        if (!name.empty() && name != type) child.append(1, ':').append(name);
    }
    return paths;
}

std::vector<std::string> CompositeTARNDatastore::getChildObjectPaths(
    const std::string& path) const {
    std::vector<std::string> paths;
    std::unordered_set<std::string> seen;
    for (const TARNDatastore* store : m_stores) {
        try {
            appendUnion(paths, seen, store->getChildObjectPaths(path));
        } catch (const PhysicsException&) {
            // A store that cannot list its children contributes none.
        }
    }
    return paths;
}

SourceLocation CompositeTARNDatastore::objectLocation(const std::string& path) const {
    for (const TARNDatastore* store : m_stores) {
        if (!store->hasObject(path)) continue;
        SourceLocation location = store->objectLocation(path);
        if (!location.empty()) return location;
    }
    return {};
}

SourceLocation CompositeTARNDatastore::parameterLocation(const std::string& path,
                                                         const std::string& name) const {
    // Only the store whose value is in effect can say where it was written.
    for (const TARNDatastore* store : m_stores)
        if (store->hasParameter(path, name)) return store->parameterLocation(path, name);
    return {};
}

}  // namespace kel
