#include <kel/physicsdata/query/ModelDefaultFiller.h>

#include <algorithm>

#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/query/ObjectQuery.h>
#include <kel/physicsutils/ModelTARN.h>
#include <kel/physicsutils/TARNPath.h>

namespace kel {

ModelDefaultFiller::ModelDefaultFiller(const PhysicsData& physics) : m_physics(physics) {}

std::vector<std::string> ModelDefaultFiller::fill(ModelTARN& model) const {
    std::vector<std::string> filled;
    ObjectQuery query(m_physics, model);
    std::vector<std::string> pending = model.getChildObjectPaths("");
    std::reverse(pending.begin(), pending.end());
    while (!pending.empty()) {
        const std::string path = std::move(pending.back());
        pending.pop_back();
        if (!m_physics.getObjDependDef(TARNPath(path).getTypePath(), false)) continue;

        // Each pass sets at least one parameter, and a parameter once set stays set, so the
        // passes end.
        for (bool changed = true; changed;) {
            changed = false;
            const ObjectAnswer answer = query.ask(path);
            for (const auto& param : answer.parameters) {
                if (!param.required || !param.available || param.defaultValue.empty() ||
                    model.hasParameter(path, param.name))
                    continue;
                model.setParameterValue(path, param.name, param.defaultValue);
                filled.push_back(path + "/" + param.name);
                changed = true;
                // What is available may depend on the context rule value just set.
                if (param.contextRule) break;
            }
        }
        std::vector<std::string> children = model.getChildObjectPaths(path);
        pending.insert(pending.end(), std::make_move_iterator(children.rbegin()),
                       std::make_move_iterator(children.rend()));
    }
    return filled;
}

}  // namespace kel
