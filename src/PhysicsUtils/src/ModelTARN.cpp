#include <kel/physicsutils/ModelTARN.h>

namespace kel {

ModelTARN::~ModelTARN() = default;

SourceLocation ModelTARN::objectLocation(const std::string&) const {
    return {};
}

SourceLocation ModelTARN::parameterLocation(const std::string&, const std::string&) const {
    return {};
}

}  // namespace kel
