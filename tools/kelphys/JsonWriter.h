#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace kel::tool {

// Writes one JSON document to a stream as it is produced: objects, arrays, strings,
// numbers, bools and null, with keys in the order written. Strings are escaped (quotes,
// backslashes, control characters as \uXXXX; other bytes pass through, so UTF-8 stays
// UTF-8). With indent > 0 the output is pretty-printed, else compact.
//
// The caller keeps the structure balanced: inside an object every value is preceded by
// key(). Misuse (a value without a key in an object, unbalanced ends) throws
// std::logic_error. Not thread-safe; the stream must outlive the writer.
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out, int indent = 2);

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name);

    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& value(const std::string& text) { return value(std::string_view(text)); }
    JsonWriter& value(bool flag);
    JsonWriter& value(std::int64_t number);
    JsonWriter& value(int number) { return value(static_cast<std::int64_t>(number)); }
    JsonWriter& value(double number);
    JsonWriter& null();
    // An array of strings.
    JsonWriter& value(const std::vector<std::string>& items);

    // Ends the document with a line feed; throws if containers are still open.
    void finish();

    // text as a quoted JSON string.
    static std::string quote(std::string_view text);

private:
    struct Level {
        bool isObject;
        bool empty;
    };

    void beforeValue();
    void newline();

    std::ostream& m_out;
    int m_indent;
    std::vector<Level> m_levels;
    bool m_keyPending = false;
    bool m_done = false;
};

}  // namespace kel::tool
