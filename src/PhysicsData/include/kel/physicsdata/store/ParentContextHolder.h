#pragma once

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include <kel/exception/PhysicsException.h>
#include <kel/physicsdata/store/ContextKeyTable.h>
#include <kel/physicsutils/ParCtxtHolderBase.h>
#include <kel/utilities/NonCopyable.h>
#include <kel/utilities/refcnt_ptr.h>

namespace kel {

// Files definitions (ObjDependDef or ParamValueDef) by parent context: the key of an item
// is context + "/" + name, where name is the object type or parameter name. One item may
// sit under many keys; it is shared through a refcnt_ptr and destroyed with its last key.
// The private base keeps the invalid contexts (keys where no definition may exist).
//
// Life cycle: items are added with addItem until rationalise(), which erases every key
// that is an invalid context; afterwards the holder is read-only and addItem throws.
// Before rationalise a lookup of an invalid key answers null even when an item is filed
// under it.
//
// Besides keys, an item may be filed by pattern (addPattern): under every context a matcher
// accepts, except the listed ones. Patterns stand for more contexts than can be listed
// (the RULES may allow exponentially many); a key filed for the same name wins over a
// pattern only where the pattern excludes it, else adding either reports a clash.
//
// Ownership: the holder owns its items (shared among their keys). Pointers handed out are
// valid while the holder lives (before rationalise, until the item's keys are erased).
// Not thread-safe for writing; const lookups may run concurrently.
template <class T>
class ParentContextHolder : private ParCtxtHolderBase, private NonCopyable {
public:
    // What findEquivContexts answers when no other context has a different definition,
    // and when the definition is the one serving a "Default" context list.
    static constexpr const char* s_allValidContexts = "All Valid Contexts";
    static constexpr const char* s_default = "Default";

    // A set of contexts too large to list: those `covers` accepts, less `excluded`
    // (sorted). onlyType / notTypes describe the type at the end of the covered contexts
    // (parameter contexts end with their owner type): onlyType empty means any type but
    // those in notTypes. Two patterns of one name that may cover the same type clash.
    struct Pattern {
        std::function<bool(std::string_view context)> covers;
        std::vector<std::string> excluded;
        std::string onlyType;
        std::set<std::string> notTypes;
    };

    explicit ParentContextHolder(bool isObjectType) : ParCtxtHolderBase(isObjectType) {}
    ~ParentContextHolder() override = default;

    using ParCtxtHolderBase::filterInvalidContexts;
    using ParCtxtHolderBase::insertInvalidContexts;
    using ParCtxtHolderBase::isObjectType;

    // Files item under context + "/" + name for every context, in order. A key already
    // filed (or covered by a pattern of name) keeps its old item and makes the result
    // false; the other keys are still filed. An item added with isDefault (and at least
    // one context) joins the default context set; adding the same item there twice throws
    // PhysicsException. An empty context list files nothing and answers true. Throws
    // PhysicsException after rationalise(). Contexts are strings or views of strings.
    template <class Context = std::string>
    bool addItem(const std::string& name, const std::vector<Context>& contexts, refcnt_ptr<T> item,
                 bool isDefault) {
        checkOpen();
        bool allInserted = true;
        for (const std::string_view context : contexts) {
            if (findByPattern(context, name) || !m_contextItems.insert(context, name, item))
                allInserted = false;
        }
        if (isDefault && !contexts.empty()) addDefault(name, item.get());
        return allInserted;
    }

    // Files item under every context of pattern (see Pattern); an item is filed by one
    // pattern at most. False, filing nothing, when
    // a key of name lies in it or another pattern of name may cover the same contexts.
    // isDefault as for addItem. Throws PhysicsException after rationalise().
    bool addPattern(const std::string& name, Pattern pattern, refcnt_ptr<T> item, bool isDefault) {
        checkOpen();
        std::vector<Filed>& filed = m_patterns[name];
        for (const Filed& other : filed)
            if (mayOverlap(other.pattern, pattern)) return false;
        const std::string suffix = "/" + name;
        bool clash = false;
        m_contextItems.forEach([&](std::string_view key, const T*) {
            if (!clash && key.size() >= suffix.size() &&
                key.substr(key.size() - suffix.size()) == suffix)
                clash = inPattern(pattern, key.substr(0, key.size() - suffix.size()));
        });
        if (clash) return false;
        m_patternedItems.push_back(item.get());
        if (isDefault) addDefault(name, item.get());
        filed.push_back({std::move(pattern), std::move(item)});
        return true;
    }

    // Records child as invalid under every object path context + "/" + type where a
    // pattern of type files item: the patterned counterpart of insertInvalidContexts.
    void insertInvalidWherePatterned(const std::string& child, const std::string& type,
                                     const T* item) {
        m_patternedInvalid[child].push_back({type, item});
    }

    bool isInvalidContext(std::string_view key) const {
        if (ParCtxtHolderBase::isInvalidContext(key)) return true;
        if (m_patternedInvalid.empty()) return false;
        const std::size_t slash = key.rfind('/');
        if (slash == std::string_view::npos) return false;
        return isPatternedInvalid(key.substr(0, slash), std::string(key.substr(slash + 1)));
    }

    // Erases every key that is an invalid context and closes the holder. Idempotent.
    void rationalise() {
        if (m_rationalised) return;
        m_contextItems.eraseIf([&](std::string_view key) { return isInvalidContext(key); });
        // Items that lost their last key are gone: forget them in the default set too. The
        // holder is read-only from here, so the items alive are known for good.
        m_alive = aliveItems();
        for (auto it = m_defaultContextSet.begin(); it != m_defaultContextSet.end();)
            it = std::binary_search(m_alive.begin(), m_alive.end(), *it)
                     ? std::next(it)
                     : m_defaultContextSet.erase(it);
        m_rationalised = true;
    }

    bool isRationalised() const { return m_rationalised; }

    // The item filed under context + "/" + name, or by a pattern of name covering context;
    // null when there is none or the key is an invalid context.
    const T* find(const std::string& context, const std::string& name) const {
        // Once rationalised no filed key is invalid: the key need not be spelt out unless a
        // pattern answers.
        if (m_rationalised) {
            if (const T* item = m_contextItems.find(context, name)) return item;
            if (m_patterns.empty()) return nullptr;
        }
        if (isInvalidContext(context + "/" + name)) return nullptr;
        if (const T* item = m_contextItems.find(context, name)) return item;
        return findByPattern(context, name);
    }

    // Every distinct item still filed somewhere: in the order of its first key, then those
    // filed by pattern alone in the order filed.
    std::vector<const T*> getDistinctItems() const {
        std::unordered_map<const T*, std::string_view> firstKey;
        m_contextItems.forEach([&](std::string_view key, const T* item) {
            if (isInvalidContext(key)) return;
            const auto [it, fresh] = firstKey.try_emplace(item, key);
            if (!fresh && key < it->second) it->second = key;
        });
        std::vector<std::pair<std::string_view, const T*>> keyed;
        keyed.reserve(firstKey.size());
        for (const auto& [item, key] : firstKey)
            keyed.emplace_back(key, item);
        std::sort(keyed.begin(), keyed.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<const T*> items;
        items.reserve(keyed.size());
        for (const auto& entry : keyed)
            items.push_back(entry.second);
        for (const T* item : m_patternedItems)
            if (!firstKey.count(item)) items.push_back(item);
        return items;
    }

    // Calls visit(item) once for every distinct item getDistinctItems answers, in no
    // particular order (for callers that only count or collect: no sorting of keys).
    template <class Visit>
    void forEachDistinctItem(Visit visit) const {
        if (m_rationalised) {
            for (const T* item : m_alive)
                visit(item);
            return;
        }
        for (const T* item : aliveItems())
            visit(item);
    }

    // The item a pattern of name files under context (invalid contexts not considered).
    const T* findByPattern(std::string_view context, const std::string& name) const {
        if (m_patterns.empty()) return nullptr;
        const auto it = m_patterns.find(name);
        if (it == m_patterns.end()) return nullptr;
        for (const Filed& filed : it->second)
            if (inPattern(filed.pattern, context)) return filed.item.get();
        return nullptr;
    }

    // Whether some item of name is filed by pattern.
    bool hasPatterns(const std::string& name) const {
        const auto it = m_patterns.find(name);
        return it != m_patterns.end() && !it->second.empty();
    }

    // Calls visit(context, name) for every key filed and every key recorded as invalid.
    void forEachKnownKey(
        const std::function<void(std::string_view context, std::string_view name)>& visit) const {
        const auto split = [&](std::string_view key) {
            const std::size_t slash = key.rfind('/');
            if (slash != std::string_view::npos) visit(key.substr(0, slash), key.substr(slash + 1));
        };
        m_contextItems.forEach([&](std::string_view key, const T*) { split(key); });
        for (const std::string& key : invalidKeys())
            split(key);
    }

    // The contexts among candidates that share the definition of (context, name): empty
    // when (context, name) has none; ["All Valid Contexts"] when no candidate has another
    // definition; ["Default"] when it differs somewhere and the definition was added as
    // default; else the candidates holding the same definition, in the given order.
    std::vector<std::string> findEquivContexts(const std::string& context, const std::string& name,
                                               const std::vector<std::string>& candidates) const {
        const T* item = find(context, name);
        if (!item) return {};
        std::vector<std::string> equivalent;
        bool differs = false;
        for (const std::string& candidate : candidates) {
            const T* other = find(candidate, name);
            if (other == item) {
                equivalent.push_back(candidate);
            } else if (other) {
                differs = true;
            }
        }
        if (!differs) return {s_allValidContexts};
        if (m_defaultContextSet.count(item)) return {s_default};
        return equivalent;
    }

private:
    struct Filed {
        Pattern pattern;
        refcnt_ptr<T> item;
    };
    struct PatternedInvalid {
        std::string type;
        const T* item;
    };

    void checkOpen() const {
        if (m_rationalised) {
            throw PhysicsException(
                "ParentContextHolder::addItem - internal error: called after rationalise()");
        }
    }

    void addDefault(const std::string& name, const T* item) {
        if (!m_defaultContextSet.insert(item).second) {
            throw PhysicsException("Failed to add item " + name +
                                   " to the default context set in the ParentContextHolder" +
                                   " (does this mean we have two default contexts?)");
        }
    }

    static bool inPattern(const Pattern& pattern, std::string_view context) {
        return pattern.covers(context) &&
               !std::binary_search(pattern.excluded.begin(), pattern.excluded.end(), context);
    }

    static bool mayOverlap(const Pattern& a, const Pattern& b) {
        if (!a.onlyType.empty() && !b.onlyType.empty()) return a.onlyType == b.onlyType;
        if (!a.onlyType.empty()) return !b.notTypes.count(a.onlyType);
        if (!b.onlyType.empty()) return !a.notTypes.count(b.onlyType);
        return true;
    }

    // Whether child is invalid under the object path context (= X + "/" + type) because a
    // pattern of type files there an item that leaves child unused.
    bool isPatternedInvalid(std::string_view context, const std::string& child) const {
        const auto it = m_patternedInvalid.find(child);
        if (it == m_patternedInvalid.end()) return false;
        const std::size_t slash = context.rfind('/');
        if (slash == std::string_view::npos) return false;
        const std::string type(context.substr(slash + 1));
        for (const PatternedInvalid& rule : it->second)
            if (rule.type == type && findByPattern(context.substr(0, slash), type) == rule.item)
                return true;
        return false;
    }

    // Items with a key that is not invalid, and every item filed by pattern: each once,
    // ordered by address (collected in one vector; no node per item).
    std::vector<const T*> aliveItems() const {
        std::vector<const T*> alive;
        const T* last = nullptr;  // consecutive keys mostly file one item
        m_contextItems.forEach([&](std::string_view key, const T* item) {
            if (item != last && !isInvalidContext(key)) alive.push_back(last = item);
        });
        alive.insert(alive.end(), m_patternedItems.begin(), m_patternedItems.end());
        std::sort(alive.begin(), alive.end(), std::less<const T*>());
        alive.erase(std::unique(alive.begin(), alive.end()), alive.end());
        return alive;
    }

    ContextKeyTable<T> m_contextItems;
    std::unordered_map<std::string, std::vector<Filed>> m_patterns;
    std::unordered_map<std::string, std::vector<PatternedInvalid>> m_patternedInvalid;
    std::vector<const T*> m_patternedItems;  // distinct, in the order filed
    std::set<const T*> m_defaultContextSet;
    std::vector<const T*> m_alive;  // aliveItems(), once rationalised
    bool m_rationalised = false;
};

}  // namespace kel
