#include <kel/physicsdata/beta/BetaAvailCheckProxy.h>

#include <stdexcept>

#include <kel/physicschecks/CheckExplanation.h>
#include <kel/physicschecks/EvalCache.h>
#include <kel/physicschecks/EvalContext.h>
#include <kel/physicsdata/beta/BetaLoggingController.h>

namespace kel {

namespace {

// Ends the controller's availability check on every way out of an evaluation. The keep
// flag is read at that moment; a failure to end is not allowed to escape.
class AvailabilityCheckScope {
public:
    AvailabilityCheckScope(BetaLoggingController& controller, const AvailData& question,
                           const bool& keep)
        : m_controller(controller), m_keep(keep) {
        m_controller.beginAvailabilityCheck(&question);
    }
    ~AvailabilityCheckScope() {
        try {
            m_controller.endAvailabilityCheck(m_keep);
        } catch (...) {
        }
    }
    AvailabilityCheckScope(const AvailabilityCheckScope&) = delete;
    AvailabilityCheckScope& operator=(const AvailabilityCheckScope&) = delete;

private:
    BetaLoggingController& m_controller;
    const bool& m_keep;
};

// Disables the evaluation cache, if any, and puts back its previous state on the way out.
class CacheDisabledScope {
public:
    explicit CacheDisabledScope(EvalCache* cache)
        : m_cache(cache), m_wasEnabled(cache && cache->enabled()) {
        if (m_cache) m_cache->enable(false);
    }
    ~CacheDisabledScope() {
        if (m_cache) m_cache->enable(m_wasEnabled);
    }
    CacheDisabledScope(const CacheDisabledScope&) = delete;
    CacheDisabledScope& operator=(const CacheDisabledScope&) = delete;

private:
    EvalCache* m_cache;
    bool m_wasEnabled;
};

// Switches beta off for its lifetime and back on afterwards.
class BetaDisabledScope {
public:
    explicit BetaDisabledScope(BetaLoggingController& controller) : m_controller(controller) {
        m_controller.overrideGlobalBetaEnabled(false);
    }
    ~BetaDisabledScope() { m_controller.overrideGlobalBetaEnabled(true); }
    BetaDisabledScope(const BetaDisabledScope&) = delete;
    BetaDisabledScope& operator=(const BetaDisabledScope&) = delete;

private:
    BetaLoggingController& m_controller;
};

}  // namespace

BetaAvailCheckProxy::BetaAvailCheckProxy(Check* check, BetaLoggingController* controller,
                                         const AvailData& question)
    : m_check(check), m_controller(controller), m_question(question) {
    if (!m_check)
        throw std::invalid_argument("BetaAvailCheckProxy::BetaAvailCheckProxy - no check given.");
    if (!m_controller)
        throw std::invalid_argument(
            "BetaAvailCheckProxy::BetaAvailCheckProxy - no logging controller given.");
}

BetaAvailCheckProxy::~BetaAvailCheckProxy() = default;

const std::string& BetaAvailCheckProxy::getName() const {
    return m_check->getName();
}

void BetaAvailCheckProxy::initialise(const std::string&, const ParameterMap&,
                                     DataVerifyInterface*) {}

std::set<std::string> BetaAvailCheckProxy::getRequiredContext() const {
    return m_check->getRequiredContext();
}

std::vector<std::string> BetaAvailCheckProxy::getCheckNamesDependOn() const {
    return m_check->getCheckNamesDependOn();
}

std::vector<std::string> BetaAvailCheckProxy::getListNamesDependOn() const {
    return m_check->getListNamesDependOn();
}

void BetaAvailCheckProxy::setUnresolved(const CheckDataSource*) {}

bool BetaAvailCheckProxy::evaluate(const TARNContext& context, EvalContext* evalContext) {
    bool dependsOnBeta = false;
    AvailabilityCheckScope scope(*m_controller, m_question, dependsOnBeta);

    if (!m_controller->isBetaEnabled() || !m_controller->isBetaLoggingEnabled())
        return m_check->evaluate(context, evalContext);

    // Both evaluations below must really run, not come from the cache.
    CacheDisabledScope noCache(evalContext ? evalContext->getCache() : nullptr);
    bool result = m_check->evaluate(context, evalContext);
    if (result && m_controller->anyMessagesLoggedLastCheck()) {
        BetaDisabledScope betaOff(*m_controller);
        dependsOnBeta = !m_check->evaluate(context, evalContext);
    }
    return result;
}

bool BetaAvailCheckProxy::explain(const TARNContext& context, EvalContext* evalContext,
                                  CheckExplanation& why) {
    return m_check->explain(context, evalContext, why);
}

}  // namespace kel
