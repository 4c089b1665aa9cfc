#pragma once

#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/EvalContext.h>
#include <kel/physicschecks/ProductTypeInfo.h>
#include <kel/physicsutils/TARNContext.h>

#include "CatalogueProduct.h"

namespace kel {

// Common part of the engine's checks: the name, empty defaults for the queries, and
// evaluate with the result cache in front of doEvaluate. Base is Check or BetaCheck.
// Results are cached per (check, object path), or per check alone when
// dependsOnObject() is false; uncacheable checks (and every check while the cache is off)
// run once per pass of the evaluation cache.
template <class Base = Check>
class CheckBase : public Base, public CatalogueProduct {
public:
    const std::string& getName() const override { return m_name; }
    // Computed once and kept: products naming others share them, so recomputing would
    // cost as many times as there are paths through the dependency graph.
    std::set<std::string> getRequiredContext() const final {
        if (!m_requiredContext) m_requiredContext = computeRequiredContext();
        return *m_requiredContext;
    }
    std::vector<std::string> getCheckNamesDependOn() const override { return {}; }
    std::vector<std::string> getListNamesDependOn() const override { return {}; }
    void setUnresolved(const CheckDataSource*) override {}

    bool evaluate(const TARNContext& context, EvalContext* evalContext) final {
        if (!evalContext)
            throw std::invalid_argument("Check::evaluate - CHECK \"" + m_name +
                                        "\": no evaluation context given.");
        EvalCache& cache = *evalContext->getCache();
        EvalCache::PassScope pass(cache);
        const bool cached = cache.enabled() && isCacheable();
        const std::string& key = dependsOnObject() ? context.getFullPath() : noObject();
        std::optional<bool> hit = cached ? cache.lookup(this, key) : cache.passLookup(this, key);
        if (hit) return *hit;
        bool result = doEvaluate(context, *evalContext);
        if (cached)
            cache.store(this, key, result);
        else if (pass.nested())
            cache.passStore(this, key, result);
        return result;
    }

    bool isCacheable() const override { return true; }

protected:
    virtual bool doEvaluate(const TARNContext& context, EvalContext& evalContext) = 0;
    // False when the result is the same for every object of the model.
    virtual bool dependsOnObject() const { return true; }

    virtual std::set<std::string> computeRequiredContext() const { return {}; }
    // For setUnresolved: what the product names has changed.
    void forgetRequiredContext() { m_requiredContext.reset(); }

    std::string m_name;

private:
    mutable std::optional<std::set<std::string>> m_requiredContext;

    static const std::string& noObject() {
        static const std::string empty;
        return empty;
    }
};

}  // namespace kel
