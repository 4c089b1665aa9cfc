#include "ParameterValuesList.h"

#include <kel/utilities/StringUtilities.h>

#include "ProductKeys.h"

namespace kel {

void ParameterValuesList::initialise(const std::string& name, const ParameterMap& map,
                                     DataVerifyInterface* verify) {
    m_name = name;
    ProductKeys keys("ParameterValuesList", List::productKind().kind(IDStyle::Upper), name, map,
                     verify);
    m_source.read(keys);
}

std::set<std::string> ParameterValuesList::computeRequiredContext() const {
    return m_source.requiredContext();
}

std::vector<std::string> ParameterValuesList::doEvaluate(const TARNContext& context,
                                                         EvalContext& evalContext) {
    return StringUtilities::splitValueNoEmpty(m_source.value(context, evalContext.getDB()));
}

}  // namespace kel
