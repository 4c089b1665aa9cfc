#include <kel/physicsutils/TARNReader.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include <kel/exception/PhysicsException.h>

namespace kel {

TARNReader::Sink::~Sink() = default;

namespace {

inline bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view trimLeft(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    return s.substr(i);
}

std::string_view trimRight(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && isBlank(s[n - 1]))
        --n;
    return s.substr(0, n);
}

std::string_view trim(std::string_view s) {
    return trimLeft(trimRight(s));
}

// Line text quoted in a message, shortened so that a huge junk line gives a short message.
std::string excerpt(std::string_view s) {
    constexpr std::size_t kMax = 60;
    std::string out = "\"";
    out.append(s.substr(0, kMax));
    if (s.size() > kMax) out += "...";
    out += '"';
    return out;
}

// One reading pass. Open objects are a stack of parent-path lengths over one path string,
// so nothing recurses and opening an object costs no allocation once the path buffer has
// grown.
class Reader {
public:
    Reader(std::string_view text, const std::string& source, TARNReader::Sink& sink)
        : m_text(text), m_source(source), m_sink(sink) {}

    void run() {
        std::size_t pos = 0;
        if (m_text.substr(0, 3) == "\xEF\xBB\xBF") pos = 3;
        int lineNo = 0;
        bool joining = false;
        int joinStart = 0;
        while (pos < m_text.size()) {
            const char* base = m_text.data() + pos;
            const void* nl = std::memchr(base, '\n', m_text.size() - pos);
            std::size_t len = nl ? static_cast<const char*>(nl) - base : m_text.size() - pos;
            std::string_view line = trim(std::string_view(base, len));
            pos += len + 1;
            ++lineNo;
            if (!joining && (line.empty() || line[0] == '#')) continue;
            if (!line.empty() && line.back() == '\\') {
                if (!joining) {
                    m_joined.clear();
                    joinStart = lineNo;
                    joining = true;
                }
                m_joined.append(line.substr(0, line.size() - 1));
                continue;
            }
            if (joining) {
                joining = false;
                m_joined.append(line);
                std::string_view joined = trim(m_joined);
                // A joined line that starts with '#' is a comment like any other.
                if (!joined.empty() && joined[0] != '#') handleLine(joined, joinStart);
            } else {
                handleLine(line, lineNo);
            }
        }
        if (joining) fail(lineNo, "continuation at end of input");
        if (!m_open.empty()) {
            const Open& open = m_open.back();
            std::string_view component = std::string_view(m_path).substr(open.parentLength + 1);
            std::size_t colon = component.find(':');
            std::string what(component.substr(0, colon));
            if (colon != std::string_view::npos)
                what.append(": ").append(component.substr(colon + 1));
            fail(lineNo,
                 "missing END for " + what + " opened at line " + std::to_string(open.line));
        }
    }

private:
    struct Open {
        std::size_t parentLength;
        int line;
    };

    [[noreturn]] void fail(int line, const std::string& message) const {
        throw PhysicsException(m_source + ":" + std::to_string(line) + ": " + message);
    }

    static bool isEndLine(std::string_view line) {
        if (line.substr(0, 3) != "END") return false;
        if (line.size() == 3) return true;
        if (!isBlank(line[3]) && line[3] != '#') return false;
        // "END = x" and "END: x" are a parameter and a header.
        std::string_view rest = trimLeft(line.substr(3));
        return rest.empty() || (rest[0] != '=' && rest[0] != ':');
    }

    // line is trimmed, not empty and not a comment.
    void handleLine(std::string_view line, int lineNo) {
        if (isEndLine(line)) {
            if (m_open.empty()) fail(lineNo, "END with no open object");
            m_sink.endObject(m_path);
            m_path.resize(m_open.back().parentLength);
            m_open.pop_back();
            return;
        }
        std::size_t sep = 0;
        while (sep < line.size() && line[sep] != '=' && line[sep] != ':')
            ++sep;
        if (sep == line.size()) {
            fail(lineNo, "unrecognised line " + excerpt(line) +
                             " (expected \"TYPE: name\", \"Key = value\" or \"END\")");
        }
        std::string_view head = trimRight(line.substr(0, sep));
        std::string_view tail = trimLeft(line.substr(sep + 1));
        if (line[sep] == '=') {
            if (m_open.empty()) fail(lineNo, "parameter outside any object");
            if (head.empty()) fail(lineNo, "empty parameter key");
            m_sink.parameter(m_path, head, tail, lineNo);
            return;
        }
        if (head.empty()) fail(lineNo, "empty object type");
        if (head.find('/') != std::string_view::npos)
            fail(lineNo, "'/' in object type " + excerpt(head));
        if (tail == head) tail = {};
        if (tail.find('/') != std::string_view::npos)
            fail(lineNo, "'/' in object name " + excerpt(tail));
        m_open.push_back({m_path.size(), lineNo});
        m_path += '/';
        m_path.append(head);
        if (!tail.empty()) {
            m_path += ':';
            m_path.append(tail);
        }
        m_sink.beginObject(m_path, head, tail, lineNo);
    }

    std::string_view m_text;
    const std::string& m_source;
    TARNReader::Sink& m_sink;
    std::string m_path;        // full path of the innermost open object
    std::vector<Open> m_open;  // open objects, outermost first
    std::string m_joined;      // a logical line built from continued lines
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

void TARNReader::read(std::string_view text, const std::string& source, Sink& sink) {
    Reader(text, source, sink).run();
}

void TARNReader::readFile(const std::string& fileName, Sink& sink) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "rb"));
    std::string text;
    bool ok = file != nullptr;
    std::error_code error;
    if (ok && std::filesystem::is_regular_file(fileName, error)) {
        auto size = std::filesystem::file_size(fileName, error);
        if (!error) text.reserve(static_cast<std::size_t>(size));
    }
    if (ok) {
        char buffer[1 << 16];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
            text.append(buffer, n);
        ok = !std::ferror(file.get());
    }
    if (!ok) throw PhysicsException("TARNReader::readFile - cannot read file \"" + fileName + "\"");
    read(text, fileName, sink);
}

}  // namespace kel
