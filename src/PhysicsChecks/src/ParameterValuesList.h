#pragma once

#include "ListBase.h"
#include "ParameterSource.h"

namespace kel {

// LIST "Parameter Values": Parameter, optional Object Type or Object Path. The
// parameter's value split into items (empty when absent).
class ParameterValuesList : public ListBase {
public:
    void initialise(const std::string& name, const ParameterMap& map,
                    DataVerifyInterface* verify) override;
    std::set<std::string> computeRequiredContext() const override;

protected:
    std::vector<std::string> doEvaluate(const TARNContext& context,
                                        EvalContext& evalContext) override;

private:
    ParameterSource m_source;
};

}  // namespace kel
