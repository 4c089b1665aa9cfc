#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <utility>

namespace kel {

// Where an item of data was written: a file (or "<text>" for text read from memory), a line
// and a column, both counted from 1. A default-constructed location is empty: the position is
// unknown. Value type; safe to copy and to share between threads.
class SourceLocation {
public:
    SourceLocation() = default;
    SourceLocation(std::string file, std::uint32_t line, std::uint32_t column = 0)
        : m_file(std::move(file)), m_line(line), m_column(column) {}

    const std::string& file() const noexcept { return m_file; }
    std::uint32_t line() const noexcept { return m_line; }
    // 0 when only the line is known.
    std::uint32_t column() const noexcept { return m_column; }
    bool empty() const noexcept { return m_file.empty() && m_line == 0; }

    // "file:line:column" ("file:line" without a column), "" when empty.
    std::string toString() const;

    friend bool operator==(const SourceLocation&, const SourceLocation&) = default;

private:
    std::string m_file;
    std::uint32_t m_line = 0;
    std::uint32_t m_column = 0;
};

// Writes toString().
std::ostream& operator<<(std::ostream& out, const SourceLocation& location);

}  // namespace kel
