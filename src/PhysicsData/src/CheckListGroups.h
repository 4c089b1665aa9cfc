#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "CheckListViews.h"

namespace kel {

// The items of a split check list grouped by name, as CheckListSplitter groups them: the
// distinct names in order of first appearance, each with the checks of every item that
// names it, in written order, duplicates kept. Built without copying a name or a check
// (the split list and its text must outlive the groups); a list without items allocates
// nothing.
//
// Read-only after construction; const use from several threads is safe.
class CheckListGroups {
public:
    explicit CheckListGroups(const CheckListViews& items) {
        const std::size_t n = items.size();
        if (n == 0) return;
        m_items.reserve(n);
        for (std::size_t i = 0; i < n; ++i)
            m_items.push_back({items.name(i), items.checks(i), kEnd});
        if (n <= kFew) {
            // Few items: each is linked to the next item of its name by a scan.
            for (std::size_t i = 0; i < n; ++i) {
                bool first = true;
                for (std::size_t j = 0; j < i && first; ++j)
                    first = m_items[j].name != m_items[i].name;
                if (!first) continue;
                m_heads.push_back(i);
                std::size_t last = i;
                for (std::size_t j = i + 1; j < n; ++j) {
                    if (m_items[j].name == m_items[i].name) {
                        m_items[last].next = j;
                        last = j;
                    }
                }
            }
            return;
        }
        // Many items: sorted by name, then written order, each run is one name.
        m_byName.resize(n);
        for (std::size_t i = 0; i < n; ++i)
            m_byName[i] = i;
        std::sort(m_byName.begin(), m_byName.end(), [this](std::size_t a, std::size_t b) {
            const int order = m_items[a].name.compare(m_items[b].name);
            return order != 0 ? order < 0 : a < b;
        });
        for (std::size_t k = 0; k < n; ++k) {
            const std::size_t i = m_byName[k];
            if (k + 1 < n && m_items[m_byName[k + 1]].name == m_items[i].name) {
                m_items[i].next = m_byName[k + 1];
            }
            if (k == 0 || m_items[m_byName[k - 1]].name != m_items[i].name) m_heads.push_back(i);
        }
        std::sort(m_heads.begin(), m_heads.end());
    }

    // Number of distinct names.
    std::size_t size() const { return m_heads.size(); }

    // The name of the group at that position (first-appearance order).
    std::string_view name(std::size_t group) const { return m_items[m_heads[group]].name; }

    // Calls f(check) for every check of the group at that position, in written order.
    template <class F>
    void forEachCheck(std::size_t group, F f) const {
        forEachCheckFrom(m_heads[group], f);
    }

    // Calls f(check) for every check written for name, in written order; nothing when the
    // list does not name it.
    template <class F>
    void forEachCheckOf(std::string_view name, F f) const {
        if (m_byName.empty()) {
            for (std::size_t head : m_heads) {
                if (m_items[head].name == name) {
                    forEachCheckFrom(head, f);
                    return;
                }
            }
            return;
        }
        // The first of a name's run is the item where its group starts.
        auto found = std::lower_bound(
            m_byName.begin(), m_byName.end(), name,
            [this](std::size_t item, std::string_view key) { return m_items[item].name < key; });
        if (found != m_byName.end() && m_items[*found].name == name) forEachCheckFrom(*found, f);
    }

private:
    static constexpr std::size_t kFew = 8;
    static constexpr std::size_t kEnd = static_cast<std::size_t>(-1);

    struct Item {
        std::string_view name;
        std::span<const std::string_view> checks;
        std::size_t next;  // the next item of the same name, or kEnd
    };

    template <class F>
    void forEachCheckFrom(std::size_t item, F& f) const {
        for (; item != kEnd; item = m_items[item].next)
            for (const std::string_view check : m_items[item].checks)
                f(check);
    }

    std::vector<Item> m_items;          // in written order
    std::vector<std::size_t> m_heads;   // first item of each name, in written order
    std::vector<std::size_t> m_byName;  // item indices by name, then written order (many only)
};

}  // namespace kel
