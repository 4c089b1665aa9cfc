#include "TemplateWriter.h"

#include <kel/utilities/StringUtilities.h>

namespace kel {

void TemplateWriter::beginObject(const std::string& type, const std::string& name) {
    m_indent.assign(2 * static_cast<std::size_t>(m_level), ' ');
    ++m_level;
    std::string header = type + " : " + name;
    m_lines.push_back(m_indent + header);
    m_openHeaders.push_back(std::move(header));
    m_indent += "  ";
}

void TemplateWriter::endObject() {
    if (m_openHeaders.empty()) return;
    --m_level;
    m_indent.assign(2 * static_cast<std::size_t>(m_level), ' ');
    std::string header = m_openHeaders.back();
    if (header.size() > 2 && header[header.size() - 2] == ':') header.resize(header.size() - 2);
    m_lines.push_back(m_indent + "END # " + header);
    m_openHeaders.pop_back();
}

void TemplateWriter::writeParam(const std::string& key, const std::string& value) {
    m_lines.push_back(m_indent + key + " = " + value);
}

void TemplateWriter::writeListParam(const std::string& key,
                                    const std::vector<std::string>& values) {
    writeParam(key, StringUtilities::vectorToString(values, ','));
}

void TemplateWriter::writeComment(const std::string& text) {
    m_lines.push_back(m_indent + "# " + text);
}

void TemplateWriter::writeBlankLine() {
    m_lines.emplace_back();
}

}  // namespace kel
