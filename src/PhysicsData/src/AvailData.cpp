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
    // One three-way comparison per field: the proxies' map asks this on every look-up.
    if (const int order = checkName.compare(other.checkName); order != 0) return order < 0;
    if (type != other.type) return type < other.type;
    switch (type) {
        case OBJ_AVAIL:
            return childType.compare(other.childType) < 0;
        case PARAM_AVAIL:
            return paramName.compare(other.paramName) < 0;
        case PARAM_VAL_AVAIL:
            if (const int order = paramName.compare(other.paramName); order != 0) return order < 0;
            return paramValue.compare(other.paramValue) < 0;
    }
    assert(0);
    return false;
}

}  // namespace kel
