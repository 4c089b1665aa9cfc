#pragma once

#include <kel/physicschecks/Check.h>

namespace kel {

class BetaCheckLogger;

// A check that passes only while beta features are enabled (the CHECK type "Beta").
// Without a logger it behaves as with beta enabled; with one, it follows the logger's
// isBetaEnabled and reports its message through logMessage when it passes while logging.
// The logger is not owned and must outlive the check.
class BetaCheck : public Check {
public:
    virtual void setBetaLogger(BetaCheckLogger* logger) = 0;
    virtual BetaCheckLogger* getBetaLogger() const = 0;
};

}  // namespace kel
