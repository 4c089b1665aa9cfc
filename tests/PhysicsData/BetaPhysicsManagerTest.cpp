// The beta manager and its availability proxies, over real engine checks ("Beta", "All",
// "Any", ...) evaluated against a small model.

#include <kel/physicschecks/BetaCheck.h>
#include <kel/physicschecks/CheckDataSource.h>
#include <kel/physicschecks/EvalContext.h>
#include <kel/physicsdata/beta/BetaAvailCheckProxy.h>
#include <kel/physicsdata/beta/BetaLoggingController.h>
#include <kel/physicsdata/beta/BetaPhysicsManager.h>
#include <kel/physicsutils/TARNContext.h>
#include <kel/physicsutils/TARNModel.h>
#include <kel/utilities/DependencyGraph.h>

#include "../PhysicsChecks/CheckEngineHarness.h"
#include "FakeCheckEngine.h"

namespace kel {
namespace {

const std::string kModel = test::tarn(R"(
FLOW: fast { Speed = Fast }
FLOW: slow { Speed = Slow }
)");

const std::string kFast = "/FLOW:fast";
const std::string kSlow = "/FLOW:slow";
const std::string kFastMessage = "Fast flows are beta";
const std::string kAlwaysMessage = "Always beta";

// Builds the check/list dependency graph the way the physics data does: one node per
// product, "CHECK:" or "LIST:" + name, depending on the products it names.
DependencyGraph graphOf(const test::Engine& engine) {
    DependencyGraph graph;
    for (const auto& [name, check] : engine.checks.getProducts()) {
        std::vector<std::string> deps;
        for (const std::string& dep : check->getCheckNamesDependOn())
            deps.push_back("CHECK:" + dep);
        for (const std::string& dep : check->getListNamesDependOn())
            deps.push_back("LIST:" + dep);
        graph.addDependency("CHECK:" + name, deps);
    }
    for (const auto& [name, list] : engine.lists.getProducts())
        graph.addDependency("LIST:" + name, {});
    return graph;
}

class BetaPhysicsManagerTest : public ::testing::Test {
protected:
    BetaPhysicsManagerTest() : model(TARNModel::fromText(kModel)), eval(*model) {
        engine.check("isFast", "Type = Parameter Value; Parameter = Speed; Value List = Fast");
        engine.check("betaFast", "Type = Beta; Message = Fast flows are beta; Check = isFast");
        engine.check("betaAlways", "Type = Beta; Message = Always beta");
        engine.check("yes", "Type = Constant; Value = true");
        engine.check("needsBeta", "Type = All; Check List = betaFast");
        engine.check("deep", "Type = All; Check List = yes, needsBeta");
        engine.check("eitherWay", "Type = Any; Check List = betaAlways, yes");
        // A check and a list of the same name; only the list depends on beta.
        engine.check("names", "Type = Constant; Value = true");
        engine.list("names", "Type = Fixed; Value List = a, b");
        engine.resolve();

        for (const auto& [name, check] : engine.checks.getProducts())
            if (auto* beta = dynamic_cast<BetaCheck*>(check.get()))
                manager.addBetaCheck(name, beta);
        DependencyGraph graph = graphOf(engine);
        graph.addDependency("LIST:names", {"CHECK:betaAlways"});
        manager.setup(&engine, graph);
    }

    bool evaluate(Check* check, const std::string& path) {
        return check->evaluate(TARNContext(path), &eval);
    }
    BetaLoggingController& controller() { return *manager.getLoggingController(); }

    test::Engine engine;
    BetaPhysicsManager manager;
    std::unique_ptr<TARNModel> model;
    EvalContext eval;
};

// Beta checks and the checks depending on them get one proxy per question; other names none.
TEST_F(BetaPhysicsManagerTest, ProxiesOnePerQuestionOnlyWhereBetaMatters) {
    for (const char* name : {"betaFast", "betaAlways", "needsBeta", "deep", "eitherWay"}) {
        SCOPED_TRACE(name);
        EXPECT_NE(manager.getObjAvailCheck(name, "FLOW"), nullptr);
        EXPECT_NE(manager.getParamAvailCheck(name, "Speed"), nullptr);
        EXPECT_NE(manager.getParamValAvailCheck(name, "Speed", "Fast"), nullptr);
    }
    // Plain checks, a check whose same-named list depends on beta, and unknown names:
    // null every time they are asked.
    for (const char* name : {"yes", "isFast", "names", "LIST:names", "ames", "ghost", ""}) {
        SCOPED_TRACE(name);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(manager.getObjAvailCheck(name, "FLOW"), nullptr);
            EXPECT_EQ(manager.getParamAvailCheck(name, "Speed"), nullptr);
            EXPECT_EQ(manager.getParamValAvailCheck(name, "Speed", "Fast"), nullptr);
        }
    }

    Check* flow = manager.getObjAvailCheck("needsBeta", "FLOW");
    EXPECT_EQ(manager.getObjAvailCheck("needsBeta", "FLOW"), flow);
    EXPECT_NE(manager.getObjAvailCheck("needsBeta", "DOMAIN"), flow);
    EXPECT_NE(manager.getObjAvailCheck("deep", "FLOW"), flow);

    Check* param = manager.getParamAvailCheck("needsBeta", "FLOW");
    EXPECT_NE(param, flow);  // same subject, other kind
    EXPECT_EQ(manager.getParamAvailCheck("needsBeta", "FLOW"), param);

    Check* fast = manager.getParamValAvailCheck("needsBeta", "Speed", "Fast");
    EXPECT_EQ(manager.getParamValAvailCheck("needsBeta", "Speed", "Fast"), fast);
    EXPECT_NE(manager.getParamValAvailCheck("needsBeta", "Speed", "Slow"), fast);
    EXPECT_NE(manager.getParamValAvailCheck("needsBeta", "Speed", ""), fast);

    // The proxy answers for the wrapped check and is tied to its question.
    auto* proxy = dynamic_cast<BetaAvailCheckProxy*>(fast);
    ASSERT_NE(proxy, nullptr);
    EXPECT_EQ(proxy->getWrappedCheck(), engine.getCheck("needsBeta", true));
    EXPECT_EQ(proxy->getQuestion(),
              AvailData(AvailData::PARAM_VAL_AVAIL, "needsBeta", "Speed", "Fast"));
    EXPECT_EQ(fast->getName(), "needsBeta");
    EXPECT_THAT(fast->getCheckNamesDependOn(), ElementsAre("betaFast"));
}

TEST_F(BetaPhysicsManagerTest, SetupPropagatesAMissingCheck) {
    BetaPhysicsManager other;
    other.addBetaCheck("betaAlways", dynamic_cast<BetaCheck*>(engine.getCheck("betaAlways", true)));
    DependencyGraph graph;
    graph.addDependency("CHECK:ghost", {"CHECK:betaAlways"});
    EXPECT_THROW(other.setup(&engine, graph), std::exception);
    // A node that does not reach a beta check is never looked up.
    DependencyGraph harmless;
    harmless.addDependency("CHECK:ghost", {"CHECK:yes"});
    harmless.addDependency("LIST:ghost", {"CHECK:betaAlways"});
    EXPECT_NO_THROW(other.setup(&engine, harmless));
    EXPECT_EQ(other.getObjAvailCheck("ghost", "FLOW"), nullptr);
}

// Answers every check name with the same check.
class EveryName : public CheckDataSource {
public:
    explicit EveryName(Check* check) : m_check(check) {}
    Check* getCheck(const std::string&, bool) const override { return m_check; }
    List* getList(const std::string&, bool) const override { return nullptr; }
    GlobalCheck* getGlobalCheck(const std::string&, bool) const override { return nullptr; }
    const ParamRHSFunc* getParamRHSFunction(const std::string&, bool) const override {
        return nullptr;
    }

private:
    Check* m_check;
};

TEST_F(BetaPhysicsManagerTest, SetupOverALongChainIsLinear) {
    // 20,000 checks each naming the next, the last a beta check: one closure per check
    // would take minutes and gigabytes.
    constexpr int length = 20000;
    DependencyGraph graph;
    for (int i = 0; i + 1 < length; ++i)
        graph.addDependency("CHECK:c" + std::to_string(i), {"CHECK:c" + std::to_string(i + 1)});
    graph.addDependency("CHECK:c" + std::to_string(length - 1), {"CHECK:betaAlways"});
    BetaPhysicsManager chained;
    chained.addBetaCheck("betaAlways",
                         dynamic_cast<BetaCheck*>(engine.getCheck("betaAlways", true)));
    EveryName source(engine.getCheck("yes", true));
    chained.setup(&source, graph);
    EXPECT_NE(chained.getObjAvailCheck("c0", "FLOW"), nullptr);
    EXPECT_NE(chained.getObjAvailCheck("c" + std::to_string(length - 1), "FLOW"), nullptr);
    EXPECT_EQ(chained.getObjAvailCheck("yes", "FLOW"), nullptr);
}

TEST_F(BetaPhysicsManagerTest, KeepsMessagesOnlyWhenTheAnswerDependsOnBeta) {
    manager.enableBetaLogging();

    // Passes with beta and fails without it: the explanation is kept for the question.
    EXPECT_TRUE(evaluate(manager.getParamAvailCheck("deep", "Pressure"), kFast));
    EXPECT_THAT(controller().getParamAvailMessages("Pressure"), ElementsAre(kFastMessage));
    EXPECT_TRUE(controller().isBetaEnabled());
    EXPECT_FALSE(controller().isBetaLoggingEnabled());  // the check has ended

    // Passes both ways: the beta check logged, but nothing is kept.
    EXPECT_TRUE(evaluate(manager.getObjAvailCheck("eitherWay", "DOMAIN"), kFast));
    EXPECT_THAT(controller().getObjAvailMessages("DOMAIN"), IsEmpty());

    // Fails: nothing is kept.
    EXPECT_FALSE(evaluate(manager.getObjAvailCheck("needsBeta", "FLUID"), kSlow));
    EXPECT_THAT(controller().getObjAvailMessages("FLUID"), IsEmpty());

    // Values of one parameter keep their own explanations.
    EXPECT_TRUE(evaluate(manager.getParamValAvailCheck("betaAlways", "Model", "Turbulent"), kSlow));
    EXPECT_THAT(controller().getParamValAvailMessages("Model", "Turbulent"),
                ElementsAre(kAlwaysMessage));
    EXPECT_THAT(controller().getParamValAvailMessages("Model", "Laminar"), IsEmpty());
    EXPECT_THAT(controller().getParamAvailMessages("Model"), IsEmpty());
}

// Wraps a real check; records whether the evaluation cache was on at each evaluation and
// can be told to throw.
class ProbeCheck : public testing::FakeProduct<Check> {
public:
    enum class Throw { Never, WhenBetaOff, Always };

    ProbeCheck(Check* inner, const BetaLoggingController& controller, Throw mode)
        : FakeProduct("probe"), m_inner(inner), m_controller(controller), m_mode(mode) {}

    bool evaluate(const TARNContext& context, EvalContext* evalContext) override {
        cacheStates.push_back(evalContext->getCache()->enabled());
        if (m_mode == Throw::Always ||
            (m_mode == Throw::WhenBetaOff && !m_controller.isBetaEnabled()))
            throw std::runtime_error("probe failed");
        return m_inner->evaluate(context, evalContext);
    }

    std::vector<bool> cacheStates;

private:
    Check* m_inner;
    const BetaLoggingController& m_controller;
    Throw m_mode;
};

// With logging on the proxy evaluates twice (beta on, then off) with the cache off; whatever
// the check does, the switch, the cache and the protocol are restored, and a throwing
// check's messages are dropped.
TEST_F(BetaPhysicsManagerTest, EvaluatesWithoutTheCacheAndRestoresEverything) {
    const AvailData question(AvailData::OBJ_AVAIL, "probe", "FLOW");
    ProbeCheck quiet(engine.getCheck("betaAlways", true), controller(), ProbeCheck::Throw::Never);
    BetaAvailCheckProxy quietProxy(&quiet, &controller(), question);
    // Logging off: one evaluation, cache untouched.
    EXPECT_TRUE(evaluate(&quietProxy, kFast));
    EXPECT_THAT(quiet.cacheStates, ElementsAre(true));

    manager.enableBetaLogging();
    for (ProbeCheck::Throw mode : {ProbeCheck::Throw::WhenBetaOff, ProbeCheck::Throw::Always}) {
        SCOPED_TRACE(static_cast<int>(mode));
        ProbeCheck probe(engine.getCheck("betaAlways", true), controller(), mode);
        BetaAvailCheckProxy proxy(&probe, &controller(), question);
        EXPECT_THROW(evaluate(&proxy, kFast), std::runtime_error);
        EXPECT_EQ(probe.cacheStates.size(), mode == ProbeCheck::Throw::Always ? 1u : 2u);
        EXPECT_TRUE(controller().isBetaEnabled());
        EXPECT_TRUE(eval.getCache()->enabled());
        EXPECT_FALSE(controller().isBetaLoggingEnabled());  // the check was ended
        EXPECT_FALSE(controller().anyLoggedMessages());     // and its messages dropped
    }
    quiet.cacheStates.clear();
    EXPECT_TRUE(evaluate(&quietProxy, kFast));
    EXPECT_THAT(quiet.cacheStates, ElementsAre(false, false));
    EXPECT_TRUE(eval.getCache()->enabled());
    EXPECT_THAT(controller().getObjAvailMessages("FLOW"), ElementsAre(kAlwaysMessage));

    eval.getCache()->enable(false);
    EXPECT_TRUE(evaluate(&quietProxy, kFast));
    EXPECT_FALSE(eval.getCache()->enabled());
}

// The beta switchboard: switches, the begin/end protocol and the filtered message queries.
class BetaLoggingControllerTest : public ::testing::Test {
protected:
    // Logs each message under `question` inside one begin/end pair.
    void logUnder(const AvailData& question, std::initializer_list<std::string> messages,
                  bool keep) {
        controller.beginAvailabilityCheck(&question);
        for (const std::string& message : messages)
            controller.logMessage(question.checkName, message);
        controller.endAvailabilityCheck(keep);
    }

    BetaLoggingController controller;
    AvailData flowByA{AvailData::OBJ_AVAIL, "checkA", "FLOW"};
    AvailData flowByB{AvailData::OBJ_AVAIL, "checkB", "FLOW"};
    AvailData pressure{AvailData::PARAM_AVAIL, "checkA", "Pressure"};
};

TEST_F(BetaLoggingControllerTest, LogsInsideACheckWithTheSwitchOnAndRollsBackExactly) {
    EXPECT_TRUE(controller.isBetaEnabled());
    // Logging holds only while the switch is on and a check is in progress.
    controller.enableBetaLogging();
    controller.logMessage("checkA", "outside a check");
    EXPECT_FALSE(controller.isBetaLoggingEnabled());
    controller.beginAvailabilityCheck(&pressure);
    EXPECT_TRUE(controller.isBetaLoggingEnabled());
    controller.disableBetaLogging();
    controller.logMessage("checkA", "inside, logging off");
    EXPECT_FALSE(controller.isBetaLoggingEnabled());
    controller.endAvailabilityCheck(true);
    EXPECT_FALSE(controller.anyLoggedMessages());

    // Ending without keeping removes only that check's messages. The queries answer sorted
    // and unique, whatever check logged; a key carrying a check name matches nothing.
    controller.enableBetaLogging();
    logUnder(flowByB, {"zeta", "alpha", "zeta"}, true);
    logUnder(flowByA, {"mid", "alpha"}, true);
    controller.beginAvailabilityCheck(&flowByA);
    controller.logMessage("checkA", "one");
    controller.logMessage("checkA", "two");
    EXPECT_TRUE(controller.anyMessagesLoggedLastCheck());
    controller.endAvailabilityCheck(false);
    EXPECT_THAT(controller.getObjAvailMessages("FLOW"), ElementsAre("alpha", "mid", "zeta"));
    EXPECT_THAT(controller.getFilteredMessages(flowByA), IsEmpty());
    EXPECT_FALSE(controller.anyMessagesLoggedLastCheck());

    // Clearing empties the log and the protocol works from the emptied log.
    controller.clearMessages();
    EXPECT_FALSE(controller.anyLoggedMessages());
    EXPECT_FALSE(controller.anyMessagesLoggedLastCheck());
}

}  // namespace
}  // namespace kel
