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
    // Explains the combined checks in order until one gives `decisive` (the result that
    // decides an Any, or the negation of the one that decides an All); returns that one's
    // result, or the last check's when none does, with its explanation in why. Results
    // are kept in the evaluation cache's pass memo, so a check shared along several paths
    // is explained once per pass and a query's explanation stays linear in the data.
    bool explainUntil(bool decisive, const TARNContext& context, EvalContext* evalContext,
                      CheckExplanation& why) const;

private:
    std::vector<std::string> m_names;
    std::vector<Check*> m_checks;
    mutable int m_cacheable = -1;  // unknown until the checks are resolved
};

}  // namespace kel
