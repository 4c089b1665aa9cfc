#pragma once

#include <string>
#include <vector>

#include <kel/physicsutils/ParentContextRules.h>

namespace kel {

class ModelRules;

// Answers a ParentContextParser's schema questions from a ModelRules. Holds a non-owning
// pointer: the ModelRules must outlive the adaptor. Same threading rules as ModelRules.
class ModelRulesParCtxtRules : public ParentContextRules {
public:
    explicit ModelRulesParCtxtRules(const ModelRules* rules);
    ~ModelRulesParCtxtRules() override;

    bool isValidHierarchy(const TARNPath& path) const override;
    // Object type: its plain parent type paths; parameter: the type paths of its owners.
    std::vector<std::string> enumerateParentTypePaths(const std::string& name,
                                                      bool isObjectType) const override;
    bool isValidType(const std::string& type) const override;
    bool isValidParamName(const std::string& name) const override;
    // Counted and matched by the ModelRules without listing.
    std::uint64_t countParentTypePaths(const std::string& name, bool isObjectType) const override;
    bool isParentTypePath(const std::string& context, const std::string& name,
                          bool isObjectType) const override;

private:
    const ModelRules* m_rules;
};

}  // namespace kel
