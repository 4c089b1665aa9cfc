// Fuzzes what a host does with the data: RULES text into ModelRules, PHYSICS text into
// PhysicsData (validation off, as a host runs by default), a model read from TARN text,
// then every question of the query sweep over the model's objects, every CHECK and LIST
// on every object with their context, the global checks, and the dependency template
// written for the RULES. Any std::exception is an accepted outcome; a crash, a failed
// assertion, a leak, a hang or a sanitizer report is a bug.
//
// Input: RULES, PHYSICS and the model, separated by lines that hold only "%%". An input
// of odd length is loaded without a beta manager, one of even length with one (beta
// enabled, logging on). The work runs on a thread with a 1 MB stack, the stack of a
// typical worker thread of a host, so unbounded recursion is reported as a crash.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>

#include <kel/physicsdata/tools/TemplateDependency.h>
#include <kel/physicsutils/TARNModel.h>

#include "FuzzSupport.h"
#include "LoadedHost.h"
#include "QuerySweep.h"

namespace {

constexpr std::size_t kStackBytes = 1 << 20;
constexpr std::size_t kMaxAnswers = 5000;

void loadAndAsk(const std::string& rulesText, const std::string& physicsText,
                const std::string& modelText, bool withBeta) {
    const kel::LoadedHost host(rulesText, physicsText, withBeta);
    const std::unique_ptr<kel::TARNModel> model = kel::TARNModel::fromText(modelText);
    kel::QuerySweep::run(host.physics, *model, kMaxAnswers);
}

void writeTemplate(const std::string& rulesText) {
    kel::TemplateDependency(kel::fuzz::textAsFile(rulesText)).write("/dev/null");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    kel::fuzz::setUpProcess(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto sections = kel::fuzz::splitSections(data, size, 3);
    kel::fuzz::runWithStack(kStackBytes, [&] {
        try {
            loadAndAsk(sections[0], sections[1], sections[2], size % 2 == 0);
        } catch (const std::exception&) {
            // Data the library rejects: the template is still written for the RULES.
        }
        writeTemplate(sections[0]);
    });
    return 0;
}
