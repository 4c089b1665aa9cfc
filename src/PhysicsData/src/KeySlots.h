#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

// Finds the values of a fixed set of keys in a key/value map in one pass over the map: each
// entry is compared only with the keys of its length (a few at most), so a definition's
// keys cost one short walk instead of a search each. The keys are indexed once, at
// construction; they must outlive the index, be distinct and not empty.
//
// Immutable after construction; find() may be called from several threads at once.
class KeySlots {
public:
    KeySlots(const std::string* const* keys, std::size_t count) : m_keys(keys, keys + count) {
        for (std::size_t slot = 0; slot < count; ++slot) {
            const std::size_t length = keys[slot]->size();
            if (length >= m_byLength.size()) m_byLength.resize(length + 1);
            m_byLength[length].push_back(static_cast<std::uint8_t>(slot));
        }
    }

    // Sets values[slot] to the value of the key of that slot, for every key params holds;
    // leaves the other slots as they are.
    void find(const ParameterMap& params, const std::string** values) const {
        for (const auto& entry : params) {
            const std::string& key = entry.first;
            if (key.size() >= m_byLength.size()) continue;
            for (const std::uint8_t slot : m_byLength[key.size()]) {
                const std::string& name = *m_keys[slot];
                if (name.back() == key.back() &&
                    std::char_traits<char>::compare(name.data(), key.data(), key.size()) == 0) {
                    values[slot] = &entry.second;
                    break;
                }
            }
        }
    }

private:
    std::vector<const std::string*> m_keys;             // by slot
    std::vector<std::vector<std::uint8_t>> m_byLength;  // key length -> slots
};

}  // namespace kel
