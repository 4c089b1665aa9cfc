#pragma once

#include <stdexcept>
#include <string>

#include <kel/exception/SourceLocation.h>

namespace kel {

// The exception thrown for errors in RULES, PHYSICS or model data. what() is the
// message, which starts with the reporting class and operation ("Class::op - ...").
// Besides the message it may carry, as structured fields, where the faulty item was written
// (location()) and the full path of the object concerned (objectPath()); both are empty when
// unknown and never change the message. Code that knows more than the thrower may fill them
// in while the exception passes (catch by reference, set, rethrow). A std::runtime_error,
// so that code catching those catches data errors too.
// Value type; safe to copy and to throw across library boundaries.
class PhysicsException : public std::runtime_error {
public:
    explicit PhysicsException(std::string message);
    PhysicsException(std::string message, SourceLocation location, std::string objectPath = {});

    const char* what() const noexcept override;
    const std::string& message() const noexcept { return m_message; }

    const SourceLocation& location() const noexcept { return m_location; }
    const std::string& objectPath() const noexcept { return m_objectPath; }
    PhysicsException& setLocation(SourceLocation location);
    PhysicsException& setObjectPath(std::string objectPath);

private:
    std::string m_message;
    SourceLocation m_location;
    std::string m_objectPath;
};

}  // namespace kel
