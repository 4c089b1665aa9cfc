#pragma once

#include <exception>
#include <set>
#include <string>

#include "DataLocator.h"

namespace kel {

class CheckEngineSet;
class Diagnostics;
class EngineSetDataSource;
class ModelRules;
class PhysicsFunctionStore;
class TARNDatastore;

// Finds the faulty pieces of PHYSICS data that did not load, so that they can be left out
// and the rest checked: every CHECK and LIST is created on its own, references and cycles
// are followed by hand, every GLOBAL CHECK is created and resolved, and every OBJECT
// DEPENDENCY and PARAMETER VALUES entry is built on its own against the surviving checks.
// Each problem becomes an error diagnostic located at the item at fault; pieces that only
// fail because they use a faulty piece are left out without a report of their own.
//
// Borrows the datastore, the rules, the function store and the collector for its life.
// Not thread-safe.
class FaultIsolator {
public:
    FaultIsolator(const TARNDatastore& physics, const ModelRules& rules,
                  const PhysicsFunctionStore* functions, Diagnostics& diagnostics,
                  const std::string& name = {});

    // Reports every faulty piece; returns the object paths to leave out.
    std::set<std::string> isolate();

    // Reports the failure of a whole load: one diagnostic per problem that the dependency
    // store lists, or one for the message.
    void reportLoadFailure(const std::string& message);

private:
    void isolateChecks(CheckEngineSet& engine, const EngineSetDataSource& source);
    void isolateGlobalChecks(CheckEngineSet& engine, const EngineSetDataSource& source);
    void isolateDependencies(const EngineSetDataSource& source);
    // Reports a failure of the piece at path (unless it only names a faulty piece) and
    // leaves the piece out.
    // Located at `location` when it is not empty (a position the thrower knew).
    void fail(const std::string& code, const std::string& path, const std::string& message,
              const SourceLocation& location = {});
    // The same for an exception, at the position it carries when it has one.
    void fail(const std::string& code, const std::string& path, const std::exception& error);
    // The OBJECT DEPENDENCY (or PARAMETER VALUES) object a store message is about.
    std::string dependencyPathFor(const std::string& message) const;

    const TARNDatastore& m_physics;
    const ModelRules& m_rules;
    const PhysicsFunctionStore* m_functions;
    Diagnostics& m_diagnostics;
    DataLocator m_locator;
    std::set<std::string> m_hidden;
    // Names of the faulty checks and lists.
    std::set<std::string> m_faultyNames;
};

}  // namespace kel
