#include <kel/physicsutils/TARNPath.h>

#include <algorithm>

namespace kel {

namespace {
const std::string kEmpty;
}

TARNPath::TARNPath(std::string_view path) {
    std::size_t pos = 0;
    while (pos < path.size()) {
        std::size_t slash = path.find('/', pos);
        if (slash == std::string_view::npos) slash = path.size();
        std::string_view component = path.substr(pos, slash - pos);
        if (!component.empty()) {
            std::size_t colon = component.find(':');
            if (colon == std::string_view::npos)
                push_back(std::string(component));
            else
                push_back(std::string(component.substr(0, colon)),
                          std::string(component.substr(colon + 1)));
        }
        pos = slash + 1;
    }
}

TARNPath::TARNPath(const TARNPath& parent, std::string_view type, std::string_view name) {
    assignChild(parent, type, name);
}

void TARNPath::assignChild(const TARNPath& parent, std::string_view type, std::string_view name) {
    if (&parent == this) {
        push_back(std::string(type), std::string(name));
        return;
    }
    // Element-wise assignment keeps the strings' buffers.
    const std::size_t depth = parent.m_components.size();
    m_components.resize(depth + 1);
    std::copy(parent.m_components.begin(), parent.m_components.end(), m_components.begin());
    auto& [lastType, lastName] = m_components[depth];
    lastType.assign(type);
    // A name equal to the type marks an unnamed object, as in TARN headers.
    if (name == type)
        lastName.clear();
    else
        lastName.assign(name);
}

const std::string& TARNPath::getLastType() const {
    return m_components.empty() ? kEmpty : m_components.back().first;
}

const std::string& TARNPath::getLastName() const {
    return m_components.empty() ? kEmpty : m_components.back().second;
}

std::string TARNPath::getFullPath() const {
    std::string path;
    for (const auto& [type, name] : m_components) {
        path += '/';
        path += type;
        if (!name.empty()) {
            path += ':';
            path += name;
        }
    }
    return path;
}

std::string TARNPath::getTypePath() const {
    std::string path;
    for (const auto& component : m_components) {
        path += '/';
        path += component.first;
    }
    return path;
}

TARNPath TARNPath::getSubPathByType(std::string_view type) const {
    TARNPath sub;
    for (std::size_t i = m_components.size(); i-- > 0;) {
        if (m_components[i].first == type) {
            sub.m_components.assign(m_components.begin(), m_components.begin() + i + 1);
            break;
        }
    }
    return sub;
}

void TARNPath::push_back(std::string type, std::string name) {
    // A name equal to the type marks an unnamed object, as in TARN headers.
    if (name == type) name.clear();
    m_components.emplace_back(std::move(type), std::move(name));
}

void TARNPath::pop_back() {
    if (!m_components.empty()) m_components.pop_back();
}

}  // namespace kel
