#include <kel/exception/PhysicsException.h>
#include <kel/physicsutils/InternalTARNDatastore.h>
#include <kel/physicsutils/ParentContextParser.h>
#include <kel/physicsutils/ParentContextRules.h>
#include <kel/utilities/StringUtilities.h>

#include "TestSupport.h"

using namespace kel;
using ::testing::StartsWith;

namespace {

// Candidate contexts by name; parameters answer differently, so the flag is seen passed on.
class FakeRules : public ParentContextRules {
public:
    bool isValidHierarchy(const TARNPath&) const override { return true; }
    std::vector<std::string> enumerateParentTypePaths(const std::string& name,
                                                      bool isObjectType) const override {
        if (!isObjectType) return {"/FLOW/DOMAIN/" + name};
        if (name == "FLOW") return {""};
        return {"/FLOW/DOMAIN", "/FLOW/SOLID", "/FLOW/POROUS"};
    }
    bool isValidType(const std::string&) const override { return true; }
    bool isValidParamName(const std::string&) const override { return true; }
};

// Writes every callback as one line, with the invalid contexts current at that moment.
class RecordingParser : public ParentContextParser {
public:
    explicit RecordingParser(bool isObjectType)
        : ParentContextParser("/PHYSICS/DEPENDENCIES",
                              isObjectType ? "OBJECT DEPENDENCY" : "PARAMETER VALUES",
                              isObjectType ? "OBJDEP CONTEXT" : "PARAMVAL CONTEXT", isObjectType) {}

    std::vector<std::string> events;

protected:
    // The top-level (empty) context shows as "(top)".
    static std::string join(std::vector<std::string> items) {
        std::replace(items.begin(), items.end(), std::string(), std::string("(top)"));
        std::string text = "[";
        text += StringUtilities::vectorToString(items, ';');
        return text + "]";
    }
    static std::string join(const ParameterMap& map) {
        std::vector<std::string> items;
        for (const auto& [key, value] : map)
            items.push_back(key + "=" + value);
        return join(items);
    }
    void onObjectName(const std::string& name) override {
        events.push_back("object " + name + " invalid" + join(getInvalidContexts()));
    }
    void onNonContextData(const std::string& name, const ParameterMap& map) override {
        events.push_back("data " + name + " " + join(map));
    }
    void onContextData(const std::string& name, const std::vector<std::string>& contexts,
                       const ParameterMap& map, bool isDefault) override {
        events.push_back("context " + name + " " + join(contexts) + " " + join(map) +
                         (isDefault ? " default" : "") + " invalid" + join(getInvalidContexts()));
    }
    void onCompletedObjects(const std::string& name) override {
        events.push_back("done " + name + " invalid" + join(getInvalidContexts()));
    }
    void onParseComplete() override {
        events.push_back("complete invalid" + join(getInvalidContexts()));
    }
};

std::vector<std::string> parse(const std::string& dependencies, bool isObjectType = true) {
    const InternalTARNDatastore ds("PHYSICS:\n DEPENDENCIES:\n" + dependencies + " END\nEND\n",
                                   InternalTARNDatastore::TEXT);
    const FakeRules rules;
    RecordingParser parser(isObjectType);
    parser.parseData(&ds, &rules);
    return parser.events;
}

}  // namespace

TEST(ParentContextParserTest, PlainExplicitAndDefaultContexts) {
    // An object without context children passes its data on whole; its invalid contexts
    // do not outlive it. The Default child of the next comes first but still leaves out
    // what the later child claims.
    EXPECT_THAT(parse(test::tarn(R"(
  OBJECT DEPENDENCY: WALL { Invalid Parent Context List = /FLOW/SOLID, /FLOW/DOMAIN
    Ordered Required Child List = DOMAIN }
  OBJECT DEPENDENCY: BOUNDARY
    Invalid Parent Context List = /FLOW/POROUS
    OBJDEP CONTEXT: Elsewhere { Parent Context List = Default; Optional Parameter List = Wall }
    OBJDEP CONTEXT: In solids { Parent Context List = /FLOW/SOLID; Optional Parameter List = Heat }
  END
)")),
                ElementsAre("object WALL invalid[/FLOW/DOMAIN;/FLOW/SOLID]",
                            "data WALL [Ordered Required Child List=DOMAIN]",
                            "done WALL invalid[/FLOW/DOMAIN;/FLOW/SOLID]",
                            "object BOUNDARY invalid[/FLOW/POROUS]",
                            "context BOUNDARY [/FLOW/DOMAIN] [Optional Parameter List=Wall] "
                            "default invalid[/FLOW/POROUS]",
                            "context BOUNDARY [/FLOW/SOLID] [Optional Parameter List=Heat] "
                            "invalid[/FLOW/POROUS]",
                            "done BOUNDARY invalid[/FLOW/POROUS]", "complete invalid[]"));

    // Default beside explicit contexts; "/" names the top-level context; nothing left over.
    EXPECT_THAT(parse(test::tarn(R"(
  OBJECT DEPENDENCY: FLOW
    OBJDEP CONTEXT: top { Parent Context List = /, Default }
  END
  OBJECT DEPENDENCY: BOUNDARY
    OBJDEP CONTEXT: all { Parent Context List = /FLOW/POROUS, /FLOW/SOLID, /FLOW/DOMAIN }
    OBJDEP CONTEXT: rest { Parent Context List = Default }
  END
)")),
                ElementsAre("object FLOW invalid[]", "context FLOW [(top)] [] default invalid[]",
                            "done FLOW invalid[]", "object BOUNDARY invalid[]",
                            "context BOUNDARY [/FLOW/POROUS;/FLOW/SOLID;/FLOW/DOMAIN] [] invalid[]",
                            "context BOUNDARY [] [] default invalid[]", "done BOUNDARY invalid[]",
                            "complete invalid[]"));
}

TEST(ParentContextParserTest, ParameterCandidatesComeFromTheParameterForm) {
    EXPECT_THAT(parse(test::tarn(R"(
  PARAMETER VALUES: Option
    PARAMVAL CONTEXT: any { Parent Context List = Default; Default Value = air }
  END
)"),
                      false),
                ElementsAre("object Option invalid[]",
                            "context Option [/FLOW/DOMAIN/Option] [Default Value=air] default "
                            "invalid[]",
                            "done Option invalid[]", "complete invalid[]"));
}

TEST(ParentContextParserTest, BadLayoutsAreErrors) {
    // Each layout with the words its message must name beside the object.
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases{
        {"OBJDEP CONTEXT: odd\n Parent Context List = /FLOW/DOMAIN, /FLOW/NOWHERE\nEND\n",
         {"odd", "/FLOW/NOWHERE"}},
        {"Invalid Parent Context List = /FLOW/SOLID\n"
         "OBJDEP CONTEXT: solid\n Parent Context List = /FLOW/SOLID\nEND\n",
         {"solid", "/FLOW/SOLID", "Invalid Parent Context List"}},
        {"OBJDEP CONTEXT: first\n Parent Context List = Default\nEND\n"
         "OBJDEP CONTEXT: second\n Parent Context List = Default\nEND\n",
         {"second", "Default"}},
        {"Optional Parameter List = Wall\n"
         "OBJDEP CONTEXT: first\n Parent Context List = Default\nEND\n",
         {"Optional Parameter List"}},
        {"OBJDEP CONTEXT: bare\n Optional Parameter List = Wall\nEND\n",
         {"bare", "Parent Context List"}},
    };
    for (const auto& [body, words] : cases) {
        const std::string text = "OBJECT DEPENDENCY: BOUNDARY\n" + body + "END\n";
        const std::string message = test::errorOf<PhysicsException>([&] { parse(text); });
        EXPECT_THAT(message, StartsWith("ParentContextParser::parseData - ")) << body;
        EXPECT_THAT(message, HasSubstr("BOUNDARY"));
        for (const std::string& word : words)
            EXPECT_THAT(message, HasSubstr(word)) << body;
    }
}
