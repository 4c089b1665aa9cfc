#include <kel/physicsdata/physics/Diagnostics.h>

#include <algorithm>
#include <tuple>
#include <utility>

namespace kel {

void Diagnostics::add(Diagnostic diagnostic) {
    ++(diagnostic.isError() ? m_errors : m_warnings);
    m_diagnostics.push_back(std::move(diagnostic));
}

void Diagnostics::error(const std::string& code, const std::string& message,
                        const SourceLocation& location, const std::string& objectPath) {
    add({Diagnostic::Severity::Error, code, message, location, objectPath});
}

void Diagnostics::warning(const std::string& code, const std::string& message,
                          const SourceLocation& location, const std::string& objectPath) {
    add({Diagnostic::Severity::Warning, code, message, location, objectPath});
}

void Diagnostics::sortByLocation() {
    std::stable_sort(m_diagnostics.begin(), m_diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) {
                         const auto& l = a.location;
                         const auto& r = b.location;
                         return std::make_tuple(l.file(), l.line(), l.column()) <
                                std::make_tuple(r.file(), r.line(), r.column());
                     });
}

}  // namespace kel
