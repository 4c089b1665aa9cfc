#pragma once

#include <string>
#include <vector>

#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

// One TARNDatastore answering from a base store and stores composed onto it. Stores are
// asked in precedence order (base first, unless a store was composed with otherWins):
// a parameter value comes from the first store that has the parameter (hasParameter is
// asked before getParameterValue, so a store whose hasParameter is false is never asked
// for a value); parameter maps merge with the same precedence, over the stores that hold
// the object; child names and paths are
// the union in first-appearance order, and paths by type are formed from the names, so
// component stores are never asked for getChildObjectPathsByType. A component that
// throws PhysicsException for getChildObjectPaths is left out of that answer.
// Does not own composed stores; owns the base only when ownsBase. All stores must
// outlive the composite.
class CompositeTARNDatastore : public TARNDatastore {
public:
    CompositeTARNDatastore(const TARNDatastore* base, bool ownsBase);
    ~CompositeTARNDatastore() override;
    CompositeTARNDatastore(const CompositeTARNDatastore&) = delete;
    CompositeTARNDatastore& operator=(const CompositeTARNDatastore&) = delete;

    // Adds other. With otherWins it takes precedence over every store so far, else it
    // comes after them. A null store is refused: false, with a line added to messages
    // when given.
    bool compose(const TARNDatastore* other, bool otherWins, std::vector<std::string>* messages);

    bool hasObject(const std::string& path) const override;
    bool hasParameter(const std::string& path, const std::string& name) const override;
    std::string getParameterValue(const std::string& path, const std::string& name) const override;
    std::vector<std::string> getParameterValueAsList(const std::string& path,
                                                     const std::string& name) const override;
    ParameterMap getParameterMap(const std::string& path) const override;
    std::vector<std::string> getChildObjectNamesByType(const std::string& path,
                                                       const std::string& type) const override;
    std::vector<std::string> getChildObjectPathsByType(const std::string& path,
                                                       const std::string& type) const override;
    std::vector<std::string> getChildObjectPaths(const std::string& path) const override;
    // From the first store, in precedence order, that knows a location for the item.
    SourceLocation objectLocation(const std::string& path) const override;
    SourceLocation parameterLocation(const std::string& path,
                                     const std::string& name) const override;

private:
    const TARNDatastore* m_base;
    bool m_ownsBase;
    std::vector<const TARNDatastore*> m_stores;  // precedence order, base included
};

}  // namespace kel
