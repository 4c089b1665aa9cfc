#pragma once

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
// with "source:line: " in front. The reader is iterative: nesting depth is unlimited.
class TARNReader {
public:
    // Receives the content of a text in reading order.
    class Sink {
    public:
        virtual ~Sink();
        // An object opens. path is its full path (parent's path + "/TYPE:name" or
        // "/TYPE"); name is empty for an unnamed object.
        virtual void beginObject(const std::string& path, std::string_view type,
                                 std::string_view name, int line) = 0;
        // A parameter of the open object at objectPath. The value is trimmed, may be empty.
        virtual void parameter(const std::string& objectPath, std::string_view key,
                               std::string_view value, int line) = 0;
        // The innermost open object closes.
        virtual void endObject(const std::string& path) = 0;
    };

    // source names the text in messages: a file path, or "<text>".
    static void read(std::string_view text, const std::string& source, Sink& sink);
    // Reads a whole file; a file that cannot be read is an error naming it.
    static void readFile(const std::string& fileName, Sink& sink);
};

}  // namespace kel
