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

bool TARNDatastore::visitObjects(std::string_view path, ObjectVisitor visitor, void* visit) const {
    const std::string key(path);
    if (!key.empty() && !hasObject(key)) return false;
    for (const auto& child : getChildObjectPaths(key)) {
        const TARNPath childPath(child);
        visitor(visit, makeHandle(childPath.getLastType(), childPath.getLastName(), child, 0));
    }
    return true;
}

void TARNDatastore::visitObjectsOf(const ObjectHandle& object, ObjectVisitor visitor,
                                   void* visit) const {
    visitObjects(pathOf(object), visitor, visit);
}

void TARNDatastore::visitParametersOf(const ObjectHandle& object, Visitor visitor,
                                      void* visit) const {
    visitParameters(pathOf(object), visitor, visit);
}

void TARNDatastore::visitChildrenOf(const ObjectHandle& object, Visitor visitor,
                                    void* visit) const {
    visitChildren(pathOf(object), visitor, visit);
}

SourceLocation TARNDatastore::locationOf(const ObjectHandle& object) const {
    return objectLocation(std::string(pathOf(object)));
}

SourceLocation TARNDatastore::parameterLocationOf(const ObjectHandle& object,
                                                  const std::string& name) const {
    return parameterLocation(std::string(pathOf(object)), name);
}

}  // namespace kel
