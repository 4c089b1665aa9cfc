#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

// Names met in visits of a store, as views: of the store's own text when the store keeps
// it valid, else of copies held here. Cleared and filled again, it reuses its buffers.
//
// Borrows nothing but the store's text (which must outlive it when the store keeps its
// views). Not thread-safe.
class VisitedNames {
public:
    class Iterator {
    public:
        Iterator(const VisitedNames& names, std::size_t index) : m_names(names), m_index(index) {}
        std::string_view operator*() const { return m_names[m_index]; }
        Iterator& operator++() {
            ++m_index;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return m_index != other.m_index; }

    private:
        const VisitedNames& m_names;
        std::size_t m_index;
    };

    explicit VisitedNames(const TARNDatastore& data) : m_copy(!data.keepsVisitedViews()) {}
    void add(std::string_view name) {
        if (m_copy)
            m_copies.emplace_back(name);
        else
            m_views.push_back(name);
    }
    void clear() {
        m_views.clear();
        m_copies.clear();
    }
    std::size_t size() const { return m_copy ? m_copies.size() : m_views.size(); }
    std::string_view operator[](std::size_t i) const { return m_copy ? m_copies[i] : m_views[i]; }
    Iterator begin() const { return Iterator(*this, 0); }
    Iterator end() const { return Iterator(*this, size()); }

private:
    bool m_copy;
    std::vector<std::string_view> m_views;
    std::vector<std::string> m_copies;
};

}  // namespace kel
