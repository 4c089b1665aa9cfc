// A host application in miniature, built against the libraries as a user would build it
// (installed package, pkg-config, or sub-project). It loads RULES, PHYSICS and a model from
// the folder named on the command line and asks, for every object of the model, which
// parameters are available and what values each may take.
//
// Usage: host EXAMPLES_DIR. Exit 0 when at least one parameter was offered, 1 otherwise.
#include <kel/physicschecks/EvalContext.h>
#include <kel/physicschecks/PhysicsFunctionStore.h>
#include <kel/physicsdata/beta/BetaPhysicsManager.h>
#include <kel/physicsdata/dependency/ObjDependDef.h>
#include <kel/physicsdata/dependency/PACursor.h>
#include <kel/physicsdata/dependency/ParamAvail.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/InternalTARNDatastore.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNModel.h>

#include <exception>
#include <iostream>
#include <string>
#include <tuple>
#include <vector>

using namespace kel;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: host EXAMPLES_DIR\n";
        return 2;
    }
    const std::string dir = argv[1];
    try {
        InternalTARNDatastore rulesData(dir + "/rules.tarn", InternalTARNDatastore::FILE);
        ModelRules rules(&rulesData);
        InternalTARNDatastore physicsData(dir + "/physics.tarn", InternalTARNDatastore::FILE);
        PhysicsFunctionStore functions;
        BetaPhysicsManager beta;
        PhysicsData physics(&physicsData, &rules, &functions, &beta);
        auto model = TARNModel::fromFile(dir + "/model.tarn");
        EvalContext eval(*model);

        int offered = 0;
        std::vector<std::string> pending = model->getChildObjectPaths("");
        while (!pending.empty()) {
            const TARNContext object(pending.back());
            pending.pop_back();
            for (auto& child : model->getChildObjectPaths(object.getFullPath()))
                pending.push_back(child);

            const ObjDependDef* def = physics.getObjDependDef(object.getTypePath(), false);
            if (!def) continue;
            const std::string& option = model->getParameterValue(
                object.getFullPath(), rules.getContextRuleParam(object.getObjectType()));
            PACursor cursor;
            for (auto [record, applicable] = def->firstParamAvail(cursor); record;
                 std::tie(record, applicable) = def->nextParamAvail(cursor, option)) {
                if (!applicable || !record->evaluate(object, &eval)) continue;
                const ParamValueDef* values =
                    physics.getParamValueDef(object.getTypePath(), record->getName(), false);
                std::cout << object.getFullPath() << ": " << record->getName();
                if (values) {
                    ParamAllowedValues allowed =
                        values->evaluateAllowedValues(&rules, object, &eval);
                    std::cout << " = " << values->evaluateDefault(&rules, object, &eval, allowed);
                }
                std::cout << '\n';
                ++offered;
            }
        }
        std::cout << "host: " << offered << " parameters offered\n";
        return offered > 0 ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "host: " << e.what() << '\n';
        return 1;
    }
}
