#pragma once

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

protected:
    using Visitor = void (*)(void* visit, std::string_view, std::string_view);
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
    static void* address(Visit& visit) {
        return const_cast<void*>(static_cast<const void*>(&visit));
    }
};

}  // namespace kel
