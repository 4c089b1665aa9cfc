#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kel {

// Reads TARN text in one pass and reports what it finds to a Sink. Syntax:
//
//   # comment                        a line whose first non-blank character is '#'
//   TYPE: name                       opens an object (name empty or equal to TYPE: unnamed)
//   Key = value                      a parameter of the innermost open object
//   END                              closes the innermost object; text after END ignored
//   a line ending in '\'             continues on the next line (leading blanks dropped)
//
// A line's kind is decided by whichever of '=' and ':' comes first. CRLF line ends and a
// UTF-8 byte-order mark are accepted; tabs count as blanks. Errors throw PhysicsException
// with "source:line: " in front and the same position as its location(). The reader is
// iterative: nesting depth is unlimited. Stateless; safe to use from several threads.
class TARNReader {
public:
    // Where a header or parameter line starts: line and column counted from 1. The column is
    // the byte offset of the line's first non-blank character plus one (a tab is one column,
    // a byte-order mark is not counted). A continued line is reported at its first line.
    struct Position {
        std::uint32_t line;
        std::uint32_t column;
    };

    // Receives the content of a text in reading order. The views point into the text given
    // to read() or, for continued lines, into a buffer of the reader that is reused: they
    // are valid only during the call unless they lie within the text.
    class Sink {
    public:
        virtual ~Sink();
        // An object opens under the innermost open object; name is empty for an unnamed one.
        virtual void beginObject(std::string_view type, std::string_view name, Position at) = 0;
        // A parameter of the innermost open object. The value is trimmed, may be empty.
        virtual void parameter(std::string_view key, std::string_view value, Position at) = 0;
        // The innermost open object closes.
        virtual void endObject() = 0;
    };

    // source names the text in messages: a file path, or "<text>".
    static void read(std::string_view text, const std::string& source, Sink& sink);
    // Reads a whole file; a file that cannot be read is an error naming it.
    static void readFile(const std::string& fileName, Sink& sink);
    // The content of a file; a file that cannot be read is an error naming it.
    static std::string loadFile(const std::string& fileName);
};

}  // namespace kel
