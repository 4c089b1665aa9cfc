#include "QuerySweep.h"

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/EvalContext.h>
#include <kel/physicschecks/GlobalCheck.h>
#include <kel/physicschecks/List.h>
#include <kel/physicsdata/dependency/CACursor.h>
#include <kel/physicsdata/dependency/ChildAvail.h>
#include <kel/physicsdata/dependency/ObjDependDef.h>
#include <kel/physicsdata/dependency/PACursor.h>
#include <kel/physicsdata/dependency/ParamAvail.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/query/ModelValidator.h>
#include <kel/physicsdata/query/ObjectQuery.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/ModelTARN.h>
#include <kel/physicsutils/ParamAllowedValues.h>
#include <kel/physicsutils/TARNContext.h>

namespace kel {

namespace {

// True when every type of `required` is on the object's path (itself or an ancestor), so
// that a product needing that context may be evaluated there.
bool hasContext(const TARNContext& object, const std::set<std::string>& required) {
    for (const std::string& type : required) {
        bool found = false;
        for (std::size_t i = 0; i < object.getPath().size() && !found; ++i)
            found = object.getPath().getType(i) == type;
        if (!found) return false;
    }
    return true;
}

// FNV-1a over the answers, with a separator after each piece.
class Digest {
public:
    void add(std::string_view text) {
        for (const char c : text)
            mix(static_cast<unsigned char>(c));
        mix(0xff);
    }
    void add(bool value) { mix(value ? 1 : 2); }
    void add(const std::vector<std::string>& values) {
        for (const std::string& value : values)
            add(value);
        mix(0xfe);
    }
    std::uint64_t value() const { return m_hash; }

private:
    void mix(unsigned value) {
        m_hash ^= value;
        m_hash *= 0x100000001b3ULL;
    }
    std::uint64_t m_hash = 0xcbf29ce484222325ULL;
};

class Sweep {
public:
    Sweep(const PhysicsData& physics, const ModelTARN& model, std::size_t maxAnswers)
        : m_physics(physics),
          m_model(model),
          m_eval(model),
          m_budget(maxAnswers),
          m_query(physics, model) {
        m_query.setExplain(true);
    }

    QuerySweep::Result run() {
        std::vector<std::string> pending{""};
        std::vector<TARNContext> objects;
        for (std::size_t i = 0; i < pending.size() && m_answers < m_budget; ++i) {
            if (!pending[i].empty()) {
                m_digest.add(pending[i]);
                objects.emplace_back(pending[i]);
                askAbout(objects.back());
            }
            for (std::string& child : m_model.getChildObjectPaths(pending[i]))
                pending.push_back(std::move(child));
        }
        evaluateEach(m_physics.getCheckNames(), &PhysicsData::getCheck, objects);
        evaluateEach(m_physics.getListNames(), &PhysicsData::getList, objects);
        m_digest.add(std::to_string(ModelValidator(m_physics).validate(m_model).size()));
        for (const std::string& name : m_physics.getPertinentGlobalCheckRoots()) {
            if (m_answers >= m_budget) break;
            if (GlobalCheck* global = m_physics.getGlobalCheck(name, false)) {
                m_digest.add(global->evaluate(m_model));
                ++m_answers;
            }
        }
        return {m_answers, m_digest.value()};
    }

private:
    void askAbout(const TARNContext& object) {
        const ModelRules& rules = *m_physics.getRules();
        if (const ObjDependDef* def = m_physics.getObjDependDef(object.getTypePath(), false)) {
            const std::string& ruleParam = rules.getContextRuleParam(def->getType());
            const std::string option =
                ruleParam.empty() ? std::string()
                                  : m_model.getParameterValue(object.getFullPath(), ruleParam);
            askChildren(*def, object, option);
            askParams(*def, object, option);
            // The same questions through the one-call interface, with explanations.
            m_query.ask(object.getFullPath());
            ++m_answers;
        }
    }

    // Evaluates each named CHECK or LIST once, on the first object (in walk order) that
    // has its required context. Once per product, not per object: a chain of n products
    // already costs n * n / 2 evaluations.
    template <typename Product>
    void evaluateEach(const std::vector<std::string>& names,
                      Product* (PhysicsData::*get)(const std::string&, bool) const,
                      const std::vector<TARNContext>& objects) {
        for (const std::string& name : names) {
            if (m_answers >= m_budget) return;
            Product* product = (m_physics.*get)(name, false);
            if (!product) continue;
            const std::set<std::string> required = product->getRequiredContext();
            for (const TARNContext& object : objects) {
                if (!hasContext(object, required)) continue;
                m_digest.add(product->evaluate(object, &m_eval));
                ++m_answers;
                break;
            }
        }
    }

    void askChildren(const ObjDependDef& def, const TARNContext& object,
                     const std::string& option) {
        CACursor cursor;
        std::vector<std::string> names;
        for (auto r = def.firstChildAvail(cursor, option); r.first && m_answers < m_budget;
             r = def.nextChildAvail(cursor)) {
            ++m_answers;
            const bool available = r.second && r.first->evaluate(object, &m_eval);
            m_digest.add(available);
            if (!available) continue;
            if (r.first->areNamesRestricted()) {
                names.clear();
                r.first->evaluateAllowedNames(object, &m_eval, names);
                m_digest.add(names);
                ++m_answers;
            }
            if (r.first->anyDefaultNames()) {
                names.clear();
                r.first->evaluateDefaultNames(object, &m_eval, names);
                m_digest.add(names);
                ++m_answers;
            }
        }
    }

    void askParams(const ObjDependDef& def, const TARNContext& object, const std::string& option) {
        const ModelRules* rules = m_physics.getRules();
        PACursor cursor;
        for (auto r = def.firstParamAvail(cursor); r.first && m_answers < m_budget;
             r = def.nextParamAvail(cursor, option)) {
            ++m_answers;
            const bool available = r.second && r.first->evaluate(object, &m_eval);
            m_digest.add(available);
            if (!available) continue;
            const ParamValueDef* values =
                m_physics.getParamValueDef(object.getTypePath(), r.first->getName(), false);
            if (!values) continue;
            const ParamAllowedValues allowed =
                values->evaluateAllowedValues(rules, object, &m_eval);
            m_digest.add(allowed.getValues());
            m_digest.add(values->evaluateDefault(rules, object, &m_eval, allowed));
            const auto [applies, forced] =
                values->evaluateValueOverride(rules, object, &m_eval, allowed);
            m_digest.add(applies);
            m_digest.add(forced);
            const auto [lower, upper] = values->evaluateBounds(rules, object, &m_eval);
            m_digest.add(lower);
            m_digest.add(upper);
            m_answers += 4;
        }
    }

    const PhysicsData& m_physics;
    const ModelTARN& m_model;
    EvalContext m_eval;
    std::size_t m_budget;
    ObjectQuery m_query;
    std::size_t m_answers = 0;
    Digest m_digest;
};

}  // namespace

QuerySweep::Result QuerySweep::run(const PhysicsData& physics, const ModelTARN& model,
                                   std::size_t maxAnswers) {
    return Sweep(physics, model, maxAnswers).run();
}

}  // namespace kel
