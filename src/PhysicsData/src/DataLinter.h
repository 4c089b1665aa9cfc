#pragma once

#include <set>
#include <string>
#include <vector>

#include <kel/physicsdata/rules/ModelRules.h>

#include "DataLocator.h"

namespace kel {

class Diagnostics;
class PhysicsData;
class TARNDatastore;

// Looks through RULES and PHYSICS data for what loading accepts silently and reports it
// as warnings: an empty input or the wrong root object for its role; keys and object
// kinds that nothing reads (with the known one probably meant); child, parent and object
// types the RULES do not define; RULES defaults that do not fit their type, bounds or
// allowed strings; PHYSICS defaults and overrides outside their bounds or not among their
// allowed values; allowed values the RULES' allowed strings exclude; CHECKs and LISTs
// nothing uses. Checks that need the built model run only when it is given.
//
// Borrows everything it is given for its life; rules and physics may be null (not
// built). `physicsComplete` says whether physics was built from all of the data or from
// what was left once faulty pieces were left out; checks of what nothing uses need the
// whole. Not thread-safe.
class DataLinter {
public:
    DataLinter(const TARNDatastore& rulesData, const TARNDatastore& physicsData,
               const ModelRules::ExtraRulesDef& extra, const ModelRules* rules,
               const PhysicsData* physics, bool physicsComplete, Diagnostics& diagnostics,
               const std::string& rulesName = {}, const std::string& physicsName = {});

    void run();

private:
    // False when the data lacks its root object (reported).
    bool checkRoot(const TARNDatastore& data, const DataLocator& locator, const std::string& role,
                   const std::string& other);
    void lintRules();
    void lintRulesType(const std::string& path, const std::string& type);
    void lintTypeList(const std::string& path, const std::string& key, const std::string& what);
    void lintRulesParameter(const std::string& path, const std::string& name);
    // Every PARAMETER definition directly below the RULES object at path.
    void lintRulesParameters(const std::string& path);
    void lintPhysics();
    void lintCheckData();
    void lintDependencies();
    void lintParameterEntry(const std::string& path, const std::string& name);
    void lintUnused();

    void lintKeys(const TARNDatastore& data, const DataLocator& locator, const std::string& path,
                  const std::vector<std::string>& known);
    void lintKinds(const TARNDatastore& data, const DataLocator& locator, const std::string& path,
                   const std::vector<std::string>& known);
    // " (did you mean 'X'?)" from candidates, while the work spent on suggestions stays
    // bounded (huge inputs full of unknown names get no suggestions past that).
    std::string suggest(const std::string& word, const std::vector<std::string>& candidates);
    void warn(const DataLocator& locator, const std::string& code, const std::string& path,
              const std::string& key, const std::string& message);

    const TARNDatastore& m_rulesData;
    const TARNDatastore& m_physicsData;
    const ModelRules::ExtraRulesDef& m_extra;
    const ModelRules* m_rules;
    const PhysicsData* m_physics;
    bool m_physicsComplete;
    Diagnostics& m_diagnostics;
    DataLocator m_rulesLocator;
    DataLocator m_physicsLocator;
    // The keys of a RULES object and parameter, the host's extra rules included.
    std::vector<std::string> m_objectKeys;
    std::vector<std::string> m_parameterKeys;
    std::vector<std::string> m_types;  // object types the RULES data defines
    std::set<std::string> m_typeSet;   // the same, for look-ups
    std::size_t m_suggestionWork = 0;  // candidates compared so far
};

}  // namespace kel
