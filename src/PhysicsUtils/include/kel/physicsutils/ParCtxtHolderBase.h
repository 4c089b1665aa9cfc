#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace kel {

// Keeps the invalid contexts of a store of definitions filed by parent context: for a
// name (object type or parameter), the contexts in which no definition of it may exist.
// Keys are context + "/" + name. Not thread-safe for writing.
class ParCtxtHolderBase {
public:
    explicit ParCtxtHolderBase(bool isObjectType);
    virtual ~ParCtxtHolderBase();

    bool isObjectType() const { return m_isObjectType; }

    // Records every context as invalid for name; false when one of them was already
    // recorded for that name (all are recorded regardless).
    bool insertInvalidContexts(const std::string& name, const std::vector<std::string>& contexts);

    // key is context + "/" + name.
    bool isInvalidContext(std::string_view key) const;
    // The keys among keys that are invalid, in the given order.
    std::vector<std::string> filterInvalidContexts(const std::vector<std::string>& keys) const;
    // Hashes keys given as any kind of text (looked up without a copy).
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const noexcept {
            return std::hash<std::string_view>{}(key);
        }
    };
    using Keys = std::unordered_set<std::string, KeyHash, std::equal_to<>>;

    // Every key recorded, in no particular order.
    const Keys& invalidKeys() const { return m_invalid; }

private:
    // The text after a key's last '/'.
    static std::string_view lastComponent(std::string_view key);

    bool m_isObjectType;
    Keys m_invalid;
    Keys m_invalidTails;  // lastComponent of every key in m_invalid
};

}  // namespace kel
