#pragma once

#include <vector>

#include "CheckBase.h"
#include "ParameterSource.h"

namespace kel {

// CHECK "Parameter Value": Parameter, Value List (for Equal and Not Equal), optional
// Object Type or Object Path, optional Test (Equal [default], Not Equal, Set, Not Set).
// Equal passes when the value is one of the listed values (logical words compare by
// meaning), Not Equal when it is none of them; Set and Not Set ask whether the object has
// the parameter.
class ParameterValueCheck : public CheckBase<> {
public:
    void initialise(const std::string& name, const ParameterMap& map,
                    DataVerifyInterface* verify) override;
    std::set<std::string> computeRequiredContext() const override;
    bool explain(const TARNContext& context, EvalContext* evalContext,
                 CheckExplanation& why) override;

protected:
    bool doEvaluate(const TARNContext& context, EvalContext& evalContext) override;
    bool dependsOnObject() const override { return !m_source.isFixedObject(); }

private:
    enum class Test { Equal, NotEqual, Set, NotSet };

    ParameterSource m_source;
    Test m_test = Test::Equal;
    std::vector<std::string> m_values;
};

}  // namespace kel
