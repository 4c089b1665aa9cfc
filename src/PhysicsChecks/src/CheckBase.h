#pragma once

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
// dependsOnObject() is false; uncacheable checks always run.
template <class Base = Check>
class CheckBase : public Base, public CatalogueProduct {
public:
    const std::string& getName() const override { return m_name; }
    std::set<std::string> getRequiredContext() const override { return {}; }
    std::vector<std::string> getCheckNamesDependOn() const override { return {}; }
    std::vector<std::string> getListNamesDependOn() const override { return {}; }
    void setUnresolved(const CheckDataSource*) override {}

    bool evaluate(const TARNContext& context, EvalContext* evalContext) final {
        if (!evalContext)
            throw std::invalid_argument("Check::evaluate - CHECK \"" + m_name +
                                        "\": no evaluation context given.");
        EvalCache* cache = isCacheable() ? evalContext->getCache() : nullptr;
        if (cache && !cache->enabled()) cache = nullptr;
        const std::string& key = dependsOnObject() ? context.getFullPath() : noObject();
        if (cache)
            if (std::optional<bool> hit = cache->lookup(this, key)) return *hit;
        bool result = doEvaluate(context, *evalContext);
        if (cache) cache->store(this, key, result);
        return result;
    }

    bool isCacheable() const override { return true; }

protected:
    virtual bool doEvaluate(const TARNContext& context, EvalContext& evalContext) = 0;
    // False when the result is the same for every object of the model.
    virtual bool dependsOnObject() const { return true; }

    std::string m_name;

private:
    static const std::string& noObject() {
        static const std::string empty;
        return empty;
    }
};

}  // namespace kel
