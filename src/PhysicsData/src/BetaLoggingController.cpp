#include <kel/physicsdata/beta/BetaLoggingController.h>

#include <algorithm>

namespace kel {

BetaLoggingController::BetaLoggingController()
    : m_betaEnabled(true),
      m_betaLoggingEnabled(false),
      m_inAvailabilityCheck(false),
      m_currentAvailability(nullptr),
      m_startIndex(0) {}

BetaLoggingController::~BetaLoggingController() = default;

bool BetaLoggingController::isBetaEnabled() const {
    return m_betaEnabled;
}

void BetaLoggingController::overrideGlobalBetaEnabled(bool enabled) {
    m_betaEnabled = enabled;
}

void BetaLoggingController::enableBetaLogging() {
    m_betaLoggingEnabled = true;
}

void BetaLoggingController::disableBetaLogging() {
    m_betaLoggingEnabled = false;
}

bool BetaLoggingController::isBetaLoggingEnabled() const {
    return m_betaLoggingEnabled && m_inAvailabilityCheck;
}

void BetaLoggingController::beginAvailabilityCheck(const AvailData* availability) {
    m_inAvailabilityCheck = true;
    m_currentAvailability = availability;
    m_startIndex = m_log.size();
}

void BetaLoggingController::endAvailabilityCheck(bool keep) {
    m_inAvailabilityCheck = false;
    m_currentAvailability = nullptr;
    if (!keep && m_startIndex < m_log.size())
        m_log.erase(m_log.begin() + static_cast<std::ptrdiff_t>(m_startIndex), m_log.end());
}

void BetaLoggingController::logMessage(const std::string& /*checkName*/,
                                       const std::string& message) {
    // Logging is on only inside a begin/end pair, and only then is there a question.
    if (!isBetaLoggingEnabled() || !m_currentAvailability) return;
    AvailData key = *m_currentAvailability;
    key.checkName.clear();
    m_log.emplace_back(std::move(key), message);
}

bool BetaLoggingController::anyLoggedMessages() const {
    return !m_log.empty();
}

bool BetaLoggingController::anyMessagesLoggedLastCheck() const {
    return m_log.size() > m_startIndex;
}

void BetaLoggingController::clearMessages() {
    m_log.clear();
    m_startIndex = 0;
}

std::vector<std::string> BetaLoggingController::getFilteredMessages(const AvailData& key) const {
    std::vector<std::string> messages;
    for (const LogEntry& entry : m_log)
        if (entry.first == key) messages.push_back(entry.second);
    std::sort(messages.begin(), messages.end());
    messages.erase(std::unique(messages.begin(), messages.end()), messages.end());
    return messages;
}

std::vector<std::string> BetaLoggingController::getObjAvailMessages(
    const std::string& objectType) const {
    return getFilteredMessages(AvailData(AvailData::OBJ_AVAIL, "", objectType, ""));
}

std::vector<std::string> BetaLoggingController::getParamAvailMessages(
    const std::string& paramName) const {
    return getFilteredMessages(AvailData(AvailData::PARAM_AVAIL, "", paramName, ""));
}

std::vector<std::string> BetaLoggingController::getParamValAvailMessages(
    const std::string& paramName, const std::string& value) const {
    return getFilteredMessages(AvailData(AvailData::PARAM_VAL_AVAIL, "", paramName, value));
}

}  // namespace kel
