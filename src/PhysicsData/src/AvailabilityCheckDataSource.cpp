#include <kel/physicsdata/dependency/AvailabilityCheckDataSource.h>

namespace kel {

AvailabilityCheckDataSource::~AvailabilityCheckDataSource() = default;

}  // namespace kel
