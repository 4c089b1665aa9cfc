// The dependency template generated from RULES: its exact layout (the fixture shared with
// the command-line tests), the envelope alone, the loadable form loaded as validated PHYSICS
// data, and output to files and standard output.

#include <filesystem>
#include <fstream>
#include <sstream>

#include <kel/physicsdata/physics/PhysicsData.h>
#include <kel/physicsdata/physics/PhysicsDataOptions.h>
#include <kel/physicsdata/rules/ModelRules.h>
#include <kel/physicsdata/tools/TemplateDependency.h>
#include <kel/physicsutils/InternalTARNDatastore.h>

#include "TestSupport.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

const std::string kFixtures = std::string(KEL_TEST_DATA_DIR) + "/../tool/template/";
const std::string kExampleRules = std::string(KEL_EXAMPLES_DIR) + "/rules.tarn";

std::string read(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class TemplateDependencyTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::path(::testing::TempDir()) /
                ("template_" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string file(const std::string& name, const std::string& content = "") {
        const std::string path = (m_dir / name).string();
        if (!content.empty()) std::ofstream(path) << content;
        return path;
    }

    // The template of a RULES file, as written to a file.
    std::string templateOf(const std::string& rulesFile,
                           TemplateDependency::Form form = TemplateDependency::Form::Skeleton) {
        const std::string out = file("template.tarn");
        TemplateDependency(rulesFile, form).write(out);
        return read(out);
    }

    fs::path m_dir;
};

// The layout of a whole template is pinned by small.expected (WriteReplaces... and the
// tool's tests).

// The loadable form loads as it stands with validation on. In the second schema the
// context rule parameter of a top-level type is optional in the RULES and listed after a
// parameter that only one option has; options and allowed strings hold blanks.
TEST_F(TemplateDependencyTest, LoadableFormLoadsAsValidatedPhysicsData) {
    const std::string tank = file("tank.tarn", test::tarn(R"(
RULES:
  PARAMETER: Side { Parameter Type = String; Allowed String List = Hot Side, Cold Side }
  PARAMETER: Size { Parameter Type = Real }
  PARAMETER: Ice Depth { Parameter Type = Real }
  SINGLETON: ROOT { Optional Child List = TANK }
  OBJECT: TANK
    Context Rule = Side
    Allowed Option List = Hot Side, Cold Side
    Essential Parameter List = Size
    Optional Parameter List = Side
    CONTEXT: Cold Side { Essential Parameter List = Ice Depth }
  END
END
)"));
    for (const std::string& rulesFile : {kExampleRules, tank}) {
        InternalTARNDatastore rulesDs(rulesFile, InternalTARNDatastore::FILE);
        ModelRules rules(&rulesDs);
        InternalTARNDatastore physics(templateOf(rulesFile, TemplateDependency::Form::Loadable),
                                      InternalTARNDatastore::TEXT);
        EXPECT_EQ(test::errorOf([&] {
                      PhysicsData(&physics, &rules, nullptr, nullptr, PhysicsDataOptions{true});
                  }),
                  "")
            << rulesFile;
    }
}

TEST_F(TemplateDependencyTest, WriteReplacesFilesAndRepeatsOnStandardOutput) {
    const TemplateDependency generated(kFixtures + "small.tarn");
    const std::string out = file("out.tarn", std::string(5000, 'x') + "\n");
    generated.write(out);
    generated.write(out);
    EXPECT_EQ(read(out), read(kFixtures + "small.expected"));

    ::testing::internal::CaptureStdout();
    generated.write("");
    generated.write("");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), read(out) + read(out));
}

// Unreadable RULES and unwritable files: pinned by the tool's tests (tests/tool).

}  // namespace
}  // namespace kel
