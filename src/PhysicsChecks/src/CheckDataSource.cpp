#include <kel/physicschecks/CheckDataSource.h>

namespace kel {

CheckDataSource::~CheckDataSource() = default;

}  // namespace kel
