#pragma once

#include "ListBase.h"

namespace kel {

// LIST "Object Names": Object Type, optional Scope: Model (default: every object of the
// type in the model), Children (the evaluated object's children of the type) or Siblings
// (its parent's children of the type, itself excluded). Names in model order.
class ObjectNamesList : public ListBase {
public:
    void initialise(const std::string& name, const ParameterMap& map,
                    DataVerifyInterface* verify) override;

protected:
    std::vector<std::string> doEvaluate(const TARNContext& context,
                                        EvalContext& evalContext) override;

private:
    enum class Scope { Model, Children, Siblings };

    std::string m_type;
    Scope m_scope = Scope::Model;
};

}  // namespace kel
