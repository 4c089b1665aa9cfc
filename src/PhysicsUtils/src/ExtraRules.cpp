#include <kel/physicsutils/ExtraRules.h>

namespace kel {

ExtraRules::~ExtraRules() = default;

}  // namespace kel
