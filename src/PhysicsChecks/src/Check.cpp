#include <kel/physicschecks/Check.h>

#include <kel/physicschecks/ProductTypeInfo.h>

namespace kel {

Check::~Check() = default;

const ProductTypeInfo& Check::productKind() {
    static const ProductTypeInfo kind("CHECK");
    return kind;
}

}  // namespace kel
