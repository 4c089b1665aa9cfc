#pragma once

#include <string>
#include <vector>

#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

class CheckDataSource;
class DataVerifyInterface;
class ModelTARN;
class ProductTypeInfo;

// A named check over a whole model (a GLOBAL CHECK): initialise, then setUnresolved once,
// then evaluate. Owned by its ProductStore. Not thread-safe.
class GlobalCheck {
public:
    virtual ~GlobalCheck();
    virtual const std::string& getName() const = 0;
    virtual void initialise(const std::string& name, const ParameterMap& map,
                            DataVerifyInterface* verify) = 0;
    virtual void setUnresolved(const CheckDataSource* source) = 0;
    // One message per failing object; empty when the model passes.
    virtual std::vector<std::string> evaluate(const ModelTARN& model) = 0;

    // "GLOBAL CHECK".
    static const ProductTypeInfo& productKind();
};

}  // namespace kel
