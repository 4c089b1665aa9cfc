#include "BenchData.h"

#include <cstdlib>
#include <map>
#include <vector>

#include <kel/physicschecks/EvalContext.h>
#include <kel/physicsdata/dependency/CACursor.h>
#include <kel/physicsdata/dependency/ChildAvail.h>
#include <kel/physicsdata/dependency/ObjDependDef.h>
#include <kel/physicsdata/dependency/PACursor.h>
#include <kel/physicsdata/dependency/ParamAvail.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsutils/TARNContext.h>

namespace kel::bench {

namespace {

const char* const kValidateVariable = "KEL_PHYSICS_VALIDATE_DATA";

}  // namespace

BenchData::ScopedValidation::ScopedValidation(bool on) {
    const char* old = std::getenv(kValidateVariable);
    m_hadValue = old != nullptr;
    if (old) m_oldValue = old;
    if (on)
        setenv(kValidateVariable, "1", 1);
    else
        unsetenv(kValidateVariable);
}

BenchData::ScopedValidation::~ScopedValidation() {
    if (m_hadValue)
        setenv(kValidateVariable, m_oldValue.c_str(), 1);
    else
        unsetenv(kValidateVariable);
}

BenchData::Host::Host(const SyntheticDataSet& data, bool validate)
    : rulesStore(data.rulesTarn, InternalTARNDatastore::TEXT),
      rules(&rulesStore, extraRules()),
      physicsStore(data.physicsTarn, InternalTARNDatastore::TEXT),
      // The temporary switch lives until the physics data's constructor returns.
      physics((ScopedValidation(validate), &physicsStore), &rules, &functions, &beta),
      model(TARNModel::fromText(data.modelTarn)) {
    beta.enableBetaLogging();
}

const SyntheticDataSet& BenchData::dataSet(int scale) {
    static std::map<int, SyntheticDataSet> cache;
    auto it = cache.find(scale);
    if (it == cache.end()) it = cache.emplace(scale, SyntheticDataSet::generate(scale)).first;
    return it->second;
}

ModelRules::ExtraRulesDef BenchData::extraRules() {
    ModelRules::ExtraRulesDef extra;
    extra.paramRules.stringRules = {"Quantity Type"};
    return extra;
}

BenchData::SweepResult BenchData::sweep(const Host& host, const SyntheticDataSet& data) {
    SweepResult result;
    EvalContext eval(*host.model);
    const ModelRules* rules = &host.rules;
    std::vector<std::string> names;
    for (const SyntheticDataSet::ModelObject& object : data.modelObjects) {
        const ObjDependDef* def = host.physics.getObjDependDef(object.typePath, false);
        if (!def) continue;
        ++result.objects;
        const TARNContext context(object.path);
        const std::string& ruleParam = rules->getContextRuleParam(def->getType());
        const std::string& option =
            ruleParam.empty() ? ruleParam : host.model->getParameterValue(object.path, ruleParam);

        CACursor children;
        for (auto r = def->firstChildAvail(children, option); r.first;
             r = def->nextChildAvail(children)) {
            ++result.childRecords;
            if (!r.second || !r.first->evaluate(context, &eval)) continue;
            ++result.availableChildren;
            if (r.first->areNamesRestricted()) {
                names.clear();
                r.first->evaluateAllowedNames(context, &eval, names);
            }
            if (r.first->anyDefaultNames()) {
                names.clear();
                r.first->evaluateDefaultNames(context, &eval, names);
            }
        }

        PACursor params;
        for (auto r = def->firstParamAvail(params); r.first;
             r = def->nextParamAvail(params, option)) {
            ++result.paramRecords;
            if (!r.second || !r.first->evaluate(context, &eval)) continue;
            ++result.availableParams;
            const ParamValueDef* value =
                host.physics.getParamValueDef(object.typePath, r.first->getName(), false);
            if (!value) continue;
            // The library's calls live in another shared object: they cannot be elided.
            ParamAllowedValues allowed = value->evaluateAllowedValues(rules, context, &eval);
            value->evaluateDefault(rules, context, &eval, allowed);
            value->evaluateValueOverride(rules, context, &eval, allowed);
            value->evaluateBounds(rules, context, &eval);
            result.valueAnswers += 4;
        }
    }
    return result;
}

}  // namespace kel::bench
