#pragma once

#include <deque>
#include <string>
#include <vector>

namespace kel {

// The lines of a TARN text being built object by object, with two blanks of indentation per
// open object. Headers are written "TYPE : name"; an END line repeats its header as a comment
// ("END # TYPE : name", the trailing ": " of an unnamed header dropped). Lines are kept
// without line ends. Value type; not synchronised.
class TemplateWriter {
public:
    void beginObject(const std::string& type, const std::string& name);
    // Closes the innermost open object; does nothing when none is open.
    void endObject();
    void writeParam(const std::string& key, const std::string& value);
    // The values joined with "," and no blanks.
    void writeListParam(const std::string& key, const std::vector<std::string>& values);
    // An indented "# text" line.
    void writeComment(const std::string& text);
    // An empty line, without indentation.
    void writeBlankLine();

    const std::vector<std::string>& lines() const { return m_lines; }

private:
    std::vector<std::string> m_lines;
    std::string m_indent;
    std::deque<std::string> m_openHeaders;
    int m_level = 0;
};

}  // namespace kel
