#include <kel/exception/SourceLocation.h>

#include <ostream>

namespace kel {

std::string SourceLocation::toString() const {
    std::string text;
    if (empty()) return text;
    text.append(m_file).append(":").append(std::to_string(m_line));
    if (m_column > 0) text.append(":").append(std::to_string(m_column));
    return text;
}

std::ostream& operator<<(std::ostream& out, const SourceLocation& location) {
    return out << location.toString();
}

}  // namespace kel
