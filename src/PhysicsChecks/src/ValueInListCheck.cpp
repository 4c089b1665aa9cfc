#include "ValueInListCheck.h"

#include <algorithm>

#include <kel/physicschecks/CheckDataSource.h>
#include <kel/physicschecks/CheckExplanation.h>
#include <kel/physicschecks/List.h>
#include <kel/utilities/StringUtilities.h>

#include "ProductKeys.h"

namespace kel {

void ValueInListCheck::initialise(const std::string& name, const ParameterMap& map,
                                  DataVerifyInterface* verify) {
    m_name = name;
    ProductKeys keys("ValueInListCheck", Check::productKind().kind(IDStyle::Upper), name, map,
                     verify);
    m_source.read(keys);
    m_listName = keys.required("List");
}

std::set<std::string> ValueInListCheck::computeRequiredContext() const {
    std::set<std::string> context = m_source.requiredContext();
    if (m_list) {
        std::set<std::string> more = m_list->getRequiredContext();
        context.insert(more.begin(), more.end());
    }
    return context;
}

void ValueInListCheck::setUnresolved(const CheckDataSource* source) {
    if (!source)
        throw std::invalid_argument("ValueInListCheck::setUnresolved - CHECK \"" + m_name +
                                    "\": no data source given.");
    m_list = source->getList(m_listName, true);
    forgetRequiredContext();
}

bool ValueInListCheck::doEvaluate(const TARNContext& context, EvalContext& evalContext) {
    if (!m_list)
        throw std::logic_error("ValueInListCheck::evaluate - CHECK \"" + m_name +
                               "\": its LIST has not been resolved.");
    std::string value = StringUtilities::trim(m_source.value(context, evalContext.getDB()));
    std::vector<std::string> values = m_list->evaluate(context, &evalContext);
    return std::find(values.begin(), values.end(), value) != values.end();
}

bool ValueInListCheck::explain(const TARNContext& context, EvalContext* evalContext,
                               CheckExplanation& why) {
    const bool result = evaluate(context, evalContext);
    why = CheckExplanation{
        m_name, "Value In List", {}, m_source.parameter() + " in LIST " + m_listName};
    why.values[m_source.parameter()] = m_source.value(context, evalContext->getDB());
    return result;
}

}  // namespace kel
