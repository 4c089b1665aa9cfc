#include "ObjectNamesList.h"

#include <kel/physicsutils/ModelTARN.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/utilities/StringUtilities.h>

#include "ModelScan.h"
#include "ProductKeys.h"

namespace kel {

void ObjectNamesList::initialise(const std::string& name, const ParameterMap& map,
                                 DataVerifyInterface* verify) {
    m_name = name;
    ProductKeys keys("ObjectNamesList", List::productKind().kind(IDStyle::Upper), name, map,
                     verify);
    m_type = keys.required("Object Type");
    keys.verifyType("Object Type", m_type);
    if (keys.optional("Scope")) {
        std::string scope = keys.required("Scope");
        if (scope == "Model")
            m_scope = Scope::Model;
        else if (scope == "Children")
            m_scope = Scope::Children;
        else if (scope == "Siblings")
            m_scope = Scope::Siblings;
        else
            keys.fail("Scope", "has unknown value \"" + scope + "\" (Model, Children, Siblings)");
    }
}

std::vector<std::string> ObjectNamesList::doEvaluate(const TARNContext& context,
                                                     EvalContext& evalContext) {
    const ModelTARN& model = evalContext.getDB();
    switch (m_scope) {
        case Scope::Children:
            return model.getChildObjectNames(context.getFullPath(), m_type);
        case Scope::Siblings: {
            std::string parent(ModelScan::parentPath(context.getFullPath()));
            std::vector<std::string> names = model.getChildObjectNames(parent, m_type);
            if (context.getObjectType() == m_type) std::erase(names, context.getObjectName());
            return names;
        }
        case Scope::Model:
            break;
    }
    std::vector<std::string> names;
    for (const std::string_view path : evalContext.getCache()->objectsOfType(m_type))
        names.emplace_back(ModelScan::lastName(path));
    return names;
}

}  // namespace kel
