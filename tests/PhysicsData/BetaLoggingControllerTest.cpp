// The beta switchboard: switches, the begin/end protocol and the filtered message queries.

#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <kel/physicsdata/beta/BetaLoggingController.h>

namespace kel {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

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
    AvailData modelFast{AvailData::PARAM_VAL_AVAIL, "checkA", "Model", "Fast"};
    AvailData modelSlow{AvailData::PARAM_VAL_AVAIL, "checkA", "Model", "Slow"};
};

TEST_F(BetaLoggingControllerTest, LoggingHoldsOnlyInsideACheckWithTheSwitchOn) {
    EXPECT_TRUE(controller.isBetaEnabled());
    EXPECT_FALSE(controller.isBetaLoggingEnabled());
    EXPECT_FALSE(controller.anyLoggedMessages());
    EXPECT_FALSE(controller.anyMessagesLoggedLastCheck());

    // Logging holds only while the switch is on and a check is in progress.
    controller.enableBetaLogging();
    EXPECT_FALSE(controller.isBetaLoggingEnabled());
    controller.beginAvailabilityCheck(&pressure);
    EXPECT_TRUE(controller.isBetaLoggingEnabled());
    controller.disableBetaLogging();
    EXPECT_FALSE(controller.isBetaLoggingEnabled());
    controller.enableBetaLogging();
    controller.endAvailabilityCheck(true);
    EXPECT_FALSE(controller.isBetaLoggingEnabled());

    // Messages are recorded only inside a check with logging on.
    controller.disableBetaLogging();
    controller.logMessage("checkA", "outside, logging off");
    controller.enableBetaLogging();
    controller.logMessage("checkA", "outside, logging on");
    EXPECT_FALSE(controller.anyLoggedMessages());

    controller.disableBetaLogging();
    logUnder(flowByA, {"inside, logging off"}, true);
    EXPECT_FALSE(controller.anyLoggedMessages());

    controller.enableBetaLogging();
    logUnder(flowByA, {"inside, logging on"}, true);
    EXPECT_THAT(controller.getObjAvailMessages("FLOW"), ElementsAre("inside, logging on"));
}

TEST_F(BetaLoggingControllerTest, EndWithoutKeepRestoresTheLogExactly) {
    controller.enableBetaLogging();
    logUnder(flowByA, {"kept"}, true);

    controller.beginAvailabilityCheck(&flowByA);
    controller.logMessage("checkA", "one");
    controller.logMessage("checkA", "two");
    controller.logMessage("checkA", "three");
    EXPECT_TRUE(controller.anyMessagesLoggedLastCheck());
    controller.endAvailabilityCheck(false);

    EXPECT_THAT(controller.getObjAvailMessages("FLOW"), ElementsAre("kept"));
    EXPECT_FALSE(controller.anyMessagesLoggedLastCheck());
    EXPECT_TRUE(controller.anyLoggedMessages());
}

TEST_F(BetaLoggingControllerTest, QueriesAreSortedUniqueAndIgnoreTheCheckName) {
    controller.enableBetaLogging();
    logUnder(flowByB, {"zeta", "alpha", "zeta"}, true);
    logUnder(flowByA, {"mid", "alpha"}, true);
    logUnder(pressure, {"about pressure"}, true);
    logUnder(modelFast, {"fast model"}, true);
    logUnder(modelSlow, {"slow model"}, true);

    EXPECT_THAT(controller.getObjAvailMessages("FLOW"), ElementsAre("alpha", "mid", "zeta"));
    EXPECT_THAT(controller.getParamAvailMessages("Pressure"), ElementsAre("about pressure"));
    EXPECT_THAT(controller.getParamValAvailMessages("Model", "Fast"), ElementsAre("fast model"));
    EXPECT_THAT(controller.getParamValAvailMessages("Model", "Slow"), ElementsAre("slow model"));
    // Kinds and subjects do not mix.
    EXPECT_THAT(controller.getParamAvailMessages("Model"), IsEmpty());
    EXPECT_THAT(controller.getObjAvailMessages("Pressure"), IsEmpty());
    // A key carrying a check name matches nothing: stored entries have none.
    EXPECT_THAT(controller.getFilteredMessages(flowByA), IsEmpty());
    EXPECT_THAT(controller.getFilteredMessages(AvailData(AvailData::OBJ_AVAIL, "", "FLOW")),
                ElementsAre("alpha", "mid", "zeta"));
}

TEST_F(BetaLoggingControllerTest, ClearMessagesEmptiesTheLogAndResetsTheStart) {
    controller.enableBetaLogging();
    logUnder(flowByA, {"a", "b"}, true);
    controller.clearMessages();
    EXPECT_FALSE(controller.anyLoggedMessages());
    EXPECT_FALSE(controller.anyMessagesLoggedLastCheck());

    // The protocol works from the emptied log.
    logUnder(pressure, {"after clear"}, true);
    EXPECT_THAT(controller.getParamAvailMessages("Pressure"), ElementsAre("after clear"));
}

}  // namespace
}  // namespace kel
