#include <kel/physicschecks/DataVerifyInterface.h>

namespace kel {

DataVerifyInterface::~DataVerifyInterface() = default;

}  // namespace kel
