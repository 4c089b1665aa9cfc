#include <kel/physicsutils/TARNDatastore.h>

#include <kel/physicsutils/TARNPath.h>

namespace kel {

TARNDatastore::~TARNDatastore() = default;

SourceLocation TARNDatastore::objectLocation(const std::string&) const {
    return {};
}

SourceLocation TARNDatastore::parameterLocation(const std::string&, const std::string&) const {
    return {};
}

bool TARNDatastore::visitParameters(std::string_view path, Visitor visitor, void* visit) const {
    const std::string key(path);
    if (!hasObject(key)) return false;
    for (const auto& [name, value] : getParameterMap(key))
        visitor(visit, name, value);
    return true;
}

bool TARNDatastore::visitChildren(std::string_view path, Visitor visitor, void* visit) const {
    const std::string key(path);
    if (!key.empty() && !hasObject(key)) return false;
    for (const auto& child : getChildObjectPaths(key)) {
        const TARNPath childPath(child);
        visitor(visit, childPath.getLastType(), childPath.getLastName());
    }
    return true;
}

}  // namespace kel
