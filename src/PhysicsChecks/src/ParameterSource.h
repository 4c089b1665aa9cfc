#pragma once

#include <set>
#include <string>

namespace kel {

class ModelTARN;
class ProductKeys;
class TARNContext;

// Where a product reads a parameter from: the key "Parameter" names it; it is read from
// the evaluated object, or with "Object Type" from its nearest ancestor-or-self of that
// named type (which then is required context; a singleton type is rejected, since only
// named types count as context), or with "Object Path" from the unnamed object at
// that absolute path (no context needed). Value type.
class ParameterSource {
public:
    // Reads and validates the keys; "Object Type" and "Object Path" exclude each other.
    void read(const ProductKeys& keys);

    const std::string& parameter() const { return m_parameter; }
    // The object type the parameter belongs to when known from the keys, else "".
    const std::string& knownType() const { return m_knownType; }
    // True when the value read does not depend on the evaluated object.
    bool isFixedObject() const { return !m_objectPath.empty(); }

    // The parameter's value text, "" when the object or the parameter is absent.
    const std::string& value(const TARNContext& context, const ModelTARN& model) const;
    // Whether the object has the parameter at all.
    bool isSet(const TARNContext& context, const ModelTARN& model) const;

    std::set<std::string> requiredContext() const;

private:
    // Full path of the object to read, or false when there is none on the path.
    bool objectPath(const TARNContext& context, std::string& path) const;

    std::string m_parameter;
    std::string m_objectType;
    std::string m_objectPath;
    std::string m_knownType;
};

}  // namespace kel
