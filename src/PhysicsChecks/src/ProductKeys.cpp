#include "ProductKeys.h"

#include <stdexcept>

#include <kel/physicschecks/DataVerifyInterface.h>
#include <kel/physicsutils/TARNPath.h>
#include <kel/utilities/StringUtilities.h>

namespace kel {

ProductKeys::ProductKeys(const char* className, const std::string& kind, const std::string& name,
                         const ParameterMap& map, const DataVerifyInterface* verify)
    : m_className(className), m_kind(kind), m_name(name), m_map(map), m_verify(verify) {}

void ProductKeys::fail(const std::string& key, const std::string& problem) const {
    std::string message(m_className);
    message.append("::initialise - ").append(m_kind).append(" \"").append(m_name);
    message.append("\": key \"").append(key).append("\" ").append(problem).append(".");
    throw std::runtime_error(message);
}

const std::string* ProductKeys::optional(const std::string& key) const {
    auto it = m_map.find(key);
    return it == m_map.end() ? nullptr : &it->second;
}

std::string ProductKeys::required(const std::string& key) const {
    const std::string* value = optional(key);
    if (!value) fail(key, "is missing");
    std::string trimmed = StringUtilities::trim(*value);
    if (trimmed.empty()) fail(key, "is empty");
    return trimmed;
}

std::vector<std::string> ProductKeys::requiredList(const std::string& key) const {
    const std::string* value = optional(key);
    if (!value) fail(key, "is missing");
    std::vector<std::string> items = StringUtilities::splitValueNoEmpty(*value);
    if (items.empty()) fail(key, "is empty");
    return items;
}

void ProductKeys::verifyType(const std::string& key, const std::string& type) const {
    if (m_verify && !m_verify->isValidType(type))
        fail(key, "names an unknown object type \"" + type + "\"");
}

void ProductKeys::verifyContextType(const std::string& key, const std::string& type) const {
    if (m_verify && m_verify->isSingletonType(type))
        fail(key, "names singleton object type \"" + type +
                      "\", but only named object types can be context");
}

void ProductKeys::verifyParam(const std::string& key, const std::string& type,
                              const std::string& param) const {
    if (m_verify && !m_verify->isAllowedParamAll(type, param))
        fail(key, "names parameter \"" + param + "\", which is not allowed on object type \"" +
                      type + "\"");
}

void ProductKeys::verifyValue(const std::string& key, const std::string& type,
                              const std::string& param, const std::string& value) const {
    if (m_verify && m_verify->verifyParamValue(type, param, value) == DataVerifyInterface::ValueBad)
        fail(key, "holds value \"" + value + "\", which is not allowed for parameter \"" + param +
                      "\" of object type \"" + type + "\"");
}

void ProductKeys::verifyPath(const std::string& key, const std::string& path) const {
    if (m_verify && !m_verify->isValidPath(TARNPath(path)))
        fail(key, "names an unknown object path \"" + path + "\"");
}

}  // namespace kel
