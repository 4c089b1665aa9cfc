#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace kel::tool {

// Builds one JSON document: objects, arrays, strings, numbers, bools and null, with keys in
// the order written. The document is kept in memory and written to the stream only by
// finish(), whole, so an error while it is built (the writer is then simply dropped) never
// leaves half a document on the stream. Strings are always valid JSON whatever bytes they
// hold: quotes, backslashes and every control character (U+0000-U+001F, U+007F) are
// escaped, valid UTF-8 passes through, and each byte that is not part of a valid UTF-8
// sequence becomes U+FFFD. With indent > 0 the output is pretty-printed, else compact.
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

    // Ends the document with a line feed and writes it to the stream; throws if containers
    // are still open.
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
    std::string m_text;  // the document so far
    int m_indent;
    std::vector<Level> m_levels;
    bool m_keyPending = false;
    bool m_done = false;
};

}  // namespace kel::tool
