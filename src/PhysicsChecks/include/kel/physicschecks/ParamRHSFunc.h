#pragma once

#include <string>

namespace kel {

class ModelRules;
class ModelTARN;
class ParamAllowedValues;

// What a parameter right-hand-side function is given. rules may be null in callers that
// have none; allowed may be null. References are valid for the call only.
struct ParamRHSArgs {
    const ModelRules* rules;
    const ModelTARN* model;
    const std::string& objectPath;
    const std::string& paramName;
    const ParamAllowedValues* allowed;
};

// A named function that computes a parameter value (a default, say) for a model object.
// Stateless by contract: evaluate is const and may be called from any evaluation.
class ParamRHSFunc {
public:
    // The value, or "" when the function has none to offer.
    virtual std::string evaluate(const ParamRHSArgs& args) const = 0;
    virtual ~ParamRHSFunc();
};

}  // namespace kel
