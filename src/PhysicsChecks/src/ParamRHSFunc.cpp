#include <kel/physicschecks/ParamRHSFunc.h>

namespace kel {

ParamRHSFunc::~ParamRHSFunc() = default;

}  // namespace kel
