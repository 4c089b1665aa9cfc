#include <kel/physicsutils/PhysicsStrings.h>

namespace kel {

const std::string PhysicsStrings::s_Type = "Type";
const std::string PhysicsStrings::s_Beta = "Beta";

}  // namespace kel
