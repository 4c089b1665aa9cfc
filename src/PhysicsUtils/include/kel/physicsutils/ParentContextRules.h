#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kel {

class TARNPath;

// What ParentContextParser needs to know of the schema: which hierarchies are valid and
// in which parent contexts (type paths) an object type or parameter may appear.
class ParentContextRules {
public:
    virtual ~ParentContextRules();

    virtual bool isValidHierarchy(const TARNPath& path) const = 0;
    // isObjectType: the parent type paths of object type name (ending at its parent; ""
    // for a child of the top object). Otherwise: the type paths of every object type that
    // allows parameter name (each ending with that type).
    virtual std::vector<std::string> enumerateParentTypePaths(const std::string& name,
                                                              bool isObjectType) const = 0;
    virtual bool isValidType(const std::string& type) const = 0;
    virtual bool isValidParamName(const std::string& name) const = 0;

    // How many contexts enumerateParentTypePaths(name, isObjectType) lists, and whether
    // context is one of them. These defaults list them; an implementation over a schema
    // whose hierarchy branches and joins again (where the count grows exponentially with
    // the depth) answers from the schema without listing.
    virtual std::uint64_t countParentTypePaths(const std::string& name, bool isObjectType) const;
    virtual bool isParentTypePath(const std::string& context, const std::string& name,
                                  bool isObjectType) const;

protected:
    ParentContextRules() = default;
};

}  // namespace kel
