#include <kel/physicsdata/dependency/ParamAvail.h>

#include <utility>

#include <kel/exception/KELAssertImpl.h>
#include <kel/physicschecks/Check.h>

namespace kel {

ParamAvail::ParamAvail(std::string name, bool required, bool contextRule)
    : m_name(std::move(name)), m_required(required), m_contextRule(contextRule) {}

bool ParamAvail::evaluate(const TARNContext& context, EvalContext* evalContext) const {
    for (Check* check : m_checks) {
        if (!check->evaluate(context, evalContext)) return false;
    }
    return true;
}

std::vector<std::string> ParamAvail::getReferencedCheckNames() const {
    std::vector<std::string> names;
    names.reserve(m_checks.size());
    for (const Check* check : m_checks)
        names.push_back(check->getName());
    return names;
}

bool ParamAvail::matchOption(unsigned long long selector) const {
    const bool inRange = selector < m_applicableOptions.size();
    KEL_ASSERT_AT(inRange, "src/PhysicsData/src/ParamAvail", __LINE__);
    return inRange && m_applicableOptions.test(selector);
}

}  // namespace kel
