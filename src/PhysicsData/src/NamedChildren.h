#pragma once

#include <string>
#include <string_view>

#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

// Calls visit(path, name) for every child of that type of the object at parent, in
// first-appearance order (name empty for an unnamed child).
template <class Visit>
void forEachNamedChild(const TARNDatastore& data, const std::string& parent,
                       const std::string& type, Visit&& visit) {
    std::string path = parent + "/" + type;
    const std::size_t prefix = path.size();
    std::string name;
    data.forEachChild(parent, [&](std::string_view childType, std::string_view childName) {
        if (childType != type) return;
        path.resize(prefix);
        if (!childName.empty()) path.append(":").append(childName);
        name.assign(childName);
        visit(static_cast<const std::string&>(path), static_cast<const std::string&>(name));
    });
}

}  // namespace kel
