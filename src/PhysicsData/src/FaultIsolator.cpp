#include "FaultIsolator.h"

#include <exception>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include <kel/exception/PhysicsException.h>
#include <kel/physicschecks/Check.h>
#include <kel/physicschecks/GlobalCheck.h>
#include <kel/physicschecks/List.h>
#include <kel/physicsdata/dependency/ObjDependDef.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsdata/physics/CheckEngineSet.h>
#include <kel/physicsdata/physics/Diagnostics.h>
#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsdata/tools/DefaultPhysicsTARNAdaptor.h>
#include <kel/physicsutils/CompositeTARNDatastore.h>
#include <kel/physicsutils/ParentContextParser.h>
#include <kel/physicsutils/TARNDatastore.h>
#include <kel/utilities/DependencyGraph.h>
#include <kel/utilities/StringUtilities.h>

#include "EngineSetDataSource.h"

namespace kel {
namespace {

const std::string kPhysicsPath = "/PHYSICS";
const std::string kCheckDataPath = "/PHYSICS/CHECK DATA";
const std::string kDependenciesPath = "/PHYSICS/DEPENDENCIES";
const std::string kObjectDependency = "OBJECT DEPENDENCY";
const std::string kParameterValues = "PARAMETER VALUES";
const std::string kObjDepContext = "OBJDEP CONTEXT";
const std::string kParamValContext = "PARAMVAL CONTEXT";
const std::string kUnrecognised =
    "PhysicsData::initialiseChecks - the following unrecognised objects are referenced in at "
    "least one existing CHECK or LIST: ";
const std::string kConsistencyPrefix = "DependencyStore::Impl::checkConsistency - ";
const std::string kContextPrefix = "***ERROR***";
const std::string kNotKnown = " not known.";

// A product's name in the check graph: "CHECK:name" or "LIST:name".
std::string node(const std::string& kind, const std::string& name) {
    return kind + ":" + name;
}

// The data a definition is built from: the object's map without the parent-context keys.
ParameterMap entryMap(const TARNDatastore& data, const std::string& path) {
    ParameterMap map = data.getParameterMap(path);
    map.erase(ParentContextParser::s_parentContextList);
    map.erase(ParentContextParser::s_invalidParentContextList);
    return map;
}

// The objects an OBJECT DEPENDENCY or PARAMETER VALUES object holds data in: its context
// children, or itself when it has none.
std::vector<std::string> entryPaths(const TARNDatastore& data, const std::string& path,
                                    const std::string& contextKind) {
    std::vector<std::string> paths = data.getChildObjectPathsByType(path, contextKind);
    if (paths.empty()) paths.push_back(path);
    return paths;
}

// The first text of message between `after` and the next double quote.
std::string quotedAfter(const std::string& message, const std::string& after) {
    const std::size_t start = message.find(after);
    if (start == std::string::npos) return {};
    const std::size_t from = start + after.size();
    const std::size_t end = message.find('"', from);
    return end == std::string::npos ? std::string() : message.substr(from, end - from);
}

}  // namespace

FaultIsolator::FaultIsolator(const TARNDatastore& physics, const ModelRules& rules,
                             const PhysicsFunctionStore* functions, Diagnostics& diagnostics,
                             const std::string& name)
    : m_physics(physics),
      m_rules(rules),
      m_functions(functions),
      m_diagnostics(diagnostics),
      m_locator(physics, name) {}

std::set<std::string> FaultIsolator::isolate() {
    PhysicsData::DataVerifyAdaptor verify(&m_rules);
    CheckEngineSet engine(m_functions, &verify);
    EngineSetDataSource source(engine, m_functions, m_faultyNames);
    isolateChecks(engine, source);
    isolateGlobalChecks(engine, source);
    isolateDependencies(source);
    return m_hidden;
}

void FaultIsolator::fail(const std::string& code, const std::string& path,
                         const std::string& message, const SourceLocation& location) {
    m_hidden.insert(path);
    // "<Kind> of name <name> not known." for a faulty piece was reported with that piece.
    if (message.size() > kNotKnown.size() &&
        message.compare(message.size() - kNotKnown.size(), kNotKnown.size(), kNotKnown) == 0) {
        const std::size_t of = message.find(" of name ");
        if (of != std::string::npos) {
            const std::string name =
                message.substr(of + 9, message.size() - kNotKnown.size() - of - 9);
            if (m_faultyNames.count(name)) return;
        }
    }
    m_diagnostics.error(code, message,
                        location.empty() ? m_locator.forMessage(path, message) : location, path);
}

void FaultIsolator::fail(const std::string& code, const std::string& path,
                         const std::exception& error) {
    const auto* located = dynamic_cast<const PhysicsException*>(&error);
    fail(code, path, error.what(), located ? located->location() : SourceLocation());
}

void FaultIsolator::isolateChecks(CheckEngineSet& engine, const EngineSetDataSource& source) {
    // Creation: each product on its own.
    struct Product {
        std::string path;
        std::vector<std::string> dependsOn;  // graph node names
    };
    std::map<std::string, Product> products;  // by node name
    std::vector<std::string> order;
    auto dependencies = [](const auto& product) {
        std::vector<std::string> deps;
        for (const auto& name : product->getCheckNamesDependOn())
            deps.push_back(node("CHECK", name));
        for (const auto& name : product->getListNamesDependOn())
            deps.push_back(node("LIST", name));
        return deps;
    };
    for (const std::string kind : {"CHECK", "LIST"}) {
        const auto names = m_physics.getChildObjectNamesByType(kCheckDataPath, kind);
        const auto paths = m_physics.getChildObjectPathsByType(kCheckDataPath, kind);
        for (std::size_t i = 0; i < names.size() && i < paths.size(); ++i) {
            try {
                const ParameterMap map = m_physics.getParameterMap(paths[i]);
                Product product{paths[i], kind == "CHECK"
                                              ? dependencies(engine.checks().create(names[i], map))
                                              : dependencies(engine.lists().create(names[i], map))};
                products.emplace(node(kind, names[i]), std::move(product));
                order.push_back(node(kind, names[i]));
            } catch (const std::exception& e) {
                m_faultyNames.insert(names[i]);
                fail("check-data", paths[i], e);
            }
        }
    }

    // References: a product that names an unknown product is at fault; one that names a
    // faulty product is left out quietly, and so, in turn, are the products naming it.
    std::set<std::string> out;
    std::map<std::string, std::vector<std::string>> usedBy;
    std::vector<std::string> pending;  // products just left out, whose users follow
    auto leaveOut = [&](const std::string& name) {
        out.insert(name);
        m_faultyNames.insert(StringUtilities::splitObjectTypeAndName(name).second);
        m_hidden.insert(products[name].path);
        pending.push_back(name);
    };
    for (const auto& name : order) {
        for (const auto& dep : products[name].dependsOn) {
            usedBy[dep].push_back(name);
            if (out.count(name) || products.count(dep)) continue;
            const std::string depName = StringUtilities::splitObjectTypeAndName(dep).second;
            if (!m_faultyNames.count(depName)) {
                // Located at the key that names the unknown product.
                const std::string& path = products[name].path;
                m_diagnostics.error("unknown-reference", kUnrecognised + dep,
                                    m_locator.forMessage(path, "\"" + depName + "\""), path);
            }
            leaveOut(name);
        }
    }
    auto leaveOutUsers = [&] {
        while (!pending.empty()) {
            const std::string name = pending.back();
            pending.pop_back();
            for (const auto& user : usedBy[name]) {
                if (!out.count(user)) leaveOut(user);
            }
        }
    };
    leaveOutUsers();

    // Cycles: one diagnostic per cycle found, at a product on it; past a bound the load
    // reports what is left.
    constexpr int kMaxCycles = 50;
    for (int cycles = 0; cycles < kMaxCycles; ++cycles) {
        DependencyGraph graph;
        for (const auto& name : order) {
            if (!out.count(name)) graph.addDependency(name, products[name].dependsOn);
        }
        std::string cycleNode;
        if (graph.isAcyclic(cycleNode)) break;
        fail("cyclic-reference", products[cycleNode].path,
             "PhysicsData::initialiseChecks - there are cyclic dependencies between the CHECK or "
             "LIST objects that have been defined. For example, the object \"" +
                 cycleNode + "\" is in a cyclic subgraph.");
        leaveOut(cycleNode);
        leaveOutUsers();
    }

    // Resolution, in creation order.
    for (const auto& name : order) {
        if (out.count(name)) continue;
        const auto [kind, productName] = StringUtilities::splitObjectTypeAndName(name);
        try {
            if (kind == "CHECK") {
                engine.checks().get(productName, true)->setUnresolved(&source);
            } else {
                engine.lists().get(productName, true)->setUnresolved(&source);
            }
        } catch (const std::exception& e) {
            m_faultyNames.insert(productName);
            fail("check-data", products[name].path, e);
        }
    }
}

void FaultIsolator::isolateGlobalChecks(CheckEngineSet& engine, const EngineSetDataSource& source) {
    const std::string kind = "GLOBAL CHECK";
    const auto names = m_physics.getChildObjectNamesByType(kCheckDataPath, kind);
    const auto paths = m_physics.getChildObjectPathsByType(kCheckDataPath, kind);
    for (std::size_t i = 0; i < names.size() && i < paths.size(); ++i) {
        try {
            engine.globalChecks()
                .create(names[i], m_physics.getParameterMap(paths[i]))
                ->setUnresolved(&source);
        } catch (const std::exception& e) {
            fail("check-data", paths[i], e);
        }
    }
}

void FaultIsolator::isolateDependencies(const EngineSetDataSource& source) {
    // What the dependency store reads: the data completed by the RULES defaults.
    DefaultPhysicsTARNAdaptor defaults(&m_physics, &m_rules);
    CompositeTARNDatastore data(&m_physics, false);
    data.compose(&defaults, false, nullptr);
    const auto types = data.getChildObjectNamesByType(kDependenciesPath, kObjectDependency);
    const auto typePaths = data.getChildObjectPathsByType(kDependenciesPath, kObjectDependency);
    for (std::size_t i = 0; i < types.size() && i < typePaths.size(); ++i) {
        if (!m_rules.isValidType(types[i])) {
            // The load fails looking for the type's parent contexts.
            try {
                m_rules.enumerateParentTypePaths(types[i], false);
            } catch (const std::exception& e) {
                fail("object-dependency", typePaths[i], e);
            }
            continue;
        }
        for (const auto& path : entryPaths(data, typePaths[i], kObjDepContext)) {
            try {
                ObjDependDef(types[i], entryMap(data, path), &m_rules, &source, true);
            } catch (const std::exception& e) {
                fail("object-dependency", path, e);
            }
        }
    }

    const auto names = data.getChildObjectNamesByType(kDependenciesPath, kParameterValues);
    const auto namePaths = data.getChildObjectPathsByType(kDependenciesPath, kParameterValues);
    for (std::size_t i = 0; i < names.size() && i < namePaths.size(); ++i) {
        const std::string& name = names[i];
        if (!m_rules.isValidParamName(name)) continue;  // never built; the lint pass warns
        // One definition per type holding the parameter locally, one for the others.
        std::set<std::string> ownerTypes;
        bool plainSeen = false;
        for (const auto& type : m_rules.getAllowedParamParents(name)) {
            if (m_rules.isLocalRulesParam(type, name)) {
                ownerTypes.insert(type);
            } else if (!plainSeen) {
                plainSeen = true;
                ownerTypes.insert(type);
            }
        }
        for (const auto& path : entryPaths(data, namePaths[i], kParamValContext)) {
            const ParameterMap map = entryMap(data, path);
            for (const auto& type : ownerTypes) {
                try {
                    ParamValueDef(name, type, map, &m_rules, &source, true);
                } catch (const std::exception& e) {
                    fail("parameter-values", path, e);
                    break;
                }
            }
        }
    }
}

std::string FaultIsolator::dependencyPathFor(const std::string& message) const {
    for (const char* lead : {"Object type \"", "object type \"", "The object type \""}) {
        const std::string type = quotedAfter(message, lead);
        if (!type.empty()) {
            const std::string path = kDependenciesPath + "/" + kObjectDependency + ":" + type;
            if (m_physics.hasObject(path)) return path;
        }
    }
    return m_physics.hasObject(kDependenciesPath) ? kDependenciesPath : kPhysicsPath;
}

void FaultIsolator::reportLoadFailure(const std::string& message) {
    const std::size_t details = message.find("\n\n");
    if (message.rfind(kConsistencyPrefix, 0) == 0 && details != std::string::npos) {
        // One problem per line after the heading.
        std::istringstream lines(message.substr(details + 2));
        for (std::string line; std::getline(lines, line);) {
            if (line.empty()) continue;
            const std::string path = dependencyPathFor(line);
            m_diagnostics.error("dependency-consistency", line, m_locator.forMessage(path, line),
                                path);
        }
        return;
    }
    const std::string followHeading = "Details follow:\n\n";
    const std::size_t follow = message.find(followHeading);
    if (message.rfind(kContextPrefix, 0) == 0 && follow != std::string::npos) {
        // Blocks of "Type:    T", "Context: X", then problems indented by two blanks, each
        // possibly continued on lines indented further.
        std::istringstream lines(message.substr(follow + followHeading.size()));
        std::string type, context, problem;
        auto flush = [&] {
            if (problem.empty()) return;
            const std::string path = kDependenciesPath + "/" + kObjectDependency + ":" + type;
            const std::string where = m_physics.hasObject(path) ? path : kDependenciesPath;
            // Located at the key naming the check or list concerned.
            std::string named;
            for (const char* kind : {"CHECK ", "LIST "}) {
                const std::size_t at = problem.find(kind);
                if (named.empty() && at != std::string::npos) {
                    const std::size_t from = at + std::string(kind).size();
                    named = problem.substr(from, problem.find(' ', from) - from);
                }
            }
            m_diagnostics.error("insufficient-context",
                                "insufficient context at the evaluation point (type " + type +
                                    ", parent context '" + context + "'): " + problem,
                                m_locator.forMessage(where, "\"" + named + "\""), where);
            problem.clear();
        };
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("Type:", 0) == 0) {
                flush();
                type = StringUtilities::trim(line.substr(5));
            } else if (line.rfind("Context:", 0) == 0) {
                context = StringUtilities::trim(line.substr(8));
            } else if (line.rfind("   ", 0) == 0 && !problem.empty()) {
                problem += ' ';
                problem += StringUtilities::trim(line);
            } else if (line.rfind("  ", 0) == 0) {
                flush();
                problem = StringUtilities::trim(line);
            }
        }
        flush();
        return;
    }
    const std::string path = dependencyPathFor(message);
    m_diagnostics.error("physics", message, m_locator.forMessage(path, message), path);
}

}  // namespace kel
