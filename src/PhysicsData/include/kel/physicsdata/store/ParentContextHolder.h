#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <kel/exception/PhysicsException.h>
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

    explicit ParentContextHolder(bool isObjectType) : ParCtxtHolderBase(isObjectType) {}
    ~ParentContextHolder() override = default;

    using ParCtxtHolderBase::filterInvalidContexts;
    using ParCtxtHolderBase::insertInvalidContexts;
    using ParCtxtHolderBase::isInvalidContext;
    using ParCtxtHolderBase::isObjectType;

    // Files item under context + "/" + name for every context, in order. A key already
    // filed keeps its old item and makes the result false; the other keys are still filed.
    // An item added with isDefault (and at least one context) joins the default context
    // set; adding the same item there twice throws PhysicsException. An empty context list
    // files nothing and answers true. Throws PhysicsException after rationalise().
    bool addItem(const std::string& name, const std::vector<std::string>& contexts,
                 refcnt_ptr<T> item, bool isDefault) {
        if (m_rationalised) {
            throw PhysicsException(
                "ParentContextHolder::addItem - internal error: called after rationalise()");
        }
        bool allInserted = true;
        for (const std::string& context : contexts) {
            if (!m_contextItems.emplace(context + "/" + name, item).second) allInserted = false;
        }
        if (isDefault && !contexts.empty() && !m_defaultContextSet.insert(item.get()).second) {
            throw PhysicsException("Failed to add item " + name +
                                   " to the default context set in the ParentContextHolder" +
                                   " (does this mean we have two default contexts?)");
        }
        return allInserted;
    }

    // Erases every key that is an invalid context and closes the holder. Idempotent.
    void rationalise() {
        if (m_rationalised) return;
        std::vector<std::string> keys;
        keys.reserve(m_contextItems.size());
        for (const auto& entry : m_contextItems)
            keys.push_back(entry.first);
        for (const std::string& key : filterInvalidContexts(keys))
            m_contextItems.erase(key);
        // Items that lost their last key are gone: forget them in the default set too.
        std::set<const T*> alive;
        for (const auto& entry : m_contextItems)
            alive.insert(entry.second.get());
        for (auto it = m_defaultContextSet.begin(); it != m_defaultContextSet.end();) {
            it = alive.count(*it) ? std::next(it) : m_defaultContextSet.erase(it);
        }
        m_rationalised = true;
    }

    bool isRationalised() const { return m_rationalised; }

    // The item filed under context + "/" + name, or null (also for an invalid key before
    // rationalise).
    const T* find(const std::string& context, const std::string& name) const {
        const std::string key = context + "/" + name;
        if (!m_rationalised && isInvalidContext(key)) return nullptr;
        const auto it = m_contextItems.find(key);
        return it == m_contextItems.end() ? nullptr : it->second.get();
    }

    // Every distinct item, in the order of its first key.
    std::vector<const T*> getDistinctItems() const {
        std::vector<const T*> items;
        std::set<const T*> seen;
        for (const auto& entry : m_contextItems) {
            if (entry.second && seen.insert(entry.second.get()).second) {
                items.push_back(entry.second.get());
            }
        }
        return items;
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
    std::map<std::string, refcnt_ptr<T>> m_contextItems;
    std::set<const T*> m_defaultContextSet;
    bool m_rationalised = false;
};

}  // namespace kel
