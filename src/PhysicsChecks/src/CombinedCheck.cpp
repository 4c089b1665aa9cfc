#include "CombinedCheck.h"

#include <kel/physicschecks/CheckDataSource.h>
#include <kel/physicschecks/CheckExplanation.h>
#include <kel/utilities/StringUtilities.h>

#include "ProductKeys.h"

namespace kel {

void CombinedCheck::initialise(const std::string& name, const ParameterMap& map,
                               DataVerifyInterface* verify) {
    m_name = name;
    ProductKeys keys(className(), Check::productKind().kind(IDStyle::Upper), name, map, verify);
    m_names = keys.requiredList("Check List");
    if (requiredCount() != 0 && m_names.size() != requiredCount())
        keys.fail("Check List", "must name exactly " +
                                    StringUtilities::toString(static_cast<int>(requiredCount())) +
                                    " check(s) but names " +
                                    StringUtilities::vectorToString(m_names, ','));
}

void CombinedCheck::setUnresolved(const CheckDataSource* source) {
    if (!source)
        throw std::invalid_argument(std::string(className()) + "::setUnresolved - CHECK \"" +
                                    m_name + "\": no data source given.");
    std::vector<Check*> checks;
    checks.reserve(m_names.size());
    for (const std::string& name : m_names)
        checks.push_back(source->getCheck(name, true));
    m_checks = std::move(checks);
    forgetRequiredContext();
    m_cacheable = -1;
}

const std::vector<Check*>& CombinedCheck::checks() const {
    if (m_checks.size() != m_names.size())
        throw std::logic_error(std::string(className()) + "::evaluate - CHECK \"" + m_name +
                               "\": its checks have not been resolved.");
    return m_checks;
}

std::set<std::string> CombinedCheck::computeRequiredContext() const {
    std::set<std::string> context;
    for (const Check* check : m_checks) {
        if (!check) continue;
        std::set<std::string> more = check->getRequiredContext();
        context.insert(more.begin(), more.end());
    }
    return context;
}

bool CombinedCheck::explainUntil(bool decisive, const TARNContext& context,
                                 EvalContext* evalContext, CheckExplanation& why) const {
    if (!evalContext)
        throw std::invalid_argument(std::string(className()) + "::explain - CHECK \"" + m_name +
                                    "\": no evaluation context given.");
    EvalCache& cache = *evalContext->getCache();
    EvalCache::PassScope pass(cache);
    const std::string& path = context.getFullPath();
    const std::vector<Check*>& list = checks();
    bool result = !decisive;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const bool last = i + 1 == list.size();
        // A check already known not to decide needs no explanation unless it is the last.
        const std::optional<bool> known = cache.passLookup(list[i], path);
        if (known && *known != decisive && !last) continue;
        result = list[i]->explain(context, evalContext, why);
        cache.passStore(list[i], path, result);
        if (result == decisive) break;
    }
    return result;
}

bool CombinedCheck::isCacheable() const {
    if (m_cacheable < 0) {
        if (m_checks.size() != m_names.size()) return false;
        bool cacheable = true;
        for (const Check* check : m_checks) {
            auto* product = dynamic_cast<const CatalogueProduct*>(check);
            if (!product || !product->isCacheable()) {
                cacheable = false;
                break;
            }
        }
        m_cacheable = cacheable ? 1 : 0;
    }
    return m_cacheable == 1;
}

}  // namespace kel
