#include <kel/physicschecks/List.h>

#include <kel/physicschecks/ProductTypeInfo.h>

namespace kel {

List::~List() = default;

const ProductTypeInfo& List::productKind() {
    static const ProductTypeInfo kind("LIST");
    return kind;
}

}  // namespace kel
