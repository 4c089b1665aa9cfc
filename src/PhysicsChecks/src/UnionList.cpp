#include "UnionList.h"

#include <unordered_set>

#include <kel/physicschecks/CheckDataSource.h>

#include "ProductKeys.h"

namespace kel {

void UnionList::initialise(const std::string& name, const ParameterMap& map,
                           DataVerifyInterface* verify) {
    m_name = name;
    ProductKeys keys("UnionList", List::productKind().kind(IDStyle::Upper), name, map, verify);
    m_names = keys.requiredList("List Names");
}

std::set<std::string> UnionList::computeRequiredContext() const {
    std::set<std::string> context;
    for (const List* list : m_lists) {
        std::set<std::string> more = list->getRequiredContext();
        context.insert(more.begin(), more.end());
    }
    return context;
}

void UnionList::setUnresolved(const CheckDataSource* source) {
    if (!source)
        throw std::invalid_argument("UnionList::setUnresolved - LIST \"" + m_name +
                                    "\": no data source given.");
    std::vector<List*> lists;
    lists.reserve(m_names.size());
    for (const std::string& name : m_names)
        lists.push_back(source->getList(name, true));
    m_lists = std::move(lists);
    forgetRequiredContext();
}

std::vector<std::string> UnionList::doEvaluate(const TARNContext& context,
                                               EvalContext& evalContext) {
    if (m_lists.size() != m_names.size())
        throw std::logic_error("UnionList::evaluate - LIST \"" + m_name +
                               "\": its lists have not been resolved.");
    std::vector<std::string> values;
    std::unordered_set<std::string> seen;
    for (List* list : m_lists)
        for (std::string& value : list->evaluate(context, &evalContext))
            if (seen.insert(value).second) values.push_back(std::move(value));
    return values;
}

}  // namespace kel
