// kelphys check RULES PHYSICS [--werror] [--json] [--unused]: checks a PHYSICS file over a
// RULES file with validation on and reports every problem found, each located in its
// file, then a summary line.

#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <kel/exception/PhysicsException.h>
#include <kel/physicsdata/physics/DataChecker.h>
#include <kel/physicsdata/physics/Diagnostics.h>
#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/store/DependencyStore.h>
#include <kel/physicsutils/InternalTARNDatastore.h>

#include "CommandRegistry.h"
#include "JsonWriter.h"
#include "KeptUntilExit.h"
#include "PhysicsSession.h"

namespace kel::tool {
namespace {

const char* const kUsage =
    "usage: kelphys check RULES PHYSICS [--werror] [--json] [--unused]\n"
    "\n"
    "Builds the RULES model and the PHYSICS data with validation on and reports every\n"
    "problem found, one per\n"
    "line on standard error as\n"
    "    FILE:LINE:COLUMN: error|warning: MESSAGE [CODE]\n"
    "then a summary: for valid data one line on standard output counting the checks,\n"
    "lists, global checks, object definitions and parameter definitions.\n"
    "\n"
    "  --werror   treat warnings as errors\n"
    "  --json     print one JSON document instead: {\"valid\", \"errors\", \"warnings\",\n"
    "             \"diagnostics\": [{\"severity\", \"code\", \"message\", \"file\", \"line\",\n"
    "             \"column\", \"path\"}]}\n"
    "  --unused   also print the unused-physics report: the\n"
    "             RULES parameters, children, options and values the PHYSICS data leaves\n"
    "             unused (not with --json)\n"
    "\n"
    "Exit status: 0 no error, 1 an error in the data (or a warning with --werror),\n"
    "2 usage error.\n";

int usageError(const std::string& message) {
    std::cerr << "kelphys check: " << message << '\n' << kUsage;
    return 2;
}

// Reads a TARN file; a syntax error becomes a diagnostic ("FILE:LINE: message" from the
// reader) and the result is null.
std::unique_ptr<InternalTARNDatastore> read(const std::string& file, Diagnostics& diagnostics) {
    try {
        return std::make_unique<InternalTARNDatastore>(file, InternalTARNDatastore::FILE);
    } catch (const std::exception& e) {
        const std::string message = e.what();
        SourceLocation location(file, 0);
        std::string text = message;
        const std::string prefix = file + ":";
        if (message.rfind(prefix, 0) == 0) {
            const std::size_t colon = message.find(": ", prefix.size());
            const std::string line = message.substr(prefix.size(), colon - prefix.size());
            if (colon != std::string::npos && !line.empty() &&
                line.find_first_not_of("0123456789") == std::string::npos) {
                location = SourceLocation(file, static_cast<std::uint32_t>(std::stoul(line)), 1);
                text = message.substr(colon + 2);
            }
        }
        diagnostics.error("syntax", text, location);
        return nullptr;
    }
}

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

std::string plural(std::size_t n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

void printJson(const Diagnostics& diagnostics, bool valid) {
    std::ostringstream out;
    JsonWriter json(out);
    json.beginObject();
    json.key("valid").value(valid);
    json.key("errors").value(static_cast<std::int64_t>(diagnostics.errorCount()));
    json.key("warnings").value(static_cast<std::int64_t>(diagnostics.warningCount()));
    json.key("diagnostics").beginArray();
    for (const auto& d : diagnostics.all()) {
        json.beginObject();
        json.key("severity").value(d.severityName());
        json.key("code").value(d.code);
        json.key("message").value(d.message);
        json.key("file").value(d.location.file());
        json.key("line").value(static_cast<std::int64_t>(d.location.line()));
        json.key("column").value(static_cast<std::int64_t>(d.location.column()));
        json.key("path").value(d.objectPath);
        json.endObject();
    }
    json.endArray();
    json.endObject();
    json.finish();
    std::cout << out.str();
}

int run(const std::vector<std::string>& args) {
    bool unused = false;
    bool werror = false;
    bool asJson = false;
    std::vector<std::string> files;
    for (const auto& arg : args) {
        if (arg == "--unused") {
            unused = true;
        } else if (arg == "--werror") {
            werror = true;
        } else if (arg == "--json") {
            asJson = true;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return usageError("unknown option '" + arg + "'");
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2) return usageError("expected a RULES and a PHYSICS file");
    if (unused && asJson) return usageError("--unused cannot be combined with --json");

    Diagnostics diagnostics;
    auto rulesData = read(files[0], diagnostics);
    auto physicsData = read(files[1], diagnostics);
    DataChecker::Options options;
    options.extraRules.paramRules.stringRules.push_back(PhysicsSession::s_quantityType);
    options.load.dumpUnused = unused;
    options.rulesName = files[0];
    options.physicsName = files[1];
    auto owned = std::make_unique<DataChecker>(options);
    DataChecker& checker = *owned;
    const KeptUntilExit kept(owned, rulesData, physicsData);
    if (rulesData && physicsData) checker.check(*rulesData, *physicsData, diagnostics);
    diagnostics.sortByLocation();

    const bool failed = diagnostics.hasErrors() || (werror && diagnostics.warningCount() != 0);
    const std::string summary =
        "kelphys check: " + plural(diagnostics.errorCount(), "error") + ", " +
        plural(diagnostics.warningCount(), "warning") +
        (werror && !diagnostics.hasErrors() && failed ? " (warnings are errors with --werror)"
                                                      : "");
    if (asJson) {
        printJson(diagnostics, !failed);
        if (failed) std::cerr << summary << '\n';
        return failed ? 1 : 0;
    }
    for (const auto& d : diagnostics.all()) {
        std::cerr << d.location.file() << ':' << d.location.line() << ':' << d.location.column()
                  << ": " << d.severityName() << ": " << oneLine(d.message) << " [" << d.code
                  << "]\n";
    }
    if (failed || !checker.physics()) {
        std::cerr << summary << '\n';
        return 1;
    }
    const PhysicsData& physics = *checker.physics();
    std::cout << "PHYSICS data is valid: " << physics.getCheckNames().size() << " checks, "
              << physics.getListNames().size() << " lists, " << physics.getGlobalCheckNames().size()
              << " global checks, " << physics.getDependencyStore().countObjDependDefs()
              << " object definitions, " << physics.getDependencyStore().countParamValueDefs()
              << " parameter definitions";
    if (diagnostics.warningCount() != 0)
        std::cout << " (" << plural(diagnostics.warningCount(), "warning") << ")";
    std::cout << '\n';
    return 0;
}

const CommandRegistry::Registration registration(
    "check", {"check PHYSICS data against RULES and report every problem", kUsage, &run});

}  // namespace
}  // namespace kel::tool
