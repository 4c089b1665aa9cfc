#include <kel/physicsdata/dependency/ChildAvail.h>

#include <utility>

#include <kel/exception/KELAssertImpl.h>
#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/List.h>

namespace kel {

ChildAvail::ChildAvail(std::string type, bool singleton, bool required, bool coupled,
                       bool relaxedValidation)
    : m_type(std::move(type)),
      m_required(required),
      m_singleton(singleton),
      m_coupled(required || coupled),
      m_relaxedValidation(relaxedValidation) {}

bool ChildAvail::evaluate(const TARNContext& context, EvalContext* evalContext) const {
    for (Check* check : m_checks) {
        if (!check->evaluate(context, evalContext)) return false;
    }
    return true;
}

void ChildAvail::evaluateAllowedNames(const TARNContext& context, EvalContext* evalContext,
                                      std::vector<std::string>& names) const {
    if (m_allowedNameList != nullptr) names = m_allowedNameList->evaluate(context, evalContext);
}

void ChildAvail::evaluateDefaultNames(const TARNContext& context, EvalContext* evalContext,
                                      std::vector<std::string>& names) const {
    if (m_defaultNameList != nullptr) names = m_defaultNameList->evaluate(context, evalContext);
}

std::vector<std::string> ChildAvail::getReferencedCheckNames() const {
    std::vector<std::string> names;
    names.reserve(m_checks.size());
    for (const Check* check : m_checks)
        names.push_back(check->getName());
    return names;
}

std::vector<std::string> ChildAvail::getReferencedListNames() const {
    std::vector<std::string> names;
    if (m_allowedNameList != nullptr) names.push_back(m_allowedNameList->getName());
    if (m_defaultNameList != nullptr) names.push_back(m_defaultNameList->getName());
    return names;
}

bool ChildAvail::matchOption(unsigned long long selector) const {
    const bool inRange = selector < m_applicableOptions.size();
    KEL_ASSERT_AT(inRange, "src/PhysicsData/src/ChildAvail", __LINE__);
    return inRange && m_applicableOptions.test(selector);
}

}  // namespace kel
