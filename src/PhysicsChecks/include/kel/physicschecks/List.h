#pragma once

#include <set>
#include <string>
#include <vector>

#include <kel/physicsutils/TARNDatastore.h>

namespace kel {

class CheckDataSource;
class DataVerifyInterface;
class EvalContext;
class ProductTypeInfo;
class TARNContext;

// A named list of values computed for one model object (a LIST). Same life cycle,
// ownership and thread-safety as Check.
class List {
public:
    virtual ~List();
    virtual const std::string& getName() const = 0;
    virtual void initialise(const std::string& name, const ParameterMap& map,
                            DataVerifyInterface* verify) = 0;
    virtual std::set<std::string> getRequiredContext() const = 0;
    virtual std::vector<std::string> getCheckNamesDependOn() const = 0;
    virtual std::vector<std::string> getListNamesDependOn() const = 0;
    virtual void setUnresolved(const CheckDataSource* source) = 0;
    virtual std::vector<std::string> evaluate(const TARNContext& context,
                                              EvalContext* evalContext) = 0;

    // "LIST".
    static const ProductTypeInfo& productKind();
};

}  // namespace kel
