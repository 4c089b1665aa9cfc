#pragma once

#include <set>
#include <string>
#include <vector>

#include <kel/physicsdata/store/ObjDependParser.h>
#include <kel/physicsutils/ParentContextParser.h>
#include <kel/utilities/NonCopyable.h>

namespace kel {

class AvailabilityCheckDataSource;
class ModelRules;
class ParamValueDef;
template <class T>
class ParentContextHolder;

// Turns every "PARAMETER VALUES" object under "/PHYSICS/DEPENDENCIES" into ParamValueDefs
// filed in the holder under the object type paths (parent contexts) they apply to: one
// definition for all contexts whose type has no local RULES definition of the parameter,
// and one per type that has. When the parse completes it adds a String definition of each
// context rule parameter under every object path with context rule data (from the object
// parser), and a definition built from no data for every used parameter that no PARAMETER
// VALUES object defines; then it rationalises the holder.
//
// A parameter with more owner type paths than the base parser lists has its context-free
// and "Default" data filed by pattern, grouped as above (local types one by one, the rest
// together under the type of the first such context in ascending order).
//
// Errors throw PhysicsException; definition errors pass through unchanged.
// Ownership: source, rules and holder are not owned and must outlive the parse. One parse
// per parser; single-threaded.
class ParamValParser : public ParentContextParser, private NonCopyable {
public:
    ParamValParser(const AvailabilityCheckDataSource* source, const ModelRules* rules,
                   std::set<std::string> usedParamNames,
                   ObjDependParser::ContextRuleInfoMap contextRuleInfoMap, bool validate,
                   ParentContextHolder<ParamValueDef>* holder);
    ~ParamValParser() override;

    // Context rule data of object definitions filed by pattern in objects (which must
    // outlive this parser's holder): filed by pattern too when the parse completes.
    void setPatternedContextRuleInfo(std::vector<ObjDependParser::PatternedContextRuleInfo> infos,
                                     const ParentContextHolder<ObjDependDef>* objects);

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
    void addParam(const std::string& name, const std::vector<std::string>& contexts,
                  const ParameterMap& map, bool isDefault);
    // addParam for contexts plus every owner type path of name not in excluded (sorted).
    void addParamByPattern(const std::string& name, const std::vector<std::string>& contexts,
                           const std::vector<std::string>& excluded, const ParameterMap& map,
                           bool isDefault);
    // The first (ascending) owner type path of name whose type does not hold name locally
    // and that is not excluded; "" when there is none.
    std::string firstPlainContext(const std::string& name,
                                  const std::vector<std::string>& excluded) const;
    // Whether some parent type path X of type has X + "/" + type not in excluded.
    bool hasContextOutside(const std::string& type, const std::vector<std::string>& excluded) const;
    [[noreturn]] void failToAdd(const std::string& name) const;

    const AvailabilityCheckDataSource* m_dataSource;
    const ModelRules* m_rules;
    ParentContextHolder<ParamValueDef>* m_holder;
    std::set<std::string> m_usedParamNames;
    ObjDependParser::ContextRuleInfoMap m_contextRuleInfoMap;
    std::vector<ObjDependParser::PatternedContextRuleInfo> m_patternedInfo;
    const ParentContextHolder<ObjDependDef>* m_objects = nullptr;
    bool m_validate;
};

}  // namespace kel
