#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

TARNDatastore::~TARNDatastore() = default;

}  // namespace kel
