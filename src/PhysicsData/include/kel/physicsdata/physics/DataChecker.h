#pragma once

#include <memory>
#include <string>

#include <kel/physicsdata/physics/PhysicsDataOptions.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/utilities/NonCopyable.h>

namespace kel {

class Diagnostics;
class PhysicsData;
class PhysicsFunctionStore;
class TARNDatastore;

// Checks RULES and PHYSICS data for their authors: builds the ModelRules and the
// PhysicsData with validation on and reports every
// problem it finds to a Diagnostics collector, each with the position of the item at
// fault, instead of stopping at the first one.
//
// When the data loads, the only cost beyond a plain validated load is a lint pass (see
// DataLinter) that warns about what the load accepts silently: misspelt keys, undefined
// types, defaults and values that do not fit, unused checks and lists, a wrong root.
// When it does not load, the faulty pieces are found one by one (every CHECK, LIST and
// GLOBAL CHECK, every OBJECT DEPENDENCY and PARAMETER VALUES entry on its own), left out,
// and the rest is loaded again, so one bad entry does not hide the others; problems the
// dependency store collects become one diagnostic each.
//
// Hosts that do not pass through a checker get exactly the usual construction: first
// error thrown. The checker does not read the environment switches; it always validates.
//
// Ownership: the checker owns the ModelRules and PhysicsData it builds; the datastores
// and the function store belong to the caller and must outlive the checker (the
// datastores only until check() returns). Not thread-safe.
class DataChecker : private NonCopyable {
public:
    struct Options {
        // As the host builds its ModelRules (e.g. "Quantity Type" among the string rules).
        ModelRules::ExtraRulesDef extraRules;
        // The RHS functions the PHYSICS data may name; null for none.
        const PhysicsFunctionStore* functions = nullptr;
        // How the PhysicsData is built; validate is always on, and the unused-physics
        // report (dumpUnused) is written only for data that load as a whole.
        PhysicsDataOptions load;
        // Build with a beta manager, as a host with beta handling does.
        bool withBeta = true;
        // Run the lint pass for warnings.
        bool lint = true;
        // How the data are named where a problem has no position of its own (an empty
        // input, say): usually the file names; "" for no name.
        std::string rulesName;
        std::string physicsName;
    };

    DataChecker();
    explicit DataChecker(Options options);
    ~DataChecker();

    // Checks the data and adds what it finds to diagnostics; true when it found no error.
    // Call once per checker.
    bool check(const TARNDatastore& rules, const TARNDatastore& physics, Diagnostics& diagnostics);

    // What check() built: null when the RULES (resp. the PHYSICS data) had an error.
    const ModelRules* rules() const;
    const PhysicsData* physics() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace kel
