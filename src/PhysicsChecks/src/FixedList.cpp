#include "FixedList.h"

#include <kel/utilities/StringUtilities.h>

#include "ProductKeys.h"

namespace kel {

void FixedList::initialise(const std::string& name, const ParameterMap& map,
                           DataVerifyInterface* verify) {
    m_name = name;
    ProductKeys keys("FixedList", List::productKind().kind(IDStyle::Upper), name, map, verify);
    const std::string* values = keys.optional("Value List");
    if (!values) keys.fail("Value List", "is missing");
    m_values = StringUtilities::splitValueNoEmpty(*values);
}

}  // namespace kel
