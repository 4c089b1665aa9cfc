#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include <kel/exception/SourceLocation.h>

namespace kel {

// Parameters of one object: name to raw value text, ordered by name.
using ParameterMap = std::map<std::string, std::string>;

// The value of key in params, or "" when the key is absent (so absent and empty read alike).
inline const std::string& parameterValue(const ParameterMap& params, const std::string& key) {
    static const std::string absent;
    const auto it = params.find(key);
    return it == params.end() ? absent : it->second;
}

// Read-only hierarchical store of TARN objects and their parameters, addressed by full
// TARN paths (see TARNPath). Asking about an absent object or parameter is not an error:
// hasObject/hasParameter answer false, getParameterValue "", lists and maps are empty.
// The empty path ("") is the root that holds the top-level objects.
// Implementations are safe for concurrent const use unless they say otherwise.
class TARNDatastore {
public:
    virtual ~TARNDatastore();

    virtual bool hasObject(const std::string& path) const = 0;
    virtual bool hasParameter(const std::string& path, const std::string& name) const = 0;
    virtual std::string getParameterValue(const std::string& path,
                                          const std::string& name) const = 0;
    // The value split at ',' with items trimmed and empty items dropped.
    virtual std::vector<std::string> getParameterValueAsList(const std::string& path,
                                                             const std::string& name) const = 0;
    virtual ParameterMap getParameterMap(const std::string& path) const = 0;
    // Names of the direct children of that type, in first-appearance order.
    virtual std::vector<std::string> getChildObjectNamesByType(const std::string& path,
                                                               const std::string& type) const = 0;
    // Full paths of those children.
    virtual std::vector<std::string> getChildObjectPathsByType(const std::string& path,
                                                               const std::string& type) const = 0;
    // Full paths of all direct children, in first-appearance order.
    virtual std::vector<std::string> getChildObjectPaths(const std::string& path) const = 0;

    // Where the object, or the parameter, was written; empty when the store does not know
    // (the default) or holds no such item. Stores read from text say file, line and column.
    virtual SourceLocation objectLocation(const std::string& path) const;
    virtual SourceLocation parameterLocation(const std::string& path,
                                             const std::string& name) const;

    // Reading for loaders without building maps and lists: calls visit(key, value) for every
    // parameter, or visit(type, name) for every direct child (name empty when unnamed), of
    // the object at path. False (and no call) when there is no such object. The views are
    // valid during the call; stores that keep their text (InternalTARNDatastore) keep them
    // valid for the store's life and visit in first-appearance order without allocating.
    template <class Visit>
    bool forEachParameter(std::string_view path, Visit&& visit) const {
        return visitParameters(path, &call<Visit>, address(visit));
    }
    template <class Visit>
    bool forEachChild(std::string_view path, Visit&& visit) const {
        return visitChildren(path, &call<Visit>, address(visit));
    }
    // Whether the views those calls pass stay valid for the life of the store.
    virtual bool keepsVisitedViews() const { return false; }

    class ObjectHandle;
    // Walking without a look-up per object: calls visit(const ObjectHandle&) for every direct
    // child of the object at path (the root for ""), in forEachChild's order. Through the
    // handle the child's parameters, children and locations are read where the store keeps
    // them rather than found again by path, so a walk over a tree costs one look-up.
    // False (and no call) when there is no such object.
    template <class Visit>
    bool forEachObject(std::string_view path, Visit&& visit) const {
        return visitObjects(path, &callObject<Visit>, address(visit));
    }

    // A visited object: its type and name (empty when unnamed) and what reads it. Valid only
    // during the visit call that receives it, so it cannot be copied; its views live as
    // those of forEachParameter do. Safe to use as the store's const reads are.
    class ObjectHandle {
    public:
        ObjectHandle(const ObjectHandle&) = delete;
        ObjectHandle& operator=(const ObjectHandle&) = delete;

        std::string_view type() const { return m_type; }
        std::string_view name() const { return m_name; }
        // As the store's forEachParameter, forEachChild and forEachObject for this object.
        template <class Visit>
        void forEachParameter(Visit&& visit) const {
            m_store->visitParametersOf(*this, &call<Visit>, address(visit));
        }
        template <class Visit>
        void forEachChild(Visit&& visit) const {
            m_store->visitChildrenOf(*this, &call<Visit>, address(visit));
        }
        template <class Visit>
        void forEachObject(Visit&& visit) const {
            m_store->visitObjectsOf(*this, &callObject<Visit>, address(visit));
        }
        // As objectLocation and parameterLocation.
        SourceLocation location() const { return m_store->locationOf(*this); }
        SourceLocation parameterLocation(const std::string& name) const {
            return m_store->parameterLocationOf(*this, name);
        }

    private:
        friend class TARNDatastore;
        ObjectHandle(const TARNDatastore& store, std::string_view type, std::string_view name,
                     std::string_view path, std::uint64_t id)
            : m_store(&store), m_type(type), m_name(name), m_path(path), m_id(id) {}

        const TARNDatastore* m_store;
        std::string_view m_type;
        std::string_view m_name;
        std::string_view m_path;  // the full path, where the store made one
        std::uint64_t m_id;       // the store's own mark of the object
    };

protected:
    using Visitor = void (*)(void* visit, std::string_view, std::string_view);
    using ObjectVisitor = void (*)(void* visit, const ObjectHandle&);
    // A handle for the visit of a store's object: the store finds it again by id, or, as
    // the defaults do, by path (a full path that must outlive the call).
    ObjectHandle makeHandle(std::string_view type, std::string_view name, std::string_view path,
                            std::uint64_t id) const {
        return ObjectHandle(*this, type, name, path, id);
    }
    static std::uint64_t idOf(const ObjectHandle& object) { return object.m_id; }
    static std::string_view pathOf(const ObjectHandle& object) { return object.m_path; }

    // The defaults hand out objects with their full paths and read them through the path
    // operations, so every store walks alike; a store that can do better overrides all.
    virtual bool visitObjects(std::string_view path, ObjectVisitor visitor, void* visit) const;
    virtual void visitObjectsOf(const ObjectHandle& object, ObjectVisitor visitor,
                                void* visit) const;
    virtual void visitParametersOf(const ObjectHandle& object, Visitor visitor, void* visit) const;
    virtual void visitChildrenOf(const ObjectHandle& object, Visitor visitor, void* visit) const;
    virtual SourceLocation locationOf(const ObjectHandle& object) const;
    virtual SourceLocation parameterLocationOf(const ObjectHandle& object,
                                               const std::string& name) const;

    // The defaults go through getParameterMap and getChildObjectPaths.
    virtual bool visitParameters(std::string_view path, Visitor visitor, void* visit) const;
    virtual bool visitChildren(std::string_view path, Visitor visitor, void* visit) const;

    TARNDatastore() = default;
    TARNDatastore(const TARNDatastore&) = default;
    TARNDatastore& operator=(const TARNDatastore&) = default;

private:
    template <class Visit>
    static void call(void* visit, std::string_view a, std::string_view b) {
        (*static_cast<std::remove_reference_t<Visit>*>(visit))(a, b);
    }
    template <class Visit>
    static void callObject(void* visit, const ObjectHandle& object) {
        (*static_cast<std::remove_reference_t<Visit>*>(visit))(object);
    }
    template <class Visit>
    static void* address(Visit& visit) {
        return const_cast<void*>(static_cast<const void*>(&visit));
    }
};

}  // namespace kel
