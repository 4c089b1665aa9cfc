#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <kel/physicsdata/physics/Diagnostic.h>

namespace kel {

// Collects the problems found while RULES and PHYSICS data are checked (see DataChecker),
// in the order found, with running counts of errors and warnings.
//
// A plain value owned by the caller; not thread-safe.
class Diagnostics {
public:
    void add(Diagnostic diagnostic);
    void error(const std::string& code, const std::string& message,
               const SourceLocation& location = {}, const std::string& objectPath = {});
    void warning(const std::string& code, const std::string& message,
                 const SourceLocation& location = {}, const std::string& objectPath = {});

    const std::vector<Diagnostic>& all() const { return m_diagnostics; }
    std::size_t errorCount() const { return m_errors; }
    std::size_t warningCount() const { return m_warnings; }
    bool hasErrors() const { return m_errors != 0; }
    bool empty() const { return m_diagnostics.empty(); }

    // Orders the diagnostics by file, line and column (stable, so problems without a
    // position keep their order and come first).
    void sortByLocation();

private:
    std::vector<Diagnostic> m_diagnostics;
    std::size_t m_errors = 0;
    std::size_t m_warnings = 0;
};

}  // namespace kel
