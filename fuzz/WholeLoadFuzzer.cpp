// Fuzzes the whole load a host performs at start-up: RULES text into ModelRules, then
// PHYSICS text into PhysicsData with the data validated against the RULES (as with
// KEL_PHYSICS_VALIDATE_DATA set) and a beta manager, then a few questions about every
// object type. Any std::exception is an accepted outcome; a crash, leak, hang or
// sanitizer report is a bug.
//
// The input is split at the first line that holds only "%%": RULES before it, PHYSICS
// after it. Without such a line the whole input is RULES and the PHYSICS data is empty
// (the dependency definitions then all come from the RULES defaults). A seed from a pair
// of files: { cat rules.tarn; echo %%; cat physics.tarn; } > seed

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>
#include <utility>

#include <kel/physicschecks/PhysicsFunctionStore.h>
#include <kel/physicsdata/beta/BetaPhysicsManager.h>
#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsutils/InternalTARNDatastore.h>

namespace {

// (RULES, PHYSICS) parts of the input.
std::pair<std::string, std::string> split(std::string_view text) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line == "%%")
            return {std::string(text.substr(0, start)),
                    std::string(text.substr(std::min(end + 1, text.size())))};
        start = end + 1;
    }
    return {std::string(text), std::string()};
}

// The questions asked of every object type, bounded so that a large schema cannot make
// one input slow.
void query(const kel::ModelRules& rules, const kel::PhysicsData& physics) {
    std::size_t budget = 200;
    for (const std::string& type : rules.getAllObjectTypes()) {
        for (const std::string& context : rules.enumerateParentTypePaths(type, false)) {
            if (budget-- == 0) return;
            const std::string typePath = context + "/" + type;
            physics.getObjDependDef(typePath, false);
            physics.findEquivObjContexts(typePath);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setenv("KEL_PHYSICS_VALIDATE_DATA", "1", 1);
    unsetenv("KEL_PHYSICS_DUMP_UNUSED");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto [rulesText, physicsText] =
        split(std::string_view(reinterpret_cast<const char*>(data), size));
    try {
        kel::InternalTARNDatastore rulesStore(rulesText, kel::InternalTARNDatastore::TEXT);
        kel::ModelRules::ExtraRulesDef extra;
        extra.paramRules.stringRules = {"Quantity Type"};
        kel::ModelRules rules(&rulesStore, extra);
        kel::InternalTARNDatastore physicsStore(physicsText, kel::InternalTARNDatastore::TEXT);
        kel::PhysicsFunctionStore functions;
        kel::BetaPhysicsManager beta;
        kel::PhysicsData physics(&physicsStore, &rules, &functions, &beta);
        query(rules, physics);
    } catch (const std::exception&) {
        // Inconsistent data: a clear error is the expected outcome.
    }
    return 0;
}
