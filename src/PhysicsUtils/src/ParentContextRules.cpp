#include <kel/physicsutils/ParentContextRules.h>

#include <algorithm>

namespace kel {

ParentContextRules::~ParentContextRules() = default;

std::uint64_t ParentContextRules::countParentTypePaths(const std::string& name,
                                                       bool isObjectType) const {
    return enumerateParentTypePaths(name, isObjectType).size();
}

bool ParentContextRules::isParentTypePath(const std::string& context, const std::string& name,
                                          bool isObjectType) const {
    const std::vector<std::string> paths = enumerateParentTypePaths(name, isObjectType);
    return std::find(paths.begin(), paths.end(), context) != paths.end();
}

}  // namespace kel
