#pragma once

// Helpers every suite may use: the message an operation fails with and where it places
// the fault, parameter maps and TARN text written compactly, and an environment switch held
// for a scope. It also brings in the test framework, the standard headers and the matchers
// most suites use, so that each suite names only what is particular to it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kel {
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StrEq;
using ::testing::ThrowsMessage;
using Strings = std::vector<std::string>;
}  // namespace kel

namespace kel::test {

// The message of the E that f() throws, or "" when it returns. Any other exception passes
// through, so a wrong exception type fails the test that asked.
template <class E = std::exception, class F>
std::string errorOf(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.what();
    }
    return "";
}

// Where the E that f() throws places its fault, as "location objectPath" (E being a
// PhysicsException or like it), or "no exception" when f() returns.
template <class E, class F>
std::string placeOf(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e.location().toString() + " " + e.objectPath();
    }
    return "no exception";
}

// A parameter map written the way a datastore object holds it, one "Key = value" per item,
// items separated by ';': "Type = Constant; Value = true". Keys and values are trimmed; a
// value may be empty ("Key ="). Neither may hold ';'.
inline std::map<std::string, std::string> params(std::string_view text) {
    const auto trim = [](std::string_view s) {
        const auto first = s.find_first_not_of(' ');
        if (first == std::string_view::npos) return std::string();
        return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
    };
    std::map<std::string, std::string> map;
    while (!text.empty()) {
        const std::string_view item = text.substr(0, text.find(';'));
        text.remove_prefix(std::min(text.size(), item.size() + 1));
        const auto eq = item.find('=');
        if (eq == std::string_view::npos) throw std::invalid_argument(std::string(item));
        map[trim(item.substr(0, eq))] = trim(item.substr(eq + 1));
    }
    return map;
}

// TARN text in which an object whose body is only keys may be written on one line:
// "TYPE: name { Key = value; Key = value }" stands for the header, one key per line and
// END. The braces may also span lines, items then ending at ';' or a line end. All other
// text is passed on unchanged, so nested objects keep their TARN layout around such ones.
inline std::string tarn(std::string_view text) {
    std::string out;
    while (!text.empty()) {
        const auto open = text.find('{');
        const auto close = text.find('}', open);
        if (open == std::string_view::npos || close == std::string_view::npos) break;
        out += text.substr(0, open);
        out.erase(out.find_last_not_of(' ') + 1);
        out += '\n';
        std::string_view body = text.substr(open + 1, close - open - 1);
        while (!body.empty()) {
            const auto end = std::min(body.find(';'), body.find('\n'));
            const std::string_view item = body.substr(0, end);
            body.remove_prefix(std::min(body.size(), item.size() + 1));
            const auto first = item.find_first_not_of(' ');
            if (first != std::string_view::npos)
                (out += item.substr(first, item.find_last_not_of(' ') + 1 - first)) += '\n';
        }
        out += "END";
        text.remove_prefix(close + 1);
    }
    return out += text;
}

// Sets (to "1") or removes an environment variable for its own lifetime, then restores it.
// Not copyable; not thread-safe (the environment is process-wide).
class EnvGuard {
public:
    EnvGuard(const char* name, bool set) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (set) {
            ::setenv(name, "1", 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~EnvGuard() {
        if (m_old) {
            ::setenv(m_name, m_old->c_str(), 1);
        } else {
            ::unsetenv(m_name);
        }
    }
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// RULES of a ladder: level i holds types A<i> and B<i>, each a child of both types of level
// i - 1, every type with the optional String parameter p. The bottom of n levels has 2^(n-1)
// parent type paths.
inline std::string ladderRules(int levels) {
    std::string text =
        "RULES:\n  PARAMETER: p\n    Parameter Type = String\n  END\n"
        "  SINGLETON: ROOT\n    Optional Child List = A1, B1\n  END\n";
    for (int i = 1; i <= levels; ++i) {
        for (const char* t : {"A", "B"}) {
            text += "  OBJECT: ";
            text += t;
            text += std::to_string(i);
            text += "\n    Optional Parameter List = p\n";
            if (i < levels) {
                text += "    Optional Child List = A";
                text += std::to_string(i + 1);
                text += ", B";
                text += std::to_string(i + 1);
                text += '\n';
            }
            text += "  END\n";
        }
    }
    return text + "END\n";
}

}  // namespace kel::test
