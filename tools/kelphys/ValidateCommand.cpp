// kelphys validate RULES PHYSICS MODEL [--json]: every way in which a model breaks its
// RULES and PHYSICS data.

#include <iostream>
#include <string>
#include <vector>

#include <kel/physicsdata/query/ModelValidator.h>
#include <kel/physicsutils/TARNModel.h>

#include "CommandLine.h"
#include "CommandRegistry.h"
#include "JsonWriter.h"
#include "KeptUntilExit.h"
#include "PhysicsSession.h"

namespace kel::tool {
namespace {

const char* const kUsage =
    "usage: kelphys validate RULES PHYSICS MODEL [--json]\n"
    "\n"
    "Checks every object of the model file MODEL (TARN text) against the RULES and\n"
    "PHYSICS files and prints each violation as\n"
    "  FILE:LINE: CODE: MESSAGE (OBJECT PATH)\n"
    "CODE is one of unknown-child, child-not-available, missing-child,\n"
    "duplicate-singleton, name-not-allowed, unknown-parameter, parameter-not-available,\n"
    "missing-parameter, wrong-type, value-not-allowed, out-of-bounds.\n"
    "\n"
    "  --json   print one document {\"valid\", \"violations\": [{\"code\", \"message\",\n"
    "           \"path\", \"file\", \"line\"}]}\n"
    "\n"
    "Exit status: 0 no violation, 1 violations or an error in the data, 2 usage error.\n";

int usageError(const std::string& message) {
    std::cerr << "kelphys validate: " << message << '\n' << kUsage;
    return 2;
}

void writeJson(const std::vector<ModelViolation>& violations, std::ostream& out) {
    JsonWriter json(out);
    json.beginObject();
    json.key("valid").value(violations.empty());
    json.key("violations").beginArray();
    for (const auto& violation : violations) {
        json.beginObject();
        json.key("code").value(violation.code);
        json.key("message").value(violation.message);
        json.key("path").value(violation.path);
        json.key("file").value(violation.file);
        json.key("line").value(static_cast<std::int64_t>(violation.line));
        json.endObject();
    }
    json.endArray();
    json.endObject().finish();
}

int run(const std::vector<std::string>& args) {
    const CommandLine line(args, {"--json"});
    if (!line.error().empty()) return usageError(line.error());
    if (line.positional().size() != 3) return usageError("expected RULES, PHYSICS and MODEL");
    const std::string& modelFile = line.positional()[2];

    auto owned = std::make_unique<const PhysicsSession>(line.positional()[0], line.positional()[1]);
    const PhysicsSession& session = *owned;
    std::unique_ptr<TARNModel> model = TARNModel::fromFile(modelFile);
    const KeptUntilExit kept(owned, model);
    const std::vector<ModelViolation> violations =
        ModelValidator(session.physics()).validate(*model, modelFile);

    if (line.has("--json")) {
        writeJson(violations, std::cout);
    } else {
        std::string text;
        for (const auto& v : violations)
            text += v.file + ":" + std::to_string(v.line) + ": " + v.code + ": " + v.message +
                    " (" + v.path + ")\n";
        std::cout << text;
    }
    if (violations.empty()) return 0;
    std::cerr << "kelphys validate: " << violations.size()
              << (violations.size() == 1 ? " violation" : " violations") << " in " << modelFile
              << '\n';
    return 1;
}

const CommandRegistry::Registration registration("validate",
                                                 {"check a model against RULES and PHYSICS data",
                                                  kUsage, &run});

}  // namespace
}  // namespace kel::tool
