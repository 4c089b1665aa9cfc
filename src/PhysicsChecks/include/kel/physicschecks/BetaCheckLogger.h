#pragma once

#include <string>

namespace kel {

// The switchboard beta checks consult: whether beta features are enabled, and where to
// report why something passed only thanks to them. Implemented by the beta controller,
// which outlives the checks it is given to. Never deleted through this interface.
class BetaCheckLogger {
public:
    virtual bool isBetaEnabled() const = 0;
    // True while messages are being recorded.
    virtual bool isBetaLoggingEnabled() const = 0;
    // checkName is the reporting check; message the explanation.
    virtual void logMessage(const std::string& checkName, const std::string& message) = 0;

protected:
    ~BetaCheckLogger() = default;
};

}  // namespace kel
