// kelphys fill-defaults RULES PHYSICS MODEL [-o OUT]: the model with every missing
// essential parameter given its default.

#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <kel/physicsdata/query/ModelDefaultFiller.h>
#include <kel/physicsutils/TARNModel.h>
#include <kel/physicsutils/TARNPath.h>

#include "CommandLine.h"
#include "CommandRegistry.h"
#include "KeptUntilExit.h"
#include "PhysicsSession.h"

namespace kel::tool {
namespace {

const char* const kUsage =
    "usage: kelphys fill-defaults RULES PHYSICS MODEL [-o OUT]\n"
    "\n"
    "Reads the model file MODEL (TARN text) and writes it back as TARN text with every\n"
    "essential parameter that is available on its object and not set given its default,\n"
    "as evaluated for that object. Parameters without a default stay unset.\n"
    "\n"
    "  -o OUT   write to OUT instead of standard output\n"
    "\n"
    "Exit status: 0 success, 1 error in the data or writing OUT, 2 usage error.\n";

int usageError(const std::string& message) {
    std::cerr << "kelphys fill-defaults: " << message << '\n' << kUsage;
    return 2;
}

// A written line; one ending in a backslash would continue onto the next when read, so it
// continues onto an empty line instead, which reads back as written.
void endLine(std::string& text) {
    if (!text.empty() && text.back() == '\\') text += "\\\n";
    text += '\n';
}

// The model as TARN text, two blanks of indentation per level; without recursion.
std::string modelText(const ModelTARN& model) {
    std::string text;
    struct Frame {
        std::vector<std::string> children;
        std::size_t next = 0;
    };
    std::vector<Frame> stack;
    stack.push_back({model.getChildObjectPaths(""), 0});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const std::size_t depth = stack.size() - 1;
        if (frame.next == frame.children.size()) {
            stack.pop_back();
            if (!stack.empty()) text.append(2 * (stack.size() - 1), ' ') += "END\n";
            continue;
        }
        const std::string path = frame.children[frame.next++];
        const TARNPath parsed(path);
        text.append(2 * depth, ' ') += parsed.getLastType() + ":";
        if (!parsed.getLastName().empty()) text += " " + parsed.getLastName();
        endLine(text);
        for (const std::string& name : model.getParameterNames(path)) {
            const std::string& value = model.getParameterValue(path, name);
            text.append(2 * depth + 2, ' ') += name + (value.empty() ? " =" : " = ") + value;
            endLine(text);
        }
        stack.push_back({model.getChildObjectPaths(path), 0});
    }
    return text;
}

int run(const std::vector<std::string>& args) {
    const CommandLine line(args, {}, {"-o", "--output"});
    if (!line.error().empty()) return usageError(line.error());
    if (line.positional().size() != 3) return usageError("expected RULES, PHYSICS and MODEL");

    auto owned = std::make_unique<const PhysicsSession>(line.positional()[0], line.positional()[1]);
    const PhysicsSession& session = *owned;
    std::unique_ptr<TARNModel> model = TARNModel::fromFile(line.positional()[2]);
    const KeptUntilExit kept(owned, model);
    ModelDefaultFiller(session.physics()).fill(*model);
    const std::string text = modelText(*model);

    std::string output = line.value("-o");
    if (output.empty()) output = line.value("--output");
    if (output.empty()) {
        std::cout << text << std::flush;
        return std::cout ? 0 : 1;
    }
    std::ofstream file(output, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
        std::cerr << "kelphys fill-defaults: cannot write " << output << '\n';
        return 1;
    }
    return 0;
}

const CommandRegistry::Registration registration(
    "fill-defaults", {"write a model with its missing defaults filled in", kUsage, &run});

}  // namespace
}  // namespace kel::tool
