#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include <kel/physicsdata/dependency/IndexedCheckListSplitter.h>

namespace kel {

// The items of a split check list grouped by name, as CheckListSplitter groups them: the
// distinct names in order of first appearance, each with the checks of every item that
// names it, in written order, duplicates kept. Built without copying a name or a check
// (the splitter must outlive the groups); a list without items allocates nothing.
//
// Read-only after construction; const use from several threads is safe.
class CheckListGroups {
public:
    explicit CheckListGroups(const IndexedCheckListSplitter& items) {
        const std::size_t n = static_cast<std::size_t>(items.getNumberOfNames());
        if (n == 0) return;
        m_items.reserve(n);
        for (std::size_t i = 0; i < n; ++i)
            m_items.push_back({&items.getName(i), &items.getChecks(i)});
        // Item indices by name, written order within a name: each run is one group.
        m_byName.resize(n);
        for (std::size_t i = 0; i < n; ++i)
            m_byName[i] = i;
        std::stable_sort(m_byName.begin(), m_byName.end(), [this](std::size_t a, std::size_t b) {
            return *m_items[a].name < *m_items[b].name;
        });
        for (std::size_t begin = 0; begin < n;) {
            std::size_t end = begin + 1;
            while (end < n && *m_items[m_byName[end]].name == *m_items[m_byName[begin]].name)
                ++end;
            m_runs.push_back({begin, end});
            begin = end;
        }
        // Groups in order of their first item.
        m_order.resize(m_runs.size());
        for (std::size_t g = 0; g < m_runs.size(); ++g)
            m_order[g] = g;
        std::sort(m_order.begin(), m_order.end(), [this](std::size_t a, std::size_t b) {
            return m_byName[m_runs[a].begin] < m_byName[m_runs[b].begin];
        });
    }

    // Number of distinct names.
    std::size_t size() const { return m_order.size(); }

    // The name of the group at that position (first-appearance order).
    const std::string& name(std::size_t group) const {
        return *m_items[m_byName[m_runs[m_order[group]].begin]].name;
    }

    // Calls f(check) for every check of the group at that position, in written order.
    template <class F>
    void forEachCheck(std::size_t group, F f) const {
        forEachCheckOfRun(m_order[group], f);
    }

    // Calls f(check) for every check written for name, in written order; nothing when the
    // list does not name it.
    template <class F>
    void forEachCheckOf(const std::string& name, F f) const {
        auto found = std::lower_bound(
            m_runs.begin(), m_runs.end(), name,
            [this](const Run& run, const std::string& key) { return runName(run) < key; });
        if (found != m_runs.end() && runName(*found) == name)
            forEachCheckOfRun(static_cast<std::size_t>(found - m_runs.begin()), f);
    }

private:
    struct Item {
        const std::string* name;
        const std::vector<std::string>* checks;
    };
    struct Run {
        std::size_t begin;  // into m_byName
        std::size_t end;
    };

    const std::string& runName(const Run& run) const { return *m_items[m_byName[run.begin]].name; }

    template <class F>
    void forEachCheckOfRun(std::size_t run, F& f) const {
        for (std::size_t i = m_runs[run].begin; i < m_runs[run].end; ++i)
            for (const std::string& check : *m_items[m_byName[i]].checks)
                f(check);
    }

    std::vector<Item> m_items;          // in written order
    std::vector<std::size_t> m_byName;  // item indices, by name, then written order
    std::vector<Run> m_runs;            // one per name, ascending name order
    std::vector<std::size_t> m_order;   // run indices in first-appearance order
};

}  // namespace kel
