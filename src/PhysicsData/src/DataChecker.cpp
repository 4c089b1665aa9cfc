#include <kel/physicsdata/physics/DataChecker.h>

#include <exception>
#include <string>
#include <utility>

#include <kel/exception/PhysicsException.h>
#include <kel/physicschecks/PhysicsFunctionStore.h>
#include <kel/physicsdata/beta/BetaPhysicsManager.h>
#include <kel/physicsdata/physics/Diagnostics.h>
#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsutils/TARNDatastore.h>
#include <kel/utilities/StringUtilities.h>
#include "DataLinter.h"

#include "DataLocator.h"
#include "FaultIsolator.h"
#include "FilteredTARNDatastore.h"

namespace kel {
namespace {

const std::string kRulesPath = "/RULES";

// The text of message between `lead` and the first of `ends` after it.
std::string between(const std::string& message, const std::string& lead, const std::string& ends) {
    const std::size_t start = message.find(lead);
    if (start == std::string::npos) return {};
    const std::size_t from = start + lead.size();
    return message.substr(from, message.find_first_of(ends, from) - from);
}

// The first definition of parameter `name` in the RULES: global, else local to a type,
// else in a context of a type.
std::string findParameterDefinition(const TARNDatastore& rules, const std::string& name) {
    const std::string own = "PARAMETER:" + name;
    if (rules.hasObject(kRulesPath + "/" + own)) return kRulesPath + "/" + own;
    for (const auto& typePath : rules.getChildObjectPaths(kRulesPath)) {
        if (rules.hasObject(typePath + "/" + own)) return typePath + "/" + own;
        for (const auto& context : rules.getChildObjectPathsByType(typePath, "CONTEXT")) {
            if (rules.hasObject(context + "/" + own)) return context + "/" + own;
        }
    }
    return {};
}

// The first OBJECT, SINGLETON or CONTEXT of the RULES with a list naming `item`.
std::string findNamingObject(const TARNDatastore& rules, const std::string& item) {
    if (item.empty()) return {};
    auto names = [&](const std::string& path) {
        for (const auto& [key, value] : rules.getParameterMap(path)) {
            for (const auto& entry : StringUtilities::splitValueNoEmpty(value))
                if (entry == item) return true;
        }
        return false;
    };
    for (const auto& typePath : rules.getChildObjectPaths(kRulesPath)) {
        if (names(typePath)) return typePath;
        for (const auto& context : rules.getChildObjectPathsByType(typePath, "CONTEXT"))
            if (names(context)) return context;
    }
    return {};
}

// The object a ModelRules error is about, and the position to report.
std::pair<std::string, SourceLocation> locateRulesError(const TARNDatastore& rules,
                                                        const std::string& name,
                                                        const std::string& message) {
    const DataLocator locator(rules, name);
    std::string path = between(message, "in RULES object ", ",");
    if (path.empty()) path = between(message, "(Attempted definition in ", ")");
    if (!path.empty() && path.back() == '.') path.pop_back();
    if (path.empty() || !rules.hasObject(path)) {
        path = findParameterDefinition(rules, between(message, "Parameter ", " "));
    }
    if (path.empty()) path = findNamingObject(rules, between(message, "not found: ", "\n"));
    if (path.empty() || !rules.hasObject(path)) path = kRulesPath;
    return {path, locator.forMessage(path, message)};
}

}  // namespace

struct DataChecker::Impl {
    Options options;
    PhysicsFunctionStore ownFunctions;
    // Declared so that the physics data goes before the beta manager and the rules.
    std::unique_ptr<ModelRules> rules;
    std::unique_ptr<BetaPhysicsManager> beta;
    std::unique_ptr<PhysicsData> physics;
    bool physicsValid = false;

    const PhysicsFunctionStore* functions() const {
        return options.functions ? options.functions : &ownFunctions;
    }
    // Builds the physics data with validation on; the unused-physics report only when
    // asked and only for the whole data.
    void loadPhysics(const TARNDatastore& data, bool whole) {
        physics.reset();
        beta.reset();
        if (options.withBeta) {
            beta = std::make_unique<BetaPhysicsManager>();
            beta->enableBetaLogging();
        }
        PhysicsDataOptions load = options.load;
        load.validate = true;
        load.dumpUnused = load.dumpUnused && whole;
        physics = std::make_unique<PhysicsData>(&data, rules.get(), functions(), beta.get(), load);
    }
};

DataChecker::DataChecker() : DataChecker(Options()) {}

DataChecker::DataChecker(Options options) : m_impl(std::make_unique<Impl>()) {
    m_impl->options = std::move(options);
}

DataChecker::~DataChecker() = default;

const ModelRules* DataChecker::rules() const {
    return m_impl->rules.get();
}

const PhysicsData* DataChecker::physics() const {
    return m_impl->physicsValid ? m_impl->physics.get() : nullptr;
}

bool DataChecker::check(const TARNDatastore& rules, const TARNDatastore& physics,
                        Diagnostics& diagnostics) {
    Impl& impl = *m_impl;
    const std::size_t errorsBefore = diagnostics.errorCount();
    try {
        impl.rules = std::make_unique<ModelRules>(&rules, impl.options.extraRules);
    } catch (const std::exception& e) {
        auto [path, location] = locateRulesError(rules, impl.options.rulesName, e.what());
        if (const auto* located = dynamic_cast<const PhysicsException*>(&e);
            located && !located->location().empty())
            location = located->location();
        diagnostics.error("rules", e.what(), location, path);
    }

    // The PHYSICS data are checked only against RULES that load.
    std::unique_ptr<FilteredTARNDatastore> remainder;
    if (impl.rules) {
        try {
            impl.loadPhysics(physics, true);
            impl.physicsValid = true;
        } catch (const std::exception& first) {
            FaultIsolator isolator(physics, *impl.rules, impl.functions(), diagnostics,
                                   impl.options.physicsName);
            const std::size_t errorsIsolated = diagnostics.errorCount();
            remainder = std::make_unique<FilteredTARNDatastore>(physics, isolator.isolate());
            try {
                impl.loadPhysics(*remainder, false);
                // Should the pieces all load on their own, the first failure still stands.
                if (diagnostics.errorCount() == errorsIsolated)
                    isolator.reportLoadFailure(first.what());
            } catch (const std::exception& e) {
                impl.physics.reset();
                isolator.reportLoadFailure(e.what());
            }
        }
    }

    if (impl.options.lint) {
        DataLinter linter(rules, physics, impl.options.extraRules, impl.rules.get(),
                          impl.physics.get(), impl.physicsValid, diagnostics,
                          impl.options.rulesName, impl.options.physicsName);
        linter.run();
    }
    if (!impl.physicsValid) impl.physics.reset();
    return diagnostics.errorCount() == errorsBefore;
}

}  // namespace kel
