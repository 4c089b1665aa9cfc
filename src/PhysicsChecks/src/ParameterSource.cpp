#include "ParameterSource.h"

#include <kel/physicsutils/ModelTARN.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNPath.h>
#include <kel/utilities/StringUtilities.h>

#include "ProductKeys.h"

namespace kel {

namespace {
const std::string kParameter = "Parameter";
const std::string kObjectType = "Object Type";
const std::string kObjectPath = "Object Path";
const std::string kEmpty;
}  // namespace

void ParameterSource::read(const ProductKeys& keys) {
    m_parameter = keys.required(kParameter);
    const std::string* type = keys.optional(kObjectType);
    const std::string* path = keys.optional(kObjectPath);
    if (type && path) keys.fail(kObjectPath, "cannot be given together with \"Object Type\"");
    if (type) {
        m_objectType = keys.required(kObjectType);
        keys.verifyType(kObjectType, m_objectType);
        keys.verifyContextType(kObjectType, m_objectType);
        m_knownType = m_objectType;
    } else if (path) {
        TARNPath parsed(keys.required(kObjectPath));
        if (parsed.empty()) keys.fail(kObjectPath, "is not an object path");
        m_objectPath = parsed.getFullPath();
        keys.verifyPath(kObjectPath, m_objectPath);
        m_knownType = parsed.getLastType();
    }
    if (!m_knownType.empty()) keys.verifyParam(kParameter, m_knownType, m_parameter);
}

bool ParameterSource::objectPath(const TARNContext& context, std::string& path) const {
    const TARNPath& components = context.getPath();
    std::size_t n = components.size();
    std::size_t i = n;
    while (i > 0 && components.getType(i - 1) != m_objectType)
        --i;
    if (i == 0) return false;
    // The full path is the concatenation of "/TYPE" or "/TYPE:name" components: cut it
    // after the i-th one.
    const std::string& full = context.getFullPath();
    if (i == n) {
        path = full;
        return true;
    }
    std::size_t length = 0;
    for (std::size_t k = 0; k < i; ++k) {
        length += 1 + components.getType(k).size();
        if (!components.getName(k).empty()) length += 1 + components.getName(k).size();
    }
    path.assign(full, 0, length);
    return true;
}

const std::string& ParameterSource::value(const TARNContext& context,
                                          const ModelTARN& model) const {
    if (!m_objectPath.empty()) return model.getParameterValue(m_objectPath, m_parameter);
    if (m_objectType.empty()) return model.getParameterValue(context.getFullPath(), m_parameter);
    if (context.getObjectType() == m_objectType)
        return model.getParameterValue(context.getFullPath(), m_parameter);
    std::string path;
    if (!objectPath(context, path)) return kEmpty;
    return model.getParameterValue(path, m_parameter);
}

bool ParameterSource::isSet(const TARNContext& context, const ModelTARN& model) const {
    if (!m_objectPath.empty()) return model.hasParameter(m_objectPath, m_parameter);
    if (m_objectType.empty()) return model.hasParameter(context.getFullPath(), m_parameter);
    std::string path;
    if (!objectPath(context, path)) return false;
    return model.hasParameter(path, m_parameter);
}

std::set<std::string> ParameterSource::requiredContext() const {
    if (m_objectType.empty()) return {};
    return {m_objectType};
}

}  // namespace kel
