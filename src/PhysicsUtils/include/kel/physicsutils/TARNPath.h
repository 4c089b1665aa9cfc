#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kel {

// A path in a TARN object tree, e.g. "/FLOW:main/DOMAIN:d1/FLUID". Each component is
// "/TYPE:name", or "/TYPE" for an unnamed (singleton) object. Components are counted from
// 0, the first being the top. A type path keeps only the types ("/FLOW/DOMAIN/FLUID").
// The empty path ("" or "/") has no components. Value type.
class TARNPath {
public:
    TARNPath() = default;
    explicit TARNPath(std::string_view path);
    // The parent's path with one more component, as push_back adds it.
    TARNPath(const TARNPath& parent, std::string_view type, std::string_view name);
    // Makes this path what that constructor makes, reusing the storage this path holds (for
    // walks that make a path per object).
    void assignChild(const TARNPath& parent, std::string_view type, std::string_view name);

    std::size_t size() const { return m_components.size(); }
    std::size_t numComponent() const { return m_components.size(); }
    bool empty() const { return m_components.empty(); }

    const std::string& getType(std::size_t i) const { return m_components[i].first; }
    const std::string& getName(std::size_t i) const { return m_components[i].second; }
    // Of the last component; empty strings for the empty path.
    const std::string& getLastType() const;
    const std::string& getLastName() const;

    std::string getFullPath() const;
    std::string getTypePath() const;

    // The path up to and including the deepest component of that type; the empty path
    // when no component has it.
    TARNPath getSubPathByType(std::string_view type) const;

    void push_back(std::string type, std::string name = {});
    void pop_back();

    bool operator==(const TARNPath& other) const = default;

private:
    std::vector<std::pair<std::string, std::string>> m_components;
};

}  // namespace kel
