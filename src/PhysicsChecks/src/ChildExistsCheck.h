#pragma once

#include "CheckBase.h"

namespace kel {

// CHECK "Child Exists": Object Type, optional Minimum Count (default 1). Passes when the
// evaluated object has at least that many direct children of the type.
class ChildExistsCheck : public CheckBase<> {
public:
    void initialise(const std::string& name, const ParameterMap& map,
                    DataVerifyInterface* verify) override;
    bool explain(const TARNContext& context, EvalContext* evalContext,
                 CheckExplanation& why) override;

protected:
    bool doEvaluate(const TARNContext& context, EvalContext& evalContext) override;

private:
    std::string m_type;
    std::size_t m_minimum = 1;
};

}  // namespace kel
