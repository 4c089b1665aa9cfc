#pragma once

#include <exception>
#include <string>
#include <utility>

#include <kel/exception/SourceLocation.h>
#include <kel/physicsutils/RethrowLocated.h>

namespace kel {

class TARNDatastore;

// Finds where an object or parameter of a datastore was read, for diagnostics: the
// position the TARN reader recorded, or an empty location for a datastore that keeps none
// (one built in memory). Where the data has no position for an item, the location is
// line 1, column 1 of `name` when a name is given (e.g. the file an empty input came
// from), else empty.
//
// Borrows the datastore, which must outlive the locator. Safe for concurrent const use.
class DataLocator {
public:
    explicit DataLocator(const TARNDatastore& data, std::string name = {})
        : m_data(data), m_name(std::move(name)) {}

    SourceLocation object(const std::string& path) const;
    // The parameter's position; the object's when the parameter has none.
    SourceLocation parameter(const std::string& path, const std::string& key) const;
    // The position of what `message` most likely complains about in the object at path:
    // the parameter whose key or whole value the message names (the longest such text),
    // else the parameter whose value holds a text the message quotes, else the parameter
    // with a list item the message names (the longest such item), else the object.
    SourceLocation forMessage(const std::string& path, const std::string& message) const;

private:
    SourceLocation fallback() const;

    const TARNDatastore& m_data;
    std::string m_name;
};

// Runs build for the item of data at path: an error it throws leaves as a data error
// (PhysicsException) located at the key its message names, else the item, and carrying the
// item's path; an error that already carries them keeps them. pathOf() gives the path, and
// is called only when build throws.
template <class PathOf, class Build>
void locatingErrorsAt(const TARNDatastore& data, PathOf&& pathOf, Build&& build) {
    try {
        build();
    } catch (const std::exception& e) {
        const std::string path = pathOf();
        rethrowLocated(DataLocator(data).forMessage(path, e.what()), path);
    }
}

// The same for an item whose path is at hand.
template <class Build>
void locatingErrors(const TARNDatastore& data, const std::string& path, Build&& build) {
    locatingErrorsAt(
        data, [&path] { return path; }, std::forward<Build>(build));
}

}  // namespace kel
