#pragma once

#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <kel/physicschecks/EvalContext.h>
#include <kel/physicschecks/List.h>
#include <kel/physicschecks/ProductTypeInfo.h>
#include <kel/physicsutils/TARNContext.h>

namespace kel {

// Common part of the engine's lists: the name, empty defaults for the queries, and
// evaluate refusing a missing evaluation context and answering a list reached again
// within one pass of the evaluation cache from the pass's memo.
class ListBase : public List {
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

    std::vector<std::string> evaluate(const TARNContext& context, EvalContext* evalContext) final {
        if (!evalContext)
            throw std::invalid_argument("List::evaluate - LIST \"" + m_name +
                                        "\": no evaluation context given.");
        // Lists are not cached; within one pass each is evaluated once per object.
        EvalCache& cache = *evalContext->getCache();
        EvalCache::PassScope pass(cache);
        const std::string& key = context.getFullPath();
        if (const std::vector<std::string>* hit = cache.passLookupValues(this, key)) return *hit;
        std::vector<std::string> values = doEvaluate(context, *evalContext);
        if (pass.nested()) cache.passStoreValues(this, key, values);
        return values;
    }

protected:
    virtual std::vector<std::string> doEvaluate(const TARNContext& context,
                                                EvalContext& evalContext) = 0;

    virtual std::set<std::string> computeRequiredContext() const { return {}; }
    // For setUnresolved: what the product names has changed.
    void forgetRequiredContext() { m_requiredContext.reset(); }

    std::string m_name;

private:
    mutable std::optional<std::set<std::string>> m_requiredContext;
};

}  // namespace kel
