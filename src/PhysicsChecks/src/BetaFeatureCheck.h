#pragma once

#include <kel/physicschecks/BetaCheck.h>

#include "CheckBase.h"

namespace kel {

// CHECK "Beta": Message, optional Check. Passes when beta features are enabled (always,
// without a logger) and the wrapped check, if any, passes; when it passes while the
// logger records, it logs Message. Never cached: the beta switch is not part of the
// model.
class BetaFeatureCheck : public CheckBase<BetaCheck> {
public:
    void initialise(const std::string& name, const ParameterMap& map,
                    DataVerifyInterface* verify) override;
    std::set<std::string> computeRequiredContext() const override;
    std::vector<std::string> getCheckNamesDependOn() const override;
    void setUnresolved(const CheckDataSource* source) override;

    void setBetaLogger(BetaCheckLogger* logger) override { m_logger = logger; }
    BetaCheckLogger* getBetaLogger() const override { return m_logger; }

    bool isCacheable() const override { return false; }
    bool explain(const TARNContext& context, EvalContext* evalContext,
                 CheckExplanation& why) override;

protected:
    bool doEvaluate(const TARNContext& context, EvalContext& evalContext) override;

private:
    std::string m_message;
    std::string m_checkName;
    Check* m_check = nullptr;
    BetaCheckLogger* m_logger = nullptr;
};

}  // namespace kel
