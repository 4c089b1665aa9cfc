#include <kel/physicsutils/ModelTARN.h>

#include <utility>

namespace kel {

ModelTARN::~ModelTARN() = default;

SourceLocation ModelTARN::objectLocation(const std::string&) const {
    return {};
}

SourceLocation ModelTARN::parameterLocation(const std::string&, const std::string&) const {
    return {};
}

void ModelTARN::forEachObjectPath(const std::function<bool(const std::string&)>& visit) const {
    // A stack of child lists still to visit, each with its next position.
    std::vector<std::pair<std::vector<std::string>, std::size_t>> stack;
    stack.emplace_back(getChildObjectPaths(""), 0);
    while (!stack.empty()) {
        auto& [paths, pos] = stack.back();
        if (pos == paths.size()) {
            stack.pop_back();
            continue;
        }
        std::string path = std::move(paths[pos++]);
        if (visit(path)) return;
        std::vector<std::string> children = getChildObjectPaths(path);
        if (!children.empty()) stack.emplace_back(std::move(children), 0);
    }
}

void ModelTARN::forEachParameter(
    const std::string& path,
    const std::function<void(const std::string&, const std::string&)>& visit) const {
    for (const std::string& name : getParameterNames(path))
        visit(name, getParameterValue(path, name));
}

void ModelTARN::forEachChild(
    const std::string& path,
    const std::function<void(std::string_view, std::string_view)>& visit) const {
    for (const std::string& childPath : getChildObjectPaths(path)) {
        std::string_view component(childPath);
        component.remove_prefix(component.rfind('/') + 1);
        const std::size_t colon = component.find(':');
        if (colon == std::string_view::npos)
            visit(component, {});
        else
            visit(component.substr(0, colon), component.substr(colon + 1));
    }
}

}  // namespace kel
