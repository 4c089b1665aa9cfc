#include "ObjectNameFunction.h"

#include <kel/physicsutils/TARNPath.h>

namespace kel {

std::string ObjectNameFunction::evaluate(const ParamRHSArgs& args) const {
    return TARNPath(args.objectPath).getLastName();
}

}  // namespace kel
