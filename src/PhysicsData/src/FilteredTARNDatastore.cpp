#include "FilteredTARNDatastore.h"

#include <algorithm>
#include <utility>

namespace kel {

FilteredTARNDatastore::FilteredTARNDatastore(const TARNDatastore& data,
                                             std::set<std::string> hiddenPaths)
    : m_data(data), m_hidden(std::move(hiddenPaths)) {}

FilteredTARNDatastore::~FilteredTARNDatastore() = default;

bool FilteredTARNDatastore::isHidden(const std::string& path) const {
    // A hidden ancestor sorts at or before path; check every prefix ending at a '/'.
    for (std::size_t end = path.find('/', 1); end != std::string::npos;
         end = path.find('/', end + 1)) {
        if (m_hidden.count(path.substr(0, end))) return true;
    }
    return m_hidden.count(path) != 0;
}

std::vector<std::string> FilteredTARNDatastore::visible(std::vector<std::string> paths) const {
    paths.erase(std::remove_if(paths.begin(), paths.end(),
                               [this](const std::string& p) { return isHidden(p); }),
                paths.end());
    return paths;
}

bool FilteredTARNDatastore::hasObject(const std::string& path) const {
    return !isHidden(path) && m_data.hasObject(path);
}

bool FilteredTARNDatastore::hasParameter(const std::string& path, const std::string& name) const {
    return !isHidden(path) && m_data.hasParameter(path, name);
}

std::string FilteredTARNDatastore::getParameterValue(const std::string& path,
                                                     const std::string& name) const {
    return isHidden(path) ? std::string() : m_data.getParameterValue(path, name);
}

std::vector<std::string> FilteredTARNDatastore::getParameterValueAsList(
    const std::string& path, const std::string& name) const {
    return isHidden(path) ? std::vector<std::string>() : m_data.getParameterValueAsList(path, name);
}

ParameterMap FilteredTARNDatastore::getParameterMap(const std::string& path) const {
    return isHidden(path) ? ParameterMap() : m_data.getParameterMap(path);
}

std::vector<std::string> FilteredTARNDatastore::getChildObjectNamesByType(
    const std::string& path, const std::string& type) const {
    if (isHidden(path)) return {};
    std::vector<std::string> names;
    const std::vector<std::string> names0 = m_data.getChildObjectNamesByType(path, type);
    const std::vector<std::string> paths = m_data.getChildObjectPathsByType(path, type);
    for (std::size_t i = 0; i < names0.size() && i < paths.size(); ++i) {
        if (!isHidden(paths[i])) names.push_back(names0[i]);
    }
    return names;
}

std::vector<std::string> FilteredTARNDatastore::getChildObjectPathsByType(
    const std::string& path, const std::string& type) const {
    return isHidden(path) ? std::vector<std::string>()
                          : visible(m_data.getChildObjectPathsByType(path, type));
}

std::vector<std::string> FilteredTARNDatastore::getChildObjectPaths(const std::string& path) const {
    return isHidden(path) ? std::vector<std::string>() : visible(m_data.getChildObjectPaths(path));
}

SourceLocation FilteredTARNDatastore::objectLocation(const std::string& path) const {
    return isHidden(path) ? SourceLocation() : m_data.objectLocation(path);
}

SourceLocation FilteredTARNDatastore::parameterLocation(const std::string& path,
                                                        const std::string& name) const {
    return isHidden(path) ? SourceLocation() : m_data.parameterLocation(path, name);
}

}  // namespace kel
