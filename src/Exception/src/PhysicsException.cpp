#include <kel/exception/PhysicsException.h>

#include <utility>

namespace kel {

PhysicsException::PhysicsException(std::string message) : m_message(std::move(message)) {}

const char* PhysicsException::what() const noexcept { return m_message.c_str(); }

}  // namespace kel
