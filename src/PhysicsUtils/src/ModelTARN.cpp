#include <kel/physicsutils/ModelTARN.h>

namespace kel {

ModelTARN::~ModelTARN() = default;

}  // namespace kel
