// Fuzzes the whole load a host performs at start-up: RULES text into ModelRules, then
// PHYSICS text into PhysicsData with the data validated against the RULES (as with
// KEL_PHYSICS_VALIDATE_DATA set) and a beta manager, then a few questions about every
// object type. Any std::exception is an accepted outcome; a crash, a failed assertion, a
// leak, a hang or a sanitizer report is a bug. The work runs on a thread with a 1 MB stack.
//
// The input is split at the first line that holds only "%%": RULES before it, PHYSICS
// after it. Without such a line the whole input is RULES and the PHYSICS data is empty
// (the dependency definitions then all come from the RULES defaults). A seed from a pair
// of files: { cat rules.tarn; echo %%; cat physics.tarn; } > seed

#include <cstddef>
#include <cstdint>
#include <string>

#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/rules/ModelRules.h>

#include "FuzzSupport.h"
#include "LoadedHost.h"

namespace {

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
    kel::fuzz::setUpProcess(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto sections = kel::fuzz::splitSections(data, size, 2);
    kel::fuzz::runWithStack(1 << 20, [&] {
        const kel::LoadedHost host(sections[0], sections[1], true);
        query(host.rules, host.physics);
    });
    return 0;
}
