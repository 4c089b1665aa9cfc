#pragma once

#include "CheckBase.h"

namespace kel {

// CHECK "Object Exists": Object Type. Passes when the model holds an object of the type
// anywhere; the answer is the same for every object, so it is cached once per model
// revision.
class ObjectExistsCheck : public CheckBase<> {
public:
    void initialise(const std::string& name, const ParameterMap& map,
                    DataVerifyInterface* verify) override;
    bool explain(const TARNContext& context, EvalContext* evalContext,
                 CheckExplanation& why) override;

protected:
    bool doEvaluate(const TARNContext& context, EvalContext& evalContext) override;
    bool dependsOnObject() const override { return false; }

private:
    std::string m_type;
};

}  // namespace kel
