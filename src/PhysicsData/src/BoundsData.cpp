#include <kel/physicsdata/dependency/BoundsData.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include <kel/exception/KELAssertImpl.h>
#include <kel/exception/PhysicsException.h>
#include <kel/physicsutils/TARNParam.h>
#include <kel/utilities/StringUtilities.h>

namespace kel {

namespace {

const char* const kSourceFile = "src/PhysicsData/src/BoundsData";

// The open upper value of a real bound: the largest float below 2^125 (2^125 - 2^101).
float openRealUpper() {
    return std::nextafter(std::ldexp(1.0f, 125), 0.0f);
}

// The texts of the open sides, the same for every bound: made once.
const std::string& openIntText(bool upper) {
    static const std::string lowerText =
        StringUtilities::toString(std::numeric_limits<std::int32_t>::min());
    static const std::string upperText =
        StringUtilities::toString(std::numeric_limits<std::int32_t>::max());
    return upper ? upperText : lowerText;
}

const std::string& openRealText(bool upper) {
    static const std::string lowerText =
        StringUtilities::floatAndUnitsToString(-openRealUpper(), std::string());
    static const std::string upperText =
        StringUtilities::floatAndUnitsToString(openRealUpper(), std::string());
    return upper ? upperText : lowerText;
}

std::string orderingMessage(const std::string& paramName) {
    return "Lower bound > upper bound in \"PARAMETER VALUES\" object " + paramName;
}

}  // namespace

BoundsData::BoundsData() : m_type(Undefined), m_defined(false, false) {}

BoundsData::BoundsData(const std::string& paramName, Type type,
                       const std::pair<std::string, std::string>& bounds)
    : m_type(type), m_defined(false, false) {
    setDefined(bounds);
    if (m_type == Undefined || (!m_defined.first && !m_defined.second)) return;
    switch (m_type) {
        case Integer:
            processIntBounds(paramName, bounds);
            break;
        case Real:
            processRealBounds(paramName, bounds);
            break;
        default:
            KELAssertImpl::assertFail("Attempt to set bounds for undefined parameter type",
                                      kSourceFile, __LINE__);
            break;
    }
}

bool BoundsData::undefined() const {
    return m_type == Undefined || (!m_defined.first && !m_defined.second);
}

bool BoundsData::operator==(const BoundsData& other) const {
    return m_value == other.m_value;
}

bool BoundsData::operator<(const BoundsData& other) const {
    if (m_value.first != other.m_value.first) return m_value.first < other.m_value.first;
    return m_value.second < other.m_value.second;
}

void BoundsData::setDefined(const std::pair<std::string, std::string>& bounds) {
    m_defined = {!bounds.first.empty(), !bounds.second.empty()};
}

void BoundsData::processIntBounds(const std::string& paramName,
                                  const std::pair<std::string, std::string>& bounds) {
    std::int32_t lower = std::numeric_limits<std::int32_t>::min();
    std::int32_t upper = std::numeric_limits<std::int32_t>::max();
    auto read = [&paramName](const std::string& text, std::int32_t& out) {
        auto [number, ok] = TARNParam::valueAsInt(text);
        if (!ok) {
            throw PhysicsException("Invalid integer bound in \"PARAMETER VALUE\" data for " +
                                   paramName);
        }
        out = number;
    };
    if (m_defined.first) read(bounds.first, lower);
    if (m_defined.second) read(bounds.second, upper);
    if (lower > upper) throw PhysicsException(orderingMessage(paramName));
    m_value.first = m_defined.first ? StringUtilities::toString(lower) : openIntText(false);
    m_value.second = m_defined.second ? StringUtilities::toString(upper) : openIntText(true);
}

void BoundsData::processRealBounds(const std::string& paramName,
                                   const std::pair<std::string, std::string>& bounds) {
    float upper = openRealUpper();
    float lower = -upper;
    std::string lowerUnits;
    std::string upperUnits;
    auto read = [&paramName](const std::string& text, float& out, std::string& units) {
        std::string number;
        auto [value, ok] = TARNParam::valueAsFloat(text, number, units);
        if (!ok) {
            throw PhysicsException("Invalid float bound in \"PARAMETER VALUE\" data for " +
                                   paramName);
        }
        out = value;
    };
    if (m_defined.first) read(bounds.first, lower, lowerUnits);
    if (m_defined.second) read(bounds.second, upper, upperUnits);
    // Bounds in different units are not comparable, so they are not checked.
    if (lower > upper && lowerUnits == upperUnits) {
        throw PhysicsException(orderingMessage(paramName));
    }
    m_value.first = m_defined.first ? StringUtilities::floatAndUnitsToString(lower, lowerUnits)
                                    : openRealText(false);
    m_value.second = m_defined.second ? StringUtilities::floatAndUnitsToString(upper, upperUnits)
                                      : openRealText(true);
}

}  // namespace kel
