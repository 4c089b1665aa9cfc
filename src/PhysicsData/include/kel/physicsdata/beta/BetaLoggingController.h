#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <kel/physicschecks/BetaCheckLogger.h>
#include <kel/physicsdata/dependency/AvailData.h>
#include <kel/utilities/NonCopyable.h>

namespace kel {

// The switchboard that beta checks consult and report to: the global beta-enabled switch,
// a logging switch, and a log of the messages beta checks emitted while an availability
// question was being answered. Each entry is tagged with that question (its AvailData with
// the check name emptied), so the host can ask why an object type, a parameter or a
// parameter value is available only thanks to beta features.
//
// Protocol: beginAvailabilityCheck(question), evaluate, endAvailabilityCheck(keep). Entries
// are recorded only between the two and only while logging is on; keep=false erases what
// was logged since the begin. Pairs do not nest: a second begin replaces the first.
//
// Created and owned by BetaPhysicsManager; the beta checks given it keep a plain pointer,
// so it must outlive them. The AvailData passed to beginAvailabilityCheck is not copied
// and must stay alive until the matching end. Not thread-safe.
class BetaLoggingController final : public BetaCheckLogger, private NonCopyable {
public:
    // Beta enabled, logging off, no check in progress, empty log.
    BetaLoggingController();
    ~BetaLoggingController();

    bool isBetaEnabled() const override;
    void overrideGlobalBetaEnabled(bool enabled);

    void enableBetaLogging();
    void disableBetaLogging();
    // True only while the logging switch is on and an availability check is in progress.
    bool isBetaLoggingEnabled() const override;

    void beginAvailabilityCheck(const AvailData* availability);
    // keep=false erases the entries logged since the matching begin.
    void endAvailabilityCheck(bool keep);

    // Records `message` under the current question when isBetaLoggingEnabled(); the
    // check name is not used.
    void logMessage(const std::string& checkName, const std::string& message) override;

    bool anyLoggedMessages() const;
    // True when something was logged since the last begin (or clearMessages).
    bool anyMessagesLoggedLastCheck() const;
    void clearMessages();

    // Messages logged under a question equal to `key`, sorted ascending, each once.
    std::vector<std::string> getFilteredMessages(const AvailData& key) const;
    std::vector<std::string> getObjAvailMessages(const std::string& objectType) const;
    std::vector<std::string> getParamAvailMessages(const std::string& paramName) const;
    std::vector<std::string> getParamValAvailMessages(const std::string& paramName,
                                                      const std::string& value) const;

private:
    using LogEntry = std::pair<AvailData, std::string>;

    bool m_betaEnabled;
    bool m_betaLoggingEnabled;
    bool m_inAvailabilityCheck;
    const AvailData* m_currentAvailability;
    std::uint64_t m_startIndex;
    std::vector<LogEntry> m_log;
};

}  // namespace kel
