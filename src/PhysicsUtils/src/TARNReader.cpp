#include <kel/physicsutils/TARNReader.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
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

// The position of the first '=' or ':' in s, or s.size(): eight bytes at a time while
// neither is among them.
std::size_t findSeparator(std::string_view s) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    const auto hasZeroByte = [](std::uint64_t v) { return (v - kOnes) & ~v & kHighs; };
    std::size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
        std::uint64_t v;
        std::memcpy(&v, s.data() + i, 8);
        const std::uint64_t found = hasZeroByte(v ^ (kOnes * '=')) | hasZeroByte(v ^ (kOnes * ':'));
        if (found == 0) continue;
        // In memory order the lowest flagged byte is a match (flags above it may be false).
        if constexpr (std::endian::native == std::endian::little)
            return i + static_cast<std::size_t>(std::countr_zero(found) >> 3);
        break;
    }
    while (i < s.size() && s[i] != '=' && s[i] != ':')
        ++i;
    return i;
}

// The first byte from p on that is not a space, or end: eight bytes at a time, for the
// indentation that starts nearly every line.
const char* skipSpaces(const char* p, const char* end) {
    constexpr std::uint64_t kSpaces = 0x2020202020202020ull;
    while (end - p >= 8) {
        std::uint64_t v;
        std::memcpy(&v, p, 8);
        v ^= kSpaces;
        if (v != 0) {
            const int bits = std::endian::native == std::endian::little ? std::countr_zero(v)
                                                                        : std::countl_zero(v);
            return p + (bits >> 3);
        }
        p += 8;
    }
    while (p < end && *p == ' ')
        ++p;
    return p;
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

// One reading pass. Open objects are a stack of views of their headers (kept for the
// "missing END" message), so nothing recurses and opening an object costs no allocation
// once the stack has grown.
class Reader {
public:
    Reader(std::string_view text, const std::string& source, TARNReader::Sink& sink)
        : m_text(text), m_source(source), m_sink(sink) {}

    void run() {
        const char* const begin = m_text.data();
        const char* const end = begin + m_text.size();
        const char* pos = begin;
        if (m_text.substr(0, 3) == "\xEF\xBB\xBF") pos += 3;
        std::uint32_t lineNo = 0;
        bool joining = false;
        TARNReader::Position joinStart{0, 0};
        while (pos < end) {
            const char* lineBegin = pos;
            const void* nl = std::memchr(pos, '\n', static_cast<std::size_t>(end - pos));
            const char* lineEnd = nl ? static_cast<const char*>(nl) : end;
            pos = lineEnd + 1;
            ++lineNo;
            const char* first = skipSpaces(lineBegin, lineEnd);
            while (first < lineEnd && isBlank(*first))
                ++first;
            const char* last = lineEnd;
            while (last > first && isBlank(last[-1]))
                --last;
            std::string_view line(first, static_cast<std::size_t>(last - first));
            const TARNReader::Position at{lineNo,
                                          static_cast<std::uint32_t>(first - lineBegin) + 1};
            if (!joining && (line.empty() || line[0] == '#')) continue;
            if (!line.empty() && line.back() == '\\') {
                if (!joining) {
                    m_joined.clear();
                    joinStart = at;
                    joining = true;
                }
                m_joined.append(line.substr(0, line.size() - 1));
                continue;
            }
            if (joining) {
                joining = false;
                m_joined.append(line);
                // The pieces are trimmed lines, so the joined line starts where the first did.
                std::string_view joined = trim(m_joined);
                // A joined line that starts with '#' is a comment like any other.
                if (!joined.empty() && joined[0] != '#') handleLine(joined, joinStart);
            } else {
                handleLine(line, at);
            }
        }
        if (joining) fail({lineNo, 0}, "continuation at end of input");
        if (!m_open.empty()) {
            const Open& open = m_open.back();
            std::string what(open.type);
            if (!open.name.empty()) what.append(": ").append(open.name);
            fail({lineNo, 0},
                 "missing END for " + what + " opened at line " + std::to_string(open.line));
        }
    }

private:
    // An open object, for the "missing END" message: views of the text, or of copies kept
    // here for a header written on continued lines.
    struct Open {
        std::string_view type;
        std::string_view name;
        std::uint32_t line;
    };

    std::string_view keep(std::string_view text) {
        if (text.empty() || (text.data() >= m_text.data() &&
                             text.data() + text.size() <= m_text.data() + m_text.size()))
            return text;
        return m_kept.emplace_back(text);
    }

    [[noreturn]] void fail(TARNReader::Position at, const std::string& message) const {
        throw PhysicsException(m_source + ":" + std::to_string(at.line) + ": " + message,
                               SourceLocation(m_source, at.line, at.column));
    }

    static bool isEndLine(std::string_view line) {
        if (line.size() < 3 || line[0] != 'E' || line[1] != 'N' || line[2] != 'D') return false;
        if (line.size() == 3) return true;
        if (!isBlank(line[3]) && line[3] != '#') return false;
        // "END = x" and "END: x" are a parameter and a header.
        std::string_view rest = trimLeft(line.substr(3));
        return rest.empty() || (rest[0] != '=' && rest[0] != ':');
    }

    // line is trimmed, not empty and not a comment.
    void handleLine(std::string_view line, TARNReader::Position at) {
        if (line[0] == 'E' && isEndLine(line)) {
            if (m_open.empty()) fail(at, "END with no open object");
            m_sink.endObject();
            m_open.pop_back();
            return;
        }
        const std::size_t sep = findSeparator(line);
        if (sep == line.size()) {
            fail(at, "unrecognised line " + excerpt(line) +
                         " (expected \"TYPE: name\", \"Key = value\" or \"END\")");
        }
        std::string_view head = trimRight(line.substr(0, sep));
        std::string_view tail = trimLeft(line.substr(sep + 1));
        if (line[sep] == '=') {
            if (m_open.empty()) fail(at, "parameter outside any object");
            if (head.empty()) fail(at, "empty parameter key");
            m_sink.parameter(head, tail, at);
            return;
        }
        if (head.empty()) fail(at, "empty object type");
        if (head.find('/') != std::string_view::npos)
            fail(at, "'/' in object type " + excerpt(head));
        if (tail == head) tail = {};
        if (tail.find('/') != std::string_view::npos)
            fail(at, "'/' in object name " + excerpt(tail));
        m_open.push_back({keep(head), keep(tail), at.line});
        m_sink.beginObject(head, tail, at);
    }

    std::string_view m_text;
    const std::string& m_source;
    TARNReader::Sink& m_sink;
    std::vector<Open> m_open;  // open objects, outermost first
    std::deque<std::string> m_kept;
    std::string m_joined;  // a logical line built from continued lines
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

void TARNReader::read(std::string_view text, const std::string& source, Sink& sink) {
    Reader(text, source, sink).run();
}

void TARNReader::readFile(const std::string& fileName, Sink& sink) {
    const std::string text = loadFile(fileName);
    read(text, fileName, sink);
}

std::string TARNReader::loadFile(const std::string& fileName) {
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
    return text;
}

}  // namespace kel
