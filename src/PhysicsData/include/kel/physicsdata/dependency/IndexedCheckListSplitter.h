#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <kel/physicsdata/dependency/CheckedListData.h>

namespace kel {

// Splits a check list (see CheckedListData) into its (name, check names) pairs in the
// order written; a name written twice gives two items. "()" gives an item with no checks.
//
// Construction throws PhysicsException for an odd number of entries or a check string
// that opens without closing a parenthesis (or the reverse); the message names the list
// and ends with the context block built from the CheckedListData. Value type, immutable
// after construction; const use from several threads is safe.
class IndexedCheckListSplitter {
public:
    using Item = std::pair<std::string, std::vector<std::string>>;

    explicit IndexedCheckListSplitter(const CheckedListData& data);

    std::uint64_t getNumberOfNames() const { return m_items.size(); }

    // Both throw PhysicsException("Index out of range.") for index >= getNumberOfNames().
    const std::string& getName(std::size_t index) const;
    const std::vector<std::string>& getChecks(std::size_t index) const;

    // The lines naming heading, data key, model object and model parameter, each present
    // only where its string is not empty; the tail of every check-list error message.
    static std::string contextBlock(const CheckedListData& data);

private:
    const Item& getItem(std::size_t index) const;

    std::vector<Item> m_items;
};

}  // namespace kel
