#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "NameIndex.h"

#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsdata/rules/RulesObject.h>
#include <kel/physicsdata/rules/RulesParam.h>
#include <kel/physicsutils/ExtraRules.h>
#include <kel/utilities/refcnt_ptr.h>

namespace kel {

class TARNDatastore;
class TARNPath;

// The state behind ModelRules: every RulesObject by type, the global parameter definitions,
// the names of all parameters and the types that allow each, and the parent-path cache.
// Built completely by the constructor (which throws std::runtime_error on inconsistent
// RULES); afterwards only the caches change. Also answers the ExtraRules lookups.
class ModelRulesImpl : public ExtraRules {
public:
    ModelRulesImpl(const TARNDatastore& ds, const ModelRules::ExtraRulesDef& extra);
    ~ModelRulesImpl() override;

    std::pair<bool, bool> getParamBoolRule(const std::string& type, const std::string& option,
                                           const std::string& param,
                                           const char* rule) const override;
    std::vector<std::string> getParamListRule(const std::string& type, const std::string& option,
                                              const std::string& param,
                                              const char* rule) const override;
    std::string getParamStringRule(const std::string& type, const std::string& option,
                                   const std::string& param, const char* rule) const override;
    std::pair<bool, bool> getObjectBoolRule(const std::string& type,
                                            const char* rule) const override;
    std::vector<std::string> getObjectListRule(const std::string& type,
                                               const char* rule) const override;
    std::string getObjectStringRule(const std::string& type, const char* rule) const override;

    // Throws "ModelRulesImpl::getObject - object not found: T".
    const RulesObject& getObject(const std::string& type) const;
    const RulesObject* findObject(const std::string& type) const;
    struct TypeEntry;
    // Every type, ascending by name.
    const std::vector<TypeEntry>& types() const { return m_entries; }
    // Ascending (listed on the first call); views of names the definitions hold.
    const std::vector<std::string_view>& paramNames() const;
    bool isValidParamName(std::string_view param) const {
        const ParamEntry* entry = findParam(param);
        return entry && (entry->global || entry->local);
    }
    // The types allowing param, in ascending order of their names.
    std::span<const TypeEntry* const> getAllowedParamParents(std::string_view param) const;

    const RulesParam& getParam(const std::string& type, const std::string& option,
                               const std::string& param) const;
    TARNParam::Type getParamType(const std::string& type, const std::string& param) const;
    bool isLocalRulesParam(const std::string& type, const std::string& param) const;
    std::string getValidOptionForObject(const std::string& type) const;
    bool isPossibleAllowedString(const std::string& type, const std::string& param,
                                 const std::string& value) const;
    std::vector<std::string> enumerateParentTypePaths(const std::string& type,
                                                      bool withNames) const;
    std::vector<std::string> enumerateParentTypePathsForParam(const std::string& param) const;
    // The first enumeration above without names, listed on the first call and kept while
    // this object lives.
    const std::vector<std::string>& parentTypePaths(const std::string& type) const;
    std::string firstParentTypePathForParam(const std::string& param) const;
    // How many paths the two enumerations above list, counted without listing them.
    // Saturates at ModelRules::s_pathCountCap.
    std::uint64_t countParentTypePaths(const std::string& type) const;
    std::uint64_t countParentTypePathsForParam(const std::string& param) const;
    // Whether context is one of enumerateParentTypePaths(type, false) / path one of
    // enumerateParentTypePathsForParam(param), decided from the path alone.
    bool isParentTypePath(std::string_view context, const std::string& type) const;
    bool isParamTypePath(std::string_view path, const std::string& param) const;
    bool isValidHierarchy(const TARNPath& path) const;
    bool isValidPath(const TARNPath& path) const;

    // One type: its definition, and what has been worked out about its parent paths (kept
    // here so that a question about a known type costs no further look-up by name).
    struct TypeEntry {
        const std::string* name = nullptr;  // as the definition names it
        RulesObject* object = nullptr;
        mutable std::uint64_t pathCount = kUnknown;    // countParentTypePaths
        mutable std::uint64_t upwardCount = kUnknown;  // paths from ROOT, memoised walk
        mutable bool open = false;                     // on the memoised walk's stack
        mutable bool pathsListed = false;
        mutable std::vector<std::string> paths;  // enumerateParentTypePaths without names

        void set(const std::string& type, RulesObject& definition) {
            name = &type;
            object = &definition;
        }
    };
    static constexpr std::uint64_t kUnknown = ~std::uint64_t(0);

private:
    void buildTypeIndex();
    // The entry of type, or null; lookUp never touches the last-found entry.
    const TypeEntry* lookUp(std::string_view type) const;
    // Inline for the last-found entry, which most questions ask about again.
    const TypeEntry* findEntry(std::string_view type) const;
    const TypeEntry* findEntryByIndex(std::string_view type) const;
    struct ParamEntry;
    const ParamEntry* findParam(std::string_view param) const;
    const ParamEntry* findParamByIndex(std::string_view param) const;
    [[noreturn]] static void throwNoObject(const std::string& type);
    // The entry of param, added when there is none.
    ParamEntry& paramEntry(std::string_view param);
    const TypeEntry& getEntry(const std::string& type) const;
    std::uint64_t countParentTypePaths(const TypeEntry& entry) const;
    const std::vector<std::string>& listedParentTypePaths(const TypeEntry& entry) const;
    // The paths of entry's parents, as enumerateParentTypePaths lists them, into paths.
    void walkParentTypePaths(const TypeEntry& entry, bool withNames,
                             std::vector<std::string>& paths) const;
    // enumerateParentTypePathsForParam of a known parameter, into paths.
    void listParamTypePaths(const std::string& param, std::vector<std::string>& paths) const;
    RulesObject& getObjectForMod(std::string_view type);
    // Read the definitions of the given names below /RULES.
    void readGlobalParams(const TARNDatastore& ds, const std::vector<std::string_view>& names,
                          const ExtraDef& paramRules);
    void readObjects(const TARNDatastore& ds, const std::string& kind,
                     const std::vector<std::string_view>& names,
                     const ModelRules::ExtraRulesDef& extra);
    // Each type's allowed parents list it as a child; errors located at the type.
    void reconcileAllowedParents(const TARNDatastore& ds);
    void reconcileAllowedParents(const std::string& child, const RulesObject& object);
    void buildValidParents();
    void buildParamParents();
    // Paths from ROOT down to type, as the upward walk meets them: memoised per type while
    // no ancestor lies on a cycle (the walk's cycle guard never fires then), else walked.
    bool countUpwardMemoised(const TypeEntry& entry, std::uint64_t& count) const;
    std::uint64_t countUpwardByWalk(const std::string& type) const;

    // Every definition read and the name it was read under, in reading order; sized once, so
    // that the entries can refer to them.
    std::vector<RulesObject> m_objects;
    std::vector<std::string> m_typeNames;  // dropped once indexed when the objects hold them
    // The types, ascending by name for the listing queries (a repeated definition replaces
    // the earlier one), numbered by the index for look-ups.
    std::vector<TypeEntry> m_entries;
    NameIndex m_typeIndex;
    // Every global definition read, kept so that the views of their names below stay valid
    // even when a repeated definition replaces one (the objects keep the local ones).
    std::vector<refcnt_ptr<const RulesParam>> m_definitions;
    // Every parameter name that is defined or listed by some type. The names view the
    // definitions or the objects' parameter lists, which no longer change once built.
    struct ParamEntry {
        std::string_view name;
        const RulesParam* global = nullptr;  // the global definition
        bool local = false;                  // some type defines it
        // The types allowing the parameter: a range of m_paramParentTypes, and the number of
        // paths they give once counted.
        std::uint32_t begin = 0;
        std::uint32_t end = 0;
        mutable std::uint64_t pathCount = kUnknown;
    };
    std::vector<ParamEntry> m_params;
    NameIndex m_paramIndex;
    mutable std::vector<std::string_view> m_paramNames;  // for listing, made on first use
    mutable bool m_paramNamesListed = false;
    std::vector<const TypeEntry*> m_paramParentTypes;
    // The type and the parameter found last: consecutive questions mostly concern one type
    // and one parameter.
    mutable const TypeEntry* m_lastEntry = nullptr;
    mutable const ParamEntry* m_lastParam = nullptr;
};

inline const ModelRulesImpl::TypeEntry* ModelRulesImpl::findEntry(std::string_view type) const {
    if (m_lastEntry && NameIndex::same(type, *m_lastEntry->name)) return m_lastEntry;
    return findEntryByIndex(type);
}

inline const ModelRulesImpl::ParamEntry* ModelRulesImpl::findParam(std::string_view param) const {
    if (m_lastParam && NameIndex::same(param, m_lastParam->name)) return m_lastParam;
    return findParamByIndex(param);
}

inline const ModelRulesImpl::TypeEntry& ModelRulesImpl::getEntry(const std::string& type) const {
    const TypeEntry* entry = findEntry(type);
    if (!entry) throwNoObject(type);
    return *entry;
}

inline const RulesObject* ModelRulesImpl::findObject(const std::string& type) const {
    const TypeEntry* entry = findEntry(type);
    return entry ? entry->object : nullptr;
}

inline const RulesObject& ModelRulesImpl::getObject(const std::string& type) const {
    return *getEntry(type).object;
}

}  // namespace kel
