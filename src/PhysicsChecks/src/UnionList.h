#pragma once

#include "ListBase.h"

namespace kel {

// LIST "Union": List Names. The values of the named LISTs in order, each value once.
// The required context is the union of theirs.
class UnionList : public ListBase {
public:
    void initialise(const std::string& name, const ParameterMap& map,
                    DataVerifyInterface* verify) override;
    std::set<std::string> computeRequiredContext() const override;
    std::vector<std::string> getListNamesDependOn() const override { return m_names; }
    void setUnresolved(const CheckDataSource* source) override;

protected:
    std::vector<std::string> doEvaluate(const TARNContext& context,
                                        EvalContext& evalContext) override;

private:
    std::vector<std::string> m_names;
    std::vector<List*> m_lists;
};

}  // namespace kel
