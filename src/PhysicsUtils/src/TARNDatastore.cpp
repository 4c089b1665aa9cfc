#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

TARNDatastore::~TARNDatastore() = default;

SourceLocation TARNDatastore::objectLocation(const std::string&) const {
    return {};
}

SourceLocation TARNDatastore::parameterLocation(const std::string&, const std::string&) const {
    return {};
}

}  // namespace kel
