#include "JsonWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace kel::tool {

JsonWriter::JsonWriter(std::ostream& out, int indent) : m_out(out), m_indent(indent) {}

std::string JsonWriter::quote(std::string_view text) {
    std::string result;
    result.reserve(text.size() + 2);
    result += '"';
    for (char c : text) {
        switch (c) {
            case '"':
                result += "\\\"";
                break;
            case '\\':
                result += "\\\\";
                break;
            case '\n':
                result += "\\n";
                break;
            case '\r':
                result += "\\r";
                break;
            case '\t':
                result += "\\t";
                break;
            case '\b':
                result += "\\b";
                break;
            case '\f':
                result += "\\f";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
                    result += buffer;
                } else {
                    result += c;
                }
        }
    }
    result += '"';
    return result;
}

void JsonWriter::newline() {
    if (m_indent <= 0) return;
    m_out << '\n' << std::string(m_levels.size() * static_cast<std::size_t>(m_indent), ' ');
}

void JsonWriter::beforeValue() {
    if (m_done) throw std::logic_error("JsonWriter: value after the end of the document");
    if (m_levels.empty()) return;
    Level& level = m_levels.back();
    if (level.isObject) {
        if (!m_keyPending) throw std::logic_error("JsonWriter: object member without a key");
        m_keyPending = false;
        return;
    }
    if (!level.empty) m_out << ',';
    level.empty = false;
    newline();
}

JsonWriter& JsonWriter::key(std::string_view name) {
    if (m_levels.empty() || !m_levels.back().isObject || m_keyPending)
        throw std::logic_error("JsonWriter: key outside an object");
    Level& level = m_levels.back();
    if (!level.empty) m_out << ',';
    level.empty = false;
    newline();
    m_out << quote(name) << (m_indent > 0 ? ": " : ":");
    m_keyPending = true;
    return *this;
}

JsonWriter& JsonWriter::beginObject() {
    beforeValue();
    m_out << '{';
    m_levels.push_back({true, true});
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    beforeValue();
    m_out << '[';
    m_levels.push_back({false, true});
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    if (m_levels.empty() || !m_levels.back().isObject || m_keyPending)
        throw std::logic_error("JsonWriter: unbalanced endObject");
    const bool empty = m_levels.back().empty;
    m_levels.pop_back();
    if (!empty) newline();
    m_out << '}';
    if (m_levels.empty()) m_done = true;
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    if (m_levels.empty() || m_levels.back().isObject)
        throw std::logic_error("JsonWriter: unbalanced endArray");
    const bool empty = m_levels.back().empty;
    m_levels.pop_back();
    if (!empty) newline();
    m_out << ']';
    if (m_levels.empty()) m_done = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
    beforeValue();
    m_out << quote(text);
    if (m_levels.empty()) m_done = true;
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    beforeValue();
    m_out << (flag ? "true" : "false");
    if (m_levels.empty()) m_done = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::int64_t number) {
    beforeValue();
    m_out << number;
    if (m_levels.empty()) m_done = true;
    return *this;
}

JsonWriter& JsonWriter::value(double number) {
    beforeValue();
    if (std::isfinite(number)) {
        char buffer[32];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
        m_out << std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer));
    } else {
        m_out << "null";  // JSON has no infinities or NaN
    }
    if (m_levels.empty()) m_done = true;
    return *this;
}

JsonWriter& JsonWriter::null() {
    beforeValue();
    m_out << "null";
    if (m_levels.empty()) m_done = true;
    return *this;
}

JsonWriter& JsonWriter::value(const std::vector<std::string>& items) {
    beginArray();
    for (const auto& item : items)
        value(item);
    return endArray();
}

void JsonWriter::finish() {
    if (!m_levels.empty()) throw std::logic_error("JsonWriter: document not closed");
    m_out << '\n';
}

}  // namespace kel::tool
