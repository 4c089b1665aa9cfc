#include <kel/physicsdata/dependency/AvailData.h>

#include <cassert>

namespace kel {

AvailData::AvailData(Type p_type, const std::string& p_checkName, const std::string& subject,
                     const std::string& p_paramValue)
    : type(p_type), checkName(p_checkName) {
    switch (type) {
        case OBJ_AVAIL:
            assert(p_paramValue.empty());
            childType = subject;
            break;
        case PARAM_AVAIL:
            assert(p_paramValue.empty());
            paramName = subject;
            break;
        case PARAM_VAL_AVAIL:
            paramName = subject;
            paramValue = p_paramValue;
            break;
    }
}

bool AvailData::operator==(const AvailData& other) const {
    return type == other.type && checkName == other.checkName && childType == other.childType &&
           paramName == other.paramName && paramValue == other.paramValue;
}

bool AvailData::operator<(const AvailData& other) const {
    if (checkName != other.checkName) return checkName < other.checkName;
    if (type != other.type) return type < other.type;
    switch (type) {
        case OBJ_AVAIL:
            return childType < other.childType;
        case PARAM_AVAIL:
            return paramName < other.paramName;
        case PARAM_VAL_AVAIL:
            if (paramName != other.paramName) return paramName < other.paramName;
            return paramValue < other.paramValue;
    }
    assert(0);
    return false;
}

}  // namespace kel
