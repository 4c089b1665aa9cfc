#pragma once

#include "CheckBase.h"

namespace kel {

// CHECK "Constant": Value, a logical word. Passes when it is true.
class ConstantCheck : public CheckBase<> {
public:
    void initialise(const std::string& name, const ParameterMap& map,
                    DataVerifyInterface* verify) override;
    bool explain(const TARNContext& context, EvalContext* evalContext,
                 CheckExplanation& why) override;

protected:
    bool doEvaluate(const TARNContext&, EvalContext&) override { return m_value; }
    bool dependsOnObject() const override { return false; }

private:
    bool m_value = false;
};

}  // namespace kel
