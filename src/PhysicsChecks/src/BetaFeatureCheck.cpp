#include "BetaFeatureCheck.h"

#include <kel/physicschecks/BetaCheckLogger.h>
#include <kel/physicschecks/CheckDataSource.h>
#include <kel/physicschecks/CheckExplanation.h>

#include "ProductKeys.h"

namespace kel {

void BetaFeatureCheck::initialise(const std::string& name, const ParameterMap& map,
                                  DataVerifyInterface* verify) {
    m_name = name;
    ProductKeys keys("BetaFeatureCheck", Check::productKind().kind(IDStyle::Upper), name, map,
                     verify);
    m_message = keys.required("Message");
    if (keys.optional("Check")) m_checkName = keys.required("Check");
}

std::set<std::string> BetaFeatureCheck::computeRequiredContext() const {
    return m_check ? m_check->getRequiredContext() : std::set<std::string>();
}

std::vector<std::string> BetaFeatureCheck::getCheckNamesDependOn() const {
    if (m_checkName.empty()) return {};
    return {m_checkName};
}

void BetaFeatureCheck::setUnresolved(const CheckDataSource* source) {
    if (m_checkName.empty()) return;
    if (!source)
        throw std::invalid_argument("BetaFeatureCheck::setUnresolved - CHECK \"" + m_name +
                                    "\": no data source given.");
    m_check = source->getCheck(m_checkName, true);
    forgetRequiredContext();
}

bool BetaFeatureCheck::doEvaluate(const TARNContext& context, EvalContext& evalContext) {
    if (!m_checkName.empty() && !m_check)
        throw std::logic_error("BetaFeatureCheck::evaluate - CHECK \"" + m_name +
                               "\": its check has not been resolved.");
    bool enabled = !m_logger || m_logger->isBetaEnabled();
    bool result = enabled && (!m_check || m_check->evaluate(context, &evalContext));
    if (result && m_logger && m_logger->isBetaLoggingEnabled())
        m_logger->logMessage(m_name, m_message);
    return result;
}

// Decided by the wrapped check when beta features are on and it fails, else by this one.
bool BetaFeatureCheck::explain(const TARNContext& context, EvalContext* evalContext,
                               CheckExplanation& why) {
    const bool enabled = !m_logger || m_logger->isBetaEnabled();
    if (enabled && m_check && !m_check->explain(context, evalContext, why)) return false;
    why = CheckExplanation{m_name, "Beta", {}, "beta features enabled"};
    return enabled;
}

}  // namespace kel
