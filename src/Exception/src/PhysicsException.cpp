#include <kel/exception/PhysicsException.h>

#include <utility>

namespace kel {

PhysicsException::PhysicsException(std::string message)
    : std::runtime_error(message), m_message(std::move(message)) {}

PhysicsException::PhysicsException(std::string message, SourceLocation location,
                                   std::string objectPath)
    : std::runtime_error(message),
      m_message(std::move(message)),
      m_location(std::move(location)),
      m_objectPath(std::move(objectPath)) {}

const char* PhysicsException::what() const noexcept {
    return m_message.c_str();
}

PhysicsException& PhysicsException::setLocation(SourceLocation location) {
    m_location = std::move(location);
    return *this;
}

PhysicsException& PhysicsException::setObjectPath(std::string objectPath) {
    m_objectPath = std::move(objectPath);
    return *this;
}

}  // namespace kel
