#pragma once

#include <string>

#include <kel/exception/SourceLocation.h>

namespace kel {

class TARNDatastore;

// Gives an error met while data was read the place of the item it is about. Called inside
// a catch block, each rethrows the exception being handled:
// - a PhysicsException (any kind) itself, with the location and object path filled in
//   where it carries none (a position its thrower knew is kept);
// - a plain std::runtime_error as a PhysicsException with the same what() text, the
//   location and the object path;
// - anything else unchanged, so that its own type is kept.
// The datastore form locates the parameter `key` of the object at objectPath when a key is
// given and the store knows where it was written, else the object; a store that keeps no
// positions gives an empty location. Outside a catch block they throw std::logic_error.
// Thread-safety: that of the datastore's const questions.
[[noreturn]] void rethrowLocated(const TARNDatastore& data, const std::string& objectPath,
                                 const std::string& key = std::string());
[[noreturn]] void rethrowLocated(const SourceLocation& location, const std::string& objectPath);

}  // namespace kel
