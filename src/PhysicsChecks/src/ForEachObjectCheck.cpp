#include "ForEachObjectCheck.h"

#include <stdexcept>

#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/CheckDataSource.h>
#include <kel/physicschecks/EvalContext.h>
#include <kel/physicschecks/ProductTypeInfo.h>
#include <kel/physicsutils/TARNContext.h>

#include "ModelScan.h"
#include "ProductKeys.h"

namespace kel {

void ForEachObjectCheck::initialise(const std::string& name, const ParameterMap& map,
                                    DataVerifyInterface* verify) {
    m_name = name;
    ProductKeys keys("ForEachObjectCheck", GlobalCheck::productKind().kind(IDStyle::Upper), name,
                     map, verify);
    m_type = keys.required("Object Type");
    keys.verifyType("Object Type", m_type);
    m_checkName = keys.required("Check");
    m_message = keys.required("Message");
}

void ForEachObjectCheck::setUnresolved(const CheckDataSource* source) {
    if (!source)
        throw std::invalid_argument("ForEachObjectCheck::setUnresolved - GLOBAL CHECK \"" + m_name +
                                    "\": no data source given.");
    m_check = source->getCheck(m_checkName, true);
}

std::vector<std::string> ForEachObjectCheck::evaluate(const ModelTARN& model) {
    if (!m_check)
        throw std::logic_error("ForEachObjectCheck::evaluate - GLOBAL CHECK \"" + m_name +
                               "\": its check has not been resolved.");
    std::vector<std::string> messages;
    EvalContext evalContext(model);
    for (const std::string& path : ModelScan::objectsOfType(model, m_type))
        if (!m_check->evaluate(TARNContext(path), &evalContext))
            messages.push_back(m_message + " (" + path + ")");
    return messages;
}

}  // namespace kel
