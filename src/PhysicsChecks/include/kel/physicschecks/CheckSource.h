#pragma once

#include <string>

namespace kel {

class Check;

// Source of checks by name. Callers never delete through this interface.
class CheckSource {
public:
    // The check of that name; null when absent, or an exception when mustExist.
    virtual Check* getCheck(const std::string& name, bool mustExist) const = 0;

protected:
    virtual ~CheckSource();
};

}  // namespace kel
