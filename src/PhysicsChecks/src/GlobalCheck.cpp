#include <kel/physicschecks/GlobalCheck.h>

#include <kel/physicschecks/ProductTypeInfo.h>

namespace kel {

GlobalCheck::~GlobalCheck() = default;

const ProductTypeInfo& GlobalCheck::productKind() {
    static const ProductTypeInfo kind("GLOBAL CHECK");
    return kind;
}

}  // namespace kel
