#pragma once

#include "CheckBase.h"
#include "ParameterSource.h"

namespace kel {

class List;

// CHECK "Value In List": Parameter, List (a LIST name), optional Object Type or Object
// Path. Passes when the parameter's value is among the values the LIST gives for the
// evaluated object. Its required context adds the LIST's to its own.
class ValueInListCheck : public CheckBase<> {
public:
    void initialise(const std::string& name, const ParameterMap& map,
                    DataVerifyInterface* verify) override;
    std::set<std::string> computeRequiredContext() const override;
    std::vector<std::string> getListNamesDependOn() const override { return {m_listName}; }
    void setUnresolved(const CheckDataSource* source) override;
    bool explain(const TARNContext& context, EvalContext* evalContext,
                 CheckExplanation& why) override;

protected:
    bool doEvaluate(const TARNContext& context, EvalContext& evalContext) override;

private:
    ParameterSource m_source;
    std::string m_listName;
    List* m_list = nullptr;
};

}  // namespace kel
