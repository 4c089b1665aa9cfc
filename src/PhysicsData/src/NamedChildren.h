#pragma once

#include <string>
#include <vector>

#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

// Calls visit(path, name) for every child of that type of the object at parent, in
// first-appearance order (name empty for an unnamed child).
template <class Visit>
void forEachNamedChild(const TARNDatastore& data, const std::string& parent,
                       const std::string& type, Visit&& visit) {
    const std::vector<std::string> names = data.getChildObjectNamesByType(parent, type);
    const std::vector<std::string> paths = data.getChildObjectPathsByType(parent, type);
    for (std::size_t i = 0; i < names.size() && i < paths.size(); ++i)
        visit(paths[i], names[i]);
}

}  // namespace kel
