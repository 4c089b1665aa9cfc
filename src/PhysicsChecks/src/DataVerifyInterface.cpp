#include <kel/physicschecks/DataVerifyInterface.h>

namespace kel {

DataVerifyInterface::~DataVerifyInterface() = default;

bool DataVerifyInterface::isSingletonType(const std::string&) const {
    return false;
}

}  // namespace kel
