#pragma once

#include <string>

#include <kel/physicsutils/TARNParam.h>
#include <kel/physicsutils/TARNPath.h>

namespace kel {

// What a product's initialise may ask about the RULES to validate its keys. The physics
// data supplies the implementation; a product given none skips these checks.
class DataVerifyInterface {
public:
    // Result of verifyParamValue.
    enum ValueCheck : int { ValueOk = 0, ValueBad = 1, ValueNotCheckable = 2 };

    // A path whose types (names ignored) form a valid parent chain.
    virtual bool isValidPath(const TARNPath& path) const = 0;
    virtual bool isValidType(const std::string& type) const = 0;
    // The parameter is allowed on the type under some option.
    virtual bool isAllowedParamAll(const std::string& type, const std::string& param) const = 0;
    // 0 ok, 1 not allowed, 2 cannot be checked.
    virtual int verifyParamValue(const std::string& type, const std::string& param,
                                 const std::string& value) const = 0;
    virtual TARNParam::Type getParamType(const std::string& type,
                                         const std::string& param) const = 0;
    virtual ~DataVerifyInterface();
    // Whether the type is a singleton (unnamed) object type. Only named types count as an
    // object's context, so a product that reads a parameter from the nearest ancestor of
    // its "Object Type" rejects a singleton type there. The default answers false: an
    // implementation that cannot tell accepts every type.
    virtual bool isSingletonType(const std::string& type) const;
};

}  // namespace kel
