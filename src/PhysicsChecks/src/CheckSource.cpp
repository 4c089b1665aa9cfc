#include <kel/physicschecks/CheckSource.h>

namespace kel {

CheckSource::~CheckSource() = default;

}  // namespace kel
