#include <kel/physicsdata/physics/Diagnostics.h>

#include <algorithm>
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
    // Compared in place: a tuple of the values would copy each file name per comparison.
    std::stable_sort(
        m_diagnostics.begin(), m_diagnostics.end(), [](const Diagnostic& a, const Diagnostic& b) {
            const auto& l = a.location;
            const auto& r = b.location;
            if (const int files = l.file().compare(r.file()); files != 0) return files < 0;
            return std::make_pair(l.line(), l.column()) < std::make_pair(r.line(), r.column());
        });
}

}  // namespace kel
