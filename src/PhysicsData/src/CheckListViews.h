#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <kel/exception/PhysicsException.h>
#include <kel/physicsdata/dependency/CheckedListData.h>
#include <kel/physicsdata/dependency/IndexedCheckListSplitter.h>

#include "ListItems.h"

namespace kel {

// A check list split as IndexedCheckListSplitter splits it (the same items, in the same
// order, and the same exceptions with the same messages), with every name and check handed
// out as a view of the list text instead of a string of its own: two allocations for the
// whole list. The text of `data.listString` must outlive the views.
//
// Immutable after construction; const use from several threads is safe.
class CheckListViews {
public:
    explicit CheckListViews(const CheckedListData& data) {
        // The entries as views; a short list needs no allocation for them.
        constexpr std::size_t kFew = 16;
        std::string_view few[kFew];
        std::vector<std::string_view> many;
        std::size_t count = 0;
        forEachListItem(data.listString, [&](std::string_view entry) {
            if (count < kFew) {
                few[count] = entry;
            } else {
                if (many.empty()) many.assign(few, few + kFew);
                many.push_back(entry);
            }
            ++count;
        });
        const std::span<const std::string_view> entries(count <= kFew ? few : many.data(), count);
        if (entries.size() % 2 != 0) {
            throw PhysicsException("The check list string [" + data.listString +
                                   "] contains an odd number of entries and is therefore "
                                   "invalid.\n" +
                                   IndexedCheckListSplitter::contextBlock(data));
        }
        m_items.reserve(entries.size() / 2);
        // The entries' room holds the checks: a check string gives at least as many
        // entries as it stands for, except a group, whose items are appended.
        m_checks.reserve(entries.size() / 2);
        for (std::size_t i = 0; i < entries.size(); i += 2) {
            const std::uint32_t first = static_cast<std::uint32_t>(m_checks.size());
            addChecks(entries[i + 1], data);
            m_items.push_back(
                {entries[i], first, static_cast<std::uint32_t>(m_checks.size()) - first});
        }
    }

    std::size_t size() const { return m_items.size(); }
    std::string_view name(std::size_t item) const { return m_items[item].name; }
    // The check names of the item, in written order ("()" gives none).
    std::span<const std::string_view> checks(std::size_t item) const {
        const Item& entry = m_items[item];
        return {m_checks.data() + entry.first, entry.count};
    }

private:
    struct Item {
        std::string_view name;
        std::uint32_t first;  // index of the item's first check in m_checks
        std::uint32_t count;
    };

    // The check names a check string stands for: itself, or the names inside a
    // parenthesised group. Throws for bad parentheses.
    void addChecks(std::string_view checkString, const CheckedListData& data) {
        const bool opens = !checkString.empty() && checkString.front() == '(';
        const bool closes = !checkString.empty() && checkString.back() == ')';
        if (!opens && !closes) {
            m_checks.push_back(checkString);
            return;
        }
        if (opens && closes) {
            forEachListItem(checkString.substr(1, checkString.size() - 2),
                            [this](std::string_view check) { m_checks.push_back(check); });
            return;
        }
        std::string message("The check string ");
        message += checkString;
        message += " is invalidly parenthesised.";
        message += IndexedCheckListSplitter::contextBlock(data);
        throw PhysicsException(message);
    }

    std::vector<Item> m_items;
    std::vector<std::string_view> m_checks;  // every item's checks, item after item
};

}  // namespace kel
