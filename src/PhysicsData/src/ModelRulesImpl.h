#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

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
    const std::map<std::string, RulesObject>& objects() const { return m_objects; }
    const std::set<std::string>& paramNames() const { return m_paramNames; }
    bool isValidParamName(const std::string& param) const { return m_paramNames.count(param); }
    const std::vector<std::string>& getAllowedParamParents(const std::string& param) const;

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
    bool isValidHierarchy(const TARNPath& path) const;
    bool isValidPath(const TARNPath& path) const;

private:
    RulesObject& getObjectForMod(const std::string& type);
    void readGlobalParams(const TARNDatastore& ds, const ExtraDef& paramRules);
    void readObjects(const TARNDatastore& ds, const std::string& kind,
                     const ModelRules::ExtraRulesDef& extra);
    void reconcileAllowedParents();
    void buildValidParents();
    void buildParamParents();

    std::map<std::string, RulesObject> m_objects;
    std::map<std::string, refcnt_ptr<const RulesParam>> m_globalParams;
    std::set<std::string> m_paramNames;
    std::map<std::string, std::vector<std::string>> m_paramParents;
    mutable std::map<std::string, std::vector<std::string>> m_parentPathCache;
};

}  // namespace kel
