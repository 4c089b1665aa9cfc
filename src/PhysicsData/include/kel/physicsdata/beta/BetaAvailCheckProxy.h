#pragma once

#include <set>
#include <string>
#include <vector>

#include <kel/physicschecks/Check.h>
#include <kel/physicsdata/dependency/AvailData.h>

namespace kel {

class BetaLoggingController;

// Stands in for a check that depends on beta physics, for exactly one availability
// question. Evaluation gives the wrapped check's result; when beta is enabled and logging
// is on, a positive result that logged beta messages is evaluated again with beta switched
// off (and the evaluation cache disabled), and the messages are kept in the controller
// only when that second answer is negative, i.e. when the answer depends on beta. The
// beta switch, the cache state and the controller's begin/end protocol are restored even
// when the wrapped check throws; its exception then propagates.
//
// Every other operation forwards to the wrapped check, except initialise and
// setUnresolved, which do nothing. Neither the wrapped check nor the controller is owned;
// both must outlive the proxy. Copying copies the two pointers and the question.
// Not thread-safe: evaluation flips the controller's global switch.
class BetaAvailCheckProxy : public Check {
public:
    // check and controller must not be null (std::invalid_argument otherwise).
    BetaAvailCheckProxy(Check* check, BetaLoggingController* controller, const AvailData& question);
    ~BetaAvailCheckProxy() override;

    const std::string& getName() const override;
    void initialise(const std::string& name, const ParameterMap& map,
                    DataVerifyInterface* verify) override;
    std::set<std::string> getRequiredContext() const override;
    std::vector<std::string> getCheckNamesDependOn() const override;
    std::vector<std::string> getListNamesDependOn() const override;
    void setUnresolved(const CheckDataSource* source) override;
    bool evaluate(const TARNContext& context, EvalContext* evalContext) override;
    // The wrapped check's explanation (nothing is logged).
    bool explain(const TARNContext& context, EvalContext* evalContext,
                 CheckExplanation& why) override;

    Check* getWrappedCheck() const { return m_check; }
    const AvailData& getQuestion() const { return m_question; }

private:
    Check* m_check;
    BetaLoggingController* m_controller;
    AvailData m_question;
};

}  // namespace kel
