#pragma once

#include <exception>
#include <string>

namespace kel {

// The exception thrown for errors in RULES, PHYSICS or model data. what() is the
// message, which starts with the reporting class and operation ("Class::op - ...").
// Value type; safe to copy and to throw across library boundaries.
class PhysicsException : public std::exception {
public:
    explicit PhysicsException(std::string message);

    const char* what() const noexcept override;
    const std::string& message() const noexcept { return m_message; }

private:
    std::string m_message;
};

}  // namespace kel
