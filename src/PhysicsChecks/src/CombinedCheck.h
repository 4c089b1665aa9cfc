#pragma once

#include <vector>

#include "CheckBase.h"

namespace kel {

// Common part of "All", "Any" and "Not": the key "Check List" names the checks combined,
// resolved in setUnresolved. The required context is the union of theirs. Cacheable
// only when every combined check is (a beta check, for one, is not).
class CombinedCheck : public CheckBase<> {
public:
    void initialise(const std::string& name, const ParameterMap& map,
                    DataVerifyInterface* verify) override;
    std::set<std::string> computeRequiredContext() const override;
    std::vector<std::string> getCheckNamesDependOn() const override { return m_names; }
    void setUnresolved(const CheckDataSource* source) override;
    bool isCacheable() const override;

protected:
    // The checks, or an exception when they have not been resolved yet.
    const std::vector<Check*>& checks() const;
    virtual const char* className() const = 0;
    // How many names "Check List" must hold; 0 for any number but at least one.
    virtual std::size_t requiredCount() const { return 0; }

private:
    std::vector<std::string> m_names;
    std::vector<Check*> m_checks;
    mutable int m_cacheable = -1;  // unknown until the checks are resolved
};

}  // namespace kel
