#include "JsonWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace kel::tool {

JsonWriter::JsonWriter(std::ostream& out, int indent) : m_out(out), m_indent(indent) {}

namespace {

// Length of the valid UTF-8 sequence starting at text[i], or 0 when the byte there does
// not start one (stray continuation byte, overlong form, surrogate, beyond U+10FFFF,
// truncated).
std::size_t utf8Length(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > text.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    return length;
}

}  // namespace

std::string JsonWriter::quote(std::string_view text) {
    std::string result;
    result.reserve(text.size() + 2);
    result += '"';
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = utf8Length(text, i);
            if (length == 0) {
                result += "\xEF\xBF\xBD";  // U+FFFD for the byte that is not UTF-8
                ++i;
            } else {
                result.append(text, i, length);
                i += length;
            }
            continue;
        }
        ++i;
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
                if (c < 0x20 || c == 0x7F) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
                    result += buffer;
                } else {
                    result += static_cast<char>(c);
                }
        }
    }
    result += '"';
    return result;
}

void JsonWriter::newline() {
    if (m_indent <= 0) return;
    m_text += '\n';
    m_text.append(m_levels.size() * static_cast<std::size_t>(m_indent), ' ');
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
    if (!level.empty) m_text += ',';
    level.empty = false;
    newline();
}

JsonWriter& JsonWriter::key(std::string_view name) {
    if (m_levels.empty() || !m_levels.back().isObject || m_keyPending)
        throw std::logic_error("JsonWriter: key outside an object");
    Level& level = m_levels.back();
    if (!level.empty) m_text += ',';
    level.empty = false;
    newline();
    m_text += quote(name);
    m_text += m_indent > 0 ? ": " : ":";
    m_keyPending = true;
    return *this;
}

JsonWriter& JsonWriter::beginObject() {
    beforeValue();
    m_text += '{';
    m_levels.push_back({true, true});
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    beforeValue();
    m_text += '[';
    m_levels.push_back({false, true});
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    if (m_levels.empty() || !m_levels.back().isObject || m_keyPending)
        throw std::logic_error("JsonWriter: unbalanced endObject");
    const bool empty = m_levels.back().empty;
    m_levels.pop_back();
    if (!empty) newline();
    m_text += '}';
    if (m_levels.empty()) m_done = true;
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    if (m_levels.empty() || m_levels.back().isObject)
        throw std::logic_error("JsonWriter: unbalanced endArray");
    const bool empty = m_levels.back().empty;
    m_levels.pop_back();
    if (!empty) newline();
    m_text += ']';
    if (m_levels.empty()) m_done = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
    beforeValue();
    m_text += quote(text);
    if (m_levels.empty()) m_done = true;
    return *this;
}

JsonWriter& JsonWriter::value(bool flag) {
    beforeValue();
    m_text += (flag ? "true" : "false");
    if (m_levels.empty()) m_done = true;
    return *this;
}

JsonWriter& JsonWriter::value(std::int64_t number) {
    beforeValue();
    m_text += std::to_string(number);
    if (m_levels.empty()) m_done = true;
    return *this;
}

JsonWriter& JsonWriter::value(double number) {
    beforeValue();
    if (std::isfinite(number)) {
        char buffer[32];
        auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
        m_text.append(buffer, static_cast<std::size_t>(result.ptr - buffer));
    } else {
        m_text += "null";  // JSON has no infinities or NaN
    }
    if (m_levels.empty()) m_done = true;
    return *this;
}

JsonWriter& JsonWriter::null() {
    beforeValue();
    m_text += "null";
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
    if (!m_levels.empty() || !m_done) throw std::logic_error("JsonWriter: document not closed");
    m_text += '\n';
    m_out << m_text << std::flush;
    m_text.clear();
}

}  // namespace kel::tool
