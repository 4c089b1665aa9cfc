#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include <kel/physicschecks/PhysicsFunctionStore.h>
#include <kel/physicsdata/beta/BetaPhysicsManager.h>
#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/InternalTARNDatastore.h>
#include <kel/physicsutils/TARNModel.h>

#include "SyntheticDataSet.h"

namespace kel::bench {

// What the benchmarks share: the synthetic data of each scale (generated once per
// process), the host's set-up over it (RULES, PHYSICS, beta manager, model) and the query
// sweep a host runs over a whole model.
//
// Not thread-safe: the benchmarks run on one thread.
class BenchData {
public:
    // Sets "KEL_PHYSICS_VALIDATE_DATA" (or removes it) for its lifetime and restores the
    // previous state afterwards.
    class ScopedValidation {
    public:
        explicit ScopedValidation(bool on);
        ~ScopedValidation();
        ScopedValidation(const ScopedValidation&) = delete;
        ScopedValidation& operator=(const ScopedValidation&) = delete;

    private:
        bool m_hadValue;
        std::string m_oldValue;
    };

    // Everything a host holds after loading: the stores, the rules, the function store,
    // the beta manager (logging on), the physics data and the model. Members are declared
    // in the order they must be built.
    struct Host {
        explicit Host(const SyntheticDataSet& data, bool validate);

        InternalTARNDatastore rulesStore;
        ModelRules rules;
        InternalTARNDatastore physicsStore;
        PhysicsFunctionStore functions;
        BetaPhysicsManager beta;
        PhysicsData physics;
        std::unique_ptr<TARNModel> model;
    };

    // Counts of one sweep over every object of a model.
    struct SweepResult {
        std::size_t objects = 0;
        std::size_t childRecords = 0;
        std::size_t availableChildren = 0;
        std::size_t paramRecords = 0;
        std::size_t availableParams = 0;
        std::size_t valueAnswers = 0;  // allowed values, default, override and bounds
        std::size_t answers() const { return childRecords + paramRecords + valueAnswers; }
    };

    // The data of a scale, generated on first use.
    static const SyntheticDataSet& dataSet(int scale);

    // The RULES extras a host asks for: "Quantity Type" among the parameter string rules.
    static ModelRules::ExtraRulesDef extraRules();

    // Asks, for every object of the data set's model, what a host asks on every edit:
    // which children and parameters are offered and available (through the definition's
    // cursors, with the object's context rule value), the allowed and default names of
    // available children, and for every available parameter its allowed values, default,
    // override and bounds. Uses a fresh evaluation context (cold cache) per call.
    static SweepResult sweep(const Host& host, const SyntheticDataSet& data);
};

}  // namespace kel::bench
