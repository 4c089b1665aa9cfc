#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include <kel/physicsdata/dependency/ObjDependDef.h>
#include <kel/physicsutils/ParentContextParser.h>
#include <kel/utilities/NonCopyable.h>
#include <kel/utilities/refcnt_ptr.h>

namespace kel {

class AvailabilityCheckDataSource;
class ModelRules;
template <class T>
class ParentContextHolder;

// Turns every "OBJECT DEPENDENCY" object under "/PHYSICS/DEPENDENCIES" into an ObjDependDef
// filed in the holder under each parent context it applies to. Context-free data applies
// to every parent type path of the type less the object's invalid contexts (and is filed
// as default); child types a definition leaves unused become invalid contexts under its
// object paths. Rationalises the holder when the parse completes.
//
// While parsing it collects what the parameter value parser needs: the context rule data
// of every definition by object path, and every parameter name the definitions use
// (except context rule parameters). Errors throw PhysicsException; definition errors pass
// through unchanged.
//
// A type with more parent type paths than the base parser lists has its context-free and
// "Default" data filed by pattern (every parent type path the RULES allow, less the
// excluded ones), and so do the invalid contexts and context rule data that follow from
// such a definition.
//
// Ownership: source, rules and holder are not owned and must outlive the parse. One parse
// per parser; single-threaded.
class ObjDependParser : public ParentContextParser, private NonCopyable {
public:
    using ContextRuleInfoMap =
        std::map<std::string, refcnt_ptr<const ObjDependDef::ContextRuleInfo>>;

    ObjDependParser(const AvailabilityCheckDataSource* source, const ModelRules* rules,
                    bool validate, ParentContextHolder<ObjDependDef>* holder);
    ~ObjDependParser() override;

    // Object path (context + "/" + type) to the context rule data of its definition.
    ContextRuleInfoMap getContextRuleInfoMap() const { return m_contextRuleInfoMap; }
    std::set<std::string> getUsedParamNames() const;
    // Context rule data of definitions filed by pattern: it applies under every object
    // path context + "/" + type where the holder's patterns of type give def.
    struct PatternedContextRuleInfo {
        std::string type;
        const ObjDependDef* def;
        refcnt_ptr<const ObjDependDef::ContextRuleInfo> info;
    };
    const std::vector<PatternedContextRuleInfo>& getPatternedContextRuleInfo() const {
        return m_patternedContextRuleInfo;
    }

protected:
    void onObjectName(const std::string& name) override;
    void onNonContextData(const std::string& name, const ParameterMap& map) override;
    void onContextData(const std::string& name, const std::vector<std::string>& contexts,
                       const ParameterMap& map, bool isDefault) override;
    void onCompletedObjects(const std::string& name) override;
    void onParseComplete() override;
    void onRemainingContextData(const std::string& name, const std::vector<std::string>& contexts,
                                const std::vector<std::string>& excluded,
                                const ParameterMap& map) override;

private:
    // Creates the definition of `type` for `contexts` and, when patternExcluded is given,
    // for every other parent type path not in it (sorted); false when a key was taken.
    bool addObjDependDef(const std::string& type, const std::vector<std::string>& contexts,
                         const std::vector<std::string>* patternExcluded, const ParameterMap& map,
                         bool isDefault);

    const AvailabilityCheckDataSource* m_dataSource;
    const ModelRules* m_rules;
    ParentContextHolder<ObjDependDef>* m_holder;
    ContextRuleInfoMap m_contextRuleInfoMap;
    // Every use, repeats included; made a set when asked for (cheaper than a set insert
    // per use when names repeat across many definitions).
    std::vector<std::string> m_usedParamNames;
    std::vector<std::string> m_defaultContexts;
    bool m_defaultByPattern = false;  // the current type has too many contexts to list
    std::vector<PatternedContextRuleInfo> m_patternedContextRuleInfo;
    bool m_validate;
};

}  // namespace kel
