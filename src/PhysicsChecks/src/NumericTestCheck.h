#pragma once

#include "CheckBase.h"
#include "ParameterSource.h"

namespace kel {

// CHECK "Numeric Test": Parameter, Operator (< <= > >= == !=), Value, optional Object Type
// or Object Path. Passes when the parameter's number compares as asked with Value; units
// on either side are ignored. A missing or non-numeric parameter value fails.
class NumericTestCheck : public CheckBase<> {
public:
    void initialise(const std::string& name, const ParameterMap& map,
                    DataVerifyInterface* verify) override;
    std::set<std::string> getRequiredContext() const override;
    bool explain(const TARNContext& context, EvalContext* evalContext,
                 CheckExplanation& why) override;

protected:
    bool doEvaluate(const TARNContext& context, EvalContext& evalContext) override;
    bool dependsOnObject() const override { return !m_source.isFixedObject(); }

private:
    enum class Op { Less, LessEqual, Greater, GreaterEqual, Equal, NotEqual };

    ParameterSource m_source;
    Op m_op = Op::Equal;
    float m_value = 0;
};

}  // namespace kel
