#pragma once

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <kel/physicschecks/EvalContext.h>
#include <kel/physicschecks/List.h>
#include <kel/physicschecks/ProductTypeInfo.h>

namespace kel {

// Common part of the engine's lists: the name, empty defaults for the queries, and
// evaluate refusing a missing evaluation context.
class ListBase : public List {
public:
    const std::string& getName() const override { return m_name; }
    std::set<std::string> getRequiredContext() const override { return {}; }
    std::vector<std::string> getCheckNamesDependOn() const override { return {}; }
    std::vector<std::string> getListNamesDependOn() const override { return {}; }
    void setUnresolved(const CheckDataSource*) override {}

    std::vector<std::string> evaluate(const TARNContext& context, EvalContext* evalContext) final {
        if (!evalContext)
            throw std::invalid_argument("List::evaluate - LIST \"" + m_name +
                                        "\": no evaluation context given.");
        return doEvaluate(context, *evalContext);
    }

protected:
    virtual std::vector<std::string> doEvaluate(const TARNContext& context,
                                                EvalContext& evalContext) = 0;

    std::string m_name;
};

}  // namespace kel
