#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

class ModelRules;

// A read-only TARNDatastore that offers RULES-derived "OBJECT DEPENDENCY" objects under
// "/PHYSICS/DEPENDENCIES" for the object types the PHYSICS data leaves out (or describes only
// partly). Composed behind the real PHYSICS datastore (the real data wins), it gives every
// object type a dependency definition: the ordered child and parameter lists the PHYSICS data
// does not state come from the RULES, for the options "Ordered Allowed Option List" names or
// else for every allowed option that "Unused Allowed Option List" does not name.
//
// Not offered: ROOT and its children (the top-level types), and the OBJECT DEPENDENCY object
// itself of a type the PHYSICS data organises by "OBJDEP CONTEXT" (defaults then appear only
// below its context objects). A list is offered only where the PHYSICS data names none of its
// entries, and nothing at all where the PHYSICS data gives an "Unused Child List" or "Unused
// Parameter List".
//
// The adaptor answers only the questions the dependency parsers and the composite store ask:
// hasParameter is always false, and getParameterValue (hence getParameterValueAsList),
// getChildObjectPathsByType and getChildObjectPaths throw PhysicsException.
//
// Neither datastore nor rules is owned; both must outlive the adaptor. Produced parameter maps
// are cached per path, so even const use must stay on one thread at a time.
class DefaultPhysicsTARNAdaptor : public TARNDatastore {
public:
    // Throws std::runtime_error (from the rules) when the RULES have no "ROOT" type.
    DefaultPhysicsTARNAdaptor(const TARNDatastore* physics, const ModelRules* rules);
    DefaultPhysicsTARNAdaptor(const DefaultPhysicsTARNAdaptor& other);
    DefaultPhysicsTARNAdaptor& operator=(const DefaultPhysicsTARNAdaptor&) = delete;
    ~DefaultPhysicsTARNAdaptor() override;

    // True for "/PHYSICS/DEPENDENCIES" and for any path at or below the OBJECT DEPENDENCY
    // object of a type that is not excluded.
    bool hasObject(const std::string& path) const override;
    bool hasParameter(const std::string& path, const std::string& name) const override;
    std::string getParameterValue(const std::string& path, const std::string& name) const override;
    std::vector<std::string> getParameterValueAsList(const std::string& path,
                                                     const std::string& name) const override;
    // The RULES lists offered for that path (see the class comment); empty when none.
    // Throws std::runtime_error for a dependency type that is not a RULES object type, or an
    // "Ordered Allowed Option List" naming an option the RULES do not allow.
    ParameterMap getParameterMap(const std::string& path) const override;
    // Under "/PHYSICS/DEPENDENCIES" with type "OBJECT DEPENDENCY": every named and singleton
    // RULES object type that is not excluded, ascending. Empty otherwise.
    std::vector<std::string> getChildObjectNamesByType(const std::string& path,
                                                       const std::string& type) const override;
    std::vector<std::string> getChildObjectPathsByType(const std::string& path,
                                                       const std::string& type) const override;
    std::vector<std::string> getChildObjectPaths(const std::string& path) const override;

protected:
    // Visits the cached map in place: no copy of it per visit.
    bool visitParameters(std::string_view path, Visitor visitor, void* visit) const override;

private:
    // The offered map for path (an object this adaptor has), made once and cached; null
    // when it offers nothing there.
    const ParameterMap* offeredMap(const std::string& path, std::string_view depType) const;
    // The object type an OBJECT DEPENDENCY path describes, or "" for any other path.
    static std::string_view dependencyType(std::string_view path);
    void createParams(const std::string& path, const std::string& depType, ParameterMap& out) const;

    const TARNDatastore* m_physics;
    const ModelRules* m_rules;
    std::set<std::string, std::less<>> m_excludedTypes;
    std::set<std::string> m_contextOrganisedTypes;
    mutable std::map<std::string, ParameterMap> m_paramMapCache;
};

}  // namespace kel
