#pragma once

#include <string>

#include <kel/exception/SourceLocation.h>

namespace kel {

// One problem found in RULES or PHYSICS data: how serious it is, a stable code that tools
// can filter on ("unknown-key", "object-dependency", ...), the message, where the item at
// fault was read (empty when the data has no position, e.g. built in memory) and the
// datastore path of the object concerned ("" when it is the data as a whole).
// A plain value type.
struct Diagnostic {
    enum class Severity { Error, Warning };

    Severity severity = Severity::Error;
    std::string code;
    std::string message;
    SourceLocation location;
    std::string objectPath;

    bool isError() const { return severity == Severity::Error; }
    // "error" or "warning".
    const char* severityName() const { return isError() ? "error" : "warning"; }
};

}  // namespace kel
