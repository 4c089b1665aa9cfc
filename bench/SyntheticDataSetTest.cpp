// The synthetic benchmark data must be what it claims: valid RULES, PHYSICS and model that
// load with validation on, JSON twins holding exactly the TARN trees, and a model whose
// queries reach the features the data sets up.

#include <gtest/gtest.h>

#include <rapidjson/document.h>

#include <fstream>
#include <string>

#include <kel/physicschecks/EvalContext.h>
#include <kel/physicsdata/dependency/ParamValueDef.h>
#include <kel/physicsdata/physics/PhysicsDataOptions.h>
#include <kel/physicsdata/tools/TemplateDependency.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNPath.h>

#include "BenchData.h"

namespace {

using namespace kel;
using kel::bench::BenchData;
using kel::bench::SyntheticDataSet;

TEST(SyntheticDataSet, LoadsWithValidationAndCoversEveryModelObject) {
    for (int scale : {1, 3}) {
        SCOPED_TRACE("scale " + std::to_string(scale));
        const SyntheticDataSet data = SyntheticDataSet::generate(scale);
        std::unique_ptr<BenchData::Host> host;
        ASSERT_NO_THROW(host = std::make_unique<BenchData::Host>(data, true));
        EXPECT_EQ(host->physics.getGlobalCheckNames().size(), static_cast<std::size_t>(scale));
        for (const auto& object : data.modelObjects) {
            EXPECT_TRUE(host->model->hasObject(object.path)) << object.path;
            EXPECT_TRUE(host->rules.isValidPath(TARNPath(object.path))) << object.path;
            EXPECT_NE(host->physics.getObjDependDef(object.typePath, false), nullptr)
                << object.typePath;
        }
    }
}

// An author starting from the loadable template of these RULES gets PHYSICS data that loads
// with validation on.
TEST(SyntheticDataSet, LoadableTemplateOfTheRulesLoadsWithValidation) {
    for (int scale : {1, 10}) {
        SCOPED_TRACE("scale " + std::to_string(scale));
        const SyntheticDataSet data = SyntheticDataSet::generate(scale);
        const std::string rulesFile = ::testing::TempDir() + "kel_template_rules.tarn";
        const std::string physicsFile = ::testing::TempDir() + "kel_template_physics.tarn";
        std::ofstream(rulesFile) << data.rulesTarn;
        TemplateDependency(rulesFile, TemplateDependency::Form::Loadable).write(physicsFile);
        InternalTARNDatastore rulesStore(rulesFile, InternalTARNDatastore::FILE);
        ModelRules rules(&rulesStore, BenchData::extraRules());
        InternalTARNDatastore physicsStore(physicsFile, InternalTARNDatastore::FILE);
        PhysicsDataOptions options;
        options.validate = true;
        EXPECT_NO_THROW(PhysicsData(&physicsStore, &rules, nullptr, nullptr, options));
    }
}

TEST(SyntheticDataSet, ModelGrowsWithScaleAndShape) {
    const auto one = SyntheticDataSet::generate(1);
    const auto four = SyntheticDataSet::generate(4);
    const std::size_t library = 3;  // LIBRARY and two MATERIALs
    EXPECT_EQ(four.modelObjects.size() - library, 4 * (one.modelObjects.size() - library));

    SyntheticDataSet::Shape wide;
    wide.facesPerZone = 10;
    const auto more = SyntheticDataSet::generate(wide);
    // Two systems of four zones each get five more faces per zone.
    EXPECT_EQ(more.modelObjects.size(), one.modelObjects.size() + 2 * 4 * 5);
    EXPECT_EQ(SyntheticDataSet::generate(0).rulesTarn, one.rulesTarn);  // scale below 1 is 1
}

// Walks a JSON object tree and checks every parameter and child against the datastore.
void compareTree(const rapidjson::Value& object, const std::string& path,
                 const InternalTARNDatastore& store, std::size_t& objects, std::size_t& params) {
    ++objects;
    std::size_t children = 0;
    for (auto it = object.MemberBegin(); it != object.MemberEnd(); ++it) {
        const std::string key(it->name.GetString(), it->name.GetStringLength());
        if (it->value.IsString()) {
            ++params;
            EXPECT_EQ(store.getParameterValue(path, key), it->value.GetString())
                << path << " " << key;
            continue;
        }
        ASSERT_TRUE(it->value.IsObject()) << path << " " << key;
        const auto colon = key.find(':');
        ASSERT_NE(colon, std::string::npos) << key;
        const std::string name = key.substr(colon + 1);
        ++children;
        compareTree(it->value, path + "/" + key.substr(0, colon) + (name.empty() ? "" : ":" + name),
                    store, objects, params);
    }
    EXPECT_EQ(store.getChildObjectPaths(path).size(), children) << path;
}

TEST(SyntheticDataSet, JsonTwinsHoldTheSameTrees) {
    // At this scale the lists naming every module are long enough to be continued.
    const auto data = SyntheticDataSet::generate(12);
    ASSERT_NE(data.rulesTarn.find(", \\\n"), std::string::npos);
    std::size_t objects = 0;
    std::size_t params = 0;
    const std::pair<const std::string*, const std::string*> twins[] = {
        {&data.rulesTarn, &data.rulesJson}, {&data.physicsTarn, &data.physicsJson}};
    for (const auto& [tarn, json] : twins) {
        InternalTARNDatastore store(*tarn, InternalTARNDatastore::TEXT);
        rapidjson::Document document;
        document.Parse(json->c_str(), json->size());
        ASSERT_FALSE(document.HasParseError());
        ASSERT_EQ(document.MemberCount(), 1u);
        const auto root = document.MemberBegin();
        std::string type = root->name.GetString();
        ASSERT_EQ(type.back(), ':');
        type.pop_back();
        compareTree(root->value, "/" + type, store, objects, params);
    }
    EXPECT_EQ(objects, data.dataObjectCount);
    EXPECT_EQ(params, data.dataParameterCount);
}

// The answers a host gets on the generated model reach checks, lists, context blocks,
// overrides and context-dependent bounds.
TEST(SyntheticDataSet, QueriesReachTheFeaturesOfTheData) {
    const auto data = SyntheticDataSet::generate(1);
    const BenchData::Host host(data, false);
    const ModelRules* rules = &host.rules;
    EvalContext eval(*host.model);
    auto value = [&](const std::string& path, const std::string& typePath,
                     const std::string& param) {
        const ParamValueDef* def = host.physics.getParamValueDef(typePath, param, true);
        const TARNContext context(path);
        const auto allowed = def->evaluateAllowedValues(rules, context, &eval);
        const auto override = def->evaluateValueOverride(rules, context, &eval, allowed);
        return std::make_tuple(allowed.getValues(), def->evaluateDefault(rules, context, &eval),
                               override.first ? override.second : std::string("-"),
                               def->evaluateBounds(rules, context, &eval));
    };
    using Strings = std::vector<std::string>;

    // Run 1.1 is transient: the guarded scheme is offered and is the default.
    auto [schemes, scheme, fixed, noBounds] =
        value("/SYSTEM1:Run 1.1/CONTROL1", "/SYSTEM1/CONTROL1", "Advection Scheme 1");
    EXPECT_EQ(schemes, (Strings{"Upwind", "Central", "Blended", "Hybrid"}));
    EXPECT_EQ(scheme, "Blended");
    // Run 1.2 is steady: not offered, and the default falls back to the RULES one.
    auto steady = value("/SYSTEM1:Run 1.2/CONTROL1", "/SYSTEM1/CONTROL1", "Advection Scheme 1");
    EXPECT_EQ(std::get<0>(steady), (Strings{"Upwind", "Central", "Hybrid"}));
    EXPECT_EQ(std::get<1>(steady), "Upwind");

    // Zone 2 is porous: overridden scheme, and the porous context's own default and bounds.
    const std::string porous = "/SYSTEM1:Run 1.1/ZONE1:Zone 2";
    EXPECT_EQ(std::get<2>(value(porous, "/SYSTEM1/ZONE1", "Zone Scheme 1")), "Upwind");
    auto pressure = value(porous, "/SYSTEM1/ZONE1", "Zone Pressure 1");
    EXPECT_EQ(std::get<1>(pressure), "200000 [Pa]");
    EXPECT_EQ(std::get<3>(pressure), (std::pair<std::string, std::string>{"0 [Pa]", "1e+07 [Pa]"}));
    auto fluid = value("/SYSTEM1:Run 1.1/ZONE1:Zone 1", "/SYSTEM1/ZONE1", "Zone Pressure 1");
    EXPECT_EQ(std::get<2>(fluid), "-");
    EXPECT_EQ(std::get<3>(fluid).first, "0 [Pa]");
    EXPECT_NE(std::get<3>(fluid).second, std::get<3>(pressure).second);  // open in fluids

    // The materials come from the model; the context blocks give different defaults.
    EXPECT_EQ(std::get<0>(value(porous, "/SYSTEM1/ZONE1", "Material1")), (Strings{"Air", "Steel"}));
    EXPECT_EQ(
        std::get<1>(value("/SYSTEM1:Run 1.1/OUTPUT1", "/SYSTEM1/OUTPUT1", "Output Frequency 1")),
        "5");
    EXPECT_EQ(std::get<1>(value("/SYSTEM1:Run 1.1/OUTPUT1/PROBE1:North", "/SYSTEM1/OUTPUT1/PROBE1",
                                "Output Frequency 1")),
              "1");

    const auto sweep = BenchData::sweep(host, data);
    EXPECT_EQ(sweep.objects, data.modelObjects.size());
    EXPECT_GT(sweep.availableParams, 0u);
    EXPECT_LT(sweep.availableParams, sweep.paramRecords);  // options and checks filter
    EXPECT_LT(sweep.availableChildren, sweep.childRecords);
    EXPECT_EQ(sweep.valueAnswers, 4 * sweep.availableParams);
}

// Modules are independent: each adds the same answers, whatever the scale.
TEST(SyntheticDataSet, SweepAnswersGrowLinearlyWithScale) {
    std::vector<std::size_t> answers;
    for (int scale : {1, 2, 3}) {
        const auto data = SyntheticDataSet::generate(scale);
        const BenchData::Host host(data, false);
        const auto first = BenchData::sweep(host, data);
        EXPECT_EQ(BenchData::sweep(host, data).answers(), first.answers());  // repeatable
        answers.push_back(first.answers());
    }
    EXPECT_GT(answers[1], answers[0]);
    EXPECT_EQ(answers[2] - answers[1], answers[1] - answers[0]);
}

}  // namespace
