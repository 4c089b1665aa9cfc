#include <kel/physicsutils/ParentContextRules.h>

namespace kel {

ParentContextRules::~ParentContextRules() = default;

}  // namespace kel
