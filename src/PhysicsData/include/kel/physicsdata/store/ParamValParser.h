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

protected:
    void onObjectName(const std::string& name) override;
    void onNonContextData(const std::string& name, const ParameterMap& map) override;
    void onContextData(const std::string& name, const std::vector<std::string>& contexts,
                       const ParameterMap& map, bool isDefault) override;
    void onCompletedObjects(const std::string& name) override;
    void onParseComplete() override;

private:
    void addParam(const std::string& name, const std::vector<std::string>& contexts,
                  const ParameterMap& map, bool isDefault);

    const AvailabilityCheckDataSource* m_dataSource;
    const ModelRules* m_rules;
    ParentContextHolder<ParamValueDef>* m_holder;
    std::set<std::string> m_usedParamNames;
    ObjDependParser::ContextRuleInfoMap m_contextRuleInfoMap;
    bool m_validate;
};

}  // namespace kel
