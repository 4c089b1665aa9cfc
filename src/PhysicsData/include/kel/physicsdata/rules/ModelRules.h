#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <kel/physicsdata/rules/ExtraDef.h>
#include <kel/physicsutils/TARNParam.h>
#include <kel/utilities/NonCopyable.h>

namespace kel {

class ExtraRules;
class ModelRulesImpl;
class RulesParam;
class TARNDatastore;
class TARNPath;

// The RULES schema of a model: object types, their children and parameters per context
// option, parameter properties, valid parents, parent type paths and path validity.
//
// The constructor reads the whole RULES data from the datastore (kept no longer than the
// call) and throws std::runtime_error, leaving no object, on inconsistent data. Afterwards
// only queries run. T is an object type, O an option value ("" for object level), Os a set
// of options, P a parameter name, K a child type. Unknown types and parameters throw
// std::runtime_error. References returned stay valid while the ModelRules lives, except
// those of the Os forms, valid until the next call with another option set for that type.
//
// Some const queries fill caches, so one ModelRules must be used from one thread at a time.
class ModelRules : private NonCopyable {
public:
    // Extra RULES keys to read for every parameter definition and every object type.
    struct ExtraRulesDef {
        ExtraDef paramRules;
        ExtraDef objectRules;
    };

    explicit ModelRules(const TARNDatastore* ds, const ExtraRulesDef& extra = {});
    virtual ~ModelRules();

    // Every object type except "RULES" and "ROOT" / every named / every singleton type,
    // ascending.
    std::vector<std::string> getAllObjectTypes() const;
    std::vector<std::string> getNamedObjectTypes() const;
    std::vector<std::string> getSingletonTypes() const;
    bool isValidType(const std::string& type) const;
    bool isValidParamName(const std::string& param) const;
    // Every parameter defined globally, at object level or at context level, ascending.
    std::vector<std::string> getParamNames() const;
    bool isSingleton(const std::string& type) const;

    const std::string& getContextRuleParam(const std::string& type) const;
    const std::vector<std::string>& getAllowedOptions(const std::string& type) const;
    bool isAllowedOption(const std::string& type, const std::string& option) const;
    // "" for a type without context rule, else its first allowed option.
    std::string getValidOptionForObject(const std::string& type) const;

    const std::vector<std::string>& getEssentialChildren(const std::string& type,
                                                         const std::string& option) const;
    const std::vector<std::string>& getOptionalChildren(const std::string& type,
                                                        const std::string& option) const;
    const std::vector<std::string>& getEssentialParams(const std::string& type,
                                                       const std::string& option) const;
    const std::vector<std::string>& getOptionalParams(const std::string& type,
                                                      const std::string& option) const;
    const std::vector<std::string>& getEssentialChildren(
        const std::string& type, const std::vector<std::string>& options) const;
    const std::vector<std::string>& getOptionalChildren(
        const std::string& type, const std::vector<std::string>& options) const;
    const std::vector<std::string>& getEssentialParams(
        const std::string& type, const std::vector<std::string>& options) const;
    const std::vector<std::string>& getOptionalParams(
        const std::string& type, const std::vector<std::string>& options) const;
    const std::vector<std::string>& getEssentialChildrenAll(const std::string& type) const;
    const std::vector<std::string>& getOptionalChildrenAll(const std::string& type) const;
    const std::vector<std::string>& getEssentialParamsAll(const std::string& type) const;
    const std::vector<std::string>& getOptionalParamsAll(const std::string& type) const;
    std::vector<std::string> getChildrenAll(const std::string& type) const;
    std::vector<std::string> getParamsAll(const std::string& type) const;

    bool isEssentialChild(const std::string& type, const std::string& child,
                          const std::string& option) const;
    bool isOptionalChild(const std::string& type, const std::string& child,
                         const std::string& option) const;
    bool isAllowedChild(const std::string& type, const std::string& child,
                        const std::string& option) const;
    bool isEssentialParam(const std::string& type, const std::string& param,
                          const std::string& option) const;
    bool isOptionalParam(const std::string& type, const std::string& param,
                         const std::string& option) const;
    bool isAllowedParam(const std::string& type, const std::string& param,
                        const std::string& option) const;
    bool isAllowedChildAll(const std::string& type, const std::string& child) const;
    bool isAllowedParamAll(const std::string& type, const std::string& param) const;

    std::vector<std::string> getAllowedParents(const std::string& type) const;
    bool isAllowedParent(const std::string& type, const std::string& parentType) const;
    // Object types that allow P, in ascending type order (a type whose lists name P twice
    // appears twice); empty for an unknown P.
    std::vector<std::string> getAllowedParamParents(const std::string& param) const;

    // Whether T has its own (object- or context-level) definition of P.
    bool isLocalRulesParam(const std::string& type, const std::string& param) const;
    // The type of T's object-level definition of P, else of the global one. A T that is
    // not an object type (e.g. "") reaches the global definition directly.
    TARNParam::Type getParamType(const std::string& type, const std::string& param) const;

    // Properties of the definition of P that applies to T under O: context level, object
    // level, then global. O may be "" for a type with options only when P is its context
    // rule parameter. A T that is not an object type reaches the global definition.
    const std::string& getDefault(const std::string& type, const std::string& option,
                                  const std::string& param) const;
    const std::string& getLowerBound(const std::string& type, const std::string& option,
                                     const std::string& param) const;
    const std::string& getUpperBound(const std::string& type, const std::string& option,
                                     const std::string& param) const;
    bool hasDefaultValue(const std::string& type, const std::string& option,
                         const std::string& param) const;
    std::pair<bool, bool> hasBounds(const std::string& type, const std::string& option,
                                    const std::string& param) const;
    const std::vector<std::string>& getAllowedStringList(const std::string& type,
                                                         const std::string& option,
                                                         const std::string& param) const;
    // The definition itself (description, type, extra rules, ...).
    const RulesParam& getParam(const std::string& type, const std::string& option,
                               const std::string& param) const;
    // Whether value can be an allowed value of P in T under some option.
    bool isPossibleAllowedString(const std::string& type, const std::string& param,
                                 const std::string& value) const;

    // The most paths the two enumerations below list. A ladder of n levels of two types
    // each, every one a valid parent of both types of the next level, has 2^(n-1) paths
    // at its bottom: such answers are not listed, the enumerations throw
    // std::runtime_error naming the type or parameter and the count instead. The count
    // and match operations further below answer the same questions in time linear in the
    // RULES and the path.
    static constexpr std::uint64_t s_maxListedPaths = 100000;
    // Counts saturate here.
    static constexpr std::uint64_t s_pathCountCap = std::uint64_t(1) << 62;

    // The type paths from the top of the hierarchy to each place T's parent may be ("" for
    // a child of ROOT), in walk order; withNames adds ":name" after every named type.
    std::vector<std::string> enumerateParentTypePaths(const std::string& type,
                                                      bool withNames) const;
    // The full type paths of every object type allowing P, ascending.
    std::vector<std::string> enumerateParentTypePathsForParam(const std::string& param) const;
    // enumerateParentTypePaths(type, false) without a copy: listed on the first call and
    // kept, valid while this object lives. Throws as the enumeration does.
    const std::vector<std::string>& getParentTypePaths(const std::string& type) const;
    // The first of enumerateParentTypePathsForParam(P), without listing the others; "" when
    // there is none. Throws as that does when there are too many to list.
    std::string firstParentTypePathForParam(const std::string& param) const;
    // How many paths enumerateParentTypePaths(T, ...) / enumerateParentTypePathsForParam(P)
    // would list (at most s_pathCountCap), without listing them.
    std::uint64_t countParentTypePaths(const std::string& type) const;
    std::uint64_t countParentTypePathsForParam(const std::string& param) const;
    // Whether context is among enumerateParentTypePaths(T, false), and whether path is
    // among enumerateParentTypePathsForParam(P), decided from the path alone (false for
    // an unknown T).
    bool isParentTypePath(std::string_view context, const std::string& type) const;
    bool isParamTypePath(std::string_view path, const std::string& param) const;

    // Types exist and each is a valid child of the one before (true for an empty path).
    bool isValidHierarchy(const TARNPath& path) const;
    // As isValidHierarchy from ROOT down, and unnamed components are singletons (false for
    // an empty path).
    bool isValidPath(const TARNPath& path) const;

    // The extra rules read as asked by the ExtraRulesDef; valid while this object lives.
    const ExtraRules* getExtraRules() const;

private:
    std::unique_ptr<ModelRulesImpl> m_impl;
};

}  // namespace kel
