#pragma once

#include <cstdint>
#include <string>

namespace kel {

// Names one availability question: which check decides whether a child object type, a
// parameter, or one value of a parameter is available. The beta machinery files its
// proxies under this key (ordered by operator<) and tags its log entries with it
// (compared with operator==).
//
// Plain value type; only the fields that belong to the kind are set, the others stay
// empty. Not synchronised.
struct AvailData {
    enum Type : std::int32_t {
        OBJ_AVAIL = 0,        // availability of a child object type
        PARAM_AVAIL = 1,      // availability of a parameter
        PARAM_VAL_AVAIL = 2,  // availability of one value of a parameter
    };

    AvailData() = default;

    // `subject` is the child type (OBJ_AVAIL) or the parameter name (PARAM_AVAIL,
    // PARAM_VAL_AVAIL); `p_paramValue` is used by PARAM_VAL_AVAIL only and must be empty
    // for the other two kinds. A kind outside the three stores only the check name.
    AvailData(Type type, const std::string& checkName, const std::string& subject,
              const std::string& p_paramValue = std::string());

    // True when the kind and all four strings are equal.
    bool operator==(const AvailData& other) const;

    // Strict ordering: by check name, then by kind, then by the kind's subject (child
    // type, or parameter name and value), all compared byte-wise.
    bool operator<(const AvailData& other) const;

    Type type = OBJ_AVAIL;
    std::string checkName;
    std::string childType;
    std::string paramName;
    std::string paramValue;
};

}  // namespace kel
