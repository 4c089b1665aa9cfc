#pragma once

#include <string>

#include <kel/physicschecks/CheckSource.h>

namespace kel {

class List;
class GlobalCheck;
class ParamRHSFunc;

// Source of every named check engine object; products resolve their references through
// it in setUnresolved. A miss gives null, or an exception when mustExist. A source is
// usually a temporary: receivers must not keep it.
class CheckDataSource : public CheckSource {
protected:
    ~CheckDataSource() override;

public:
    virtual List* getList(const std::string& name, bool mustExist) const = 0;
    virtual GlobalCheck* getGlobalCheck(const std::string& name, bool mustExist) const = 0;
    virtual const ParamRHSFunc* getParamRHSFunction(const std::string& name,
                                                    bool mustExist) const = 0;
};

}  // namespace kel
