#include <kel/physicsutils/RethrowLocated.h>

#include <exception>
#include <stdexcept>
#include <typeinfo>

#include <kel/exception/PhysicsException.h>
#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

void rethrowLocated(const TARNDatastore& data, const std::string& objectPath,
                    const std::string& key) {
    SourceLocation location;
    if (!key.empty()) location = data.parameterLocation(objectPath, key);
    if (location.empty()) location = data.objectLocation(objectPath);
    rethrowLocated(location, objectPath);
}

void rethrowLocated(const SourceLocation& location, const std::string& objectPath) {
    const std::exception_ptr error = std::current_exception();
    if (!error) throw std::logic_error("rethrowLocated - no exception is being handled");
    try {
        std::rethrow_exception(error);
    } catch (PhysicsException& e) {
        // Filled in place, so that a more derived exception keeps its type.
        if (e.location().empty()) e.setLocation(location);
        if (e.objectPath().empty()) e.setObjectPath(objectPath);
        throw;
    } catch (const std::runtime_error& e) {
        if (typeid(e) != typeid(std::runtime_error)) throw;
        throw PhysicsException(e.what(), location, objectPath);
    }
}

}  // namespace kel
